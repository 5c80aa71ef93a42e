#pragma once
// Collects the first error of a parse (warnings do not count) and keeps
// libxml2 from printing anything while a parse runs.

#include <libxml/xmlerror.h>

#include <string>

#include "engine/xml/dom.h"

namespace trelmo::xml::detail {

class ErrorCollector {
public:
    void record(const xmlError& error);
    // `file`: where the error is, as libxml2 names it; empty for the document.
    void record(long code, std::string reason, long line, long column, std::string file = {});

    bool found() const { return found_; }
    // The first error; srcText is not filled in here.
    const ParseError& first() const { return first_; }
    // The file of the first error as libxml2 names it (empty: the document).
    const std::string& file() const { return file_; }

private:
    bool found_ = false;
    ParseError first_;
    std::string file_;
};

// Routes this thread's libxml2 errors to a collector for its lifetime.
class ErrorCapture {
public:
    explicit ErrorCapture(ErrorCollector& errors);
    ~ErrorCapture();
    ErrorCapture(const ErrorCapture&) = delete;
    ErrorCapture& operator=(const ErrorCapture&) = delete;

private:
    xmlStructuredErrorFunc previousHandler_;
    void* previousContext_;
    xmlGenericErrorFunc previousGeneric_;
    void* previousGenericContext_;
};

}  // namespace trelmo::xml::detail
