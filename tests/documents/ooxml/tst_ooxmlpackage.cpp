#include <functional>

#include <QTemporaryDir>
#include <QTest>

#include <zip.h>

#include "documents/ooxml/OoxmlPackage.h"
#include "tests/support/TestFiles.h"

namespace {

struct ZipEntry
{
    QByteArray name;
    QByteArray bytes;
    zip_int32_t method = ZIP_CM_DEFAULT;
};

const QByteArray ContentTypes
    = "<?xml version='1.0'?><Types "
      "xmlns='http://schemas.openxmlformats.org/package/2006/content-types'><Default Extension='rels' "
      "ContentType='application/vnd.openxmlformats-package.relationships+xml'/><Default Extension='xml' "
      "ContentType='application/xml'/></Types>";

QByteArray packageRels(const QByteArray &type, const QByteArray &target)
{
    return "<?xml version='1.0'?><Relationships "
           "xmlns='http://schemas.openxmlformats.org/package/2006/relationships'><Relationship Id='rId1' "
           "Type='"
        + type + "' Target='" + target + "'/></Relationships>";
}

const QByteArray OfficeDocument = OoxmlPackage::OfficeDocumentRelationship;

QList<ZipEntry> validEntries()
{
    return { { "[Content_Types].xml", ContentTypes },
        { "_rels/.rels", packageRels(OfficeDocument, "doc/main.xml") },
        { "doc/main.xml", "<main>text</main>" }, { "doc/media/picture.bin", QByteArray(5000, 'p') } };
}

void writeZip(const QString &path, const QList<ZipEntry> &entries)
{
    int error = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    QVERIFY(archive);
    for (const ZipEntry &entry : entries) {
        zip_source_t *source = zip_source_buffer(archive, entry.bytes.constData(), entry.bytes.size(), 0);
        const zip_int64_t index = zip_file_add(archive, entry.name.constData(), source, 0);
        QVERIFY(index >= 0);
        QCOMPARE(zip_set_file_compression(archive, index, entry.method, 0), 0);
    }
    QCOMPARE(zip_close(archive), 0);
}

// Every entry of a zip file with its compressed bytes as stored.
QMap<QString, QByteArray> rawEntries(const QString &path)
{
    QMap<QString, QByteArray> entries;
    int error = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (!archive)
        return entries;
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, i, 0, &stat);
        QByteArray bytes(stat.comp_size, Qt::Uninitialized);
        zip_file_t *file = zip_fopen_index(archive, i, ZIP_FL_COMPRESSED);
        zip_fread(file, bytes.data(), stat.comp_size);
        zip_fclose(file);
        entries.insert(QString::fromUtf8(stat.name), bytes);
    }
    zip_discard(archive);
    return entries;
}

} // namespace

class TestOoxmlPackage : public QObject
{
    Q_OBJECT

private slots:
    void refusesUnusableFiles_data();
    void refusesUnusableFiles();
    void refusesDocumentTypeDeclarations();
    void buildsANewPackage();
    void keepsUntouchedEntriesAsTheyWere();
    void unifiesNamespacePrefixes_data();
    void unifiesNamespacePrefixes();

private:
    QTemporaryDir m_dir;
};

void TestOoxmlPackage::refusesUnusableFiles_data()
{
    QTest::addColumn<std::function<void(const QString &)>>("make");
    QTest::addColumn<QString>("reason");

    const auto zipWith = [](std::function<void(QList<ZipEntry> &)> change) {
        return std::function<void(const QString &)>([change](const QString &path) {
            QList<ZipEntry> entries = validEntries();
            change(entries);
            writeZip(path, entries);
        });
    };
    const auto bytes = [](const QByteArray &content) {
        return std::function<void(const QString &)>(
            [content](const QString &path) { QVERIFY(writeBytes(path, content)); });
    };

    QTest::newRow("text file") << bytes("just some text\r\n") << "not a zip archive";
    QTest::newRow("empty file") << bytes({}) << "The file is empty, not a Word or Excel document.";
    QTest::newRow("encrypted document") << bytes(QByteArray::fromHex("d0cf11e0a1b11ae1")
        + QByteArray(600, '\0') + QByteArray(reinterpret_cast<const char *>(u"EncryptionInfo"), 28))
                                        << "password-protected";
    QTest::newRow("binary document") << bytes(QByteArray::fromHex("d0cf11e0a1b11ae1") + QByteArray(600, '\0'))
                                     << "older binary Office format";
    QTest::newRow("absolute path") << zipWith([](auto &e) {
        e.append(ZipEntry { "/etc/evil", "x" });
    }) << "absolute path";
    QTest::newRow("parent folder") << zipWith([](auto &e) {
        e.append(ZipEntry { "doc/../../evil", "x" });
    }) << "relative path";
    QTest::newRow("duplicate") << zipWith([](auto &e) {
        e.append(ZipEntry { "DOC/Main.xml", "<other/>" });
    }) << "The file is damaged: two parts named DOC/Main.xml.";
    // bzip2 packs zeros far tighter than deflate ever can.
    QTest::newRow("zip bomb") << zipWith([](auto &e) {
        e.append(ZipEntry { "doc/zeros.bin", QByteArray(2 << 20, '\0'), ZIP_CM_BZIP2 });
    }) << "compressed more than 1100 to 1";
    QTest::newRow("not a package") << zipWith([](auto &e) { e.removeFirst(); }) << "not a Word or Excel";
    QTest::newRow("malformed content types")
        << zipWith([](auto &e) { e[0].bytes = "<Types><Default"; }) << "[Content_Types].xml is damaged";
    QTest::newRow("no main part") << zipWith([](auto &e) {
        e[1].bytes = packageRels("http://example.com/other", "doc/main.xml");
    }) << "no main document part";
    QTest::newRow("dangling main part")
        << zipWith([](auto &e) { e[1].bytes = packageRels(OfficeDocument, "doc/gone.xml"); }) << "missing";
    QTest::newRow("strict") << zipWith([](auto &e) {
        e[1].bytes = packageRels(
            "http://purl.oclc.org/ooxml/officeDocument/relationships/officeDocument", "doc/main.xml");
    }) << "Strict Open XML, which is not supported";
}

void TestOoxmlPackage::refusesUnusableFiles()
{
    QFETCH(std::function<void(const QString &)>, make);
    QFETCH(QString, reason);
    const QString path = m_dir.filePath("hostile.docx");
    make(path);
    QString error;
    QVERIFY(!OoxmlPackage::open(path, &error));
    QVERIFY2(error.contains(reason), qPrintable(error));
}

void TestOoxmlPackage::refusesDocumentTypeDeclarations()
{
    // Before the root, after it (where a parser would only call the part malformed), and in UTF-16.
    const QString utf16 = "<?xml version='1.0' encoding='UTF-16'?><!DOCTYPE m><m/>";
    const QList<QByteArray> parts { "<?xml version='1.0'?><!DOCTYPE main [<!ENTITY a 'aaaaaaaaaa'><!ENTITY b "
                                    "'&a;&a;&a;&a;'>]><main>&b;</main>",
        "<main/><!DOCTYPE main>",
        QByteArray("\xff\xfe")
            + QByteArray(reinterpret_cast<const char *>(utf16.utf16()), utf16.size() * 2) };
    for (const QByteArray &bytes : parts) {
        const QString path = m_dir.filePath("laughs.docx");
        QList<ZipEntry> entries = validEntries();
        entries[2].bytes = bytes;
        writeZip(path, entries);
        QString error;
        std::optional<OoxmlPackage> package = OoxmlPackage::open(path, &error);
        QVERIFY2(package, qPrintable(error));
        pugi::xml_document document;
        QVERIFY(!package->readXmlPart("doc/main.xml", document, &error));
        QVERIFY2(error.contains("DOCTYPEs are refused"), qPrintable(error));
        QVERIFY(!document.first_child());
    }
}

void TestOoxmlPackage::buildsANewPackage()
{
    OoxmlPackage package = OoxmlPackage::create();
    pugi::xml_document main;
    main.append_child("main").text() = "Ünïcode & <markup>";
    package.setXmlPart("doc/main.xml", main, "application/x-main+xml");
    package.setPart("doc/sub/part.xml", "<part/>");
    // A long table of repeated rows deflates by several hundred to one and is still read.
    package.setPart("doc/rows.xml", QByteArray("<row><c>1</c></row>").repeated(200000));
    package.addRelationship({}, QString::fromLatin1(OfficeDocument), "doc/main.xml");
    const QString id = package.addRelationship("doc/main.xml", "urn:sub", "doc/sub/part.xml");
    const QString path = m_dir.filePath("new.docx");
    QString error;
    QVERIFY2(package.save(path, &error), qPrintable(error));

    std::optional<OoxmlPackage> reopened = OoxmlPackage::open(path, &error);
    QVERIFY2(reopened, qPrintable(error));
    QCOMPARE(reopened->mainPart(), "doc/main.xml");
    QCOMPARE(reopened->contentType("DOC/MAIN.XML"), "application/x-main+xml");
    QCOMPARE(reopened->contentType("doc/sub/part.xml"), "application/xml");
    const std::optional<OoxmlPackage::Relationship> sub
        = reopened->findRelationship("doc/main.xml", "urn:sub");
    QVERIFY(sub);
    QCOMPARE(sub->id, id);
    QCOMPARE(sub->target, "doc/sub/part.xml");
    pugi::xml_document read;
    QVERIFY(reopened->readXmlPart("doc/main.xml", read, &error));
    QCOMPARE(QString::fromUtf8(read.child("main").text().get()), "Ünïcode & <markup>");
    QCOMPARE(rawEntries(path).firstKey(), "[Content_Types].xml");
    QCOMPARE(OoxmlPackage::resolveTarget("a/b/c.xml", "../d%20e.xml"), "a/d e.xml");
    QVERIFY(OoxmlPackage::resolveTarget("a.xml", "../../x.xml").isEmpty());
}

void TestOoxmlPackage::keepsUntouchedEntriesAsTheyWere()
{
    const QString source = m_dir.filePath("source.docx");
    writeZip(source, validEntries());
    QString error;
    std::optional<OoxmlPackage> package = OoxmlPackage::open(source, &error);
    QVERIFY2(package, qPrintable(error));
    package->setPart("doc/main.xml", "<main>changed</main>");
    const QString copy = m_dir.filePath("copy.docx");
    QVERIFY2(package->save(copy, &error), qPrintable(error));

    QMap<QString, QByteArray> before = rawEntries(source);
    QMap<QString, QByteArray> after = rawEntries(copy);
    QCOMPARE(after.keys(), before.keys());
    QVERIFY(after.take("doc/main.xml") != before.take("doc/main.xml"));
    QCOMPARE(after, before);
}

void TestOoxmlPackage::unifiesNamespacePrefixes_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<bool>("qualifiedAttributes");
    QTest::addColumn<QByteArray>("unified");
    // M is the namespace looked for; O another one.
    QTest::newRow("declared on each element")
        << QByteArray("<a xmlns='O'><b xmlns:r='M' r:id='1'/></a>") << true
        << QByteArray("<a xmlns='O' xmlns:r='M'><b xmlns:r='M' r:id='1'/></a>");
    QTest::newRow("default namespace, prefixed attributes")
        << QByteArray("<d xmlns='M' xmlns:x='M'><b><p x:val='1'/></b></d>") << true
        << QByteArray("<x:d xmlns='M' xmlns:x='M'><x:b><x:p x:val='1'/></x:b></x:d>");
    QTest::newRow("default namespace only, prefixed attributes needed") << QByteArray(
        "<d xmlns='M'><b/></d>") << true << QByteArray("<p:d xmlns='M' xmlns:p='M'><p:b/></p:d>");
    QTest::newRow("prefix bound elsewhere to another namespace")
        << QByteArray("<a:r xmlns:a='M'><a:x/><b xmlns:a='O'><a:y/></b></a:r>") << false
        << QByteArray("<p:r xmlns:a='M' xmlns:p='M'><p:x/><b xmlns:a='O'><a:y/></b></p:r>");
    QTest::newRow("default namespace kept") << QByteArray("<r xmlns='M' xmlns:q='M'><q:x/></r>") << false
                                            << QByteArray("<r xmlns='M' xmlns:q='M'><x/></r>");
    QTest::newRow("not used") << QByteArray("<r xmlns='O'/>") << false << QByteArray("<r xmlns='O'/>");
}

void TestOoxmlPackage::unifiesNamespacePrefixes()
{
    QFETCH(QByteArray, xml);
    QFETCH(bool, qualifiedAttributes);
    QFETCH(QByteArray, unified);
    pugi::xml_document document;
    QVERIFY(document.load_string(xml.constData()));
    const XmlNamespace ns = XmlNamespace::unify(document, "M", "p", qualifiedAttributes);
    QCOMPARE(ns.isDeclared(), xml.contains("'M'"));
    pugi::xml_document expected;
    QVERIFY(expected.load_string(unified.constData()));
    QCOMPARE(xmlPartBytes(document), xmlPartBytes(expected));
}

QTEST_GUILESS_MAIN(TestOoxmlPackage)
#include "tst_ooxmlpackage.moc"
