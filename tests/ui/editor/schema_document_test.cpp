// The schema document on its own, without a window: edits, the history, the
// change signal and the modified state.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QUndoStack>

#include "engine/error.h"
#include "tests/support/ui/qt_app.h"
#include "ui/editor/schema_document.h"
#include "ui/editor/schema_edits.h"

namespace trelmo::test {
namespace {

TEST(SchemaDocument, EditsGoThroughTheHistoryAndAreAnnounced) {
    qtApp();
    ui::SchemaDocument document;
    QSignalSpy changed(&document, &ui::SchemaDocument::changed);
    xml::Document& doc = document.replace();
    xml::Node top = doc.appendChild(doc.createElement("element"));
    document.selectNodeList();
    EXPECT_EQ(document.element(1), top);
    EXPECT_FALSE(document.isModified());

    const auto xml = [&] { return document.doc()->xml(); };
    const std::string before = xml();
    xml::Node child = doc.createElement("text");
    document.push(std::make_unique<ui::InsertNodeEdit>(top, child));
    const std::string after = xml();
    EXPECT_NE(after, before);
    EXPECT_TRUE(document.isModified());

    const struct {
        ui::SchemaDocument::Step (ui::SchemaDocument::*step)();
        const std::string& shows;
        xml::Node touched;
    } steps[] = {{&ui::SchemaDocument::undo, before, top},
                 {&ui::SchemaDocument::redo, after, child},
                 {&ui::SchemaDocument::redo, after, {}}};  // nothing left to redo
    for (const auto& s : steps) {
        document.setModified(false);
        const ui::SchemaDocument::Step taken = (document.*s.step)();
        EXPECT_EQ(taken.taken, bool(s.touched));
        EXPECT_EQ(taken.touched, s.touched);
        EXPECT_EQ(xml(), s.shows);
        EXPECT_EQ(document.isModified(), taken.taken);
    }
    EXPECT_EQ(changed.count(), 4);  // the new document, the edit, undo and redo

    // An edit that fails is not recorded.
    EXPECT_ANY_THROW(document.push(std::make_unique<ui::InsertNodeEdit>(child, child)));
    EXPECT_EQ(document.history().count(), 1);
    document.clear();
    EXPECT_FALSE(document.doc());
    EXPECT_TRUE(document.nodeList().empty());
    EXPECT_EQ(document.history().count(), 0);
    EXPECT_THROW(document.element(1), RuntimeError);
}

// An edit that fails when its switch is on, either way.
class FailingEdit : public ui::SchemaEdit {
public:
    explicit FailingEdit(const bool& fail) : fail_(fail) {}

protected:
    void apply() override { check(); }
    void revert() override { check(); }

private:
    void check() const {
        if (fail_) throw RuntimeError(err::XmlDom, "failed");
    }
    const bool& fail_;
};

// After a step back or forth that failed, the history no longer matches the
// document: it is cleared.
TEST(SchemaDocument, AFailedStepClearsTheHistory) {
    qtApp();
    for (const bool back : {true, false}) {
        ui::SchemaDocument document;
        document.replace();
        bool fail = false;
        for (int i = 0; i < 3; ++i) document.push(std::make_unique<FailingEdit>(fail));
        document.undo();
        fail = true;
        const ui::SchemaDocument::Step taken = back ? document.undo() : document.redo();
        EXPECT_TRUE(taken.error) << back;
        EXPECT_EQ(document.history().count(), 0) << back;
    }
}

}  // namespace
}  // namespace trelmo::test
