#include "paramdlg/legend_param_dlg.h"

#include <string>
#include <string_view>

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "components/codec/gbk_text.h"
#include "components/codec/utf8_text.h"
#include "legendfile/messages.h"

namespace {

// Widths in average characters, so the edits keep their proportions under
// any font: the description edit is the widest, the class code the narrowest.
constexpr int kNameChars = 10;
constexpr int kDescriptionChars = 18;
constexpr int kClassCodeChars = 10;

QPushButton* makeButton(const char* text, const char* objectName, QWidget* parent) {
  auto* button = new QPushButton(legend::tr(text), parent);
  button->setObjectName(QString::fromLatin1(objectName));
  button->setAutoDefault(false);
  return button;
}

QLineEdit* makeEdit(const char* objectName, int chars, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(objectName));
  edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * chars);
  return edit;
}

}  // namespace

CLegendParamDlg::CLegendParamDlg(legend::HeadRef head, std::vector<std::uint8_t>& block, bool attributeEditing,
                                 legend::editor::AreaEditors& editors, legend::Prompter& prompter, QWidget* parent)
    : QDialog(parent), model_(head, block, attributeEditing, editors, prompter), prompter_(prompter) {
  setWindowTitle(legend::tr("修改图例参数"));
  buildControls();
  model_.open();
  showModelTexts();
}

void CLegendParamDlg::buildControls() {
  infoGroup_ = new QGroupBox(legend::tr("图例信息") + legend::uiText(model_.typeTag()), this);
  infoGroup_->setObjectName(QStringLiteral("infoGroup"));

  nameEdit_ = makeEdit("nameEdit", kNameChars, infoGroup_);
  descriptionEdit_ = makeEdit("descriptionEdit", kDescriptionChars, infoGroup_);
  classCodeEdit_ = makeEdit("classCodeEdit", kClassCodeChars, infoGroup_);
  // A lone "-" is accepted while typing; the model reads it as 0.
  classCodeEdit_->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?[0-9]*")), classCodeEdit_));

  auto* nameLabel = new QLabel(legend::tr("名称:"), infoGroup_);
  nameLabel->setBuddy(nameEdit_);
  auto* descriptionLabel = new QLabel(legend::tr("描述:"), infoGroup_);
  descriptionLabel->setBuddy(descriptionEdit_);
  auto* classCodeLabel = new QLabel(legend::tr("分类码:"), infoGroup_);
  classCodeLabel->setBuddy(classCodeEdit_);

  graphicButton_ = makeButton(QT_TRANSLATE_NOOP("legend", "图形参数"), "graphicButton", infoGroup_);

  // The attribute buttons sit together in a sunken frame beside the class code.
  auto* attributeFrame = new QFrame(infoGroup_);
  attributeFrame->setObjectName(QStringLiteral("attributeFrame"));
  attributeFrame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  structureButton_ = makeButton(QT_TRANSLATE_NOOP("legend", "属性结构"), "structureButton", attributeFrame);
  contentButton_ = makeButton(QT_TRANSLATE_NOOP("legend", "属性内容"), "contentButton", attributeFrame);
  structureButton_->setEnabled(model_.attributeButtonsEnabled());
  contentButton_->setEnabled(model_.attributeButtonsEnabled());
  auto* attributeLayout = new QHBoxLayout(attributeFrame);
  attributeLayout->addWidget(structureButton_);
  attributeLayout->addWidget(contentButton_);

  auto* grid = new QGridLayout(infoGroup_);
  grid->addWidget(nameLabel, 0, 0);
  grid->addWidget(nameEdit_, 0, 1);
  grid->addWidget(descriptionLabel, 0, 2);
  grid->addWidget(descriptionEdit_, 0, 3);
  grid->addWidget(classCodeLabel, 1, 0);
  grid->addWidget(classCodeEdit_, 1, 1);
  grid->addWidget(graphicButton_, 2, 1);
  grid->addWidget(attributeFrame, 1, 2, 2, 2);
  grid->setColumnStretch(3, 1);

  defaultButton_ = makeButton(QT_TRANSLATE_NOOP("legend", "设为默认值"), "defaultButton", this);
  okButton_ = makeButton(QT_TRANSLATE_NOOP("legend", "确定"), "okButton", this);
  okButton_->setDefault(true);
  cancelButton_ = makeButton(QT_TRANSLATE_NOOP("legend", "取消"), "cancelButton", this);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(defaultButton_);
  buttons->addStretch(1);
  buttons->addWidget(okButton_);
  buttons->addWidget(cancelButton_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(infoGroup_);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  using Model = legend::editor::LegendParamModel;
  connect(graphicButton_, &QPushButton::clicked, this, [this] { runCommand(&Model::editGraphicParameters); });
  connect(structureButton_, &QPushButton::clicked, this, [this] { runCommand(&Model::editAttributeStructure); });
  connect(contentButton_, &QPushButton::clicked, this, [this] { runCommand(&Model::editAttributeContent); });
  connect(defaultButton_, &QPushButton::clicked, this, [this] { runCommand(&Model::setDefault); });
  connect(okButton_, &QPushButton::clicked, this, &CLegendParamDlg::accept);
  connect(cancelButton_, &QPushButton::clicked, this, &CLegendParamDlg::reject);
}

void CLegendParamDlg::showModelTexts() {
  nameEdit_->setText(legend::decodeGbk(model_.name()));
  descriptionEdit_->setText(legend::decodeGbk(model_.description()));
  classCodeEdit_->setText(QString::fromStdString(model_.classCodeText()));
}

void CLegendParamDlg::storeTypedTexts() {
  if (auto name = legend::encodeGbkField(nameEdit_->text())) model_.setName(std::move(name.bytes));
  if (auto description = legend::encodeGbkField(descriptionEdit_->text()))
    model_.setDescription(std::move(description.bytes));
  model_.setClassCodeText(classCodeEdit_->text().toStdString());
}

void CLegendParamDlg::runCommand(void (legend::editor::LegendParamModel::*command)()) {
  storeTypedTexts();
  const std::string name = model_.name();
  const std::string description = model_.description();
  const std::string classCode = model_.classCodeText();
  (model_.*command)();
  // Only replaced texts are shown again: an edit whose text the model could
  // not store keeps it for the user to correct.
  if (model_.name() != name) nameEdit_->setText(legend::decodeGbk(model_.name()));
  if (model_.description() != description) descriptionEdit_->setText(legend::decodeGbk(model_.description()));
  if (model_.classCodeText() != classCode) classCodeEdit_->setText(QString::fromStdString(model_.classCodeText()));
}

void CLegendParamDlg::accept() {
  // Both texts are checked before the model is touched, so a refusal leaves
  // nothing half stored.
  const auto check = [this](QLineEdit* edit, std::string_view notStorable) {
    legend::GbkEncodeResult encoded = legend::encodeGbkField(edit->text());
    if (!encoded) {
      prompter_.inform(encoded.error == legend::GbkFieldError::TooLong ? legend::messages::kTextTooLong : notStorable);
      edit->setFocus();
      edit->selectAll();
    }
    return encoded;
  };
  legend::GbkEncodeResult name = check(nameEdit_, legend::messages::kNameNotStorable);
  if (!name) return;
  legend::GbkEncodeResult description = check(descriptionEdit_, legend::messages::kDescriptionNotStorable);
  if (!description) return;

  model_.setName(std::move(name.bytes));
  model_.setDescription(std::move(description.bytes));
  model_.setClassCodeText(classCodeEdit_->text().toStdString());
  if (model_.ok()) QDialog::accept();
}
