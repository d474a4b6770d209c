#include "common/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace Translations {

namespace {

// Installs a translator that load fills; it lives as long as the application, which deletes it with
// itself. Nothing when load finds no file.
template<typename Load> QTranslator *installed(QCoreApplication &application, Load load)
{
    auto *translator = new QTranslator(&application);
    if (load(*translator) && application.installTranslator(translator))
        return translator;
    delete translator;
    return nullptr;
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
            // Finds lorimet_de.qm for de_AT as well.
            const QTranslator *program = installed(application, [&](QTranslator &translator) {
                return translator.load(QStringLiteral("lorimet_") + language, folder);
            });
            if (!program)
                continue;
            const QLocale loaded(program->language());
            installed(application, [&loaded](QTranslator &translator) {
                return translator.load(loaded, QStringLiteral("qtbase"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath));
            });
            return program->language();
        }
    }
    return {};
}

} // namespace Translations
