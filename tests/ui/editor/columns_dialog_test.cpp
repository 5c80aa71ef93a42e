// "CSVの列から作成(&G)": when it can be used, the dialog's proposal, the names
// taken from the first record, the kinds, and the one step that inserts them.
#include <QApplication>
#include <QPushButton>
#include <functional>

#include "tests/ui/editor/columns_fixture.h"
#include "ui/editor/preview_model.h"

namespace trelmo::test {
namespace {

using ui::ColumnsModel;

const char* const kTop = "<element name=\"r\"/>";

// Where it cannot work, Ctrl+G says why, as the insert keys do.
TEST_F(ColumnsTest, WhereTheCommandCannotWorkItSaysWhy) {
    show("<element name=\"r\"><text DataSource=\"1\"/></element>");
    EXPECT_EQ(openDialog(1), nullptr);
    EXPECT_NE(lastMessage().find("CSVを開いてください"), std::string::npos) << lastMessage();
    previewCsv("a,b\r\nc,d\r\n");
    EXPECT_EQ(openDialog(2), nullptr);
    EXPECT_EQ(lastMessage(), "elementにしか子要素を挿入できません。");
    EXPECT_NE(openDialog(1), nullptr);
}

// From the keyboard: Tab leaves the table, the box has its key, and every
// row is checked or cleared at once.
TEST_F(ColumnsTest, TheKeyboard) {
    open(kTop, "a,b,c\r\n");
    ui::ColumnsDialog* dialog = openDialog();
    ASSERT_NE(dialog, nullptr);
    auto* table = dialog->findChild<QWidget*>("grdColumns");
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    table->setFocus();
    QTest::keyClick(table, Qt::Key_Tab);
    EXPECT_FALSE(table->hasFocus());
    auto* box = dialog->findChild<QCheckBox*>("chkFirstRecord");
    QCoreApplication::processEvents();  // the focus moved by Tab settles
    // A key clicks as the mouse does, released a moment later.
    const auto press = [&](Qt::Key key, const std::function<bool()>& done) {
        QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier);
        return QTest::qWaitFor(done);
    };
    EXPECT_TRUE(press(Qt::Key_N, [&] { return box->isChecked(); }));
    EXPECT_TRUE(press(Qt::Key_L, [&] { return dialog->chosen().empty(); }));
    EXPECT_TRUE(press(Qt::Key_A, [&] { return dialog->chosen().size() == 3; }));
}

TEST_F(ColumnsTest, EnterTakesTheDefaultsAsOneStep) {
    open("<element name=\"r\"><attribute name=\"k\" DataSource=\"9\"/></element>",
         "id,名前,x\r\n1,2,3\r\n");
    ui::ColumnsDialog* dialog = openDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("CSVの列から作成"));
    EXPECT_EQ(names(dialog), "列1,列2,列3");
    EXPECT_FALSE(dialog->findChild<QCheckBox*>("chkFirstRecord")->isChecked());
    const ColumnsModel& m = dialog->model();
    for (int r = 0; r < m.rowCount(); ++r) {
        EXPECT_EQ(m.index(r, ColumnsModel::Use).data(Qt::CheckStateRole), Qt::Checked);
        EXPECT_EQ(m.index(r, ColumnsModel::Kind).data().toString(), QString::fromUtf8("要素"));
    }
    EXPECT_EQ(m.index(1, ColumnsModel::Sample).data().toString(), QString::fromUtf8("名前 / 2"));
    EXPECT_TRUE(dialog->findChild<QPushButton*>("cmdOK")->isDefault());

    const std::string before = schemaXml();
    pressEnter(dialog);
    EXPECT_EQ(editor->findChild<ui::ColumnsDialog*>(), nullptr);
    EXPECT_EQ(schemaXml(),
              "<element name=\"r\"><attribute name=\"k\" DataSource=\"9\"/>"
              "<element name=\"列1\"><text DataSource=\"1\"/></element>"
              "<element name=\"列2\"><text DataSource=\"2\"/></element>"
              "<element name=\"列3\"><text DataSource=\"3\"/></element></element>");
    EXPECT_EQ(tree()->nodeCount(), 8);
    EXPECT_EQ(nodeList()->topLevelItemCount(), 8);
    EXPECT_EQ(selectedIndex(), 1);
    EXPECT_TRUE(editor->isModified());
    EXPECT_TRUE(messages.shown.empty()) << lastMessage();

    trigger("mnuEditUndo");
    EXPECT_EQ(schemaXml(), before);
    EXPECT_EQ(tree()->nodeCount(), 2);
    trigger("mnuEditRedo");
    EXPECT_EQ(tree()->nodeCount(), 8);
}

// Each first-record value that can name a node, in the encoding of the box,
// and that no column has taken; "列N" otherwise, which OK refuses where the
// encoding cannot hold it.
TEST_F(ColumnsTest, NamesFromTheFirstRecord) {
    struct Case {
        const char* encoding;
        const char* csv;
        const char* names;
        bool ok = true;
    };
    const Case cases[] = {
        {"", "id,名前,x.y\r\n", "id,名前,x.y"},
        {"", "1001,a b,x:y,,<t>,①\r\n", "列1,列2,列3,列4,列5,列6"},  // no XML names, a prefix
        {"", "a,a,b,a\r\n", "a,列2,b,列4"},                          // taken already
        {"", "列2,,c\r\n", "列1,列2,c"},                             // a default name is kept
        {"Shift_JIS", "名前,\xF0\x9F\x98\x80,～\r\n", "名前,列2,～"},  // U+1F600 has no code
        {"ISO-8859-1", "名前,é\r\n", "列1,é", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.csv);
        open(kTop, c.csv);
        type(txtEncoding(), c.encoding);
        ui::ColumnsDialog* dialog = openDialog();
        ASSERT_NE(dialog, nullptr);
        auto* box = dialog->findChild<QCheckBox*>("chkFirstRecord");
        box->setChecked(true);
        EXPECT_EQ(names(dialog), c.names);
        EXPECT_EQ(dialog->findChild<QPushButton*>("cmdOK")->isEnabled(), c.ok);
        box->setChecked(false);
        EXPECT_EQ(names(dialog).substr(0, 4), "列1");
        dialog->reject();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// Attributes first, then the other kinds, each in column order; an unchecked
// column makes nothing; a comment takes no name.
TEST_F(ColumnsTest, TheKinds) {
    open(kTop, "a,b,c,d,e,f\r\n");
    ui::ColumnsDialog* dialog = openDialog();
    ASSERT_NE(dialog, nullptr);
    ColumnsModel& m = dialog->model();
    const int kinds[] = {1, 0, 2, 3, 1, 0};  // 属性, 要素, CDATA, コメント, 属性, 要素
    for (int r = 0; r < 6; ++r) m.setData(m.index(r, ColumnsModel::Kind), kinds[r]);
    m.setData(m.index(5, ColumnsModel::Use), Qt::Unchecked, Qt::CheckStateRole);
    EXPECT_EQ(m.index(3, ColumnsModel::Name).flags() & Qt::ItemIsEditable, Qt::NoItemFlags);
    pressEnter(dialog);
    EXPECT_EQ(schemaXml(),
              "<element name=\"r\">"
              "<attribute name=\"列1\" DataSource=\"1\"/><attribute name=\"列5\" DataSource=\"5\"/>"
              "<element name=\"列2\"><text DataSource=\"2\"/></element>"
              "<element name=\"列3\"><cdatasection DataSource=\"3\"/></element>"
              "<comment DataSource=\"4\"/></element>");
}

// A name typed that the output cannot use is marked and holds OK back
// until it is mended or its row unchecked.
TEST_F(ColumnsTest, ATypedNameThatBreaksTheRules) {
    open(kTop, "a,b,c\r\n");
    type(txtEncoding(), "Shift_JIS");
    ui::ColumnsDialog* dialog = openDialog();
    ASSERT_NE(dialog, nullptr);
    ColumnsModel& m = dialog->model();
    auto* ok = dialog->findChild<QPushButton*>("cmdOK");
    const QModelIndex name = m.index(1, ColumnsModel::Name);
    for (const char* bad : {"", "a b", "1a", "p:q", "\xF0\x9F\x98\x80"}) {
        SCOPED_TRACE(bad);
        m.setData(name, QString::fromUtf8(bad));
        EXPECT_FALSE(ok->isEnabled());
        EXPECT_TRUE(name.data(Qt::BackgroundRole).isValid());
        m.setData(name, QStringLiteral("good"));
        EXPECT_TRUE(ok->isEnabled());
        EXPECT_FALSE(name.data(Qt::BackgroundRole).isValid());
    }
    m.setData(name, QStringLiteral("a b"));
    m.setData(m.index(1, ColumnsModel::Use), Qt::Unchecked, Qt::CheckStateRole);
    EXPECT_TRUE(ok->isEnabled());
    m.setData(m.index(1, ColumnsModel::Kind), 3);  // a comment needs no name
    m.setData(m.index(1, ColumnsModel::Use), Qt::Checked, Qt::CheckStateRole);
    EXPECT_TRUE(ok->isEnabled());
}

// Two rows of one name: refused only when both are checked attributes, which
// go on one element, as is an attribute the element has; elements of one name
// are valid XML.
TEST_F(ColumnsTest, OnlyCheckedAttributesMayNotShareAName) {
    enum { Element, Attribute, CData, Comment };
    const struct {
        int first, second;
        bool firstUsed;
        bool ok;
    } cases[] = {
        {Element, Element, true, true},   {CData, Element, true, true},
        {Attribute, Element, true, true}, {Attribute, Attribute, true, false},
        {Attribute, Attribute, false, true},
    };
    open("<element name=\"r\"><attribute name=\"held\" DataSource=\"1\"/></element>", "a,b\r\n");
    ui::ColumnsDialog* dialog = openDialog();
    ASSERT_NE(dialog, nullptr);
    ColumnsModel& m = dialog->model();
    for (int r = 0; r < 2; ++r) m.setData(m.index(r, ColumnsModel::Name), QStringLiteral("same"));
    for (const auto& c : cases) {
        m.setData(m.index(0, ColumnsModel::Kind), c.first);
        m.setData(m.index(1, ColumnsModel::Kind), c.second);
        m.setData(m.index(0, ColumnsModel::Use), c.firstUsed ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
        EXPECT_EQ(m.namesUsable(), c.ok) << c.first << c.second << c.firstUsed;
    }
    m.setData(m.index(1, ColumnsModel::Kind), Element);
    m.setData(m.index(1, ColumnsModel::Name), QStringLiteral("held"));
    EXPECT_TRUE(m.namesUsable());
    m.setData(m.index(1, ColumnsModel::Kind), Attribute);
    EXPECT_FALSE(m.namesUsable());
}

// A CDATA column makes two elements, as an element column does; OK takes up
// to exactly 32,767 and past them says so, the dialog staying open.
TEST_F(ColumnsTest, TheElementLimitIsExact) {
    ui::PreviewModel preview;
    preview.addHeader("1");
    preview.addItem({"a"});
    enum { Element, Attribute, CData, Comment };
    const struct {
        int kind;
        std::size_t existing;
        bool taken;
    } cases[] = {
        {CData, 32765, true},    {CData, 32766, false},    {Element, 32766, false},
        {Comment, 32766, true},  {Attribute, 32767, false},
    };
    for (const auto& c : cases) {
        messages.shown.clear();
        ui::ColumnsDialog dialog(preview, "", c.existing, {}, false, messages);
        dialog.model().setData(dialog.model().index(0, ColumnsModel::Kind), c.kind);
        dialog.accept();
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.taken) << c.kind << " " << c.existing;
        EXPECT_EQ(messages.shown.size(), c.taken ? 0u : 1u);
    }
}

}  // namespace
}  // namespace trelmo::test
