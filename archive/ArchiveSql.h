#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include "archive/ArchiveEngine.h"
#include "archive/ReportArchive.h"

// What the parts of the archive share: its statements and its transactions.
namespace ArchiveSql {

// SQLite stores a null QString as NULL; the archive's texts are never NULL.
inline QVariant text(const QString &value)
{
    return value.isNull() ? QVariant(QStringLiteral("")) : QVariant(value);
}

inline QSqlQuery prepared(const QSqlDatabase &database, const QString &sql)
{
    QSqlQuery query(database);
    query.setForwardOnly(true);
    query.prepare(sql);
    return query;
}

} // namespace ArchiveSql

template<typename Change> bool ReportArchive::inTransaction(Change change, QString *error)
{
    const auto trip = roundTrip();
    QSqlQuery query(m_database);
    for (const QString &statement : m_engine->beginWrite()) {
        if (!query.exec(statement)) {
            *error = fault(QStringLiteral("cannot be written"), query);
            QSqlQuery(m_database).exec(QStringLiteral("ROLLBACK"));
            return false;
        }
    }
    query.finish();
    if (change() && query.exec(QStringLiteral("COMMIT")))
        return true;
    if (error->isEmpty())
        *error = fault(QStringLiteral("cannot be written"), query);
    QSqlQuery(m_database).exec(QStringLiteral("ROLLBACK"));
    return false;
}
