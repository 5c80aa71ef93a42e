#pragma once
// What building a document's nodes and saving it would refuse, found before
// the content exists. A writer that makes content from data checks each name
// once and each value as it is made, and so fails the same way whether it
// builds nodes and saves them or streams the same content into a file.

#include <climits>
#include <cstddef>
#include <memory>
#include <string_view>

#include "engine/xml/dom.h"

namespace trelmo::xml {

class ContentCheck {
public:
    enum class Leaf { Text, CData, Comment };

    // `doc` holds the top level as it is to be saved, its document element
    // not yet added: throws what save() throws for it, short of the file.
    explicit ContentCheck(const Document& doc);
    ~ContentCheck();
    ContentCheck(const ContentCheck&) = delete;
    ContentCheck& operator=(const ContentCheck&) = delete;

    // Names as createElement and setAttribute take them and save() writes them.
    void elementName(std::string_view name);
    void attributeName(std::string_view name);
    // Throws the error of placing a child (an attribute when `attribute`) below a leaf.
    [[noreturn]] void childOf(Leaf parent, bool attribute);

    // Values as the nodes are made and saved. A comment holds only what the
    // encoding holds, so in an encoding short of Unicode every one is written.
    void value(Leaf kind, std::string_view data) {
        if (!isPlain(data) || (kind == Leaf::Comment && !unicode_)) checkValue(kind, data);
    }
    void attributeValue(std::string_view name, std::string_view data) {
        if (!isPlain(data)) checkAttributeValue(name, data);
    }

private:
    // Holds only characters that any value may hold (tested quickly).
    static bool isPlain(std::string_view data) {
        if (data.size() > static_cast<std::size_t>(INT_MAX)) return false;
        return plainBytes(data.data(), data.size());
    }
    static bool plainBytes(const char* data, std::size_t size);
    void checkValue(Leaf kind, std::string_view data);
    void checkAttributeValue(std::string_view name, std::string_view data);

    struct Impl;
    std::unique_ptr<Impl> impl_;
    bool unicode_;  // the encoding holds every character
};

}  // namespace trelmo::xml
