#pragma once
// Enter presses the focused push button, as Space does, in every window of the
// program: Qt's buttons answer Enter only as a dialog's default button.

#include <QObject>

class QCoreApplication;

namespace trelmo::ui {

class EnterPressesButtons final : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Installs the rule on the application (once; later calls change nothing).
void pressButtonsWithEnter(QCoreApplication& app);

}  // namespace trelmo::ui
