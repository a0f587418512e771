#include "components/display/palette.h"

#include <array>
#include <cstdint>

namespace legend::display {

namespace {

using Rgb = std::uint32_t;  // 0xRRGGBB

constexpr int kRampSteps = 9;
constexpr int kFirstRamp = 17;
constexpr int kVividRamps = 15;
constexpr int kGreyRamp = 15;
constexpr int kMutedRamps = 10;
constexpr Rgb kFallback = 0x000000;

constexpr Rgb rgb(double r, double g, double b) {
  auto channel = [](double v) {
    const double clamped = v < 0 ? 0 : (v > 1 ? 1 : v);
    return static_cast<Rgb>(clamped * 255.0 + 0.5);
  };
  return channel(r) << 16 | channel(g) << 8 | channel(b);
}

// Hue in degrees [0, 360), saturation and lightness in [0, 1].
constexpr Rgb hsl(double hue, double saturation, double lightness) {
  const double c = (1 - (2 * lightness - 1 < 0 ? 1 - 2 * lightness : 2 * lightness - 1)) * saturation;
  const double h = hue / 60.0;
  const int sector = static_cast<int>(h);
  const double withinPair = h - static_cast<double>(sector / 2 * 2);  // h mod 2
  const double x = c * (1 - (withinPair - 1 < 0 ? 1 - withinPair : withinPair - 1));
  const double m = lightness - c / 2;
  switch (sector) {
    case 0: return rgb(c + m, x + m, m);
    case 1: return rgb(x + m, c + m, m);
    case 2: return rgb(m, c + m, x + m);
    case 3: return rgb(m, x + m, c + m);
    case 4: return rgb(x + m, m, c + m);
    default: return rgb(c + m, m, x + m);
  }
}

// Ramps run from 8 % lightness, dark enough for text, to 92 %, a tint that
// still shows its hue on white paper.
constexpr double rampLightness(int step) { return 0.08 + 0.105 * step; }

constexpr std::array<Rgb, kPaletteSize> makePalette() {
  std::array<Rgb, kPaletteSize> table{};
  // The basic colours are picked by hand so that what new legends and the
  // pad use reads well together: a 1-pixel line in 3 stays visible both on
  // white and on the selection blue 11, and a pattern in 4 shows on a fill
  // in 3.
  const Rgb basic[] = {
      0xC8C8C8,  // 0 grid grey
      0xFFFFFF,  // 1 white
      0x000000,  // 2 black
      0x4C9BEA,  // 3 medium blue
      0x142C78,  // 4 dark blue
      0xD7261E,  // 5 red
      0x808080,  // 6 mid grey
      0x2E9E3E,  // 7 green
      0xF2C81E,  // 8 yellow
      0x5A5A5A,  // 9 dark grey
      0xF08A1C,  // 10 orange
      0x1D4AA8,  // 11 selection blue
      0x7B3FA0,  // 12 purple
      0x17A2B8,  // 13 teal
      0x8B5A2B,  // 14 brown
      0xD6409F,  // 15 magenta
      0x8B1A1A,  // 16 dark red
  };
  for (int i = 0; i < 17; ++i) table[static_cast<std::size_t>(i)] = basic[i];

  auto ramp = [&](int index, double hue, double saturation) {
    for (int step = 0; step < kRampSteps; ++step)
      table[static_cast<std::size_t>(kFirstRamp + index * kRampSteps + step)] =
          hsl(hue, saturation, rampLightness(step));
  };
  for (int r = 0; r < kVividRamps; ++r) {
    const double hue = 168.0 + 24.0 * r;
    ramp(r, hue >= 360.0 ? hue - 360.0 : hue, 0.8);
  }
  for (int step = 0; step < kRampSteps; ++step) {
    const double level = step / double(kRampSteps - 1);
    table[static_cast<std::size_t>(kFirstRamp + kGreyRamp * kRampSteps + step)] = rgb(level, level, level);
  }
  for (int r = 0; r < kMutedRamps; ++r) ramp(kGreyRamp + 1 + r, 36.0 * r, 0.35);

  const Rgb tints[] = {0xA8D4F0, 0xB5D99C, 0xF2E3B3, 0xE6C8BE, 0xF4F8FB};
  for (int i = 0; i < 5; ++i) table[static_cast<std::size_t>(251 + i)] = tints[i];
  return table;
}

constexpr std::array<Rgb, kPaletteSize> kPalette = makePalette();

static_assert(kFirstRamp + (kGreyRamp + 1 + kMutedRamps) * kRampSteps == 251, "ramps end where the tints begin");
static_assert(kPalette[160] == 0xFFFFFF, "the caption on the selected cell is white");
static_assert(kPalette[152] == 0x000000, "the grey ramp starts at black");

}  // namespace

QColor paletteColour(int number) {
  const Rgb value = number >= 0 && number < kPaletteSize ? kPalette[static_cast<std::size_t>(number)] : kFallback;
  return QColor::fromRgb(static_cast<int>(value >> 16 & 0xFF), static_cast<int>(value >> 8 & 0xFF),
                         static_cast<int>(value & 0xFF));
}

}  // namespace legend::display
