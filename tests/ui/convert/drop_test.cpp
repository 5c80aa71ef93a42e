// Files dropped onto the real conversion window as a file manager drops them:
// text/uri-list with file:// URLs, names with blanks and Japanese.

#include <QApplication>
#include <QMimeData>
#include <QUrl>

#include "tests/support/ui/send_drop.h"
#include "tests/ui/convert/frm_main_fixture.h"

namespace trelmo::test {
namespace {

class DropTest : public FrmMainTest {
protected:
    // Drags the URLs over `onto` and drops them there, as the window system
    // does, then lets a message the drop brings come up. False when the drag
    // was not accepted.
    bool drop(QWidget* onto, const QByteArray& uriList) const {
        QMimeData data;
        data.setData(QStringLiteral("text/uri-list"), uriList);
        data.setText(QString::fromUtf8(uriList));  // file managers send the text too
        return sendDrop(onto, data);
    }
    // A file:// URL as a file manager writes it, percent-encoded.
    QByteArray url(const std::string& name) const {
        return QUrl::fromLocalFile(QString::fromStdString(dir.file(name))).toEncoded() + "\r\n";
    }
    std::string path(const std::string& name) const { return dir.file(name); }
    std::string text(const char* box) const { return this->box(box)->text().toStdString(); }
};

TEST_F(DropTest, FilesFillTheBoxOfTheirKindOrTheBoxTheyAreDroppedOn) {
    const struct {
        const char* onto;  // a control's name, or the window
        std::vector<std::string> names;
        std::string csv, dsd, xml;  // the boxes afterwards, by file name
    } cases[] = {
        {"frmMain", {"my data.csv", "スキーマ.dsd", "出力 先.XML"}, "my data.csv", "スキーマ.dsd", "出力 先.XML"},
        {"Label2", {"スキーマ.dsd"}, "", "スキーマ.dsd", ""},
        {"Text3", {"notes.txt"}, "", "", "notes.txt"},
        {"Text1", {"s.dsd"}, "s.dsd", "", ""},
        {"Text3", {"a.csv", "s.dsd"}, "a.csv", "s.dsd", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.onto);
        setPaths("", "", "");
        QByteArray uris;
        for (const std::string& name : c.names) uris += url(name);
        QWidget* onto = std::string(c.onto) == "frmMain" ? window.get() : control<QWidget>(c.onto);
        ASSERT_TRUE(drop(onto, uris));
        EXPECT_EQ(text("Text1"), c.csv.empty() ? "" : path(c.csv));
        EXPECT_EQ(text("Text2"), c.dsd.empty() ? "" : path(c.dsd));
        EXPECT_EQ(text("Text3"), c.xml.empty() ? "" : path(c.xml));
    }
    EXPECT_TRUE(messages.shown.empty()) << messages.texts().front();
}

TEST_F(DropTest, WhatCannotBeTakenIsNamedInOneMessage) {
    setPaths("", "", "keep.xml");
    ASSERT_TRUE(drop(window.get(), url("a.csv") + url("readme.txt") + "https://example.com/b.dsd\r\n" + url("b.csv")));
    EXPECT_EQ(text("Text1"), path("a.csv"));
    EXPECT_EQ(text("Text2"), "");
    EXPECT_EQ(text("Text3"), "keep.xml");
    ASSERT_EQ(messages.shown.size(), 1u);
    const std::string& shown = messages.shown[0].text;
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Exclamation);
    for (const std::string& named : {std::string("「https://example.com/b.dsd」"), "「" + path("readme.txt") + "」", "「" + path("b.csv") + "」"}) {
        EXPECT_NE(shown.find(named), std::string::npos) << named << " in " << shown;
    }
    EXPECT_EQ(shown.find(path("a.csv") + "」"), std::string::npos) << shown;
}

// Text that is not a file is typed into a box as text.
TEST_F(DropTest, PlainTextIsNotTakenForFiles) {
    QMimeData data;
    data.setText(QStringLiteral("abc"));
    EXPECT_FALSE(sendDrop(window.get(), data));
}

}  // namespace
}  // namespace trelmo::test
