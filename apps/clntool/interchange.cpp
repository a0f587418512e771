// export, import and diff: legend files as JSON documents for version control.
// Only the Qt-free interchange library is used here.

#include <cerrno>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>

#include "commands.h"
#include "interchange/legend_diff.h"
#include "interchange/legend_json.h"
#include "legendfile/file_io.h"
#include "legendfile/translation.h"

namespace clntool {

namespace {

using legend::interchange::Json;

std::optional<Json> loadDocument(const std::string& path, std::ostream& err) {
  std::error_code error;
  const std::optional<legend::ReadOnlyFile> file = legend::ReadOnlyFile::open(path, &error);
  if (!file) {
    err << path << ": " << legend::translated(LEGEND_TR_NOOP("legend", "无法打开: %1"), {error.message()}) << '\n';
    return std::nullopt;
  }
  const std::vector<std::uint8_t> bytes = file->readAll();
  if (bytes.size() != file->size()) {
    err << path << ": " << legend::translated(LEGEND_TR_NOOP("legend", "无法读取整个文件")) << '\n';
    return std::nullopt;
  }
  legend::interchange::ExportResult result = legend::interchange::exportDocument(bytes);
  if (!result) {
    err << path << ": " << result.error << '\n';
    return std::nullopt;
  }
  return std::move(result.document);
}

bool replace(const std::string& path, std::span<const std::uint8_t> bytes, std::ostream& err) {
  const legend::ReplaceResult written = legend::replaceFile(path, bytes);
  if (!written)
    err << path << ": " << legend::translated(LEGEND_TR_NOOP("legend", "无法写入: %1"), {written.cause.message()})
        << '\n';
  return static_cast<bool>(written);
}

}  // namespace

int runExport(const std::string& path, const std::optional<std::string>& output, std::ostream& out, std::ostream& err) {
  const std::optional<Json> document = loadDocument(path, err);
  if (!document) return kExitBadFile;
  const std::string text = legend::interchange::documentText(*document);
  if (!output) {
    out << text;
    return kExitOk;
  }
  return replace(*output, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}, err) ? kExitOk
                                                                                                  : kExitBadFile;
}

int runImport(const std::string& input, const std::string& output, std::ostream&, std::ostream& err) {
  std::ifstream in(input, std::ios::binary);
  if (!in) {
    err << input << ": "
        << legend::translated(LEGEND_TR_NOOP("legend", "无法打开: %1"), {std::generic_category().message(errno)})
        << '\n';
    return kExitBadFile;
  }
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) {
    err << input << ": " << legend::translated(LEGEND_TR_NOOP("legend", "无法读取")) << '\n';
    return kExitBadFile;
  }
  const legend::interchange::ImportResult result = legend::interchange::importText(text);
  if (!result) {
    err << input << ": " << legend::translated(LEGEND_TR_NOOP("legend", "%1;未写入任何内容"), {result.description()})
        << '\n';
    return kExitBadFile;
  }
  return replace(output, result.image, err) ? kExitOk : kExitBadFile;
}

int runDiff(const std::string& before, const std::string& after, std::ostream& out, std::ostream& err) {
  const std::optional<Json> a = loadDocument(before, err);
  const std::optional<Json> b = loadDocument(after, err);
  // Like diff(1): trouble is 2, so a script never takes it for "different".
  if (!a || !b) return kExitUsage;
  const legend::interchange::FileDiff diff = legend::interchange::diffDocuments(*a, *b);
  legend::interchange::writeDiff(diff, out);
  return diff.equal() ? kExitOk : kExitDifferent;
}

}  // namespace clntool
