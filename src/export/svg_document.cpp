#include "export/svg_document.h"

#include <cmath>
#include <utility>

#include <QDomDocument>
#include <QDomElement>
#include <QXmlStreamWriter>

#include "export/xml_text.h"

namespace legend::exporter {
namespace {

/// Drops what the generator writes for nothing: groups that only set a
/// state no drawing uses.
void dropEmptyGroups(QDomElement element) {
  for (QDomElement child = element.firstChildElement(); !child.isNull();) {
    const QDomElement next = child.nextSiblingElement();
    dropEmptyGroups(child);
    if (child.tagName() == QLatin1String("g") && !child.hasChildNodes()) element.removeChild(child);
    child = next;
  }
}

void write(QXmlStreamWriter& xml, const QDomElement& element) {
  xml.writeStartElement(element.tagName());
  const QDomNamedNodeMap attributes = element.attributes();
  for (int i = 0; i < attributes.count(); ++i) {
    const QDomAttr attribute = attributes.item(i).toAttr();
    xml.writeAttribute(attribute.name(), attribute.value());
  }
  for (QDomNode child = element.firstChild(); !child.isNull(); child = child.nextSibling()) {
    if (child.isElement())
      write(xml, child.toElement());
    else if (child.isText() || child.isCDATASection())
      xml.writeCharacters(child.nodeValue());
  }
  xml.writeEndElement();
}

}  // namespace

QString lengthText(double value, int decimals) {
  if (!std::isfinite(value)) return QStringLiteral("0");
  QString text = QString::number(value, 'f', decimals);
  // Trailing zeros say nothing; "12.5000" is "12.5" and "3.0000" is "3".
  while (text.contains(QLatin1Char('.')) && (text.endsWith(QLatin1Char('0')) || text.endsWith(QLatin1Char('.'))))
    text.chop(1);
  return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

QByteArray normaliseSvg(const QByteArray& generated, QSizeF size, const QString& title, const QString& description) {
  QDomDocument document;
  // Prefixed names and namespace declarations are kept as they stand.
  if (!document.setContent(generated, false)) return {};
  QDomElement root = document.documentElement();
  if (root.tagName() != QLatin1String("svg")) return {};
  for (const char* generatorText : {"title", "desc"})
    for (QDomElement e = root.firstChildElement(QLatin1String(generatorText)); !e.isNull();
         e = root.firstChildElement(QLatin1String(generatorText)))
      root.removeChild(e);
  dropEmptyGroups(root);
  root.setAttribute(QStringLiteral("width"), lengthText(size.width()));
  root.setAttribute(QStringLiteral("height"), lengthText(size.height()));
  // Inserted in reverse, each before the first child: title, then description.
  for (const auto& [tag, text] :
       {std::pair{QStringLiteral("desc"), description}, std::pair{QStringLiteral("title"), title}}) {
    if (text.isEmpty()) continue;
    QDomElement element = document.createElement(tag);
    element.appendChild(document.createTextNode(xmlSafe(text)));
    root.insertBefore(element, root.firstChild());
  }

  QByteArray out;
  QXmlStreamWriter xml(&out);
  xml.setAutoFormatting(true);
  xml.setAutoFormattingIndent(1);
  xml.writeStartDocument();
  write(xml, root);
  xml.writeEndDocument();
  return out;
}

}  // namespace legend::exporter
