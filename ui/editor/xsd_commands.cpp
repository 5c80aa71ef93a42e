#include "ui/editor/xsd_commands.h"

#include <algorithm>
#include <memory>
#include <string_view>

#include "engine/error.h"
#include "engine/xsd/bind_by_name.h"
#include "engine/xsd/schema_from_xsd.h"
#include "ui/common/engine_path.h"
#include "ui/common/file_dialog.h"
#include "ui/editor/csv_preview_pane.h"
#include "ui/editor/file_commands.h"
#include "ui/editor/preview_model.h"
#include "ui/editor/schema_document.h"
#include "ui/editor/schema_edits.h"
#include "ui/editor/xsd_facts.h"
#include "ui/editor/xsd_new_dialog.h"

namespace trelmo::ui {

namespace {

const char* const kNoGlobalElement = "この XSD には最上位の要素（xs:schema 直下の xs:element）がありません。";

// Data sources written on many leaves as one step. Each leaf's data source,
// whatever the letter case of its name, is replaced by DataSource.
class BindColumnsEdit : public SchemaEdit {
public:
    BindColumnsEdit(SchemaDocument& document, const xsd::NameBindingPlan& plan) : SchemaEdit(document) {
        for (const xsd::NameBinding& binding : plan.bindings) {
            Leaf leaf{binding.leaf, {}, {{"DataSource", std::nullopt}}};
            for (xml::Attribute& a : binding.leaf.attributes()) {
                if (!isDataSource(a.name)) continue;
                leaf.bind.emplace_back(a.name, std::nullopt);
                leaf.unbind.emplace_back(a.name, std::move(a.value));
            }
            leaf.bind.emplace_back("DataSource", std::to_string(binding.column));
            leaves_.push_back(std::move(leaf));
        }
        touched_ = document.doc()->documentElement();
    }

private:
    struct Leaf {
        xml::Node node;
        std::vector<PropertyChange> bind;    // the old names removed, then DataSource set
        std::vector<PropertyChange> unbind;  // DataSource removed, then the old ones back
    };
    static bool isDataSource(const std::string& name) {
        static constexpr std::string_view kName = "datasource";
        return name.size() == kName.size() &&
               std::equal(name.begin(), name.end(), kName.begin(),
                          [](char a, char b) { return (a >= 'A' && a <= 'Z' ? a + 32 : a) == b; });
    }
    void apply() override {
        for (const Leaf& leaf : leaves_) document_.changeAttributes(leaf.node, leaf.bind);
    }
    void revert() override {
        for (auto leaf = leaves_.rbegin(); leaf != leaves_.rend(); ++leaf)
            document_.changeAttributes(leaf->node, leaf->unbind);
    }
    std::vector<Leaf> leaves_;
};

}  // namespace

XsdCommands::XsdCommands(SchemaDocument& document, FileCommands& files, CsvPreviewPane& csv,
                         const XsdFacts& facts, CommonDialog& dialog, MessageSink& messages, QWidget* window)
    : QObject(window),
      document_(document),
      files_(files),
      csv_(csv),
      facts_(facts),
      dialog_(dialog),
      messages_(messages),
      window_(window) {}

void XsdCommands::showError(const std::exception& error) {
    messages_.show(describeError(error), MsgIcon::Exclamation);
}

// The questions and the file first, as 新規 asks; the document is replaced
// only when the dialog's OK builds the schema.
void XsdCommands::newFromXsd() {
    if (!files_.mayDiscard()) return;
    dialog_.settings.defaultExt.clear();
    if (!dialog_.choose(FileDialogMode::Open, QStringLiteral("XSDを選択"),
                        QStringLiteral("XMLスキーマ (*.xsd)|*.xsd|すべてのﾌｧｲﾙ (*.*)|*.*"),
                        dlgflags::FileMustExist | dlgflags::HideReadOnly, messages_))
        return;
    try {
        xsd::XsdOutline outline(enginePath(dialog_.settings.fileName));
        if (outline.globalElements().empty()) {
            messages_.show(kNoGlobalElement, MsgIcon::Exclamation);
            return;
        }
        auto* chooser = new XsdNewDialog(std::move(outline), window_);
        chooser->setAttribute(Qt::WA_DeleteOnClose);
        connect(chooser, &QDialog::accepted, this, [this, chooser] { build(*chooser); });
        chooser->open();
    } catch (const std::exception& e) {
        showError(e);
    }
}

// As 新規 makes a schema: a new history, Modified set. The XSD is named by
// its absolute path until the schema is saved.
void XsdCommands::build(const XsdNewDialog& chooser) {
    try {
        const xsd::OutlineNode* record = chooser.record();
        if (!record) return;
        const xsd::XsdOutline& outline = chooser.outline();
        xml::Document schema = xsd::schemaFromOutline(*record, chooser.root().name,
                                                      xsd::xsdReference(outline.path(), ""),
                                                      outline.targetNamespace());
        document_.replace(std::move(schema));
        document_.setModified(true);
    } catch (const std::exception& e) {
        showError(e);
    }
}

void XsdCommands::bindByName() {
    try {
        const auto& doc = document_.doc();
        if (!doc || !doc->documentElement()) return;
        // The header line is the last header record, whose fields title the columns.
        const int headerLine = document_.headerRows() - 1;
        const PreviewModel& records = csv_.records();
        if (headerLine < 0 || headerLine >= records.rowCount()) {
            messages_.show(xsd::kBindNeedsHeader, MsgIcon::Exclamation);
            return;
        }
        std::vector<std::string> titles;
        for (int column = 0; column < records.columnCount(); ++column)
            titles.push_back(records.cell(headerLine, column).toStdString());
        if (!facts_.readError().empty()) messages_.show(facts_.readError(), MsgIcon::Exclamation);
        const xsd::NameBindingPlan plan =
            xsd::planBindingByName(doc->documentElement(), titles, facts_.facts());
        if (!plan.bindings.empty()) document_.push(std::make_unique<BindColumnsEdit>(document_, plan));
        messages_.show(xsd::bindingReport(plan));
    } catch (const std::exception& e) {
        showError(e);
    }
}

}  // namespace trelmo::ui
