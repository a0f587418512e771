#pragma once
// The interface's language. Every text a person sees is Simplified Chinese
// in the source and goes through Qt's translation system in one context; an
// English translation is compiled into the library. Files, JSON and the host
// interface never change with the language.

#include <string_view>

#include <QString>

namespace legend {

enum class UiLanguage {
  Chinese,  ///< the source texts, unchanged
  English,
};

/// The language the environment asks for: the first entry of LANGUAGE's
/// list, else LC_ALL, LC_MESSAGES, LANG, whichever is set first. English
/// when it starts with "en", Chinese otherwise (and when none is set).
UiLanguage uiLanguageFrom(const char* language, const char* lcAll, const char* lcMessages, const char* lang);
/// uiLanguageFrom over this process's environment.
UiLanguage uiLanguage();

/// Who made the application the translators go into.
enum class ApplicationOwner {
  Library,  ///< the library or one of its programs: Qt's own texts follow our language too
  Host,     ///< a host: its translators stay; ours is added beside them
};

/// Installs the translators of uiLanguage() into the running application,
/// once per application: under English the library's own, under Chinese
/// (only when @p owner is Library) Qt's zh_CN texts for file dialogs and
/// context menus. Also lets the core translate its patterns. Never removes
/// a translator someone else installed.
void installTranslations(ApplicationOwner owner);

/// A text of the library, @p source being its Chinese UTF-8 text, in the
/// interface's language; lupdate extracts `legend::tr("...")` calls.
QString tr(const char* source);
/// The same for a text the core handed over (a message, a title). A text the
/// core already filled in or translated comes back as it is.
QString uiText(std::string_view source);

}  // namespace legend
