#pragma once
// The library's side of the host process. A host may load liblegend.so into
// a Qt program or into one that has never heard of Qt, and may call from any
// thread; every export therefore goes through CLegendApp::guard, which
// brings Qt up on first use and makes sure nothing the library does can
// reach a thread that must not touch widgets or unwind into C code.

#include <utility>

class CLegendApp {
 public:
  CLegendApp() = delete;

  /// Runs @p body and returns its result, or @p failure when the call may
  /// not run here (no QApplication can be had, or the caller is not on its
  /// thread) or when @p body throws anything.
  template <typename Result, typename Body>
  static Result guard(Result failure, Body&& body) noexcept {
    try {
      if (!enter()) return failure;
      return std::forward<Body>(body)();
    } catch (...) {
      return failure;
    }
  }

 private:
  /// Makes sure a QApplication exists (creating the library's own on the
  /// calling thread when there is none) and the library's resources are
  /// registered. False when the calling thread may not use widgets.
  static bool enter();
  static void registerResources();
};
