#include "export/xml_text.h"

#include <QList>

namespace legend::exporter {
namespace {

bool allowedInXml(char32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

}  // namespace

QString xmlSafe(const QString& text) {
  QString safe;
  safe.reserve(text.size());
  for (const char32_t c : text.toUcs4())
    if (allowedInXml(c)) safe.append(QString::fromUcs4(&c, 1));
  return safe;
}

}  // namespace legend::exporter
