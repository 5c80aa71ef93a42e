#pragma once
// One conversion, CSV file + schema file -> XML file, as the command line and
// the conversion window both run it. Each front end turns the stage reports
// into its own words and supplies the one icon that differs between them.

#include <functional>
#include <string>

#include "engine/messages.h"
#include "engine/progress.h"

namespace trelmo {

// CheckedAgainstXsd: the output met the XSD the schema names; told just before Finished.
enum class Stage { SchemaLoaded, CsvLoaded, Saving, CheckedAgainstXsd, Finished };

class StageSink {
public:
    virtual ~StageSink() = default;
    virtual void reached(Stage stage) = 0;
};

struct ConversionPaths {
    std::string csv;
    std::string schema;
    std::string output;
};

struct ConversionFrontEnd {
    MessageSink& messages;
    ProgressSink& progress;
    StageSink& stages;
    MsgIcon schemaFailureIcon;  // of "スキーマファイルの読み込みに失敗しました。"
};

// Runs body; a run-time error (or a lack of memory) that ends it is shown in a
// plain message box. Returns false when that happened.
bool RunReported(MessageSink& messages, const std::function<void()>& body);

// Loads the schema (and the XSD it names), reads the CSV file and writes the
// output straight into its file. A schema that is not loaded, too few records
// and an output that the XSD refuses (nothing saved then) are told in message
// boxes; run-time errors are left to RunReported. Returns true when the file
// is written (Stage::Finished was reported).
bool Convert(const ConversionPaths& paths, const ConversionFrontEnd& front);

// The messages of a conversion.
inline constexpr const char* kSchemaLoadFailed = "スキーマファイルの読み込みに失敗しました。";
inline constexpr const char* kNoValidData = "有効なデータ(CSV)がありません。";
inline constexpr const char* kOutOfMemory = "メモリが足りません。";

}  // namespace trelmo
