#include "ui/common/qt_file_dialog.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QMessageBox>
#include <QSettings>
#include <QTreeView>

#include "ui/common/qt_cursor.h"

namespace trelmo::ui {
namespace {

// One pattern of the filter as Qt wildcards.
QStringList qtPatterns(const QString& pattern) {
    QStringList result;
    for (QString p : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        p = p.trimmed();
        if (p.isEmpty()) continue;
        if (p == QLatin1String("*.*")) p = QStringLiteral("*");
        result << p;
        // Files made on other systems often have upper-case extensions.
        if (p.toUpper() != p) result << p.toUpper();
    }
    return result;
}

// The detail view's sizes and dates in the program's locale: Qt's file model
// writes them in the system's, English in a C or English session.
class LocalDetails final : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !files || (index.column() != 1 && index.column() != 3)) {
            return QIdentityProxyModel::data(index, role);
        }
        const QModelIndex source = mapToSource(index);
        if (index.column() == 3) return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
        return files->isDir(source) ? QString() : QLocale().formattedDataSize(files->size(source));
    }
};

bool isFile(const QString& path) { return QFileInfo(path).isFile(); }

// Qt sizes the detail view's columns for English; these fit the Japanese
// size, type and date texts.
void fitDetailColumns(QFileDialog& dialog) {
    auto* tree = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!tree) return;
    const QFontMetrics metrics(tree->font());
    const auto width = [&metrics](const QString& text) { return metrics.horizontalAdvance(text + QStringLiteral("MM")); };
    const QLocale locale;
    QHeaderView* header = tree->header();
    header->resizeSection(0, width(QStringLiteral("a_somewhat_long_file_name.csv")));
    header->resizeSection(1, width(locale.formattedDataSize(1023 * 1024)));
    header->resizeSection(2, width(QString::fromUtf8("CSV ドキュメント")));
    header->resizeSection(3, width(locale.toString(QDateTime(QDate(2000, 12, 31), QTime(23, 59)), QLocale::ShortFormat)));
    // Wide enough for them beside the places list.
    dialog.resize(std::max(dialog.width(), header->length() + 240), dialog.height());
}

}  // namespace

QStringList qtNameFilters(const QString& filter) {
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QStringList patterns = qtPatterns(parts[i + 1]);
        if (patterns.isEmpty()) continue;
        // Qt reads the patterns from the last parentheses and, with
        // HideNameFilterDetails, shows only what comes before them.
        result << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return result;
}

void keepNoQtSettings() {
    // A file cannot hold a folder: nothing is read there and nothing written.
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        QSettings::setPath(format, QSettings::UserScope, QStringLiteral("/dev/null"));
    }
}

void configureFileDialog(QFileDialog& dialog, FileDialogMode mode, const FileDialogSettings& settings) {
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setWindowTitle(settings.title);
    if (!dynamic_cast<LocalDetails*>(dialog.proxyModel())) dialog.setProxyModel(new LocalDetails(&dialog));
    const bool save = mode == FileDialogMode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Any name may be typed: ChooserDialog checks that a file to open exists
    // once the default extension has had its chance.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !(save && (settings.flags & dlgflags::OverwritePrompt)));
    // For opening, the extension is added only to a name that does not exist
    // as it is (ChooserDialog, CommonDialog).
    dialog.setDefaultSuffix(save ? settings.defaultExt : QString());

    const QStringList filters = qtNameFilters(settings.filter);
    if (filters.isEmpty()) {
        dialog.setNameFilters({});
    } else {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.first());
    }

    // A definite folder: the given file's, else the initial folder while it
    // exists, else the working folder. Nothing is remembered between runs.
    const QFileInfo given(settings.fileName);
    if (!settings.fileName.isEmpty() && given.isAbsolute()) {
        dialog.setDirectory(given.absolutePath());
        dialog.selectFile(given.fileName());
    } else {
        const bool initial = !settings.initDir.isEmpty() && QFileInfo(settings.initDir).isDir();
        dialog.setDirectory(initial ? settings.initDir : QDir::currentPath());
        if (!settings.fileName.isEmpty()) dialog.selectFile(settings.fileName);
    }
}

ChooserDialog::ChooserDialog(QWidget* parent, FileDialogMode mode, const FileDialogSettings& settings)
    : QFileDialog(parent) {
    configureFileDialog(*this, mode, settings);
    fitDetailColumns(*this);
    const bool open = mode == FileDialogMode::Open;
    mustExist_ = open && (settings.flags & dlgflags::FileMustExist) != 0;
    if (open) openExt_ = settings.defaultExt;
}

void ChooserDialog::accept() {
    const QStringList typed = selectedFiles();
    if (typed.size() != 1 || QFileInfo(typed.first()).isDir()) {
        QFileDialog::accept();  // nothing typed, or a folder to go into
        return;
    }
    const QString& path = typed.first();
    const QString extended = path + QLatin1Char('.') + openExt_;
    const bool extend = !openExt_.isEmpty() && !QFileInfo::exists(path) &&
                        !QFileInfo(path).fileName().contains(QLatin1Char('.')) && isFile(extended);
    if (mustExist_ && !extend && !QFileInfo::exists(path)) {
        const QString text = QCoreApplication::translate(
            "QFileDialog", "%1\nFile not found.\nPlease verify the correct file name was given.");
        QMessageBox::warning(this, windowTitle(), text.arg(QFileInfo(path).fileName()));
        return;
    }
    // Qt adds the default suffix to the typed name while it accepts and in
    // the selected files it reports afterwards.
    if (!openExt_.isEmpty()) setDefaultSuffix(extend ? openExt_ : QString());
    QFileDialog::accept();
}

std::optional<QString> QtFileDialogBackend::run(FileDialogMode mode, const FileDialogSettings& settings) {
    QWidget* parent = owner_.data();
    if (!parent) parent = QApplication::activeModalWidget();
    if (!parent) parent = QApplication::activeWindow();
    ChooserDialog dialog(parent, mode, settings);
    const NormalPointer pointer;
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(chosen.first());
}

}  // namespace trelmo::ui
