// Times the editor's CSV preview on a generated file of 100,000 records of 20
// fields, through the real menu command ("CSVを開く") with the window shown,
// and reports the process's peak memory.
//   build/bench/preview_bench [records] [fields] [runs]
#include <sys/resource.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QTreeView>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/csv/csv.h"
#include "bench/bench_services.h"
#include "ui/editor/frm_edit.h"

namespace {

using trelmo::bench::FixedFile;
using trelmo::bench::NoCursor;
using trelmo::bench::PrintedMessages;

using Clock = std::chrono::steady_clock;

// Peak resident memory of the process so far, in MB.
double peakMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Fields of several shapes: numbers, words, Japanese text, quoted commas.
std::string makeCsv(const std::filesystem::path& path, int records, int fields) {
    std::ofstream out(path, std::ios::binary);
    std::string line;
    for (int r = 0; r < records; ++r) {
        line.clear();
        for (int f = 0; f < fields; ++f) {
            if (f) line += ',';
            switch (f % 4) {
            case 0: line += std::to_string(r * fields + f); break;
            case 1: line += "name" + std::to_string(r % 997); break;
            case 2: line += "\"Kobe, Hyogo " + std::to_string(f) + "\""; break;
            default: line += "神戸市中央区"; break;
            }
        }
        line += "\r\n";
        out << line;
    }
    return path.string();
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const int records = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int fields = argc > 2 ? std::atoi(argv[2]) : 20;
    const int runs = argc > 3 ? std::atoi(argv[3]) : 3;

    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("trelmo-preview-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string csv = makeCsv(dir / "big.csv", records, fields);
    std::printf("file: %d records x %d fields, %.1f MB\n", records, fields,
                static_cast<double>(std::filesystem::file_size(csv)) / 1e6);

    QApplication app(argc, argv);
    PrintedMessages messages;
    FixedFile files(QString::fromStdString(csv));
    NoCursor cursor;
    trelmo::ui::UiServices services{messages, files, cursor};
    trelmo::ui::FrmEdit editor(services);
    editor.show();
    QApplication::processEvents();
    auto* open = editor.findChild<QAction*>("mnuFileOpenCSV");
    auto* view = editor.findChild<QTreeView*>("ListView2");
    std::printf("before: peak %.0f MB\n", peakMb());

    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const Clock::time_point start = Clock::now();
        open->trigger();
        view->repaint();  // the table drawn with its first rows
        QApplication::processEvents();
        times.push_back(seconds(Clock::now() - start));
        std::printf("run %d: %.3f s, %d rows x %d columns, peak %.0f MB\n", run + 1, times.back(),
                    view->model()->rowCount(), view->model()->columnCount(), peakMb());
    }
    std::sort(times.begin(), times.end());
    std::printf("preview: median %.3f s, best %.3f s; process peak %.0f MB\n", times[times.size() / 2],
                times.front(), peakMb());

    // The engine's part alone: reading the records.
    std::vector<std::string> all;
    const Clock::time_point start = Clock::now();
    trelmo::CSV().GetCSVasArray(csv, all);
    std::printf("engine: records read in %.3f s\n", seconds(Clock::now() - start));

    std::filesystem::remove_all(dir);
    return 0;
}
