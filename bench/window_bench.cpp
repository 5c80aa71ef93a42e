// One conversion through the real conversion window, offscreen, as a whole
// process, for bench/run to time beside the command line:
//   window_bench CSV DSD XML
// Fills the three boxes, presses "変換" and exits 0 when the window says
// "変換されました。"; any other message is printed and the exit status is 1.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "bench/bench_services.h"
#include "ui/convert/frm_main.h"

namespace {

using trelmo::bench::FixedFile;
using trelmo::bench::NoCursor;

class Messages : public trelmo::MessageSink {
public:
    using MessageSink::show;
    trelmo::MsgAnswer show(const trelmo::Message& message) override {
        converted = message.text == "変換されました。";
        if (!converted) std::fprintf(stderr, "%s\n", message.text.c_str());
        return trelmo::MsgAnswer::Ok;
    }
    bool converted = false;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: window_bench CSV DSD XML\n");
        return 2;
    }
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    Messages messages;
    FixedFile files;
    NoCursor cursor;
    trelmo::ui::UiServices services{messages, files, cursor};
    trelmo::ui::FrmMain window(services);
    window.show();
    QApplication::processEvents();
    const char* boxes[] = {"Text1", "Text2", "Text3"};
    for (int i = 0; i < 3; ++i) window.findChild<QLineEdit*>(boxes[i])->setText(QString::fromLocal8Bit(argv[i + 1]));
    window.findChild<QPushButton*>("cmdDoConvert")->click();
    return messages.converted ? 0 : 1;
}
