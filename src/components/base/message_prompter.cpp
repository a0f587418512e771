#include "components/base/message_prompter.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

#include "components/codec/utf8_text.h"

namespace legend {

void MessagePrompter::inform(std::string_view text) {
  QMessageBox box(QMessageBox::Information, QApplication::applicationName(), fromUtf8(text), QMessageBox::Ok,
                  parent_.data());
  box.setObjectName(QStringLiteral("informBox"));
  box.exec();
}

bool MessagePrompter::askYesNo(std::string_view text, bool defaultYes) {
  QMessageBox box(QMessageBox::Question, QApplication::applicationName(), fromUtf8(text),
                  QMessageBox::Yes | QMessageBox::No, parent_.data());
  box.setObjectName(QStringLiteral("questionBox"));
  box.setDefaultButton(defaultYes ? QMessageBox::Yes : QMessageBox::No);
  // Closing the box without choosing counts as the safe answer, No.
  box.setEscapeButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

void MessagePrompter::beep() { QApplication::beep(); }

}  // namespace legend
