#include "export/sld.h"

#include <QHash>
#include <QXmlStreamWriter>

#include "export/svg_document.h"
#include "export/symbol_recipe.h"
#include "export/xml_text.h"

namespace legend::exporter {
namespace {

const QString kSld = QStringLiteral("http://www.opengis.net/sld");
const QString kSe = QStringLiteral("http://www.opengis.net/se");
const QString kOgc = QStringLiteral("http://www.opengis.net/ogc");
const QString kXlink = QStringLiteral("http://www.w3.org/1999/xlink");
const QString kXsi = QStringLiteral("http://www.w3.org/2001/XMLSchema-instance");

QString hexColour(const QColor& colour) { return colour.name(QColor::HexRgb); }

class SldWriter {
 public:
  explicit SldWriter(QByteArray* out) : xml_(out) {
    xml_.setAutoFormatting(true);
    xml_.setAutoFormattingIndent(1);
  }

  QXmlStreamWriter& xml() { return xml_; }

  void se(const char* name) { xml_.writeStartElement(kSe, QString::fromLatin1(name)); }
  void end() { xml_.writeEndElement(); }
  void seText(const char* name, const QString& text) { xml_.writeTextElement(kSe, QString::fromLatin1(name), text); }
  void parameter(const char* name, const QString& value) {
    xml_.writeStartElement(kSe, QStringLiteral("SvgParameter"));
    xml_.writeAttribute(QStringLiteral("name"), QString::fromLatin1(name));
    xml_.writeCharacters(value);
    xml_.writeEndElement();
  }

  void fill(const QColor& colour) {
    se("Fill");
    if (colour.isValid() && colour.alpha() > 0) {
      parameter("fill", hexColour(colour));
      if (colour.alpha() < 255) parameter("fill-opacity", lengthText(colour.alphaF()));
    } else {
      parameter("fill-opacity", QStringLiteral("0"));
    }
    end();
  }

  void stroke(const QColor& colour, double width, const std::vector<double>& dashes = {}) {
    se("Stroke");
    parameter("stroke", hexColour(colour));
    parameter("stroke-width", lengthText(width));
    parameter("stroke-linejoin", QStringLiteral("round"));
    parameter("stroke-linecap", QStringLiteral("butt"));
    if (!dashes.empty()) {
      QStringList lengths;
      for (double dash : dashes) lengths << lengthText(dash);
      parameter("stroke-dasharray", lengths.join(QLatin1Char(' ')));
    }
    end();
  }

  /// A picture embedded in the document, twice: as a base64: resource,
  /// which QGIS reads (and which, being the first, it takes), then as the
  /// inline content of Symbology Encoding, for everyone else. Readers use
  /// the first graphic they can show.
  void externalGraphics(const QByteArray& svg) {
    const QString base64 = QString::fromLatin1(svg.toBase64());
    const QString format = QStringLiteral("image/svg+xml");
    se("ExternalGraphic");
    xml_.writeEmptyElement(kSe, QStringLiteral("OnlineResource"));
    xml_.writeAttribute(kXlink, QStringLiteral("type"), QStringLiteral("simple"));
    xml_.writeAttribute(kXlink, QStringLiteral("href"), QStringLiteral("base64:") + base64);
    seText("Format", format);
    end();
    se("ExternalGraphic");
    se("InlineContent");
    xml_.writeAttribute(QStringLiteral("encoding"), QStringLiteral("base64"));
    xml_.writeCharacters(base64);
    end();
    seText("Format", format);
    end();
  }

  void mark(const char* wellKnownName, const QColor& fillColour, const QColor& strokeColour, double strokeWidth) {
    se("Mark");
    seText("WellKnownName", QString::fromLatin1(wellKnownName));
    fill(fillColour);
    if (strokeColour.isValid()) stroke(strokeColour, strokeWidth);
    end();
  }

  void graphic(const Mark& m) {
    se("Graphic");
    double size = m.size;
    if (m.shape == Mark::Shape::Picture) {
      externalGraphics(m.svg);
      // Last of all a dot in the symbol's colour; it also makes QGIS read a
      // picture along a line as marks rather than as a plain line.
      mark("circle", m.fallbackColour, QColor(), 0);
      // The size of a graphic is its height; pictures are square.
      size = m.pictureHeight;
    } else {
      mark(m.shape == Mark::Shape::Cross ? "x" : "circle", m.fill, m.stroke, m.strokeWidth);
    }
    seText("Size", lengthText(size));
    end();
  }

  void pointSymbolizers(const std::vector<Mark>& marks) {
    for (const Mark& mark : marks) {
      se("PointSymbolizer");
      graphic(mark);
      end();
    }
  }

  void lineSymbolizers(const std::vector<LineLayer>& lines) {
    for (const LineLayer& line : lines) {
      se("LineSymbolizer");
      if (const auto* plain = std::get_if<Stroke>(&line)) {
        stroke(plain->colour, plain->width, plain->dashes);
        // Symbology Encoding offsets to the left for a positive value, as
        // the recipe does.
        if (plain->offset != 0) seText("PerpendicularOffset", lengthText(plain->offset));
      } else {
        const auto& marks = std::get<MarksAlong>(line);
        se("Stroke");
        se("GraphicStroke");
        graphic(marks.mark);
        seText("InitialGap", lengthText(marks.offsetAlong));
        seText("Gap", lengthText(marks.interval));
        end();
        end();
      }
      end();
    }
  }

  void polygonSymbolizers(const std::vector<FillLayer>& fills) {
    const Fill* plain = nullptr;
    for (const FillLayer& layer : fills) {
      se("PolygonSymbolizer");
      if (const auto* f = std::get_if<Fill>(&layer)) {
        plain = f;
        fill(f->colour);
      } else if (const auto* tile = std::get_if<TileFill>(&layer)) {
        se("Fill");
        se("GraphicFill");
        se("Graphic");
        externalGraphics(tile->svg);
        seText("Size", lengthText(tile->width));
        end();
        end();
        end();
      }
      end();
    }
    // The outline goes over the pattern, as the pad draws it.
    if (plain != nullptr && plain->outline.isValid()) {
      se("PolygonSymbolizer");
      stroke(plain->outline, plain->outlineWidth);
      end();
    }
  }

  void filter(const QString& attribute, std::int32_t classCode) {
    xml_.writeStartElement(kOgc, QStringLiteral("Filter"));
    xml_.writeStartElement(kOgc, QStringLiteral("PropertyIsEqualTo"));
    xml_.writeTextElement(kOgc, QStringLiteral("PropertyName"), attribute);
    xml_.writeTextElement(kOgc, QStringLiteral("Literal"), QString::number(classCode));
    xml_.writeEndElement();
    xml_.writeEndElement();
  }

 private:
  QXmlStreamWriter xml_;
};

}  // namespace

SldDocument sldXml(const std::vector<ExportedLegend>& legends, const SldOptions& options) {
  SldDocument document;
  SldWriter writer(&document.xml);
  QXmlStreamWriter& xml = writer.xml();
  xml.writeStartDocument();
  xml.writeNamespace(kSe, QStringLiteral("se"));
  xml.writeNamespace(kOgc, QStringLiteral("ogc"));
  xml.writeNamespace(kXlink, QStringLiteral("xlink"));
  xml.writeNamespace(kXsi, QStringLiteral("xsi"));
  xml.writeDefaultNamespace(kSld);
  xml.writeStartElement(kSld, QStringLiteral("StyledLayerDescriptor"));
  xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.1.0"));
  xml.writeAttribute(kXsi, QStringLiteral("schemaLocation"),
                     QStringLiteral("http://www.opengis.net/sld "
                                    "http://schemas.opengis.net/sld/1.1.0/StyledLayerDescriptor.xsd"));
  // Both come from the command line or a file name, which may hold anything.
  const QString layerName = xmlSafe(options.layerName);
  const QString attribute = xmlSafe(options.attribute);
  xml.writeStartElement(kSld, QStringLiteral("NamedLayer"));
  writer.seText("Name", layerName);
  xml.writeStartElement(kSld, QStringLiteral("UserStyle"));
  writer.seText("Name", layerName);
  writer.se("FeatureTypeStyle");
  QHash<std::int32_t, std::size_t> ruleOfCode;
  for (std::size_t i = 0; i < legends.size(); ++i) {
    const ExportedLegend& legend = legends[i];
    if (const auto kept = ruleOfCode.constFind(legend.classCode); kept != ruleOfCode.cend()) {
      document.repeated.push_back({i, *kept});
      continue;
    }
    ruleOfCode.insert(legend.classCode, i);
    const SymbolRecipe recipe = recipeFor(legend.sample, legend.cell, Vocabulary::SymbologyEncoding);
    writer.se("Rule");
    writer.seText("Name", QString::number(legend.classCode));
    writer.se("Description");
    writer.seText("Title", legend.name);
    if (!legend.description.isEmpty()) writer.seText("Abstract", legend.description);
    writer.end();
    writer.filter(attribute, legend.classCode);
    switch (recipe.kind) {
      case SymbolKind::Marker: writer.pointSymbolizers(recipe.marks); break;
      case SymbolKind::Line: writer.lineSymbolizers(recipe.lines); break;
      case SymbolKind::Fill: writer.polygonSymbolizers(recipe.fills); break;
    }
    writer.end();
  }
  writer.end();           // FeatureTypeStyle
  xml.writeEndElement();  // UserStyle
  xml.writeEndElement();  // NamedLayer
  xml.writeEndElement();  // StyledLayerDescriptor
  xml.writeEndDocument();
  return document;
}

}  // namespace legend::exporter
