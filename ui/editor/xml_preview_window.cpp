#include "ui/editor/xml_preview_window.h"

#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSpinBox>
#include <algorithm>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVBoxLayout>

#include "engine/csv/csv.h"
#include "engine/error.h"
#include "ui/editor/frm_edit.h"
#include "ui/editor/xml_highlighter.h"
#include "ui/editor/xml_indent.h"

namespace trelmo::ui {
namespace {

QString u8(const std::string& text) { return QString::fromStdString(text); }

const char* const kNoSchema = "スキーマがありません。「ﾌｧｲﾙ」メニューの「新規」か「スキーマを開く」で用意してください。";
const char* const kNoCsv = "CSVが表示されていません。「ﾌｧｲﾙ」メニューの「CSVを開く」で変換するCSVを選んでください。";
const char* const kCsvUnreadable = "CSVを読めません: ";

QPlainTextEdit* textView(const char* name) {
    auto* view = new QPlainTextEdit;
    view->setObjectName(QString::fromLatin1(name));
    view->setReadOnly(true);
    view->setFont(QFont(QStringLiteral("Monospace")));
    new XmlHighlighter(view->document());
    return view;
}

}  // namespace

XmlPreviewWindow::XmlPreviewWindow(FrmEdit& editor)
    : QWidget(&editor, Qt::Tool), editor_(editor) {
    setObjectName("XmlPreview");
    setWindowTitle(QStringLiteral("XMLプレビュー"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    spnRecords_ = new QSpinBox;
    spnRecords_->setObjectName("spnRecords");
    spnRecords_->setRange(1, kMaxRecords);
    spnRecords_->setValue(kDefaultRecords);
    auto* label = new QLabel(QStringLiteral("先頭から表示するレコード数"));
    label->setBuddy(spnRecords_);

    lblProblem_ = new QLabel;
    lblProblem_->setObjectName("lblProblem");
    lblProblem_->setWordWrap(true);
    lblProblem_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    lblProblem_->setTextFormat(Qt::RichText);
    lblProblem_->setMargin(12);
    lblProblem_->setTextInteractionFlags(Qt::TextBrowserInteraction);

    txtRaw_ = textView("txtRaw");
    txtIndented_ = textView("txtIndented");
    txtIndented_->setLineWrapMode(QPlainTextEdit::NoWrap);
    tabViews_ = new QTabWidget;
    tabViews_->setObjectName("tabViews");
    tabViews_->addTab(txtIndented_, QStringLiteral("字下げ表示"));
    tabViews_->addTab(txtRaw_, QStringLiteral("出力のまま"));

    pages_ = new QStackedWidget;
    pages_->addWidget(lblProblem_);
    pages_->addWidget(tabViews_);

    auto* top = new QHBoxLayout;
    top->addWidget(label);
    top->addWidget(spnRecords_);
    top->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(pages_, 1);
    resize(520, editor.height());

    connect(&editor, &FrmEdit::schemaChanged, this, &XmlPreviewWindow::refresh);
    connect(spnRecords_, &QSpinBox::valueChanged, this, &XmlPreviewWindow::refresh);
    connect(lblProblem_, &QLabel::linkActivated, this, [this](const QString& link) {
        editor_.selectTreeIndex(link.section(':', 1).toInt());
    });
    // The window closes with the editor.
    editor.installEventFilter(this);
}

// To the right of the editor, narrowed to the room there if need be; where
// there is too little room, to its left; never past the screen's edges.
void XmlPreviewWindow::placeBeside() {
    const QRect e = editor_.frameGeometry();
    int x = e.right() + 1;
    int y = e.top();
    if (const QScreen* screen = editor_.screen()) {
        const QRect area = screen->availableGeometry();
        const int frame = frameGeometry().width() - width();
        const int roomRight = area.right() + 1 - x - frame;
        const int roomLeft = e.left() - area.left() - frame;
        const int least = minimumSizeHint().width();
        if (width() > roomRight && roomRight >= least) resize(roomRight, height());
        if (width() > roomRight && roomRight < least) {
            if (width() > roomLeft && roomLeft >= least) resize(roomLeft, height());
            x = width() <= roomLeft ? e.left() - frameGeometry().width() : area.right() + 1 - frameGeometry().width();
        }
        x = std::max(x, area.left());
        y = std::clamp(y, area.top(), std::max(area.top(), area.bottom() + 1 - frameGeometry().height()));
    }
    move(x, y);
}

void XmlPreviewWindow::showBeside() {
    if (!isVisible()) resize(std::max(width(), sizeHint().width()), editor_.height());
    placeBeside();
    show();
    raise();
}

void XmlPreviewWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh();
}

bool XmlPreviewWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &editor_ && event->type() == QEvent::Hide) close();
    if (watched == &editor_ && isVisible() && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        placeBeside();
    return QWidget::eventFilter(watched, event);
}

const std::vector<std::string>& XmlPreviewWindow::records(const std::string& path) {
    const QFileInfo info(QString::fromStdString(path));
    if (path == csvPath_ && info.size() == csvSize_ && info.lastModified() == csvTime_) return records_;
    csvPath_ = path;
    csvSize_ = info.size();
    csvTime_ = info.lastModified();
    records_.clear();
    csvError_.clear();
    try {
        CSV().GetCSVasArray(path, records_);
    } catch (const RuntimeError& e) {
        records_.clear();
        csvError_ = e.description();
    } catch (const std::exception& e) {
        records_.clear();
        csvError_ = e.what();
    }
    return records_;
}

void XmlPreviewWindow::refresh() {
    if (!isVisible()) return;
    result_ = XmlPreview{};
    if (!editor_.schemaDoc()) {
        result_.problem = kNoSchema;
    } else if (editor_.csvPreviewPath().empty() || editor_.csvPreviewRows() == 0) {
        result_.problem = kNoCsv;
    } else {
        const std::vector<std::string>& all = records(editor_.csvPreviewPath());
        if (!csvError_.empty()) {
            result_.problem = kCsvUnreadable + csvError_;
        } else {
            result_ = PreviewXML(*editor_.schemaDoc(), editor_.rootNameText().toStdString(),
                                 editor_.encodingText().toStdString(), all,
                                 static_cast<std::size_t>(spnRecords_->value()));
        }
    }
    if (result_.problem.empty())
        showOutput();
    else
        showProblem(result_.problem, result_.node);
}

QString XmlPreviewWindow::problemText() const {
    return pages_->currentWidget() == lblProblem_ ? lblProblem_->text() : QString();
}

void XmlPreviewWindow::showProblem(const std::string& text, std::size_t node) {
    QString html = u8(text).toHtmlEscaped().replace('\n', QStringLiteral("<br>"));
    if (node > 0 && editor_.schemaDoc()) {
        const std::vector<xml::Node> all = editor_.schemaDoc()->documentElement().selectAllElements();
        if (node <= all.size()) {
            const xml::Node& e = all[node - 1];
            QString label = u8(e.name());
            if (const auto name = e.attribute("name"); name && !name->empty())
                label += QStringLiteral("「%1」").arg(u8(*name));
            html += QStringLiteral("<br><br>ノード: <a href=\"node:%1\">%2</a>（クリックでツリーの中から選びます）")
                        .arg(node)
                        .arg(label.toHtmlEscaped());
        }
    }
    lblProblem_->setText(html);
    pages_->setCurrentWidget(lblProblem_);
}

void XmlPreviewWindow::showOutput() {
    const std::string text = DecodedText(result_);
    txtRaw_->setPlainText(u8(text));
    txtIndented_->setPlainText(u8(IndentXml(text)));
    pages_->setCurrentWidget(tabViews_);
}

}  // namespace trelmo::ui
