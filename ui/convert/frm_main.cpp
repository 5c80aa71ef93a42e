#include "ui/convert/frm_main.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPointer>
#include <QPushButton>
#include <initializer_list>
#include <string>

#include "engine/convert/conversion.h"
#include "ui/common/engine_path.h"
#include "ui/convert/bar_progress.h"
#include "ui/editor/frm_edit.h"

namespace trelmo::ui {
namespace {

constexpr const char* kNoCsvChosen = "CSVが選択されていません。";
constexpr const char* kNoSchemaChosen = "スキーマが選択されていません。";
constexpr const char* kNoDestinationChosen = "保存先が選択されていません。";
constexpr const char* kConverted = "変換されました。";

constexpr const char* kAboutText = "Trelmo - Ver 0.01\r\nTrelmo project\r\nhttps://trelmo.example/";

constexpr int kOpenFlags = dlgflags::FileMustExist | dlgflags::HideReadOnly;  // 4100

std::string utf8(const QLineEdit* box) { return enginePath(box->text()); }

// The status line shows each stage at once, before the next one starts; the
// last one says whether the output was checked against an XSD.
class StatusLine final : public StageSink {
public:
    explicit StatusLine(QLabel& label) : label_(&label) {}
    void reached(Stage stage) override {
        if (stage == Stage::CheckedAgainstXsd) checked_ = true;
        if (!label_) return;
        label_->setText(checked_ && stage == Stage::Finished ? QStringLiteral("Finish - checked against the XSD")
                                                             : text(stage));
        label_->repaint();
    }

private:
    static QString text(Stage stage) {
        switch (stage) {
        case Stage::SchemaLoaded:
            return QStringLiteral("DSD has loaded.");
        case Stage::CsvLoaded:
            return QStringLiteral("CSV has loaded, now converting....");
        case Stage::Saving:
            return QStringLiteral("Saving XML...");
        case Stage::CheckedAgainstXsd:
            return QStringLiteral("Checked against the XSD.");
        case Stage::Finished:
            return QStringLiteral("Finish");
        }
        return {};
    }

    QPointer<QLabel> label_;
    bool checked_ = false;
};

// Marks the window busy for the lifetime of a handler.
class BusyScope {
public:
    explicit BusyScope(bool& busy) : busy_(busy) { busy_ = true; }
    ~BusyScope() { busy_ = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& busy_;
};

// The hourglass from construction to destruction.
class Hourglass {
public:
    explicit Hourglass(CursorControl& cursor) : cursor_(cursor) { cursor_.setWait(true); }
    ~Hourglass() { cursor_.setWait(false); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;

private:
    CursorControl& cursor_;
};

}  // namespace

FrmMain::FrmMain(UiServices& services, QWidget* parent)
    : QWidget(parent), services_(services), CommonDialog1(services.files) {
    buildControls();
    centreOnScreen();
}

FrmMain::~FrmMain() = default;

void FrmMain::closeEvent(QCloseEvent* event) {
    // A conversion still owns the window's controls and files.
    if (busy_) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void FrmMain::Command1_Click() {
    if (!busy_) choose(Chooser::Csv);
}

void FrmMain::Command2_Click() {
    if (!busy_) choose(Chooser::Schema);
}

void FrmMain::Command3_Click() {
    if (!busy_) choose(Chooser::Output);
}

void FrmMain::choose(Chooser which) {
    FileDialogSettings& dlg = CommonDialog1.settings;
    QLineEdit* target = nullptr;
    switch (which) {
    case Chooser::Csv:
        dlg.title = QString::fromUtf8("CSVを開く");
        dlg.fileName.clear();
        dlg.cancelError = true;
        dlg.filter = QString::fromUtf8("CSVファイル(*.csv)|*.csv|すべてのﾌｧｲﾙ (*.*)|*.*");
        dlg.flags = kOpenFlags;
        target = Text1;
        break;
    case Chooser::Schema:
        dlg.title = QString::fromUtf8("開く");
        dlg.fileName.clear();
        dlg.cancelError = true;
        dlg.filter = QString::fromUtf8("スキーマﾌｧｲﾙ (*.dsd)|*.dsd|すべてのﾌｧｲﾙ (*.*)|*.*");
        dlg.flags = kOpenFlags;
        target = Text2;
        break;
    case Chooser::Output:
        dlg.title = QString::fromUtf8("保存先の選択");
        dlg.fileName.clear();
        dlg.cancelError = true;
        dlg.filter = QString::fromUtf8("XML(*.xml)|*.xml|すべてのﾌｧｲﾙ (*.*)|*.*");
        dlg.defaultExt = QStringLiteral("xml");
        target = Text3;
        break;
    }

    const FileDialogMode mode = which == Chooser::Output ? FileDialogMode::Save : FileDialogMode::Open;
    if (!CommonDialog1.choose(mode, services_.messages)) return;
    target->setText(dlg.fileName);
}

void FrmMain::cmdDoConvert_Click() {
    if (busy_) return;
    const BusyScope busy(busy_);
    if (Text1->text().isEmpty()) {
        services_.messages.show(kNoCsvChosen, MsgIcon::Exclamation);
        choose(Chooser::Csv);
        return;
    }
    if (Text2->text().isEmpty()) {
        services_.messages.show(kNoSchemaChosen, MsgIcon::Exclamation);
        choose(Chooser::Schema);
        return;
    }
    if (Text3->text().isEmpty()) {
        services_.messages.show(kNoDestinationChosen, MsgIcon::Exclamation);
        choose(Chooser::Output);
        return;
    }
    setConverting(true);
    convert();
    setConverting(false);
}

void FrmMain::setConverting(bool converting) {
    if (converting) focusBeforeConverting_ = focusWidget();
    for (QWidget* control : std::initializer_list<QWidget*>{Text1, Text2, Text3, Command1, Command2, Command3,
                                                            cmdDoConvert, cmdEditSchema, cmdInfo}) {
        control->setEnabled(!converting);
    }
    if (!converting && focusBeforeConverting_) focusBeforeConverting_->setFocus();
}

void FrmMain::convert() {
    const ConversionPaths paths{utf8(Text1), utf8(Text2), utf8(Text3)};
    // Everything the conversion creates is released before it returns,
    // whatever the outcome; the pointer is restored after any message.
    const Hourglass hourglass(services_.cursor);
    BarProgress progress(*ProgressBar1);
    StatusLine status(*Label4);
    RunReported(services_.messages, [&] {
        if (Convert(paths, {services_.messages, progress, status, MsgIcon::Critical})) {
            services_.messages.show(kConverted, MsgIcon::Information);
        }
    });
}

void FrmMain::cmdEditSchema_Click() {
    if (busy_) return;
    if (!frmEdit_) frmEdit_ = new FrmEdit(services_, this);
    // Modal over this window without blocking here: the editor runs in the
    // application's event loop.
    frmEdit_->setWindowModality(Qt::ApplicationModal);
    frmEdit_->show();
    frmEdit_->raise();
    frmEdit_->activateWindow();
}

void FrmMain::cmdInfo_Click() {
    if (busy_) return;
    services_.messages.show(kAboutText);
}

}  // namespace trelmo::ui
