// The schema document on its own, without a window: each change through the
// history, announced by its own signal, Modified following the saved state.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QUndoStack>

#include "engine/error.h"
#include "tests/support/ui/qt_app.h"
#include "ui/editor/schema_document.h"
#include "ui/editor/schema_edits.h"

namespace trelmo::test {
namespace {

xml::Document parse(std::string_view text) {
    xml::Document doc;
    EXPECT_TRUE(doc.loadXml(text));
    return doc;
}

TEST(SchemaDocument, EachChangeIsOneStepWithItsOwnSignal) {
    qtApp();
    ui::SchemaDocument document;
    document.replace(parse("<element name=\"r\"><element name=\"a\"><text/></element><element name=\"b\"/></element>"));
    const xml::Node top = document.element(1);
    const xml::Node a = document.element(2);
    QSignalSpy inserted(&document, &ui::SchemaDocument::nodesInserted);
    QSignalSpy removed(&document, &ui::SchemaDocument::nodesRemoved);
    QSignalSpy changed(&document, &ui::SchemaDocument::nodeChanged);
    QSignalSpy settings(&document, &ui::SchemaDocument::settingsChanged);
    const auto names = [&] {
        std::string out;
        for (const xml::Node& e : document.nodeList()) out += e.attribute("name").value_or(e.name()) + " ";
        return out;
    };
    EXPECT_FALSE(document.isModified());

    xml::Node c = document.doc()->createElement("element");
    c.setAttribute("name", "c");
    c.appendChild(document.doc()->createElement("text"));
    document.insertNodes(a, {c});
    EXPECT_EQ(names(), "r a text c text b ");
    EXPECT_EQ(inserted.takeFirst(), (QList<QVariant>{3, 2}));
    document.removeNode(a);
    EXPECT_EQ(names(), "r b ");
    EXPECT_EQ(removed.takeFirst(), (QList<QVariant>{1, 4}));
    EXPECT_TRUE(document.setProperties(top, {{"name", "s"}, {"DataSource", std::nullopt}}));
    EXPECT_FALSE(document.setProperties(top, {{"name", "s"}}));  // no change, no step
    EXPECT_EQ(changed.count(), 1);
    document.setSetting(ui::Setting::HeaderRows, "2");
    document.setSetting(ui::Setting::HeaderRows, "1");  // merged with the step before
    EXPECT_EQ(settings.count(), 2);
    EXPECT_EQ(document.history().count(), 4);
    EXPECT_TRUE(document.isModified());

    // Undo back to the saved state clears Modified; every step back is announced.
    const std::string saved = document.doc()->xml();
    document.setModified(false);
    const ui::SchemaDocument::Step back = document.undo();
    EXPECT_TRUE(back.taken);
    EXPECT_FALSE(back.touched);  // a setting names no node
    EXPECT_TRUE(document.isModified());
    document.redo();
    EXPECT_FALSE(document.isModified());
    EXPECT_EQ(document.doc()->xml(), saved);
    for (QSignalSpy* spy : {&inserted, &removed, &changed}) spy->clear();
    for (int i = 0; i < 4; ++i) document.undo();
    EXPECT_EQ(names(), "r a text b ");
    EXPECT_EQ(inserted.count() + removed.count() + changed.count(), 3);

    // A failing edit throws and is not recorded.
    EXPECT_ANY_THROW(document.insertNodes(a, {top}));
    EXPECT_EQ(document.history().index(), 0);
    document.clear();
    EXPECT_TRUE(document.nodeList().empty());
    EXPECT_THROW(document.element(1), RuntimeError);
}

// The settings kept in the top element: read in any case, written in lower
// case, absent when empty; a file whose settings are not changed keeps its bytes.
TEST(SchemaDocument, SettingsInTheTopElement) {
    qtApp();
    ui::SchemaDocument document;
    const std::string text = "<element name=\"r\" XSD=\"a.xsd\" Header=\"2\" root=\"out\" encoding=\"UTF-8\"/>";
    document.replace(parse(text));
    document.setSetting(ui::Setting::HeaderRows, "2");  // as it is: no step
    EXPECT_EQ(document.doc()->xml(), parse(text).xml());
    EXPECT_EQ(document.xsdPath(), "a.xsd");
    EXPECT_EQ(document.headerRows(), 2);
    EXPECT_EQ(document.rootName(), "out");
    EXPECT_EQ(document.encoding(), "UTF-8");
    document.setSetting(ui::Setting::Xsd, "b.xsd");
    document.setSetting(ui::Setting::Namespace, "urn:x");
    document.setSetting(ui::Setting::HeaderRows, "0");
    const xml::Node top = document.doc()->documentElement();
    EXPECT_EQ(top.attribute("xsd"), "b.xsd");
    EXPECT_EQ(top.attribute("namespace"), "urn:x");
    EXPECT_FALSE(ui::attributeAnyCase(top, "header"));
    EXPECT_FALSE(top.attribute("XSD"));
    for (int i = 0; i < 3; ++i) document.undo();
    EXPECT_EQ(document.xsdPath(), "a.xsd");
    EXPECT_EQ(document.headerRows(), 2);
    EXPECT_EQ(document.xmlNamespace(), "");
}

// An edit that fails when its switch is on, either way.
class FailingEdit : public ui::SchemaEdit {
public:
    FailingEdit(ui::SchemaDocument& document, const bool& fail) : SchemaEdit(document), fail_(fail) {}

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
        document.replace(xml::Document{});
        bool fail = false;
        for (int i = 0; i < 3; ++i) document.push(std::make_unique<FailingEdit>(document, fail));
        document.undo();
        fail = true;
        const ui::SchemaDocument::Step taken = back ? document.undo() : document.redo();
        EXPECT_TRUE(taken.error) << back;
        EXPECT_EQ(document.history().count(), 0) << back;
        EXPECT_TRUE(document.isModified()) << back;
    }
}

}  // namespace
}  // namespace trelmo::test
