#pragma once
// liblegend.so as a host loads it: opened with dlopen once and never
// unloaded (a process does not get Qt back into a clean state after
// dlclose), every export found by name. The types come from the public
// header, so a signature that drifts from it fails to compile here.

#include <dlfcn.h>

#include <gtest/gtest.h>

#include "legend/legend.h"

namespace apitest {

struct Exports {
  decltype(&CreateCLNPadWindow) create = nullptr;
  decltype(&CloseCLNPadWindow) close = nullptr;
  decltype(&ReloadCLNPadWindow) reload = nullptr;
  decltype(&GetCLNType) type = nullptr;
  decltype(&GetCLNPntInfo) point = nullptr;
  decltype(&GetCLNLinInfo) line = nullptr;
  decltype(&GetCLNRegInfo) region = nullptr;
  decltype(&GetCLNFile) file = nullptr;
  decltype(&GetCLNHeadInfo) head = nullptr;
  decltype(&GetCLNAttInfo) attributes = nullptr;
  decltype(&SetNewCLNFile) setFile = nullptr;
  decltype(&OpenCLNEditWindow) openEditor = nullptr;
  decltype(&NewCLNEditWindow) newEditor = nullptr;
};

template <typename Fn>
void resolve(void* library, const char* name, Fn& into) {
  into = reinterpret_cast<Fn>(dlsym(library, name));
  ASSERT_NE(into, nullptr) << name << ": " << dlerror();
}

inline const Exports& lib() {
  static const Exports exports = [] {
    Exports e;
    void* library = dlopen(LEGEND_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    EXPECT_NE(library, nullptr) << dlerror();
    if (!library) return e;
    resolve(library, "CreateCLNPadWindow", e.create);
    resolve(library, "CloseCLNPadWindow", e.close);
    resolve(library, "ReloadCLNPadWindow", e.reload);
    resolve(library, "GetCLNType", e.type);
    resolve(library, "GetCLNPntInfo", e.point);
    resolve(library, "GetCLNLinInfo", e.line);
    resolve(library, "GetCLNRegInfo", e.region);
    resolve(library, "GetCLNFile", e.file);
    resolve(library, "GetCLNHeadInfo", e.head);
    resolve(library, "GetCLNAttInfo", e.attributes);
    resolve(library, "SetNewCLNFile", e.setFile);
    resolve(library, "OpenCLNEditWindow", e.openEditor);
    resolve(library, "NewCLNEditWindow", e.newEditor);
    // The first call starts Qt inside the library (or adopts the host's) on
    // this, the main, thread.
    e.close(nullptr);
    return e;
  }();
  return exports;
}

}  // namespace apitest
