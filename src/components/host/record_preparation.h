#pragma once
// Preparing a graphic parameter record before it goes to the project host:
// the host draws features with it, so every size and angle the display
// interprets must be a finite number. Anything else in the record is left
// exactly as the legend file holds it.

#include "legend/records.h"

/// Replaces non-finite sizes and angles of the point type's fields by 0.
/// Always 1.
short PreparePntInfo(PNT_INFOstruct* info);
/// The same for the pen width and pattern sizes of a line record.
short PrepareLinInfo(LIN_INFOstruct* info);
/// The same for the pattern cell size of a region record.
short PrepareRegInfo(REG_INFOstruct* info);
