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

// Installs the catalogs of a language and removes the other's: for English
// the program's and its panes' (":/i18n/vantomo_en.qm",
// ":/i18n/vantomo_panes_en.qm" when present); for Japanese Qt's own
// ("qtbase_ja" from Qt's translations folder, Debian's qt6-translations-l10n),
// so file dialogs, message-box buttons and the colour dialog speak Japanese
// too. Every widget then receives a LanguageChange event.
class Translations {
public:
    Translations();
    ~Translations();
    // False when no catalog of the language could be loaded (Japanese then
    // still shows the program's own texts, with Qt's in English).
    bool Apply(const QString& language);
    bool EnglishInstalled() const { return m_english && !m_installed.empty(); }

private:
    std::vector<std::unique_ptr<QTranslator>> m_installed;
    bool m_english = false;
};

// Qt's own Japanese catalog, where the system keeps it ("" when absent).
QString QtJapaneseCatalog();

} // namespace vantomo
