// Loads arbitrary bytes as a legend file and exports its legends in every
// format: each document must be well-formed XML, and the style library's
// symbol names must all differ.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include <QGuiApplication>
#include <QXmlStreamReader>

#include "export/export_catalogue.h"
#include "export/exported_legend.h"
#include "export/qgis_style.h"
#include "export/sld.h"
#include "export/svg_files.h"
#include "legendfile/legend_set.h"

namespace {

// Every legend is drawn several times over; the seeds reach every style and
// pattern within this many, and more would only slow the fuzzer down.
constexpr std::size_t kMaxLegends = 40;

const std::string& inputPath(const std::uint8_t* data, std::size_t size) {
  static const int fd = memfd_create("legend-fuzz", 0);
  static const std::string path = "/proc/self/fd/" + std::to_string(fd);
  if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) abort();
  return path;
}

void requireWellFormed(const QByteArray& document) {
  QXmlStreamReader reader(document);
  while (!reader.atEnd()) reader.readNext();
  if (reader.hasError()) abort();
}

}  // namespace

// Fontconfig keeps what it has matched for the life of the process, which
// the leak checker blames on whichever input drew text first.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Drawing needs a GUI application; there is no display.
  static const QGuiApplication* application = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_export";
    static char* argv[] = {name, nullptr};
    return new QGuiApplication(argc, argv);
  }();
  (void)application;

  legend::LegendSet set;
  set.setPath(inputPath(data, size));
  if (set.reload() != legend::LegendStatus::Ok) return 0;
  legend::exporter::Catalogue catalogue = legend::exporter::catalogueOf(set);
  legend::exporter::skippedLines(set, catalogue);
  if (catalogue.entries.size() > kMaxLegends) catalogue.entries.resize(kMaxLegends);
  const auto legends = legend::exporter::collectLegends(set, catalogue, {48, 40});

  requireWellFormed(legend::exporter::qgisStyleXml(legends));
  requireWellFormed(legend::exporter::sldXml(legends, {QStringLiteral("fuzz"), QStringLiteral("class_code")}).xml);
  for (const legend::exporter::SvgFile& file : legend::exporter::legendSvgs(legends)) requireWellFormed(file.svg);
  const std::vector<QString> names = legend::exporter::uniqueNames(legends);
  if (std::set<QString>(names.begin(), names.end()).size() != names.size()) abort();
  return 0;
}
