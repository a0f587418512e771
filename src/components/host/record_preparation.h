#pragma once
// Preparing a graphic parameter record before it goes to the project host:
// the host draws features with it, so every size and angle the display
// interprets must be a finite number. Anything else in the record is left
// exactly as the legend file holds it.

#include "legend/records.h"
#include "legendfile/layout.h"

/// The point record @p record with the non-finite sizes and angles of its
/// point type's fields replaced by 0.
PNT_INFOstruct PreparePntInfo(legend::PointRecordBytes record);
/// The same for the pen width and pattern sizes of a line record.
LIN_INFOstruct PrepareLinInfo(legend::LineRecordBytes record);
/// The same for the pattern cell size of a region record.
REG_INFOstruct PrepareRegInfo(legend::RegionRecordBytes record);
