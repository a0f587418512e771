// clntool COMMAND FILE...: inspect, validate, dump or render a legend file,
// export it as JSON, import it back, or compare two legend files.
//
// Exit status: 0 success, 1 the file cannot be used (or, for validate, has
// problems; for import, the document is refused; for diff, the files differ),
// 2 the command line is wrong (for diff also a file that cannot be read). QCommandLineParser::process would
// exit with 1 on a bad option, so parsing is done with parse() and the
// statuses are chosen here.

#include <algorithm>
#include <array>
#include <iostream>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QSize>
#include <QStringList>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>

#include "commands.h"

namespace {

struct Command {
  const char* name;
  const char* summary;
  const char* description;
  int (*run)(const std::string&, std::ostream&, std::ostream&);
  /// Commands of two files run through this instead.
  int (*runPair)(const std::string&, const std::string&, std::ostream&, std::ostream&) = nullptr;
  /// How the help names the files.
  const char* firstFile = "file";
  const char* secondFile = nullptr;
};

int runExportToStdout(const std::string& path, std::ostream& out, std::ostream& err) {
  return clntool::runExport(path, std::nullopt, out, err);
}

constexpr std::array<Command, 7> kCommands{{
    {"info", "file size, legend counts by type, data area, problems",
     "Prints the file size, the number of legends by type, where the data area starts,\n"
     "how many bytes its blocks hold and where the furthest one ends, and every problem\n"
     "found in the file.\n"
     "Exit status: 0 readable (also with problems), 1 cannot be opened or not a legend\n"
     "file, 2 wrong command line.",
     clntool::runInfo},
    {"validate", "check every head and block; exit 0 only for a sound file",
     "Checks the header, the count, every head record and every data block, including\n"
     "the attribute structures and records. Prints \"ok: N legends\" for a sound file;\n"
     "otherwise one line per problem on standard error.\n"
     "Exit status: 0 sound, 1 problems found or not readable, 2 wrong command line.",
     clntool::runValidate},
    {"dump", "every legend as JSON",
     "Writes the file as JSON: count, display_order (the legend indices in the order\n"
     "the pad shows them) and legends, each with its index, its head fields, its graphic\n"
     "parameter record as the pad holds it, the attribute structure and record sizes,\n"
     "and the attribute fields with their values; names and values as export writes\n"
     "them (docs/legend-json.md).\n"
     "Exit status: 0 written, 1 cannot be opened or not a legend file, 2 wrong command line.",
     clntool::runDump},
    {"render", "draw every legend as a printable sheet (PNG, SVG or PDF)",
     "Draws every legend of the file, in the order the pad shows them, as a sheet of\n"
     "cells drawn exactly like the pad's: sample, caption and number. The format follows\n"
     "the extension of -o: PNG (pages of at most 8192 pixels; the second and later pages\n"
     "are written next to OUT as NAME-2.png, NAME-3.png, ...), SVG (one page) or PDF\n"
     "(A4 pages).\n"
     "Exit status: 0 written, 1 cannot be read or written, 2 wrong command line.",
     nullptr},
    {"export", "the file as JSON, or its legends for QGIS, OGC servers or as SVG",
     "--to json (the default): writes every byte of the file as a pretty-printed JSON\n"
     "document (to standard output, or to OUT with -o): per legend its name and\n"
     "description (UTF-8), type, class code, graphic parameters by field name,\n"
     "attribute fields and values, and whatever else the file holds (reserved bytes,\n"
     "gaps) so that import gives back the same bytes (docs/legend-json.md).\n"
     "--to qgis-style: a QGIS style library (XML) of one symbol per legend, named after\n"
     "the legend and tagged with its class code and type.\n"
     "--to sld: an OGC Styled Layer Descriptor 1.1 with one rule per class code,\n"
     "filtered on the attribute --attribute names (default class_code).\n"
     "--to svg -o DIR: one SVG per legend, DIR/NNNNN-CODE.svg (display position and\n"
     "class code).\n"
     "The symbols look as the pad draws the legends in a cell of --cell-size (default\n"
     "64x64). Legends that cannot be exported (unknown types, damaged blocks) are listed\n"
     "on standard error; the others are written (docs/legend-export.md).\n"
     "Exit status: 0 written, 1 cannot be read, not a legend file, or cannot be written,\n"
     "2 wrong command line.",
     runExportToStdout},
    {"import", "write a legend file from a JSON document made by export",
     "clntool import IN.json OUT.CLN: writes the legend file the document describes,\n"
     "replacing OUT.CLN whole. A document with a problem is refused with the JSON path\n"
     "of the first problem, and nothing is written.\n"
     "Exit status: 0 written, 1 refused or cannot be read or written, 2 wrong command line.",
     nullptr, clntool::runImport, "IN.json", "OUT.CLN"},
    {"diff", "legends added, removed and changed between two legend files",
     "clntool diff A.CLN B.CLN: lists the legends added, removed and changed from A to\n"
     "B, matched by index and shown with their names, and for each changed legend every\n"
     "field that differs, old -> new (fields as export names them).\n"
     "Exit status: 0 equal, 1 different, 2 wrong command line or a file that cannot be read.",
     nullptr, clntool::runDiff, "A.CLN", "B.CLN"},
}};

constexpr int kMaxColumns = 64;
constexpr int kMinCell = 16;
constexpr int kMaxCell = 1024;
constexpr int kExportCell = 64;

/// WxH within kMinCell ... kMaxCell, or nothing.
std::optional<QSize> cellSize(const QString& text) {
  const auto size = QRegularExpression(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$")).match(text);
  if (!size.hasMatch()) return std::nullopt;
  const QSize cell(size.captured(1).toInt(), size.captured(2).toInt());
  if (std::min(cell.width(), cell.height()) < kMinCell || std::max(cell.width(), cell.height()) > kMaxCell)
    return std::nullopt;
  return cell;
}

const Command* findCommand(const QString& name) {
  for (const Command& command : kCommands)
    if (name == QLatin1String(command.name)) return &command;
  return nullptr;
}

QString overview() {
  QString text = QStringLiteral("Inspects legend files (.CLN).\n\nCommands:\n");
  for (const Command& command : kCommands)
    text += QStringLiteral("  %1  %2\n").arg(QLatin1String(command.name), -9).arg(QLatin1String(command.summary));
  text += QStringLiteral("\nRun 'clntool COMMAND --help' for the details of a command.");
  return text;
}

int usageError(const QString& message) {
  std::cerr << "clntool: " << message.toStdString() << "\nRun 'clntool --help' for usage.\n";
  return clntool::kExitUsage;
}

int run(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(overview());
  // Not addHelpOption: its --help-all lists Qt's own options, which this
  // tool does not take.
  const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                      QStringLiteral("Displays this help."));
  parser.addOption(helpOption);
  const QCommandLineOption versionOption = parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("command"),
                               QStringLiteral("info, validate, dump, render, export, import or diff"));
  parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("The legend file (import: the JSON document)."));
  const QCommandLineOption outputOption(
      {QStringLiteral("o"), QStringLiteral("output")},
      QStringLiteral("render: the sheet to write (.png, .svg or .pdf); export: the file to write (--to svg: the "
                     "folder)."),
      QStringLiteral("OUT"));
  const QCommandLineOption columnsOption(QStringLiteral("columns"),
                                         QStringLiteral("render: cells across (1-64, default 6)."),
                                         QStringLiteral("N"), QStringLiteral("6"));
  const QCommandLineOption cellOption(QStringLiteral("cell-size"),
                                      QStringLiteral("render: cell size in pixels (16-1024 each, default 100x100); "
                                                     "export: the cell the symbols are sized for (default 64x64)."),
                                      QStringLiteral("WxH"), QStringLiteral("100x100"));
  const QCommandLineOption captionOption(QStringLiteral("captions"),
                                         QStringLiteral("render: captions by legend name or by class code."),
                                         QStringLiteral("name|code"), QStringLiteral("name"));
  const QList<QCommandLineOption> renderOptions{outputOption, columnsOption, cellOption, captionOption};
  parser.addOptions(renderOptions);
  const QCommandLineOption toOption(QStringLiteral("to"),
                                    QStringLiteral("export: json (default), qgis-style, sld or svg."),
                                    QStringLiteral("FORMAT"), QStringLiteral("json"));
  const QCommandLineOption attributeOption(
      QStringLiteral("attribute"), QStringLiteral("export --to sld: the attribute holding class codes (default class_code)."),
      QStringLiteral("NAME"), QStringLiteral("class_code"));
  const QList<QCommandLineOption> exportOptions{toOption, attributeOption};
  parser.addOptions(exportOptions);
  /// The option of @p options set on the command line, if any.
  const auto setAmong = [&](const QList<QCommandLineOption>& options) -> std::optional<QString> {
    for (const QCommandLineOption& option : options)
      if (parser.isSet(option)) return option.names().last();
    return std::nullopt;
  };
  if (!parser.parse(arguments)) return usageError(parser.errorText());
  if (parser.isSet(versionOption)) {
    std::cout << "clntool " << CLNTOOL_VERSION << '\n';
    return clntool::kExitOk;
  }

  const bool wantsHelp = parser.isSet(helpOption);
  const QStringList positional = parser.positionalArguments();
  if (positional.isEmpty()) {
    if (wantsHelp) {
      std::cout << parser.helpText().toStdString();
      return clntool::kExitOk;
    }
    return usageError(QStringLiteral("no command given"));
  }
  const Command* command = findCommand(positional.first());
  if (command == nullptr) return usageError(QStringLiteral("unknown command '%1'").arg(positional.first()));

  if (wantsHelp) {
    parser.setApplicationDescription(QString::fromLatin1(command->description));
    parser.clearPositionalArguments();
    parser.addPositionalArgument(QLatin1String(command->name), QLatin1String(command->summary),
                                 QLatin1String(command->name));
    parser.addPositionalArgument(QLatin1String(command->firstFile), command->runPair == clntool::runImport
                                                                        ? QStringLiteral("The JSON document.")
                                                                        : QStringLiteral("The legend file (.CLN)."));
    if (command->secondFile != nullptr)
      parser.addPositionalArgument(QLatin1String(command->secondFile), QStringLiteral("The legend file (.CLN)."));
    std::cout << parser.helpText().toStdString();
    return clntool::kExitOk;
  }
  const qsizetype files = command->runPair != nullptr ? 2 : 1;
  if (positional.size() < 1 + files)
    return usageError(QStringLiteral("%1: %2").arg(positional.first(), files == 1 ? QStringLiteral("no file given")
                                                                                  : QStringLiteral("expects two files")));
  if (positional.size() > 1 + files)
    return usageError(QStringLiteral("%1: expects %2").arg(positional.first(), files == 1 ? QStringLiteral("one file")
                                                                                         : QStringLiteral("two files")));

  // File names are the platform's bytes, not necessarily valid text.
  const std::string path = QFile::encodeName(positional.at(1)).toStdString();
  if (command->runPair != nullptr) {
    if (const auto option = setAmong(renderOptions + exportOptions))
      return usageError(QStringLiteral("%1: takes no --%2").arg(positional.first(), *option));
    const int status = command->runPair(path, QFile::encodeName(positional.at(2)).toStdString(), std::cout, std::cerr);
    std::cout.flush();
    return status;
  }
  if (command->run == runExportToStdout) {
    if (const auto option = setAmong({columnsOption, captionOption}))
      return usageError(QStringLiteral("export: --%1 belongs to render").arg(*option));
    std::optional<std::string> output;
    if (parser.isSet(outputOption)) output = QFile::encodeName(parser.value(outputOption)).toStdString();
    const QString format = parser.value(toOption);
    if (format == QLatin1String("json")) {
      if (const auto option = setAmong({cellOption, attributeOption}))
        return usageError(QStringLiteral("export: --%1 does not apply to JSON").arg(*option));
      const int status = clntool::runExport(path, output, std::cout, std::cerr);
      std::cout.flush();
      return status;
    }
    clntool::ExportToOptions options;
    options.input = path;
    options.output = output;
    if (format == QLatin1String("qgis-style"))
      options.format = clntool::ExportFormat::QgisStyle;
    else if (format == QLatin1String("sld"))
      options.format = clntool::ExportFormat::Sld;
    else if (format == QLatin1String("svg"))
      options.format = clntool::ExportFormat::Svg;
    else
      return usageError(QStringLiteral("export: --to takes json, qgis-style, sld or svg"));
    if (options.format == clntool::ExportFormat::Svg && !output)
      return usageError(QStringLiteral("export: --to svg needs a folder (-o DIR)"));
    if (parser.isSet(attributeOption) && options.format != clntool::ExportFormat::Sld)
      return usageError(QStringLiteral("export: --attribute belongs to --to sld"));
    options.attribute = parser.value(attributeOption);
    // The name goes into the document as text; it must be one XML can hold.
    if (options.attribute.isEmpty() ||
        std::any_of(options.attribute.cbegin(), options.attribute.cend(), [](QChar c) { return c.unicode() < 0x20; }))
      return usageError(QStringLiteral("export: --attribute takes a non-empty name"));
    const QString cellText = parser.isSet(cellOption) ? parser.value(cellOption)
                                                      : QStringLiteral("%1x%1").arg(kExportCell);
    const std::optional<QSize> cell = cellSize(cellText);
    if (!cell)
      return usageError(QStringLiteral("export: --cell-size takes WxH, each %1 to %2").arg(kMinCell).arg(kMaxCell));
    options.cell = {cell->width(), cell->height()};
    const int status = clntool::runExportTo(options, std::cout, std::cerr);
    std::cout.flush();
    return status;
  }
  if (command->run == nullptr) {
    if (const auto option = setAmong(exportOptions))
      return usageError(QStringLiteral("render: --%1 belongs to export").arg(*option));
    clntool::RenderOptions render;
    render.input = path;
    if (!parser.isSet(outputOption)) return usageError(QStringLiteral("render: no output given (-o OUT)"));
    render.output = parser.value(outputOption);
    bool ok = false;
    render.columns = parser.value(columnsOption).toInt(&ok);
    if (!ok || render.columns < 1 || render.columns > kMaxColumns)
      return usageError(QStringLiteral("render: --columns takes 1 to %1").arg(kMaxColumns));
    const std::optional<QSize> cell = cellSize(parser.value(cellOption));
    if (!cell)
      return usageError(QStringLiteral("render: --cell-size takes WxH, each %1 to %2").arg(kMinCell).arg(kMaxCell));
    render.cellWidth = cell->width();
    render.cellHeight = cell->height();
    const QString captions = parser.value(captionOption);
    if (captions != QLatin1String("name") && captions != QLatin1String("code"))
      return usageError(QStringLiteral("render: --captions takes name or code"));
    render.captions = captions == QLatin1String("code") ? legend::pad::CaptionMode::ClassCodes
                                                         : legend::pad::CaptionMode::Names;
    const int status = clntool::runRender(render, std::cout, std::cerr);
    std::cout.flush();
    return status;
  }
  if (const auto option = setAmong(renderOptions))
    return usageError(QStringLiteral("%1: --%2 belongs to render").arg(positional.first(), *option));
  if (const auto option = setAmong(exportOptions))
    return usageError(QStringLiteral("%1: --%2 belongs to export").arg(positional.first(), *option));
  const int status = command->run(path, std::cout, std::cerr);
  std::cout.flush();
  return status;
}

/// Whether the command line draws legends: render does, and so does export
/// to anything but JSON.
bool drawsLegends(int argc, char** argv) {
  if (argc < 2) return false;
  if (std::strcmp(argv[1], "render") == 0) return true;
  if (std::strcmp(argv[1], "export") != 0) return false;
  for (int i = 2; i < argc; ++i) {
    const std::string_view argument(argv[i]);
    if (argument == "--to" && i + 1 < argc) return std::string_view(argv[i + 1]) != "json";
    if (argument.starts_with("--to=")) return argument.substr(5) != "json";
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  // Drawing needs fonts, so commands that draw run a GUI application, on the
  // offscreen platform when there is no display; the others need none.
  const bool renders = drawsLegends(argc, argv);
  if (renders && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
      qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  std::unique_ptr<QCoreApplication> application;
  if (renders)
    application = std::make_unique<QGuiApplication>(argc, argv);
  else
    application = std::make_unique<QCoreApplication>(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("clntool"));
  QCoreApplication::setApplicationVersion(QStringLiteral(CLNTOOL_VERSION));
  return run(QCoreApplication::arguments());
}
