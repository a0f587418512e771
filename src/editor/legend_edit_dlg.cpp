#include "editor/legend_edit_dlg.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QTableView>

#include "components/base/busy_indicator.h"
#include "components/base/message_prompter.h"
#include "components/base/select_file_name.h"
#include "components/codec/gbk_text.h"
#include "components/codec/utf8_text.h"
#include "editor/legend_edit_layout.h"
#include "editor/legend_list_model.h"
#include "editor/model/editor_messages.h"
#include "editor/model/editor_store.h"
#include "legendfile/file_io.h"
#include "legendfile/layout.h"
#include "legendfile/messages.h"
#include "paramdlg/legend_param_dlg.h"
#include "paramdlg/qt_area_editors.h"

static void initEditorResources() { Q_INIT_RESOURCE(editor); }

namespace {

using legend::fromUtf8;
using legend::editor::EditorStore;
using legend::editor::LegendListModel;
using legend::editor::LegendListProxy;

/// Asked before a file the editor could not read is replaced by the legends
/// of this run: whatever the file held would be gone.
constexpr std::string_view kOverwriteUnloaded =
    QT_TRANSLATE_NOOP("legend", "图例文件未能读入,保存将覆盖原文件!\n是否继续?");
constexpr const char* kSelectingText = QT_TRANSLATE_NOOP("legend", "正在选择图例...");
constexpr const char* kBatchText = QT_TRANSLATE_NOOP("legend", "正在统改属性...");

/// Popup menu command ids, as the host's menus number them.
constexpr int kSelectAllCommand = 55810;
constexpr int kInvertCommand = 55811;

/// The widest a column starts out, in CJK glyphs.
constexpr int kWidestColumnGlyphs = 12;

/// Forwards to whichever prompter the editor uses now, and counts the
/// messages, so the editor can tell whether loading the file reported one.
class EditorPrompter final : public legend::Prompter {
 public:
  legend::Prompter* target = nullptr;
  int messages = 0;
  void inform(std::string_view text) override {
    ++messages;
    target->inform(text);
  }
  void informWithDetail(std::string_view text, std::string_view detail) override {
    ++messages;
    target->informWithDetail(text, detail);
  }
  bool askYesNo(std::string_view text, bool defaultYes) override { return target->askYesNo(text, defaultYes); }
  void beep() override { target->beep(); }
};

}  // namespace

struct CLegendEditDlg::Parts {
  /// Runs the real parameter dialog over the editor, with the editor's
  /// area editors and prompter.
  class ParamRunner final : public legend::editor::ParamDialogRunner {
   public:
    explicit ParamRunner(Parts& parts) : parts_(parts) {}
    bool run(legend::HeadRef head, std::vector<std::uint8_t>& block, bool attributeEditing) override {
      CLegendParamDlg dialog(head, block, attributeEditing, *parts_.editorsInUse, parts_.prompter, &parts_.dialog);
      return dialog.exec() == QDialog::Accepted;
    }

   private:
    Parts& parts_;
  };

  /// Rows the store rebuilds during a command reach the view as one reset.
  class Rebuild {
   public:
    explicit Rebuild(Parts& parts) : parts_(parts) { parts_.model->beginRebuild(); }
    ~Rebuild() {
      parts_.model->endRebuild();
      parts_.showCounters();
    }
    Rebuild(const Rebuild&) = delete;
    Rebuild& operator=(const Rebuild&) = delete;

   private:
    Parts& parts_;
  };

  /// The Delete key in the list deletes as 删除 does; in an edit it keeps
  /// deleting text. A held key deletes once: each of its repeats would
  /// take the next row, one row asks nothing, and the list would empty
  /// within a second. Only the left button's double click edits a row: the
  /// view reports any button's, and a middle or right double click must do
  /// no more than its two single clicks.
  class ListInput final : public QObject {
   public:
    explicit ListInput(Parts& parts) : parts_(parts) {}
    void watch(QAbstractItemView* list) {
      // Kept, not asked for: events still come while the list is destroyed.
      list_ = list;
      viewport_ = list->viewport();
      list_->installEventFilter(this);
      viewport_->installEventFilter(this);
    }
    /// Escape in a filter field that holds text clears it; only an empty
    /// one lets Escape leave the editor.
    void watchFilter(QLineEdit* filter) {
      filter_ = filter;
      filter_->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
      const QEvent::Type type = event->type();
      if (watched == filter_ && type == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
          !filter_->text().isEmpty()) {
        filter_->clear();
        return true;
      }
      if (watched == list_ && (type == QEvent::KeyPress || type == QEvent::KeyRelease)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Delete || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
        if (type == QEvent::KeyRelease) {
          lastRelease_ = key->timestamp();
          return false;
        }
        // X11 repeats a held key as a release and a press of one and the
        // same moment, and Qt does not always see the pair as a repeat.
        const bool repeat = key->isAutoRepeat() || (lastRelease_ != 0 && key->timestamp() == lastRelease_);
        if (!repeat) parts_.deleteSelected();
        return true;
      }
      if (watched == viewport_ && type == QEvent::MouseButtonDblClick) {
        const auto* click = static_cast<QMouseEvent*>(event);
        if (click->button() == Qt::LeftButton) return false;
        QMouseEvent press(QEvent::MouseButtonPress, click->position(), click->scenePosition(), click->globalPosition(),
                          click->button(), click->buttons(), click->modifiers(), click->pointingDevice());
        QCoreApplication::sendEvent(watched, &press);
        return true;
      }
      return false;
    }

   private:
    Parts& parts_;
    QObject* list_ = nullptr;
    QObject* viewport_ = nullptr;
    QLineEdit* filter_ = nullptr;
    /// When the Delete key last came up, in the window system's time.
    std::uint64_t lastRelease_ = 0;
  };

  Parts(CLegendEditDlg& dlg, char* name, std::function<void()> reload)
      : dialog(dlg),
        fileName(name),
        reloadPad(std::move(reload)),
        boxes(&dlg, legend::uiText(legend::editor::texts::kEditorTitle)),
        store(prompter),
        editors(&dlg),
        runner(*this),
        listInput(*this) {
    prompter.target = &boxes;
  }

  void build();
  void connectCommands();
  /// Column widths for the loaded legends, and a dialog wide enough for them.
  void fitColumns();
  FileNameChooser defaultChooser();
  void showCounters();
  std::vector<std::int32_t> selectedRows() const;
  void makeCurrent(int row);
  void transferType();
  bool transferTexts();
  void attributesToggled(bool on);
  void selectAll();
  void invertSelection();
  void batchAttributes();
  void deleteSelected();

  CLegendEditDlg& dialog;
  char* fileName;
  std::function<void()> reloadPad;
  legend::MessagePrompter boxes;
  EditorPrompter prompter;
  EditorStore store;
  legend::editor::QtAreaEditors editors;
  legend::editor::AreaEditors* editorsInUse = &editors;
  ParamRunner runner;
  legend::editor::ParamDialogRunner* runnerInUse = &runner;
  FileNameChooser chooseName;
  legend::FileOps* fileOps = &legend::FileOps::system();
  /// Where the name prompt starts: the last name chosen for a new file whose
  /// save failed, so a retry need not type it again.
  std::string lastChosenName;
  /// Loading reported a failure: the file, if it exists, holds what this
  /// run never saw.
  bool loadFailed = false;

  LegendListModel* model = nullptr;
  /// What the list shows of the model: the rows the filter lets through, in
  /// the order of the column last clicked. Commands act on these rows.
  LegendListProxy* shown = nullptr;
  legend::editor::EditorControls ui;
  ListInput listInput;
  QMenu* menu = nullptr;
};

CLegendEditDlg::CLegendEditDlg(char* fileName, std::function<void()> reloadPad, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      parts_(std::make_unique<Parts>(*this, fileName, std::move(reloadPad))) {
  initEditorResources();
  Parts& p = *parts_;
  setObjectName(QStringLiteral("legendEditor"));
  setModal(true);

  const std::string path =
      fileName != nullptr ? std::string(fileName, strnlen(fileName, legend::layout::kPathBufferSize)) : std::string();
  const int before = p.prompter.messages;
  p.store.load(path);
  p.loadFailed = p.prompter.messages != before;

  p.chooseName = p.defaultChooser();

  setWindowTitle(fromUtf8(p.store.windowTitle()));
  p.build();
  {
    Parts::Rebuild rebuild(p);
    p.store.open();
  }
  // Columns are measured on the type images, which take the samples' room:
  // measuring on samples would draw a thousand of them before the first frame.
  p.fitColumns();
  p.model->setRecordSource([&p](std::int32_t index) { return p.store.graphicRecord(index); });
  p.ui.types->button(p.store.typeChoice())->setChecked(true);
  p.attributesToggled(p.ui.attributeCheck->isChecked());
}

CLegendEditDlg::~CLegendEditDlg() {
  // The controls call into the parts through their signals, so they go
  // while the parts are still whole, not after, with the QDialog base.
  for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) delete child;
  parts_->store.setListSink(nullptr);
}

void CLegendEditDlg::Parts::build() {
  model = new LegendListModel(&dialog);
  shown = new LegendListProxy(model, &dialog);
  ui = legend::editor::layOutEditor(dialog, shown);
  model->setCurrentRowHandler([this](int row) { makeCurrent(row); });
  store.setListSink(model);
  connectCommands();
}

void CLegendEditDlg::Parts::connectCommands() {
  CLegendEditDlg& d = dialog;
  QObject::connect(ui.types, &QButtonGroup::idClicked, &d, [this](int) { transferType(); });
  auto* findAction = new QAction(&d);
  findAction->setObjectName(QStringLiteral("filterAction"));
  findAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
  d.addAction(findAction);
  QObject::connect(findAction, &QAction::triggered, &d, [this] {
    ui.filter->setFocus(Qt::ShortcutFocusReason);
    ui.filter->selectAll();
  });
  QObject::connect(ui.filter, &QLineEdit::textChanged, &d, [this](const QString& text) {
    shown->setFilterText(text);
    // The counters stay those of the whole set; the current row is kept
    // in view when it is still shown.
    const QModelIndex current = ui.list->currentIndex();
    if (current.isValid()) ui.list->scrollTo(current);
  });
  QObject::connect(ui.list->selectionModel(), &QItemSelectionModel::selectionChanged, &d, [this] {
    store.selectionChanged(selectedRows());
    showCounters();
  });
  QObject::connect(ui.list, &QAbstractItemView::doubleClicked, &d, [this] {
    Rebuild rebuild(*this);
    store.editSelected(selectedRows(), *runnerInUse);
  });

  menu = new QMenu(&d);
  menu->setObjectName(QStringLiteral("legendMenu"));
  QAction* selectAllAction = menu->addAction(legend::tr("选中全部"));
  selectAllAction->setObjectName(QStringLiteral("selectAllAction"));
  selectAllAction->setData(kSelectAllCommand);
  selectAllAction->setShortcut(QKeySequence::SelectAll);
  QAction* invertAction = menu->addAction(legend::tr("反向选择"));
  invertAction->setObjectName(QStringLiteral("invertAction"));
  invertAction->setData(kInvertCommand);
  // Ctrl+A anywhere in the editor, except in an edit, which keeps it for its text.
  d.addAction(selectAllAction);
  QObject::connect(selectAllAction, &QAction::triggered, &d, [this] { selectAll(); });
  QObject::connect(invertAction, &QAction::triggered, &d, [this] { invertSelection(); });
  ui.list->setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(ui.list, &QWidget::customContextMenuRequested, &d,
                   [this](const QPoint& at) { menu->exec(ui.list->viewport()->mapToGlobal(at)); });

  QObject::connect(ui.okButton, &QPushButton::clicked, &d, &CLegendEditDlg::accept);
  QObject::connect(ui.cancelButton, &QPushButton::clicked, &d, &CLegendEditDlg::reject);
  QObject::connect(ui.addButton, &QPushButton::clicked, &d, [this] {
    if (!transferTexts()) return;
    transferType();
    Rebuild rebuild(*this);
    store.addFromTemplate();
  });
  QObject::connect(ui.editButton, &QPushButton::clicked, &d, [this] {
    Rebuild rebuild(*this);
    store.editSelected(selectedRows(), *runnerInUse);
  });
  QObject::connect(ui.deleteButton, &QPushButton::clicked, &d, [this] { deleteSelected(); });
  listInput.watch(ui.list);
  listInput.watchFilter(ui.filter);
  QObject::connect(ui.defaultButton, &QPushButton::clicked, &d, [this] {
    store.resetTemplate();
    ui.nameEdit->clear();
    ui.descriptionEdit->clear();
    ui.classCodeEdit->clear();
  });
  QObject::connect(ui.paramButton, &QPushButton::clicked, &d, [this] {
    transferType();
    store.editTemplateParameters(*editorsInUse);
  });
  QObject::connect(ui.attributeCheck, &QCheckBox::toggled, &d, [this](bool on) { attributesToggled(on); });
  QObject::connect(ui.structureButton, &QPushButton::clicked, &d,
                   [this] { store.editAttributeStructure(*editorsInUse); });
  QObject::connect(ui.contentButton, &QPushButton::clicked, &d, [this] { store.editAttributeContent(*editorsInUse); });
  QObject::connect(ui.batchButton, &QPushButton::clicked, &d, [this] { batchAttributes(); });
}

void CLegendEditDlg::Parts::fitColumns() {
  // The header text and its padding are the least a column gets; wider
  // texts widen it up to a cap, so a map maker reads names, class codes and
  // sizes side by side instead of behind "..." or a scroll bar. A long
  // description still ends in "..." and shows whole in its tooltip.
  const QFontMetrics headerMetrics(ui.list->horizontalHeader()->font());
  const int cap = ui.list->fontMetrics().horizontalAdvance(QChar(0x56FE)) * kWidestColumnGlyphs;
  int columnsWidth = 0;
  for (int column = 0; column < LegendListModel::kColumnCount; ++column) {
    const int least =
        headerMetrics.horizontalAdvance(LegendListModel::headerText(column)) + LegendListModel::columnPadding(column);
    ui.list->resizeColumnToContents(column);
    const int width = std::max(least, std::min(cap, ui.list->columnWidth(column)));
    ui.list->setColumnWidth(column, width);
    columnsWidth += width;
  }
  const int wanted =
      columnsWidth + 2 * ui.list->frameWidth() + ui.list->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  if (wanted > ui.list->width()) dialog.resize(dialog.width() + wanted - ui.list->width(), dialog.height());
}

CLegendEditDlg::FileNameChooser CLegendEditDlg::Parts::defaultChooser() {
  return [this]() -> std::optional<std::string> {
    std::string chosen = lastChosenName;
    if (!legend::SelectFileName(&dialog, true, chosen)) return std::nullopt;
    return chosen;
  };
}

void CLegendEditDlg::Parts::showCounters() {
  ui.total->setText(QString::number(store.totalListed()));
  ui.current->setText(QString::number(store.currentRow()));
}

std::vector<std::int32_t> CLegendEditDlg::Parts::selectedRows() const {
  // The view's rows are the filtered, sorted ones; the store counts the
  // rows of the whole list.
  const QModelIndexList indexes = ui.list->selectionModel()->selectedRows();
  std::vector<std::int32_t> rows;
  rows.reserve(static_cast<std::size_t>(indexes.size()));
  for (const QModelIndex& index : indexes) {
    const QModelIndex source = shown->mapToSource(index);
    if (source.isValid()) rows.push_back(source.row());
  }
  std::sort(rows.begin(), rows.end());
  return rows;
}

void CLegendEditDlg::Parts::makeCurrent(int row) {
  // A row the filter hides stays current in the store only.
  const QModelIndex index = shown->mapFromSource(model->index(row, 0));
  if (!index.isValid()) return;
  ui.list->setFocus();
  ui.list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  ui.list->scrollTo(index);
}

void CLegendEditDlg::Parts::transferType() {
  const int choice = ui.types->checkedId();
  if (choice >= 0) store.setTypeChoice(choice);
}

bool CLegendEditDlg::Parts::transferTexts() {
  // Both texts are checked before the store takes either, so a refusal
  // leaves the template as it was.
  const auto encode = [this](QLineEdit* edit, std::string_view notStorable) {
    legend::GbkEncodeResult encoded = legend::encodeGbkField(edit->text());
    if (!encoded) {
      prompter.inform(encoded.error == legend::GbkFieldError::TooLong ? legend::messages::kTextTooLong : notStorable);
      edit->setFocus();
      edit->selectAll();
    }
    return encoded;
  };
  legend::GbkEncodeResult name = encode(ui.nameEdit, legend::messages::kNameNotStorable);
  if (!name) return false;
  legend::GbkEncodeResult description = encode(ui.descriptionEdit, legend::messages::kDescriptionNotStorable);
  if (!description) return false;
  if (!store.setTemplateName(std::move(name.bytes))) return false;
  if (!store.setTemplateDescription(std::move(description.bytes))) return false;
  store.setTemplateClassCode(ui.classCodeEdit->text().toStdString());
  return true;
}

void CLegendEditDlg::Parts::attributesToggled(bool on) {
  store.setAttributesEnabled(on);
  ui.structureButton->setEnabled(on);
  ui.contentButton->setEnabled(on);
  ui.batchButton->setEnabled(on);
  ui.batchLabel->setEnabled(on);
}

void CLegendEditDlg::Parts::selectAll() {
  // All the rows shown: what the filter hides stays unselected.
  const int rows = shown->rowCount();
  if (rows == 0) return;
  legend::BusyScope busy(legend::tr(kSelectingText), rows, &dialog);
  // One selection range, not a change per row: every change re-gathers the
  // selection, which would make selecting thousands of rows quadratic.
  const QItemSelection all(shown->index(0, 0), shown->index(rows - 1, LegendListModel::kColumnCount - 1));
  ui.list->selectionModel()->select(all, QItemSelectionModel::Select);
  legend::StepBusy(rows);
}

void CLegendEditDlg::Parts::invertSelection() {
  const int rows = shown->rowCount();
  if (rows == 0) return;
  legend::BusyScope busy(legend::tr(kSelectingText), rows, &dialog);
  QItemSelectionModel* selection = ui.list->selectionModel();
  QItemSelection inverted;
  const int lastColumn = LegendListModel::kColumnCount - 1;
  int runStart = -1;
  for (int row = 0; row < rows; ++row) {
    const bool selected = selection->isRowSelected(row);
    if (!selected && runStart < 0) runStart = row;
    if (selected && runStart >= 0) {
      inverted.select(shown->index(runStart, 0), shown->index(row - 1, lastColumn));
      runStart = -1;
    }
    legend::StepBusy(row + 1);
  }
  if (runStart >= 0) inverted.select(shown->index(runStart, 0), shown->index(rows - 1, lastColumn));
  // The current row keeps its focus; only the selected states flip.
  selection->select(inverted, QItemSelectionModel::ClearAndSelect);
}

void CLegendEditDlg::Parts::deleteSelected() {
  Rebuild rebuild(*this);
  store.deleteSelected(selectedRows());
}

void CLegendEditDlg::Parts::batchAttributes() {
  const std::vector<std::int32_t> rows = selectedRows();
  // The indicator starts with the first legend, after the question: a busy
  // cursor over a question would tell the user to wait for themselves.
  std::optional<legend::BusyScope> busy;
  std::int64_t done = 0;
  store.batchAttributeChange(rows, [&] {
    if (!busy) busy.emplace(legend::tr(kBatchText), static_cast<std::int64_t>(rows.size()), &dialog);
    legend::StepBusy(++done);
  });
}

void CLegendEditDlg::accept() {
  Parts& p = *parts_;
  const bool newFile = p.store.path().empty();
  if (newFile) {
    const std::optional<std::string> chosen = p.chooseName ? p.chooseName() : std::nullopt;
    if (!chosen || chosen->empty()) return;
    const std::optional<std::string> path = p.store.newFilePath(*chosen);
    if (!path) return;
    if (!p.store.setPath(*path)) {
      p.prompter.inform(legend::messages::text(legend::LegendStatus::PathTooLong, *path));
      return;
    }
    p.lastChosenName = *path;
  } else if (p.loadFailed && QFileInfo::exists(QFile::decodeName(QByteArray::fromStdString(p.store.path())))) {
    if (!p.prompter.askYesNo(kOverwriteUnloaded, false)) return;
  }

  // The save has reported its failure; the editor stays open with every
  // edit so the user can try again or leave. A new file is named again,
  // since the folder chosen may be the reason.
  if (p.store.commit(*p.fileOps) != legend::editor::EditorSaveStatus::Ok) {
    if (newFile) p.store.setPath({});
    return;
  }
  if (newFile && p.fileName != nullptr) {
    // The caller learns the name only of a file that exists; completion
    // keeps it within the buffer with its NUL.
    const std::string& path = p.store.path();
    const std::size_t length = std::min(path.size(), legend::layout::kMaxPathBytes);
    std::memcpy(p.fileName, path.data(), length);
    p.fileName[length] = '\0';
  }
  QDialog::accept();
  if (p.reloadPad) p.reloadPad();
}

void CLegendEditDlg::reject() {
  Parts& p = *parts_;
  if (p.store.modified() && !p.prompter.askYesNo(legend::editor::texts::kDiscardChanges, /*defaultYes=*/false)) return;
  QDialog::reject();
}

legend::editor::EditorStore& CLegendEditDlg::store() { return parts_->store; }

void CLegendEditDlg::setPrompter(legend::Prompter* prompter) {
  parts_->prompter.target = prompter != nullptr ? prompter : &parts_->boxes;
}

void CLegendEditDlg::setAreaEditors(legend::editor::AreaEditors* editors) {
  parts_->editorsInUse = editors != nullptr ? editors : &parts_->editors;
}

void CLegendEditDlg::setParamDialogRunner(legend::editor::ParamDialogRunner* runner) {
  parts_->runnerInUse = runner != nullptr ? runner : &parts_->runner;
}

void CLegendEditDlg::setFileNameChooser(FileNameChooser chooser) {
  parts_->chooseName = chooser ? std::move(chooser) : parts_->defaultChooser();
}

void CLegendEditDlg::setFileOps(legend::FileOps* ops) {
  parts_->fileOps = ops != nullptr ? ops : &legend::FileOps::system();
}
