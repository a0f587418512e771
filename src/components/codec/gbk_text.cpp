#include "components/codec/gbk_text.h"

#include <QByteArray>
#include <QStringDecoder>
#include <QStringEncoder>

namespace legend {

namespace {
constexpr const char* kCodecName = "GBK";
}

QString decodeGbk(std::string_view bytes) {
  // Stateless, so a lead byte cut off at the end of a field is not held back
  // waiting for a trail byte that never comes.
  QStringDecoder decoder(kCodecName, QStringConverter::Flag::Stateless);
  return decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::optional<std::string> encodeGbk(const QString& text) {
  QStringEncoder encoder(kCodecName, QStringConverter::Flag::Stateless);
  const QByteArray bytes = encoder.encode(text);
  // The encoder substitutes '?' for what GBK lacks; only the error flag tells
  // that apart from a real question mark.
  if (!encoder.isValid() || encoder.hasError()) return std::nullopt;
  return bytes.toStdString();
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
