// Measures the Word export of a full display: 32,767 report lines, about 3,300 alarm events with all
// eleven columns, written as a new document; the time that merely deflating the produced parts takes;
// and appending the same report to the document just made. It is not part of the tests.

#include <algorithm>
#include <vector>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include "bench/FullDisplay.h"
#include "documents/ooxml/OoxmlPackage.h"
#include "documents/word/DocxDocument.h"
#include "report/EventLogParser.h"
#include "report/ReportTable.h"

namespace {

constexpr int Runs = 5;

// The median of the runs' times in milliseconds; a run that fails ends the benchmark.
template<typename Run> qint64 medianTime(Run run)
{
    std::vector<qint64> times;
    for (int i = 0; i < Runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!run())
            return -1;
        times.push_back(timer.elapsed());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
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
    for (const QString &text : FullDisplayLines())
        parser.WriteLine(text);
    const ReportTable table(parser);
    out << table.rowCount() << " rows x " << table.columns().size() << " columns, medians of " << Runs
        << " runs\n";

    QString error;
    const qint64 newTime = medianTime([&] {
        DocxDocument document(QLocale::MetricSystem);
        return document.create(&error) && document.writeTable(table, &error)
            && document.save(newPath, &error);
    });
    std::optional<OoxmlPackage> package = newTime < 0 ? std::nullopt : OoxmlPackage::open(newPath, &error);
    if (!package) {
        out << "the new document failed: " << error << '\n';
        return 1;
    }
    QList<QByteArray> parts;
    for (const QString &name : { QStringLiteral("[Content_Types].xml"), QStringLiteral("_rels/.rels"),
             QStringLiteral("word/_rels/document.xml.rels"), QStringLiteral("word/document.xml"),
             QStringLiteral("word/styles.xml"), QStringLiteral("word/settings.xml") })
        parts.append(package->readPart(name, &error).value_or(QByteArray()));
    // An opened package keeps its file locked for an update; the appends below open it again.
    package.reset();
    qint64 deflated = 0;
    const qint64 deflateTime = medianTime([&] {
        deflated = 0;
        for (const QByteArray &part : parts)
            deflated += qCompress(part).size();
        return true;
    });
    const qint64 appendTime = medianTime([&] {
        DocxDocument document(QLocale::MetricSystem);
        return document.open(newPath, &error) && document.writeTable(table, &error)
            && document.save(appendedPath, &error);
    });
    if (appendTime < 0) {
        out << "appending failed: " << error << '\n';
        return 1;
    }

    out << "new document: " << newTime << " ms (main part " << parts.at(3).size() / 1024 << " KiB, deflated "
        << deflated / 1024 << " KiB)\n"
        << "deflating the parts alone: " << deflateTime << " ms\n"
        << "appending to the new document: " << appendTime << " ms\n";
    return 0;
}
