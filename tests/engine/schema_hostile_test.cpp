// Hostile schema files, loaded as documents and through a whole conversion:
// each is refused with the load failure's messages (or converts correctly),
// reads no local file it names, opens no network connection and leaves no
// output behind.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "engine/startup/startup.h"
#include "engine/xml/dom.h"
#include "tests/support/recording_messages.h"
#include "tests/support/temp_dir.h"

namespace trelmo {
namespace {

// A local TCP port that records whether anything connected to it.
class Listener {
public:
    Listener() {
        fd_ = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&address), size) != 0 || listen(fd_, 8) != 0 ||
            getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
            ADD_FAILURE() << "no listener";
        }
        url_ = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
    }
    ~Listener() { close(fd_); }
    const std::string& url() const { return url_; }
    bool contacted() const {
        const int connection = accept(fd_, nullptr, nullptr);
        if (connection >= 0) close(connection);
        return connection >= 0;
    }

private:
    int fd_ = -1;
    std::string url_;
};

class SchemaHostile : public testing::Test {
protected:
    ExitStatus run(const std::string& schema) {
        messages.shown.clear();
        const std::string csv = tmp.write("in.csv", "1,a\r\n2,b\r\n");
        return Main(JoinArguments({csv, tmp.write("s.dsd", schema), out}), messages, progress);
    }

    test::TempDir tmp;
    std::string out = tmp.file("out.xml");
    test::RecordingMessages messages;
    NullProgress progress;
};

std::string laughs(const std::string& use) {
    std::string schema = "<?xml version=\"1.0\"?>\n<!DOCTYPE element [\n<!ENTITY l0 \"ha\">\n";
    for (int i = 1; i <= 10; ++i) {
        schema += "<!ENTITY l" + std::to_string(i) + " \"";
        for (int k = 0; k < 10; ++k) schema += "&l" + std::to_string(i - 1) + ";";
        schema += "\">\n";
    }
    return schema + "]>\n" + use;
}

std::string nested(int levels) {
    std::string schema = "<element name=\"r\">";
    for (int i = 0; i < levels; ++i) schema += "<element name=\"e\">";
    schema += "<text DataSource=\"1\"/>";
    for (int i = 0; i < levels; ++i) schema += "</element>";
    return schema + "</element>";
}

// Each is refused by the loader, both when a document is loaded from text and
// through a whole conversion (the parser's detail, then the load failure, no
// output), without reading the local file or reaching the host it names.
TEST_F(SchemaHostile, EachIsRefusedWithoutReadingOrConnecting) {
    Listener listener;
    const std::string secret = tmp.write("secret.txt", "SECRET-MARKER");
    const std::string local[] = {"file://" + secret, secret};
    std::vector<std::string> schemas = {
        laughs("<element name=\"r\"><text DataSource=\"1\"/>&l10;</element>"),
        laughs("<element name=\"&l10;\"/>"),
        // 192.0.2.1 is reserved for documentation: a connection attempt would hang, not fail.
        "<!DOCTYPE element SYSTEM \"http://192.0.2.1/schema.dtd\"><element name=\"r\"/>",
        "<!DOCTYPE element PUBLIC \"-//X//DTD X//EN\" \"" + listener.url() + "/x.dtd\"><element/>",
        "<!DOCTYPE element SYSTEM \"" + listener.url() + "/s.dtd\"><element name=\"r\"/>",
        "<!DOCTYPE element [<!ELEMENT element (#PCDATA)><!ENTITY x SYSTEM \"" + listener.url() +
            "/x\">]><element>&x;</element>",
        "<!DOCTYPE element [<!ENTITY % p SYSTEM \"" + listener.url() + "/p\"> %p;]><element/>",
        "<!DOCTYPE element [<!ENTITY % p SYSTEM \"ftp://127.0.0.1/p\"> %p;]><element/>",
        nested(100000),
        "<element name=\"r\" note=\"" + std::string(50u << 20, 'v') + "\"><text DataSource=\"1\"/></element>",
    };
    for (const std::string& path : local) {
        schemas.push_back("<!DOCTYPE element [<!ENTITY x SYSTEM \"" + path +
                          "\">]><element name=\"r\"><text DataSource=\"1\"/>&x;</element>");
        schemas.push_back("<!DOCTYPE element [<!ENTITY x SYSTEM \"" + path +
                          "\">]><element name=\"r\"><element name=\"&x;\"/></element>");
        schemas.push_back("<!DOCTYPE element [<!ENTITY % p SYSTEM \"" + path + "\"> %p;]><element/>");
        schemas.push_back("<!DOCTYPE element SYSTEM \"" + path + "#\"><element/>");
    }
    for (const std::string& schema : schemas) {
        const std::string shown = schema.substr(0, 160);
        xml::Document doc;
        EXPECT_FALSE(doc.loadXml(schema)) << shown;
        EXPECT_FALSE(doc.parseError().reason.empty()) << shown;
        EXPECT_EQ(doc.xml().find("SECRET"), std::string::npos) << shown;
        if (const std::size_t scheme = schema.find("://"); scheme != std::string::npos && schema[scheme - 1] != 'e') {
            const std::size_t host = scheme + 3;
            const std::string name = schema.substr(host, schema.find_first_of(":/", host) - host);
            EXPECT_NE(doc.parseError().reason.find(name), std::string::npos) << shown << doc.parseError().reason;
        }

        EXPECT_EQ(run(schema), ExitStatus::Failure) << shown;
        ASSERT_EQ(messages.shown.size(), 2u) << shown << testing::PrintToString(messages.texts());
        EXPECT_NE(messages.shown[0].text.find("\r\nLine: "), std::string::npos);
        EXPECT_LT(messages.shown[0].text.size(), 4096u) << "the offending line is shown cut short";
        EXPECT_EQ(messages.shown[0].text.find("SECRET"), std::string::npos);
        EXPECT_EQ(messages.shown[1].text, kSchemaLoadFailed);
        EXPECT_FALSE(test::fileExists(out));
    }
    EXPECT_FALSE(listener.contacted());
}

TEST_F(SchemaHostile, ElementsBeyondTheEditorsLimitStillConvert) {
    std::string schema = "<element name=\"r\" root=\"t\">";
    for (int i = 0; i < 32767; ++i) schema += "<element name=\"e\"/>";
    ASSERT_EQ(run(schema + "</element>"), ExitStatus::Success) << testing::PrintToString(messages.texts());
    std::string record = "<r>";
    for (int i = 0; i < 32767; ++i) record += "<e/>";
    record += "</r>";
    EXPECT_EQ(test::readFile(out), "<?xml version=\"1.0\"?>\r\n<t>" + record + record + "</t>\r\n");
}

}  // namespace
}  // namespace trelmo
