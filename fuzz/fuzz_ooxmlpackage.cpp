#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "documents/ooxml/OoxmlPackage.h"

// A package file from untrusted bytes: opened and checked, every part the main part's relationships name
// read, the main part parsed and stored again. Refusing the bytes with a reason is fine; crashing, reading
// past the size limit or accepting a document type declaration is not.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QString error;
    std::optional<OoxmlPackage> package = OoxmlPackage::fromBytes(
        QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)), &error);
    if (!package) {
        if (error.isEmpty())
            std::abort();
        return 0;
    }
    const QString main = package->mainPart();
    for (const OoxmlPackage::Relationship &relationship : package->relationships(main)) {
        if (relationship.external || !package->hasPart(relationship.target))
            continue;
        const std::optional<QByteArray> bytes = package->readPart(relationship.target, &error);
        if (bytes && bytes->size() > OoxmlPackage::MaxPartSize)
            std::abort();
    }
    pugi::xml_document document;
    if (package->readXmlPart(main, document, &error)) {
        for (const pugi::xml_node &node : document.children())
            if (node.type() == pugi::node_doctype)
                std::abort();
        package->setXmlPart(main, document);
    }
    return 0;
}
