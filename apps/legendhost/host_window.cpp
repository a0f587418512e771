#include "host_window.h"

#include <array>
#include <cstdio>
#include <utility>

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "components/attstru/att_stru.h"
#include "components/codec/ui_language.h"
#include "legend/legend.h"
#include "legend/legend_events.h"
#include "legend_report.h"

namespace {

// GetCLNType answers -1 past the last legend; a file holds at most this many.
constexpr int kMaxLegends = 32767;

QTreeWidgetItem* section(QTreeWidget* tree, const QString& title, const std::vector<ReportRow>& rows) {
  auto* item = new QTreeWidgetItem(tree, {title});
  QFont bold = item->font(0);
  bold.setBold(true);
  item->setFont(0, bold);
  for (const ReportRow& row : rows) new QTreeWidgetItem(item, {row.label, row.value});
  item->setExpanded(true);
  return item;
}

}  // namespace

HostWindow::HostWindow() : project_([this](const std::string& line) { report(line); }) {
  setWindowTitle(legend::tr("图例宿主"));

  QMenu* fileMenu = menuBar()->addMenu(legend::tr("文件"));
  fileMenu->addAction(legend::tr("打开图例文件…"), this, &HostWindow::chooseFile);
  reloadAction_ = fileMenu->addAction(legend::tr("重新载入"), this, &HostWindow::reloadPad);
  reloadEventAction_ =
      fileMenu->addAction(legend::tr("重新载入 (发送 WM_LEGEND_RELOAD)"), this, &HostWindow::sendReload);
  closeAction_ = fileMenu->addAction(legend::tr("关闭图例板"), this, &HostWindow::closePad);
  reopenAction_ = fileMenu->addAction(legend::tr("重新打开图例板"), this, &HostWindow::reopenPad);
  fileMenu->addSeparator();
  editAction_ = fileMenu->addAction(legend::tr("编辑图例文件"), this, &HostWindow::editFile);
  fileMenu->addAction(legend::tr("新建图例文件"), this, &HostWindow::newFile);
  fileMenu->addSeparator();
  fileMenu->addAction(legend::tr("退出"), this, &QWidget::close);

  details_ = new QTreeWidget;
  details_->setObjectName(QStringLiteral("details"));
  details_->setColumnCount(2);
  details_->setHeaderLabels({legend::tr("项目"), legend::tr("值")});
  details_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  details_->setRootIsDecorated(false);

  log_ = new QPlainTextEdit;
  log_->setObjectName(QStringLiteral("log"));
  log_->setReadOnly(true);
  log_->setLineWrapMode(QPlainTextEdit::NoWrap);
  log_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

  auto* splitter = new QSplitter(Qt::Vertical);
  splitter->addWidget(details_);
  splitter->addWidget(log_);
  // The details of one legend run to some thirty rows; the log scrolls.
  splitter->setStretchFactor(0, 3);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({480, 160});
  setCentralWidget(splitter);

  fileLabel_ = new QLabel;
  statusBar()->addWidget(fileLabel_, 1);
  showNoLegend(legend::tr("未打开图例板"));
  refreshFileState();
}

HostWindow::~HostWindow() {
  // The pad must not outlive the project object it reports to.
  if (pad_) CloseCLNPadWindow(pad_);
}

bool HostWindow::openFile(const QString& path) {
  // Paths over 259 bytes are left for the library to refuse.
  const QByteArray bytes = QFile::encodeName(path);
  if (pad_) {
    if (SetNewCLNFile(pad_, bytes.constData()) != 1) {
      note(legend::tr("SetNewCLNFile 未完成: %1").arg(path));
      return false;
    }
    note(QStringLiteral("SetNewCLNFile %1").arg(path));
  } else {
    pad_ = CreateCLNPadWindow(bytes.constData(), 1, 1, &project_, this);
    if (!pad_) {
      note(legend::tr("CreateCLNPadWindow 失败: %1").arg(path));
      refreshFileState();
      return false;
    }
    note(QStringLiteral("CreateCLNPadWindow %1").arg(path));
  }
  file_ = path;
  showNoLegend(legend::tr("未选择图例"));
  refreshFileState();
  return true;
}

QWidget* HostWindow::padWindow() const { return static_cast<QWidget*>(pad_); }

bool HostWindow::event(QEvent* event) {
  const int type = event->type();
  if (type == WM_LEGEND_SELECTED || type == WM_LEGEND_DESELECTED) {
    const auto* legendEvent = static_cast<LegendEvent*>(event);
    const int index = static_cast<int>(legendEvent->wParam());
    report(std::string(type == WM_LEGEND_SELECTED ? "WM_LEGEND_SELECTED " : "WM_LEGEND_DESELECTED ") +
           std::to_string(index));
    if (type == WM_LEGEND_SELECTED)
      showLegend(index);
    else
      showNoLegend(legend::tr("未选择图例 (图例 %1 已取消选择)").arg(index));
    return true;
  }
  return QMainWindow::event(event);
}

void HostWindow::closeEvent(QCloseEvent* event) {
  // Close the pad first, so its save question comes while the host is still
  // on screen.
  closePad();
  event->accept();
}

void HostWindow::chooseFile() {
  const QString start = file_.isEmpty() ? QString() : QFileInfo(file_).absolutePath();
  const QString path =
      QFileDialog::getOpenFileName(this, legend::tr("打开图例文件"), start, legend::tr("图例文件 (*.CLN)"));
  if (!path.isEmpty()) openFile(path);
}

void HostWindow::reloadPad() {
  if (!pad_) return;
  ReloadCLNPadWindow(pad_);
  note(QStringLiteral("ReloadCLNPadWindow"));
  showNoLegend(legend::tr("未选择图例"));
  refreshFileState();
}

void HostWindow::sendReload() {
  if (!pad_) return;
  LegendEvent reload(WM_LEGEND_RELOAD);
  QCoreApplication::sendEvent(padWindow(), &reload);
  note(legend::tr("WM_LEGEND_RELOAD 已发送到图例板"));
  showNoLegend(legend::tr("未选择图例"));
  refreshFileState();
}

void HostWindow::closePad() {
  if (!pad_) return;
  CloseCLNPadWindow(std::exchange(pad_, nullptr));
  note(QStringLiteral("CloseCLNPadWindow"));
  showNoLegend(legend::tr("图例板已关闭"));
  refreshFileState();
}

void HostWindow::reopenPad() {
  if (!pad_ && !file_.isEmpty()) openFile(file_);
}

void HostWindow::editFile() {
  if (!pad_) return;
  std::array<char, LEGEND_PATH_BUFFER> path{};
  GetCLNFile(pad_, path.data());
  // Given the pad, the editor reloads it after 确定 wrote the file; the
  // legend shown here may no longer exist then.
  const int32_t result = OpenCLNEditWindow(path.data(), pad_, this);
  report("OpenCLNEditWindow " + std::to_string(result));
  if (result == 1) {
    showNoLegend(legend::tr("未选择图例"));
    refreshFileState();
  }
}

void HostWindow::newFile() {
  std::array<char, LEGEND_PATH_BUFFER> path{};
  const int32_t result = NewCLNEditWindow(path.data(), pad_, this);
  report("NewCLNEditWindow " + std::to_string(result));
  if (result != 1) return;
  // The editor wrote the new file; the pad follows it.
  openFile(QFile::decodeName(path.data()));
}

void HostWindow::showLegend(int index) {
  details_->clear();
  if (!pad_) return;
  const int type = GetCLNType(pad_, index);
  section(details_, legend::tr("图例 %1").arg(index), {{QStringLiteral("GetCLNType"), legendTypeName(type)}});

  std::array<unsigned char, LEGEND_HEAD_BYTES> head{};
  GetCLNHeadInfo(pad_, index, head.data());
  section(details_, legend::tr("头记录 (GetCLNHeadInfo)"), headRows(head.data()));

  if (type == 1) {
    PNT_INFOstruct record{};
    if (GetCLNPntInfo(pad_, &record, index) == 1)
      section(details_, legend::tr("点参数 (GetCLNPntInfo)"), pointRows(record));
  } else if (type == 0) {
    LIN_INFOstruct record{};
    if (GetCLNLinInfo(pad_, &record, index) == 1)
      section(details_, legend::tr("线参数 (GetCLNLinInfo)"), lineRows(record));
  } else if (type == 2) {
    REG_INFOstruct record{};
    if (GetCLNRegInfo(pad_, &record, index) == 1)
      section(details_, legend::tr("区参数 (GetCLNRegInfo)"), regionRows(record));
  }

  CATT_STRU* structure = nullptr;
  char* record = nullptr;
  std::int32_t length = 0;
  GetCLNAttInfo(pad_, &structure, &record, &length, index);
  if (structure && structure->FieldCount() > 0)
    section(details_, legend::tr("属性 (GetCLNAttInfo, %1 字节)").arg(length),
            attributeRows(*structure, record, length));
  else
    section(details_, legend::tr("属性 (GetCLNAttInfo)"), {{legend::tr("无属性"), QString()}});
}

void HostWindow::showNoLegend(const QString& why) {
  details_->clear();
  section(details_, why, {});
}

void HostWindow::refreshFileState() {
  reloadAction_->setEnabled(pad_ != nullptr);
  reloadEventAction_->setEnabled(pad_ != nullptr);
  closeAction_->setEnabled(pad_ != nullptr);
  reopenAction_->setEnabled(!pad_ && !file_.isEmpty());
  editAction_->setEnabled(pad_ != nullptr);
  if (!pad_) {
    fileLabel_->setText(legend::tr("图例板未打开"));
    return;
  }
  std::array<char, LEGEND_PATH_BUFFER> path{};
  GetCLNFile(pad_, path.data());
  int count = 0;
  while (count < kMaxLegends && GetCLNType(pad_, count) != -1) ++count;
  fileLabel_->setText(legend::tr("%1 — %2 个图例").arg(QFile::decodeName(path.data())).arg(count));
  setWindowTitle(legend::tr("图例宿主 — %1").arg(QFileInfo(QFile::decodeName(path.data())).fileName()));
}

void HostWindow::report(const std::string& line) {
  std::fputs(line.c_str(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
  log_->appendPlainText(QString::fromStdString(line));
}

void HostWindow::note(const QString& line) { log_->appendPlainText(QStringLiteral("# ") + line); }
