// export --to qgis-style, sld or svg: the legends as a QGIS style library, an
// OGC SLD/SE document or one SVG per legend. Legends that cannot be exported
// are listed on standard error; the rest are written.

#include <filesystem>
#include <span>
#include <system_error>

#include <QFile>
#include <QFileInfo>

#include "commands.h"
#include "components/codec/ui_language.h"
#include "export/export_catalogue.h"
#include "export/exported_legend.h"
#include "export/qgis_style.h"
#include "export/sld.h"
#include "export/svg_files.h"
#include "legendfile/file_io.h"
#include "legendfile/legend_set.h"
#include "legendfile/messages.h"

namespace clntool {

namespace {

std::span<const std::uint8_t> bytesOf(const QByteArray& data) {
  return {reinterpret_cast<const std::uint8_t*>(data.constData()), static_cast<std::size_t>(data.size())};
}

bool replace(const std::string& path, const QByteArray& data, std::ostream& err) {
  const legend::ReplaceResult written = legend::replaceFile(path, bytesOf(data));
  if (!written)
    err << path << ": " << legend::tr("无法写入: %1").arg(QString::fromStdString(written.cause.message())).toStdString()
        << '\n';
  return static_cast<bool>(written);
}

/// The document to @p output, or to @p out without one.
int deliver(const QByteArray& document, const std::optional<std::string>& output, std::ostream& out,
            std::ostream& err) {
  if (!output) {
    out.write(document.constData(), document.size());
    return kExitOk;
  }
  if (!replace(*output, document, err)) return kExitBadFile;
  out << *output << '\n';
  return kExitOk;
}

int writeSvgFolder(const std::vector<legend::exporter::ExportedLegend>& legends, const std::string& folder,
                   std::ostream& out, std::ostream& err) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    err << folder << ": " << legend::tr("无法创建文件夹: %1").arg(QString::fromStdString(error.message())).toStdString()
        << '\n';
    return kExitBadFile;
  }
  for (const legend::exporter::SvgFile& file : legend::exporter::legendSvgs(legends)) {
    const std::string path = (std::filesystem::path(folder) / file.name.toStdString()).string();
    if (!replace(path, file.svg, err)) return kExitBadFile;
    out << path << '\n';
  }
  return kExitOk;
}

}  // namespace

int runExportTo(const ExportToOptions& options, std::ostream& out, std::ostream& err) {
  legend::LegendSet set;
  legend::LegendStatus status = set.setPath(options.input);
  if (status == legend::LegendStatus::Ok) status = set.reload();
  if (status != legend::LegendStatus::Ok) {
    err << options.input << ": " << legend::messages::text(status, options.input) << '\n';
    return kExitBadFile;
  }
  const legend::exporter::Catalogue catalogue = legend::exporter::catalogueOf(set);
  for (const std::string& line : legend::exporter::skippedLines(set, catalogue))
    err << options.input << ": " << line << '\n';
  const std::vector<legend::exporter::ExportedLegend> legends =
      legend::exporter::collectLegends(set, catalogue, options.cell);

  switch (options.format) {
    case ExportFormat::QgisStyle: return deliver(legend::exporter::qgisStyleXml(legends), options.output, out, err);
    case ExportFormat::Sld: {
      legend::exporter::SldOptions sld;
      sld.layerName = QFileInfo(QFile::decodeName(QByteArray::fromStdString(options.input))).completeBaseName();
      sld.attribute = options.attribute;
      const legend::exporter::SldDocument document = legend::exporter::sldXml(legends, sld);
      for (const legend::exporter::RepeatedClassCode& repeated : document.repeated) {
        const auto& left = legends[repeated.legend];
        const auto& kept = legends[repeated.keptLegend];
        err << options.input << ": "
            << legend::tr("图例 %1 \"%2\": 分类码 %3 已由图例 %4 \"%5\" 画出,不再单独生成规则")
                   .arg(QString::number(left.entry.legendIndex), left.name, QString::number(left.classCode),
                        QString::number(kept.entry.legendIndex), kept.name)
                   .toStdString()
            << '\n';
      }
      return deliver(document.xml, options.output, out, err);
    }
    case ExportFormat::Svg: return writeSvgFolder(legends, *options.output, out, err);
  }
  return kExitUsage;
}

}  // namespace clntool
