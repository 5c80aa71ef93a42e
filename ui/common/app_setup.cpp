#include "ui/common/app_setup.h"

#include <QApplication>
#include <ostream>

#include "ui/common/app_look.h"
#include "ui/common/enter_key.h"
#include "ui/common/qt_file_dialog.h"
#include "ui/common/qt_texts.h"

namespace trelmo::ui {

void setUpApplication(QApplication& app, std::ostream& warnings, MessageSink& messages) {
    QApplication::setApplicationName(QStringLiteral("trelmo"));
    QApplication::setWindowIcon(appIcon());
    keepNoQtSettings();
    useQtJapanese(app, warnings);
    // In English: without the font a terminal may not show Japanese either.
    if (japaneseFontFamily().isEmpty()) {
        warnings << "trelmo: no installed font has Japanese glyphs, so the window's texts show as empty boxes;"
                    " install one, e.g. the Debian package fonts-noto-cjk\n";
        // Started from the desktop menu nobody reads standard error.
        messages.show(kNoJapaneseFont, MsgIcon::Exclamation);
    }
    useJapaneseFont();
    pressButtonsWithEnter(app);
}

}  // namespace trelmo::ui
