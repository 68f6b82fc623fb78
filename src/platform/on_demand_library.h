// DLLs that only some commands need (DirectInput for the gamepad dialog, the
// shell for starting a game), loaded when first needed rather than with the
// program: start-up then pays only for what the main dialog uses.
#pragma once

#include <windows.h>

namespace platform {

// Owns one such DLL's module. Once loaded it stays loaded for the rest of the
// process: what its functions hand out (DirectInput's objects, a started
// game's process) may outlive any caller. Used from the dialogs' thread only.
class on_demand_library {
 public:
  explicit constexpr on_demand_library(const wchar_t* name) : name_(name) {}
  on_demand_library(const on_demand_library&) = delete;
  on_demand_library& operator=(const on_demand_library&) = delete;

  // The module, loaded now if it is not yet. Found where a static import
  // would be, the program's folder first (input wrappers beside the game rely
  // on this). Null when it cannot be loaded: GetLastError() says why, and the
  // next call tries again.
  HMODULE module() {
    if (!module_) module_ = LoadLibraryW(name_);
    return module_;
  }

 private:
  const wchar_t* name_;
  HMODULE module_ = nullptr;
};

// One function of such a DLL, with its type, looked up on first use.
template <typename Function>
class on_demand_function {
 public:
  constexpr on_demand_function(on_demand_library& library, const char* name) : library_(library), name_(name) {}
  on_demand_function(const on_demand_function&) = delete;
  on_demand_function& operator=(const on_demand_function&) = delete;

  // Null when the DLL or the function cannot be found: GetLastError() says
  // why (ERROR_MOD_NOT_FOUND, ERROR_PROC_NOT_FOUND, ...).
  Function get() {
    if (function_) return function_;
    if (const HMODULE module = library_.module()) {
      // Through void (*)(): GetProcAddress's type says nothing of the function's.
      const auto found = reinterpret_cast<void (*)()>(GetProcAddress(module, name_));
      function_ = reinterpret_cast<Function>(found);
    }
    return function_;
  }

 private:
  on_demand_library& library_;
  const char* name_;
  Function function_ = nullptr;
};

}  // namespace platform
