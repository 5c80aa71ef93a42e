// The schema editor at its limit, a schema of 32,000 elements (Google
// Benchmark): insert, delete, register, undo and redo, each from the key to
// the repainted window. The budget is 100 ms an edit.
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

trelmo::xml::Document makeSchema() {
    std::string text = "<?xml version=\"1.0\"?><element name=\"record\" root=\"records\">";
    for (int g = 0; g < kGroups; ++g) {
        text += "<element name=\"g" + std::to_string(g) + "\">";
        for (int i = 0; i < kPerGroup; ++i)
            text += "<attribute name=\"a" + std::to_string(i) + "\" DataSource=\"1\"/>";
        text += "</element>";
    }
    text += "</element>";
    trelmo::xml::Document doc;
    if (!doc.loadXml(text)) std::abort();
    return doc;
}

// The editor with the schema, a node in the middle selected.
struct Editor {
    PrintedMessages messages;
    FixedFile files;
    NoCursor cursor;
    trelmo::ui::UiServices services{messages, files, cursor};
    trelmo::ui::FrmEdit window{services};
    trelmo::ui::SchemaTreeView* tree = nullptr;

    Editor() {
        window.show();
        window.showDocument(makeSchema());
        tree = window.findChild<trelmo::ui::SchemaTreeView*>("TreeView1");
        select(1 + (kGroups / 2) * (1 + kPerGroup) + 1);  // a group in the middle
        QApplication::processEvents();
    }
    void select(int treeIndex) {
        tree->selectNode(tree->node(treeIndex));
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

void Insert(benchmark::State& state) {
    Editor e;
    const int group = e.tree->treeIndex(e.tree->selectedNode());
    Measure(state, e, [&] { e.key(Qt::Key_E, Qt::ControlModifier); },
            [&] {
                e.key(Qt::Key_Z, Qt::ControlModifier);
                e.select(group);
            });
}
BENCHMARK(Insert)->UseManualTime()->Unit(benchmark::kMillisecond);

void Delete(benchmark::State& state) {
    Editor e;
    const int leaf = e.tree->treeIndex(e.tree->selectedNode()) + 1;
    e.select(leaf);
    Measure(state, e, [&] { e.key(Qt::Key_Delete); },
            [&] {
                e.key(Qt::Key_Z, Qt::ControlModifier);
                e.select(leaf);
            });
}
BENCHMARK(Delete)->UseManualTime()->Unit(benchmark::kMillisecond);

void Register(benchmark::State& state) {
    Editor e;
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
BENCHMARK(Register)->UseManualTime()->Unit(benchmark::kMillisecond);

void UndoAfterInsert(benchmark::State& state) {
    Editor e;
    e.key(Qt::Key_E, Qt::ControlModifier);
    Measure(state, e, [&] { e.key(Qt::Key_Z, Qt::ControlModifier); },
            [&] { e.key(Qt::Key_Y, Qt::ControlModifier); });
}
BENCHMARK(UndoAfterInsert)->UseManualTime()->Unit(benchmark::kMillisecond);

void RedoAfterInsert(benchmark::State& state) {
    Editor e;
    e.key(Qt::Key_E, Qt::ControlModifier);
    e.key(Qt::Key_Z, Qt::ControlModifier);
    Measure(state, e, [&] { e.key(Qt::Key_Y, Qt::ControlModifier); },
            [&] { e.key(Qt::Key_Z, Qt::ControlModifier); });
}
BENCHMARK(RedoAfterInsert)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
