#include "pad/sheet/svg_bands.h"

#include <utility>

#include <QIODevice>
#include <QXmlStreamReader>

namespace legend::sheet {
namespace {

/// @p value with every reference to an id ("url(#x)", "#x") made to name
/// the band's own ids, which start with @p prefix.
QString withBandIds(const QString& name, QString value, const QString& prefix) {
  if (name == QLatin1String("id")) return prefix + value;
  if (name.endsWith(QLatin1String("href")) && value.startsWith(QLatin1Char('#'))) return value.insert(1, prefix);
  return value.replace(QLatin1String("url(#"), QLatin1String("url(#") + prefix);
}

}  // namespace

SvgBandWriter::SvgBandWriter(QIODevice& device, QString title) : out_(&device), title_(std::move(title)) {
  out_.setAutoFormatting(true);
  out_.setAutoFormattingIndent(1);
}

bool SvgBandWriter::append(const QByteArray& band) {
  QXmlStreamReader in(band);
  // Prefixed names (xlink:href) and namespace declarations are copied as
  // they stand.
  in.setNamespaceProcessing(false);
  const QString prefix = QStringLiteral("b%1-").arg(bands_);
  int depth = 0;
  while (!in.atEnd()) {
    switch (in.readNext()) {
      case QXmlStreamReader::StartElement: {
        ++depth;
        const QString name = in.qualifiedName().toString();
        if (depth == 1) {
          if (name != QLatin1String("svg")) return false;
          if (bands_ > 0) continue;
          out_.writeStartDocument();
          out_.writeStartElement(name);
          out_.writeAttributes(in.attributes());
          out_.writeTextElement(QStringLiteral("title"), title_);
          continue;
        }
        // The generator's own title and description say nothing.
        if (depth == 2 && (name == QLatin1String("title") || name == QLatin1String("desc"))) {
          in.skipCurrentElement();
          --depth;
          continue;
        }
        out_.writeStartElement(name);
        for (const QXmlStreamAttribute& attribute : in.attributes()) {
          const QString attributeName = attribute.qualifiedName().toString();
          out_.writeAttribute(attributeName, withBandIds(attributeName, attribute.value().toString(), prefix));
        }
        break;
      }
      case QXmlStreamReader::EndElement:
        if (--depth > 0) out_.writeEndElement();
        break;
      case QXmlStreamReader::Characters:
        if (depth > 1 && !in.isWhitespace()) out_.writeCharacters(in.text().toString());
        break;
      default: break;
    }
  }
  if (in.hasError() || depth != 0) return false;
  ++bands_;
  return !out_.hasError();
}

bool SvgBandWriter::finish() {
  if (bands_ == 0) return false;
  out_.writeEndElement();
  out_.writeEndDocument();
  return !out_.hasError();
}

}  // namespace legend::sheet
