// clntool COMMAND FILE: inspect, validate or dump a legend file.
//
// Exit status: 0 success, 1 the file cannot be used (or, for validate, has
// problems), 2 the command line is wrong. QCommandLineParser::process would
// exit with 1 on a bad option, so parsing is done with parse() and the
// statuses are chosen here.

#include <array>
#include <iostream>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include "commands.h"

namespace {

struct Command {
  const char* name;
  const char* summary;
  const char* description;
  int (*run)(const std::string&, std::ostream&, std::ostream&);
};

constexpr std::array<Command, 3> kCommands{{
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
     "the pad shows them) and legends, each with its head fields (names and descriptions\n"
     "decoded from GBK), its graphic parameter record in hex, the attribute structure\n"
     "and record sizes, and the attribute fields with their values.\n"
     "Exit status: 0 written, 1 cannot be opened or not a legend file, 2 wrong command line.",
     clntool::runDump},
}};

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
  parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("info, validate or dump"));
  parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("The legend file."));
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
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("The legend file (.CLN)."));
    std::cout << parser.helpText().toStdString();
    return clntool::kExitOk;
  }
  if (positional.size() < 2) return usageError(QStringLiteral("%1: no file given").arg(positional.first()));
  if (positional.size() > 2) return usageError(QStringLiteral("%1: expects one file").arg(positional.first()));

  // File names are the platform's bytes, not necessarily valid text.
  const std::string path = QFile::encodeName(positional.at(1)).toStdString();
  const int status = command->run(path, std::cout, std::cerr);
  std::cout.flush();
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("clntool"));
  QCoreApplication::setApplicationVersion(QStringLiteral(CLNTOOL_VERSION));
  return run(QCoreApplication::arguments());
}
