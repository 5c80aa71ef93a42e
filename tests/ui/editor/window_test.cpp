// The editor window: its controls, menus, pictures, showing and resizing.
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QTreeView>

#include "tests/support/ui/editor_fixture.h"
#include "ui/editor/image_list.h"

namespace trelmo::test {
namespace {

QString u8(const char* text) { return QString::fromUtf8(text); }
QRect twips(int left, int top, int width, int height) {
    return {qRound(left / 15.0), qRound(top / 15.0), qRound(width / 15.0), qRound(height / 15.0)};
}

class WindowTest : public EditorTest {
protected:
    // The controls as every showing of the window starts them.
    void expectControlsAsLoaded() {
        EXPECT_FALSE(editor->isModified());
        EXPECT_EQ(tree()->nodeCount(), 0);
        EXPECT_EQ(nodeList()->topLevelItemCount(), 0);
        EXPECT_EQ(control<QLineEdit>("Text1")->text(), "");
        EXPECT_EQ(control<QLineEdit>("txtEncoding")->text(), "");
        EXPECT_EQ(control<QLineEdit>("Text2")->text(), "/RootNodeName");
        EXPECT_EQ(txtName()->text(), "");
        EXPECT_EQ(combo2()->currentText(), "");
        EXPECT_EQ(combo2()->count(), 0);
    }
};

TEST_F(WindowTest, CaptionAndClientArea) {
    EXPECT_EQ(editor->objectName(), "frmEdit");
    EXPECT_EQ(editor->windowTitle(), u8("Trelmo - DSD スキーマ\u3000エディター"));
    EXPECT_EQ(editor->windowTitle().indexOf(QChar(0x3000)), 17);
    EXPECT_EQ(control<QWidget>("client")->size(), QSize(605, 417));
}

TEST_F(WindowTest, ControlsStandWhereTheTableSays) {
    struct Row {
        const char* name;
        const char* container;
        QRect rect;
    };
    const Row rows[] = {
        {"Frame2", "client", twips(0, 0, 4515, 4485)},
        {"lblRootName", "Frame2", twips(90, 270, 1995, 255)},
        {"Text1", "Frame2", twips(90, 540, 1935, 285)},
        {"lblEncoding", "Frame2", twips(2490, 240, 1785, 255)},
        {"txtEncoding", "Frame2", twips(2520, 540, 1815, 285)},
        {"Frame3", "Frame2", twips(90, 900, 4335, 3135)},
        {"TreeView1", "Frame3", twips(120, 270, 4125, 2775)},
        {"Text2", "Frame2", twips(90, 4110, 1935, 285)},
        {"Frame1", "client", twips(4560, 0, 4485, 1155)},
        {"lblName", "Frame1", twips(150, 240, 2055, 255)},
        {"txtName", "Frame1", twips(120, 540, 2115, 285)},
        {"Label1", "Frame1", twips(2370, 240, 1455, 255)},
        {"Combo2", "Frame1", twips(2370, 540, 1155, 300)},
        {"cmdApply", "Frame1", twips(3600, 520, 765, 345)},
        {"ListView1", "client", twips(4590, 1170, 4485, 3315)},
        // moved to the full width by the resize rule
        {"ListView2", "client", QRect(0, qRound(4530 / 15.0), 605, qRound(1695 / 15.0))},
    };
    for (const Row& row : rows) {
        QWidget* w = control<QWidget>(row.name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->parentWidget()->objectName(), row.container) << row.name;
        EXPECT_EQ(w->geometry(), row.rect) << row.name;
        EXPECT_TRUE(w->isVisible()) << row.name;
    }
}

TEST_F(WindowTest, CaptionsOfFramesLabelsAndLists) {
    const std::pair<const char*, const char*> captions[] = {
        {"Frame2", "XMLの構造デザイン"}, {"Frame3", "繰り返し"}, {"Frame1", "要素名とCSVのフィールド番号"},
        {"lblRootName", "最上位の要素名"}, {"lblEncoding", "エンコーディング指定"},
        {"lblName", "ノード名"}, {"Label1", "データソース"}, {"cmdApply", "登録"}};
    for (const auto& [name, caption] : captions) {
        QWidget* w = control<QWidget>(name);
        EXPECT_EQ(w->property(qobject_cast<QGroupBox*>(w) ? "title" : "text").toString(), u8(caption)) << name;
    }
    EXPECT_TRUE(control<QLineEdit>("Text2")->isReadOnly());
    EXPECT_TRUE(combo2()->isEditable());

    QTreeWidgetItem* header = nodeList()->headerItem();
    ASSERT_EQ(nodeList()->columnCount(), 3);
    EXPECT_EQ(header->text(0), "NodeType");
    EXPECT_EQ(header->text(1), "NodeName");
    EXPECT_EQ(header->text(2), "DataSource");

    auto* preview = control<QTreeView>("ListView2");
    EXPECT_FALSE(preview->rootIsDecorated());
    EXPECT_TRUE(preview->uniformRowHeights());
    EXPECT_EQ(preview->model()->columnCount(), 0);
}

TEST_F(WindowTest, HiddenButtonsCarryTheFileOperations) {
    const std::pair<const char*, const char*> buttons[] = {
        {"cmdOpenDSD", "開く"}, {"cmdNew", "新規作成"}, {"cmdSave", "保存"}};
    for (const auto& [name, caption] : buttons) {
        auto* b = control<QPushButton>(name);
        EXPECT_EQ(b->text(), u8(caption));
        EXPECT_FALSE(b->isVisible()) << name;
    }
    control<QPushButton>("cmdNew")->click();
    EXPECT_TRUE(editor->schemaDoc().has_value());
    EXPECT_TRUE(editor->isModified());
}

TEST_F(WindowTest, MenusInOrderWithCaptionsAndShortcuts) {
    auto texts = [](const QMenu* menu) {
        QStringList out;
        for (const QAction* a : menu->actions())
            out << a->objectName() + "=" + a->text() + "=" + a->shortcut().toString();
        return out;
    };
    auto* bar = control<QMenuBar>("menuBar");
    ASSERT_EQ(bar->actions().size(), 4);
    const char* const order[] = {"mnuFile", "PopMnu", "mnuEdit", "mnuView"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(bar->actions()[i]->menu(), control<QMenu>(order[i])) << i;
    const std::pair<const char*, const char*> titles[] = {
        {"mnuFile", "ﾌｧｲﾙ(&F)"}, {"PopMnu", "操作"}, {"mnuEdit", "編集(&E)"},
        {"PopMnuInsert", "挿入"}, {"mnuView", "表示(&V)"}};
    for (const auto& [name, title] : titles) EXPECT_EQ(control<QMenu>(name)->title(), u8(title)) << name;

    EXPECT_EQ(texts(control<QMenu>("mnuFile")),
              QStringList({u8("mnuFileNew=新規(&N)="), u8("mnuFileOpenDSD=スキーマを開く(&O)="),
                           u8("mnuFileOpenCSV=CSVを開く="),
                           u8("mnuFileNewSave=名前をつけて保存（&A）="),
                           u8("mnuFileExit=終了(&X)=")}));
    EXPECT_EQ(texts(control<QMenu>("PopMnuInsert")),
              QStringList({"PopMnuElementIn=Element=Ctrl+E", "PopMnuTextIn=Text=Ctrl+T",
                           "PopMnuAttributeIn=Attribute=Ctrl+A", "PopMnuCommentIn=Comment=Ctrl+C",
                           "PopMnuCDATAIn=CDATA=Ctrl+D"}));
    EXPECT_EQ(texts(control<QMenu>("mnuView")), QStringList({u8("mnuViewXmlPreview=XMLプレビュー(&X)=Ctrl+P")}));
    const QList<QAction*> pop = control<QMenu>("PopMnu")->actions();
    ASSERT_EQ(pop.size(), 5);
    EXPECT_EQ(pop[0]->menu(), control<QMenu>("PopMnuInsert"));
    EXPECT_EQ(pop[1], action("PopMnuDel"));
    EXPECT_EQ(pop[1]->text(), u8("削除"));
    EXPECT_EQ(pop[2], action("PopMnuSet"));
    EXPECT_EQ(pop[2]->text(), u8("変更"));
    EXPECT_FALSE(pop[2]->isEnabled());
    EXPECT_FALSE(pop[2]->isVisible());
    EXPECT_TRUE(pop[3]->isSeparator());
    EXPECT_EQ(pop[4], action("PopMnuColumns"));
    EXPECT_EQ(pop[4]->text(), u8("CSVの列から作成(&G)"));
    EXPECT_EQ(pop[4]->shortcut(), QKeySequence("Ctrl+G"));
    EXPECT_EQ(texts(control<QMenu>("mnuEdit")),
              QStringList({u8("mnuEditUndo=元に戻す(&U)=Ctrl+Z"), u8("mnuEditRedo=やり直し(&R)=Ctrl+Y")}));
    EXPECT_EQ(action("mnuEditRedo")->shortcuts(),
              QList<QKeySequence>({QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")}));
}

TEST_F(WindowTest, StartsEmptyWithoutDocument) {
    EXPECT_FALSE(editor->schemaDoc().has_value());
    expectControlsAsLoaded();
}

TEST_F(WindowTest, Text2ShowsTheRootPath) {
    auto* text1 = control<QLineEdit>("Text1");
    auto* text2 = control<QLineEdit>("Text2");
    text1->setText("shops");
    EXPECT_EQ(text2->text(), "/shops");
    text1->clear();
    EXPECT_EQ(text2->text(), "/");
    trigger("mnuFileNew");
    EXPECT_EQ(text2->text(), "/RootNode");
}

TEST_F(WindowTest, ResizeKeepsThePreviewAtFullWidthAndNothingElseMoves) {
    const QRect list1 = nodeList()->geometry();
    auto* preview = control<QWidget>("ListView2");
    const int top = preview->y();
    const int height = preview->height();
    editor->resize(800, 600);
    EXPECT_EQ(preview->geometry(), QRect(0, top, 800, height));
    EXPECT_EQ(nodeList()->geometry(), list1);
    editor->resize(300, 200);
    EXPECT_EQ(preview->geometry(), QRect(0, top, 300, height));
}

TEST_F(WindowTest, PicturesAreSixteenColourBoxes) {
    const ui::ImageList images;
    QSet<QRgb> vga;
    for (QRgb c : {0x000000u, 0x800000u, 0x008000u, 0x808000u, 0x000080u, 0x800080u, 0x008080u,
                   0xC0C0C0u, 0x808080u, 0xFF0000u, 0x00FF00u, 0xFFFF00u, 0x0000FFu, 0xFF00FFu,
                   0x00FFFFu, 0xFFFFFFu})
        vga.insert(c | 0xFF000000u);
    for (int i = 1; i <= ui::picture::Count; ++i) {
        const QImage image = images.picture(i).toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), QSize(16, 16)) << "picture " << i;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const QRgb px = image.pixel(x, y);
                if (qAlpha(px) == 0) continue;
                EXPECT_TRUE(vga.contains(px)) << "picture " << i << " at " << x << "," << y;
            }
        for (int j = 1; j < i; ++j)
            EXPECT_NE(image, images.picture(j).toImage().convertToFormat(QImage::Format_ARGB32))
                << i << " and " << j;
    }
    EXPECT_TRUE(images.picture(0).isNull());
    EXPECT_TRUE(images.picture(6).isNull());
}

// Every showing starts as the first, without a document: what was dropped
// when the window closed cannot be saved unseen.
TEST_F(WindowTest, SecondShowingStartsWithoutADocument) {
    trigger("mnuFileNew");
    clickNode(1);
    ctrlKey(Qt::Key_E);
    control<QLineEdit>("txtEncoding")->setText("UTF-8");
    ASSERT_TRUE(editor->isModified());

    messages.answerNext(MsgAnswer::No);
    editor->close();
    ASSERT_FALSE(editor->isVisible());
    editor->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(editor.get()));

    expectControlsAsLoaded();
    EXPECT_FALSE(editor->schemaDoc().has_value());
    EXPECT_TRUE(editor->schemaNodeList().empty());
    EXPECT_FALSE(action("mnuEditUndo")->isEnabled());

    // Nothing to act on: the commands and saving do nothing; closing asks nothing.
    const std::size_t shown = messages.shown.size();
    ctrlKey(Qt::Key_E);
    trigger("PopMnuDel");
    clickButton("cmdApply");
    trigger("mnuFileNewSave");
    control<QPushButton>("cmdSave")->click();
    EXPECT_TRUE(files.shown.empty());
    editor->close();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(messages.shown.size(), shown);
}

}  // namespace
}  // namespace trelmo::test
