#include "components/areaedit/graphic_editors.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "components/areaedit/palette_picker.h"
#include "components/areaedit/sample_preview.h"
#include "components/areaedit/style_pickers.h"
#include "components/areaedit/symbol_grid.h"
#include "components/codec/utf8_text.h"
#include "components/display/palette.h"
#include "components/display/style_labels.h"
#include "components/display/styles.h"
#include "components/drawing/graphic_records.h"
#include "legendfile/byte_order.h"

namespace {

using namespace legend::areaedit;
using legend::load_le;
using legend::store_le;
using legend::records::PointType;
namespace point = legend::records::point;
namespace line = legend::records::line;
namespace region = legend::records::region;

QColor colourOf(std::uint32_t number) {
  return legend::display::paletteColour(
      number < static_cast<std::uint32_t>(legend::display::kPaletteSize) ? static_cast<int>(number) : -1);
}

/// A number input over one float field of the record. The record may count
/// in finer units than the input shows (the line pattern's eighths and
/// sixteenths of a pixel).
struct FloatInput {
  QDoubleSpinBox* spin = nullptr;
  std::size_t offset = 0;
  double unitsPerShown = 1;
  bool wide = false;  ///< an f64 field rather than f32
};

QGroupBox* group(const QString& title, QWidget* content, QWidget* parent);

/// What the graphic dialogs share: the working copy of the record, the
/// preview drawn from it, the buttons and the bound number inputs. The
/// caller's record is written only after the dialog was accepted, and only
/// the fields some control changed differ from it.
class GraphicDialog : public QDialog {
 public:
  GraphicDialog(std::span<const std::uint8_t> record, std::string_view title, const char* objectName, QWidget* parent)
      : QDialog(parent), original_(record.begin(), record.end()), work_(original_) {
    setObjectName(QString::fromLatin1(objectName));
    setWindowTitle(legend::uiText(title));
  }

  std::span<const std::uint8_t> work() const { return work_; }

 protected:
  SamplePreview* makePreview(SamplePreview::Draw draw) {
    preview_ = new SamplePreview(std::move(draw), this);
    preview_->setObjectName(QStringLiteral("preview"));
    return preview_;
  }

  /// The line and region editors' arrangement: the drawn picker of styles or
  /// patterns on the left, the parameters above the preview on the right,
  /// the buttons below.
  void arrangeWithPicker(const QString& pickerTitle, QWidget* picker, QFormLayout* form, SamplePreview::Draw draw) {
    auto* parameters = new QGroupBox(legend::tr("参数"), this);
    parameters->setLayout(form);
    auto* layout = new QGridLayout(this);
    layout->addWidget(group(pickerTitle, picker, this), 0, 0, 2, 1);
    layout->addWidget(parameters, 0, 1);
    layout->addWidget(group(legend::tr("预览"), makePreview(std::move(draw)), this), 1, 1);
    layout->addWidget(makeButtons(), 2, 0, 1, 2);
    layout->setColumnStretch(0, 1);
  }

  static QFormLayout* parameterForm() {
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return form;
  }

  QDialogButtonBox* makeButtons() {
    auto* buttons = new QDialogButtonBox(this);
    // The library's own words, whatever translations the host has loaded.
    QPushButton* ok = buttons->addButton(legend::tr("确定"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(legend::tr("取消"), QDialogButtonBox::RejectRole);
    ok->setObjectName(QStringLiteral("okButton"));
    cancel->setObjectName(QStringLiteral("cancelButton"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    return buttons;
  }

  QDoubleSpinBox* numberInput(const char* objectName, double minimum, double maximum, int decimals, double step,
                              const QString& suffix) {
    auto* spin = new QDoubleSpinBox(this);
    spin->setObjectName(QString::fromLatin1(objectName));
    spin->setRange(minimum, maximum);
    spin->setDecimals(decimals);
    spin->setSingleStep(step);
    spin->setSuffix(suffix);
    spin->setKeyboardTracking(false);
    spin->setLocale(QLocale::c());
    spin->setAlignment(Qt::AlignRight);
    return spin;
  }

  /// Makes @p spin write the field at @p offset whenever the user changes it.
  FloatInput bindFloat(QDoubleSpinBox* spin, std::size_t offset, double unitsPerShown = 1, bool wide = false) {
    const FloatInput input{spin, offset, unitsPerShown, wide};
    connect(spin, &QDoubleSpinBox::valueChanged, this, [this, input](double shown) {
      storeFloat(input, shown);
      changed();
    });
    return input;
  }

  /// Shows the stored value. One that no input can show (not a number,
  /// infinite, beyond the bounds) is replaced by the nearest bound, which
  /// is then what OK stores: the user sees what will be saved.
  void showFloat(const FloatInput& input) {
    const double stored =
        input.wide ? load_le<double>(work_, input.offset) : static_cast<double>(load_le<float>(work_, input.offset));
    const double shown = stored / input.unitsPerShown;
    const QSignalBlocker blocker(input.spin);
    if (std::isfinite(shown) && shown >= input.spin->minimum() && shown <= input.spin->maximum()) {
      input.spin->setValue(shown);
      return;
    }
    const double fixed =
        std::isnan(shown) ? input.spin->minimum() : std::clamp(shown, input.spin->minimum(), input.spin->maximum());
    input.spin->setValue(fixed);
    storeFloat(input, input.spin->value());
  }

  void storeFloat(const FloatInput& input, double shown) {
    const double stored = shown * input.unitsPerShown;
    if (input.wide)
      store_le<double>(work_, input.offset, stored);
    else
      store_le<float>(work_, input.offset, static_cast<float>(stored));
  }

  void storeColour(std::size_t offset, unsigned colour) {
    store_le<std::uint32_t>(work_, offset, colour);
    changed();
  }

  /// The button shows the palette colour at @p offset and stores the one picked.
  void bindColour(ColourButton* button, std::size_t offset) {
    button->setColour(load_le<std::uint32_t>(work_, offset));
    button->setOnChanged([this, offset](unsigned colour) { storeColour(offset, colour); });
  }

  /// The picker's current row is the 16-bit number at @p offset.
  void bindRow(QListWidget* picker, std::size_t offset) {
    connect(picker, &QListWidget::currentRowChanged, this, [this, offset](int row) {
      if (row < 0) return;
      store_le<std::uint16_t>(work_, offset, static_cast<std::uint16_t>(row));
      changed();
    });
  }

  /// Every change ends here: the preview shows the working copy at once.
  virtual void changed() {
    if (preview_ != nullptr) preview_->update();
  }

  std::vector<std::uint8_t> original_;
  std::vector<std::uint8_t> work_;
  SamplePreview* preview_ = nullptr;
};

QGroupBox* group(const QString& title, QWidget* content, QWidget* parent) {
  auto* box = new QGroupBox(title, parent);
  auto* layout = new QVBoxLayout(box);
  layout->addWidget(content);
  return box;
}

/// The fields of each point type, as ranges of bytes (offset, length)
/// besides the type byte. Going back to the record's own type restores them.
struct ByteRange {
  std::size_t offset;
  std::size_t length;
};
std::vector<ByteRange> pointFields(PointType type) {
  constexpr ByteRange kColour{point::kColour, 4};
  switch (type) {
    case PointType::Annotation: return {{point::kTextHeight, 16}, {point::kAnnotationLayout, 1}, kColour};
    case PointType::Text: return {{point::kTextHeight, 16}, {point::kTextLayout, 1}, kColour};
    case PointType::Symbol: return {{point::kSymbolNumber, 20}, kColour};
    case PointType::Dot: return {{point::kMarkerSize, 8}, kColour};
    case PointType::Ring: return {{point::kMarkerSize, 8}, {point::kPenWidth, 4}, kColour};
    case PointType::Image: return {};
  }
  return {};
}

constexpr int kPointTypeCount = 6;
constexpr int kVisibleSymbolRows = 8;
const char* const kPointTypeLabels[kPointTypeCount] = {
    QT_TRANSLATE_NOOP("legend", "注释"), QT_TRANSLATE_NOOP("legend", "符号"), QT_TRANSLATE_NOOP("legend", "圆点"),
    QT_TRANSLATE_NOOP("legend", "圆圈"), QT_TRANSLATE_NOOP("legend", "图像"), QT_TRANSLATE_NOOP("legend", "文本")};

bool isText(PointType type) { return type == PointType::Annotation || type == PointType::Text; }

class PointDialog : public GraphicDialog {
 public:
  PointDialog(std::span<const std::uint8_t> record, std::string_view title, QWidget* parent)
      : GraphicDialog(record, title, "pointEditor", parent) {
    typeCombo_ = new QComboBox(this);
    typeCombo_->setObjectName(QStringLiteral("pointType"));
    for (int type = 0; type < kPointTypeCount; ++type) typeCombo_->addItem(legend::tr(kPointTypeLabels[type]), type);

    const QString px = legend::tr(" 像素");
    const QString degrees = legend::tr(" 度");
    symbolHeight_ = bindFloat(numberInput("symbolHeight", kMinSize, kMaxSize, 2, 1, px), point::kSymbolHeight);
    symbolWidth_ = bindFloat(numberInput("symbolWidth", kMinSize, kMaxSize, 2, 1, px), point::kSymbolWidth);
    symbolAngle_ = bindFloat(numberInput("symbolAngle", -kMaxAngle, kMaxAngle, 2, 15, degrees), point::kSymbolAngle);
    penWidth_ = bindFloat(numberInput("penWidth", 0, kMaxPenWidth, 2, 0.5, px), point::kPenWidth);
    diameter_ = bindFloat(numberInput("diameter", kMinSize, kMaxSize, 2, 1, px), point::kMarkerSize, 1, true);
    textHeight_ = bindFloat(numberInput("textHeight", kMinSize, kMaxSize, 2, 1, px), point::kTextHeight);
    textWidth_ = bindFloat(numberInput("textWidth", kMinSize, kMaxSize, 2, 1, px), point::kTextWidth);
    textAngle_ = bindFloat(numberInput("textAngle", -kMaxAngle, kMaxAngle, 2, 15, degrees), point::kTextAngle);
    textSpacing_ = bindFloat(numberInput("textSpacing", -kMaxSpacing, kMaxSpacing, 2, 1, px), point::kTextSpacing);
    ringPenWidth_ = bindFloat(numberInput("ringPenWidth", 0, kMaxPenWidth, 2, 0.5, px), point::kPenWidth);
    for (const FloatInput* input : {&penWidth_, &ringPenWidth_})
      input->spin->setToolTip(legend::tr("轮廓线至少画一个像素宽"));

    layoutCombo_ = new QComboBox(this);
    layoutCombo_->setObjectName(QStringLiteral("textLayout"));
    layoutCombo_->addItem(legend::tr("横排"));
    layoutCombo_->addItem(legend::tr("竖排"));
    colourButton_ = new ColourButton(this);
    colourButton_->setObjectName(QStringLiteral("colourButton"));
    imageNote_ = new QLabel(legend::tr("图像点总是显示图像图标,没有可编辑的参数。"), this);
    imageNote_->setObjectName(QStringLiteral("imageNote"));
    imageNote_->setWordWrap(true);

    // Each point type's rows on a page of their own. The stack is as large
    // as its largest page whichever page shows, so changing the type neither
    // resizes the window nor moves the type box from under the pointer.
    std::vector<QLabel*> labels;
    const auto addRow = [&](QFormLayout* rows, const char* label, QWidget* field) {
      labels.push_back(new QLabel(legend::tr(label), this));
      labels.back()->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
      rows->addRow(labels.back(), field);
    };
    QFormLayout* head = rowsOf(nullptr);
    addRow(head, QT_TRANSLATE_NOOP("legend", "类型:"), typeCombo_);
    addRow(head, QT_TRANSLATE_NOOP("legend", "颜色:"), colourButton_);
    pages_ = new QStackedWidget(this);
    pages_->setObjectName(QStringLiteral("pointFields"));
    QFormLayout* symbolRows = rowsOf(pages_);
    addRow(symbolRows, QT_TRANSLATE_NOOP("legend", "高度:"), symbolHeight_.spin);
    addRow(symbolRows, QT_TRANSLATE_NOOP("legend", "宽度:"), symbolWidth_.spin);
    addRow(symbolRows, QT_TRANSLATE_NOOP("legend", "角度:"), symbolAngle_.spin);
    addRow(symbolRows, QT_TRANSLATE_NOOP("legend", "线宽:"), penWidth_.spin);
    markerRows_ = rowsOf(pages_);
    addRow(markerRows_, QT_TRANSLATE_NOOP("legend", "直径:"), diameter_.spin);
    addRow(markerRows_, QT_TRANSLATE_NOOP("legend", "线宽:"), ringPenWidth_.spin);
    QFormLayout* textRows = rowsOf(pages_);
    addRow(textRows, QT_TRANSLATE_NOOP("legend", "字高:"), textHeight_.spin);
    addRow(textRows, QT_TRANSLATE_NOOP("legend", "字宽:"), textWidth_.spin);
    addRow(textRows, QT_TRANSLATE_NOOP("legend", "角度:"), textAngle_.spin);
    addRow(textRows, QT_TRANSLATE_NOOP("legend", "字间距:"), textSpacing_.spin);
    addRow(textRows, QT_TRANSLATE_NOOP("legend", "排列:"), layoutCombo_);
    rowsOf(pages_)->addRow(imageNote_);
    rowsOf(pages_);  // a type no editor knows has no rows
    // Labels of one width, so the rows of every page line up with the head's.
    int widest = 0;
    for (const QLabel* label : labels) widest = std::max(widest, label->sizeHint().width());
    for (QLabel* label : labels) label->setMinimumWidth(widest);

    auto* parameters = new QGroupBox(legend::tr("参数"), this);
    auto* parameterLayout = new QVBoxLayout(parameters);
    parameterLayout->addLayout(head);
    parameterLayout->addWidget(pages_);

    symbolGrid_ = new SymbolGrid;
    symbolGrid_->setObjectName(QStringLiteral("symbolGrid"));
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("symbolScroll"));
    scroll->setWidget(symbolGrid_);
    scroll->ensurePolished();  // the frame's width comes from the style
    // The whole library in view when it is small enough, so nothing hides
    // below the fold; a larger library scrolls.
    const int visibleHeight = kVisibleSymbolRows * SymbolGrid::kCellSize + 1;
    const bool fits = symbolGrid_->height() <= visibleHeight;
    const int frame = 2 * scroll->frameWidth();
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(fits ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAlwaysOn);
    scroll->setFixedSize(symbolGrid_->width() + frame + (fits ? 0 : scroll->verticalScrollBar()->sizeHint().width()),
                         std::min(symbolGrid_->height(), visibleHeight) + frame);
    // Titled from the start: a group without a title is shorter.
    symbolGroup_ = group(legend::tr("符号"), scroll, this);
    // Only symbols choose from the library; for the other types its place
    // stays empty rather than the window shrinking.
    QSizePolicy keepPlace = symbolGroup_->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    symbolGroup_->setSizePolicy(keepPlace);

    auto* previewGroup = group(
        legend::tr("预览"), makePreview([this](KernelDriver& driver, QSize area) {
          drawPointPreview(driver, legend::PointRecordBytes(work_.data(), legend::layout::kPointRecordSize), area);
        }),
        this);

    auto* layout = new QGridLayout(this);
    layout->addWidget(parameters, 0, 0);
    layout->addWidget(previewGroup, 0, 1);
    layout->addWidget(symbolGroup_, 1, 0, 1, 2);
    layout->addWidget(makeButtons(), 2, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(typeCombo_, &QComboBox::currentIndexChanged, this, [this](int index) { changeType(index); });
    connect(layoutCombo_, &QComboBox::currentIndexChanged, this, [this](int index) {
      work_[layoutOffset()] = static_cast<std::uint8_t>(index);
      changed();
    });
    colourButton_->setOnChanged([this](unsigned colour) {
      symbolGrid_->setSymbolColour(colourOf(colour));
      storeColour(point::kColour, colour);
    });
    symbolGrid_->setOnChosen([this](int number) {
      store_le<std::uint32_t>(work_, point::kSymbolNumber, static_cast<std::uint32_t>(number));
      showSymbolName();
      changed();
    });

    const int type = work_[point::kType];
    {
      const QSignalBlocker blocker(typeCombo_);
      // A type no editor knows shows no choice and keeps its byte until one is made.
      typeCombo_->setCurrentIndex(type < kPointTypeCount ? type : -1);
    }
    showFields();
  }

 private:
  PointType type() const { return static_cast<PointType>(work_[point::kType]); }
  std::size_t layoutOffset() const {
    return type() == PointType::Annotation ? point::kAnnotationLayout : point::kTextLayout;
  }

  void changeType(int index) {
    if (index < 0 || index >= kPointTypeCount) return;
    const auto fresh = static_cast<PointType>(index);
    const auto own = static_cast<PointType>(original_[point::kType]);
    work_[point::kType] = static_cast<std::uint8_t>(index);
    if (fresh == own) {
      for (const ByteRange& range : pointFields(fresh))
        std::copy_n(original_.begin() + static_cast<std::ptrdiff_t>(range.offset), range.length,
                    work_.begin() + static_cast<std::ptrdiff_t>(range.offset));
    } else {
      writeDefaults(fresh);
    }
    showFields();
    changed();
  }

  /// The old bytes of the overlapping fields mean something else under the
  /// new type, so they are replaced rather than shown as, say, a diameter
  /// made of a symbol number and a height.
  void writeDefaults(PointType fresh) {
    switch (fresh) {
      case PointType::Annotation:
      case PointType::Text:
        store_le<float>(work_, point::kTextHeight, kDefaultPointSize);
        store_le<float>(work_, point::kTextWidth, kDefaultPointSize);
        store_le<float>(work_, point::kTextAngle, 0);
        store_le<float>(work_, point::kTextSpacing, 0);
        work_[fresh == PointType::Annotation ? point::kAnnotationLayout : point::kTextLayout] = 0;
        break;
      case PointType::Symbol:
        store_le<std::uint32_t>(work_, point::kSymbolNumber, kDefaultSymbol);
        store_le<float>(work_, point::kSymbolHeight, kDefaultPointSize);
        store_le<float>(work_, point::kSymbolWidth, kDefaultPointSize);
        store_le<float>(work_, point::kSymbolAngle, 0);
        store_le<float>(work_, point::kPenWidth, kDefaultPenWidth);
        break;
      case PointType::Dot: store_le<double>(work_, point::kMarkerSize, kDefaultDiameter); break;
      case PointType::Ring:
        store_le<double>(work_, point::kMarkerSize, kDefaultDiameter);
        store_le<float>(work_, point::kPenWidth, kDefaultPenWidth);
        break;
      case PointType::Image: return;
    }
    // An image or unknown point may carry anything at the colour's offset.
    if (load_le<std::uint32_t>(work_, point::kColour) >= static_cast<std::uint32_t>(legend::display::kPaletteSize))
      store_le<std::uint32_t>(work_, point::kColour, kDefaultPointColour);
  }

  /// Shows the page of the current type, filled from the working copy.
  void showFields() {
    const int raw = work_[point::kType];
    const bool known = raw < kPointTypeCount;
    const PointType t = type();
    const bool symbol = known && t == PointType::Symbol;
    const bool marker = known && (t == PointType::Dot || t == PointType::Ring);
    const bool text = known && isText(t);
    const bool image = known && t == PointType::Image;
    pages_->setCurrentIndex(static_cast<int>(symbol   ? Page::Symbol
                                             : marker ? Page::Marker
                                             : text   ? Page::Text
                                             : image  ? Page::Image
                                                      : Page::None));
    markerRows_->setRowVisible(ringPenWidth_.spin, known && t == PointType::Ring);
    // An image's colour means nothing, yet its row keeps its place.
    colourButton_->setEnabled(known && !image);
    symbolGroup_->setVisible(symbol);

    if (symbol) {
      for (const FloatInput* input : {&symbolHeight_, &symbolWidth_, &symbolAngle_, &penWidth_}) showFloat(*input);
      symbolGrid_->setSymbol(
          static_cast<int>(std::min<std::uint32_t>(load_le<std::uint32_t>(work_, point::kSymbolNumber), 0x7fffffff)));
      showSymbolName();
    } else if (marker) {
      showFloat(diameter_);
      if (t == PointType::Ring) showFloat(ringPenWidth_);
    } else if (text) {
      for (const FloatInput* input : {&textHeight_, &textWidth_, &textAngle_, &textSpacing_}) showFloat(*input);
      const QSignalBlocker blocker(layoutCombo_);
      layoutCombo_->setCurrentIndex(work_[layoutOffset()] == 0 ? 0 : 1);
    }
    const std::uint32_t colour = load_le<std::uint32_t>(work_, point::kColour);
    colourButton_->setColour(colour);
    symbolGrid_->setSymbolColour(colourOf(colour));
  }

  /// A form of right-aligned labels; with @p pages, the form of a new page.
  static QFormLayout* rowsOf(QStackedWidget* pages) {
    auto* rows = new QFormLayout;
    rows->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    rows->setFormAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (pages != nullptr) {
      auto* page = new QWidget(pages);
      page->setLayout(rows);
      rows->setContentsMargins(0, 0, 0, 0);
      pages->addWidget(page);
    }
    return rows;
  }

  /// The group names the stored number, which may be one the library
  /// lacks and draws as symbol 1.
  void showSymbolName() {
    const std::uint32_t stored = load_le<std::uint32_t>(work_, point::kSymbolNumber);
    const int shown = symbolGrid_->symbol();
    QString title = legend::tr("符号 %1  %2").arg(shown).arg(legend::display::pointSymbolLabel(shown));
    if (stored != static_cast<std::uint32_t>(shown))
      title = legend::tr("符号 %1 (符号库中没有,显示为 %2)").arg(stored).arg(shown);
    symbolGroup_->setTitle(title);
  }

  /// The pages of pages_, in the order they are added.
  enum class Page { Symbol, Marker, Text, Image, None };

  QComboBox* typeCombo_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  QFormLayout* markerRows_ = nullptr;
  FloatInput symbolHeight_, symbolWidth_, symbolAngle_, penWidth_, ringPenWidth_, diameter_;
  FloatInput textHeight_, textWidth_, textAngle_, textSpacing_;
  QComboBox* layoutCombo_ = nullptr;
  ColourButton* colourButton_ = nullptr;
  QLabel* imageNote_ = nullptr;
  SymbolGrid* symbolGrid_ = nullptr;
  QGroupBox* symbolGroup_ = nullptr;
};

class LineDialog : public GraphicDialog {
 public:
  LineDialog(std::span<const std::uint8_t> record, std::string_view title, QWidget* parent)
      : GraphicDialog(record, title, "lineEditor", parent) {
    styles_ = new LineStyleList(this);
    styles_->setObjectName(QStringLiteral("lineStyle"));
    styles_->setMinimumWidth(styles_->iconSize().width() + 150);
    colourButton_ = new ColourButton(this);
    colourButton_->setObjectName(QStringLiteral("colourButton"));
    secondColourButton_ = new ColourButton(this);
    secondColourButton_->setObjectName(QStringLiteral("secondColourButton"));
    secondColourButton_->setToolTip(legend::tr("双色线型的第二种颜色"));

    const QString px = legend::tr(" 像素");
    const FloatInput penWidth = bindFloat(numberInput("penWidth", 0, kMaxPenWidth, 2, 0.5, px), line::kPenWidth);
    // Shown in pixels; the record counts eighths (along) and sixteenths
    // (across) of a pixel, which the decimals hold exactly.
    const double lengthStep = 1.0 / line::kPatternLengthUnits;
    const double widthStep = 1.0 / line::kPatternWidthUnits;
    const FloatInput length = bindFloat(numberInput("patternLength", lengthStep, kMaxSize, 3, lengthStep, px),
                                        line::kPatternLength, line::kPatternLengthUnits);
    const FloatInput width = bindFloat(numberInput("patternWidth", 0, kMaxSize, 4, widthStep, px), line::kPatternWidth,
                                       line::kPatternWidthUnits);
    length.spin->setToolTip(legend::tr("线型图案重复一次的长度;记录以 1/8 像素为单位"));
    width.spin->setToolTip(legend::tr("线型图案横跨线的宽度;记录以 1/16 像素为单位"));

    QFormLayout* form = parameterForm();
    form->addRow(legend::tr("颜色:"), colourButton_);
    form->addRow(legend::tr("第二颜色:"), secondColourButton_);
    form->addRow(legend::tr("线宽:"), penWidth.spin);
    form->addRow(legend::tr("图案长度:"), length.spin);
    form->addRow(legend::tr("图案宽度:"), width.spin);
    arrangeWithPicker(legend::tr("线型"), styles_, form, [this](KernelDriver& driver, QSize area) {
      drawLinePreview(driver, legend::LineRecordBytes(work_.data(), legend::layout::kLineRecordSize), area);
    });

    bindRow(styles_, line::kStyle);
    bindColour(colourButton_, line::kColour);
    bindColour(secondColourButton_, line::kSecondColour);

    for (const FloatInput& input : {penWidth, length, width}) showFloat(input);
    styles_->setStyle(load_le<std::uint16_t>(work_, line::kStyle));
    showColours();
  }

 private:
  void changed() override {
    showColours();
    GraphicDialog::changed();
  }
  void showColours() {
    styles_->setColours(colourOf(load_le<std::uint32_t>(work_, line::kColour)),
                        colourOf(load_le<std::uint32_t>(work_, line::kSecondColour)));
  }

  LineStyleList* styles_ = nullptr;
  ColourButton* colourButton_ = nullptr;
  ColourButton* secondColourButton_ = nullptr;
};

class RegionDialog : public GraphicDialog {
 public:
  RegionDialog(std::span<const std::uint8_t> record, std::string_view title, QWidget* parent)
      : GraphicDialog(record, title, "regionEditor", parent) {
    swatches_ = new PatternSwatches(this);
    swatches_->setObjectName(QStringLiteral("fillPattern"));
    colourButton_ = new ColourButton(this);
    colourButton_->setObjectName(QStringLiteral("colourButton"));
    patternColourButton_ = new ColourButton(this);
    patternColourButton_->setObjectName(QStringLiteral("patternColourButton"));
    patternColourButton_->setToolTip(legend::tr("图案的颜色,也是区域边线的颜色"));

    const QString px = legend::tr(" 像素");
    // A pattern cell under a pixel would flood the region with marks.
    const FloatInput width = bindFloat(numberInput("patternWidth", 1, kMaxSize, 2, 1, px), region::kPatternSize);
    const FloatInput height = bindFloat(numberInput("patternHeight", 1, kMaxSize, 2, 1, px), region::kPatternHeight);
    height.spin->setToolTip(legend::tr("图例板的样例按宽度画正方形的图案单元"));

    QFormLayout* form = parameterForm();
    form->addRow(legend::tr("填充颜色:"), colourButton_);
    form->addRow(legend::tr("图案颜色:"), patternColourButton_);
    form->addRow(legend::tr("图案宽度:"), width.spin);
    form->addRow(legend::tr("图案高度:"), height.spin);
    arrangeWithPicker(legend::tr("图案"), swatches_, form, [this](KernelDriver& driver, QSize area) {
      drawRegionPreview(driver, legend::RegionRecordBytes(work_.data(), legend::layout::kRegionRecordSize), area);
    });

    bindRow(swatches_, region::kPattern);
    bindColour(colourButton_, region::kFillColour);
    bindColour(patternColourButton_, region::kPatternColour);

    for (const FloatInput& input : {width, height}) showFloat(input);
    swatches_->setPattern(load_le<std::uint16_t>(work_, region::kPattern));
    showColours();
  }

 private:
  void changed() override {
    showColours();
    GraphicDialog::changed();
  }
  void showColours() {
    swatches_->setColours(colourOf(load_le<std::uint32_t>(work_, region::kFillColour)),
                          colourOf(load_le<std::uint32_t>(work_, region::kPatternColour)));
  }

  PatternSwatches* swatches_ = nullptr;
  ColourButton* colourButton_ = nullptr;
  ColourButton* patternColourButton_ = nullptr;
};

/// Runs @p dialog and, when accepted, copies its working record to @p record.
bool runDialog(GraphicDialog& dialog, std::span<std::uint8_t> record) {
  if (dialog.exec() != QDialog::Accepted) return false;
  const std::span<const std::uint8_t> work = dialog.work();
  std::copy(work.begin(), work.end(), record.begin());
  return true;
}

}  // namespace

bool EditPntInfo(std::span<std::uint8_t, legend::layout::kPointRecordSize> record, std::string_view title,
                 QWidget* parent) {
  PointDialog dialog(record, title, parent);
  return runDialog(dialog, record);
}

bool EditLinInfo(std::span<std::uint8_t, legend::layout::kLineRecordSize> record, std::string_view title,
                 QWidget* parent) {
  LineDialog dialog(record, title, parent);
  return runDialog(dialog, record);
}

bool EditRegInfo(std::span<std::uint8_t, legend::layout::kRegionRecordSize> record, std::string_view title,
                 QWidget* parent) {
  RegionDialog dialog(record, title, parent);
  return runDialog(dialog, record);
}
