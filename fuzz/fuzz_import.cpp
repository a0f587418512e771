// Import must refuse or accept any text without crashing, and whatever it
// accepts must export to a document that imports to the very same bytes.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "interchange/legend_json.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace legend::interchange;
  // Offsets in a document can ask for gigabytes; a small cap keeps the
  // fuzzer on the parser instead of on malloc.
  const ImportLimits limits{.maxFileBytes = std::uint64_t{1} << 20};
  const ImportResult imported = importText({reinterpret_cast<const char*>(data), size}, limits);
  if (!imported) return 0;
  const ExportResult exported = exportDocument(imported.image);
  if (!exported) std::abort();
  const ImportResult again = importText(documentText(*exported.document), limits);
  if (!again || again.image != imported.image) std::abort();
  return 0;
}
