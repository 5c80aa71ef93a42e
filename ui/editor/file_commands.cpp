#include "ui/editor/file_commands.h"

#include <QTreeWidget>

#include "engine/convert/parse_xml.h"
#include "engine/convert/schema_check.h"
#include "engine/error.h"
#include "engine/xsd/schema_from_xsd.h"
#include "engine/xsd/xsd_schema.h"
#include "ui/common/engine_path.h"
#include "ui/common/file_dialog.h"
#include "ui/editor/csv_preview_pane.h"
#include "ui/editor/document_settings.h"
#include "ui/editor/load_dsd.h"
#include "ui/editor/schema_document.h"
#include "ui/editor/schema_tree_pane.h"
#include "ui/editor/schema_tree_view.h"
#include "ui/editor/skip_step.h"

namespace trelmo::ui {

namespace {
const Message kSaveQuestion{"変更されています。保存しますか？", MsgButtons::YesNoCancel,
                            MsgIcon::None, 0};
}

FileCommands::FileCommands(SchemaDocument& document, SchemaTreePane& tree,
                           DocumentSettings& settings, const CsvPreviewPane& csv,
                           CommonDialog& dialog, MessageSink& messages, QObject* parent)
    : QObject(parent),
      document_(document),
      tree_(tree),
      settings_(settings),
      csv_(csv),
      dialog_(dialog),
      messages_(messages) {}

void FileCommands::showError(const std::exception& error, MsgIcon icon) {
    messages_.show(describeError(error), icon);
}

bool FileCommands::mayDiscard() {
    if (!document_.isModified()) return true;
    switch (messages_.show(kSaveQuestion)) {
    case MsgAnswer::Yes: return save() && !document_.isModified();
    case MsgAnswer::No:
        document_.setModified(false);  // the changes are dropped
        return true;
    default: return false;
    }
}

bool FileCommands::newSchema() {
    if (!mayDiscard()) return false;
    try {
        xml::Document doc;
        doc.appendChild(doc.createProcessingInstruction("xml", "version=\"1.0\""));
        xml::Node top = doc.appendChild(doc.createElement(nodekind::Element));
        top.setAttribute("name", "element");
        document_.replace(std::move(doc), QStringLiteral("RootNode"));
        document_.setModified(true);
    } catch (const std::exception& e) {
        showError(e, MsgIcon::Critical);
    }
    return true;
}

// The editor is emptied before the file is asked for; the root name, the CSV
// preview and the panel's data-source choices stay.
bool FileCommands::clearForOpen() {
    if (!mayDiscard()) return false;
    try {
        document_.clear(document_.rootName());
    } catch (const std::exception& e) {
        showError(e, MsgIcon::Critical);
        return false;
    }
    return true;
}

void FileCommands::open() {
    if (!clearForOpen()) return;
    if (!dialog_.choose(FileDialogMode::Open, QStringLiteral("開く"),
                        QStringLiteral("スキーマﾌｧｲﾙ (*.dsd)|*.dsd|すべてのﾌｧｲﾙ (*.*)|*.*"),
                        dlgflags::FileMustExist | dlgflags::HideReadOnly, messages_))
        return;
    load(enginePath(dialog_.settings.fileName));
}

void FileCommands::openFile(const std::string& path) {
    if (clearForOpen()) load(path);
}

// The parser tells about a file that does not load; the editor then holds
// an empty schema.
void FileCommands::load(const std::string& path) {
    try {
        xml::Document doc;
        bool loaded = false;
        skipFailingStep([&] { ParseXML(messages_).Parse(doc, path, xml::SourceFile::RegularOnly); });
        skipFailingStep([&] { loaded = isLoaded(doc); });
        if (loaded) {
            document_.replace(std::move(doc));
            document_.setFilePath(path);
        } else {
            document_.replace(xml::Document{}, document_.rootName());
        }
    } catch (const std::exception& e) {
        showError(e, MsgIcon::Critical);
    }
}

bool FileCommands::save() {
    if (!document_.doc()) return false;
    if (document_.filePath().empty()) return saveAs();
    return check() && xsdConfirmed(document_.filePath()) && write(document_.filePath());
}

bool FileCommands::saveAs() {
    if (!document_.doc() || !check()) return false;
    dialog_.settings.defaultExt = QStringLiteral("dsd");
    if (!dialog_.choose(FileDialogMode::Save, QStringLiteral("保存"),
                        QStringLiteral("DataSourceDefinition(*.dsd)|*.dsd|すべてのﾌｧｲﾙ (*.*)|*.*"),
                        dlgflags::OverwritePrompt, messages_))
        return false;
    const std::string path = enginePath(dialog_.settings.fileName);
    return xsdConfirmed(path) && write(path);
}

// The DOM writes a new file and puts it in place only when every byte was
// written, so a failed write leaves an existing file as it was. A relative
// XSD path follows the schema into its new folder, and stays when it fails.
bool FileCommands::write(const std::string& path) {
    const QString xsd = document_.xsdPath();
    try {
        if (!xsd.isEmpty())
            document_.setSetting(Setting::Xsd, QString::fromStdString(xsd::movedXsdReference(
                xsd.toStdString(), xsd::schemaFolder(document_.filePath()), xsd::schemaFolder(path))));
        document_.doc()->save(path);
    } catch (const std::exception& e) {
        document_.setSetting(Setting::Xsd, xsd);
        showError(e, MsgIcon::None);
        return false;
    }
    document_.setFilePath(path);
    document_.setModified(false);
    return true;
}

// The steps are the engine's (schema_check.h), which the XML preview runs too.
bool FileCommands::check() {
    const auto say = [this](const std::string& text) {
        messages_.show(Message{text, MsgButtons::Ok, MsgIcon::None, 0});
    };
    // The node highlighted and shown, so that "登録" writes into it.
    const auto select = [this](std::size_t position) {
        tree_.select(document_.element(static_cast<int>(position)));
        tree_.schemaTree()->scrollToItem(tree_.schemaTree()->selectedNode());
    };
    try {
        const std::string root = document_.rootName().toStdString();
        if (!RootNameGiven(root)) {
            say(kNoRootName);
            document_.setSetting(Setting::RootName, QString::fromUtf8(kRootPlaceholder));
            return false;
        }
        // The settings stay in the document whatever the check finds later.
        document_.writeSaveSettings();
        if (!document_.doc()->documentElement()) throw RuntimeError(err::XmlDom, kNoSchemaElement);
        const SchemaCheck check =
            CheckSchemaNodes(document_.nodeList(), root, OutputEncodingOf(*document_.doc()));
        if (const std::optional<SchemaFault>& fault = check.fault) {
            if (fault->node == 0) {  // the root name
                say(fault->message);
                settings_.focusRootName();
                return false;
            }
            if (fault->selectFirst) select(fault->node);
            say(fault->message);
            if (!fault->selectFirst) select(fault->node);
            return false;
        }
        // A data source that converts into error text: saved only when told.
        const auto columns = static_cast<std::size_t>(csv_.columnCount());
        if (const std::optional<SchemaFault> warning = CheckDataSources(document_.nodeList(), columns)) {
            select(warning->node);
            const Message question{warning->message, MsgButtons::YesNo, MsgIcon::Exclamation, 1};
            if (messages_.show(question) != MsgAnswer::Yes) return false;
        }
        if (check.bound == 0) {
            const Message question{kNothingBound, MsgButtons::OkCancel, MsgIcon::None, 0};
            return messages_.show(question) == MsgAnswer::Ok;
        }
        return true;
    } catch (const std::exception& e) {
        showError(e, MsgIcon::Critical);
        return false;
    }
}

// An XSD that cannot be loaded would refuse every conversion: saved only when
// told. A relative path is read as the saved file will read it: from the
// schema's folder, or for a schema never saved, from the folder it goes to.
bool FileCommands::xsdConfirmed(const std::string& destination) {
    const std::string& base = document_.filePath().empty() ? destination : document_.filePath();
    try {
        const std::string problem = xsd::xsdLoadProblem(*document_.doc(), base);
        if (problem.empty()) return true;
        const Message question{problem + "\r\nこのまま保存しますか？", MsgButtons::YesNo,
                               MsgIcon::Exclamation, 1};
        return messages_.show(question) == MsgAnswer::Yes;
    } catch (const std::exception& e) {
        showError(e, MsgIcon::Critical);
        return false;
    }
}

}  // namespace trelmo::ui
