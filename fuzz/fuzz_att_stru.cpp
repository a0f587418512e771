// Whatever loads must save back to exactly the bytes it came from, and every
// field must read from a zeroed record and write the value back unchanged.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "components/attstru/att_stru.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) return 0;
  CATT_STRU loaded, reloaded;
  const std::int32_t used = loaded.Load(data, static_cast<std::int32_t>(size), 0);
  if (used < 0) return 0;
  std::vector<std::uint8_t> saved(static_cast<std::size_t>(used));
  if (loaded.CalSize() != used || loaded.Save(saved.data(), used, 0) != used ||
      std::memcmp(saved.data(), data, saved.size()) != 0 || reloaded.Load(saved.data(), used, 0) != used ||
      !(reloaded == loaded))
    std::abort();
  std::vector<std::uint8_t> record(static_cast<std::size_t>(loaded.RecordLength()));
  for (std::int16_t i = 0; i < loaded.FieldCount(); ++i) {
    AttValue value;
    if (loaded.GetValue(record, i, value) != AttStatus::Ok || loaded.SetValue(record, i, value) != AttStatus::Ok)
      std::abort();
  }
  if (record != std::vector<std::uint8_t>(record.size())) std::abort();
  return 0;
}
