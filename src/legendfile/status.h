#pragma once
// Outcomes of the legend file operations. The core returns these; the window
// layer turns each into the text the user sees (messages.h), and only when
// the pad was created with the show-messages flag.

#include <cstdint>

namespace legend {

enum class LegendStatus : std::uint8_t {
  Ok,
  NoSuchLegend,             ///< empty set or index outside it: answered silently
  PathTooLong,              ///< a path of more than 259 bytes; refused, never truncated
  CannotOpenLegendFile,     ///< reading: the file cannot be opened
  IllegalLegendFile,        ///< reading: bad header, count or head records past the end
  CannotOpenForAttributes,  ///< attribute query: the file cannot be opened
  AttributeSizeMismatch,    ///< attribute query: R differs from the structure's record length
  AttributeDataDamaged,     ///< attribute query: S or R negative or reaching past the file end
  CannotOpenWritable,       ///< save in place: the file may not be written, or cannot be created
  CannotOpenSource,         ///< save copy: the pad's own file cannot be read
  CannotOpenCopyTarget,     ///< save copy: the destination may not be written, or cannot be created
  WriteFailed,              ///< a save failed before the file was touched; the old file is untouched
  WriteFailedBackupKept,    ///< writing over the file failed part way; its old bytes are in a named copy
  SaveUnconfirmed,          ///< the new content is in place, but could not be confirmed as stored
  FileChangedElsewhere,     ///< save in place: the file is no longer the one the set was read from
  SourceChangedElsewhere,   ///< save copy: the pad's own file is no longer the one the set was read from
};

}  // namespace legend
