#pragma once
// The commands that tie a schema to a recipient's XSD: "XSDから新規作成"
// (the questions, the file, the dialog "XSDから作成", then the schema built
// from the XSD) and "列を名前で割り当て" (unbound leaves bound to the columns
// whose titles in the CSV's header line name them).

#include <QObject>

#include "engine/messages.h"

class QWidget;

namespace trelmo::ui {

class CommonDialog;
class CsvPreviewPane;
class FileCommands;
class SchemaDocument;
class XsdFacts;
class XsdNewDialog;

class XsdCommands : public QObject {
    Q_OBJECT
public:
    // `window` is the parent of the dialog.
    XsdCommands(SchemaDocument& document, FileCommands& files, CsvPreviewPane& csv, const XsdFacts& facts,
                CommonDialog& dialog, MessageSink& messages, QWidget* window);

    void newFromXsd();
    void bindByName();

private:
    void build(const XsdNewDialog& dialog);
    void showError(const std::exception& error);

    SchemaDocument& document_;
    FileCommands& files_;
    CsvPreviewPane& csv_;
    const XsdFacts& facts_;
    CommonDialog& dialog_;
    MessageSink& messages_;
    QWidget* window_;
};

}  // namespace trelmo::ui
