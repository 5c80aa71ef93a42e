// The XSD outline on any bytes: reading refuses with the file-access error or
// reads; every global element's tree stays within its bounds, and the schema
// built from it loads back with the record element's name.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/error.h"
#include "engine/xsd/schema_from_xsd.h"
#include "fuzz/fuzz_support.h"

namespace {

using trelmo::fuzz::require;

std::size_t count(const trelmo::xsd::OutlineNode& node) {
    std::size_t n = 1;
    for (const auto& child : node.children) n += count(child);
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = trelmo::fuzz::scratchPath();
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    try {
        const trelmo::xsd::XsdOutline outline(path);
        for (const std::string& root : outline.globalElements()) {
            const trelmo::xsd::OutlineTree tree = outline.tree(root);
            require(count(tree.root) <= trelmo::xsd::XsdOutline::kNodeBound, "the node bound holds");
            const trelmo::xsd::OutlineNode* record = trelmo::xsd::defaultRecordElement(tree.root);
            if (!record) continue;
            const trelmo::xml::Document schema = trelmo::xsd::schemaFromOutline(*record, root, path, outline.targetNamespace());
            trelmo::xml::Document back;
            require(back.loadXml(schema.xml()), "the built schema loads");
            require(back.documentElement().attribute("name") == record->name, "the record element is named");
        }
    } catch (const trelmo::RuntimeError& e) {
        require(e.number() == trelmo::err::FileAccess, "only the file-access error");
    }
    std::filesystem::remove(path);
    return 0;
}
