#include "components/codec/gbk_text.h"

#include <QByteArray>
#include <QStringEncoder>

#include "components/codec/utf8_text.h"
#include "legendfile/gbk_codec.h"

namespace legend {

QString decodeGbk(std::string_view bytes) { return fromUtf8(gbk::toUtf8ForDisplay(bytes)); }

std::optional<std::string> encodeGbk(const QString& text) {
  // QString::toUtf8 would write a lone surrogate as '?', which GBK holds; the
  // encoder reports it instead, and it is refused like any character GBK lacks.
  QStringEncoder toUtf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
  const QByteArray utf8 = toUtf8.encode(text);
  if (toUtf8.hasError()) return std::nullopt;
  return gbk::fromUtf8(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

GbkEncodeResult encodeGbkField(const QString& text, std::size_t maxBytes) {
  GbkEncodeResult result;
  if (text.contains(QChar(u'\0'))) return result;
  std::optional<std::string> bytes = encodeGbk(text);
  if (!bytes) return result;
  result.encodedLength = bytes->size();
  if (bytes->size() > maxBytes) {
    result.error = GbkFieldError::TooLong;
    return result;
  }
  result.error = GbkFieldError::None;
  result.bytes = std::move(*bytes);
  return result;
}

}  // namespace legend
