#pragma once
// One SVG document put together from documents generated a band at a time.
// Qt's generator holds its whole document in memory, as UTF-16 text, until
// it ends: a sheet of the largest legend file took gigabytes that way.
// Bands drawn at the document's own coordinates are generated one by one,
// and their drawing is copied into the document as it goes.

#include <QByteArray>
#include <QString>
#include <QXmlStreamWriter>

class QIODevice;

namespace legend::sheet {

class SvgBandWriter {
 public:
  /// Writes to @p device a document titled @p title.
  SvgBandWriter(QIODevice& device, QString title);

  /// Copies the drawing of @p band, a whole document as the generator
  /// writes it; the first band's root gives the document its size. The ids
  /// of each band are made its own. False when @p band is not well-formed
  /// or the device fails; the document is then left unfinished.
  bool append(const QByteArray& band);

  /// Ends the document; false when the device failed.
  bool finish();

 private:
  QXmlStreamWriter out_;
  QString title_;
  int bands_ = 0;
};

}  // namespace legend::sheet
