#ifndef LEGEND_EVENTS_H
#define LEGEND_EVENTS_H
/**
 * @file legend_events.h
 * The events between a pad and its owner window. A pad sends
 * WM_LEGEND_SELECTED and WM_LEGEND_DESELECTED to its owner synchronously,
 * so the owner's handler may query the same pad while the click is still
 * being handled; sending WM_LEGEND_RELOAD to a pad reloads its file.
 * The numbers are legend/legend.h's LEGEND_EVENT_* macros, which C hosts,
 * who cannot include this header, use under the same WM_LEGEND_* names.
 */

#include <cstdint>

#include <QEvent>

#include "legend/legend.h"

inline constexpr int WM_LEGEND_RELOAD = LEGEND_EVENT_RELOAD;      ///< host -> pad; parameters unused
inline constexpr int WM_LEGEND_SELECTED = LEGEND_EVENT_SELECTED;  ///< pad -> owner; wParam: legend index selected
inline constexpr int WM_LEGEND_DESELECTED =
    LEGEND_EVENT_DESELECTED;  ///< pad -> owner; wParam: legend index that was selected

/// An event carrying the two message parameters.
class LegendEvent : public QEvent {
 public:
  /**
   * @param type   WM_LEGEND_RELOAD, WM_LEGEND_SELECTED or
   *               WM_LEGEND_DESELECTED.
   * @param wParam the first parameter (a legend index for the pad's events).
   * @param lParam the second parameter, unused by these events.
   */
  LegendEvent(int type, std::intptr_t wParam = 0, std::intptr_t lParam = 0)
      : QEvent(static_cast<QEvent::Type>(type)), wParam_(wParam), lParam_(lParam) {}
  /// @return the first parameter: for the pad's events, the legend index.
  std::intptr_t wParam() const noexcept { return wParam_; }
  /// @return the second parameter; 0 in the pad's events.
  std::intptr_t lParam() const noexcept { return lParam_; }

 private:
  std::intptr_t wParam_;
  std::intptr_t lParam_;
};

#endif
