#include "components/base/message_prompter.h"

#include <QAbstractButton>
#include <QApplication>

#include "components/codec/ui_language.h"

namespace legend {

void labelButtons(QMessageBox& box) {
  const auto label = [&box](QMessageBox::StandardButton which, const QString& text) {
    if (QAbstractButton* button = box.button(which)) button->setText(text);
  };
  label(QMessageBox::Ok, legend::tr("确定"));
  label(QMessageBox::Cancel, legend::tr("取消"));
  // Alt+Y and Alt+N keep answering a question, as with Qt's own labels.
  label(QMessageBox::Yes, legend::tr("是(&Y)"));
  label(QMessageBox::No, legend::tr("否(&N)"));
}

void MessagePrompter::inform(std::string_view text) { informWithDetail(text, {}); }

void MessagePrompter::informWithDetail(std::string_view text, std::string_view detail) {
  QMessageBox box(QMessageBox::Warning, title_, uiText(text), QMessageBox::Ok, parent_.data());
  box.setObjectName(QStringLiteral("informBox"));
  if (!detail.empty()) box.setInformativeText(QString::fromUtf8(detail.data(), static_cast<qsizetype>(detail.size())));
  labelButtons(box);
  box.exec();
}

bool MessagePrompter::askYesNo(std::string_view text, bool defaultYes) {
  QMessageBox box(QMessageBox::Question, title_, uiText(text), QMessageBox::Yes | QMessageBox::No, parent_.data());
  box.setObjectName(QStringLiteral("questionBox"));
  labelButtons(box);
  box.setDefaultButton(defaultYes ? QMessageBox::Yes : QMessageBox::No);
  // Closing the box without choosing counts as the safe answer, No.
  box.setEscapeButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

void MessagePrompter::beep() { QApplication::beep(); }

}  // namespace legend
