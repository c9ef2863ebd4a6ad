#include "shell/Language.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QStringList>
#include <QTranslator>

namespace vantomo {

QString ChooseLanguage(const QString& setting, QLocale::Language systemLanguage)
{
    if (setting == QLatin1String("English") || setting == QLatin1String("Japanese")) {
        return setting;
    }
    return systemLanguage == QLocale::Japanese ? QStringLiteral("Japanese") : QStringLiteral("English");
}

QString ToggledLanguage(const QString& languageInForce)
{
    return languageInForce == QLatin1String("English") ? QStringLiteral("Japanese") : QStringLiteral("English");
}

Translations::Translations() = default;

Translations::~Translations()
{
    for (auto& translator : m_installed) {
        QCoreApplication::removeTranslator(translator.get());
    }
}

bool Translations::Apply(const QString& language)
{
    for (auto& translator : m_installed) {
        QCoreApplication::removeTranslator(translator.get());
    }
    m_installed.clear();
    m_english = language == QLatin1String("English");
    QStringList catalogs;
    if (m_english) {
        catalogs << QStringLiteral(":/i18n/vantomo_en.qm") << QStringLiteral(":/i18n/vantomo_panes_en.qm");
    } else {
        catalogs << QtJapaneseCatalog();
    }
    for (const QString& catalog : catalogs) {
        if (catalog.isEmpty() || !QFile::exists(catalog)) {
            continue;
        }
        auto translator = std::make_unique<QTranslator>();
        if (translator->load(catalog) && QCoreApplication::installTranslator(translator.get())) {
            m_installed.push_back(std::move(translator));
        }
    }
    return !m_installed.empty();
}

QString QtJapaneseCatalog()
{
    const QString file =
        QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_ja.qm");
    return QFile::exists(file) ? file : QString();
}

} // namespace vantomo
