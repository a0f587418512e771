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
#include <new>
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
  // Made after the translators are installed, so the help is in the
  // interface's language.
  QCommandLineOption output{
      {QStringLiteral("o"), QStringLiteral("output")},
      legend::tr("render: 要写入的图例表(.png、.svg 或 .pdf);\nexport: 要写入的文件(--to svg 时为文件夹)。"),
      QStringLiteral("OUT")};
  QCommandLineOption columns{QStringLiteral("columns"), legend::tr("render: 每行的单元格数(1-64,默认 6)。"),
                             QStringLiteral("N"), QStringLiteral("6")};
  QCommandLineOption cellSize{QStringLiteral("cell-size"),
                              legend::tr("render: 单元格的像素大小(宽、高各 16-1024,默认 100x100);\n"
                                         "export: 按此单元格确定符号大小(默认 64x64)。"),
                              QStringLiteral("WxH"), QStringLiteral("100x100")};
  QCommandLineOption captions{QStringLiteral("captions"), legend::tr("render: 标题用图例名称(name)或分类码(code)。"),
                              QStringLiteral("name|code"), QStringLiteral("name")};
  QCommandLineOption to{QStringLiteral("to"), legend::tr("export: json(默认)、qgis-style、sld 或 svg。"),
                        QStringLiteral("FORMAT"), QStringLiteral("json")};
  QCommandLineOption attribute{QStringLiteral("attribute"),
                               legend::tr("export --to sld: 存放分类码的属性(默认 class_code)。"),
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

constexpr const char* kUsageHint = QT_TRANSLATE_NOOP("legend", "运行 'clntool --help' 查看用法。");

int usageError(const QString& message) {
  const QString hint = legend::tr(kUsageHint);
  std::cerr << "clntool: " << message.toStdString() << '\n' << hint.toStdString() << '\n';
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
  if (!parser.isSet(o.output)) return usageError(legend::tr("render: 未指定输出文件(-o OUT)"));
  render.output = parser.value(o.output);
  bool ok = false;
  render.columns = parser.value(o.columns).toInt(&ok);
  if (!ok || render.columns < 1 || render.columns > kMaxColumns)
    return usageError(legend::tr("render: --columns 的取值为 1 到 %1").arg(kMaxColumns));
  const std::optional<QSize> cell = cellSize(parser.value(o.cellSize));
  if (!cell)
    return usageError(legend::tr("render: --cell-size 的取值为 WxH,宽、高各为 %1 到 %2").arg(kMinCell).arg(kMaxCell));
  render.cellWidth = cell->width();
  render.cellHeight = cell->height();
  const QString captions = parser.value(o.captions);
  if (captions != QLatin1String("name") && captions != QLatin1String("code"))
    return usageError(legend::tr("render: --captions 的取值为 name 或 code"));
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
        return usageError(legend::tr("export: --%1 不适用于 JSON").arg(option->names().last()));
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
  if (known == kFormats.end()) return usageError(legend::tr("export: --to 的取值为 json、qgis-style、sld 或 svg"));
  options.format = known->second;
  if (options.format == clntool::ExportFormat::Svg && !output)
    return usageError(legend::tr("export: --to svg 需要指定文件夹(-o DIR)"));
  if (parser.isSet(o.attribute) && options.format != clntool::ExportFormat::Sld)
    return usageError(legend::tr("export: --attribute 只用于 --to sld"));
  options.attribute = parser.value(o.attribute);
  // The name goes into the document as text; it must be one XML can hold.
  if (options.attribute.isEmpty() ||
      std::any_of(options.attribute.cbegin(), options.attribute.cend(), [](QChar c) { return c.unicode() < 0x20; }))
    return usageError(legend::tr("export: --attribute 需要一个非空的属性名"));
  const QString cellText =
      parser.isSet(o.cellSize) ? parser.value(o.cellSize) : QStringLiteral("%1x%1").arg(kExportCell);
  const std::optional<QSize> cell = cellSize(cellText);
  if (!cell)
    return usageError(legend::tr("export: --cell-size 的取值为 WxH,宽、高各为 %1 到 %2").arg(kMinCell).arg(kMaxCell));
  options.cell = {cell->width(), cell->height()};
  return clntool::runExportTo(options, std::cout, std::cerr);
}

constexpr const char* kLegendFileHelp = QT_TRANSLATE_NOOP("legend", "图例文件(.CLN)。");

/// A command's texts are the interface's Chinese sources, translated when
/// the help is printed.
struct Command {
  const char* name;
  const char* summary;
  const char* description;
  int (*run)(const Invocation&);
  /// The Option bits of the options it takes; any other one is refused.
  unsigned options = 0;
  /// How the help names the files; a second name makes a command of two
  /// files. Null: the translated word for a file.
  const char* firstFile = nullptr;
  const char* secondFile = nullptr;
  const char* firstFileHelp = kLegendFileHelp;
};

constexpr std::array<Command, 7> kCommands{{
    {"info", QT_TRANSLATE_NOOP("legend", "文件大小、各类型的图例数、数据区、问题"),
     QT_TRANSLATE_NOOP("legend",
                       "显示文件大小、各类型的图例数、数据区的起始位置、数据块共占的字节数和\n"
                       "最远的数据块结束的位置,以及在文件中发现的每个问题。\n"
                       "退出状态: 0 可读(有问题时也是),1 无法打开或不是图例文件,2 命令行错误。"),
     runInfo},
    {"validate", QT_TRANSLATE_NOOP("legend", "检查每个头记录和数据块;仅当文件完好时退出状态为 0"),
     QT_TRANSLATE_NOOP("legend",
                       "检查文件头、图例数、每个头记录和每个数据块,包括属性结构和属性记录。\n"
                       "文件完好时显示 \"完好: N 个图例\"(英文界面下为 \"ok: N legends\");\n"
                       "否则在标准错误上每个问题一行。\n"
                       "退出状态: 0 完好,1 发现问题或无法读取,2 命令行错误。"),
     runValidate},
    {"dump", QT_TRANSLATE_NOOP("legend", "以 JSON 输出每个图例"),
     QT_TRANSLATE_NOOP("legend",
                       "以 JSON 写出文件: count、display_order(图例板显示图例的顺序,以图例序号\n"
                       "列出)和 legends;每个图例含序号、头记录字段、图例板所持有的图形参数记录、\n"
                       "属性结构和属性记录的大小,以及属性字段和它们的值;名称和值的写法与 export\n"
                       "相同(docs/legend-json.md)。\n"
                       "退出状态: 0 已写出,1 无法打开或不是图例文件,2 命令行错误。"),
     runDump},
    {"render", QT_TRANSLATE_NOOP("legend", "把每个图例画成可打印的图例表(PNG、SVG 或 PDF)"),
     QT_TRANSLATE_NOOP("legend",
                       "按图例板的显示顺序画出文件中的每个图例,排成由单元格组成的图例表,每个\n"
                       "单元格与图例板中的画法完全相同: 样例、标题和序号。格式由 -o 的扩展名决定:\n"
                       "PNG(每页最多 8192 像素;第二页起写在 OUT 旁边,名为 NAME-2.png、\n"
                       "NAME-3.png ...)、SVG(一页)或 PDF(A4 页面)。\n"
                       "退出状态: 0 已写出,1 无法读取或写入,2 命令行错误。"),
     runRender, kOutput | kColumns | kCellSize | kCaptions},
    {"export", QT_TRANSLATE_NOOP("legend", "导出为 JSON,或为 QGIS、OGC 服务器导出图例,或导出 SVG"),
     QT_TRANSLATE_NOOP("legend",
                       "--to json(默认): 把文件的每个字节写成带缩进的 JSON 文档(写到标准输出,\n"
                       "或用 -o 写到 OUT): 每个图例的名称和描述(UTF-8)、类型、分类码、按字段名\n"
                       "列出的图形参数、属性字段和值,以及文件中的其他一切(保留字节、空隙),\n"
                       "使 import 能还原出相同的字节(docs/legend-json.md)。\n"
                       "--to qgis-style: QGIS 样式库(XML),每个图例一个符号,以图例名称命名,\n"
                       "并标上分类码和类型。\n"
                       "--to sld: OGC 图层样式描述(SLD)1.1,每个分类码一条规则,按 --attribute\n"
                       "指定的属性过滤(默认 class_code)。\n"
                       "--to svg -o DIR: 每个图例一个 SVG,DIR/NNNNN-CODE.svg(显示位置和分类码)。\n"
                       "符号的样子与图例板在 --cell-size 大小的单元格中画的一样(默认 64x64)。\n"
                       "无法导出的图例(未知类型、损坏的数据块)列在标准错误上,其余的照常写出\n"
                       "(docs/legend-export.md)。\n"
                       "退出状态: 0 已写出,1 无法读取、不是图例文件或无法写入,2 命令行错误。"),
     runExport, kOutput | kCellSize | kTo | kAttribute},
    {"import", QT_TRANSLATE_NOOP("legend", "根据 export 生成的 JSON 文档写出图例文件"),
     QT_TRANSLATE_NOOP("legend",
                       "clntool import IN.json OUT.CLN: 写出文档所描述的图例文件,整个替换 OUT.CLN。\n"
                       "文档有问题时拒绝导入,给出第一个问题的 JSON 路径,不写入任何内容。\n"
                       "退出状态: 0 已写出,1 被拒绝或无法读取或写入,2 命令行错误。"),
     runImport, 0, "IN.json", "OUT.CLN", QT_TRANSLATE_NOOP("legend", "JSON 文档。")},
    {"diff", QT_TRANSLATE_NOOP("legend", "两个图例文件之间增加、删除和修改的图例"),
     QT_TRANSLATE_NOOP("legend",
                       "clntool diff A.CLN B.CLN: 列出从 A 到 B 增加、删除和修改的图例,按序号对应,\n"
                       "并显示图例名称;对每个修改了的图例列出每个不同的字段,旧值 -> 新值(字段名\n"
                       "与 export 中的相同)。\n"
                       "退出状态: 0 相同,1 不同,2 命令行错误或有文件无法读取。"),
     runDiff, 0, "A.CLN", "B.CLN"},
}};

// The help's names of the arguments are placeholders, as OUT and WxH are;
// the parser pads them by characters, so they stay ASCII to keep the
// columns straight.
QString commandArgument() { return QCoreApplication::translate("legend", "COMMAND", "command line argument"); }
QString fileArgument() { return QCoreApplication::translate("legend", "FILE", "command line argument"); }

const Command* findCommand(const QString& name) {
  for (const Command& command : kCommands)
    if (name == QLatin1String(command.name)) return &command;
  return nullptr;
}

/// "render", "export" or "render and export": the commands that take @p option.
QString ownersOf(Option option) {
  QString owners;
  for (const Command& command : kCommands) {
    if ((command.options & option) == 0) continue;
    const QString name = QLatin1String(command.name);
    owners = owners.isEmpty() ? name : legend::tr("%1 和 %2").arg(owners, name);
  }
  return owners;
}

QString overview() {
  QString text = legend::tr("查看和处理图例文件(.CLN)。") + QStringLiteral("\n\n") + legend::tr("命令:") + u'\n';
  for (const Command& command : kCommands)
    text += QStringLiteral("  %1  %2\n").arg(QLatin1String(command.name), -9).arg(legend::tr(command.summary));
  text += u'\n' + legend::tr("运行 'clntool COMMAND --help' 查看命令的详细说明。");
  return text;
}

void printCommandHelp(QCommandLineParser& parser, const Command& command) {
  parser.setApplicationDescription(legend::tr(command.description));
  parser.clearPositionalArguments();
  parser.addPositionalArgument(QLatin1String(command.name), legend::tr(command.summary), QLatin1String(command.name));
  const QString firstFile = command.firstFile != nullptr ? QLatin1String(command.firstFile) : fileArgument();
  parser.addPositionalArgument(firstFile, legend::tr(command.firstFileHelp));
  if (command.secondFile != nullptr)
    parser.addPositionalArgument(QLatin1String(command.secondFile), legend::tr(kLegendFileHelp));
  std::cout << parser.helpText().toStdString();
}

int run(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(overview());
  // Not addHelpOption: its --help-all lists Qt's own options, which this
  // tool does not take.
  const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")}, legend::tr("显示本帮助。"));
  parser.addOption(helpOption);
  const QCommandLineOption versionOption = parser.addVersionOption();
  const QString commands = legend::tr("info、validate、dump、render、export、import 或 diff");
  parser.addPositionalArgument(commandArgument(), commands);
  parser.addPositionalArgument(fileArgument(), legend::tr("图例文件(import: JSON 文档)。"));
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
    return usageError(legend::tr("未指定命令"));
  }
  const QString& name = positional.first();
  const Command* command = findCommand(name);
  if (command == nullptr) return usageError(legend::tr("未知命令 '%1'").arg(name));
  if (wantsHelp) {
    printCommandHelp(parser, *command);
    return clntool::kExitOk;
  }

  const qsizetype files = command->secondFile != nullptr ? 2 : 1;
  if (positional.size() < 1 + files)
    return usageError((files == 1 ? legend::tr("%1: 未指定文件") : legend::tr("%1: 需要两个文件")).arg(name));
  if (positional.size() > 1 + files)
    return usageError((files == 1 ? legend::tr("%1: 只接受一个文件") : legend::tr("%1: 需要两个文件")).arg(name));
  for (const auto& [bit, option] : options.all()) {
    if ((command->options & bit) != 0 || !parser.isSet(*option)) continue;
    const QString owners = ownersOf(bit);
    return usageError(legend::tr("%1: --%2 只用于 %3").arg(name, option->names().last(), owners));
  }

  Invocation call{parser, options, {}};
  // File names are the platform's bytes, not necessarily valid text.
  for (qsizetype k = 1; k <= files; ++k) call.files.push_back(QFile::encodeName(positional.at(k)).toStdString());
  const int status = command->run(call);
  // Output that did not all arrive (a full disk, say) is a failure, whatever
  // the command found.
  if (!std::cout.flush()) {
    std::cerr << "clntool: " << legend::tr("无法写入标准输出").toStdString() << '\n';
    // diff answers with 0 and 1; like diff(1), its trouble is 2.
    return std::string_view(command->name) == "diff" ? clntool::kExitUsage : clntool::kExitBadFile;
  }
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
  try {
    return run(QCoreApplication::arguments());
  } catch (const std::bad_alloc&) {
    // Outputs are written whole or not at all, so nothing is half written.
    std::cerr << "clntool: " << legend::tr("内存不足").toStdString() << '\n';
    return clntool::kExitBadFile;
  }
}
