// liblegend.so must export the thirteen functions and nothing else: a stray
// symbol becomes part of the interface the moment a host links against it.

#include <cstdio>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace {

// Defined dynamic symbols as `nm -D --defined-only` lists them, without
// their version suffixes and without the version nodes themselves.
std::set<std::string> exportedSymbols(const std::string& library) {
  const std::string command = "nm -D --defined-only '" + library + "'";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::set<std::string> names;
  if (!pipe) return names;
  char line[512];
  while (std::fgets(line, sizeof line, pipe.get())) {
    std::istringstream fields(line);
    std::string address, kind, name;
    if (!(fields >> address >> kind >> name)) continue;
    if (kind == "A") continue;  // a version node such as LEGEND_0
    name = name.substr(0, name.find('@'));
    names.insert(name);
  }
  return names;
}

TEST(ExportedSymbols, AreExactlyThePadAndEditorFunctions) {
  std::set<std::string> names = exportedSymbols(LEGEND_LIBRARY_PATH);
  ASSERT_FALSE(names.empty()) << "nm could not read " << LEGEND_LIBRARY_PATH;
  for (const char* linkerMark : {"_init", "_fini", "__bss_start", "_edata", "_end"}) names.erase(linkerMark);
  const std::set<std::string> expected = {
      "OpenCLNEditWindow", "NewCLNEditWindow", "CreateCLNPadWindow", "CloseCLNPadWindow", "ReloadCLNPadWindow",
      "GetCLNType",        "GetCLNPntInfo",    "GetCLNLinInfo",      "GetCLNRegInfo",     "GetCLNFile",
      "GetCLNHeadInfo",    "GetCLNAttInfo",    "SetNewCLNFile",
  };
  EXPECT_EQ(names, expected);
}

}  // namespace
