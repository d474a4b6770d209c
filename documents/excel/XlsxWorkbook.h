#pragma once

#include <memory>

#include "documents/table/TableFile.h"

// An Excel workbook (.xlsx) holding the event table on its first worksheet: row 1 the headers, one row
// per alarm event below, formatted and printed one page wide, with the header row on every page. An
// existing workbook receives the new rows below its last used row, each value under the header that
// names its column (whatever its letter case and spaces); a report column the sheet lacks is added right
// of everything used, a blank sheet takes a new table, and a sheet whose row 1 names no report column
// is refused. Cells of columns without a header keep their formats. Every part other than that worksheet, the
// shared strings, the styles and the workbook's request to recalculate on opening stays as it was.
class XlsxWorkbook final : public TableFile
{
public:
    // A worksheet's rows.
    static constexpr int MaxRows = 1048576;

    XlsxWorkbook();
    ~XlsxWorkbook() override;

    [[nodiscard]] bool create(QString *error) override;
    [[nodiscard]] bool open(const QString &path, QString *error) override;
    [[nodiscard]] bool writeTable(const ReportTable &table, QString *error) override;
    [[nodiscard]] bool writeRawLines(const QStringList &lines, QString *error) override;
    [[nodiscard]] bool save(const QString &path, QString *error) override;
    [[nodiscard]] bool destinationChanged() const override;
    [[nodiscard]] QString writeNote() const override;
    [[nodiscard]] QString saveNote() const override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
