#include "ui/common/qt_texts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstring>
#include <ostream>

namespace trelmo::ui {
namespace {

// Qt 6 asks for the file dialog's type names ("Folder", "Drive", ...) under
// QAbstractFileIconProvider; the Japanese file still has them under
// QFileDialog, where Qt 5 asked. This answers the new context from the old.
class MovedFileTypeTexts final : public QTranslator {
public:
    MovedFileTypeTexts(const QTranslator& qtbase, QObject* parent) : QTranslator(parent), qtbase_(qtbase) {}

    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override {
        if (!context || std::strcmp(context, "QAbstractFileIconProvider") != 0) return {};
        return qtbase_.translate("QFileDialog", sourceText, disambiguation, n);
    }
    bool isEmpty() const override { return false; }

private:
    const QTranslator& qtbase_;
};

}  // namespace

bool useQtJapanese(QCoreApplication& app, std::ostream& warnings) {
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* qtbase = new QTranslator(&app);
    if (!qtbase->load(QStringLiteral("qtbase_ja"), folder)) {
        delete qtbase;
        warnings << "trelmo: Qt's Japanese texts (qtbase_ja.qm) were not found in " << folder.toStdString()
                 << "; Qt's dialogs stay English (Debian package qt6-translations-l10n)\n";
        return false;
    }
    QCoreApplication::installTranslator(qtbase);
    // Installed last, so asked first.
    QCoreApplication::installTranslator(new MovedFileTypeTexts(*qtbase, &app));
    return true;
}

}  // namespace trelmo::ui
