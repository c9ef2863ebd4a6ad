#include "shell/Language.h"

#include <QCoreApplication>
#include <QFile>
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
    if (language != QLatin1String("English")) {
        return true;
    }
    for (const char* catalog : {":/i18n/vantomo_en.qm", ":/i18n/vantomo_panes_en.qm"}) {
        if (!QFile::exists(QString::fromLatin1(catalog))) {
            continue;
        }
        auto translator = std::make_unique<QTranslator>();
        if (translator->load(QString::fromLatin1(catalog)) && QCoreApplication::installTranslator(translator.get())) {
            m_installed.push_back(std::move(translator));
        }
    }
    return !m_installed.empty();
}

} // namespace vantomo
