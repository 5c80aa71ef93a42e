// The conversion window with a schema that names an XSD: the faults in its
// message, the status line when the output met the XSD, and a message box
// whose list can be read, selected and copied.

#include <QApplication>
#include <QClipboard>
#include <QTextEdit>
#include <filesystem>

#include "tests/ui/convert/frm_main_fixture.h"
#include "ui/common/qt_messages.h"

namespace trelmo::test {
namespace {

using XsdCheckTest = FrmMainTest;

constexpr const char* kXsd = R"(<xs:schema xmlns:xs="http://www.w3.org/2001/XMLSchema" targetNamespace="urn:n"
 elementFormDefault="qualified"><xs:element name="rows"><xs:complexType><xs:sequence>
 <xs:element name="row" type="xs:positiveInteger" maxOccurs="unbounded"/></xs:sequence></xs:complexType>
 </xs:element></xs:schema>)";

TEST_F(XsdCheckTest, ListsTheFaultsOrSaysTheOutputWasChecked) {
    dir.write("n.xsd", kXsd);
    const std::string dsd = dir.write("s.dsd", R"(<element name="row" root="rows" xsd="n.xsd" namespace="urn:n">)"
                                               R"(<text DataSource="1"/></element>)");
    const std::string out = dir.file("out.xml");
    setPaths(dir.write("bad.csv", "1,a\r\n-2,b\r\n3,c\r\n"), dsd, out);
    click("cmdDoConvert");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].details.rfind("2 件目のレコードの 1 列目: /rows/row[2] の値「-2」", 0), 0u);
    EXPECT_FALSE(std::filesystem::exists(out));

    setPaths(dir.write("good.csv", "1,a\r\n2,b\r\n"), dsd, out);
    click("cmdDoConvert");
    EXPECT_TRUE(std::filesystem::exists(out));
    EXPECT_TRUE(status().contains("XSD"));
}

TEST_F(XsdCheckTest, TheListIsShownSelectableAndCopied) {
    Message message{"text", MsgButtons::Ok, MsgIcon::Exclamation, 0};
    message.details = "一行目\r\n二行目";
    const auto box = ui::makeMessageBox(message, window.get());
    box->show();
    const QTextEdit* list = box->findChild<QTextEdit*>();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->isVisible());
    EXPECT_TRUE(list->textInteractionFlags() & Qt::TextSelectableByMouse);
    for (QAbstractButton* button : box->buttons()) {
        if (box->buttonRole(button) == QMessageBox::ActionRole && button->text() == QStringLiteral("コピー")) {
            button->click();
        }
    }
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("一行目\n二行目"));
    EXPECT_TRUE(box->isVisible());
}

}  // namespace
}  // namespace trelmo::test
