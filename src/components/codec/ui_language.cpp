#include "components/codec/ui_language.h"

#include <cstdlib>
#include <string>

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

#include "legendfile/translation.h"

namespace legend {

namespace {

std::string_view firstSet(std::initializer_list<const char*> values) {
  for (const char* value : values) {
    if (value && *value) return value;
  }
  return {};
}

std::string coreTranslation(std::string_view source) { return uiText(source).toStdString(); }

// The application our translators went into; a later application (a test's
// second one, say) gets its own.
QPointer<QCoreApplication> translatedApplication;

void installFile(const QString& file, const QString& directory) {
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (translator->load(file, directory)) {
    QCoreApplication::installTranslator(translator);
  } else {
    delete translator;
  }
}

}  // namespace

UiLanguage uiLanguageFrom(const char* language, const char* lcAll, const char* lcMessages, const char* lang) {
  std::string_view chosen = firstSet({language});
  chosen = chosen.substr(0, chosen.find(':'));
  if (chosen.empty()) chosen = firstSet({lcAll, lcMessages, lang});
  return chosen.starts_with("en") ? UiLanguage::English : UiLanguage::Chinese;
}

UiLanguage uiLanguage() {
  return uiLanguageFrom(std::getenv("LANGUAGE"), std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                        std::getenv("LANG"));
}

void installTranslations(ApplicationOwner owner) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app || translatedApplication == app) return;
  translatedApplication = app;
  if (uiLanguage() == UiLanguage::English) {
    installFile(QStringLiteral("legend_en"), QStringLiteral(":/i18n"));
  } else if (owner == ApplicationOwner::Library) {
    installFile(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
  }
  setTextTranslator(&coreTranslation);
}

QString tr(const char* source) { return QCoreApplication::translate(kTextContext, source); }

QString uiText(std::string_view source) {
  const std::string terminated(source);
  return QCoreApplication::translate(kTextContext, terminated.c_str());
}

}  // namespace legend
