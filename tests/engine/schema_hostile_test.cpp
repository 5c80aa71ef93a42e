// Hostile schema files through a whole conversion: each ends in the load
// failure's messages or in a correct conversion, reads no local file it names,
// opens no network connection and leaves no output behind on failure.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "engine/startup.h"
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
    // The parser's detail, then the load failure; nothing written.
    void expectLoadFailure(ExitStatus status) {
        EXPECT_EQ(status, ExitStatus::Failure);
        ASSERT_EQ(messages.shown.size(), 2u) << testing::PrintToString(messages.texts());
        EXPECT_NE(messages.shown[0].text.find("\r\nLine: "), std::string::npos);
        EXPECT_EQ(messages.shown[1].text, kSchemaLoadFailed);
        EXPECT_FALSE(test::fileExists(out));
    }

    test::TempDir tmp;
    std::string out = tmp.file("out.xml");
    test::RecordingMessages messages;
    NullProgress progress;
};

TEST_F(SchemaHostile, BillionLaughsIsRefused) {
    std::string schema = "<?xml version=\"1.0\"?>\n<!DOCTYPE element [\n<!ENTITY l0 \"ha\">\n";
    for (int i = 1; i <= 10; ++i) {
        schema += "<!ENTITY l" + std::to_string(i) + " \"";
        for (int k = 0; k < 10; ++k) schema += "&l" + std::to_string(i - 1) + ";";
        schema += "\">\n";
    }
    schema += "]>\n<element name=\"r\"><text DataSource=\"1\"/>&l10;</element>";
    expectLoadFailure(run(schema));
}

TEST_F(SchemaHostile, ExternalEntitiesNamingLocalFilesAreNotRead) {
    const std::string secret = tmp.write("secret.txt", "SECRET-MARKER");
    for (const std::string use : {"<text DataSource=\"1\"/>&x;", "<element name=\"&x;\"/>"}) {
        const ExitStatus status = run("<?xml version=\"1.0\"?>\n<!DOCTYPE element [<!ENTITY x SYSTEM \"file://" +
                                      secret + "\">]>\n<element name=\"r\">" + use + "</element>");
        for (const std::string& text : messages.texts()) EXPECT_EQ(text.find("SECRET-MARKER"), std::string::npos);
        if (status == ExitStatus::Success) {
            EXPECT_EQ(test::readFile(out).find("SECRET-MARKER"), std::string::npos);
        } else {
            expectLoadFailure(status);
        }
    }
}

TEST_F(SchemaHostile, NetworkAddressesAreNeverContacted) {
    Listener listener;
    expectLoadFailure(run("<!DOCTYPE element [<!ENTITY x SYSTEM \"" + listener.url() +
                          "/x\">]><element name=\"r\">&x;<text DataSource=\"1\"/></element>"));
    expectLoadFailure(run("<!DOCTYPE element SYSTEM \"" + listener.url() +
                          "/s.dtd\"><element name=\"r\"><text DataSource=\"1\"/></element>"));
    expectLoadFailure(run("<!DOCTYPE element [<!ENTITY % p SYSTEM \"" + listener.url() +
                          "/p\"> %p;]><element name=\"r\"/>"));
    EXPECT_FALSE(listener.contacted());
}

TEST_F(SchemaHostile, DocumentTypeOnAnUnreachableHostFailsAtOnce) {
    // 192.0.2.1 is reserved for documentation: a connection attempt would hang, not fail.
    expectLoadFailure(run("<!DOCTYPE element SYSTEM \"http://192.0.2.1/schema.dtd\">"
                          "<element name=\"r\"><text DataSource=\"1\"/></element>"));
}

TEST_F(SchemaHostile, HundredThousandLevelsOfNestingAreRefused) {
    std::string schema = "<element name=\"r\">";
    for (int i = 0; i < 100000; ++i) schema += "<element name=\"e\">";
    schema += "<text DataSource=\"1\"/>";
    for (int i = 0; i < 100000; ++i) schema += "</element>";
    expectLoadFailure(run(schema + "</element>"));
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

TEST_F(SchemaHostile, FiftyMegabyteAttributeValueIsRefusedBriefly) {
    expectLoadFailure(run("<element name=\"r\" note=\"" + std::string(50u << 20, 'v') +
                          "\"><text DataSource=\"1\"/></element>"));
    // The offending line is shown cut short, not fifty megabytes of it.
    EXPECT_LT(messages.shown[0].text.size(), 4096u);
}

}  // namespace
}  // namespace trelmo
