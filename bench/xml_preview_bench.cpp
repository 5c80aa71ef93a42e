// The schema editor's XML preview on N records of 200 fields with a schema
// that binds every field, the given view shown:
//   - the engine's part of a refresh alone (the save check, the conversion);
//   - a refresh of the shown window, from the change to the first lines
//     painted and coloured, and until the rest of the view is filled (a part
//     a turn of the event loop, so typing goes on meanwhile);
//   - typing ABCDE into the root-name box at a steady pace, a key every 80,
//     160 and 240 ms: how late each key is handled after it is due, refreshes
//     in between included.
// With "xsd", the schema names an XSD that the records meet, whatever root
// name is typed, so that every refresh checks them all; the check alone is
// timed too.
// Budgets: 100 ms a refresh, 50 ms a key.
//   build/bench/xml_preview_bench [N [indented|raw [xsd]]]      (default: 100 raw)
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "bench/bench_services.h"
#include "engine/convert/xml_preview.h"
#include "engine/xsd/preview_check.h"
#include "ui/editor/frm_edit.h"
#include "ui/preview/xml_preview_window.h"

namespace {

using trelmo::bench::FixedFile;
using trelmo::bench::NoCursor;
using trelmo::bench::PrintedMessages;

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

// An XSD that the records of makeSchema meet, under each root name typed:
// a pattern on the elements, a length on the attributes.
std::string writeXsd(const std::filesystem::path& path) {
    std::ofstream out(path, std::ios::binary);
    out << "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\">"
           "<xs:simpleType name=\"short\"><xs:restriction base=\"xs:string\"><xs:maxLength value=\"40\"/>"
           "</xs:restriction></xs:simpleType>"
           "<xs:simpleType name=\"coded\"><xs:restriction base=\"xs:string\"><xs:pattern value=\"\\S+_\\d+\"/>"
           "</xs:restriction></xs:simpleType>"
           "<xs:complexType name=\"records\"><xs:sequence><xs:element name=\"record\" maxOccurs=\"unbounded\">"
           "<xs:complexType><xs:sequence>";
    for (int g = 0; g < kFields / 10; ++g) {
        out << "<xs:element name=\"group" << g << "\"><xs:complexType mixed=\"true\"><xs:sequence>";
        for (int f = g * 10 + 4; f < g * 10 + 10; f += 5) out << "<xs:element name=\"e" << f << "\" type=\"coded\"/>";
        out << "</xs:sequence>";
        for (int f = g * 10; f < g * 10 + 10; f += 5) out << "<xs:attribute name=\"a" << f << "\" type=\"short\"/>";
        out << "</xs:complexType></xs:element>";
    }
    out << "</xs:sequence></xs:complexType></xs:element></xs:sequence></xs:complexType>";
    for (const char* root : {"records", "records0", "records1", "recordsA", "recordsAB", "recordsABC", "recordsABCD",
                             "recordsABCDE"})
        out << "<xs:element name=\"" << root << "\" type=\"records\"/>";
    out << "</xs:schema>";
    return path.string();
}

std::string writeCsv(const std::filesystem::path& path, int records) {
    std::ofstream out(path, std::ios::binary);
    for (int r = 0; r < records; ++r) {
        for (int f = 0; f < kFields; ++f) out << (f ? "," : "") << (f % 2 ? "神戸市中央区" : "value") << r << '_' << f;
        out << "\r\n";
    }
    return path.string();
}

double ms(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; }

struct Stats {
    std::vector<double> values;
    double median() {
        std::sort(values.begin(), values.end());
        return values.empty() ? 0 : values[values.size() / 2];
    }
    double most() const { return values.empty() ? 0 : *std::max_element(values.begin(), values.end()); }
};

// Runs the event loop for a while.
void idle(int milliseconds) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < milliseconds) QApplication::processEvents(QEventLoop::AllEvents, 5);
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const int records = argc > 1 ? std::atoi(argv[1]) : 100;
    const bool raw = argc > 2 ? std::string(argv[2]) != "indented" : true;
    const bool withXsd = argc > 3 && std::string(argv[3]) == "xsd";
    if (records < 2 || records > trelmo::ui::XmlPreviewWindow::kMaxRecords) {
        std::fprintf(stderr, "usage: xml_preview_bench [N (2..100) [indented|raw [xsd]]]\n");
        return 2;
    }
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("trelmo-xml-preview-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string csvPath = writeCsv(dir / "records.csv", records);

    const std::string xsdPath = withXsd ? writeXsd(dir / "records.xsd") : std::string();
    const auto schemaWithXsd = [&] {
        trelmo::xml::Document doc = makeSchema();
        if (withXsd) doc.documentElement().setAttribute("xsd", xsdPath);
        return doc;
    };
    const trelmo::xml::Document schema = schemaWithXsd();
    const trelmo::PreviewCsv csv = trelmo::ReadPreviewCsv(csvPath, static_cast<std::size_t>(records));
    Stats engine;
    std::size_t bytes = 0;
    for (int i = 0; i < 15; ++i) {
        QElapsedTimer t;
        t.start();
        const trelmo::XmlPreview p =
            trelmo::PreviewXML(schema, "records", "Shift_JIS", csv.records, static_cast<std::size_t>(records));
        engine.values.push_back(ms(t));
        if (p.bytes.empty()) {
            std::fprintf(stderr, "no preview: %s\n", p.problem.c_str());
            return 1;
        }
        bytes = p.bytes.size();
    }
    Stats check;
    if (withXsd) {
        const trelmo::XmlPreview p =
            trelmo::PreviewXML(schema, "records", "Shift_JIS", csv.records, static_cast<std::size_t>(records));
        trelmo::xsd::PreviewXsdChecker checker;
        for (int i = 0; i < 15; ++i) {
            QElapsedTimer t;
            t.start();
            const trelmo::xsd::PreviewXsdResult r = checker.check(schema, "", p, csv.records);
            check.values.push_back(ms(t));
            if (!r.checked || r.total != 0) {
                std::fprintf(stderr, "the XSD check: %s%zu faults\n", r.problem.c_str(), r.total);
                return 1;
            }
        }
    }

    PrintedMessages messages;
    FixedFile files(QString::fromStdString(csvPath));
    NoCursor cursor;
    trelmo::ui::UiServices services{messages, files, cursor};
    trelmo::ui::FrmEdit editor(services);
    editor.show();
    editor.showDocument(schemaWithXsd());
    auto* root = editor.findChild<QLineEdit*>("Text1");
    root->setText(QStringLiteral("records"));
    editor.findChild<QAction*>("mnuFileOpenCSV")->trigger();
    editor.findChild<QAction*>("mnuViewXmlPreview")->trigger();
    auto* window = editor.findChild<trelmo::ui::XmlPreviewWindow*>();
    auto* tabs = window->findChild<QTabWidget*>("tabViews");
    tabs->setCurrentIndex(raw ? 1 : 0);
    window->findChild<QSpinBox*>("spnRecords")->setValue(records);
    idle(300);

    Stats refresh, filled, longestStep;
    for (int i = 0; i < 15; ++i) {
        root->setText(QStringLiteral("records%1").arg(i % 2));
        QElapsedTimer t;
        t.start();
        window->refresh();
        window->repaint();
        refresh.values.push_back(ms(t));
        // The rest of the view comes from the event loop, a part a turn.
        while (window->refreshPending()) {
            QElapsedTimer step;
            step.start();
            QApplication::processEvents(QEventLoop::AllEvents);
            longestStep.values.push_back(ms(step));
        }
        filled.values.push_back(ms(t));
    }
    if (window->result().bytes.empty()) {
        std::fprintf(stderr, "no preview: %s\n", window->result().problem.c_str());
        return 1;
    }

    std::printf("%d records x %d fields, %s view, output %zu bytes\n", records, kFields, raw ? "raw" : "indented",
                bytes);
    std::printf("engine part of a refresh: median %.1f ms, most %.1f ms\n", engine.median(), engine.most());
    if (withXsd)
        std::printf("the XSD check of the records shown: median %.1f ms, most %.1f ms\n", check.median(), check.most());
    std::printf("refresh to the first lines painted: median %.1f ms, most %.1f ms\n", refresh.median(),
                refresh.most());
    std::printf("until the whole view is filled: median %.1f ms; the longest turn of the event loop meanwhile %.1f ms\n",
                filled.median(), longestStep.most());

    // Typing: each key is due at a fixed time and handled as soon as the
    // event loop is free; the delay is from due to handled.
    for (const int pace : {80, 160, 240}) {
        root->setFocus();
        root->setText(QStringLiteral("records"));
        idle(400);
        Stats late;
        QElapsedTimer clock;
        clock.start();
        const QString keys = QStringLiteral("ABCDE");
        for (int k = 0; k < keys.size(); ++k) {
            const qint64 due = static_cast<qint64>(k + 1) * pace;
            while (clock.elapsed() < due) QApplication::processEvents(QEventLoop::AllEvents, 1);
            QKeyEvent press(QEvent::KeyPress, Qt::Key_A + k, Qt::ShiftModifier, keys.mid(k, 1));
            QApplication::sendEvent(root, &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_A + k, Qt::ShiftModifier, keys.mid(k, 1));
            QApplication::sendEvent(root, &release);
            late.values.push_back(ms(clock) - static_cast<double>(due));
        }
        idle(400);
        std::printf("typing ABCDE, a key every %d ms: a key handled at most %.1f ms after it is due\n", pace,
                    late.most());
    }
    std::filesystem::remove_all(dir);
    return 0;
}
