#include "components/base/busy_indicator.h"

#include <algorithm>
#include <chrono>
#include <climits>

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QPointer>
#include <QProgressDialog>
#include <QThread>

namespace legend {

namespace {

std::int64_t steadyMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The one busy state of the process; there is one cursor and one user.
struct BusyState {
  int depth = 0;
  QString text;
  std::int64_t total = 0;
  std::int64_t done = 0;
  std::int64_t startMs = 0;
  std::int64_t lastPaintMs = 0;
  // A progress bar holds an int; larger totals are shown divided by this.
  std::int64_t divisor = 1;
  // The thread that began the work; steps from any other are ignored.
  QThread* owner = nullptr;
  QPointer<QWidget> parent;
  // Guarded rather than owned: a parent that dies during the work takes the
  // window with it, and the guard then reads null.
  QPointer<QProgressDialog> dialog;
  BusyClock clock;
};

BusyState& state() {
  static BusyState busy;
  return busy;
}

std::int64_t now(const BusyState& busy) { return busy.clock ? busy.clock() : steadyMs(); }

// Widgets and the cursor belong to the GUI thread of a widget application;
// anywhere else the indicator stays silent rather than touch them.
bool onGuiThread() {
  const QCoreApplication* app = QCoreApplication::instance();
  return qobject_cast<const QApplication*>(app) && QThread::currentThread() == app->thread();
}

int shownValue(const BusyState& busy, std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, 0, busy.total) / busy.divisor);
}

void showDialog(BusyState& busy) {
  auto* dialog = new QProgressDialog(busy.text, QString(), 0, shownValue(busy, busy.total), busy.parent.data());
  dialog->setObjectName(QStringLiteral("busyDialog"));
  // Titled like the window it belongs to, as our message boxes are; the
  // application's name (a host's executable) means nothing to the user.
  const QWidget* owner = busy.parent ? busy.parent->window() : nullptr;
  dialog->setWindowTitle(owner && !owner->windowTitle().isEmpty() ? owner->windowTitle()
                                                                  : QApplication::applicationName());
  dialog->setCancelButton(nullptr);
  // Reaching the total is not the end of the work (an outer loop may go on);
  // only EndBusy takes the window away.
  dialog->setAutoReset(false);
  dialog->setAutoClose(false);
  // The delay was judged already, on our clock; with zero the window's own
  // timer and estimate agree to show it now instead of second-guessing.
  dialog->setMinimumDuration(0);
  dialog->setValue(shownValue(busy, busy.done));
  dialog->show();
  busy.dialog = dialog;
}

void repaint(BusyState& busy) {
  if (busy.dialog) busy.dialog->setValue(shownValue(busy, busy.done));
  // Paint and timer events only: a click let through here would run the
  // application's code in the middle of the loop that called us.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace

void BeginBusy(const QString& text, std::int64_t total, QWidget* parent) {
  if (!onGuiThread()) return;
  BusyState& busy = state();
  if (busy.depth++ > 0) return;
  busy.text = text;
  busy.total = std::max<std::int64_t>(total, 0);
  busy.divisor = busy.total / INT_MAX + 1;
  busy.done = 0;
  busy.owner = QThread::currentThread();
  busy.parent = parent;
  busy.startMs = busy.lastPaintMs = now(busy);
  QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void StepBusy(std::int64_t done) {
  BusyState& busy = state();
  if (busy.depth == 0 || QThread::currentThread() != busy.owner) return;
  // Nested work counts in its own units; the window follows the outermost.
  if (busy.depth == 1) busy.done = done;
  const std::int64_t t = now(busy);
  if (t - busy.lastPaintMs < kBusyRepaintIntervalMs) return;
  busy.lastPaintMs = t;
  if (!busy.dialog && t - busy.startMs >= kBusyDialogDelayMs) showDialog(busy);
  repaint(busy);
}

void EndBusy() {
  BusyState& busy = state();
  if (busy.depth == 0 || QThread::currentThread() != busy.owner) return;
  if (--busy.depth > 0) return;
  delete busy.dialog.data();
  busy.parent = nullptr;
  QApplication::restoreOverrideCursor();
}

void SetBusyClock(BusyClock clock) { state().clock = std::move(clock); }

}  // namespace legend
