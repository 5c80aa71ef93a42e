// Bytes passed on by a thread of their own: in order and whole, and a
// failure of the sink on that thread comes back to the writer, with nothing
// passed on after it.
#include <gtest/gtest.h>

#include <string>

#include "engine/error.h"
#include "engine/xsd/background_feed.h"

namespace trelmo::xsd {
namespace {

// Keeps what it is given; refuses the piece numbered `failAt` (from 1).
class RecordingSink : public xml::detail::ByteSink {
public:
    explicit RecordingSink(int failAt) : failAt_(failAt) {}
    void write(const char* data, std::size_t size) override {
        if (++pieces == failAt_) throw RuntimeError(err::XmlSave, "piece " + std::to_string(pieces));
        bytes.append(data, size);
    }
    int pieces = 0;
    std::string bytes;

private:
    int failAt_;
};

TEST(BackgroundFeed, PassesEveryPieceInOrderOrBringsBackTheFirstFailure) {
    const int total = 3 * static_cast<int>(BackgroundFeed::kQueued);  // more than the queue holds
    for (const int failAt : {0, 1, 5, total}) {
        SCOPED_TRACE(failAt);
        RecordingSink sink(failAt);
        std::string written, error;
        {
            BackgroundFeed feed(sink);
            try {
                for (int i = 0; i < total; ++i) {
                    const std::string piece = std::to_string(i) + ";";
                    feed.write(piece.data(), piece.size());
                    written += piece;
                }
                feed.finish();
            } catch (const RuntimeError& e) {
                error = e.description();
            }
        }
        if (failAt == 0) {
            EXPECT_EQ(error, "");
            EXPECT_EQ(sink.bytes, written);
            continue;
        }
        EXPECT_EQ(error, "piece " + std::to_string(failAt));
        EXPECT_EQ(sink.pieces, failAt);  // none passed on after the failure
        EXPECT_EQ(written.substr(0, sink.bytes.size()), sink.bytes);
    }
}

}  // namespace
}  // namespace trelmo::xsd
