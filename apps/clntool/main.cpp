// clntool COMMAND FILE...: inspect, validate, dump or render a legend file,
// export it as JSON or for other GIS, import it back, or compare two legend
// files.
//
// Exit status: 0 success, 1 the file cannot be used (or, for validate, has
// problems; for import, the document is refused; for diff, the files differ),
// 2 the command line is wrong (for diff also a file that cannot be read).
// QCommandLineParser::process would exit with 1 on a bad option, so parsing
// is done with parse() and the statuses are chosen here.
//
// Each command is a row of kCommands: its help, the files it takes, the
// options that belong to it, and the function that runs it.

#include <algorithm>
#include <array>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QSize>
#include <QStringList>

#include "commands.h"
#include "components/codec/ui_language.h"

namespace {

/// The options a command may take, as bits of Command::options.
enum Option : unsigned {
  kOutput = 1u << 0,
  kColumns = 1u << 1,
  kCellSize = 1u << 2,
  kCaptions = 1u << 3,
  kTo = 1u << 4,
  kAttribute = 1u << 5,
};

/// Every option of the command line, registered with the parser once.
struct Options {
  QCommandLineOption output{{QStringLiteral("o"), QStringLiteral("output")},
                            QStringLiteral("render: the sheet to write (.png, .svg or .pdf); export: the file to "
                                           "write (--to svg: the folder)."),
                            QStringLiteral("OUT")};
  QCommandLineOption columns{QStringLiteral("columns"), QStringLiteral("render: cells across (1-64, default 6)."),
                             QStringLiteral("N"), QStringLiteral("6")};
  QCommandLineOption cellSize{QStringLiteral("cell-size"),
                              QStringLiteral("render: cell size in pixels (16-1024 each, default 100x100); "
                                             "export: the cell the symbols are sized for (default 64x64)."),
                              QStringLiteral("WxH"), QStringLiteral("100x100")};
  QCommandLineOption captions{QStringLiteral("captions"),
                              QStringLiteral("render: captions by legend name or by class code."),
                              QStringLiteral("name|code"), QStringLiteral("name")};
  QCommandLineOption to{QStringLiteral("to"), QStringLiteral("export: json (default), qgis-style, sld or svg."),
                        QStringLiteral("FORMAT"), QStringLiteral("json")};
  QCommandLineOption attribute{QStringLiteral("attribute"),
                               QStringLiteral("export --to sld: the attribute holding class codes (default "
                                              "class_code)."),
                               QStringLiteral("NAME"), QStringLiteral("class_code")};

  /// Each option with its bit, in the order the help lists them.
  std::array<std::pair<Option, const QCommandLineOption*>, 6> all() const {
    return {{{kOutput, &output},
             {kColumns, &columns},
             {kCellSize, &cellSize},
             {kCaptions, &captions},
             {kTo, &to},
             {kAttribute, &attribute}}};
  }
};

/// A command line that names a command and its files.
struct Invocation {
  const QCommandLineParser& parser;
  const Options& options;
  std::vector<std::string> files;  ///< platform bytes, as many as the command takes
};

int usageError(const QString& message) {
  std::cerr << "clntool: " << message.toStdString() << "\nRun 'clntool --help' for usage.\n";
  return clntool::kExitUsage;
}

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

int runInfo(const Invocation& call) { return clntool::runInfo(call.files[0], std::cout, std::cerr); }
int runValidate(const Invocation& call) { return clntool::runValidate(call.files[0], std::cout, std::cerr); }
int runDump(const Invocation& call) { return clntool::runDump(call.files[0], std::cout, std::cerr); }
int runImport(const Invocation& call) { return clntool::runImport(call.files[0], call.files[1], std::cout, std::cerr); }
int runDiff(const Invocation& call) { return clntool::runDiff(call.files[0], call.files[1], std::cout, std::cerr); }

int runRender(const Invocation& call) {
  const QCommandLineParser& parser = call.parser;
  const Options& o = call.options;
  clntool::RenderOptions render;
  render.input = call.files[0];
  if (!parser.isSet(o.output)) return usageError(QStringLiteral("render: no output given (-o OUT)"));
  render.output = parser.value(o.output);
  bool ok = false;
  render.columns = parser.value(o.columns).toInt(&ok);
  if (!ok || render.columns < 1 || render.columns > kMaxColumns)
    return usageError(QStringLiteral("render: --columns takes 1 to %1").arg(kMaxColumns));
  const std::optional<QSize> cell = cellSize(parser.value(o.cellSize));
  if (!cell)
    return usageError(QStringLiteral("render: --cell-size takes WxH, each %1 to %2").arg(kMinCell).arg(kMaxCell));
  render.cellWidth = cell->width();
  render.cellHeight = cell->height();
  const QString captions = parser.value(o.captions);
  if (captions != QLatin1String("name") && captions != QLatin1String("code"))
    return usageError(QStringLiteral("render: --captions takes name or code"));
  render.captions =
      captions == QLatin1String("code") ? legend::pad::CaptionMode::ClassCodes : legend::pad::CaptionMode::Names;
  return clntool::runRender(render, std::cout, std::cerr);
}

int runExport(const Invocation& call) {
  const QCommandLineParser& parser = call.parser;
  const Options& o = call.options;
  std::optional<std::string> output;
  if (parser.isSet(o.output)) output = QFile::encodeName(parser.value(o.output)).toStdString();
  const QString format = parser.value(o.to);
  if (format == QLatin1String("json")) {
    for (const QCommandLineOption* option : {&o.cellSize, &o.attribute})
      if (parser.isSet(*option))
        return usageError(QStringLiteral("export: --%1 does not apply to JSON").arg(option->names().last()));
    return clntool::runExport(call.files[0], output, std::cout, std::cerr);
  }

  clntool::ExportToOptions options;
  options.input = call.files[0];
  options.output = output;
  static constexpr std::array<std::pair<std::string_view, clntool::ExportFormat>, 3> kFormats{{
      {"qgis-style", clntool::ExportFormat::QgisStyle},
      {"sld", clntool::ExportFormat::Sld},
      {"svg", clntool::ExportFormat::Svg},
  }};
  const auto known = std::find_if(kFormats.begin(), kFormats.end(),
                                  [&](const auto& entry) { return format == QLatin1String(entry.first); });
  if (known == kFormats.end()) return usageError(QStringLiteral("export: --to takes json, qgis-style, sld or svg"));
  options.format = known->second;
  if (options.format == clntool::ExportFormat::Svg && !output)
    return usageError(QStringLiteral("export: --to svg needs a folder (-o DIR)"));
  if (parser.isSet(o.attribute) && options.format != clntool::ExportFormat::Sld)
    return usageError(QStringLiteral("export: --attribute belongs to --to sld"));
  options.attribute = parser.value(o.attribute);
  // The name goes into the document as text; it must be one XML can hold.
  if (options.attribute.isEmpty() ||
      std::any_of(options.attribute.cbegin(), options.attribute.cend(), [](QChar c) { return c.unicode() < 0x20; }))
    return usageError(QStringLiteral("export: --attribute takes a non-empty name"));
  const QString cellText =
      parser.isSet(o.cellSize) ? parser.value(o.cellSize) : QStringLiteral("%1x%1").arg(kExportCell);
  const std::optional<QSize> cell = cellSize(cellText);
  if (!cell)
    return usageError(QStringLiteral("export: --cell-size takes WxH, each %1 to %2").arg(kMinCell).arg(kMaxCell));
  options.cell = {cell->width(), cell->height()};
  return clntool::runExportTo(options, std::cout, std::cerr);
}

struct Command {
  const char* name;
  const char* summary;
  const char* description;
  int (*run)(const Invocation&);
  /// The Option bits of the options it takes; any other one is refused.
  unsigned options = 0;
  /// How the help names the files; a second name makes a command of two files.
  const char* firstFile = "file";
  const char* secondFile = nullptr;
  const char* firstFileHelp = "The legend file (.CLN).";
};

constexpr std::array<Command, 7> kCommands{{
    {"info", "file size, legend counts by type, data area, problems",
     "Prints the file size, the number of legends by type, where the data area starts,\n"
     "how many bytes its blocks hold and where the furthest one ends, and every problem\n"
     "found in the file.\n"
     "Exit status: 0 readable (also with problems), 1 cannot be opened or not a legend\n"
     "file, 2 wrong command line.",
     runInfo},
    {"validate", "check every head and block; exit 0 only for a sound file",
     "Checks the header, the count, every head record and every data block, including\n"
     "the attribute structures and records. Prints \"完好: N 个图例\" (\"ok: N legends\" under\n"
     "an English locale) for a sound file; otherwise one line per problem on standard error.\n"
     "Exit status: 0 sound, 1 problems found or not readable, 2 wrong command line.",
     runValidate},
    {"dump", "every legend as JSON",
     "Writes the file as JSON: count, display_order (the legend indices in the order\n"
     "the pad shows them) and legends, each with its index, its head fields, its graphic\n"
     "parameter record as the pad holds it, the attribute structure and record sizes,\n"
     "and the attribute fields with their values; names and values as export writes\n"
     "them (docs/legend-json.md).\n"
     "Exit status: 0 written, 1 cannot be opened or not a legend file, 2 wrong command line.",
     runDump},
    {"render", "draw every legend as a printable sheet (PNG, SVG or PDF)",
     "Draws every legend of the file, in the order the pad shows them, as a sheet of\n"
     "cells drawn exactly like the pad's: sample, caption and number. The format follows\n"
     "the extension of -o: PNG (pages of at most 8192 pixels; the second and later pages\n"
     "are written next to OUT as NAME-2.png, NAME-3.png, ...), SVG (one page) or PDF\n"
     "(A4 pages).\n"
     "Exit status: 0 written, 1 cannot be read or written, 2 wrong command line.",
     runRender, kOutput | kColumns | kCellSize | kCaptions},
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
     runExport, kOutput | kCellSize | kTo | kAttribute},
    {"import", "write a legend file from a JSON document made by export",
     "clntool import IN.json OUT.CLN: writes the legend file the document describes,\n"
     "replacing OUT.CLN whole. A document with a problem is refused with the JSON path\n"
     "of the first problem, and nothing is written.\n"
     "Exit status: 0 written, 1 refused or cannot be read or written, 2 wrong command line.",
     runImport, 0, "IN.json", "OUT.CLN", "The JSON document."},
    {"diff", "legends added, removed and changed between two legend files",
     "clntool diff A.CLN B.CLN: lists the legends added, removed and changed from A to\n"
     "B, matched by index and shown with their names, and for each changed legend every\n"
     "field that differs, old -> new (fields as export names them).\n"
     "Exit status: 0 equal, 1 different, 2 wrong command line or a file that cannot be read.",
     runDiff, 0, "A.CLN", "B.CLN"},
}};

const Command* findCommand(const QString& name) {
  for (const Command& command : kCommands)
    if (name == QLatin1String(command.name)) return &command;
  return nullptr;
}

/// "render", "export" or "render and export": the commands that take @p option.
QString ownersOf(Option option) {
  QStringList owners;
  for (const Command& command : kCommands)
    if ((command.options & option) != 0) owners.append(QLatin1String(command.name));
  return owners.join(QStringLiteral(" and "));
}

QString overview() {
  QString text = QStringLiteral("Inspects legend files (.CLN).\n\nCommands:\n");
  for (const Command& command : kCommands)
    text += QStringLiteral("  %1  %2\n").arg(QLatin1String(command.name), -9).arg(QLatin1String(command.summary));
  text += QStringLiteral("\nRun 'clntool COMMAND --help' for the details of a command.");
  return text;
}

void printCommandHelp(QCommandLineParser& parser, const Command& command) {
  parser.setApplicationDescription(QString::fromLatin1(command.description));
  parser.clearPositionalArguments();
  parser.addPositionalArgument(QLatin1String(command.name), QLatin1String(command.summary),
                               QLatin1String(command.name));
  parser.addPositionalArgument(QLatin1String(command.firstFile), QLatin1String(command.firstFileHelp));
  if (command.secondFile != nullptr)
    parser.addPositionalArgument(QLatin1String(command.secondFile), QStringLiteral("The legend file (.CLN)."));
  std::cout << parser.helpText().toStdString();
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
  const Options options;
  for (const auto& [bit, option] : options.all()) parser.addOption(*option);
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
  const QString& name = positional.first();
  const Command* command = findCommand(name);
  if (command == nullptr) return usageError(QStringLiteral("unknown command '%1'").arg(name));
  if (wantsHelp) {
    printCommandHelp(parser, *command);
    return clntool::kExitOk;
  }

  const qsizetype files = command->secondFile != nullptr ? 2 : 1;
  if (positional.size() < 1 + files)
    return usageError(QStringLiteral("%1: %2").arg(
        name, files == 1 ? QStringLiteral("no file given") : QStringLiteral("expects two files")));
  if (positional.size() > 1 + files)
    return usageError(QStringLiteral("%1: expects %2")
                          .arg(name, files == 1 ? QStringLiteral("one file") : QStringLiteral("two files")));
  for (const auto& [bit, option] : options.all()) {
    if ((command->options & bit) != 0 || !parser.isSet(*option)) continue;
    const QString owners = ownersOf(bit);
    return usageError(QStringLiteral("%1: --%2 belongs to %3").arg(name, option->names().last(), owners));
  }

  Invocation call{parser, options, {}};
  // File names are the platform's bytes, not necessarily valid text.
  for (qsizetype k = 1; k <= files; ++k) call.files.push_back(QFile::encodeName(positional.at(k)).toStdString());
  const int status = command->run(call);
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
  legend::installTranslations(legend::ApplicationOwner::Library);
  return run(QCoreApplication::arguments());
}
