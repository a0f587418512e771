#pragma once
// Answers message boxes for runs that nobody watches. A scripted run
// (--screenshot) must end on its own, yet the pad reports an unreadable file,
// and asks about unsaved edits when it closes, in modal message boxes. Each
// box is printed, pictured and then closed as a user closing it without
// choosing would: a question gets its safe answer, No.

#include <vector>

#include <QObject>
#include <QPixmap>
#include <QPointer>

class QMessageBox;

class MessageAnswerer : public QObject {
 public:
  /// Watches every box the application shows from now on.
  MessageAnswerer();
  ~MessageAnswerer() override;
  MessageAnswerer(const MessageAnswerer&) = delete;
  MessageAnswerer& operator=(const MessageAnswerer&) = delete;

  /// The boxes answered so far, as they looked, in the order they came.
  const std::vector<QPixmap>& pictures() const { return pictures_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void answer(const QPointer<QMessageBox>& box);

  std::vector<QPixmap> pictures_;
};
