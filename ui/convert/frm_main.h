#pragma once
// The conversion window: three paths, one conversion with a status line and a
// progress bar, the about box and the way into the schema editor. Files
// dropped onto it fill the path boxes. It may be made wider than laid out; the
// path boxes take the extra width.

#include <QPointer>
#include <QWidget>

#include "ui/common/dropped_files.h"
#include "ui/common/file_dialog.h"
#include "ui/common/services.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QMimeData;
class QProgressBar;
class QPushButton;

namespace trelmo::ui {

class FrmEdit;

class FrmMain : public QWidget {
    Q_OBJECT
public:
    explicit FrmMain(UiServices& services, QWidget* parent = nullptr);
    ~FrmMain() override;

    // True while a conversion runs (and its yields let events through).
    bool converting() const { return busy_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // The path boxes take dropped files as a whole, not their URLs as text.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Chooser { Csv, Schema, Output };

    void buildControls();
    void centreOnScreen();

    // frm_main_drop.cpp: files dropped onto the window (target null) or onto
    // a path box. One file onto a box fills it; otherwise each file goes to
    // the box of its extension. What cannot be taken is named in one message.
    // False for an event that is no drag of files the window takes.
    bool fileDrag(QEvent* event, QLineEdit* target);
    void takeDroppedFiles(const DroppedFiles& files, QLineEdit* target);
    QLineEdit* boxForFile(const QString& path) const;

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void cmdDoConvert_Click();
    void cmdEditSchema_Click();
    void cmdInfo_Click();

    void choose(Chooser which);
    void convert();
    // While a conversion runs its paths and buttons are disabled, so nothing
    // changes under it; afterwards they are enabled and the focus is back.
    void setConverting(bool converting);

    UiServices& services_;
    CommonDialog CommonDialog1;
    QPointer<FrmEdit> frmEdit_;
    bool busy_ = false;
    QPointer<QWidget> focusBeforeConverting_;

    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Text2 = nullptr;
    QPushButton* Command2 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Text3 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* cmdDoConvert = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* Label4 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QPushButton* cmdEditSchema = nullptr;
    QPushButton* cmdInfo = nullptr;
};

}  // namespace trelmo::ui
