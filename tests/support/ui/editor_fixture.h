#pragma once
// The schema editor in a test: shown offscreen, with recorded message boxes,
// scripted file dialogs (which cancel unless told otherwise), and helpers that
// drive and read the real window through the objectNames of its controls.

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QTreeWidget>
#include <memory>
#include <optional>
#include <string>

#include "tests/support/recording_messages.h"
#include "tests/support/ui/recording_cursor.h"
#include "tests/support/ui/scripted_file_dialog.h"
#include "ui/common/services.h"
#include "ui/editor/frm_edit.h"
#include "ui/editor/schema_tree_view.h"

namespace trelmo::ui {
class PreviewModel;
}

namespace trelmo::test {

// The question before unsaved changes would be lost.
inline constexpr const char* kSaveQuestion = "変更されています。保存しますか？";
// The question before values typed into the panel would be lost.
inline constexpr const char* kPendingQuestion =
    "ノード名またはデータソースが登録されていません。登録しますか？";
// A command with no node selected.
inline constexpr const char* kNoNodeSelected = "ノードを選択してください。";

class EditorTest : public ::testing::Test {
protected:
    EditorTest();
    ~EditorTest() override;

    template <class T>
    T* control(const char* name) const {
        T* found = editor->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QAction* action(const char* name) const { return control<QAction>(name); }
    void trigger(const char* name) const { action(name)->trigger(); }

    ui::SchemaTreeView* tree() const { return control<ui::SchemaTreeView>("TreeView1"); }
    QTreeWidget* nodeList() const { return control<QTreeWidget>("ListView1"); }
    QLineEdit* txtName() const { return control<QLineEdit>("txtName"); }
    QComboBox* combo2() const { return control<QComboBox>("Combo2"); }
    QLineEdit* text1() const { return control<QLineEdit>("Text1"); }
    QLineEdit* txtEncoding() const { return control<QLineEdit>("txtEncoding"); }
    // The rows and columns behind ListView2.
    ui::PreviewModel* preview() const;

    // Makes the window the active one, so that shortcuts reach it.
    void activate() const;
    // Presses a key with Ctrl on the window.
    void ctrlKey(Qt::Key key) const;
    // Clicks the tree node with this tree index with the left button.
    void clickNode(int treeIndex) const;
    void clickButton(const char* name) const;
    // Replaces the text of a box as the user does, by typing.
    void type(QLineEdit* box, const char* text) const;

    // Opens text as the schema being edited.
    void show(std::string_view text) const;

    // SchemaDoc as saved, without line breaks ("" when there is none).
    std::string schemaXml() const;
    // The tree, one node a line in tree-index order: indentation by depth,
    // text, picture, text colour, and "open" / "selected" when so.
    std::string treeDump() const;
    // The node list, "NodeType|NodeName|DataSource" a row.
    std::string nodeListDump() const;
    // The tree index of the selected node, 0 for none.
    int selectedIndex() const;
    // The CSV preview: the headers, then one row a line, cells joined by "|".
    std::string previewDump() const;
    // The choices of Combo2, joined by ",".
    std::string comboItems() const;
    // The properties panel: "[name] on|off colour / [data source] on|off colour",
    // colour being "window" or "grey".
    std::string panel() const;
    // The last message shown, or empty.
    std::string lastMessage() const;
    // The one file dialog shown so far: its mode and settings, with no file
    // name given and cancelling raising an error; defaultExt null means none checked.
    void expectOneDialog(ui::FileDialogMode mode, const char* title, const char* filter,
                         const char* defaultExt, int flags) const;

    RecordingMessages messages;
    ScriptedFileDialog files;
    RecordingCursor cursor;
    ui::UiServices services{messages, files, cursor};
    std::unique_ptr<ui::FrmEdit> editor;
};

}  // namespace trelmo::test
