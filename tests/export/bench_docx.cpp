// Measures the Word export of a full display: 32,767 report lines, about 3,300 alarm events with all
// eleven columns, written as a new document; the time that merely deflating the produced parts takes;
// and appending the same report to the document just made. It is not part of the tests.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include "DocxDocument.h"
#include "EventLogParser.h"
#include "OoxmlPackage.h"
#include "ReportTable.h"

namespace {

constexpr int DisplayLines = 32767;

QString line(const QString &text)
{
    return text.leftJustified(24, u' ');
}

// Reports of four alarm events each, one after another, until the display is full.
QStringList displayLines()
{
    QStringList lines;
    for (int report = 0; lines.size() < DisplayLines; ++report) {
        lines << line(QStringLiteral("========================"))
              << line(QStringLiteral("  H2S EVENT LOG REPORT"))
              << line(QStringLiteral("   S/N: %1").arg(4000 + report))
              << QStringLiteral("Date: %1-Dec-2026").arg(1 + report % 28, 2, 10, QChar(u'0'))
              << QStringLiteral("Time: %1:%2 PM").arg(1 + report % 12).arg(report % 60, 2, 10, QChar(u'0'))
              << QStringLiteral("Serial #: %1").arg(4000 + report)
              << QStringLiteral("User: Safety Officer %1").arg(report % 7)
              << line(QStringLiteral("------------------------")) << line(QStringLiteral("Life Remaining:"))
              << line(QStringLiteral("%1 months").arg(24 - report % 24))
              << line(QStringLiteral("Self tests:")) << line(QString::number(report % 300))
              << line(QStringLiteral("Total events/duration:"))
              << line(QStringLiteral("4 / %1 min.").arg(report % 90));
        for (int event = 0; event < 4; ++event) {
            lines << line(QStringLiteral("Peak exposure:"))
                  << line(event == 3 ? QStringLiteral("O.L. ppm H2S")
                                     : QStringLiteral("%1 ppm H2S").arg(10 + event * 7))
                  << line(QStringLiteral("Time since alarm began:"))
                  << line(QStringLiteral("%1 days %2 hrs %3 mins")
                              .arg(event + 1)
                              .arg(report % 24)
                              .arg(report % 60))
                  << line(QStringLiteral("Alarm duration:"))
                  << line(QStringLiteral("%1 mins %2 secs").arg(event).arg(report % 60));
        }
        lines << line(QStringLiteral("========================"));
    }
    return lines.mid(0, DisplayLines);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir folder;
    const QString newPath = folder.filePath(QStringLiteral("new.docx"));
    const QString appendedPath = folder.filePath(QStringLiteral("appended.docx"));

    EventLogParser parser;
    for (const QString &text : displayLines())
        parser.WriteLine(text);
    const ReportTable table(parser);
    out << table.RowCount() << " rows x " << table.Columns().size() << " columns\n";

    QString error;
    QElapsedTimer timer;
    timer.start();
    DocxDocument created(QLocale::MetricSystem);
    if (!created.Create(&error) || !created.WriteTable(table, &error) || !created.Save(newPath, &error)) {
        out << "new document failed: " << error << '\n';
        return 1;
    }
    const qint64 newTime = timer.elapsed();

    std::optional<OoxmlPackage> package = OoxmlPackage::Open(newPath, &error);
    if (!package) {
        out << "reading the new document failed: " << error << '\n';
        return 1;
    }
    QList<QByteArray> parts;
    for (const QString &name : { QStringLiteral("[Content_Types].xml"), QStringLiteral("_rels/.rels"),
             QStringLiteral("word/_rels/document.xml.rels"), QStringLiteral("word/document.xml"),
             QStringLiteral("word/styles.xml"), QStringLiteral("word/settings.xml") })
        parts.append(package->ReadPart(name, &error).value_or(QByteArray()));
    timer.restart();
    qint64 deflated = 0;
    for (const QByteArray &part : parts)
        deflated += qCompress(part).size();
    const qint64 deflateTime = timer.elapsed();

    timer.restart();
    DocxDocument appended(QLocale::MetricSystem);
    if (!appended.Open(newPath, &error) || !appended.WriteTable(table, &error)
        || !appended.Save(appendedPath, &error)) {
        out << "appending failed: " << error << '\n';
        return 1;
    }
    const qint64 appendTime = timer.elapsed();

    out << "new document: " << newTime << " ms (main part " << parts.at(3).size() / 1024 << " KiB, deflated "
        << deflated / 1024 << " KiB)\n"
        << "deflating the parts alone: " << deflateTime << " ms\n"
        << "appending to the new document: " << appendTime << " ms\n";
    return 0;
}
