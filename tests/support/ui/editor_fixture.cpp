#include "tests/support/ui/editor_fixture.h"

#include <QGuiApplication>
#include <QPalette>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include "tests/support/ui/qt_app.h"
#include "ui/editor/preview_model.h"

namespace trelmo::test {

EditorTest::EditorTest() {
    qtApp();
    editor = std::make_unique<ui::FrmEdit>(services, nullptr);
    editor->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(editor.get()));
}

EditorTest::~EditorTest() = default;

void EditorTest::activate() const {
    editor->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(editor.get()));
}

void EditorTest::ctrlKey(Qt::Key key) const {
    activate();
    QTest::keyClick(editor.get(), key, Qt::ControlModifier);
}

void EditorTest::clickNode(int treeIndex) const {
    QTreeWidgetItem* item = tree()->node(treeIndex);
    ASSERT_NE(item, nullptr) << "tree index " << treeIndex;
    tree()->scrollToItem(item);
    const QRect rect = tree()->visualItemRect(item);
    QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, rect.center());
}

void EditorTest::clickButton(const char* name) const {
    QTest::mouseClick(control<QPushButton>(name), Qt::LeftButton);
}

void EditorTest::type(QLineEdit* box, const char* text) const {
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, QString::fromUtf8(text));
}

void EditorTest::show(std::string_view text) const {
    xml::Document doc;
    ASSERT_TRUE(doc.loadXml(text)) << doc.parseError().reason;
    editor->showDocument(std::move(doc));
}

std::string EditorTest::schemaXml() const {
    if (!editor->schemaDoc()) return {};
    std::string text = editor->schemaDoc()->xml();
    std::erase_if(text, [](char c) { return c == '\n' || c == '\r'; });
    return text;
}

std::string EditorTest::treeDump() const {
    std::string out;
    for (int k = 1; k <= tree()->nodeCount(); ++k) {
        const QTreeWidgetItem* item = tree()->node(k);
        int depth = 0;
        for (const QTreeWidgetItem* p = item->parent(); p; p = p->parent()) ++depth;
        out += std::string(2 * static_cast<std::size_t>(depth), ' ');
        out += item->text(0).toStdString();
        out += " " + std::to_string(item->data(0, ui::SchemaTreeView::PictureRole).toInt());
        out += " " + item->foreground(0).color().name().toStdString();
        if (item->isExpanded()) out += " open";
        if (item->isSelected()) out += " selected";
        out += "\n";
    }
    return out;
}

std::string EditorTest::nodeListDump() const {
    std::string out;
    for (int i = 0; i < nodeList()->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = nodeList()->topLevelItem(i);
        out += row->text(0).toStdString() + "|" + row->text(1).toStdString() + "|" +
               row->text(2).toStdString() + "\n";
    }
    return out;
}

int EditorTest::selectedIndex() const {
    return tree()->treeIndex(tree()->selectedNode());
}

ui::PreviewModel* EditorTest::preview() const {
    return static_cast<ui::PreviewModel*>(control<QTreeView>("ListView2")->model());
}

std::string EditorTest::previewDump() const {
    const ui::PreviewModel* model = preview();
    std::string out;
    for (int c = 0; c < model->columnCount(); ++c)
        out += (c ? "|" : "") + model->headerData(c, Qt::Horizontal).toString().toStdString();
    out += "\n";
    for (int r = 0; r < model->rowCount(); ++r) {
        for (int c = 0; c < model->columnCount(); ++c)
            out += (c ? "|" : "") + model->cell(r, c).toStdString();
        out += "\n";
    }
    return out;
}

std::string EditorTest::comboItems() const {
    std::string out;
    for (int i = 0; i < combo2()->count(); ++i)
        out += (i ? "," : "") + combo2()->itemText(i).toStdString();
    return out;
}

std::string EditorTest::panel() const {
    auto describe = [](const QWidget* w, const QString& text) {
        const QColor base = w->palette().color(QPalette::Base);
        const std::string colour = base == QGuiApplication::palette().color(QPalette::Base) ? "window"
                                   : base == QColor(0xC0, 0xC0, 0xC0)                     ? "grey"
                                                                      : base.name().toStdString();
        return "[" + text.toStdString() + "] " + (w->isEnabled() ? "on " : "off ") + colour;
    };
    return describe(txtName(), txtName()->text()) + " / " +
           describe(combo2(), combo2()->currentText());
}

std::string EditorTest::lastMessage() const {
    return messages.shown.empty() ? std::string() : messages.shown.back().text;
}

void EditorTest::expectOneDialog(ui::FileDialogMode mode, const char* title, const char* filter,
                                 const char* defaultExt, int flags) const {
    ASSERT_EQ(files.shown.size(), 1u);
    const ui::FileDialogSettings& s = files.shown[0].settings;
    EXPECT_EQ(files.shown[0].mode, mode);
    EXPECT_EQ(s.title, QString::fromUtf8(title));
    EXPECT_EQ(s.fileName, "");
    EXPECT_EQ(s.filter, QString::fromUtf8(filter));
    if (defaultExt) {
        EXPECT_EQ(s.defaultExt, defaultExt);
    }
    EXPECT_EQ(s.flags, flags);
    EXPECT_TRUE(s.cancelError);
}

}  // namespace trelmo::test
