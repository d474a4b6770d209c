#pragma once

#include <QLocale>
#include <QStringList>

class QCoreApplication;

// The program's texts in the user's language, and Qt's own (the standard buttons) in the same one.
namespace Translations {

// Where the program's .qm files are looked for: beside an installed program
// (bin/../share/lorimet-adapter/translations) and in a build tree (the executable's folder/../translations).
[[nodiscard]] QStringList defaultFolders();

// Installs into the application the program's translation for the first of the locale's UI languages
// that has one, and Qt's translations for that language. Returns the language loaded ("de", "es", "fr"),
// or an empty string when the texts stay English, the language they are written in.
QString install(QCoreApplication &application, const QLocale &locale = QLocale(),
    const QStringList &folders = defaultFolders());

} // namespace Translations
