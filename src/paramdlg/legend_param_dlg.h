#pragma once
// The window of the legend parameter dialog: edits for a legend's name,
// description and class code, and buttons for its graphic parameters and
// attributes, over LegendParamModel, which does all the work.

#include <cstdint>
#include <vector>

#include <QDialog>

#include "legendfile/head_record.h"
#include "legendfile/prompter.h"
#include "paramdlg/model/legend_param_model.h"

class QGroupBox;
class QLineEdit;
class QPushButton;

/// Modal dialog "修改图例参数". The caller's head record and block change only
/// when the dialog is accepted; a rejected dialog leaves both untouched.
class CLegendParamDlg : public QDialog {
 public:
  /// Reads the legend into working copies at once; problems with the block
  /// are reported through @p prompter and the dialog opens all the same.
  CLegendParamDlg(legend::HeadRef head, std::vector<std::uint8_t>& block, bool attributeEditing,
                  legend::editor::AreaEditors& editors, legend::Prompter& prompter, QWidget* parent = nullptr);

  /// Writes the texts and working copies back and closes, or refuses with a
  /// message and stays open.
  void accept() override;

 private:
  void buildControls();
  void showModelTexts();
  /// Hands the texts as typed to the model where they can be stored, so that
  /// a command which keeps them does not lose what the user typed.
  void storeTypedTexts();
  /// Runs a model command and shows whichever texts it replaced.
  void runCommand(void (legend::editor::LegendParamModel::*command)());

  legend::editor::LegendParamModel model_;
  legend::Prompter& prompter_;

  QGroupBox* infoGroup_ = nullptr;
  QLineEdit* nameEdit_ = nullptr;
  QLineEdit* descriptionEdit_ = nullptr;
  QLineEdit* classCodeEdit_ = nullptr;
  QPushButton* graphicButton_ = nullptr;
  QPushButton* structureButton_ = nullptr;
  QPushButton* contentButton_ = nullptr;
  QPushButton* defaultButton_ = nullptr;
  QPushButton* okButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
};
