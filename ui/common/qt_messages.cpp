#include "ui/common/qt_messages.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QTextEdit>
#include <QPushButton>
#include <vector>

#include "ui/common/qt_cursor.h"

namespace trelmo::ui {
namespace {

// The buttons of a message, from the left.
std::vector<QMessageBox::StandardButton> buttonsOf(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::Ok: return {QMessageBox::Ok};
    case MsgButtons::OkCancel: return {QMessageBox::Ok, QMessageBox::Cancel};
    case MsgButtons::YesNo: return {QMessageBox::Yes, QMessageBox::No};
    case MsgButtons::YesNoCancel: return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    }
    return {QMessageBox::Ok};
}

QMessageBox::Icon iconOf(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::None: return QMessageBox::NoIcon;
    case MsgIcon::Critical: return QMessageBox::Critical;
    case MsgIcon::Exclamation: return QMessageBox::Warning;
    case MsgIcon::Information: return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

// A list below the text, open from the start: scrollable, its text
// selectable, with a button that copies it all.
void showDetails(QMessageBox& box, const std::string& details) {
    QString text = QString::fromStdString(details);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    box.setDetailedText(text);
    for (QAbstractButton* button : box.buttons()) {
        if (box.buttonRole(button) == QMessageBox::ActionRole) button->click();  // "Show Details..."
    }
    if (auto* list = box.findChild<QTextEdit*>()) list->setMinimumWidth(720);
    auto* copy = box.addButton(QStringLiteral("コピー"), QMessageBox::ActionRole);
    // Copying leaves the box open.
    copy->disconnect();
    QObject::connect(copy, &QPushButton::clicked, &box, [text] { QGuiApplication::clipboard()->setText(text); });
}

}  // namespace

std::unique_ptr<QMessageBox> makeMessageBox(const Message& message, QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(QString::fromUtf8(kAppTitle));
    box->setIcon(iconOf(message.icon));
    // Plain text: parser messages quote markup that must not be rendered.
    box->setTextFormat(Qt::PlainText);
    QString text = QString::fromStdString(visibleText(message.text));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    box->setText(text);

    const auto buttons = buttonsOf(message.buttons);
    QMessageBox::StandardButtons all;
    for (auto b : buttons) all |= b;
    box->setStandardButtons(all);
    const std::size_t index = message.defaultButton >= 0 ? static_cast<std::size_t>(message.defaultButton) : 0;
    box->setDefaultButton(buttons[index < buttons.size() ? index : 0]);
    box->setEscapeButton(message.buttons == MsgButtons::Ok      ? QMessageBox::Ok
                         : message.buttons == MsgButtons::YesNo ? QMessageBox::No
                                                                : QMessageBox::Cancel);
    if (!message.details.empty()) showDetails(*box, message.details);
    return box;
}

MsgAnswer answerFor(QMessageBox::StandardButton button, MsgButtons buttons) {
    switch (button) {
    case QMessageBox::Ok: return MsgAnswer::Ok;
    case QMessageBox::Yes: return MsgAnswer::Yes;
    case QMessageBox::No: return MsgAnswer::No;
    case QMessageBox::Cancel: return MsgAnswer::Cancel;
    default:
        return buttons == MsgButtons::Ok ? MsgAnswer::Ok : buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Cancel;
    }
}

MsgAnswer QtMessages::show(const Message& message) {
    QWidget* parent = owner_.data();
    if (!parent) parent = QApplication::activeModalWidget();
    if (!parent) parent = QApplication::activeWindow();
    auto box = makeMessageBox(message, parent);
    const NormalPointer pointer;  // no hourglass over a box that waits for the user
    const int result = box->exec();
    return answerFor(static_cast<QMessageBox::StandardButton>(result), message.buttons);
}

}  // namespace trelmo::ui
