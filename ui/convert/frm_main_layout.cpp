// The controls of the conversion window, placed at fixed positions given in
// twips (15 twips to a pixel). A wider window widens the three path boxes;
// everything else keeps its place.
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <algorithm>

#include "ui/common/app_look.h"
#include "ui/convert/frm_main.h"
#include "ui/convert/frm_main_captions.h"

namespace trelmo::ui {
namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kClientWidth = 4680;
constexpr int kClientHeight = 3960;
constexpr int kPathBoxWidth = 3525;
constexpr int kBrowseLeft = 3780;

// The caption of the control of that name in kFrmMainCaptions.
QString caption(std::string_view control) {
    for (const ControlCaption& c : kFrmMainCaptions) {
        if (c.control == control) return QString::fromUtf8(c.text.data(), static_cast<qsizetype>(c.text.size()));
    }
    return {};
}

QRect twips(int left, int top, int width, int height) {
    return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel, height / kTwipsPerPixel};
}

template <typename W>
W* place(W* widget, const char* name, QRect geometry) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(geometry);
    return widget;
}

QLabel* label(QWidget* parent, const char* name, QRect geometry) {
    auto* l = place(new QLabel(caption(name), parent), name, geometry);
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

QPushButton* button(QWidget* parent, const char* name, QRect geometry) {
    auto* b = place(new QPushButton(caption(name), parent), name, geometry);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

void FrmMain::buildControls() {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(caption("frmMain"));
    setWindowIcon(appIcon());
    setFont(windowFont());
    resize(kClientWidth / kTwipsPerPixel, kClientHeight / kTwipsPerPixel);
    setMinimumSize(size());
    setMaximumHeight(height());
    setAcceptDrops(true);

    Label1 = label(this, "Label1", twips(150, 90, 3525, 240));
    Text1 = place(new QLineEdit(this), "Text1", twips(150, 330, kPathBoxWidth, 285));
    Command1 = button(this, "Command1", twips(kBrowseLeft, 300, 795, 345));
    Label2 = label(this, "Label2", twips(150, 660, 3525, 240));
    Text2 = place(new QLineEdit(this), "Text2", twips(150, 900, kPathBoxWidth, 285));
    Command2 = button(this, "Command2", twips(kBrowseLeft, 870, 795, 345));
    Label3 = label(this, "Label3", twips(150, 1230, 3525, 240));
    Text3 = place(new QLineEdit(this), "Text3", twips(150, 1470, kPathBoxWidth, 285));
    Command3 = button(this, "Command3", twips(kBrowseLeft, 1440, 795, 345));
    cmdDoConvert = button(this, "cmdDoConvert", twips(150, 1920, 4425, 435));
    ProgressBar1 = place(new QProgressBar(this), "ProgressBar1", twips(150, 2490, 4425, 285));
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    Label4 = label(this, "Label4", twips(150, 2850, 4455, 285));
    Frame1 = place(new QGroupBox(caption("Frame1"), this), "Frame1", twips(90, 3240, 4485, 645));
    // The frame's line runs through the middle of its caption, so the buttons
    // placed near its top stay inside the border.
    Frame1->setStyleSheet(QStringLiteral(
        "QGroupBox#Frame1 { border: 1px solid palette(mid); border-radius: 2px; margin-top: 7px; }"
        "QGroupBox#Frame1::title { subcontrol-origin: border; subcontrol-position: top left;"
        " left: 6px; top: -8px; padding: 0 2px; }"));
    cmdEditSchema = button(Frame1, "cmdEditSchema", twips(90, 210, 2055, 345));
    cmdInfo = button(Frame1, "cmdInfo", twips(2340, 210, 2055, 345));

    // Tab order as numbered: the text boxes, their buttons, then the rest.
    QWidget* const order[] = {Text1, Text2,  Text3,  Command1,      Command2, Command3,     Label1, Label2,
                              Label3, cmdDoConvert, Frame1, cmdEditSchema, cmdInfo, ProgressBar1, Label4};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
    Text1->setFocus();

    for (QLineEdit* box : {Text1, Text2, Text3}) {
        box->installEventFilter(this);
        // The whole path, however narrow the box.
        connect(box, &QLineEdit::textChanged, box, [box](const QString& path) {
            box->setToolTip(path.isEmpty() ? QString()
                                           : QStringLiteral("<p style='white-space:pre'>%1</p>").arg(path.toHtmlEscaped()));
        });
    }

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(cmdDoConvert, &QPushButton::clicked, this, [this] { cmdDoConvert_Click(); });
    connect(cmdEditSchema, &QPushButton::clicked, this, [this] { cmdEditSchema_Click(); });
    connect(cmdInfo, &QPushButton::clicked, this, [this] { cmdInfo_Click(); });
}

void FrmMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!Text1) return;
    const int extra = std::max(0, width() - kClientWidth / kTwipsPerPixel);
    for (QLineEdit* box : {Text1, Text2, Text3}) box->resize(kPathBoxWidth / kTwipsPerPixel + extra, box->height());
    for (QPushButton* browse : {Command1, Command2, Command3}) browse->move(kBrowseLeft / kTwipsPerPixel + extra, browse->y());
}

void FrmMain::centreOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    // The client area is centred; the frame's size is known only once shown.
    QRect area(QPoint(), size());
    area.moveCenter(screen->availableGeometry().center());
    setGeometry(area);
}

}  // namespace trelmo::ui
