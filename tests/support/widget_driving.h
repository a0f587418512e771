#pragma once
// Driving widgets and modal dialogs from tests: finding named children,
// acting on a dialog once its event loop runs, answering message boxes,
// synthetic input, failing a test that leaves a window behind; and reading
// pixels and named styles back.

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <type_traits>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QSet>
#include <QTimer>

namespace testqt {

/// The child of @p parent named @p name; a missing one fails the test.
template <class T>
T* child(const QObject& parent, const char* name) {
  T* widget = parent.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(widget, nullptr) << name;
  return widget;
}

/// Runs @p step on the active modal widget, a @p T, once its event loop runs.
template <class T = QDialog>
void onModal(std::type_identity_t<std::function<void(T&)>> step) {
  QTimer::singleShot(0, [step] {
    auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
    if (modal == nullptr) return ADD_FAILURE() << "no " << T::staticMetaObject.className() << " open", void();
    step(*modal);
  });
}

/// Answers the next message box with @p choice (NoButton: accept it),
/// keeping its text and default button when asked to.
inline void answerBox(QMessageBox::StandardButton choice, QString* text = nullptr,
                      QMessageBox::StandardButton* defaultButton = nullptr) {
  onModal<QMessageBox>([=](QMessageBox& box) {
    if (text) *text = box.text();
    if (defaultButton)
      *defaultButton = box.defaultButton() ? box.standardButton(box.defaultButton()) : QMessageBox::NoButton;
    if (choice == QMessageBox::NoButton) return box.accept();
    box.button(choice)->click();
  });
}

inline void typeKey(QWidget* widget, Qt::Key key, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text), release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(widget, &press);
  QApplication::sendEvent(widget, &release);
}

inline void leftClick(QWidget* widget, QPoint at) {
  const QPoint global = widget->mapToGlobal(at);
  QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
  QApplication::sendEvent(widget, &release);
}

/// Declared first in a fixture, so it is destroyed last: fails the test if
/// a top-level window outlives everything else the fixture held.
class NoLeakedWindows {
 public:
  NoLeakedWindows() : before_(QApplication::topLevelWidgets().size()) {}
  ~NoLeakedWindows() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(QApplication::topLevelWidgets().size(), before_) << "a window was left behind";
  }

 private:
  qsizetype before_;
};

/// Sum of the channel differences of two colours.
inline int channelDistance(QRgb a, QRgb b) {
  return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
}

/// How many pixels of @p image within @p region (by default all) pass @p test.
template <class Test>
int countPixels(const QImage& image, Test test, QRect region = {}) {
  region = region.isNull() ? image.rect() : region & image.rect();
  int n = 0;
  for (int y = region.top(); y <= region.bottom(); ++y)
    for (int x = region.left(); x <= region.right(); ++x) n += test(image.pixel(x, y)) ? 1 : 0;
  return n;
}

/// The first of @p first ... @p last that @p nameOf names @p wanted; none fails the test.
template <class NameOf>
int indexNamed(int first, int last, NameOf nameOf, const QString& wanted) {
  for (int i = first; i <= last; ++i)
    if (nameOf(i) == wanted) return i;
  ADD_FAILURE() << "nothing named " << wanted.toStdString();
  return first;
}

/// Expects the names of @p first ... @p last to be non-blank and all different.
template <class NameOf>
void expectDistinctNames(int first, int last, NameOf nameOf) {
  QSet<QString> names;
  for (int i = first; i <= last; ++i) {
    EXPECT_FALSE(nameOf(i).trimmed().isEmpty()) << i;
    names.insert(nameOf(i));
  }
  EXPECT_EQ(names.size(), last - first + 1);
}

}  // namespace testqt
