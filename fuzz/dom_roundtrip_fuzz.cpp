// The DOM layer's save and load: a document built from the input bytes, saved
// in one of several encodings and loaded again, gives back every name and
// value put in (comments with the blanks that saving inserts after a hyphen).

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/error.h"
#include "engine/xml/dom.h"
#include "fuzz/fuzz_support.h"

namespace {

using trelmo::xml::Document;
using trelmo::xml::Node;
using trelmo::xml::NodeType;

using trelmo::fuzz::require;
using trelmo::fuzz::scratchPath;

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool done() const { return pos_ >= size_; }
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// Characters that test escaping, line ends, encodings and the edges of Unicode.
const char* const kPieces[] = {
    "a", "Z", " ", "&", "<", ">", "\"", "'", "]", "]]>", "-", "--", "?", "?>", "\r", "\n", "\r\n", "\t",
    "\xE3\x81\x82" /* あ */, "\xE2\x91\xA0" /* ① */, "\xEF\xBD\x9E" /* ～ */, "\xE2\x82\xAC" /* € */,
    "\xC3\xA9" /* é */, "\xC2\xA5" /* ¥ */, "\\", "\xEF\xBF\xBD", "\xEF\xBF\xBC", "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF",
    "\xE2\x80\xA8", "\xC2\x85", "\x7F", "&amp;", "&#38;", "<![CDATA[", "-->", "<!--", "x:y"};
// ASCII names first; the last one only in encodings that hold it.
const char* const kNames[] = {"a", "b", "_n", "n-1", "a.b", "\xE8\xA6\x81\xE7\xB4\xA0" /* 要素 */};
struct Encoding {
    const char* name;  // nullptr: no declaration
    bool unicode;      // holds every character
    bool japanese;     // holds 要素
};
const Encoding kEncodings[] = {{nullptr, true, true},       {"UTF-8", true, true},        {"Shift_JIS", false, true},
                               {"ISO-8859-1", false, false}, {"UTF-16", true, true},       {"EUC-JP", false, true},
                               {"windows-1252", false, false}};

std::string value(Input& in) {
    std::string text;
    const int length = in.byte() % 12;
    for (int k = 0; k < length; ++k) text += kPieces[in.byte() % std::size(kPieces)];
    return text;
}

// A comment as a reader gets it back: a blank after a hyphen that another
// hyphen or the end follows, and line ends read as LF (a comment cannot hold
// a reference to CR).
std::string savedComment(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            continue;
        }
        out += text[i];
        if (text[i] == '-' && (i + 1 == text.size() || text[i + 1] == '-')) out += ' ';
    }
    return out;
}

// What a reader sees of an element: its name, attributes, and children with
// adjacent character data (text and CDATA) merged and empty runs dropped.
// Comments are compared only in encodings that hold every character: in others
// a character the encoding lacks is written as the text of its reference.
std::string shape(const Node& element, bool saved, bool comments) {
    std::string out = "<" + element.name();
    for (const auto& a : element.attributes()) out += " " + a.name + "=[" + a.value + "]";
    out += ">";
    std::string chars;
    auto flush = [&] {
        if (!chars.empty()) out += "{" + chars + "}";
        chars.clear();
    };
    for (const Node& child : element.children()) {
        switch (child.type()) {
        case NodeType::Text:
        case NodeType::CData:
            chars += child.value();
            break;
        case NodeType::Comment:
            flush();
            out += "(" + (!comments ? "" : saved ? child.value() : savedComment(child.value())) + ")";
            break;
        case NodeType::Element:
            flush();
            out += shape(child, saved, comments);
            break;
        default:
            flush();
            out += "?";
        }
    }
    flush();
    return out + "</>";
}


}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    Document doc;
    const Encoding& encoding = kEncodings[in.byte() % std::size(kEncodings)];
    if (encoding.name) {
        doc.appendChild(
            doc.createProcessingInstruction("xml", std::string("version=\"1.0\" encoding=\"") + encoding.name + "\""));
    }
    const std::size_t names = std::size(kNames) - (encoding.japanese ? 0 : 1);
    std::vector<Node> open{doc.appendChild(doc.createElement("root"))};
    bool comments = false;
    while (!in.done() && open.size() < 50) {
        Node& parent = open.back();
        switch (in.byte() % 7) {
        case 0:
            open.push_back(parent.appendChild(doc.createElement(kNames[in.byte() % names])));
            break;
        case 1:
            if (open.size() > 1) open.pop_back();
            break;
        case 2:
            parent.appendChild(doc.createTextNode(value(in)));
            break;
        case 3:
            parent.appendChild(doc.createCDATASection(value(in)));
            break;
        case 4:
            parent.appendChild(doc.createComment(value(in)));
            comments = true;
            break;
        default: {
            const std::string name = kNames[in.byte() % names];
            parent.setAttribute(name, value(in));
        }
        }
    }

    std::string bytes;
    try {
        bytes = doc.xml();
    } catch (const trelmo::RuntimeError&) {
        // A comment cannot hold a character reference, so a character its
        // encoding lacks is refused there; nothing else may fail to save.
        require(!encoding.unicode && comments, "only a comment's character is refused");
        return 0;
    }
    Document back;
    require(back.loadXml(bytes), "the saved bytes load again");
    require(back.parseError().errorCode == 0, "no parse error");
    const std::string saved = shape(back.documentElement(), true, encoding.unicode);
    const std::string built = shape(doc.documentElement(), false, encoding.unicode);
    if (saved != built) std::fprintf(stderr, "built %s\nsaved %s\n", built.c_str(), saved.c_str());
    require(saved == built, "same names and values");

    // The file written by save() holds the same bytes and loads the same way.
    doc.save(scratchPath());
    Document fromFile;
    require(fromFile.load(scratchPath()), "the saved file loads");
    require(fromFile.xml() == back.xml(), "file and memory agree");
    std::filesystem::remove(scratchPath());
    return 0;
}
