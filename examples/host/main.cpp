// A small host of a legend pad: its main window owns the pad, shows what the
// user selects there, and opens the legend editor on the pad's file.
//
//   legend_host_example [FILE.CLN]
//   legend_host_example --selftest [FILE.CLN]
//
// Without FILE the installed sample is opened. --selftest needs no display:
// it opens an invisible pad, asks it about legend 0, prints the answer and
// exits with 0 when the pad knew that legend.

#include <cstdio>
#include <cstring>

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QStringDecoder>

#include <legend/legend.h>
#include <legend/legend_events.h>
#include <legend/map_project.h>

namespace {

const char* typeName(int type) {
  switch (type) {
    case 0: return "line";
    case 1: return "point";
    case 2: return "region";
    default: return type < 0 ? "none" : "other";
  }
}

// Names are GBK bytes at the start of the head record, NUL-padded.
QString legendName(void* pad, std::int32_t index) {
  unsigned char head[LEGEND_HEAD_BYTES] = {};
  if (!GetCLNHeadInfo(pad, index, head)) return {};
  const auto* name = reinterpret_cast<const char*>(head);
  const QByteArray bytes(name, static_cast<qsizetype>(qstrnlen(name, 128)));
  QStringDecoder gbk("GBK");
  return gbk.isValid() ? QString(gbk(bytes)) : QString::fromLatin1(bytes);
}

class HostWindow : public QMainWindow {
 public:
  explicit HostWindow(const char* file) {
    status_ = new QLabel(QStringLiteral("Select a legend in the pad."), this);
    setCentralWidget(status_);
    QAction* edit = menuBar()->addMenu(QStringLiteral("&Legend"))->addAction(QStringLiteral("&Edit legend file..."));
    connect(edit, &QAction::triggered, this, [this] { editFile(); });
    // Owner and project both outlive the pad: the destructor closes it.
    pad_ = CreateCLNPadWindow(file, 1, 1, &project_, this);
  }
  ~HostWindow() override {
    if (pad_) CloseCLNPadWindow(pad_);
  }

 protected:
  // The pad sends these while it handles the click, so the pad can be asked
  // about the legend right here.
  bool event(QEvent* e) override {
    if (e->type() == WM_LEGEND_SELECTED) {
      showSelected(static_cast<std::int32_t>(static_cast<LegendEvent*>(e)->wParam()));
      return true;
    }
    if (e->type() == WM_LEGEND_DESELECTED) {
      status_->setText(QStringLiteral("No legend selected."));
      return true;
    }
    return QMainWindow::event(e);
  }

 private:
  void showSelected(std::int32_t index) {
    CATT_STRU* structure = nullptr;
    char* record = nullptr;
    std::int32_t length = 0;
    // The structure and record stay the pad's; they are only looked at here.
    GetCLNAttInfo(pad_, &structure, &record, &length, index);
    status_->setText(QStringLiteral("Legend %1: %2 (%3), attribute record of %4 bytes")
                         .arg(index)
                         .arg(legendName(pad_, index), QString::fromLatin1(typeName(GetCLNType(pad_, index))))
                         .arg(length));
  }

  void editFile() {
    char path[LEGEND_PATH_BUFFER] = {};
    if (!pad_ || !GetCLNFile(pad_, path)) return;
    // Modal; the pad is reloaded before the call returns when the user saved.
    if (OpenCLNEditWindow(path, pad_, this) == 1) status_->setText(QStringLiteral("Legend file saved."));
  }

  MapProject project_;
  QLabel* status_ = nullptr;
  void* pad_ = nullptr;
};

int selfTest(const char* file) {
  QWidget owner;
  MapProject project;
  void* pad = CreateCLNPadWindow(file, 0, 0, &project, &owner);
  if (!pad) {
    std::fprintf(stderr, "no pad for %s\n", file);
    return 1;
  }
  std::int32_t count = 0;
  while (GetCLNType(pad, count) != -1) ++count;
  const int type = GetCLNType(pad, 0);
  std::printf("file: %s\nlegends: %d\nlegend 0: type %d (%s), name \"%s\"\n", file, count, type, typeName(type),
              legendName(pad, 0).toUtf8().constData());
  CloseCLNPadWindow(pad);
  return type == -1 ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  const bool selftest = argc > 1 && std::strcmp(argv[1], "--selftest") == 0;
  const int first = selftest ? 2 : 1;
  // Paths go to the pad as the platform's bytes, so argv is used unchanged.
  const char* file = argc > first ? argv[first] : LEGEND_SAMPLE_FILE;
  if (selftest && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");

  QApplication app(argc, argv);
  if (selftest) return selfTest(file);

  HostWindow window(file);
  window.resize(480, 120);
  window.show();
  return app.exec();
}
