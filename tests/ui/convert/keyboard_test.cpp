// Enter presses the focused button, as Space does, in both windows and in
// message boxes; elsewhere it presses nothing.

#include <QAction>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

#include "tests/ui/convert/frm_main_fixture.h"
#include "ui/common/enter_key.h"
#include "ui/common/qt_messages.h"

namespace trelmo::test {
namespace {

class KeyboardTest : public FrmMainTest {
protected:
    KeyboardTest() { ui::pressButtonsWithEnter(qtApp()); }

    // How often each key presses the button.
    static std::vector<int> clicksFor(QPushButton* button) {
        std::vector<int> clicks;
        const QSignalSpy spy(button, &QAbstractButton::clicked);
        for (const auto& [key, modifiers] : std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>>{
                 {Qt::Key_Return, Qt::NoModifier},
                 {Qt::Key_Enter, Qt::KeypadModifier},
                 {Qt::Key_Space, Qt::NoModifier},
                 {Qt::Key_Return, Qt::ControlModifier}}) {
            const auto before = spy.count();
            QTest::keyClick(button, key, modifiers);
            clicks.push_back(static_cast<int>(spy.count() - before));
        }
        return clicks;
    }
};

const std::vector<int> kPressedByEnterAndSpace = {1, 1, 1, 0};

TEST_F(KeyboardTest, EnterPressesTheFocusedButtonOfEitherWindow) {
    for (const char* name : {"Command1", "Command2", "Command3", "cmdDoConvert", "cmdInfo"}) {
        SCOPED_TRACE(name);
        QPushButton* button = control<QPushButton>(name);
        button->setFocus();
        EXPECT_EQ(clicksFor(button), kPressedByEnterAndSpace);
        EXPECT_EQ(window->focusWidget(), button);
    }
    EXPECT_EQ(files.shown.size(), 3u * 3 + 3) << "each chooser thrice, the CSV chooser thrice more";

    click("cmdEditSchema");
    // "登録" takes input only while a node is selected, as in a new schema.
    window->findChild<QAction*>("mnuFileNew")->trigger();
    auto* apply = window->findChild<QPushButton*>("cmdApply");
    ASSERT_NE(apply, nullptr);
    EXPECT_EQ(clicksFor(apply), kPressedByEnterAndSpace);
}

TEST_F(KeyboardTest, EnterInATextBoxPressesNoButton) {
    QTest::keyClick(box("Text1"), Qt::Key_Return);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(files.shown.empty());
}

TEST_F(KeyboardTest, EnterPressesTheFocusedButtonOfAMessageBox) {
    auto box = ui::makeMessageBox({"q", MsgButtons::YesNoCancel, MsgIcon::None, 0}, window.get());
    box->show();
    QAbstractButton* no = box->button(QMessageBox::No);
    no->setFocus();
    QTest::keyClick(no, Qt::Key_Return);
    EXPECT_EQ(box->clickedButton(), no);
    EXPECT_FALSE(box->isVisible());
}

}  // namespace
}  // namespace trelmo::test
