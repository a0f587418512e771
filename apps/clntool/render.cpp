// clntool render: legend sheets as PNG pages, one SVG or a PDF of A4 pages.

#include <QFileInfo>

#include "commands.h"
#include "legendfile/legend_set.h"
#include "legendfile/messages.h"
#include "pad/model/scale_maxima.h"
#include "pad/sheet/legend_sheet.h"

namespace clntool {

int runRender(const RenderOptions& options, std::ostream& out, std::ostream& err) {
  legend::LegendSet legends;
  legend::LegendStatus status = legends.setPath(options.input);
  if (status == legend::LegendStatus::Ok) status = legends.reload();
  if (status != legend::LegendStatus::Ok) {
    err << options.input << ": " << legend::messages::text(status, options.input) << '\n';
    return kExitBadFile;
  }
  // Samples are scaled against the largest sizes in the file, as in the pad.
  legend::pad::updateScaleMaxima(legends);

  legend::sheet::SheetOptions sheet;
  sheet.columns = options.columns;
  sheet.cellWidth = options.cellWidth;
  sheet.cellHeight = options.cellHeight;
  sheet.captions = options.captions;
  QStringList written;
  const QString title = QFileInfo(QString::fromStdString(options.input)).fileName();
  switch (legend::sheet::writeSheet(legends, sheet, options.output, title, written)) {
    case legend::sheet::SheetResult::Ok:
      for (const QString& file : written) out << file.toStdString() << '\n';
      return kExitOk;
    case legend::sheet::SheetResult::UnknownFormat:
      err << "clntool: render: the output must end in .png, .svg or .pdf\n";
      return kExitUsage;
    case legend::sheet::SheetResult::CannotWrite: break;
  }
  err << "clntool: render: cannot write " << options.output.toStdString() << '\n';
  return kExitBadFile;
}

}  // namespace clntool
