// The document state: a new schema, Modified after each change, and the
// question asked before changes would be lost.
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <algorithm>
#include <functional>

#include "tests/support/temp_dir.h"
#include "tests/support/ui/editor_fixture.h"
#include "ui/editor/preview_model.h"

namespace trelmo::test {
namespace {

const char* const kQuestion = kSaveQuestion;
const char* const kNewSchema = "<?xml version=\"1.0\"?><element name=\"element\"/>";
// Passes the save check without a question.
const char* const kBound = "<element name=\"r\"><text DataSource=\"1\"/></element>";

class StateTest : public EditorTest {
protected:
    // Closes (dropping any changes) and shows the window again.
    void showAgain() {
        if (editor->isModified()) messages.answerNext(MsgAnswer::No);
        editor->close();
        editor->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(editor.get()));
        messages.shown.clear();
    }
};

// In a fresh window, and over a changed schema with a CSV preview.
TEST_F(StateTest, NewSchemaMakesTheDeclarationAndTopElementAfresh) {
    for (const bool over : {false, true}) {
        SCOPED_TRACE(over ? "over a changed schema" : "fresh window");
        if (over) {
            clickNode(1);
            ctrlKey(Qt::Key_E);
            txtEncoding()->setText("Shift_JIS");
            text1()->setText("shops");
            preview()->addHeader("1");
            preview()->addHeader("2");
            preview()->addItem({"a", "b"});
            messages.answerNext(MsgAnswer::No);
        }
        trigger("mnuFileNew");
        EXPECT_EQ(schemaXml(), kNewSchema);
        EXPECT_EQ(treeDump(), "element 1 #0000c0 open selected\n");
        EXPECT_EQ(nodeListDump(), "element|element|\n");
        EXPECT_EQ(editor->schemaNodeList().size(), 1u);
        EXPECT_EQ(selectedIndex(), 1);
        EXPECT_EQ(text1()->text(), "RootNode");
        EXPECT_EQ(control<QLineEdit>("Text2")->text(), "/RootNode");
        EXPECT_EQ(txtEncoding()->text(), "");
        EXPECT_EQ(comboItems(), "1,2,3,4,5");
        EXPECT_EQ(combo2()->currentText(), "");
        EXPECT_EQ(previewDump(), "\n");
        EXPECT_TRUE(editor->isModified());
        EXPECT_EQ(messages.texts(), over ? std::vector<std::string>{kQuestion} : std::vector<std::string>{});
    }
}

// Each edit of an opened, unchanged schema is a change that closing asks
// about; opening and registering the values a node has are none.
TEST_F(StateTest, EveryEditIsAChange) {
    const std::pair<const char*, std::function<void()>> edits[] = {
        {"register a name",
         [&] { clickNode(2); txtName()->setText("b"); clickButton("cmdApply"); }},
        {"register a data source",
         [&] { clickNode(3); combo2()->setEditText("2"); clickButton("cmdApply"); }},
        {"type the root name", [&] { type(text1(), "x"); }},
        {"type the encoding", [&] { type(txtEncoding(), "UTF-8"); }},
        {"insert", [&] { clickNode(2); ctrlKey(Qt::Key_T); }},
        {"delete", [&] { clickNode(2); trigger("PopMnuDel"); }},
    };
    for (const auto& [name, edit] : edits) {
        SCOPED_TRACE(name);
        showAgain();
        show("<element name=\"r\"><element name=\"a\"/><text DataSource=\"1\"/></element>");
        clickNode(2);
        clickButton("cmdApply");  // the name it has
        ASSERT_FALSE(editor->isModified());
        edit();
        EXPECT_TRUE(editor->isModified());
        messages.answerNext(MsgAnswer::Cancel);
        editor->close();
        EXPECT_EQ(messages.texts(), std::vector<std::string>{kQuestion});
        EXPECT_TRUE(editor->isVisible());
    }
    // Typing without a document changes nothing.
    showAgain();
    type(text1(), "x");
    EXPECT_FALSE(editor->isModified());
}

// Closing, "新規" and opening ask before changes are lost. Yes saves, and
// they go on only after a save that went through. No drops the changes and
// goes on; Cancel does nothing.
TEST_F(StateTest, TheQuestionBeforeChangesAreLost) {
    struct Case {
        const char* command;
        MsgAnswer answer;
        bool saved;
        bool goesOn;  // closed, or the schema replaced
    };
    const Case cases[] = {
        {"mnuFileExit", MsgAnswer::Yes, true, true},
        {"mnuFileExit", MsgAnswer::Yes, false, false},
        {"mnuFileExit", MsgAnswer::No, false, true},
        {"mnuFileExit", MsgAnswer::Cancel, false, false},
        {"mnuFileNew", MsgAnswer::Yes, true, true},
        {"mnuFileNew", MsgAnswer::Yes, false, false},
        {"mnuFileNew", MsgAnswer::No, false, true},
        {"mnuFileNew", MsgAnswer::Cancel, false, false},
        {"mnuFileOpenDSD", MsgAnswer::Yes, true, true},
        {"mnuFileOpenDSD", MsgAnswer::Yes, false, false},
        {"mnuFileOpenDSD", MsgAnswer::No, false, true},
        {"mnuFileOpenDSD", MsgAnswer::Cancel, false, false},
    };
    // Without changes nothing is asked.
    show(kBound);
    trigger("mnuFileOpenDSD");
    editor->close();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(messages.shown.empty());

    for (const Case& c : cases) {
        const std::string command = c.command;
        SCOPED_TRACE(command + " " + std::to_string(static_cast<int>(c.answer)) +
                     (c.saved ? " saved" : ""));
        TempDir dir;
        if (!editor->isVisible()) {
            editor->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(editor.get()));
        }
        show(kBound);
        type(text1(), "out");
        ASSERT_TRUE(editor->isModified());
        messages.shown.clear();
        files.shown.clear();
        messages.answerNext(c.answer);
        if (c.saved) files.choose(QString::fromStdString(dir.file("s.dsd")));
        trigger(c.command);  // opening then cancels its dialog

        ASSERT_FALSE(messages.shown.empty());
        const Message& asked = messages.shown[0];
        EXPECT_EQ(asked.text, kQuestion);
        EXPECT_EQ(asked.buttons, MsgButtons::YesNoCancel);
        EXPECT_EQ(asked.icon, MsgIcon::None);
        EXPECT_EQ(asked.defaultButton, 0);
        const std::vector<std::string> texts = messages.texts();
        EXPECT_EQ(std::count(texts.begin(), texts.end(), kQuestion), 1);
        // Yes runs the save: its dialog comes first.
        EXPECT_EQ(!files.shown.empty() && files.shown[0].mode == ui::FileDialogMode::Save,
                  c.answer == MsgAnswer::Yes);
        EXPECT_EQ(fileExists(dir.path() / "s.dsd"), c.saved);
        const bool wentOn =
            command == "mnuFileExit" ? !editor->isVisible() : tree()->nodeCount() != 2;
        EXPECT_EQ(wentOn, c.goesOn);
        if (command == "mnuFileExit" && c.goesOn) continue;
        // Past the question nothing of the old schema counts as changed.
        EXPECT_EQ(editor->isModified(), c.goesOn ? command == "mnuFileNew" : !c.saved);
    }
}

// The settings kept in the schema: each change a step of the history, the
// XSD chosen below the schema's folder stored from there.
TEST_F(StateTest, DocumentSettingsAreUndoableChanges) {
    TempDir dir;
    const std::string file = dir.write("s.dsd", "<element name=\"r\" Namespace=\"urn:a\"/>");
    std::filesystem::create_directory(dir.path() / "xsd");
    editor->openSchemaFile(QString::fromStdString(file));
    auto* name = control<QLineEdit>("namespaceEdit");
    EXPECT_EQ(name->text(), "urn:a");
    type(name, "urn:b");
    control<QSpinBox>("headerRowsBox")->setValue(2);
    files.choose(QString::fromStdString(dir.file("xsd/in.xsd")));
    clickButton("xsdBrowseButton");
    EXPECT_EQ(schemaXml(), "<element name=\"r\" namespace=\"urn:b\" header=\"2\" xsd=\"xsd/in.xsd\"/>");
    EXPECT_TRUE(editor->isModified());
    for (int i = 0; i < 3; ++i) trigger("mnuEditUndo");
    EXPECT_EQ(name->text(), "urn:a");
    EXPECT_EQ(control<QLineEdit>("xsdPathEdit")->text(), "");
    EXPECT_FALSE(editor->isModified());
}

// A live view of the schema follows each change through the signal of its kind.
TEST_F(StateTest, EachChangeSendsTheSignalOfItsKind) {
    ui::SchemaDocument& document = editor->document();
    QSignalSpy reset(&document, &ui::SchemaDocument::reset);
    QSignalSpy inserted(&document, &ui::SchemaDocument::nodesInserted);
    QSignalSpy removed(&document, &ui::SchemaDocument::nodesRemoved);
    QSignalSpy changed(&document, &ui::SchemaDocument::nodeChanged);
    QSignalSpy settings(&document, &ui::SchemaDocument::settingsChanged);
    const std::tuple<const char*, std::function<void()>, QSignalSpy*> changes[] = {
        {"new", [&] { trigger("mnuFileNew"); }, &reset},
        {"insert", [&] { clickNode(1); ctrlKey(Qt::Key_E); }, &inserted},
        {"register", [&] { txtName()->setText("b"); clickButton("cmdApply"); }, &changed},
        {"undo", [&] { trigger("mnuEditUndo"); }, &changed},
        {"delete", [&] { trigger("PopMnuDel"); }, &removed},
        {"root name", [&] { type(text1(), "x"); }, &settings},
        {"encoding", [&] { type(txtEncoding(), "UTF-8"); }, &settings},
        {"open", [&] { messages.answerNext(MsgAnswer::No); trigger("mnuFileOpenDSD"); }, &reset},
    };
    for (const auto& [name, change, spy] : changes) {
        spy->clear();
        change();
        EXPECT_GE(spy->count(), 1) << name;
    }
}

// Escape, also while typing, does not close the window; the close box does,
// through the question.
TEST_F(StateTest, EscapeDoesNotClose) {
    trigger("mnuFileNew");
    activate();
    for (QWidget* w : std::initializer_list<QWidget*>{editor.get(), txtName(), tree()}) {
        w->setFocus();
        QTest::keyClick(w, Qt::Key_Escape);
        EXPECT_TRUE(editor->isVisible());
    }
    EXPECT_TRUE(messages.shown.empty());
    messages.answerNext(MsgAnswer::No);
    editor->close();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(messages.texts(), std::vector<std::string>{kQuestion});
}

}  // namespace
}  // namespace trelmo::test
