#include "engine/convert/conversion.h"

#include <memory>
#include <new>
#include <vector>

#include "engine/convert/convert2xml.h"
#include "engine/convert/header_records.h"
#include "engine/csv/csv.h"
#include "engine/error.h"
#include "engine/io/atomic_file.h"
#include "engine/convert/parse_xml.h"
#include "engine/xml/dom.h"
#include "engine/xsd/output_check.h"
#include "engine/xsd/xml_namespace.h"

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

// A file that the conversion reads, which the output must not replace.
struct Input {
    std::string path;
    const char* what;
};

// Saving over a file that is read would replace it by the output: refused
// before anything more is read.
void refuseInputsAsOutput(const std::string& output, const std::vector<Input>& inputs) {
    for (const auto& [input, what] : inputs) {
        if (fileio::overwritesInput(output, input)) {
            throw RuntimeError(err::XmlSave,
                               "ファイル " + output + " に保存できません: " + what + " " + input + " と同じファイルです。");
        }
    }
}

// The check of the output against the XSD the schema names, or null; the XSD
// and every file it loads are inputs the output must not overwrite. The
// output's namespace is checked first, as the schema's own setting.
// `firstRecord`: the record, from 1, that the first record element is made of.
std::unique_ptr<xsd::XsdOutputCheck> xsdCheckFor(const xml::Document& schemaDoc, const ConversionPaths& paths,
                                                 std::size_t firstRecord) {
    const xml::Node top = schemaDoc.documentElement();
    if (top) xsd::checkNamespace(convert::attributeValue(top, "namespace"));
    const std::string xsdPath = top ? xsd::xsdPathOf(top, paths.schema) : std::string();
    if (xsdPath.empty()) return nullptr;
    xsd::Schema schema = xsd::Schema::load(xsdPath);
    for (const std::string& file : schema.files()) {
        if (fileio::overwritesInput(paths.output, file)) {
            throw RuntimeError(err::XmlSave, "ファイル " + paths.output + " に保存できません: 検証用XSD " + xsdPath +
                                                 " が読み込むファイル " + file + " と同じファイルです。");
        }
    }
    return std::make_unique<xsd::XsdOutputCheck>(std::move(schema), convert::compilePlan(top), firstRecord);
}

}  // namespace

bool Convert(const ConversionPaths& paths, const ConversionFrontEnd& front) {
    std::vector<Input> inputs{{paths.csv, "CSV ファイル"}, {paths.schema, "スキーマファイル"}};
    refuseInputsAsOutput(paths.output, inputs);
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
    // And every file the schema loaded, such as its document type definition.
    for (std::string& file : schemaDoc.filesRead()) inputs.push_back({std::move(file), "スキーマが読み込むファイル"});
    refuseInputsAsOutput(paths.output, inputs);
    const std::unique_ptr<xsd::XsdOutputCheck> check = xsdCheckFor(schemaDoc, paths, header + 1);
    front.stages.reached(Stage::SchemaLoaded);
    // The header records are read besides the records a conversion takes.
    CsvRecords csv(paths.csv, {kMostConvertedRecords + header, true, header});
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
    bool accepted = true;
    try {
        accepted = generator.WriteRecords(schemaDoc, csv, paths.output, reachSaving, check.get());
    } catch (const RuntimeError& e) {
        // The output is written while it is made: an error of writing it
        // is told at the stage of saving.
        if (e.number() == err::XmlSave || e.number() == err::Encoding) reachSaving();
        throw;
    }
    if (!accepted) {
        front.messages.show(check->refusal(csv.records(), csv.cp932()));
        return false;
    }
    if (check) front.stages.reached(Stage::CheckedAgainstXsd);
    front.stages.reached(Stage::Finished);
    return true;
}

}  // namespace trelmo
