#pragma once
// Loads a schema file into a document for a conversion or the editor.

#include <string>

#include "engine/messages.h"
#include "engine/xml/dom.h"

namespace trelmo {

class ParseXML {
public:
    explicit ParseXML(MessageSink& messages) : messages_(messages) {}

    // Loads the file into XMLDoc. On a parse error it shows the parser's
    // reason, line and source text; the caller then reads XMLDoc's parse error.
    void Parse(xml::Document& XMLDoc, const std::string& strPathToSchema,
               xml::SourceFile source = xml::SourceFile::Any);

private:
    MessageSink& messages_;
};

// True when the document counts as loaded.
inline bool isLoaded(const xml::Document& doc) {
    return doc.parseError().errorCode == 0 && doc.readyState() == 4;
}

}  // namespace trelmo
