// clntool render: legend sheets as PNG pages, one SVG or a PDF of A4 pages.

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>

#include <QFileInfo>

#include "commands.h"
#include "components/codec/ui_language.h"
#include "legendfile/legend_set.h"
#include "legendfile/messages.h"
#include "pad/model/scale_maxima.h"
#include "pad/sheet/legend_sheet.h"

namespace clntool {

namespace {

// Set by the first SIGINT or SIGTERM; the sheet stops at its next page and
// removes what it had begun to write. A lock-free atomic may be stored from
// a signal handler.
std::atomic<bool> interrupted{false};
volatile std::sig_atomic_t interruptSignal = 0;
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void onInterrupt(int signal) {
  interruptSignal = signal;
  interrupted.store(true);
}

// Catches SIGINT and SIGTERM while a sheet is written, then restores what
// was there; a second signal meanwhile ends the process at once.
class InterruptGuard {
 public:
  InterruptGuard() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &oldInt_);
    sigaction(SIGTERM, &action, &oldTerm_);
  }
  ~InterruptGuard() {
    sigaction(SIGINT, &oldInt_, nullptr);
    sigaction(SIGTERM, &oldTerm_, nullptr);
  }
  InterruptGuard(const InterruptGuard&) = delete;
  InterruptGuard& operator=(const InterruptGuard&) = delete;

 private:
  struct sigaction oldInt_ {};
  struct sigaction oldTerm_ {};
};

// "12 of 68 pages" (or, for an SVG sheet, rows) rewritten in place on a
// terminal; nothing when standard error goes to a file or a pipe, where it
// would only be noise.
void showProgress(int done, int total, legend::sheet::ProgressUnit unit) {
  const QString line = unit == legend::sheet::ProgressUnit::Pages ? legend::tr("已完成 %1/%2 页").arg(done).arg(total)
                                                                  : legend::tr("已完成 %1/%2 行").arg(done).arg(total);
  std::fprintf(stderr, "\r%s", line.toUtf8().constData());
  if (done == total) std::fputc('\n', stderr);
  std::fflush(stderr);
}

}  // namespace

int runRender(const RenderOptions& options, std::ostream& out, std::ostream& err) {
  legend::LegendSet legends;
  legend::LegendStatus status = legends.setPath(options.input);
  if (status == legend::LegendStatus::Ok) status = legends.reload();
  if (status != legend::LegendStatus::Ok) {
    err << options.input << ": " << legend::messages::text(status, options.input) << '\n';
    return kExitBadFile;
  }
  // Samples are scaled against the largest sizes in the file, as in the pad.
  legend::pad::updateScaleMaxima(legends);

  legend::sheet::SheetOptions sheet;
  sheet.columns = options.columns;
  sheet.cellWidth = options.cellWidth;
  sheet.cellHeight = options.cellHeight;
  sheet.captions = options.captions;
  sheet.stop = &interrupted;
  if (::isatty(STDERR_FILENO) == 1) sheet.progress = showProgress;
  QStringList written;
  const QString title = QFileInfo(QString::fromStdString(options.input)).fileName();
  legend::sheet::SheetResult result;
  {
    InterruptGuard guard;
    result = legend::sheet::writeSheet(legends, sheet, options.output, title, written);
  }
  switch (result) {
    case legend::sheet::SheetResult::Ok:
      for (const QString& file : written) out << file.toStdString() << '\n';
      return kExitOk;
    case legend::sheet::SheetResult::UnknownFormat:
      err << "clntool: " << legend::tr("render: 输出文件必须以 .png、.svg 或 .pdf 结尾").toStdString() << '\n';
      return kExitUsage;
    case legend::sheet::SheetResult::Stopped:
      err << "\nclntool: " << legend::tr("render: 已中断,未写入任何文件").toStdString() << '\n';
      err.flush();
      // Ended by the signal, as the shell expects of an interrupted program.
      std::signal(interruptSignal, SIG_DFL);
      std::raise(interruptSignal);
      return 128 + interruptSignal;
    case legend::sheet::SheetResult::CannotWrite: break;
  }
  err << "clntool: " << legend::tr("render: 无法写入 %1").arg(options.output).toStdString() << '\n';
  return kExitBadFile;
}

}  // namespace clntool
