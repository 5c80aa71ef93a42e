#pragma once
// The file commands of the editor: a new schema, opening one, saving it
// (to its own file, or under a name asked for) with the check before, and
// the one question before unsaved changes would be dropped.

#include <QObject>
#include <string>

#include "engine/messages.h"

namespace trelmo::ui {

class CommonDialog;
class CsvPreviewPane;
class DocumentSettings;
class SchemaDocument;
class SchemaTreePane;

class FileCommands : public QObject {
    Q_OBJECT
public:
    FileCommands(SchemaDocument& document, SchemaTreePane& tree, DocumentSettings& settings,
                 const CsvPreviewPane& csv, CommonDialog& dialog, MessageSink& messages,
                 QObject* parent = nullptr);

    // The question before the schema's changes are dropped (closing, 新規,
    // opening): true when there were none, the user dropped them, or they
    // were saved.
    bool mayDiscard();

    // After mayDiscard, a schema of one element; false when none was made.
    bool newSchema();
    // After mayDiscard, the editor emptied; then the file asked for, or `path`.
    void open();
    void openFile(const std::string& path);
    // 上書き保存: to the file the schema came from; a new schema asks for a name.
    bool save();
    // 名前をつけて保存.
    bool saveAs();
    // The settings written into the schema, then every element checked;
    // true when the schema may be written. The first element at fault is
    // highlighted and shown; a data source naming no column of the CSV
    // previewed is asked about.
    bool check();

private:
    bool clearForOpen();
    void load(const std::string& path);
    bool xsdConfirmed(const std::string& destination);
    bool write(const std::string& path);
    void showError(const std::exception& error, MsgIcon icon);

    SchemaDocument& document_;
    SchemaTreePane& tree_;
    DocumentSettings& settings_;
    const CsvPreviewPane& csv_;
    CommonDialog& dialog_;
    MessageSink& messages_;
};

}  // namespace trelmo::ui
