#include "ui/convert/display_guard.h"

#include <QString>
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

void hold(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        std::fputs(kNoDisplay, stderr);
        std::fflush(stderr);
        std::_Exit(1);
    }
    held.push_back(Held{type, context.file, context.line, context.function, context.category, text});
}

}  // namespace

DisplayGuard::DisplayGuard() : previous_(qInstallMessageHandler(hold)) {}

DisplayGuard::~DisplayGuard() {
    qInstallMessageHandler(previous_);
    for (const Held& m : held) {
        qt_message_output(m.type, QMessageLogContext(m.file, m.line, m.function, m.category), m.text);
    }
    held.clear();
}

}  // namespace trelmo::ui
