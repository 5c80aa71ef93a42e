#pragma once
// The files of one XSD as the outline reads them: the named file and every
// file its xs:include, xs:redefine and xs:import name, local regular files
// only, each read whole up to a bound and parsed without the network; and the
// global components of all of them, found by namespace and name.

#include <libxml/tree.h>

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "engine/xml/doc_state.h"

namespace trelmo::xsd::detail {

inline constexpr const char* kXsdNamespace = "http://www.w3.org/2001/XMLSchema";

struct QName {
    std::string ns;
    std::string local;
    auto operator<=>(const QName&) const = default;
};

enum class Component { Element, ComplexType, SimpleType, Group, AttributeGroup, Attribute };

// Whether the node is an element of the XSD namespace with that local name.
bool isXs(const xmlNode* node, std::string_view local);
// The element children of the node in the XSD namespace, in order.
std::vector<const xmlNode*> xsChildren(const xmlNode* node);
// An attribute without namespace; empty when absent.
std::string prop(const xmlNode* node, const char* name);
bool hasProp(const xmlNode* node, const char* name);

class XsdFiles {
public:
    // Reads the XSD and everything it includes and imports. Raises the
    // file-access error naming the file that cannot be read or is no XSD.
    explicit XsdFiles(const std::string& path);

    const std::string& targetNamespace() const { return files_.front().targetNamespace; }
    // The global elements of the target namespace, the named file's first.
    std::vector<const xmlNode*> globalElements() const;
    const xmlNode* find(Component kind, const QName& name) const;
    // The qualified name a value such as "tns:Address" stands for where it is written.
    QName resolve(const xmlNode* where, std::string_view value) const;
    // The target namespace of the file the node is in (an included file
    // without one takes the including file's).
    const std::string& namespaceOf(const xmlNode* node) const;
    // Whether a local declaration of that kind is qualified by default.
    bool qualifiedByDefault(const xmlNode* node, bool element) const;
    // The names of the elements that may stand for a global element.
    const std::vector<std::string>* substitutesFor(const QName& head) const;
    // What reading left out (files on the network, redefinitions).
    const std::vector<std::string>& notes() const { return notes_; }

private:
    struct File {
        xml::detail::XmlDocPtr doc;
        std::string path;
        std::string targetNamespace;
        bool chameleon = false;  // an included file without a target namespace of its own
        bool qualifiedElements = false;
        bool qualifiedAttributes = false;
    };
    void read(const std::string& path, const std::string& namedBy, const std::string* includerNamespace);
    void index(std::size_t file);
    const File& fileOf(const xmlNode* node) const;

    std::vector<File> files_;
    std::map<const xmlDoc*, std::size_t> fileOfDoc_;
    std::set<std::pair<std::string, std::string>> readAlready_;  // path and namespace
    std::map<std::pair<Component, QName>, const xmlNode*> components_;
    std::map<QName, std::vector<std::string>> substitutes_;
    std::vector<std::string> notes_;
};

}  // namespace trelmo::xsd::detail
