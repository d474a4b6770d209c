#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The printed alarm report of the display lines, saved as a PDF file or sent to a printer the user picks
// in the platform's print dialog. Failures are told in message boxes owned by the save dialogs' owner.
namespace PrintedDocument {

// Writes the PDF completely or not at all, then opens it in the desktop's viewer.
void saveAsPdf(const QStringList &displayLines, const QString &fileName);
void print(QWidget *owner, const QStringList &displayLines);

} // namespace PrintedDocument
