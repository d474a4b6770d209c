#include "common/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace Translations {

namespace {

// A translator that lives as long as the application, which deletes it with itself.
bool installFile(
    QCoreApplication &application, const QLocale &locale, const QString &name, const QString &folder)
{
    auto *translator = new QTranslator(&application);
    if (translator->load(locale, name, QStringLiteral("_"), folder)
        && application.installTranslator(translator))
        return true;
    delete translator;
    return false;
}

} // namespace

QStringList defaultFolders()
{
    const QDir programs(QCoreApplication::applicationDirPath());
    return { programs.absoluteFilePath(QStringLiteral("../share/lorimet-adapter/translations")),
        programs.absoluteFilePath(QStringLiteral("../translations")) };
}

QString install(QCoreApplication &application, const QLocale &locale, const QStringList &folders)
{
    // The user's languages in the order of preference: English, the texts' own, ends the search.
    for (QString language : locale.uiLanguages()) {
        language.replace(u'-', u'_');
        if (language == QLatin1String("C") || language.startsWith(QLatin1String("en")))
            return {};
        for (const QString &folder : folders) {
            auto *translator = new QTranslator(&application);
            // Finds lorimet_de.qm for de_AT as well.
            if (!translator->load(QStringLiteral("lorimet_") + language, folder)) {
                delete translator;
                continue;
            }
            const QString loaded = translator->language();
            application.installTranslator(translator);
            installFile(application, QLocale(loaded), QStringLiteral("qtbase"),
                QLibraryInfo::path(QLibraryInfo::TranslationsPath));
            return loaded;
        }
    }
    return {};
}

} // namespace Translations
