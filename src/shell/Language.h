// The interface language: the Japanese texts are the program's own; English
// comes from translation catalogs embedded in the program, so it cannot go
// missing.
#pragma once

#include <memory>
#include <vector>

#include <QLocale>
#include <QString>

class QTranslator;

namespace vantomo {


// The language a "Language" setting gives: "English" and "Japanese" as
// written; anything else (absent included) Japanese on a Japanese system
// locale, otherwise English.
QString ChooseLanguage(const QString& setting, QLocale::Language systemLanguage);

// The setting the language command writes: the other language.
QString ToggledLanguage(const QString& languageInForce);

// Installs or removes the English catalogs of the program and of its panes
// (":/i18n/vantomo_en.qm", ":/i18n/vantomo_panes_en.qm" when present); every
// widget then receives a LanguageChange event.
class Translations {
public:
    Translations();
    ~Translations();
    // False when English was asked for but no catalog could be loaded.
    bool Apply(const QString& language);
    bool EnglishInstalled() const { return !m_installed.empty(); }

private:
    std::vector<std::unique_ptr<QTranslator>> m_installed;
};

} // namespace vantomo
