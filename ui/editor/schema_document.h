#pragma once
// The schema being edited, as one object: the DOM, its node list, the
// document settings, the file it came from and the history of edits. Every
// change goes through an undoable command and is announced by one signal per
// kind of change; the views follow the signals and never diff. Tests drive it
// without widgets.

#include <QObject>
#include <QString>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/xml/dom.h"

class QUndoStack;

namespace trelmo::ui {

class SchemaEdit;

// The settings of a schema beside its nodes. Root name and encoding are
// written into the schema when it is saved; the others are attributes of the
// top element, absent when empty.
enum class Setting { RootName, Encoding, Xsd, Namespace, HeaderRows };

// An attribute set to a value, or removed (nullopt).
using PropertyChange = std::pair<std::string, std::optional<std::string>>;

class SchemaDocument : public QObject {
    Q_OBJECT
public:
    explicit SchemaDocument(QObject* parent = nullptr);
    ~SchemaDocument() override;

    // The DOM: empty until a schema is made or opened.
    const std::optional<xml::Document>& doc() const { return doc_; }
    // Every element of the schema in document order; index i is tree index i + 1.
    const std::vector<xml::Node>& nodeList() const { return nodeList_; }
    // The position of an element in nodeList, -1 when it is not there.
    int indexOf(const xml::Node& element) const;
    // The element of tree index k (nodeList[k - 1]); raises the subscript
    // error for an index outside the list.
    xml::Node element(int treeIndex) const;

    // Modified: the history away from its saved state, or marked so.
    bool isModified() const;
    // False: the schema as it stands counts as saved; true: as changed.
    void setModified(bool modified);
    // The file the schema was opened from or last saved to; empty for none.
    const std::string& filePath() const { return filePath_; }
    void setFilePath(std::string path);

    // Makes doc the schema (the node list and settings read from it) with a
    // new history and no file; announced by reset(). clear(): no schema, the
    // root name given kept.
    void replace(xml::Document doc);
    // The same with the root name given rather than read.
    void replace(xml::Document doc, const QString& rootName);
    void clear(const QString& rootName = {});

    // The settings. The attributes are read in any letter case.
    QString setting(Setting which) const;
    QString rootName() const { return rootName_; }
    QString encoding() const { return encoding_; }
    QString xsdPath() const { return setting(Setting::Xsd); }
    QString xmlNamespace() const { return setting(Setting::Namespace); }
    int headerRows() const { return setting(Setting::HeaderRows).toInt(); }
    // A setting changed as one undoable step; typing into one setting merges
    // into one step. Without a schema only root name and encoding are kept.
    void setSetting(Setting which, const QString& value);
    // Root name and encoding written into the DOM as a save writes them.
    void writeSaveSettings();

    // The commands. Each is one step of the history; a failing one throws and
    // leaves nothing in it.
    void insertNodes(const xml::Node& parent, std::vector<xml::Node> nodes);
    void removeNode(const xml::Node& node);
    // False when no value differs, and then nothing is recorded.
    bool setProperties(const xml::Node& element, const std::vector<PropertyChange>& changes);
    // Makes the edit and records it (for edits made elsewhere).
    void push(std::unique_ptr<SchemaEdit> edit);

    // A step back or forth in the history. After a step that failed the
    // history is cleared, as it no longer matches the document.
    struct Step {
        bool taken = false;          // there was a step to take
        xml::Node touched;           // the element to show after it; empty for a setting
        std::exception_ptr error;    // what stopped it, null when it went through
    };
    Step undo();
    Step redo();
    QUndoStack& history() { return *history_; }

    // The changes the edits make, each announced. Only edits call these.
    // Siblings put in before `before` (empty: appended), or taken out; each
    // is one run of nodeList, announced once.
    void attach(const xml::Node& parent, const std::vector<xml::Node>& nodes, const xml::Node& before);
    void detach(const std::vector<xml::Node>& nodes);
    void changeAttributes(const xml::Node& element, const std::vector<PropertyChange>& changes);
    void changeSetting(Setting which, const QString& value);

signals:
    // A new schema, or none: everything is to be shown afresh.
    void reset();
    // count elements now stand in nodeList from index first (one subtree).
    void nodesInserted(int first, int count);
    // count elements that stood in nodeList from index first are gone.
    void nodesRemoved(int first, int count);
    // An element's attributes changed.
    void nodeChanged(const xml::Node& element);
    void settingsChanged(Setting which);
    // The schema was given a file (opened or saved).
    void filePathChanged();
    void modifiedChanged(bool modified);

private:
    Step step(int index);
    void announceModified();
    int subtreeSize(int index) const;  // the element at index and its descendants in nodeList

    std::optional<xml::Document> doc_;
    std::vector<xml::Node> nodeList_;
    QString rootName_;
    QString encoding_;
    std::string filePath_;
    bool markedModified_ = false;
    bool lastModified_ = false;
    QUndoStack* history_ = nullptr;
};

// The attribute of an element named `name` in any letter case, and its name.
std::optional<xml::Attribute> attributeAnyCase(const xml::Node& element, std::string_view name);

}  // namespace trelmo::ui
