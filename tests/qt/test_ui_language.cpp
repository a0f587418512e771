// The interface's language: chosen from the environment; our message boxes
// in Chinese with no translator at all and in English with ours; English
// windows without a Chinese character in sight.
#include "components/codec/ui_language.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTranslator>

#include "components/base/message_prompter.h"
#include "editor/legend_edit_dlg.h"
#include "legend/map_project.h"
#include "legendfile/layout.h"
#include "legendfile/messages.h"
#include "legendfile/translation.h"
#include "pad/window/legend_pad_dlg.h"
#include "support/cln_builder.h"
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

const QRegularExpression kChinese(QStringLiteral("[\\x{3000}-\\x{303f}\\x{4e00}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));

/// Every text @p window shows in its widgets (not the legends' own data),
/// each with the object it came from, that has a Chinese character.
std::vector<std::string> chineseTexts(const QWidget& window) {
  std::vector<std::string> found;
  const auto check = [&found](const QObject* from, const QString& text) {
    if (text.contains(kChinese)) found.push_back(from->metaObject()->className() + (": " + text.toStdString()));
  };
  QList<QWidget*> widgets = window.findChildren<QWidget*>();
  widgets.prepend(const_cast<QWidget*>(&window));
  for (const QWidget* w : widgets) {
    if (w->isWindow()) check(w, w->windowTitle());
    check(w, w->toolTip());
    if (auto* label = qobject_cast<const QLabel*>(w)) check(w, label->text());
    if (auto* button = qobject_cast<const QAbstractButton*>(w)) check(w, button->text());
    if (auto* group = qobject_cast<const QGroupBox*>(w)) check(w, group->title());
    if (auto* view = qobject_cast<const QAbstractItemView*>(w); view && view->model()) {
      for (int c = 0; c < view->model()->columnCount(); ++c)
        check(w, view->model()->headerData(c, Qt::Horizontal).toString());
    }
    for (const QAction* action : w->actions()) check(action, action->text());
  }
  return found;
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

TEST(EnglishInterface, PadAndEditorShowNoChineseCharacter) {
  const EnglishTexts english;
  const testcln::TempDir dir;
  const std::string file = (dir / "en.CLN").string();
  testcln::write(file, testcln::file({{.name = "p0", .type = 1, .block = testcln::block(testcln::params(1, 1))}}));
  MapProject project;
  QWidget owner;
  auto* pad = new CLegendPadDlg(file, 1, 1, &project, &owner);
  ASSERT_TRUE(pad->create());
  EXPECT_EQ(chineseTexts(*pad), std::vector<std::string>());
  const std::unique_ptr<QMenu> menu = pad->popupMenu(pad->drawingArea()->mapToGlobal(QPoint(23, 26)));
  EXPECT_EQ(chineseTexts(*menu), std::vector<std::string>());
  pad->destroyPad();
  std::array<char, legend::layout::kPathBufferSize> buffer{};
  std::copy(file.begin(), file.end(), buffer.begin());
  testqt::onModal([](QDialog& editor) {
    EXPECT_EQ(chineseTexts(editor), std::vector<std::string>());
    editor.reject();
  });
  CLegendEditDlg editor(buffer.data(), [] {});
  editor.exec();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
