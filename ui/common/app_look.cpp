#include "ui/common/app_look.h"

#include <QApplication>
#include <QFontDatabase>

// Pulls the embedded icons (rendered from the SVG while building) into the program.
static void initAppResources() { Q_INIT_RESOURCE(app); }

namespace trelmo::ui {

QString japaneseFontFamily() {
    static const char* const candidates[] = {
        "Noto Sans CJK JP", "Noto Sans JP", "Source Han Sans JP", "IPAexGothic", "IPAPGothic",
        "IPAGothic", "TakaoPGothic", "VL PGothic", "VL Gothic", "Droid Sans Japanese",
    };
    const QStringList installed = QFontDatabase::families();
    for (const char* family : candidates) {
        const QString name = QString::fromLatin1(family);
        if (installed.contains(name, Qt::CaseInsensitive)) return name;
    }
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    return japanese.isEmpty() ? QString() : japanese.first();
}

void useJapaneseFont() {
    const QString family = japaneseFontFamily();
    if (family.isEmpty()) return;
    QFont font = QApplication::font();
    font.setFamilies({family});
    QApplication::setFont(font);
}

QFont windowFont() {
    QFont font = QApplication::font();
    font.setPixelSize(12);
    return font;
}

QIcon appIcon() {
    static const bool loaded = (initAppResources(), true);
    (void)loaded;
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/trelmo/trelmo-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace trelmo::ui
