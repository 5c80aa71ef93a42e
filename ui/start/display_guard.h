#pragma once
// Starting the window system. Without a display, or with one that does not
// answer, the program says so in one line on standard error and exits with
// status 1, instead of Qt's own text and an abort; so it does, in Japanese,
// when the window system itself cannot be started (a platform that Qt does
// not have, QT_QPA_PLATFORM=bogus).

#include <QString>
#include <QtGlobal>

namespace trelmo::ui {

// What a program says when its window cannot be shown.
struct StartTexts {
    const char* program;    // heads the lines: "trelmo", "trelmo-edit"
    const char* noDisplay;  // the whole line when there is no display
};

// The line when the window system could not be started; `platform` is the
// QT_QPA_PLATFORM asked for, empty when none was.
QString windowSystemFailed(const StartTexts& texts, const QString& platform);

// While it lives (around the construction of the application object), a
// fatal message from Qt ends the program as above: the no-display line when
// the display could not be reached, otherwise the window-system line. Qt's
// other messages of that time are held back and passed on when the guard
// ends, so that they do not precede the one line.
class DisplayGuard {
public:
    explicit DisplayGuard(const StartTexts& texts);
    ~DisplayGuard();
    DisplayGuard(const DisplayGuard&) = delete;
    DisplayGuard& operator=(const DisplayGuard&) = delete;

private:
    QtMessageHandler previous_;
};

}  // namespace trelmo::ui
