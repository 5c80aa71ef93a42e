#include "engine/xml/library.h"

#include <libxml/parser.h>

#include <mutex>

#include "engine/xml/encoding.h"
#include "engine/xml/entity_loader.h"

namespace trelmo::xml::detail {

void initLibrary() {
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        registerParserEncodingAliases();
        installEntityLoader();
    });
}

}  // namespace trelmo::xml::detail
