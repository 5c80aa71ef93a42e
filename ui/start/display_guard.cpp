#include "ui/start/display_guard.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace trelmo::ui {
namespace {

// A message held back; the context's strings are literals of the code that logged.
struct Held {
    QtMsgType type;
    const char* file;
    int line;
    const char* function;
    const char* category;
    QString text;
};
std::vector<Held> held;
const StartTexts* texts = nullptr;  // of the guard that lives

// What Qt's platform plugins say when they cannot reach the display (X11,
// Wayland) before they give up.
bool displayUnreachable() {
    for (const Held& m : held) {
        if (m.text.contains(QLatin1String("could not connect to display")) ||
            m.text.contains(QLatin1String("Failed to create wl_display"))) {
            return true;
        }
    }
    return false;
}

void hold(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        if (displayUnreachable()) {
            std::fputs(texts->noDisplay, stderr);
        } else {
            const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
            std::fputs(windowSystemFailed(*texts, platform).toUtf8().constData(), stderr);
        }
        std::fflush(stderr);
        std::_Exit(1);
    }
    held.push_back(Held{type, context.file, context.line, context.function, context.category, text});
}

}  // namespace

QString windowSystemFailed(const StartTexts& start, const QString& platform) {
    QString line = QString::fromUtf8(start.program) + QString::fromUtf8(": ウィンドウシステムを起動できませんでした。");
    if (!platform.isEmpty()) {
        line += QString::fromUtf8("QT_QPA_PLATFORM の「%1」を確かめてください。").arg(platform);
    }
    return line + QLatin1Char('\n');
}

DisplayGuard::DisplayGuard(const StartTexts& start) : previous_(qInstallMessageHandler(hold)) { texts = &start; }

DisplayGuard::~DisplayGuard() {
    qInstallMessageHandler(previous_);
    texts = nullptr;
    for (const Held& m : held) {
        qt_message_output(m.type, QMessageLogContext(m.file, m.line, m.function, m.category), m.text);
    }
    held.clear();
}

}  // namespace trelmo::ui
