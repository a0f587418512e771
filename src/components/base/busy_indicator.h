#pragma once
// The busy indicator for long loops: a wait cursor at once, and a progress
// window only when the work turns out to take a while.

#include <cstdint>
#include <functional>

#include <QString>

class QWidget;

namespace legend {

/// How long work may run before the progress window appears.
inline constexpr std::int64_t kBusyDialogDelayMs = 500;
/// The least time between two repaints of the progress window.
inline constexpr std::int64_t kBusyRepaintIntervalMs = 50;

/// Starts busy work of @p total steps (0 when unknown). Calls nest: only the
/// outermost pair shows anything, so a routine can mark itself busy without
/// knowing whether its caller already did.
void BeginBusy(const QString& text, std::int64_t total, QWidget* parent = nullptr);

/// Reports @p done steps of the outermost work. Cheap enough to call on every
/// iteration: it repaints and lets pending paint events through only every
/// kBusyRepaintIntervalMs.
void StepBusy(std::int64_t done);

/// Ends one BeginBusy; the outermost one removes the window and restores the
/// cursor. Unmatched calls do nothing.
void EndBusy();

/// Begin in the constructor, End in the destructor, so the cursor comes back
/// on every way out of a loop, exceptions included.
class BusyScope {
 public:
  explicit BusyScope(const QString& text, std::int64_t total = 0, QWidget* parent = nullptr) {
    BeginBusy(text, total, parent);
  }
  ~BusyScope() { EndBusy(); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;
};

/// Milliseconds from any fixed start, never going back.
using BusyClock = std::function<std::int64_t()>;

/// Replaces the clock the indicator reads, so tests can let time pass
/// without waiting; an empty function restores the steady clock.
void SetBusyClock(BusyClock clock);

}  // namespace legend
