#include "ui/convert/frm_main.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <initializer_list>
#include <new>
#include <string>
#include <vector>

#include "engine/convert2xml.h"
#include "engine/csv.h"
#include "engine/error.h"
#include "engine/parse_xml.h"
#include "engine/startup.h"
#include "engine/xml/dom.h"
#include "ui/convert/bar_progress.h"
#include "ui/editor/frm_edit.h"

namespace trelmo::ui {
namespace {

constexpr const char* kNoCsvChosen = "CSVが選択されていません。";
constexpr const char* kNoSchemaChosen = "スキーマが選択されていません。";
constexpr const char* kNoDestinationChosen = "保存先が選択されていません。";
constexpr const char* kConverted = "変換されました。";
constexpr const char* kOutOfMemory = "メモリが足りません。";

constexpr const char* kAboutText = "Trelmo - Ver 0.01\r\nTrelmo project\r\nhttps://trelmo.example/";

constexpr int kOpenFlags = dlgflags::FileMustExist | dlgflags::HideReadOnly;  // 4100

std::string utf8(const QLineEdit* box) { return box->text().toStdString(); }

// The status line shows each stage at once, before the next one starts.
void setStatus(QLabel* status, const QString& text) {
    status->setText(text);
    status->repaint();
}

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
    const std::string csvPath = utf8(Text1);
    const std::string schemaPath = utf8(Text2);
    const std::string outputPath = utf8(Text3);
    // Everything the conversion creates is released when this scope ends,
    // whatever the outcome; the pointer is restored after any message.
    const Hourglass hourglass(services_.cursor);
    try {
        CSV csv;
        ParseXML loader(services_.messages);
        BarProgress progress(*ProgressBar1);
        Convert2XML generator(progress);
        xml::Document schemaDoc;
        xml::Document outputDoc;
        std::vector<std::string> records;

        loader.Parse(schemaDoc, schemaPath);
        if (!isLoaded(schemaDoc)) {
            services_.messages.show(kSchemaLoadFailed, MsgIcon::Critical);
            return;
        }
        setStatus(Label4, QStringLiteral("DSD has loaded."));
        if (csv.GetCSVasArray(csvPath, records) <= 0) {
            services_.messages.show(kNoValidData, MsgIcon::Exclamation);
            return;
        }
        setStatus(Label4, QStringLiteral("CSV has loaded, now converting...."));
        generator.CreateXML(schemaDoc, outputDoc, records);
        setStatus(Label4, QStringLiteral("Saving XML..."));
        outputDoc.save(outputPath);
        setStatus(Label4, QStringLiteral("Finish"));
        services_.messages.show(kConverted, MsgIcon::Information);
    } catch (const RuntimeError& e) {
        services_.messages.show(e.description());
    } catch (const std::bad_alloc&) {
        services_.messages.show(kOutOfMemory);
    } catch (const std::exception& e) {
        services_.messages.show(e.what());
    }
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
