#include "ui/preview/xml_preview_window.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVBoxLayout>

#include "engine/convert/convert_plan.h"
#include "engine/text/number.h"
#include "ui/editor/csv_preview_pane.h"
#include "ui/editor/schema_document.h"
#include "ui/preview/chunked_fill.h"
#include "ui/preview/preview_placement.h"
#include "ui/preview/raw_xml_view.h"
#include "ui/preview/xml_highlighter.h"
#include "ui/preview/xml_indent.h"
#include "ui/preview/xsd_fault_list.h"

namespace trelmo::ui {
namespace {

QString u8(const std::string& text) { return QString::fromStdString(text); }

const char* const kNoSchema = "スキーマがありません。「ﾌｧｲﾙ」メニューの「新規」か「スキーマを開く」で用意してください。";
const char* const kNoCsv = "CSVが表示されていません。「ﾌｧｲﾙ」メニューの「CSVを開く」で変換するCSVを選んでください。";
const char* const kCsvUnreadable = "CSVを変換できません: ";

template <class View>
View* textView(View* view, const char* name) {
    view->setObjectName(QString::fromLatin1(name));
    view->setReadOnly(true);
    // The keys of a read-only text: selecting, copying, moving.
    view->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    view->setFont(QFont(QStringLiteral("Monospace")));
    new XmlHighlighter(view->document());
    return view;
}

}  // namespace

XmlPreviewWindow::XmlPreviewWindow(const SchemaDocument& document, const CsvPreviewPane& csv,
                                   QWidget& editor)
    : QWidget(&editor, Qt::Tool), document_(document), csvPane_(csv), editor_(editor) {
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

    lblNote_ = new QLabel;
    lblNote_->setObjectName("lblNote");
    lblNote_->setWordWrap(true);
    lblNote_->hide();
    txtRaw_ = textView(new RawXmlView, "txtRaw");
    txtIndented_ = textView(new QPlainTextEdit, "txtIndented");
    txtIndented_->setLineWrapMode(QPlainTextEdit::NoWrap);
    indentedFill_ = new ChunkedFill(txtIndented_);
    tabViews_ = new QTabWidget;
    tabViews_->setObjectName("tabViews");
    tabViews_->addTab(txtIndented_, QStringLiteral("字下げ表示"));
    tabViews_->addTab(txtRaw_, QStringLiteral("出力のまま"));
    output_ = new QWidget;
    auto* outputLayout = new QVBoxLayout(output_);
    outputLayout->setContentsMargins(0, 0, 0, 0);
    outputLayout->addWidget(lblNote_);
    outputLayout->addWidget(tabViews_, 3);
    lstFaults_ = new XsdFaultList;
    outputLayout->addWidget(lstFaults_, 1);

    pages_ = new QStackedWidget;
    pages_->addWidget(lblProblem_);
    pages_->addWidget(output_);

    auto* top = new QHBoxLayout;
    top->addWidget(label);
    top->addWidget(spnRecords_);
    top->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(pages_, 1);
    setMinimumSize(PreviewPlacement::kLeastWidth / 2, PreviewPlacement::kLeastHeight / 2);
    resize(PreviewPlacement::kWidth, editor.height());

    // Changes come in bursts (typing): one refresh after the last.
    timer_.setSingleShot(true);
    timer_.setInterval(kRefreshDelayMs);
    connect(&timer_, &QTimer::timeout, this, &XmlPreviewWindow::refresh);
    const auto changed = [this] { scheduleRefresh(); };
    connect(&document, &SchemaDocument::reset, this, changed);
    connect(&document, &SchemaDocument::nodesInserted, this, changed);
    connect(&document, &SchemaDocument::nodesRemoved, this, changed);
    connect(&document, &SchemaDocument::nodeChanged, this, changed);
    connect(&document, &SchemaDocument::settingsChanged, this, changed);
    connect(&csv, &CsvPreviewPane::opened, this, [this] { csv_.reset(); });
    connect(&csv, &CsvPreviewPane::listChanged, this, changed);
    connect(spnRecords_, &QSpinBox::valueChanged, this, &XmlPreviewWindow::scheduleRefresh);
    connect(tabViews_, &QTabWidget::currentChanged, this, &XmlPreviewWindow::fillShownView);
    connect(lblProblem_, &QLabel::linkActivated, this, [this](const QString& link) {
        if (link == QLatin1String("root"))
            emit rootNameLinkActivated();
        else
            emit nodeLinkActivated(link.section(':', 1).toInt());
    });
    connect(lstFaults_, &XsdFaultList::faultActivated, this, [this](const xsd::PreviewFault& fault) {
        emit faultActivated(treeIndexOf(fault), static_cast<int>(fault.record), static_cast<int>(fault.column));
    });
    // The window closes with the editor.
    editor.installEventFilter(this);
}

void XmlPreviewWindow::placeBeside() {
    const QScreen* screen = editor_.screen();
    if (!screen) return;
    const QMargins frame(geometry().left() - frameGeometry().left(), geometry().top() - frameGeometry().top(),
                         frameGeometry().right() - geometry().right(),
                         frameGeometry().bottom() - geometry().bottom());
    const PreviewPlacement::Result at = PreviewPlacement::place(
        screen->availableGeometry(), editor_.frameGeometry(), frameGeometry().size(), placed_,
        minimumSize().grownBy(frame));
    if (at.editor != editor_.frameGeometry().topLeft()) {
        editor_.removeEventFilter(this);  // the move below is ours
        editor_.move(at.editor);
        editor_.installEventFilter(this);
    }
    const QRect inner = at.preview.marginsRemoved(frame);
    resize(inner.size());
    move(at.preview.topLeft());
    placed_ = true;
}

void XmlPreviewWindow::showBeside() {
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

const PreviewCsv& XmlPreviewWindow::csv(const std::string& path, std::size_t needed) {
    const bool tooFew = csv_ && csv_->records.size() < needed && csv_->total > csv_->records.size();
    if (!csv_ || path != csvPath_ || tooFew) {
        csvPath_ = path;
        csv_ = ReadPreviewCsv(path, needed);
    }
    return *csv_;
}

bool XmlPreviewWindow::refreshPending() const {
    return timer_.isActive() || txtRaw_->filling() || indentedFill_->busy();
}

void XmlPreviewWindow::scheduleRefresh() {
    if (isVisible()) timer_.start();
}

void XmlPreviewWindow::refresh() {
    timer_.stop();
    if (!isVisible()) return;
    result_ = XmlPreview{};
    const PreviewCsv* records = nullptr;
    std::size_t header = 0;
    if (!document_.doc()) {
        result_.problem = kNoSchema;
    } else if (csvPane_.path().empty()) {
        result_.problem = kNoCsv;
    } else {
        // The schema's header records come first, then the records converted.
        records = &csv(csvPane_.path(), PreviewRecordsNeeded(*document_.doc(), kMaxRecords));
        header = PreviewRecordsNeeded(*document_.doc(), 0);
        if (!records->problem.empty()) {
            result_.problem = kCsvUnreadable + records->problem;
        } else {
            result_ = PreviewXML(*document_.doc(), document_.rootName().toStdString(),
                                 document_.encoding().toStdString(), records->records,
                                 static_cast<std::size_t>(spnRecords_->value()));
        }
    }
    if (!result_.problem.empty()) {
        showProblem();
        return;
    }
    lblNote_->setVisible(records->tooMany(header));
    if (records->tooMany(header))
        lblNote_->setText(QStringLiteral("このCSVには %L1 件のレコードがあります。変換できるのは %L2 件までで、"
                                         "このCSVの変換はオーバーフローで止まります。")
                              .arg(records->total - header)
                              .arg(PreviewCsv::kMaxConvertedRecords));
    // The records shown checked against the schema's XSD, if it names one.
    lstFaults_->showResult(xsdChecker_.check(*document_.doc(), document_.filePath(), result_, records->records));
    showOutput();
}

int XmlPreviewWindow::treeIndexOf(const xsd::PreviewFault& fault) const {
    const auto named = [](const xml::Node& parent, const char* type, const std::string& name) {
        for (const xml::Node& child : parent.children())
            if (QString::fromStdString(child.name()).compare(QLatin1String(type), Qt::CaseInsensitive) == 0 &&
                child.attribute("name").value_or(std::string()) == name)
                return child;
        return xml::Node();
    };
    const QStringList steps = u8(fault.path).split('/', Qt::SkipEmptyParts);
    if (!document_.doc() || steps.size() < 2) return 0;  // the root is written by no node
    xml::Node node = document_.doc()->documentElement();  // the record, whatever its index
    for (qsizetype i = 2; i < steps.size(); ++i) {
        const xml::Node child = named(node, "element", steps[i].section('[', 0, 0).toStdString());
        if (!child) break;
        node = child;
    }
    if (!fault.attribute.empty()) {
        if (const xml::Node attribute = named(node, "attribute", fault.attribute)) node = attribute;
    } else if (fault.column > 0) {
        // The leaf that writes the column's value, where the element has one.
        for (const xml::Node& child : node.children()) {
            const Int16Result source = parseInt16(convert::attributeValue(child, "datasource"));
            if (source.status == NumberStatus::Ok && source.value > 0 &&
                static_cast<std::size_t>(source.value) == fault.column) {
                node = child;
                break;
            }
        }
    }
    const int at = node ? document_.indexOf(node) : -1;
    return at + 1;
}

QString XmlPreviewWindow::problemText() const {
    return pages_->currentWidget() == lblProblem_ ? lblProblem_->text() : QString();
}

QString XmlPreviewWindow::noteText() const {
    return pages_->currentWidget() == output_ && !lblNote_->isHidden() ? lblNote_->text() : QString();
}

void XmlPreviewWindow::showProblem() {
    QString html = u8(result_.problem).toHtmlEscaped().replace(QStringLiteral("\r\n"), QStringLiteral("<br>"));
    html.replace('\n', QStringLiteral("<br>"));
    const std::size_t node = result_.node;
    if (result_.rootName) {
        html += QStringLiteral("<br><br><a href=\"root\">「最上位の要素名」</a>（クリックで入力欄へ移ります）");
    } else if (node > 0 && document_.doc()) {
        const std::vector<xml::Node>& all = document_.nodeList();
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
    text_.clear();
}

void XmlPreviewWindow::showOutput() {
    text_ = DecodedText(result_);
    rawFilled_ = indentedFilled_ = false;
    fillShownView();
    pages_->setCurrentWidget(output_);
}

void XmlPreviewWindow::fillShownView() {
    if (tabViews_->currentWidget() == txtRaw_ && !rawFilled_) {
        txtRaw_->setOutput(u8(text_));
        rawFilled_ = true;
    } else if (tabViews_->currentWidget() == txtIndented_ && !indentedFilled_) {
        indentedFill_->start(u8(IndentXml(text_)));
        indentedFilled_ = true;
    }
}

}  // namespace trelmo::ui
