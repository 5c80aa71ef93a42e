// The schema editor's XML preview on 10 records of 200 fields with a schema
// that binds every field (Google Benchmark): the engine's part alone, and the
// whole refresh of the shown window after an edit of the root name, from the
// signal to the highlighted views. The budget is 100 ms a refresh.
//   build/bench/xml_preview_bench [--benchmark_...]
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "engine/csv/csv.h"
#include "engine/convert/xml_preview.h"
#include "bench/bench_services.h"
#include "ui/editor/frm_edit.h"
#include "ui/editor/xml_preview_window.h"

namespace {

using trelmo::bench::FixedFile;
using trelmo::bench::NoCursor;
using trelmo::bench::PrintedMessages;

constexpr int kRecords = 10;
constexpr int kFields = 200;

// Each field bound once, by the five node kinds in turn, in groups of ten
// below their own elements.
trelmo::xml::Document makeSchema() {
    std::string text = "<?xml version=\"1.0\"?><element name=\"record\" root=\"records\">";
    static const char* const kinds[] = {"attribute", "text", "cdatasection", "comment", "element"};
    for (int f = 0; f < kFields; ++f) {
        if (f % 10 == 0) text += "<element name=\"group" + std::to_string(f / 10) + "\">";
        const std::string kind = kinds[f % 5];
        const std::string source = " DataSource=\"" + std::to_string(f + 1) + "\"";
        if (kind == "attribute")
            text += "<attribute name=\"a" + std::to_string(f) + "\"" + source + "/>";
        else if (kind == "element")
            text += "<element name=\"e" + std::to_string(f) + "\"><text" + source + "/></element>";
        else
            text += "<" + kind + source + "/>";
        if (f % 10 == 9) text += "</element>";
    }
    text += "</element>";
    trelmo::xml::Document doc;
    if (!doc.loadXml(text)) std::abort();
    return doc;
}

std::string writeCsv(const std::filesystem::path& path) {
    std::ofstream out(path, std::ios::binary);
    for (int r = 0; r < kRecords; ++r) {
        for (int f = 0; f < kFields; ++f) out << (f ? "," : "") << (f % 2 ? "神戸市中央区" : "value") << r << '_' << f;
        out << "\r\n";
    }
    return path.string();
}

std::string csvPath;

void EnginePreview(benchmark::State& state) {
    const trelmo::xml::Document schema = makeSchema();
    std::vector<std::string> records;
    trelmo::CSV().GetCSVasArray(csvPath, records);
    for (auto _ : state) {
        trelmo::XmlPreview p = trelmo::PreviewXML(schema, "records", "Shift_JIS", records, kRecords);
        if (p.bytes.empty()) state.SkipWithError(p.problem.c_str());
        benchmark::DoNotOptimize(p);
    }
}
BENCHMARK(EnginePreview)->Unit(benchmark::kMillisecond);

void WindowRefresh(benchmark::State& state) {
    PrintedMessages messages;
    FixedFile files(QString::fromStdString(csvPath));
    NoCursor cursor;
    trelmo::ui::UiServices services{messages, files, cursor};
    trelmo::ui::FrmEdit editor(services);
    editor.show();
    editor.ShowDocument(makeSchema());
    editor.findChild<QAction*>("mnuFileOpenCSV")->trigger();
    editor.findChild<QAction*>("mnuViewXmlPreview")->trigger();
    QApplication::processEvents();
    auto* root = editor.findChild<QLineEdit*>("Text1");
    int n = 0;
    for (auto _ : state) {
        root->setText(QStringLiteral("records%1").arg(++n % 2));  // one refresh
        QApplication::processEvents();
    }
    if (auto* w = editor.findChild<trelmo::ui::XmlPreviewWindow*>(); !w || w->result().bytes.empty())
        state.SkipWithError("no preview");
}
BENCHMARK(WindowRefresh)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("trelmo-xml-preview-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    csvPath = writeCsv(dir / "records.csv");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(dir);
    return 0;
}
