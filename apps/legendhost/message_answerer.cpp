#include "message_answerer.h"

#include <cstdio>

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QTimer>

MessageAnswerer::MessageAnswerer() { QApplication::instance()->installEventFilter(this); }

MessageAnswerer::~MessageAnswerer() { QApplication::instance()->removeEventFilter(this); }

bool MessageAnswerer::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Show) {
    if (auto* box = qobject_cast<QMessageBox*>(watched)) {
      // Answered from the box's own modal loop, once it is laid out, so
      // the picture shows what a user would have seen.
      QTimer::singleShot(0, this, [this, guarded = QPointer<QMessageBox>(box)] { answer(guarded); });
    }
  }
  return false;
}

void MessageAnswerer::answer(const QPointer<QMessageBox>& box) {
  if (!box || !box->isVisible()) return;
  QString text = box->text();
  text.replace(QLatin1Char('\n'), QLatin1Char(' '));
  std::printf("MESSAGE %s\n", text.toUtf8().constData());
  std::fflush(stdout);
  pictures_.push_back(box->grab());
  // Closing picks the box's escape button: No for a question, OK for a
  // message. A box without one ignores the close, and is rejected instead.
  box->close();
  if (box && box->isVisible()) box->reject();
}
