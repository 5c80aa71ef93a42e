#include "engine/convert/conversion.h"

#include <new>
#include <vector>

#include "engine/convert/convert2xml.h"
#include "engine/convert/header_records.h"
#include "engine/csv/csv.h"
#include "engine/error.h"
#include "engine/io/atomic_file.h"
#include "engine/convert/parse_xml.h"
#include "engine/xml/dom.h"

namespace trelmo {

bool RunReported(MessageSink& messages, const std::function<void()>& body) {
    try {
        body();
        return true;
    } catch (const RuntimeError& e) {
        messages.show(e.description());
    } catch (const std::bad_alloc&) {
        messages.show(kOutOfMemory);
    } catch (const std::exception& e) {
        messages.show(e.what());
    }
    return false;
}

namespace {

// Saving over the CSV file or the schema would replace what is read by the
// output: refused before anything is read.
void refuseInputAsOutput(const ConversionPaths& paths) {
    const std::pair<const std::string*, const char*> inputs[] = {{&paths.csv, "CSV ファイル"},
                                                                  {&paths.schema, "スキーマファイル"}};
    for (const auto& [input, what] : inputs) {
        if (fileio::overwritesInput(paths.output, *input)) {
            throw RuntimeError(err::XmlSave, "ファイル " + paths.output + " に保存できません: " + what + " " + *input +
                                                 " と同じファイルです。");
        }
    }
}

}  // namespace

bool Convert(const ConversionPaths& paths, const ConversionFrontEnd& front) {
    refuseInputAsOutput(paths);
    ParseXML loader(front.messages);
    Convert2XML generator(front.progress);
    xml::Document schemaDoc;

    loader.Parse(schemaDoc, paths.schema);
    std::size_t header = 0;
    bool loaded = isLoaded(schemaDoc);
    if (loaded) {
        // A header count the schema cannot mean is refused with the schema.
        try {
            header = HeaderRecordsOf(schemaDoc.documentElement());
        } catch (const RuntimeError& e) {
            front.messages.show(e.description(), MsgIcon::Exclamation);
            loaded = false;
        }
    }
    if (!loaded) {
        front.messages.show(kSchemaLoadFailed, front.schemaFailureIcon);
        return false;
    }
    front.stages.reached(Stage::SchemaLoaded);
    CsvRecords csv(paths.csv);
    // One record converted alone is not enough either, as GetCSVasArray's
    // highest index 0 tells.
    if (csv.records().size() <= header + 1) {
        front.messages.show(kNoValidData, MsgIcon::Exclamation);
        return false;
    }
    front.stages.reached(Stage::CsvLoaded);
    bool saving = false;
    const auto reachSaving = [&] {
        if (!saving) front.stages.reached(Stage::Saving);
        saving = true;
    };
    try {
        generator.WriteRecords(schemaDoc, csv, paths.output, reachSaving);
    } catch (const RuntimeError& e) {
        // The output is written while it is made: an error of writing it
        // is told at the stage of saving.
        if (e.number() == err::XmlSave || e.number() == err::Encoding) reachSaving();
        throw;
    }
    front.stages.reached(Stage::Finished);
    return true;
}

}  // namespace trelmo
