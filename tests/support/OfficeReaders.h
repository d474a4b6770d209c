#pragma once

#include <QJsonDocument>
#include <QString>
#include <QStringList>

// The independent readers that check the Word and Excel files the writers produce: Python scripts on
// python-docx or openpyxl, and the Open XML SDK's validator.
namespace OfficeReaders {

// Runs a script of tests/support with the arguments and parses what it prints as JSON; a failure to run it
// fails the test with the script's error output.
[[nodiscard]] QJsonDocument runScript(const QString &script, const QStringList &arguments);

// The validator's complaints about each file, one text per error; empty when every file is valid.
[[nodiscard]] QStringList validationErrors(const QStringList &paths);

// What the validator finds in after and not in before, in one run of the validator.
[[nodiscard]] QStringList newFindings(const QString &before, const QString &after);

} // namespace OfficeReaders
