#include "export/qgis_style.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include <QXmlStreamWriter>

#include "export/svg_document.h"
#include "export/symbol_recipe.h"

namespace legend::exporter {
namespace {

// Sizes go out in millimetres, QGIS's own unit, which keeps symbols the same
// on screen and in print. A pixel of the pad's drawing is a CSS pixel,
// 1/96 inch.
constexpr double kMillimetresPerPixel = 25.4 / 96;
const QString kUnit = QStringLiteral("MM");

enum class Rounding { Nearest, Up };

/// @p pixels in millimetres, to the six significant digits QGIS keeps.
/// Sizes are rounded up: QGIS draws pattern tiles and pictures in whole
/// pixels, rounding down, and a 16-pixel tile kept as 15.9999 pixels would
/// come out 15 pixels wide and blurred. Distances along a line are rounded
/// to the nearest, so a line a whole number of repeats long keeps its last.
QString mm(double pixels, Rounding rounding = Rounding::Up) {
  constexpr int kDigits = 6;
  const double millimetres = pixels * kMillimetresPerPixel;
  if (!std::isfinite(millimetres) || millimetres == 0) return QStringLiteral("0");
  const int decimals = std::max(0, kDigits - 1 - static_cast<int>(std::floor(std::log10(std::abs(millimetres)))));
  const double scale = std::pow(10.0, decimals);
  const double magnitude = std::abs(millimetres) * scale;
  const double rounded = (rounding == Rounding::Up ? std::ceil(magnitude) : std::round(magnitude)) / scale;
  return lengthText(std::copysign(rounded, millimetres), decimals);
}

QString colourText(const QColor& colour) {
  if (!colour.isValid()) return QStringLiteral("0,0,0,0");
  return QStringLiteral("%1,%2,%3,%4").arg(colour.red()).arg(colour.green()).arg(colour.blue()).arg(colour.alpha());
}

QString svgPath(const QByteArray& svg) { return QStringLiteral("base64:") + QString::fromLatin1(svg.toBase64()); }

/// One symbol layer: its class, its properties and an optional sub-symbol.
class Layer {
 public:
  explicit Layer(QString className) : class_(std::move(className)) {}
  Layer& set(const QString& key, const QString& value) {
    properties_.emplace_back(key, value);
    return *this;
  }
  Layer& set(const char* key, const QString& value) { return set(QString::fromLatin1(key), value); }
  Layer& length(const char* key, double pixels, const char* unitKey, Rounding rounding = Rounding::Up) {
    set(key, mm(pixels, rounding));
    return set(unitKey, kUnit);
  }

  /// Writes the layer; @p sub, when given, writes its sub-symbol.
  template <typename Sub>
  void write(QXmlStreamWriter& xml, Sub sub) const {
    xml.writeStartElement(QStringLiteral("layer"));
    xml.writeAttribute(QStringLiteral("class"), class_);
    xml.writeAttribute(QStringLiteral("enabled"), QStringLiteral("1"));
    xml.writeAttribute(QStringLiteral("locked"), QStringLiteral("0"));
    xml.writeAttribute(QStringLiteral("pass"), QStringLiteral("0"));
    // QGIS 3.16 and later read the option map, older ones the props; QGIS
    // writes both and so do we.
    xml.writeStartElement(QStringLiteral("Option"));
    xml.writeAttribute(QStringLiteral("type"), QStringLiteral("Map"));
    for (const auto& [key, value] : properties_) {
      xml.writeEmptyElement(QStringLiteral("Option"));
      xml.writeAttribute(QStringLiteral("name"), key);
      xml.writeAttribute(QStringLiteral("value"), value);
      xml.writeAttribute(QStringLiteral("type"), QStringLiteral("QString"));
    }
    xml.writeEndElement();
    for (const auto& [key, value] : properties_) {
      xml.writeEmptyElement(QStringLiteral("prop"));
      xml.writeAttribute(QStringLiteral("k"), key);
      xml.writeAttribute(QStringLiteral("v"), value);
    }
    sub();
    xml.writeEndElement();
  }
  void write(QXmlStreamWriter& xml) const {
    write(xml, [] {});
  }

 private:
  QString class_;
  std::vector<std::pair<QString, QString>> properties_;
};

/// Starts a symbol; a symbol of the library has @p tags, a sub-symbol none.
void startSymbol(QXmlStreamWriter& xml, const QString& name, const char* type, const QString& tags = {}) {
  xml.writeStartElement(QStringLiteral("symbol"));
  xml.writeAttribute(QStringLiteral("name"), name);
  if (!tags.isEmpty()) xml.writeAttribute(QStringLiteral("tags"), tags);
  xml.writeAttribute(QStringLiteral("type"), QString::fromLatin1(type));
  xml.writeAttribute(QStringLiteral("alpha"), QStringLiteral("1"));
  xml.writeAttribute(QStringLiteral("clip_to_extent"), QStringLiteral("1"));
  xml.writeAttribute(QStringLiteral("force_rhr"), QStringLiteral("0"));
}

/// Sub-symbols are named after their owner, as QGIS names them.
QString subSymbolName(const QString& owner, int layer) { return QStringLiteral("@%1@%2").arg(owner).arg(layer); }

Layer markLayer(const Mark& mark) {
  if (mark.shape == Mark::Shape::Picture) {
    Layer layer(QStringLiteral("SvgMarker"));
    layer.set("name", svgPath(mark.svg)).length("size", mark.size, "size_unit");
    layer.set("fixedAspectRatio", QStringLiteral("0")).set("scale_method", QStringLiteral("diameter"));
    layer.set("angle", QStringLiteral("0")).set("offset", QStringLiteral("0,0")).set("offset_unit", kUnit);
    layer.set("color", colourText(Qt::black)).set("outline_width", QStringLiteral("0"));
    return layer;
  }
  Layer layer(QStringLiteral("SimpleMarker"));
  layer.set("name", mark.shape == Mark::Shape::Cross ? QStringLiteral("cross2") : QStringLiteral("circle"));
  layer.length("size", mark.size, "size_unit").set("scale_method", QStringLiteral("diameter"));
  layer.set("color", colourText(mark.fill)).set("outline_color", colourText(mark.stroke));
  layer.set("outline_style", mark.stroke.isValid() ? QStringLiteral("solid") : QStringLiteral("no"));
  layer.length("outline_width", mark.stroke.isValid() ? mark.strokeWidth : 0, "outline_width_unit");
  layer.set("cap_style", QStringLiteral("flat")).set("joinstyle", QStringLiteral("miter"));
  layer.set("angle", QStringLiteral("0")).set("offset", QStringLiteral("0,0")).set("offset_unit", kUnit);
  return layer;
}

void writeMarkerSymbol(QXmlStreamWriter& xml, const QString& name, const std::vector<Mark>& marks,
                       const QString& tags = {}) {
  startSymbol(xml, name, "marker", tags);
  for (const Mark& mark : marks) markLayer(mark).write(xml);
  xml.writeEndElement();
}

Layer strokeLayer(const Stroke& stroke) {
  Layer layer(QStringLiteral("SimpleLine"));
  layer.set("line_color", colourText(stroke.colour)).length("line_width", stroke.width, "line_width_unit");
  layer.set("line_style", stroke.width > 0 ? QStringLiteral("solid") : QStringLiteral("no"));
  QStringList dashes;
  for (double dash : stroke.dashes) dashes << mm(dash);
  layer.set("use_custom_dash", dashes.isEmpty() ? QStringLiteral("0") : QStringLiteral("1"));
  layer.set("customdash", dashes.isEmpty() ? QStringLiteral("5;2") : dashes.join(QLatin1Char(';')));
  layer.set("customdash_unit", kUnit);
  // QGIS offsets a line to the right of its direction for a positive value.
  layer.length("offset", -stroke.offset, "offset_unit");
  layer.set("capstyle", QStringLiteral("flat")).set("joinstyle", QStringLiteral("round"));
  return layer;
}

void writeLineSymbol(QXmlStreamWriter& xml, const QString& name, const std::vector<LineLayer>& lines,
                     const QString& tags) {
  startSymbol(xml, name, "line", tags);
  int index = 0;
  for (const LineLayer& line : lines) {
    ++index;
    if (const auto* stroke = std::get_if<Stroke>(&line)) {
      strokeLayer(*stroke).write(xml);
      continue;
    }
    const auto& marks = std::get<MarksAlong>(line);
    Layer layer(QStringLiteral("MarkerLine"));
    layer.set("placement", QStringLiteral("interval")).set("rotate", QStringLiteral("1"));
    layer.length("interval", marks.interval, "interval_unit", Rounding::Nearest);
    layer.length("offset_along_line", marks.offsetAlong, "offset_along_line_unit", Rounding::Nearest);
    layer.set("offset", QStringLiteral("0")).set("offset_unit", kUnit);
    layer.write(xml, [&] { writeMarkerSymbol(xml, subSymbolName(name, index), {marks.mark}); });
  }
  xml.writeEndElement();
}

void writeFillSymbol(QXmlStreamWriter& xml, const QString& name, const std::vector<FillLayer>& fills,
                     const QString& tags) {
  startSymbol(xml, name, "fill", tags);
  int index = 0;
  for (const FillLayer& fill : fills) {
    ++index;
    const QString sub = subSymbolName(name, index);
    if (const auto* plain = std::get_if<Fill>(&fill)) {
      Layer layer(QStringLiteral("SimpleFill"));
      layer.set("color", colourText(plain->colour)).set("style", QStringLiteral("solid"));
      layer.set("outline_color", colourText(plain->outline)).set("outline_style", QStringLiteral("solid"));
      layer.length("outline_width", plain->outlineWidth, "outline_width_unit");
      layer.set("joinstyle", QStringLiteral("miter")).set("offset", QStringLiteral("0,0")).set("offset_unit", kUnit);
      layer.write(xml);
    } else if (const auto* hatch = std::get_if<Hatch>(&fill)) {
      Layer layer(QStringLiteral("LinePatternFill"));
      layer.set("angle", lengthText(hatch->angle)).length("distance", hatch->distance, "distance_unit");
      layer.set("color", colourText(hatch->colour)).length("line_width", hatch->width, "line_width_unit");
      layer.length("offset", hatch->offset, "offset_unit");
      layer.write(xml, [&] {
        startSymbol(xml, sub, "line");
        strokeLayer(Stroke{hatch->colour, hatch->width, {}, 0}).write(xml);
        xml.writeEndElement();
      });
    } else if (const auto* grid = std::get_if<DotGrid>(&fill)) {
      Layer layer(QStringLiteral("PointPatternFill"));
      layer.length("distance_x", grid->distanceX, "distance_x_unit");
      layer.length("distance_y", grid->distanceY, "distance_y_unit");
      layer.length("displacement_x", grid->shiftX, "displacement_x_unit");
      layer.length("displacement_y", 0, "displacement_y_unit");
      layer.length("offset_x", grid->offsetX, "offset_x_unit");
      layer.length("offset_y", grid->offsetY, "offset_y_unit");
      layer.write(xml, [&] { writeMarkerSymbol(xml, sub, {grid->mark}); });
    } else {
      const auto& tile = std::get<TileFill>(fill);
      Layer layer(QStringLiteral("SVGFill"));
      layer.set("svgFile", svgPath(tile.svg)).length("width", tile.width, "pattern_width_unit");
      layer.set("angle", QStringLiteral("0")).set("color", colourText(Qt::black));
      layer.set("outline_width", QStringLiteral("0"));
      // Without a sub-symbol QGIS would outline the pattern's area with its
      // default line; the outline is the plain fill's.
      layer.write(xml, [&] {
        startSymbol(xml, sub, "line");
        Layer none(QStringLiteral("SimpleLine"));
        none.set("line_style", QStringLiteral("no")).set("line_width", QStringLiteral("0"));
        none.write(xml);
        xml.writeEndElement();
      });
    }
  }
  xml.writeEndElement();
}

}  // namespace

QByteArray qgisStyleXml(const std::vector<ExportedLegend>& legends) {
  const std::vector<QString> names = uniqueNames(legends);
  QByteArray out;
  QXmlStreamWriter xml(&out);
  xml.setAutoFormatting(true);
  xml.setAutoFormattingIndent(2);
  xml.writeStartDocument();
  xml.writeDTD(QStringLiteral("<!DOCTYPE qgis_style>"));
  xml.writeStartElement(QStringLiteral("qgis_style"));
  xml.writeAttribute(QStringLiteral("version"), QStringLiteral("2"));
  xml.writeStartElement(QStringLiteral("symbols"));
  for (std::size_t i = 0; i < legends.size(); ++i) {
    const ExportedLegend& legend = legends[i];
    const SymbolRecipe recipe = recipeFor(legend.sample, legend.cell, Vocabulary::QgisLayers);
    // QGIS splits tags at commas; neither of these can hold one.
    const QString tags = QStringLiteral("class_code %1,%2").arg(legend.classCode).arg(typeName(legend.entry.type));
    switch (recipe.kind) {
      case SymbolKind::Marker: writeMarkerSymbol(xml, names[i], recipe.marks, tags); break;
      case SymbolKind::Line: writeLineSymbol(xml, names[i], recipe.lines, tags); break;
      case SymbolKind::Fill: writeFillSymbol(xml, names[i], recipe.fills, tags); break;
    }
  }
  xml.writeEndElement();
  xml.writeEmptyElement(QStringLiteral("colorramps"));
  xml.writeEndElement();
  xml.writeEndDocument();
  return out;
}

}  // namespace legend::exporter
