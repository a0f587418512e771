#pragma once
// The pad's two ways of writing a legend file. The pad never holds attribute
// data, so both take everything but the head records and the graphic
// parameter records from the file on disk. Both build the complete new file
// image first and hand it to replaceFile (file_io.h): the bytes that end up
// on disk are those an overwrite from offset 0 without truncation would
// leave, the old tail included, and a failure leaves the old file intact or
// names the copy of its old bytes.

#include <string>
#include <string_view>

#include "legendfile/file_io.h"
#include "legendfile/legend_set.h"
#include "legendfile/messages.h"
#include "legendfile/status.h"

namespace legend {

/// What a pad save did. Starts out failed.
struct SaveResult {
  LegendStatus status = LegendStatus::WriteFailed;
  /// The file the message names: the file saved to, the pad's own file when
  /// it could not be read, or the copy of the old bytes.
  std::string named;
  FileStep step = FileStep::None;  ///< the file-system step that failed, if one did

  explicit operator bool() const noexcept { return status == LegendStatus::Ok; }
  bool operator==(LegendStatus other) const noexcept { return status == other; }
  /// The text the window shows; empty for Ok.
  std::string message() const { return messages::text(status, named); }
};

/// Writes the header, the count, every head record and every graphic
/// parameter record back into the set's own file; the attribute parts of the
/// blocks stay as the file holds them. The caller clears the modified flag.
SaveResult saveInPlace(const LegendSet& set, FileOps& ops = FileOps::system());

/// Which legends a copy takes.
enum class CopyScope {
  WholeFile,       ///< every legend, in legend order
  CurrentDisplay,  ///< the legends of the display list, in display order
};

/// Copies the set's file to @p destination: the source's 12 header bytes, the
/// chosen head records from the set, and each chosen legend's block from the
/// source at the same offset in the new data area (so a partial copy has
/// gaps). With the modified flag the set's parameter records replace the
/// copied ones. The destination may be the set's own file. A set that read
/// no file, or whose file has changed since, is not copied.
SaveResult saveCopy(const LegendSet& set, std::string_view destination, CopyScope scope,
                    FileOps& ops = FileOps::system());

}  // namespace legend
