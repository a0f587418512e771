#pragma once

// Runs the command line programs as a user runs them.

#include <filesystem>
#include <string>

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <gtest/gtest.h>

namespace testqt {

struct Outcome {
  int exitCode = -1;
  std::string out, err;
};

/// Runs @p program under the Chinese interface, or the English one when @p language says "en";
/// with @p standardOutput, its output goes to that file instead of Outcome::out.
inline Outcome runProgram(const char* program, const QStringList& arguments, const char* language = nullptr,
                          const char* standardOutput = nullptr) {
  QProcess process;
  if (standardOutput) process.setStandardOutputFile(QString::fromLatin1(standardOutput));
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"}) environment.remove(QString::fromLatin1(name));
  environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
  if (language) environment.insert(QStringLiteral("LANGUAGE"), QString::fromLatin1(language));
  process.setProcessEnvironment(environment);
  process.start(QString::fromUtf8(program), arguments);
  if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) {
    ADD_FAILURE() << program << " did not finish normally";
    return {};
  }
  return {process.exitCode(), process.readAllStandardOutput().toStdString(),
          process.readAllStandardError().toStdString()};
}

inline Outcome clntool(const QStringList& arguments) { return runProgram(CLNTOOL_PATH, arguments); }

inline QString q(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

}  // namespace testqt
