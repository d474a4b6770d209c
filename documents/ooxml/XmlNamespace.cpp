#include "documents/ooxml/XmlNamespace.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace {

constexpr std::string_view XmlUri = "http://www.w3.org/XML/1998/namespace";

std::string_view prefixOf(std::string_view name)
{
    const std::size_t colon = name.find(':');
    return colon == std::string_view::npos ? std::string_view() : name.substr(0, colon);
}

// The prefix an attribute declares, or nullopt for an attribute that declares none ("" is the default).
std::optional<std::string_view> declaredPrefix(const pugi::xml_attribute &attribute)
{
    const std::string_view name = attribute.name();
    if (name == "xmlns")
        return std::string_view();
    if (name.starts_with("xmlns:"))
        return name.substr(6);
    return std::nullopt;
}

// The namespace declarations in scope while the elements of a document are visited in document order.
class Scope
{
public:
    void enter(const pugi::xml_node &element)
    {
        m_marks.push_back(m_bindings.size());
        for (const pugi::xml_attribute &attribute : element.attributes())
            if (const std::optional<std::string_view> prefix = declaredPrefix(attribute))
                m_bindings.emplace_back(*prefix, attribute.value());
    }

    void leave()
    {
        m_bindings.resize(m_marks.back());
        m_marks.pop_back();
    }

    // The namespace a prefix stands for here; nullopt where it is not declared. An unprefixed element
    // name is in the default namespace, or in none ("").
    [[nodiscard]] std::optional<std::string_view> resolve(std::string_view prefix) const
    {
        if (prefix == "xml")
            return XmlUri;
        for (auto it = m_bindings.rbegin(); it != m_bindings.rend(); ++it)
            if (it->first == prefix)
                return it->second;
        if (prefix.empty())
            return std::string_view();
        return std::nullopt;
    }

private:
    std::vector<std::pair<std::string_view, std::string_view>> m_bindings;
    std::vector<std::size_t> m_marks;
};

pugi::xml_node firstElement(pugi::xml_node node)
{
    while (node && node.type() != pugi::node_element)
        node = node.next_sibling();
    return node;
}

// Visits every element from top down, in document order, with the declarations in scope at each; without
// recursion, so that deep nesting in a hostile file cannot exhaust the stack.
template<typename Visit> void forEachElement(pugi::xml_node top, Visit visit)
{
    Scope scope;
    pugi::xml_node node = top;
    while (node) {
        scope.enter(node);
        visit(node, scope);
        if (const pugi::xml_node child = firstElement(node.first_child())) {
            node = child;
            continue;
        }
        for (;;) {
            scope.leave();
            if (node == top)
                return;
            if (const pugi::xml_node sibling = firstElement(node.next_sibling())) {
                node = sibling;
                break;
            }
            node = node.parent();
        }
    }
}

} // namespace

XmlNamespace::XmlNamespace(const pugi::xml_node &root, const char *uri)
{
    for (const pugi::xml_attribute &attribute : root.attributes()) {
        const std::optional<std::string_view> prefix = declaredPrefix(attribute);
        if (!prefix || std::strcmp(attribute.value(), uri) != 0)
            continue;
        m_prefix = prefix->empty() ? std::string() : std::string(*prefix) + ':';
        m_declared = true;
        return;
    }
}

XmlNamespace XmlNamespace::unify(
    pugi::xml_document &document, const char *uri, const char *preferredPrefix, bool qualifiedAttributes)
{
    pugi::xml_node root = document.document_element();
    const std::string_view target = uri;

    // Every namespace each prefix is bound to anywhere, and whether the namespace is used at all.
    std::map<std::string, std::set<std::string, std::less<>>, std::less<>> bindings;
    bool used = false;
    bool unprefixedWithoutNamespace = false;
    forEachElement(root, [&](const pugi::xml_node &element, const Scope &scope) {
        for (const pugi::xml_attribute &attribute : element.attributes()) {
            if (const std::optional<std::string_view> prefix = declaredPrefix(attribute))
                bindings[std::string(*prefix)].insert(attribute.value());
            else if (!prefixOf(attribute.name()).empty()
                && scope.resolve(prefixOf(attribute.name())) == target)
                used = true;
        }
        const std::optional<std::string_view> elementNamespace = scope.resolve(prefixOf(element.name()));
        used = used || elementNamespace == target;
        unprefixedWithoutNamespace = unprefixedWithoutNamespace || elementNamespace == std::string_view();
    });
    if (!used)
        return XmlNamespace(root, uri);

    // A prefix can stand for the namespace everywhere when no declaration binds it to another.
    const auto usable = [&](const std::string &prefix) {
        if (prefix.empty() && (qualifiedAttributes || unprefixedWithoutNamespace))
            return false;
        const auto it = bindings.find(prefix);
        return it == bindings.end() || (it->second.size() == 1 && *it->second.begin() == target);
    };
    std::string chosen;
    const XmlNamespace rootDeclared(root, uri);
    const std::string rootPrefix = rootDeclared.m_prefix.empty()
        ? std::string()
        : rootDeclared.m_prefix.substr(0, rootDeclared.m_prefix.size() - 1);
    const auto boundElsewhere = std::find_if(bindings.begin(), bindings.end(),
        [&](const auto &binding) { return binding.second.contains(target) && usable(binding.first); });
    if (rootDeclared.isDeclared() && usable(rootPrefix)) {
        chosen = rootPrefix;
    } else if (boundElsewhere != bindings.end()) {
        chosen = boundElsewhere->first;
    } else {
        chosen = preferredPrefix;
        for (int number = 1; !usable(chosen); ++number)
            chosen = std::string(*preferredPrefix ? preferredPrefix : "ns") + std::to_string(number);
    }
    const std::string declaration = chosen.empty() ? std::string("xmlns") : "xmlns:" + chosen;
    if (!root.attribute(declaration.c_str()))
        root.append_attribute(declaration.c_str()) = uri;
    const std::string prefix = chosen.empty() ? std::string() : chosen + ':';

    forEachElement(root, [&](pugi::xml_node element, const Scope &scope) {
        const std::string_view name = element.name();
        if (prefixOf(name) != chosen && scope.resolve(prefixOf(name)) == target)
            element.set_name((prefix + std::string(localName(name))).c_str());
        for (pugi::xml_attribute attribute : element.attributes()) {
            const std::string_view attributeName = attribute.name();
            const std::string_view attributePrefix = prefixOf(attributeName);
            if (!attributePrefix.empty() && attributePrefix != chosen && !declaredPrefix(attribute)
                && scope.resolve(attributePrefix) == target)
                attribute.set_name((prefix + std::string(localName(attributeName))).c_str());
        }
    });
    XmlNamespace result;
    result.m_prefix = prefix;
    result.m_declared = true;
    return result;
}

std::string_view XmlNamespace::local(const pugi::xml_node &node) const
{
    return node.type() == pugi::node_element ? localNameUnder(node.name(), m_prefix) : std::string_view();
}

std::string_view localNameUnder(std::string_view qualifiedName, std::string_view prefix)
{
    if (!qualifiedName.starts_with(prefix))
        return {};
    const std::string_view local = qualifiedName.substr(prefix.size());
    return local.find(':') == std::string_view::npos ? local : std::string_view();
}

std::string_view localName(std::string_view qualifiedName)
{
    const std::size_t colon = qualifiedName.find(':');
    return colon == std::string_view::npos ? qualifiedName : qualifiedName.substr(colon + 1);
}
