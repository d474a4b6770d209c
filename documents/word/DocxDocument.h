#pragma once

#include <memory>

#include <QLocale>
#include <QString>
#include <QStringList>

#include <pugixml.hpp>

#include "documents/ooxml/OoxmlPackage.h"
#include "documents/table/TableFile.h"

// A Word document (.docx) written without Word. A new document holds the event table on landscape pages:
// A4, or Letter where the locale uses US customary units. An opened document gets the rows appended to its
// first table, placed by the header of each column; everything outside that table is kept as it was,
// and every part other than the main document is saved with its original bytes.
class DocxDocument final : public TableFile
{
public:
    explicit DocxDocument(QLocale::MeasurementSystem measurement = QLocale::system().measurementSystem());
    ~DocxDocument() override;

    [[nodiscard]] bool create(QString *error) override;
    [[nodiscard]] bool open(const QString &path, QString *error) override;
    // A document without any table is refused here, before anything has changed.
    [[nodiscard]] bool writeTable(const ReportTable &table, QString *error) override;
    // One paragraph per line in Courier New 10 pt at the end of the document.
    [[nodiscard]] bool writeRawLines(const QStringList &lines, QString *error) override;
    [[nodiscard]] bool save(const QString &path, QString *error) override;
    [[nodiscard]] bool destinationChanged() const override;
    [[nodiscard]] QString writeNote() const override;
    [[nodiscard]] QString saveNote() const override;

private:
    QLocale::MeasurementSystem m_measurement;
    OoxmlPackage m_package;
    QString m_mainPart;
    pugi::xml_document m_document;
    // The prefix of the WordprocessingML namespace in the main part, with its colon ("w:").
    std::string m_prefix;
    bool m_opened = false;
    // What writeTable did that the user should hear of.
    QStringList m_notes;
    struct PendingRows;
    std::unique_ptr<PendingRows> m_pendingRows;
    // The rows of a long first table between its first and last one, kept as the bytes they were read in.
    struct KeptRows;
    std::unique_ptr<KeptRows> m_keptRows;

    // The table of a new document, with its header row.
    [[nodiscard]] bool writeNewTable(const ReportTable &report);
    // The rows appended below the report table of an opened document, and the columns it lacks.
    [[nodiscard]] bool appendToTable(const ReportTable &report, QString *error);
    // Reads the main part's bytes as its nodes; the part as it is saved again.
    [[nodiscard]] bool loadMainPart(const QByteArray &bytes, QString *error);
    // Gives up the kept rows: the whole part is read as nodes.
    [[nodiscard]] bool loadWholePart(QString *error);
};
