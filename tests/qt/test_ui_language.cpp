// The interface's language: chosen from the environment; our message boxes
// in Chinese with no translator at all and in English with ours.
#include "components/codec/ui_language.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTranslator>

#include "components/base/message_prompter.h"
#include "legendfile/messages.h"
#include "legendfile/translation.h"
#include "support/widget_driving.h"

namespace {

using legend::UiLanguage;

std::string translatedForCore(std::string_view source) { return legend::uiText(source).toStdString(); }

/// The library's English translation, installed for one test and removed
/// again, for the windows and for the core's patterns alike.
class EnglishTexts {
 public:
  EnglishTexts() {
    EXPECT_TRUE(translator_.load(QStringLiteral("legend_en"), QStringLiteral(":/i18n")));
    QCoreApplication::installTranslator(&translator_);
    legend::setTextTranslator(&translatedForCore);
  }
  ~EnglishTexts() {
    legend::setTextTranslator(nullptr);
    QCoreApplication::removeTranslator(&translator_);
  }
  EnglishTexts(const EnglishTexts&) = delete;
  EnglishTexts& operator=(const EnglishTexts&) = delete;

 private:
  QTranslator translator_;
};

struct Box {
  QString title, text, detail;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QStringList buttons;
  QString defaultButton;
};

/// Keeps what the next message box shows, then closes it with its escape button.
void captureBox(Box& seen) {
  testqt::onModal<QMessageBox>([&seen](QMessageBox& box) {
    seen = {box.windowTitle(), box.text(), box.informativeText(), box.icon(), {}, {}};
    for (QAbstractButton* button : box.buttons()) seen.buttons << button->text();
    seen.buttons.sort();
    if (box.defaultButton()) seen.defaultButton = box.defaultButton()->text();
    box.reject();
  });
}

}  // namespace

TEST(UiLanguage, ComesFromTheFirstLocaleVariableSet) {
  const struct {
    const char* name;
    std::array<const char*, 4> env;  // LANGUAGE, LC_ALL, LC_MESSAGES, LANG
    UiLanguage expected;
  } cases[] = {
      {"none", {nullptr, nullptr, nullptr, nullptr}, UiLanguage::Chinese},
      {"lang-english", {nullptr, nullptr, nullptr, "en_US.UTF-8"}, UiLanguage::English},
      {"language-list-first-wins", {"en_GB:zh_CN", nullptr, nullptr, "zh_CN.UTF-8"}, UiLanguage::English},
      {"lc-all-over-lang", {nullptr, "zh_CN.UTF-8", nullptr, "en_US.UTF-8"}, UiLanguage::Chinese},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(legend::uiLanguageFrom(c.env[0], c.env[1], c.env[2], c.env[3]), c.expected);
  }
}

// The test application has no translator: our boxes must not fall back on
// Qt's English labels.
TEST(MessageBoxes, SpeakChineseWithoutAnyTranslatorWithOurTitleIconsAndDefault) {
  QWidget owner;
  legend::MessagePrompter prompter(&owner, QStringLiteral("图例板"));
  Box seen;
  captureBox(seen);
  prompter.informWithDetail(legend::messages::text(legend::LegendStatus::IllegalLegendFile), "/data/a.CLN\n原因");
  EXPECT_EQ(seen.title, QStringLiteral("图例板"));
  EXPECT_EQ(seen.text, QStringLiteral("图例文件非法,无法打开!"));
  EXPECT_EQ(seen.detail, QStringLiteral("/data/a.CLN\n原因"));
  EXPECT_EQ(seen.icon, QMessageBox::Warning);
  EXPECT_EQ(seen.buttons, QStringList{QStringLiteral("确定")});
  captureBox(seen);
  EXPECT_FALSE(prompter.askYesNo(legend::messages::kSavePrompt, true));
  EXPECT_EQ(seen.icon, QMessageBox::Question);
  EXPECT_EQ(seen.buttons, (QStringList{QStringLiteral("否(&N)"), QStringLiteral("是(&Y)")}));
  EXPECT_EQ(seen.defaultButton, QStringLiteral("是(&Y)"));
  // The answer chosen comes back, and the default offered is the one asked for.
  QMessageBox::StandardButton offered = QMessageBox::NoButton;
  testqt::answerBox(QMessageBox::Yes, nullptr, &offered);
  EXPECT_TRUE(prompter.askYesNo("是否继续?", false));
  EXPECT_EQ(offered, QMessageBox::No);
}

TEST(MessageBoxes, SpeakEnglishWithOurTranslationPatternsFilledAfterTranslating) {
  const EnglishTexts english;
  legend::MessagePrompter prompter(nullptr, legend::tr("图例板"));
  Box seen;
  captureBox(seen);
  prompter.inform(legend::messages::text(legend::LegendStatus::IllegalLegendFile));
  EXPECT_EQ(seen.title, QStringLiteral("Legend Pad"));
  EXPECT_EQ(seen.text, QStringLiteral("This is not a valid legend file; it cannot be opened!"));
  EXPECT_EQ(seen.buttons, QStringList{QStringLiteral("OK")});
  EXPECT_EQ(legend::messages::text(legend::LegendStatus::WriteFailed, "/data/a.CLN"),
            "Saving the legend file failed; the original file is unchanged!\n/data/a.CLN");
}
