#pragma once

#include <memory>
#include <optional>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "common/SafeFile.h"
#include "documents/printed/PrintedReport.h"
#include "documents/table/TableFile.h"
#include "report/EventLogParser.h"

// One export of report lines, the same for the program and the tool: the text report, the event table as
// CSV, Word or Excel, or the printed report as PDF; a new file, or for text, Word and Excel an append to
// the one there. It is fed the lines one at a time and writes its destination completely or not at all.
// The calls come in this order: begin and add per line (in either order), then complete and save (or bytes,
// for text and CSV written elsewhere than to a file). Each answers false with the reason for the user in
// error.
class ReportExport
{
public:
    enum class Format
    {
        Text,
        Csv,
        Word,
        Excel,
        Pdf
    };

    // The printed report's pages grow with its events, so their number is bounded.
    static constexpr int MaxPrintedEvents = 20'000;

    struct Outcome
    {
        qsizetype lines = 0; // report lines exported
        int events = 0; // rows of the event table
        qsizetype replaced = 0; // characters the text file could not hold, written as "?"
        QStringList notes; // what the user should hear of besides: a repair, the columns an append added
    };

    // raw: the Word or Excel document receives the lines themselves instead of their event table.
    explicit ReportExport(Format format, bool append = false, bool raw = false);
    ~ReportExport();

    [[nodiscard]] Format format() const { return m_format; }
    [[nodiscard]] bool isTable() const { return m_format == Format::Word || m_format == Format::Excel; }
    void setPrintOptions(const PrintedReport::Options &options) { m_printOptions = options; }
    // Names the lines in the message of a report too large to export ("report.txt").
    void setSourceName(const QString &name) { m_sourceName = name; }

    // Text: opens the file appendTo, repairing an append that did not finish. Word and Excel: a new
    // document, or for an append the one at appendTo, read and checked. CSV and PDF: nothing yet.
    [[nodiscard]] bool begin(const QString &appendTo, QString *error);
    // Refuses a line that takes the event table beyond what the document can hold.
    [[nodiscard]] bool add(const QString &line, QString *error);
    // Lays the lines out in the document.
    [[nodiscard]] bool complete(QString *error);
    // Writes the destination. An append that another program changed meanwhile is made again on the
    // changed file, five attempts in all.
    [[nodiscard]] bool save(const QString &destination, QString *error);
    // Text and CSV: the bytes of the file instead of the file.
    [[nodiscard]] std::optional<QByteArray> bytes(QString *error) const;

    [[nodiscard]] const Outcome &outcome() const { return m_outcome; }

private:
    [[nodiscard]] std::unique_ptr<TableFile> makeTableFile() const;
    [[nodiscard]] bool writeTable(TableFile &file, QString *error) const;
    [[nodiscard]] std::optional<QByteArray> pdf(QString *error) const;

    Format m_format;
    bool m_append;
    bool m_raw;
    QString m_sourceName;
    PrintedReport::Options m_printOptions;
    EventLogParser m_parser;
    QStringList m_lines; // kept for raw tables only
    QByteArray m_text;
    SafeFile::AppendFile m_textFile;
    std::unique_ptr<TableFile> m_tableFile;
    Outcome m_outcome;
};
