#pragma once
// The project legend editor's controls and where they sit: the legend
// template and the command column on the left, the counters over the legend
// list on the right. The controls are sized in the dialog units of the
// editor's template, so the window keeps its proportions under any font; a
// larger window goes to the list.

class QAbstractItemModel;
class QButtonGroup;
class QCheckBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace legend::editor {

/// The controls the editor's commands read, change or connect to; all are
/// children of the dialog.
struct EditorControls {
  QButtonGroup* types = nullptr;  ///< ids are EditorStore's type choices
  QPushButton* defaultButton = nullptr;
  QLineEdit* nameEdit = nullptr;
  QLineEdit* descriptionEdit = nullptr;
  QLineEdit* classCodeEdit = nullptr;
  QPushButton* paramButton = nullptr;
  QCheckBox* attributeCheck = nullptr;
  QPushButton* structureButton = nullptr;
  QPushButton* contentButton = nullptr;
  QPushButton* okButton = nullptr;
  QPushButton* cancelButton = nullptr;
  QPushButton* addButton = nullptr;
  QPushButton* editButton = nullptr;
  QPushButton* deleteButton = nullptr;
  QLabel* batchLabel = nullptr;
  QPushButton* batchButton = nullptr;
  QLabel* total = nullptr;      ///< 图例总数
  QLabel* current = nullptr;    ///< 当前图例号
  QLineEdit* filter = nullptr;  ///< narrows the list as the user types
  QTableView* list = nullptr;
};

/// Creates the editor's controls in @p dialog, lays them out and gives the
/// dialog its starting size; the list shows @p model.
EditorControls layOutEditor(QDialog& dialog, QAbstractItemModel* model);

}  // namespace legend::editor
