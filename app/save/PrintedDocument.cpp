#include "app/save/PrintedDocument.h"

#include <algorithm>

#include <QCoreApplication>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

#include "app/save/APICommonDialog.h"
#include "app/save/DocumentViewer.h"
#include "documents/export/ReportExport.h"
#include "documents/printed/PrintedReport.h"
#include "report/AlarmReport.h"

namespace {

QString title()
{
    return QCoreApplication::translate("PrintedDocument", "Printed Report");
}

PrintedReport::Options options()
{
    PrintedReport::Options result;
    result.program = QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion();
    result.madeAt = QDateTime::currentDateTime();
    return result;
}

} // namespace

void PrintedDocument::saveAsPdf(const QStringList &displayLines, const QString &fileName)
{
    ReportExport exporter(ReportExport::Format::Pdf);
    exporter.setPrintOptions(options());
    QString error;
    const bool saved = std::all_of(displayLines.cbegin(), displayLines.cend(),
                           [&](const QString &line) { return exporter.add(line, &error); })
        && exporter.complete(&error) && exporter.save(fileName, &error);
    if (!saved) {
        QMessageBox::critical(APICommonDialog::owner(), title(),
            QCoreApplication::translate("PrintedDocument", "The report could not be saved to %1.\r\n\r\n%2")
                .arg(fileName, error));
        return;
    }
    DocumentViewer::show(fileName, title());
}

void PrintedDocument::print(QWidget *owner, const QStringList &displayLines)
{
    QPrinter printer(QPrinter::HighResolution);
    const PrintedReport::Options printOptions = options();
    PrintedReport::setPageLayout(printer, printOptions.measurement);
    printer.setDocName(QStringLiteral("Alarm Report"));
    printer.setCreator(printOptions.program);
    QPrintDialog dialog(&printer, owner);
    dialog.setObjectName(QStringLiteral("dlgPrint"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    QString error;
    if (!PrintedReport::paint(AlarmReport(displayLines), printer, printOptions, &error))
        QMessageBox::critical(owner, title(),
            QCoreApplication::translate("PrintedDocument", "The report could not be printed.\r\n\r\n%1")
                .arg(error));
}
