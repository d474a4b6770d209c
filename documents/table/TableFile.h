#pragma once

#include <functional>
#include <memory>

#include <QString>
#include <QStringList>

class ReportTable;

// A Word or Excel document that the event table is written into, without any window: a new one, or an
// existing one that the table is appended to. The calls come in this order: Create or Open, then
// writeTable (parse mode) or writeRawLines (raw mode), then Save. Each answers False with the reason for
// the user in error; nothing is written to disk before Save, and Save replaces its file completely or
// leaves it as it was.
class TableFile
{
public:
    virtual ~TableFile() = default;

    // A new, empty document.
    [[nodiscard]] virtual bool create(QString *error) = 0;
    // The document at path, read and checked; a file that is not such a document, or is damaged or
    // hostile, is refused.
    [[nodiscard]] virtual bool open(const QString &path, QString *error) = 0;
    // Lays out the event table: a new table with its header row, or the rows appended below an existing
    // one, placed by the header of each column.
    [[nodiscard]] virtual bool writeTable(const ReportTable &table, QString *error) = 0;
    // The display lines unparsed, in a fixed-pitch font.
    [[nodiscard]] virtual bool writeRawLines(const QStringList &lines, QString *error) = 0;
    [[nodiscard]] virtual bool save(const QString &path, QString *error) = 0;
    // Whether Save failed because another program changed the opened file meanwhile: the way on is a new
    // document, opened again and written again.
    [[nodiscard]] virtual bool destinationChanged() const = 0;
    // What writeTable did that the user should hear of (the columns an append added, a hidden sheet it
    // went to); empty when there is nothing to tell.
    [[nodiscard]] virtual QString writeNote() const = 0;
    // What Save could not keep of the replaced file (its owner or group), to tell the user.
    [[nodiscard]] virtual QString saveNote() const = 0;

    // The notes of writeTable and Save that are not empty, to tell the user after a successful save.
    [[nodiscard]] QStringList notes() const;
    // The note of an append that added the report columns the destination lacked.
    [[nodiscard]] static QString addedColumnsNote(const QStringList &headers);
};

// Saves the written file to path. An append that fails because another program changed the file meanwhile
// starts again on the changed file: a new document from make, opened, written by write and saved, five
// attempts in all. file is the one saved last.
[[nodiscard]] bool saveTableFile(std::unique_ptr<TableFile> &file, const QString &path, bool append,
    const std::function<std::unique_ptr<TableFile>()> &make,
    const std::function<bool(TableFile &, QString *)> &write, QString *error);
