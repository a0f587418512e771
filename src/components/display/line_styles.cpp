// Line styles. Each style is a short recipe over a few primitives (dash runs,
// parallels, bands and ornaments) laid along the polyline by arc length, so a
// pattern follows bends instead of restarting at every vertex, and the same
// recipe draws the pad's short straight sample and a long winding map line.
//
// Every ornament stays inside a band patternWidth wide centred on the line, so
// a sample's height is known from its record alone.

#include "components/display/styles.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <optional>
#include <span>
#include <vector>

#include "components/display/paintable_area.h"

namespace legend::display {
namespace {

// Records come from files and may hold anything; these bounds only keep a
// corrupt one from hanging the painter or flooding a PDF with ornaments.
// Twenty thousand repeats of ten pixels are a line longer than a print of
// the largest sheet at 600 dpi; beyond that the repeat grows.
constexpr double kMaxRepeats = 20000;      ///< pattern repeats per call
constexpr double kMaxWavePoints = 400000;  ///< vertices of a wave per call
constexpr double kMaxCoordinate = 1e9;     ///< a point beyond this is garbage, not a drawing
constexpr double kMinPenWidth = 0.25, kMaxPenWidth = 100, kDefaultPenWidth = 1;
constexpr double kMinPatternLength = 1, kMaxPatternLength = 10000, kDefaultPatternLength = 10;
constexpr double kMinPatternWidth = 0.5, kMaxPatternWidth = 1000, kDefaultPatternWidth = 4;
/// Beyond this ratio of miter length to offset a parallel's corner is bevelled.
constexpr double kMiterLimit = 3;

double sanitise(double value, double fallback, double low, double high) {
  if (!std::isfinite(value) || value <= 0) return fallback;
  return std::clamp(value, low, high);
}

/// Position on the line, the unit direction of travel and the unit normal to
/// the traveller's left (y grows downwards, so left of east is up).
struct Frame {
  QPointF at;
  QPointF tangent;
  QPointF left;
  /// The point @p along ahead and @p across to the left of this one.
  QPointF local(double along, double across) const { return at + tangent * along + left * across; }
};

/// A polyline measured by arc length. Repeated points are dropped; a line with
/// an unusable coordinate, or fewer than two distinct points, is empty.
class Track {
 public:
  explicit Track(const QPolygonF& polyline) {
    for (const QPointF& p : polyline) {
      if (!std::isfinite(p.x()) || !std::isfinite(p.y()) || std::abs(p.x()) > kMaxCoordinate ||
          std::abs(p.y()) > kMaxCoordinate) {
        points_.clear();
        cumulative_.clear();
        return;
      }
      if (!points_.isEmpty()) {
        const double step = std::hypot(p.x() - points_.back().x(), p.y() - points_.back().y());
        if (!(step > 0)) continue;
        cumulative_.push_back(cumulative_.back() + step);
      } else {
        cumulative_.push_back(0);
      }
      points_.append(p);
    }
    if (points_.size() < 2) {
      points_.clear();
      cumulative_.clear();
    }
  }

  bool empty() const { return points_.size() < 2; }
  double length() const { return cumulative_.empty() ? 0 : cumulative_.back(); }
  const QPolygonF& points() const { return points_; }

  Frame frameAt(double s) const {
    const std::size_t i = segmentAt(s);
    const QPointF a = points_[qsizetype(i)], b = points_[qsizetype(i + 1)];
    const double segment = cumulative_[i + 1] - cumulative_[i];
    const QPointF tangent = (b - a) / segment;
    const double t = std::clamp(s - cumulative_[i], 0.0, segment);
    return {a + tangent * t, tangent, QPointF(tangent.y(), -tangent.x())};
  }

  /// The stretch of the line between arc lengths @p from and @p to, bends included.
  QPolygonF slice(double from, double to) const {
    QPolygonF piece;
    from = std::max(from, 0.0);
    to = std::min(to, length());
    if (!(to > from)) return piece;
    piece.append(frameAt(from).at);
    const std::size_t last = segmentAt(to);
    for (std::size_t i = segmentAt(from) + 1; i <= last; ++i) {
      if (cumulative_[i] > from && cumulative_[i] < to) piece.append(points_[qsizetype(i)]);
    }
    piece.append(frameAt(to).at);
    return piece;
  }

  /// The unit left normal of segment @p i.
  QPointF normal(std::size_t i) const {
    const QPointF d = points_[qsizetype(i + 1)] - points_[qsizetype(i)];
    const double length = cumulative_[i + 1] - cumulative_[i];
    return {d.y() / length, -d.x() / length};
  }

  /// The offset to the left at vertex @p i that keeps a parallel at unit
  /// distance from both of its segments: the mitre, or at a bend too sharp
  /// for one, nothing (the caller bevels).
  std::optional<QPointF> mitre(std::size_t i) const {
    if (i == 0) return normal(0);
    if (i + 1 == cumulative_.size()) return normal(i - 1);
    const QPointF sum = normal(i - 1) + normal(i);
    const double sumLength = std::hypot(sum.x(), sum.y());
    const double cosHalf = sumLength / 2;
    if (cosHalf * kMiterLimit < 1) return std::nullopt;
    return sum / sumLength / cosHalf;
  }

  /// The parallel @p distance to the left (negative: to the right), mitred at
  /// gentle bends and bevelled at sharp ones.
  QPolygonF parallel(double distance) const {
    QPolygonF out;
    for (std::size_t i = 0; i < cumulative_.size(); ++i) {
      const QPointF p = points_[qsizetype(i)];
      if (const std::optional<QPointF> m = mitre(i)) {
        out.append(p + *m * distance);
      } else {
        out.append(p + normal(i - 1) * distance);
        out.append(p + normal(i) * distance);
      }
    }
    return out;
  }

  /// An offset to the left at arc length @p s that turns smoothly through the
  /// bends, for wiggles across the line: unit on straight stretches, the
  /// mitre (capped) at a vertex, blended in between.
  QPointF across(double s) const {
    const std::size_t i = segmentAt(s);
    auto at = [&](std::size_t v) {
      if (const std::optional<QPointF> m = mitre(v)) return *m;
      const QPointF sum = normal(v - 1) + normal(v);
      const double sumLength = std::hypot(sum.x(), sum.y());
      return sumLength > 0 ? sum / sumLength * kMiterLimit : normal(v);
    };
    const double t = std::clamp((s - cumulative_[i]) / (cumulative_[i + 1] - cumulative_[i]), 0.0, 1.0);
    return at(i) * (1 - t) + at(i + 1) * t;
  }

 private:
  std::size_t segmentAt(double s) const {
    const auto it = std::upper_bound(cumulative_.begin(), cumulative_.end(), s);
    const auto index = static_cast<std::size_t>(std::max<std::ptrdiff_t>(it - cumulative_.begin(), 1) - 1);
    return std::min(index, cumulative_.size() - 2);
  }

  QPolygonF points_;
  std::vector<double> cumulative_;
};

/// A stretch of one repeat that is inked, in fractions of the repeat.
struct Run {
  double from;
  double to;
};

/// Everything a style draws with, its numbers already made sane.
struct Context {
  QPainter& painter;
  const Track& track;
  QColor colour;
  QColor second;
  double pen;
  double length;  ///< one repeat, grown where the line would take too many
  double width;
  /// The region of the surface that can show ink; unknown for vector output,
  /// and then everything is drawn.
  std::optional<QRectF> keep;

  double half() const { return width / 2; }
  /// How far any mark strays from its station: ornaments stay within the
  /// width and a repeat, bends lengthen that by the mitre.
  double reach() const { return 1.5 * (width + length) + 2 * pen; }
  /// Whether ink within @p within of @p p can show; marks that cannot are
  /// skipped, so a long line off the edge of the window costs little.
  bool shows(QPointF p, double within) const {
    return !keep || keep->adjusted(-within, -within, within, within).contains(p);
  }
  /// A repeat for @p track no shorter than @p wanted and short of the cap.
  static double repeatFor(const Track& track, double wanted) { return std::max(wanted, track.length() / kMaxRepeats); }
};

void strokePath(const Context& c, const QPainterPath& path, const QColor& colour, double width,
                Qt::PenCapStyle cap = Qt::FlatCap, Qt::PenJoinStyle join = Qt::RoundJoin) {
  if (path.isEmpty()) return;
  QPen pen(colour, width, Qt::SolidLine, cap, join);
  c.painter.strokePath(path, pen);
}

void strokeLine(const Context& c, const QPolygonF& line, const QColor& colour, double width,
                Qt::PenCapStyle cap = Qt::FlatCap, Qt::PenJoinStyle join = Qt::RoundJoin) {
  QPainterPath path;
  path.addPolygon(line);
  strokePath(c, path, colour, width, cap, join);
}

void fillPath(const Context& c, QPainterPath path, const QColor& colour) {
  // Neighbouring dots may overlap; under the default odd-even rule the
  // overlap would be punched out.
  path.setFillRule(Qt::WindingFill);
  if (!path.isEmpty()) c.painter.fillPath(path, colour);
}

/// The inked runs along @p track of a pattern repeating from its start.
QPainterPath dashes(const Context& c, const Track& track, double repeat, std::span<const Run> runs) {
  QPainterPath path;
  repeat = Context::repeatFor(track, repeat);
  const double total = track.length(), within = 2 * repeat + c.reach();
  // Runs may reach into the neighbouring repeat, so one before the start counts too.
  for (double k = -1; k * repeat < total; ++k) {
    if (!c.shows(track.frameAt(k * repeat).at, within)) continue;
    for (const Run& run : runs) {
      const QPolygonF piece = track.slice((k + run.from) * repeat, (k + run.to) * repeat);
      if (!piece.isEmpty()) path.addPolygon(piece);
    }
  }
  return path;
}

/// Arc lengths of ornaments every @p repeat, centred on the line so a sample
/// looks the same at both ends; a line shorter than a repeat gets one, in its
/// middle.
std::vector<double> stations(const Track& track, double repeat) {
  repeat = Context::repeatFor(track, repeat);
  const double total = track.length();
  const double count = std::max(1.0, std::floor(total / repeat));
  const double first = (total - (count - 1) * repeat) / 2;
  std::vector<double> at;
  at.reserve(static_cast<std::size_t>(count));
  for (double k = 0; k < count; ++k) at.push_back(first + k * repeat);
  return at;
}

/// Dots at the given fractions of every repeat from the line's start.
QPainterPath dotsEvery(const Context& c, std::span<const double> fractions, double radius) {
  QPainterPath path;
  const Track& track = c.track;
  for (double k = 0; k * c.length < track.length(); ++k) {
    for (double f : fractions) {
      const double s = (k + f) * c.length;
      if (s > track.length()) continue;
      const QPointF at = track.frameAt(s).at;
      if (c.shows(at, radius)) path.addEllipse(at, radius, radius);
    }
  }
  return path;
}

/// A straight mark across the line from @p from to @p to (positive: left).
void tick(QPainterPath& path, const Frame& f, double from, double to) {
  path.moveTo(f.local(0, from));
  path.lineTo(f.local(0, to));
}

void diagonalCross(QPainterPath& path, const Frame& f, double half) {
  path.moveTo(f.local(-half, -half));
  path.lineTo(f.local(half, half));
  path.moveTo(f.local(-half, half));
  path.lineTo(f.local(half, -half));
}

double dotRadius(const Context& c) { return std::max(0.75 * c.pen, 1.0); }
double heavyPen(const Context& c) { return std::max(2 * c.pen, c.pen + 1); }

void solid(const Context& c) { strokeLine(c, c.track.points(), c.colour, c.pen); }

void dashed(const Context& c, std::span<const Run> runs, double pen) {
  strokePath(c, dashes(c, c.track, c.length, runs), c.colour, pen);
}

/// Dashes and dots; @p gap is the shortest space between them, as a fraction
/// of the repeat, which the dots must not fill.
void dashDots(const Context& c, std::span<const Run> runs, std::span<const double> dots, double gap, double pen,
              double radius) {
  radius = std::max(std::min(radius, 0.35 * gap * c.length), 0.5);
  dashed(c, runs, pen);
  fillPath(c, dotsEvery(c, dots, radius), c.colour);
}

void parallels(const Context& c, double pen) {
  for (double side : {1.0, -1.0}) strokeLine(c, c.track.parallel(side * c.half()), c.colour, pen);
}

/// A band patternWidth wide in the second colour between two edges.
void casing(const Context& c) {
  strokeLine(c, c.track.points(), c.second, c.width, Qt::FlatCap, Qt::MiterJoin);
  parallels(c, c.pen);
}

/// What a style's marks add: outlines in the pen, and shapes filled solid.
struct Ink {
  QPainterPath strokes;
  QPainterPath fills;
};

/// Marks every @p repeat, on the line unless @p withLine is false; @p mark
/// adds one, given the ink, the frame at its station and its index.
template <typename Mark>
void marks(const Context& c, double repeat, bool withLine, Mark mark) {
  if (withLine) solid(c);
  Ink ink;
  const std::vector<double> at = stations(c.track, repeat);
  for (std::size_t i = 0; i < at.size(); ++i) {
    const Frame frame = c.track.frameAt(at[i]);
    if (c.shows(frame.at, c.reach())) mark(ink, frame, i);
  }
  strokePath(c, ink.strokes, c.colour, c.pen);
  fillPath(c, ink.fills, c.colour);
}

void railway(const Context& c) {
  // Light band, dark bars on every other segment, edges drawn last so the
  // bars' ends do not nibble them.
  const double inner = std::max(c.width - c.pen, c.pen);
  strokeLine(c, c.track.points(), c.second, inner, Qt::FlatCap, Qt::MiterJoin);
  const Run bar[] = {{0, 0.5}};
  strokePath(c, dashes(c, c.track, 2 * c.length, bar), c.colour, inner, Qt::FlatCap, Qt::MiterJoin);
  if (c.width > 2 * c.pen) {
    for (double side : {1.0, -1.0}) strokeLine(c, c.track.parallel(side * (c.width - c.pen) / 2), c.colour, c.pen);
  }
}

/// A line through points off the centre line, broken where it cannot show;
/// the points are at most @p step apart along the line.
class Wiggle {
 public:
  Wiggle(const Context& c, double step) : c_(c), within_(c.reach() + step) {}
  void add(double s, double across) {
    const Frame f = c_.track.frameAt(s);
    if (!c_.shows(f.at, within_)) {
      broken_ = true;
      return;
    }
    const QPointF p = f.at + c_.track.across(s) * across;
    if (broken_)
      path_.moveTo(p);
    else
      path_.lineTo(p);
    broken_ = false;
  }
  void stroke(Qt::PenJoinStyle join) const { strokePath(c_, path_, c_.colour, c_.pen, Qt::FlatCap, join); }

 private:
  const Context& c_;
  double within_;
  QPainterPath path_;
  bool broken_ = true;
};

void wave(const Context& c) {
  const double total = c.track.length();
  const double step = std::max(c.length / 16, total / kMaxWavePoints);
  Wiggle line(c, step);
  for (double s = 0;; s += step) {
    const double at = std::min(s, total);
    line.add(at, c.half() * std::sin(2 * std::numbers::pi * at / c.length));
    if (at >= total) break;
  }
  line.stroke(Qt::RoundJoin);
}

void zigzag(const Context& c) {
  Wiggle line(c, c.length);
  line.add(0, 0);
  double side = 1;
  for (double s : stations(c.track, c.length / 2)) {
    line.add(s, side * c.half());
    side = -side;
  }
  line.add(c.track.length(), 0);
  // Round joins: at a sharp tooth a mitre would spike far past the width.
  line.stroke(Qt::RoundJoin);
}

/// Rings on the line with the line broken where each ring sits.
void circles(const Context& c) {
  const std::vector<double> at = stations(c.track, c.length);
  const double radius = std::max(std::min(c.half(), 0.3 * c.length), c.pen);
  QPainterPath pieces, rings;
  double from = 0;
  for (double s : at) {
    const QPointF centre = c.track.frameAt(s).at;
    if (c.shows(centre, c.reach())) {
      pieces.addPolygon(c.track.slice(from, s - radius));
      rings.addEllipse(centre, radius, radius);
    }
    from = s + radius;
  }
  pieces.addPolygon(c.track.slice(from, c.track.length()));
  strokePath(c, pieces, c.colour, c.pen);
  strokePath(c, rings, c.colour, c.pen);
}

using DrawStyle = void (*)(const Context&);

struct Style {
  const char* name;
  DrawStyle draw;
};

constexpr Run kDash[] = {{0, 0.55}};
constexpr Run kLongDash[] = {{0, 0.82}};
constexpr Run kDashBeforeDot[] = {{0, 0.55}};
constexpr double kOneDot[] = {0.775};
constexpr double kOneDotGap = 0.225;
constexpr Run kDashBeforeTwoDots[] = {{0, 0.45}};
constexpr double kTwoDots[] = {0.63, 0.815};
constexpr double kTwoDotsGap = 0.18;
constexpr double kDotted[] = {0, 0.5};
constexpr Run kCentreDash[] = {{0, 0.5}};

const std::array kStyles = {
    Style{"solid", solid},
    Style{"dashed", [](const Context& c) { dashed(c, kDash, c.pen); }},
    Style{"dotted", [](const Context& c) { fillPath(c, dotsEvery(c, kDotted, dotRadius(c)), c.colour); }},
    Style{"dash-dot",
          [](const Context& c) { dashDots(c, kDashBeforeDot, kOneDot, kOneDotGap, c.pen, dotRadius(c) * 0.8); }},
    Style{"dash-dot-dot",
          [](const Context& c) { dashDots(c, kDashBeforeTwoDots, kTwoDots, kTwoDotsGap, c.pen, dotRadius(c) * 0.8); }},
    Style{"long dash", [](const Context& c) { dashed(c, kLongDash, c.pen); }},
    Style{"double line", [](const Context& c) { parallels(c, c.pen); }},
    Style{"cased road", casing},
    Style{"boundary",
          [](const Context& c) { dashDots(c, kDashBeforeDot, kOneDot, kOneDotGap, heavyPen(c), heavyPen(c) * 0.6); }},
    Style{"state boundary",
          [](const Context& c) {
            dashDots(c, kDashBeforeTwoDots, kTwoDots, kTwoDotsGap, heavyPen(c), heavyPen(c) * 0.6);
          }},
    Style{"embankment",  // ticks on the left, down the slope
          [](const Context& c) {
            marks(c, c.length, true, [&](Ink& ink, const Frame& f, std::size_t) { tick(ink.strokes, f, 0, c.half()); });
          }},
    Style{"fault",  // teeth on the left, the downthrown side
          [](const Context& c) {
            const double base = std::min(0.5 * c.length, 1.2 * c.width);
            marks(c, c.length, true, [&](Ink& ink, const Frame& f, std::size_t) {
              ink.fills.moveTo(f.local(-base / 2, 0));
              ink.fills.lineTo(f.local(0, c.half()));
              ink.fills.lineTo(f.local(base / 2, 0));
              ink.fills.closeSubpath();
            });
          }},
    // A contour is a plain thin line under its own name, so the pickers offer
    // it beside the index contour it pairs with.
    Style{"contour", solid},
    Style{"index contour", [](const Context& c) { strokeLine(c, c.track.points(), c.colour, heavyPen(c)); }},
    // 14, the style of new legends: a railway of alternating light and dark
    // bars between two edges, which reads as a railway even a few repeats long.
    Style{"railway", railway},
    Style{"tracks",  // a railway drawn as a line with sleepers across it
          [](const Context& c) {
            marks(c, c.length, true,
                  [&](Ink& ink, const Frame& f, std::size_t) { tick(ink.strokes, f, -c.half(), c.half()); });
          }},
    Style{"flow arrows",
          [](const Context& c) {
            const double head = std::min(0.5 * c.length, c.width);
            marks(c, c.length, true, [&](Ink& ink, const Frame& f, std::size_t) {
              ink.fills.moveTo(f.local(head / 2, 0));
              ink.fills.lineTo(f.local(-head / 2, c.half()));
              ink.fills.lineTo(f.local(-head / 4, 0));
              ink.fills.lineTo(f.local(-head / 2, -c.half()));
              ink.fills.closeSubpath();
            });
          }},
    Style{"wave", wave},
    Style{"zigzag", zigzag},
    Style{"crosses",  // crosses alone, no line between them
          [](const Context& c) {
            const double half = std::min(c.half(), 0.35 * c.length);
            marks(c, c.length, false,
                  [&](Ink& ink, const Frame& f, std::size_t) { diagonalCross(ink.strokes, f, half); });
          }},
    Style{"circles", circles},
    Style{"pipeline",
          [](const Context& c) {
            const double radius = std::max(std::min(c.half(), 0.2 * c.length), c.pen);
            marks(c, c.length, true,
                  [&](Ink& ink, const Frame& f, std::size_t) { ink.fills.addEllipse(f.at, radius, radius); });
          }},
    Style{"fence",
          [](const Context& c) {
            const double half = std::min(c.half(), 0.3 * c.length);
            marks(c, c.length, true,
                  [&](Ink& ink, const Frame& f, std::size_t) { diagonalCross(ink.strokes, f, half); });
          }},
    Style{"slope",  // long and short ticks on the left, as hachures down a slope
          [](const Context& c) {
            marks(c, c.length / 2, true, [&](Ink& ink, const Frame& f, std::size_t i) {
              tick(ink.strokes, f, 0, i % 2 == 0 ? c.half() : c.half() / 2);
            });
          }},
    Style{"double dashed",
          [](const Context& c) {
            for (double side : {1.0, -1.0}) {
              const Track edge(c.track.parallel(side * c.half()));
              strokePath(c, dashes(c, edge, c.length, kDash), c.colour, c.pen);
            }
          }},
    Style{"road with centre line",
          [](const Context& c) {
            casing(c);
            dashed(c, kCentreDash, c.pen);
          }},
    Style{"levee",  // ticks alternating from side to side
          [](const Context& c) {
            marks(c, c.length / 2, true, [&](Ink& ink, const Frame& f, std::size_t i) {
              tick(ink.strokes, f, 0, i % 2 == 0 ? c.half() : -c.half());
            });
          }},
};

const Style& styleFor(int style) {
  // Out of range falls back to the first style, solid.
  if (style < 0 || style >= int(kStyles.size())) return kStyles[0];
  return kStyles[std::size_t(style)];
}

}  // namespace

int lineStyleCount() { return int(kStyles.size()); }

QString lineStyleName(int style) { return QString::fromLatin1(styleFor(style).name); }

LineStyleParams drawnLineStyle(const LineStyleParams& params) {
  return {
      .colour = params.colour.isValid() ? params.colour : QColor(Qt::black),
      .secondColour = params.secondColour.isValid() ? params.secondColour : QColor(Qt::white),
      .penWidth = sanitise(params.penWidth, kDefaultPenWidth, kMinPenWidth, kMaxPenWidth),
      .patternLength = sanitise(params.patternLength, kDefaultPatternLength, kMinPatternLength, kMaxPatternLength),
      .patternWidth = sanitise(params.patternWidth, kDefaultPatternWidth, kMinPatternWidth, kMaxPatternWidth),
  };
}

void drawLineStyle(QPainter& painter, const QPolygonF& polyline, int style, const LineStyleParams& params) {
  const Track track(polyline);
  if (track.empty() || !std::isfinite(track.length())) return;
  const LineStyleParams drawn = drawnLineStyle(params);
  const Context context{
      .painter = painter,
      .track = track,
      .colour = drawn.colour,
      .second = drawn.secondColour,
      .pen = drawn.penWidth,
      .length = Context::repeatFor(track, drawn.patternLength),
      .width = drawn.patternWidth,
      .keep = paintableArea(painter),
  };
  painter.save();
  painter.setBrush(Qt::NoBrush);
  styleFor(style).draw(context);
  painter.restore();
}

}  // namespace legend::display
