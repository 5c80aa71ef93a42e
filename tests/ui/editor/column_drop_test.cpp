// Columns of the CSV preview dropped onto the tree, and the preview's headers
// marking the columns that the schema uses.
#include <QDragEnterEvent>
#include <QFont>
#include <QMimeData>

#include "tests/ui/editor/columns_fixture.h"
#include "ui/editor/csv_preview_view.h"
#include "ui/editor/preview_model.h"

namespace trelmo::test {
namespace {

// Tree indexes: 1 r, 2 attribute, 3 e, 4 text, 5 cdatasection, 6 comment,
// 7 a misspelt kind, 8 Element with a capital.
const char* const kSchema =
    "<element name=\"r\"><attribute name=\"id\" DataSource=\"1\"/>"
    "<element name=\"e\"><text DataSource=\"1\"/></element>"
    "<cdatasection/><comment DataSource=\"2\"/><elemnt name=\"x\"/><Element name=\"E\"/></element>";

class ColumnDropTest : public ColumnsTest {
protected:
    // Drags data over the node of a tree index (0: empty space below the
    // nodes) and drops it there; whether the tree took the move.
    bool drop(int treeIndex, QMimeData* data) {
        const std::unique_ptr<QMimeData> owned(data);
        QWidget* viewport = tree()->viewport();
        if (treeIndex)
            tree()->scrollToItem(tree()->node(treeIndex));
        else
            tree()->collapseAll();
        const QPoint at = treeIndex ? tree()->visualItemRect(tree()->node(treeIndex)).center()
                                    : QPoint(5, viewport->height() - 3);
        QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &enter);
        QDragMoveEvent move(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &move);
        const bool taken = enter.isAccepted() && move.isAccepted();
        EXPECT_EQ(tree()->dropHighlight(), taken ? tree()->node(treeIndex) : nullptr);
        QDropEvent dropped(QPointF(at), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &dropped);
        EXPECT_EQ(tree()->dropHighlight(), nullptr);
        return taken;
    }
    std::string schemaBody() const {
        const std::string xml = schemaXml();
        return xml.substr(xml.find("<element"));
    }
    // The marked headers, "column:tooltip" each, one a line.
    std::string marks() const {
        std::string out;
        for (int c = 0; c < preview()->columnCount(); ++c) {
            const bool bold = preview()->headerData(c, Qt::Horizontal, Qt::FontRole).value<QFont>().bold();
            const bool marked = preview()->headerData(c, Qt::Horizontal, Qt::DecorationRole).isValid();
            EXPECT_EQ(bold, marked) << c;
            if (!marked) continue;
            QString tip = preview()->headerData(c, Qt::Horizontal, Qt::ToolTipRole).toString();
            out += std::to_string(c + 1) + ":" + tip.replace('\n', '|').toStdString() + "\n";
        }
        return out;
    }
};

// On a leaf its data source becomes the column; on an element a child element
// bound to it is made; anything else takes nothing. Each is one step.
TEST_F(ColumnDropTest, DropsOnEachKindOfNode) {
    struct Case {
        int node;
        const char* after;  // the part of the schema that changed, empty: nothing
        int selected;
    };
    const Case cases[] = {
        {2, "<attribute name=\"id\" DataSource=\"3\"/>", 2},
        {4, "<text DataSource=\"3\"/>", 4},
        {5, "<cdatasection DataSource=\"3\"/>", 5},
        {6, "<comment DataSource=\"3\"/>", 6},
        {3, "<element name=\"e\"><text DataSource=\"1\"/><element name=\"列3\"><text "
            "DataSource=\"3\"/></element></element>", 5},
        {1, "<element name=\"列3\"><text DataSource=\"3\"/></element></element>", 9},
        {7, "", 0},
        {8, "", 0},
        {0, "", 0},
    };
    open(kSchema, "a,b,c\r\nd,e,f\r\n");
    const std::string before = schemaBody();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.node);
        EXPECT_EQ(drop(c.node, ui::csvColumnMimeData(3)), *c.after != '\0');
        if (!*c.after) {
            EXPECT_EQ(schemaBody(), before);
            continue;
        }
        EXPECT_NE(schemaBody().find(c.after), std::string::npos) << schemaBody();
        EXPECT_EQ(selectedIndex(), c.selected);
        EXPECT_EQ(nodeList()->topLevelItemCount(), tree()->nodeCount());
        EXPECT_TRUE(editor->isModified());
        trigger("mnuEditUndo");
        EXPECT_EQ(schemaBody(), before);
    }
    EXPECT_TRUE(messages.shown.empty()) << lastMessage();
}

// A column dropped on an element makes two elements: taken up to exactly
// 32,767, refused past them.
TEST_F(ColumnDropTest, TheElementLimitIsExact) {
    std::string schema = "<element name=\"r\">";
    for (int i = 1; i < 32765; ++i) schema += "<comment DataSource=\"1\"/>";
    open(schema + "</element>", "a,b\r\nc,d\r\n");
    ASSERT_EQ(tree()->nodeCount(), 32765);
    drop(1, ui::csvColumnMimeData(1));
    EXPECT_EQ(tree()->nodeCount(), 32767);
    EXPECT_TRUE(messages.shown.empty()) << lastMessage();
    trigger("mnuEditUndo");
    clickNode(1);
    ctrlKey(Qt::Key_C);  // a comment: 32,766
    drop(1, ui::csvColumnMimeData(1));
    EXPECT_EQ(tree()->nodeCount(), 32766);
    EXPECT_NE(lastMessage().find("32768"), std::string::npos) << lastMessage();
}

TEST_F(ColumnDropTest, OnlyColumnsOfThePreviewAreTaken) {
    open(kSchema, "a,b,c\r\n");
    const std::string before = schemaBody();
    auto* broken = new QMimeData;
    broken->setData(ui::kCsvColumnMimeType, "x");
    EXPECT_FALSE(drop(4, broken));
    EXPECT_EQ(schemaBody(), before);
}

// An element dropped onto takes its name from the first record once
// "1行目を名前に使う" was chosen with OK, when that value can name it.
TEST_F(ColumnDropTest, TheNameOfADroppedColumn) {
    open("<element name=\"r\"/>", "id,a b\r\n1,2\r\n");
    ui::ColumnsDialog* dialog = openDialog();
    ASSERT_NE(dialog, nullptr);
    dialog->findChild<QCheckBox*>("chkFirstRecord")->setChecked(true);
    dialog->model().setData(dialog->model().index(0, ui::ColumnsModel::Use), Qt::Unchecked,
                            Qt::CheckStateRole);
    dialog->model().setData(dialog->model().index(1, ui::ColumnsModel::Use), Qt::Unchecked,
                            Qt::CheckStateRole);
    pressEnter(dialog);
    drop(1, ui::csvColumnMimeData(1));
    drop(1, ui::csvColumnMimeData(2));
    EXPECT_EQ(schemaBody(),
              "<element name=\"r\"><element name=\"id\"><text DataSource=\"1\"/></element>"
              "<element name=\"列2\"><text DataSource=\"2\"/></element></element>");
}

// Marked as the converter reads the schema, after every kind of change.
TEST_F(ColumnDropTest, TheUsedColumnsAreMarked) {
    open(kSchema, "a,b,c\r\n");
    EXPECT_EQ(marks(),
              "1:この列を使うノード：|attribute /r/@id|text /r/e\n"
              "2:この列を使うノード：|comment /r\n");
    drop(5, ui::csvColumnMimeData(3));
    EXPECT_NE(marks().find("3:この列を使うノード：|cdatasection /r\n"), std::string::npos) << marks();
    trigger("mnuEditUndo");
    clickNode(6);
    combo2()->setEditText("03");
    clickButton("cmdApply");
    EXPECT_EQ(marks(), "1:この列を使うノード：|attribute /r/@id|text /r/e\n"
                       "3:この列を使うノード：|comment /r\n");
    clickNode(2);
    trigger("PopMnuDel");
    EXPECT_EQ(marks(), "1:この列を使うノード：|text /r/e\n3:この列を使うノード：|comment /r\n");
    messages.answerNext(MsgAnswer::No);
    trigger("mnuFileNew");
    previewCsv("a,b,c\r\n");
    EXPECT_EQ(marks(), "");
}

}  // namespace
}  // namespace trelmo::test
