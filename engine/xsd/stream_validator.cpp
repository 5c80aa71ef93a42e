#include "engine/xsd/stream_validator.h"

#include <libxml/globals.h>
#include <libxml/parser.h>
#include <libxml/xmlschemas.h>

#include <climits>
#include <cstring>
#include <exception>
#include <new>

#include "engine/xml/library.h"

namespace trelmo::xsd {
namespace {

// An open element of the output, as the path of a fault needs it.
struct Frame {
    const xmlChar* prefix = nullptr;
    const xmlChar* name = nullptr;  // interned by the parser's dictionary
    std::size_t index = 0;          // among the parent's elements of the same name, from 1
    std::size_t ordinal = 0;        // among the parent's elements, from 1
    std::size_t shape = RecordShape::kNone;
    std::size_t elements = 0;  // element children so far
    std::vector<std::pair<const xmlChar*, std::size_t>> names;  // children so far, by name
};

bool isValueFault(int code) {
    return (code >= XML_SCHEMAV_CVC_DATATYPE_VALID_1_2_1 && code <= XML_SCHEMAV_CVC_DATATYPE_VALID_1_2_3) ||
           (code >= XML_SCHEMAV_CVC_FACET_VALID && code <= XML_SCHEMAV_CVC_ENUMERATION_VALID) ||
           (code >= XML_SCHEMAV_CVC_ELT_5_2_2_1 && code <= XML_SCHEMAV_CVC_ELT_5_2_2_2_2) ||
           code == XML_SCHEMAV_CVC_ATTRIBUTE_3 || code == XML_SCHEMAV_CVC_AU;
}

// libxml2 names the attribute of a fault as "Element 'e', attribute 'a': ...".
std::string attributeOf(const char* message) {
    static constexpr char kMark[] = ", attribute '";
    const char* at = message ? std::strstr(message, kMark) : nullptr;
    if (!at) return {};
    at += sizeof kMark - 1;
    const char* end = std::strchr(at, '\'');
    return end ? std::string(at, end) : std::string();
}

std::string trimmed(const char* message) {
    std::string text = message ? message : "";
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    return text;
}

// The parser's own errors (the schema plug-in's handler does not pass them
// on) come to `handler` while a piece is parsed on this thread.
class ParseErrorRoute {
public:
    ParseErrorRoute(void* context, xmlStructuredErrorFunc handler)
        : previous_(xmlStructuredError), previousContext_(xmlStructuredErrorContext) {
        xmlSetStructuredErrorFunc(context, handler);
    }
    ~ParseErrorRoute() { xmlSetStructuredErrorFunc(previousContext_, previous_); }
    ParseErrorRoute(const ParseErrorRoute&) = delete;
    ParseErrorRoute& operator=(const ParseErrorRoute&) = delete;

private:
    xmlStructuredErrorFunc previous_;
    void* previousContext_;
};

}  // namespace

struct StreamValidator::Impl {
    explicit Impl(StreamValidator& owner) : owner(owner) {}
    ~Impl() {
        if (plug) xmlSchemaSAXUnplug(plug);
        if (parser) {
            if (parser->myDoc) xmlFreeDoc(parser->myDoc);
            xmlFreeParserCtxt(parser);
        }
        if (validation) xmlSchemaFreeValidCtxt(validation);
    }

    // An element ended stays the current one until the next event, so that
    // the validator's faults at its end (which come after this handler's) name it.
    void settle() {
        if (ended) --depth;
        ended = false;
    }

    void start(const xmlChar* prefix, const xmlChar* name) {
        settle();
        if (frames.size() <= depth) frames.resize(depth + 1);
        Frame& frame = frames[depth];
        frame.prefix = prefix;
        frame.name = name;
        frame.elements = 0;
        frame.names.clear();
        frame.index = 1;
        frame.ordinal = 1;
        frame.shape = RecordShape::kNone;
        if (depth > 0) {
            Frame& parent = frames[depth - 1];
            frame.ordinal = ++parent.elements;
            bool seen = false;
            for (auto& [sibling, count] : parent.names) {
                if (sibling == name) {
                    frame.index = ++count;
                    seen = true;
                    break;
                }
            }
            if (!seen) parent.names.emplace_back(name, 1);
            if (depth == 1) {
                frame.shape = 0;
            } else if (parent.shape != RecordShape::kNone) {
                frame.shape = owner.shape_.child(parent.shape, frame.ordinal - 1);
            }
        }
        ++depth;
    }

    void end() {
        settle();
        ended = true;
    }

    std::string path() const {
        std::string text;
        for (std::size_t k = 0; k < depth; ++k) {
            const Frame& frame = frames[k];
            text += '/';
            if (frame.prefix) {
                text += reinterpret_cast<const char*>(frame.prefix);
                text += ':';
            }
            text += reinterpret_cast<const char*>(frame.name);
            // Records are many; other elements get an index when they are not their name's first.
            if (k == 1 || frame.index > 1) text += "[" + std::to_string(frame.index) + "]";
        }
        return text;
    }

    // No exception may cross libxml2: the first one stops the parse and is
    // thrown again once libxml2 has returned.
    template <typename Step>
    static void guarded(void* self, Step step) {
        Impl& impl = *static_cast<Impl*>(self);
        if (impl.failure) return;
        try {
            step(impl);
        } catch (...) {
            impl.failure = std::current_exception();
            xmlStopParser(impl.parser);
        }
    }
    void rethrow() const {
        if (failure) std::rethrow_exception(failure);
    }

    static void onStart(void* self, const xmlChar* name, const xmlChar* prefix, const xmlChar*, int,
                        const xmlChar**, int, int, const xmlChar**) {
        guarded(self, [&](Impl& impl) { impl.start(prefix, name); });
    }
    static void onEnd(void* self, const xmlChar*, const xmlChar*, const xmlChar*) {
        static_cast<Impl*>(self)->end();
    }
    static void onText(void* self, const xmlChar*, int) { static_cast<Impl*>(self)->settle(); }
    static void onParseError(void* self, xmlError* error) {
        if (!error || error->level < XML_ERR_ERROR) return;
        guarded(self, [&](Impl& impl) { impl.owner.report(error->code, error->message, true); });
    }
    static void onValidityError(void* self, xmlError* error) {
        if (!error || error->level < XML_ERR_ERROR) return;
        guarded(self, [&](Impl& impl) { impl.owner.report(error->code, error->message, false); });
    }

    StreamValidator& owner;
    xmlParserCtxt* parser = nullptr;
    xmlSchemaValidCtxt* validation = nullptr;
    xmlSchemaSAXPlugStruct* plug = nullptr;
    std::vector<Frame> frames;
    std::size_t depth = 0;
    bool ended = false;
    bool finished = false;
    std::exception_ptr failure;
};

StreamValidator::StreamValidator(const Schema& schema, const RecordShape& shape, std::size_t listed)
    : impl_(std::make_unique<Impl>(*this)), shape_(shape), listed_(listed) {
    xml::detail::initLibrary();
    Impl& s = *impl_;
    xmlSAXHandler handler{};
    handler.initialized = XML_SAX2_MAGIC;
    handler.startElementNs = Impl::onStart;
    handler.endElementNs = Impl::onEnd;
    handler.characters = Impl::onText;
    handler.cdataBlock = Impl::onText;
    s.validation = xmlSchemaNewValidCtxt(schema.get());
    if (!s.validation) throw std::bad_alloc();
    xmlSchemaSetValidStructuredErrors(s.validation, Impl::onValidityError, &s);
    s.parser = xmlCreatePushParserCtxt(&handler, &s, nullptr, 0, "output");
    if (!s.parser) throw std::bad_alloc();
    // The output may hold values past libxml2's default bounds; it loads nothing.
    xmlCtxtUseOptions(s.parser, XML_PARSE_HUGE | XML_PARSE_NONET);
    s.plug = xmlSchemaSAXPlug(s.validation, &s.parser->sax, &s.parser->userData);
    if (!s.plug) throw std::bad_alloc();
}

StreamValidator::~StreamValidator() = default;

void StreamValidator::write(const char* data, std::size_t size) {
    Impl& s = *impl_;
    const ParseErrorRoute route(&s, Impl::onParseError);
    while (size > 0) {
        const int piece = static_cast<int>(std::min<std::size_t>(size, INT_MAX / 2));
        xmlParseChunk(s.parser, data, piece, 0);
        s.rethrow();
        data += piece;
        size -= static_cast<std::size_t>(piece);
    }
}

void StreamValidator::finish() {
    Impl& s = *impl_;
    if (s.finished) return;
    s.finished = true;
    const ParseErrorRoute route(&s, Impl::onParseError);
    xmlParseChunk(s.parser, nullptr, 0, 1);
    s.rethrow();
    s.settle();
    // A verdict of invalid that came with no fault of its own still refuses the output.
    if (total_ == 0 && (!s.parser->wellFormed || xmlSchemaIsValid(s.validation) != 1)) {
        report(XML_SCHEMAV_INTERNAL, "The document is not valid.", !s.parser->wellFormed);
    }
}

void StreamValidator::report(int code, const char* message, bool parseError) {
    Impl& s = *impl_;
    Fault fault;
    fault.code = code;
    fault.reason = trimmed(message);
    fault.path = s.path();
    if (!parseError && s.depth >= 2) fault.record = s.frames[1].ordinal;
    fault.attribute = attributeOf(message);
    const std::size_t shape = s.depth >= 2 ? s.frames[s.depth - 1].shape : RecordShape::kNone;
    if (!parseError && isValueFault(code) && shape != RecordShape::kNone) {
        fault.field = fault.attribute.empty() ? shape_.textField(shape) : shape_.attributeField(shape, fault.attribute);
    }
    // A value that breaks a facet is told again as not of its type: one fault.
    const bool retold = total_ > 0 && code >= XML_SCHEMAV_CVC_DATATYPE_VALID_1_2_1 &&
                        code <= XML_SCHEMAV_CVC_DATATYPE_VALID_1_2_3 && isValueFault(last_.code) &&
                        last_.record == fault.record && last_.path == fault.path &&
                        last_.attribute == fault.attribute;
    if (retold) return;
    ++total_;
    if (faults_.size() < listed_) faults_.push_back(fault);
    last_ = std::move(fault);
}

}  // namespace trelmo::xsd
