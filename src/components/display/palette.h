#pragma once
// The display palette: every colour a legend record or the pad names is a
// number into this table.
//
// Numbering (256 entries, 0 ... 255):
//   0         light neutral grey, the pad's grid
//   1 ... 16  basic colours:  1 white, 2 black, 3 medium blue, 4 dark blue,
//             5 red, 6 mid grey, 7 green, 8 yellow, 9 dark grey, 10 orange,
//             11 selection blue, 12 purple, 13 teal, 14 brown, 15 magenta,
//             16 dark red
//   17 ... 250  26 ramps of 9 steps each, darkest first (step 0) to lightest
//             (step 8); ramp r starts at 17 + 9 r:
//               ramps 0 ... 14   vivid hues 24 degrees apart, starting at cyan
//                                (168 degrees) and going on through blue
//                                (ramp 3, 240 degrees), magenta, red, yellow
//                                and green
//               ramp 15          neutral greys from black (152) to white (160)
//               ramps 16 ... 25  muted hues 36 degrees apart, starting at red
//   251 ... 255  map tints: water, woodland, sand, built-up area, snow
//
// The pad relies on a few of these: grid 0, frame edges 1 (light) and 9
// (dark), selected cell 11, caption 44 (the darkest blue), caption on the
// selected cell 160 (white), position number 6. New legends use 5 for point
// symbols, 3 and 2 for lines and 3 with pattern colour 4 for regions.

#include <QColor>

namespace legend::display {

/// Number of palette entries; valid colour numbers are 0 ... kPaletteSize - 1.
inline constexpr int kPaletteSize = 256;

/// The colour of palette entry @p number; numbers outside the palette give
/// black, so a damaged record still draws visibly.
QColor paletteColour(int number);

}  // namespace legend::display
