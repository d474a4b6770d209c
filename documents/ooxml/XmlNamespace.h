#pragma once

#include <string>
#include <string_view>

#include <pugixml.hpp>

// Element and attribute names of one namespace, with the prefix the document declares for it on its root
// element ("w:tbl" for a usual Word document, "tbl" where the namespace is the default one).
class XmlNamespace
{
public:
    XmlNamespace(const pugi::xml_node &root, const char *uri);

    // Gives every element and attribute of the namespace one prefix, declared on the root element, so that
    // names can be looked up and made with that prefix alone. Names are resolved as an XML reader resolves
    // them: a declaration on the element itself or on any ancestor, the default namespace for unprefixed
    // element names, any prefix at all. The root's own prefix is kept unless it is bound elsewhere to
    // another namespace; otherwise a prefix the document binds to this namespace alone, or else
    // preferredPrefix or a numbered variant of it, is declared on the root.
    // With qualifiedAttributes the namespace always gets a prefix, as an unprefixed attribute is in no
    // namespace. A document that does not use the namespace is left unchanged.
    [[nodiscard]] static XmlNamespace unify(
        pugi::xml_document &document, const char *uri, const char *preferredPrefix, bool qualifiedAttributes);

    [[nodiscard]] bool isDeclared() const { return m_declared; }
    // The prefix with its colon, or empty for the default namespace.
    [[nodiscard]] const std::string &prefix() const { return m_prefix; }
    [[nodiscard]] std::string name(const char *localName) const { return m_prefix + localName; }
    // The local name of an element of this namespace, or an empty text for any other node.
    [[nodiscard]] std::string_view local(const pugi::xml_node &node) const;

private:
    XmlNamespace() = default;

    std::string m_prefix;
    bool m_declared = false;
};

// The part of a qualified name after its prefix.
[[nodiscard]] std::string_view localName(std::string_view qualifiedName);

// The local name of a qualified name under the prefix (with its colon; empty for the default namespace),
// or an empty text for a name under any other prefix.
[[nodiscard]] std::string_view localNameUnder(std::string_view qualifiedName, std::string_view prefix);
