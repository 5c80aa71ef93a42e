#include "ui/common/enter_key.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPushButton>

namespace trelmo::ui {

bool EnterPressesButtons::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
    // Key events reach a button only while it has the focus.
    auto* button = qobject_cast<QPushButton*>(watched);
    if (!button || !button->isEnabled()) return false;
    // Holding the key down presses the button once, as holding Space does.
    if (!key->isAutoRepeat()) button->click();
    return true;
}

void pressButtonsWithEnter(QCoreApplication& app) {
    if (app.findChild<EnterPressesButtons*>(QString(), Qt::FindDirectChildrenOnly)) return;
    app.installEventFilter(new EnterPressesButtons(&app));
}

}  // namespace trelmo::ui
