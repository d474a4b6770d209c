#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include <QByteArray>
#include <QList>
#include <QString>

#include <pugixml.hpp>

#include "documents/ooxml/XmlNamespace.h"

// An Office Open XML package (.docx, .xlsx): a zip archive of parts, tied together by relationship parts
// and [Content_Types].xml. A package is either built from nothing or opened from a file; parts can then
// be read, parsed, replaced and added, and the whole package saved to a file atomically.
//
// Part names are written without the leading slash, as they appear in the archive ("xl/workbook.xml").
// An opened package is read with suspicion: entries that would leave the archive, duplicates, parts that
// inflate beyond the limits, encryption, Strict Open XML and XML with a document type declaration are
// refused with a reason for the user. On saving, every part that was not replaced is copied with its
// compressed bytes as they were.
class OoxmlPackage
{
public:
    // Relationship types and content types the writers need.
    static const char *const OfficeDocumentRelationship;
    static const char *const StylesRelationship;
    static const char *const SharedStringsRelationship;
    static const char *const WorksheetRelationship;
    static const char *const RelationshipsContentType;

    // The largest part the package will inflate, and the largest inflate ratio of a part above 1 MiB. The
    // ratio stays above what deflate can reach (about 1030 to 1): a long Word table of repeated rows
    // deflates by more than 100 to 1, and the size limit already bounds what a deflated part can cost.
    static constexpr qint64 MaxPartSize = 256 * 1024 * 1024;
    static constexpr qint64 RatioCheckedAbove = 1024 * 1024;
    static constexpr qint64 MaxCompressionRatio = 1100;

    struct Relationship
    {
        QString id;
        QString type;
        // The target as a part name, resolved against the source part; for external targets the raw
        // target text.
        QString target;
        bool external = false;
    };

    OoxmlPackage();
    ~OoxmlPackage();
    OoxmlPackage(OoxmlPackage &&) noexcept;
    OoxmlPackage &operator=(OoxmlPackage &&) noexcept;

    // An empty package, to be filled with the writer's own parts.
    [[nodiscard]] static OoxmlPackage create();
    // Opens and checks an existing package; nullopt with the reason when the file is not a usable package
    // or is open in an office program (its lock file lies beside it).
    [[nodiscard]] static std::optional<OoxmlPackage> open(const QString &path, QString *error);
    // The same for the bytes of a package file.
    [[nodiscard]] static std::optional<OoxmlPackage> fromBytes(QByteArray bytes, QString *error);

    [[nodiscard]] bool hasPart(const QString &partName) const;
    // The part's bytes, inflated within the limits; nullopt with the reason otherwise.
    [[nodiscard]] std::optional<QByteArray> readPart(const QString &partName, QString *error) const;
    // Reads and parses an XML part. Whitespace text is kept, nothing is expanded, and a part with a
    // document type declaration is refused.
    [[nodiscard]] bool readXmlPart(
        const QString &partName, pugi::xml_document &document, QString *error) const;
    // The same for bytes already read from the part.
    [[nodiscard]] static bool parseXmlPart(
        const QByteArray &bytes, const QString &partName, pugi::xml_document &document, QString *error);

    // Replaces or adds a part. A content type given here becomes an override for the part when the
    // extension's default does not already say it; an empty one leaves the content types as they are.
    void setPart(const QString &partName, QByteArray bytes, const QString &contentType = {});
    void setXmlPart(
        const QString &partName, const pugi::xml_document &document, const QString &contentType = {});
    // The content type of a part, from its override or its extension's default.
    [[nodiscard]] QString contentType(const QString &partName) const;

    // The relationships of a source part; the package's own are those of the empty source name.
    [[nodiscard]] QList<Relationship> relationships(const QString &sourcePart) const;
    // The first relationship of that type, or nullopt.
    [[nodiscard]] std::optional<Relationship> findRelationship(
        const QString &sourcePart, const QString &type) const;
    // Adds a relationship from the source part to the target part and returns its new id.
    QString addRelationship(const QString &sourcePart, const QString &type, const QString &targetPart);
    // The target of the package's officeDocument relationship: the main part.
    [[nodiscard]] QString mainPart() const;

    // Writes the whole package to path through SafeFile: path is replaced only when everything was
    // written; otherwise it is left as it was and error holds the reason. A package opened from path
    // keeps that file locked against other updates from Open until Save, and is saved over it only when
    // no other program changed it meanwhile.
    [[nodiscard]] bool save(const QString &path, QString *error) const;
    // Whether the last Save failed because another program changed the file since Open read it; the
    // work is then to be done again on the changed file.
    [[nodiscard]] bool destinationChanged() const;
    // What the last Save could not keep of the replaced file (its owner or group), to tell the user.
    [[nodiscard]] QString saveNote() const;

    // The relationship part that belongs to a source part ("xl/_rels/workbook.xml.rels").
    [[nodiscard]] static QString relationshipsPartName(const QString &sourcePart);
    // Resolves a relationship target against the folder of its source part, as part name.
    [[nodiscard]] static QString resolveTarget(const QString &sourcePart, const QString &target);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// Serialises a document as a part: UTF-8, no indentation added, the declaration as the document has it
// or a standalone one when it has none.
[[nodiscard]] QByteArray xmlPartBytes(const pugi::xml_document &document);
