// The editor window: its layout, captions, pictures, showing and resizing.
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QTreeView>

#include "tests/support/ui/editor_fixture.h"
#include "ui/editor/image_list.h"

namespace trelmo::test {
namespace {


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

// The layout's invariants at the window's own size and at two screen sizes:
// every shown control lies inside its parent, and no two shown siblings overlap.
TEST_F(WindowTest, ControlsLieInsideTheirParentsWithoutOverlap) {
    for (const QSize size : {QSize(), QSize(1280, 1024), QSize(1024, 768)}) {
        if (size.isValid()) editor->resize(size - QSize(0, 60));
        SCOPED_TRACE(editor->size().width());
        QWidget* client = control<QWidget>("client");
        const QList<QWidget*> parents = client->findChildren<QWidget*>() << client;
        for (QWidget* parent : parents) {
            QList<QWidget*> shown;
            for (QObject* child : parent->children()) {
                auto* w = qobject_cast<QWidget*>(child);
                if (!w || !w->isVisible() || w->isWindow()) continue;
                if (!qobject_cast<QAbstractScrollArea*>(parent) && !qobject_cast<QComboBox*>(parent) &&
                    !qobject_cast<QAbstractSpinBox*>(parent))
                    shown << w;
            }
            for (QWidget* w : shown) {
                EXPECT_TRUE(parent->rect().contains(w->geometry())) << w->objectName().toStdString();
                for (QWidget* other : shown) {
                    if (other != w) {
                        EXPECT_FALSE(w->geometry().intersects(other->geometry()))
                            << w->objectName().toStdString() << " " << other->objectName().toStdString();
                    }
                }
            }
        }
    }
}

// The window's texts, from one table: each caption shown exactly once.
TEST_F(WindowTest, CaptionsFromOneTable) {
    const char* const captions[] = {
        "XMLの構造デザイン", "繰り返し", "要素名とCSVのフィールド番号", "最上位の要素名",
        "エンコーディング指定", "ノード名", "データソース", "登録", "検証用XSD", "参照", "名前空間",
        "見出し行", "列", "固定値", "ﾌｧｲﾙ(&F)", "新規(&N)", "スキーマを開く(&O)", "CSVを開く",
        "上書き保存(&S)", "名前をつけて保存（&A）", "終了(&X)", "操作", "挿入", "削除",
        "CSVの列から作成(&G)", "編集(&E)", "元に戻す(&U)", "やり直し(&R)", "表示(&V)",
        "XMLプレビュー(&X)"};
    QStringList shown{editor->windowTitle()};
    for (const QWidget* w : editor->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(editor.get())) continue;
        for (const char* property : {"text", "title"})
            if (const QVariant v = w->property(property); v.isValid() && !v.toString().isEmpty()) shown << v.toString();
        if (const auto* box = qobject_cast<const QComboBox*>(w); box && !box->isEditable())
            for (int i = 0; i < box->count(); ++i) shown << box->itemText(i);
    }
    for (const QAction* a : editor->findChildren<QAction*>())
        if (a->isVisible() && !a->text().isEmpty()) shown << a->text();
    for (const char* caption : captions)
        EXPECT_EQ(shown.count(QString::fromUtf8(caption)), 1) << caption;
    EXPECT_EQ(editor->windowTitle(), QString::fromUtf8("Trelmo - DSD スキーマ\u3000エディター"));
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
