#pragma once
// The commands of clntool. Each takes the path of one legend file (platform
// bytes), writes its report to @p out and its complaints to @p err, and
// returns the process exit status.

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include <QString>

#include "export/sample_capture.h"
#include "legendfile/file_check.h"
#include "pad/model/cell_drawing.h"

namespace clntool {

enum ExitStatus : int {
  kExitOk = 0,
  kExitBadFile = 1,    ///< cannot be opened, not a legend file, (validate) not sound, (import) refused;
                       ///< standard output not written; out of memory
  kExitDifferent = 1,  ///< diff: the files differ
  kExitUsage = 2,      ///< wrong command line; for diff also a file that cannot be read
};

int runInfo(const std::string& path, std::ostream& out, std::ostream& err);
int runValidate(const std::string& path, std::ostream& out, std::ostream& err);
int runDump(const std::string& path, std::ostream& out, std::ostream& err);

/// The file as a JSON document, to @p output (replaced whole) or to @p out.
int runExport(const std::string& path, const std::optional<std::string>& output, std::ostream& out, std::ostream& err);
/// The formats export writes besides JSON.
enum class ExportFormat {
  QgisStyle,  ///< a QGIS style library (XML)
  Sld,        ///< an OGC Styled Layer Descriptor 1.1 with Symbology Encoding
  Svg,        ///< a folder of one SVG per legend
};

/// What clntool export --to writes and where.
struct ExportToOptions {
  std::string input;  ///< legend file, platform bytes
  ExportFormat format = ExportFormat::QgisStyle;
  std::optional<std::string> output;                 ///< file or folder; standard output without one (not for SVG)
  legend::exporter::CellSize cell;                   ///< samples are drawn as the pad draws them in a cell of this size
  QString attribute = QStringLiteral("class_code");  ///< SLD: the attribute rules filter on
};
/// The file's legends in another GIS's format; legends that cannot be
/// exported are listed on @p err and the rest written.
int runExportTo(const ExportToOptions& options, std::ostream& out, std::ostream& err);

/// Writes the legend file described by the JSON document @p input; nothing
/// is written when the document is refused.
int runImport(const std::string& input, const std::string& output, std::ostream& out, std::ostream& err);
/// Legends added, removed and changed from @p before to @p after.
int runDiff(const std::string& before, const std::string& after, std::ostream& out, std::ostream& err);

/// What clntool render draws and where.
struct RenderOptions {
  std::string input;  ///< legend file, platform bytes
  QString output;     ///< .png, .svg or .pdf
  int columns = 6;
  int cellWidth = 100;
  int cellHeight = 100;
  legend::pad::CaptionMode captions = legend::pad::CaptionMode::Names;
};
int runRender(const RenderOptions& options, std::ostream& out, std::ostream& err);

/// For a file that is not readable as a legend file: the text the library
/// shows for it and the inspection's reason, one line prefixed by the path.
void reportUnusable(const std::string& path, const legend::FileInspection& inspection, std::ostream& err);

/// "point", "line", "region" or "unknown" for a legend type byte.
std::string_view typeName(std::int8_t type) noexcept;

}  // namespace clntool
