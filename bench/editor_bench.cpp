// The schema editor at its limit, schemas of 32,000 elements in two shapes
// (Google Benchmark): insert, delete, register, undo and redo at the top
// node, its first child and its last, each from the key to the repainted
// window. The budget is 100 ms an edit.
//   build/bench/editor_bench [--benchmark_...]
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>

#include "bench/bench_services.h"
#include "ui/editor/frm_edit.h"
#include "ui/editor/schema_tree_view.h"

namespace {

using trelmo::bench::FixedFile;
using trelmo::bench::NoCursor;
using trelmo::bench::PrintedMessages;

constexpr int kGroups = 320;
constexpr int kPerGroup = 99;  // 1 + 320 * (1 + 99) = 32,001 elements
constexpr int kFlat = 16000;   // 1 + 16,000 * 2 = 32,001 elements

// Two shapes: 320 groups of 99 attributes, and the flat schema that Ctrl+G
// makes of a wide CSV, 16,000 elements each holding its text node.
trelmo::xml::Document makeSchema(bool flat) {
    std::string text = "<?xml version=\"1.0\"?><element name=\"record\" root=\"records\">";
    for (int g = 0; g < (flat ? kFlat : kGroups); ++g) {
        text += "<element name=\"g" + std::to_string(g) + "\">";
        if (flat) text += "<text DataSource=\"1\"/>";
        for (int i = 0; !flat && i < kPerGroup; ++i)
            text += "<attribute name=\"a" + std::to_string(i) + "\" DataSource=\"1\"/>";
        text += "</element>";
    }
    text += "</element>";
    trelmo::xml::Document doc;
    if (!doc.loadXml(text)) std::abort();
    return doc;
}

// The editor with a schema of either shape, the node at one of three places
// selected: the top node (an edit at the end of its children), its first
// child, or its last.
struct Editor {
    PrintedMessages messages;
    FixedFile files;
    NoCursor cursor;
    trelmo::ui::UiServices services{messages, files, cursor};
    trelmo::ui::FrmEdit window{services};
    trelmo::ui::SchemaTreeView* tree = nullptr;
    int place = 0;
    int lastChild = 0;

    explicit Editor(const benchmark::State& state) {
        const bool flat = state.range(0) == 1;
        window.show();
        window.showDocument(makeSchema(flat));
        tree = window.findChild<trelmo::ui::SchemaTreeView*>("TreeView1");
        lastChild = tree->nodeCount() - (flat ? 1 : kPerGroup);
        const int places[] = {1, 2, lastChild};
        place = places[state.range(1)];
        select(place);
        QApplication::processEvents();
    }
    void select(int treeIndex) {
        window.selectTreeIndex(treeIndex);
        tree->setFocus();
    }
    // A key on the focused control, then the window repainted.
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(QApplication::focusWidget(), k, modifiers);
        window.repaint();
        QApplication::processEvents();
    }
};

// Times `timed` alone; `untimed` puts the schema back between runs.
void Measure(benchmark::State& state, Editor& e, const std::function<void()>& timed,
             const std::function<void()>& untimed) {
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        timed();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        untimed();
    }
}

// Args: shape (0 groups, 1 flat), place (0 top, 1 first child, 2 last child).
void Places(benchmark::internal::Benchmark* b) {
    for (int shape : {0, 1})
        for (int place : {0, 1, 2}) b->Args({shape, place});
    b->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
}

void Insert(benchmark::State& state) {
    Editor e(state);
    Measure(state, e, [&] { e.key(Qt::Key_E, Qt::ControlModifier); },
            [&] {
                e.key(Qt::Key_Z, Qt::ControlModifier);
                e.select(e.place);
            });
}
BENCHMARK(Insert)->Apply(Places);

// The top node cannot be deleted: its place stands for its last child's.
void Delete(benchmark::State& state) {
    Editor e(state);
    if (e.place == 1) e.place = e.lastChild;
    e.select(e.place);
    Measure(state, e, [&] { e.key(Qt::Key_Delete); },
            [&] {
                e.key(Qt::Key_Z, Qt::ControlModifier);
                e.select(e.place);
            });
}
BENCHMARK(Delete)->Apply(Places);

void Register(benchmark::State& state) {
    Editor e(state);
    auto* name = e.window.findChild<QLineEdit*>("txtName");
    int n = 0;
    Measure(state, e,
            [&] {
                name->setText(QStringLiteral("g%1").arg(++n % 2));
                name->setFocus();
                e.key(Qt::Key_Return);
            },
            [] {});
}
BENCHMARK(Register)->Apply(Places);

void UndoAfterInsert(benchmark::State& state) {
    Editor e(state);
    e.key(Qt::Key_E, Qt::ControlModifier);
    Measure(state, e, [&] { e.key(Qt::Key_Z, Qt::ControlModifier); },
            [&] { e.key(Qt::Key_Y, Qt::ControlModifier); });
}
BENCHMARK(UndoAfterInsert)->Apply(Places);

void RedoAfterInsert(benchmark::State& state) {
    Editor e(state);
    e.key(Qt::Key_E, Qt::ControlModifier);
    e.key(Qt::Key_Z, Qt::ControlModifier);
    Measure(state, e, [&] { e.key(Qt::Key_Y, Qt::ControlModifier); },
            [&] { e.key(Qt::Key_Z, Qt::ControlModifier); });
}
BENCHMARK(RedoAfterInsert)->Apply(Places);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
