#include "documents/ooxml/OoxmlPackage.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QUrl>

#include <zip.h>

#include "common/SafeFile.h"

const char *const OoxmlPackage::OfficeDocumentRelationship
    = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument";
const char *const OoxmlPackage::StylesRelationship
    = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles";
const char *const OoxmlPackage::SharedStringsRelationship
    = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings";
const char *const OoxmlPackage::WorksheetRelationship
    = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet";
const char *const OoxmlPackage::RelationshipsContentType
    = "application/vnd.openxmlformats-package.relationships+xml";

namespace {

const QString ContentTypesPart = QStringLiteral("[Content_Types].xml");
const char *const ContentTypesNamespace = "http://schemas.openxmlformats.org/package/2006/content-types";
const char *const RelationshipsNamespace = "http://schemas.openxmlformats.org/package/2006/relationships";
const char *const StrictOfficeDocumentRelationship
    = "http://purl.oclc.org/ooxml/officeDocument/relationships/officeDocument";

// A whole package file is read into memory before it is opened; larger files are refused.
constexpr qint64 MaxPackageFileSize = 512 * 1024 * 1024;
constexpr int DeflateLevel = 6;

QString zipErrorText(zip_error_t *error)
{
    return QString::fromLocal8Bit(zip_error_strerror(error));
}

// Part names compare without regard to ASCII letter case.
QString partKey(const QString &partName)
{
    return partName.toLower();
}

QString folderOf(const QString &partName)
{
    const qsizetype slash = partName.lastIndexOf(u'/');
    return slash < 0 ? QString() : partName.left(slash + 1);
}

QString extensionOf(const QString &partName)
{
    const qsizetype dot = partName.lastIndexOf(u'.');
    return dot < 0 || dot < partName.lastIndexOf(u'/') ? QString() : partName.mid(dot + 1).toLower();
}

// The segments of a path with "." and ".." applied; nullopt when ".." would leave the root.
std::optional<QStringList> normalisedSegments(const QString &path)
{
    QStringList segments;
    for (const QString &segment : path.split(u'/', Qt::SkipEmptyParts)) {
        if (segment == QLatin1String("."))
            continue;
        if (segment == QLatin1String("..")) {
            if (segments.isEmpty())
                return std::nullopt;
            segments.removeLast();
            continue;
        }
        segments.append(segment);
    }
    return segments;
}

// Why an archive entry's name must not be used, or an empty text when it is fine.
QString unsafeEntryReason(const QString &name)
{
    if (name.isEmpty())
        return QCoreApplication::translate("OoxmlPackage", "an entry without a name");
    if (name.startsWith(u'/') || name.startsWith(u'\\') || (name.size() > 1 && name.at(1) == u':'))
        return QCoreApplication::translate("OoxmlPackage", "an entry with an absolute path (%1)").arg(name);
    const QStringList segments = QString(name).replace(u'\\', u'/').split(u'/');
    if (segments.contains(QStringLiteral("..")) || segments.contains(QStringLiteral(".")))
        return QCoreApplication::translate("OoxmlPackage", "an entry with a relative path (%1)").arg(name);
    return {};
}

QString relativeTarget(const QString &sourcePart, const QString &targetPart)
{
    const QStringList from = folderOf(sourcePart).split(u'/', Qt::SkipEmptyParts);
    const QStringList to = targetPart.split(u'/', Qt::SkipEmptyParts);
    qsizetype common = 0;
    while (common < from.size() && common < to.size() - 1 && from.at(common) == to.at(common))
        ++common;
    QStringList result;
    for (qsizetype i = common; i < from.size(); ++i)
        result.append(QStringLiteral(".."));
    for (qsizetype i = common; i < to.size(); ++i)
        result.append(to.at(i));
    return result.join(u'/');
}

// Office files that are not zip archives start with the compound file signature; encrypted documents are
// such files with an EncryptionInfo stream.
QString compoundFileReason(const QByteArray &bytes)
{
    static const QByteArray signature = QByteArray::fromHex("d0cf11e0a1b11ae1");
    if (!bytes.startsWith(signature))
        return {};
    const QByteArray encryptionInfo
        = QByteArray::fromRawData(reinterpret_cast<const char *>(u"EncryptionInfo"), 14 * sizeof(char16_t));
    if (bytes.contains(encryptionInfo))
        return QCoreApplication::translate("OoxmlPackage",
            "The file is password-protected (encrypted). Remove the password in the "
            "program that made it and try again.");
    return QCoreApplication::translate("OoxmlPackage",
        "The file is in an older binary Office format, which is not supported. Save it "
        "as a .docx or .xlsx file first.");
}

struct ZipArchiveDeleter
{
    void operator()(zip_t *archive) const { zip_discard(archive); }
};
using ZipArchive = std::unique_ptr<zip_t, ZipArchiveDeleter>;

struct ZipSourceDeleter
{
    void operator()(zip_source_t *source) const { zip_source_free(source); }
};
using ZipSource = std::unique_ptr<zip_source_t, ZipSourceDeleter>;

// Whether the bytes hold a document type declaration anywhere, in UTF-8 or UTF-16 of either byte order.
bool holdsDoctype(const QByteArray &bytes)
{
    static const QByteArray utf8 = QByteArrayLiteral("<!DOCTYPE");
    static const QByteArray utf16Little = QByteArray::fromRawData(
        reinterpret_cast<const char *>(u"<!DOCTYPE"), 9 * static_cast<qsizetype>(sizeof(char16_t)));
    QByteArray utf16Big;
    for (const char c : utf8)
        utf16Big.append('\0').append(c);
    return bytes.contains(utf8) || bytes.contains(utf16Little) || bytes.contains(utf16Big);
}

bool parseXml(const QByteArray &bytes, const QString &partName, pugi::xml_document &document, QString *error)
{
    if (holdsDoctype(bytes)) {
        *error = QCoreApplication::translate("OoxmlPackage",
            "The part %1 holds a document type declaration (DOCTYPE); DOCTYPEs are "
            "refused, as Office documents never contain one.")
                     .arg(partName);
        return false;
    }
    constexpr unsigned int options = pugi::parse_default | pugi::parse_declaration | pugi::parse_comments
        | pugi::parse_pi | pugi::parse_ws_pcdata;
    const pugi::xml_parse_result result = document.load_buffer(
        bytes.constData(), static_cast<size_t>(bytes.size()), options, pugi::encoding_auto);
    if (!result) {
        *error = QCoreApplication::translate("OoxmlPackage", "The part %1 is damaged: %2 at byte %3.")
                     .arg(partName, QString::fromUtf8(result.description()))
                     .arg(result.offset);
        return false;
    }
    return true;
}

struct BufferWriter final : pugi::xml_writer
{
    QByteArray bytes;
    void write(const void *data, size_t size) override
    {
        bytes.append(static_cast<const char *>(data), static_cast<qsizetype>(size));
    }
};

} // namespace

struct OoxmlPackage::Private
{
    struct Entry
    {
        QString name;
        // The entry's index in the opened archive, or -1 for a part added here.
        zip_int64_t sourceIndex = -1;
        bool replaced = false;
        QByteArray bytes;
        qint64 size = 0;
        qint64 compressedSize = 0;
    };

    // The update of the file the package was opened from, locked until the package is saved over it.
    std::unique_ptr<SafeFile::Update> update;
    QString openedPath;
    bool destinationChanged = false;
    QString saveNote;
    QByteArray sourceBytes;
    ZipSource source;
    ZipArchive archive;
    std::vector<Entry> entries;
    QHash<QString, size_t> entryByKey;
    pugi::xml_document contentTypes;

    const Entry *find(const QString &partName) const
    {
        const auto it = entryByKey.constFind(partKey(partName));
        return it == entryByKey.constEnd() ? nullptr : &entries.at(*it);
    }

    void set(const QString &partName, QByteArray bytes)
    {
        const auto it = entryByKey.constFind(partKey(partName));
        if (it != entryByKey.constEnd()) {
            Entry &entry = entries.at(*it);
            entry.replaced = true;
            entry.bytes = std::move(bytes);
            return;
        }
        entryByKey.insert(partKey(partName), entries.size());
        entries.push_back({ partName, -1, true, std::move(bytes), 0, 0 });
    }

    void storeContentTypes() { set(ContentTypesPart, xmlPartBytes(contentTypes)); }
};

OoxmlPackage::OoxmlPackage()
    : d(std::make_unique<Private>())
{
}

OoxmlPackage::~OoxmlPackage() = default;
OoxmlPackage::OoxmlPackage(OoxmlPackage &&) noexcept = default;
OoxmlPackage &OoxmlPackage::operator=(OoxmlPackage &&) noexcept = default;

OoxmlPackage OoxmlPackage::create()
{
    OoxmlPackage package;
    pugi::xml_node types = package.d->contentTypes.append_child("Types");
    types.append_attribute("xmlns") = ContentTypesNamespace;
    pugi::xml_node rels = types.append_child("Default");
    rels.append_attribute("Extension") = "rels";
    rels.append_attribute("ContentType") = RelationshipsContentType;
    pugi::xml_node xml = types.append_child("Default");
    xml.append_attribute("Extension") = "xml";
    xml.append_attribute("ContentType") = "application/xml";
    package.d->storeContentTypes();
    return package;
}

std::optional<OoxmlPackage> OoxmlPackage::open(const QString &path, QString *error)
{
    // Office programs mark a document they have open with a lock file beside it.
    const QFileInfo info(path);
    const QString name = info.fileName();
    for (const QString &lockName : { QStringLiteral(".~lock.%1#").arg(name), QStringLiteral("~$") + name,
             QStringLiteral("~$") + name.mid(2) }) {
        if (name.size() > 2 && QFileInfo::exists(info.dir().filePath(lockName))) {
            *error = QCoreApplication::translate(
                "OoxmlPackage", "The file is open in another program: %1. Close it and save again.")
                         .arg(name);
            return std::nullopt;
        }
    }
    auto update = std::make_unique<SafeFile::Update>();
    QByteArray bytes;
    if (!update->read(path, MaxPackageFileSize, bytes, error))
        return std::nullopt;
    std::optional<OoxmlPackage> package = fromBytes(std::move(bytes), error);
    if (package) {
        package->d->update = std::move(update);
        package->d->openedPath = path;
    }
    return package;
}

std::optional<OoxmlPackage> OoxmlPackage::fromBytes(QByteArray bytes, QString *error)
{
    const auto fail = [error](const QString &reason) -> std::optional<OoxmlPackage> {
        *error = reason;
        return std::nullopt;
    };
    OoxmlPackage package;
    Private &d = *package.d;
    d.sourceBytes = std::move(bytes);
    if (d.sourceBytes.isEmpty())
        return fail(
            QCoreApplication::translate("OoxmlPackage", "The file is empty, not a Word or Excel document."));
    if (const QString reason = compoundFileReason(d.sourceBytes); !reason.isEmpty())
        return fail(reason);

    zip_error_t zipError;
    zip_error_init(&zipError);
    d.source.reset(zip_source_buffer_create(
        d.sourceBytes.constData(), static_cast<zip_uint64_t>(d.sourceBytes.size()), 0, &zipError));
    if (d.source) {
        d.archive.reset(zip_open_from_source(d.source.get(), ZIP_RDONLY | ZIP_CHECKCONS, &zipError));
        if (d.archive)
            zip_source_keep(d.source.get());
    }
    if (!d.archive) {
        const int code = zip_error_code_zip(&zipError);
        const QString reason = code == ZIP_ER_NOZIP || code == ZIP_ER_INCONS
            ? QCoreApplication::translate("OoxmlPackage",
                "The file is not a Word or Excel document: it is not a zip archive, or a "
                "damaged one.")
            : QCoreApplication::translate("OoxmlPackage", "The file cannot be read as a zip archive: %1.")
                  .arg(zipErrorText(&zipError));
        zip_error_fini(&zipError);
        return fail(reason);
    }
    zip_error_fini(&zipError);

    const zip_int64_t count = zip_get_num_entries(d.archive.get(), 0);
    for (zip_int64_t index = 0; index < count; ++index) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(d.archive.get(), static_cast<zip_uint64_t>(index), 0, &stat) != 0)
            return fail(QCoreApplication::translate("OoxmlPackage", "The archive is damaged: %1.")
                            .arg(QString::fromLocal8Bit(zip_strerror(d.archive.get()))));
        const QString name = QString::fromUtf8(stat.name);
        if (const QString reason = unsafeEntryReason(name); !reason.isEmpty())
            return fail(QCoreApplication::translate("OoxmlPackage", "The archive holds %1; it is not read.")
                            .arg(reason));
        if (d.entryByKey.contains(partKey(name)))
            return fail(
                QCoreApplication::translate("OoxmlPackage", "The file is damaged: two parts named %1.")
                    .arg(name));
        if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE)
            return fail(QCoreApplication::translate("OoxmlPackage",
                "The file is password-protected (encrypted). Remove the password in "
                "the program that made it and try again."));
        const auto size = static_cast<qint64>(stat.size);
        const auto compressedSize = static_cast<qint64>(stat.comp_size);
        if (size > MaxPartSize)
            return fail(QCoreApplication::translate(
                "OoxmlPackage", "The part %1 would inflate to more than %2 MiB; it is not read.")
                            .arg(name)
                            .arg(MaxPartSize >> 20));
        if (size > RatioCheckedAbove && size > compressedSize * MaxCompressionRatio)
            return fail(QCoreApplication::translate("OoxmlPackage",
                "The part %1 is compressed more than %2 to 1, as a zip bomb is; it "
                "is not read.")
                            .arg(name)
                            .arg(MaxCompressionRatio));
        d.entryByKey.insert(partKey(name), d.entries.size());
        d.entries.push_back({ name, index, false, {}, size, compressedSize });
    }

    if (!package.hasPart(ContentTypesPart) || !package.hasPart(QStringLiteral("_rels/.rels")))
        return fail(QCoreApplication::translate(
            "OoxmlPackage", "The file is a zip archive but not a Word or Excel document."));
    if (!package.readXmlPart(ContentTypesPart, d.contentTypes, error))
        return std::nullopt;
    if (!XmlNamespace::unify(d.contentTypes, ContentTypesNamespace, "", false).isDeclared())
        return fail(QCoreApplication::translate(
            "OoxmlPackage", "The file is a zip archive but not a Word or Excel document."));

    pugi::xml_document packageRelationships;
    if (!package.readXmlPart(QStringLiteral("_rels/.rels"), packageRelationships, error))
        return std::nullopt;
    const QList<Relationship> relationships = package.relationships({});
    const auto hasType = [&relationships](const char *type) {
        return std::any_of(relationships.cbegin(), relationships.cend(),
            [type](const Relationship &relationship) { return relationship.type == QLatin1String(type); });
    };
    if (!hasType(OfficeDocumentRelationship) && hasType(StrictOfficeDocumentRelationship))
        return fail(QCoreApplication::translate("OoxmlPackage",
            "The file is saved as Strict Open XML, which is not supported. Save it "
            "in the usual Office Open XML format and try again."));
    const QString mainPart = package.mainPart();
    if (mainPart.isEmpty())
        return fail(QCoreApplication::translate("OoxmlPackage", "The file has no main document part."));
    if (!package.hasPart(mainPart))
        return fail(
            QCoreApplication::translate("OoxmlPackage", "The file's main document part %1 is missing.")
                .arg(mainPart));
    return package;
}

bool OoxmlPackage::hasPart(const QString &partName) const
{
    return d->find(partName) != nullptr;
}

std::optional<QByteArray> OoxmlPackage::readPart(const QString &partName, QString *error) const
{
    const Private::Entry *entry = d->find(partName);
    if (!entry) {
        *error = QCoreApplication::translate("OoxmlPackage", "The part %1 is missing.").arg(partName);
        return std::nullopt;
    }
    if (entry->replaced)
        return entry->bytes;

    const auto fail = [&](const QString &reason) -> std::optional<QByteArray> {
        *error = QCoreApplication::translate("OoxmlPackage", "The part %1 cannot be read: %2")
                     .arg(partName, reason);
        return std::nullopt;
    };
    zip_file_t *file = zip_fopen_index(d->archive.get(), static_cast<zip_uint64_t>(entry->sourceIndex), 0);
    if (!file)
        return fail(QString::fromLocal8Bit(zip_strerror(d->archive.get())));
    QByteArray bytes(entry->size, Qt::Uninitialized);
    qint64 total = 0;
    zip_int64_t got = 0;
    // Reading one byte past the declared size reaches the end, where the checksum is verified.
    char probe;
    while (total < entry->size
        && (got = zip_fread(file, bytes.data() + total, static_cast<zip_uint64_t>(entry->size - total))) > 0)
        total += got;
    if (got >= 0 && total == entry->size)
        got = zip_fread(file, &probe, 1);
    const QString reason = QString::fromLocal8Bit(zip_file_strerror(file));
    zip_fclose(file);
    if (got != 0 || total != entry->size)
        return fail(got < 0 ? reason
                            : QCoreApplication::translate(
                                "OoxmlPackage", "its size does not match the archive's directory."));
    return bytes;
}

bool OoxmlPackage::readXmlPart(const QString &partName, pugi::xml_document &document, QString *error) const
{
    const std::optional<QByteArray> bytes = readPart(partName, error);
    return bytes && parseXml(*bytes, partName, document, error);
}

bool OoxmlPackage::parseXmlPart(
    const QByteArray &bytes, const QString &partName, pugi::xml_document &document, QString *error)
{
    return parseXml(bytes, partName, document, error);
}

void OoxmlPackage::setPart(const QString &partName, QByteArray bytes, const QString &contentType)
{
    d->set(partName, std::move(bytes));
    if (contentType.isEmpty() || this->contentType(partName) == contentType)
        return;
    pugi::xml_node types = d->contentTypes.document_element();
    const XmlNamespace ns(types, ContentTypesNamespace);
    const QString overrideName = u'/' + partName;
    pugi::xml_node entry;
    const std::string overrideElement = ns.name("Override");
    for (pugi::xml_node node : types.children(overrideElement.c_str())) {
        if (QString::fromUtf8(node.attribute("PartName").value()).compare(overrideName, Qt::CaseInsensitive)
            == 0)
            entry = node;
    }
    if (!entry) {
        entry = types.append_child(overrideElement.c_str());
        entry.append_attribute("PartName") = overrideName.toUtf8().constData();
        entry.append_attribute("ContentType");
    }
    entry.attribute("ContentType") = contentType.toUtf8().constData();
    d->storeContentTypes();
}

void OoxmlPackage::setXmlPart(
    const QString &partName, const pugi::xml_document &document, const QString &contentType)
{
    setPart(partName, xmlPartBytes(document), contentType);
}

QString OoxmlPackage::contentType(const QString &partName) const
{
    const pugi::xml_node types = d->contentTypes.document_element();
    const QString overrideName = u'/' + partName;
    const QString extension = extensionOf(partName);
    QString byDefault;
    const XmlNamespace ns(types, ContentTypesNamespace);
    const std::string overrideElement = ns.name("Override");
    const std::string defaultElement = ns.name("Default");
    for (const pugi::xml_node &node : types.children()) {
        const std::string_view kind = node.name();
        if (kind == overrideElement
            && QString::fromUtf8(node.attribute("PartName").value())
                    .compare(overrideName, Qt::CaseInsensitive)
                == 0)
            return QString::fromUtf8(node.attribute("ContentType").value());
        if (kind == defaultElement
            && QString::fromUtf8(node.attribute("Extension").value()).toLower() == extension)
            byDefault = QString::fromUtf8(node.attribute("ContentType").value());
    }
    return byDefault;
}

QList<OoxmlPackage::Relationship> OoxmlPackage::relationships(const QString &sourcePart) const
{
    QList<Relationship> relationships;
    const QString relsPart = relationshipsPartName(sourcePart);
    pugi::xml_document document;
    QString unreadable; // a relationships part that cannot be read names nothing
    if (!hasPart(relsPart) || !readXmlPart(relsPart, document, &unreadable))
        return relationships;
    const XmlNamespace ns = XmlNamespace::unify(document, RelationshipsNamespace, "", false);
    const std::string relationshipElement = ns.name("Relationship");
    for (const pugi::xml_node &node : document.document_element().children(relationshipElement.c_str())) {
        Relationship relationship;
        relationship.id = QString::fromUtf8(node.attribute("Id").value());
        relationship.type = QString::fromUtf8(node.attribute("Type").value());
        relationship.external
            = QString::fromUtf8(node.attribute("TargetMode").value()) == QLatin1String("External");
        const QString target = QString::fromUtf8(node.attribute("Target").value());
        relationship.target = relationship.external ? target : resolveTarget(sourcePart, target);
        relationships.append(relationship);
    }
    return relationships;
}

std::optional<OoxmlPackage::Relationship> OoxmlPackage::findRelationship(
    const QString &sourcePart, const QString &type) const
{
    for (const Relationship &relationship : relationships(sourcePart)) {
        if (relationship.type == type && !relationship.external)
            return relationship;
    }
    return std::nullopt;
}

QString OoxmlPackage::addRelationship(
    const QString &sourcePart, const QString &type, const QString &targetPart)
{
    const QString relsPart = relationshipsPartName(sourcePart);
    pugi::xml_document document;
    QString unreadable; // a relationships part that cannot be read is made anew
    if (!hasPart(relsPart) || !readXmlPart(relsPart, document, &unreadable)) {
        document.reset();
        document.append_child("Relationships").append_attribute("xmlns") = RelationshipsNamespace;
    }
    pugi::xml_node root = document.document_element();
    QSet<QString> taken;
    for (const pugi::xml_node &node : root.children())
        taken.insert(QString::fromUtf8(node.attribute("Id").value()));
    int number = static_cast<int>(taken.size()) + 1;
    while (taken.contains(QStringLiteral("rId%1").arg(number)))
        ++number;
    const QString id = QStringLiteral("rId%1").arg(number);

    const XmlNamespace ns = XmlNamespace::unify(document, RelationshipsNamespace, "", false);
    pugi::xml_node node = root.append_child(ns.name("Relationship").c_str());
    node.append_attribute("Id") = id.toUtf8().constData();
    node.append_attribute("Type") = type.toUtf8().constData();
    node.append_attribute("Target") = relativeTarget(sourcePart, targetPart).toUtf8().constData();
    setXmlPart(relsPart, document, QString::fromLatin1(RelationshipsContentType));
    return id;
}

QString OoxmlPackage::mainPart() const
{
    const std::optional<Relationship> main
        = findRelationship({}, QString::fromLatin1(OfficeDocumentRelationship));
    return main ? main->target : QString();
}

bool OoxmlPackage::save(const QString &path, QString *error) const
{
    const auto fail = [error](const QString &reason) {
        *error = reason;
        return false;
    };
    if (!SafeFile::isReplaceable(path, error))
        return false;

    zip_error_t zipError;
    zip_error_init(&zipError);
    ZipSource buffer(zip_source_buffer_create(nullptr, 0, 0, &zipError));
    ZipArchive archive(
        buffer ? zip_open_from_source(buffer.get(), ZIP_CREATE | ZIP_TRUNCATE, &zipError) : nullptr);
    if (!archive) {
        const QString reason = zipErrorText(&zipError);
        zip_error_fini(&zipError);
        return fail(reason);
    }
    zip_error_fini(&zipError);
    zip_source_keep(buffer.get());

    for (const Private::Entry &entry : d->entries) {
        zip_source_t *source = entry.replaced
            ? zip_source_buffer(
                archive.get(), entry.bytes.constData(), static_cast<zip_uint64_t>(entry.bytes.size()), 0)
            // The whole entry from the opened archive: its compressed bytes are copied as they are.
            : zip_source_zip(
                archive.get(), d->archive.get(), static_cast<zip_uint64_t>(entry.sourceIndex), 0, 0, -1);
        if (!source)
            return fail(QString::fromLocal8Bit(zip_strerror(archive.get())));
        const zip_int64_t index
            = zip_file_add(archive.get(), entry.name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            return fail(QString::fromLocal8Bit(zip_strerror(archive.get())));
        }
        const auto added = static_cast<zip_uint64_t>(index);
        if (entry.replaced) {
            if (zip_set_file_compression(archive.get(), added, ZIP_CM_DEFLATE, DeflateLevel) != 0)
                return fail(QString::fromLocal8Bit(zip_strerror(archive.get())));
        } else {
            zip_stat_t stat;
            zip_stat_init(&stat);
            if (zip_stat_index(d->archive.get(), static_cast<zip_uint64_t>(entry.sourceIndex), 0, &stat) == 0
                && (stat.valid & ZIP_STAT_MTIME))
                zip_file_set_mtime(archive.get(), added, stat.mtime, 0);
        }
    }
    if (zip_close(archive.get()) != 0)
        return fail(QString::fromLocal8Bit(zip_strerror(archive.get())));
    archive.release();

    QByteArray bytes;
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_source_stat(buffer.get(), &stat) != 0 || zip_source_open(buffer.get()) != 0)
        return fail(zipErrorText(zip_source_error(buffer.get())));
    bytes.resize(static_cast<qsizetype>(stat.size));
    const zip_int64_t read = zip_source_read(buffer.get(), bytes.data(), stat.size);
    zip_source_close(buffer.get());
    if (read != static_cast<zip_int64_t>(stat.size))
        return fail(zipErrorText(zip_source_error(buffer.get())));
    SafeFile::Update fresh;
    SafeFile::Update &update = d->update && d->openedPath == path ? *d->update : fresh;
    const bool replaced = update.replace(path, bytes, error);
    d->destinationChanged = update.changed();
    d->saveNote = update.note();
    return replaced;
}

bool OoxmlPackage::destinationChanged() const
{
    return d->destinationChanged;
}

QString OoxmlPackage::saveNote() const
{
    return d->saveNote;
}

QString OoxmlPackage::relationshipsPartName(const QString &sourcePart)
{
    if (sourcePart.isEmpty())
        return QStringLiteral("_rels/.rels");
    return folderOf(sourcePart) + QStringLiteral("_rels/") + sourcePart.mid(folderOf(sourcePart).size())
        + QStringLiteral(".rels");
}

QString OoxmlPackage::resolveTarget(const QString &sourcePart, const QString &target)
{
    const QString decoded = QUrl::fromPercentEncoding(target.toUtf8());
    const QString path = decoded.startsWith(u'/') ? decoded : folderOf(sourcePart) + decoded;
    const std::optional<QStringList> segments = normalisedSegments(path);
    return segments ? segments->join(u'/') : QString();
}

QByteArray xmlPartBytes(const pugi::xml_document &document)
{
    BufferWriter writer;
    const pugi::xml_node first = document.first_child();
    if (first.type() != pugi::node_declaration)
        writer.bytes = QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>");
    document.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return writer.bytes;
}
