#pragma once
// What a drawing pass needs from the pad's window. The Qt window implements
// it over its drawing area; tests implement it with a recording driver.

#include <memory>
#include <string_view>

#include "components/drawing/kernel_driver.h"
#include "pad/model/pad_geometry.h"

namespace legend::pad {

class PadSurface {
 public:
  virtual ~PadSurface() = default;

  /// Whether the pad's window and its drawing area exist; a pass draws
  /// nothing into a window that is gone.
  virtual bool exists() const = 0;
  /// The drawing area's client size now.
  virtual AreaSize areaSize() const = 0;
  /// Shows @p text (the display count in decimal) as the legend total.
  virtual void setTotalText(std::string_view text) = 0;
  /// Invalidates, erases and updates the whole drawing area at once, so a
  /// pass draws onto a cleared area.
  virtual void clearArea() = 0;
  /// The same for one cell's rectangle only.
  virtual void clearCell(const WindowRect& cell) = 0;
  /// A driver drawing into the drawing area in drawing coordinates; null
  /// when none can be had, and the pass then draws nothing.
  virtual std::unique_ptr<KernelDriver> openDriver() = 0;
  /// An image legend's icon could not be drawn in the pass that has just
  /// ended (said once, however many cells failed). The window tells the
  /// user when it shows messages.
  virtual void reportImageFailure() = 0;
};

}  // namespace legend::pad
