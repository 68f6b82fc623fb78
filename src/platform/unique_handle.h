// Move-only owners for Win32 handles and memory, so that every handle the
// program opens is released in exactly one place.
#pragma once

#include <windows.h>

#include <utility>

namespace platform {

// Owns one value that Traits::close releases; Traits::invalid() means "none".
template <typename Traits>
class unique_any {
 public:
  using pointer = typename Traits::type;

  unique_any() = default;
  explicit unique_any(pointer value) : value_(value) {}
  unique_any(const unique_any&) = delete;
  unique_any& operator=(const unique_any&) = delete;
  unique_any(unique_any&& other) noexcept : value_(other.release()) {}
  unique_any& operator=(unique_any&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~unique_any() { reset(); }

  pointer get() const { return value_; }
  explicit operator bool() const { return value_ != Traits::invalid(); }

  void reset(pointer value = Traits::invalid()) {
    if (value_ != Traits::invalid()) Traits::close(value_);
    value_ = value;
  }
  [[nodiscard]] pointer release() { return std::exchange(value_, Traits::invalid()); }
  // For out-parameters: releases what is held and hands out the empty slot.
  pointer* put() {
    reset();
    return &value_;
  }

 private:
  pointer value_ = Traits::invalid();
};

namespace traits {
template <typename T, auto Close>
struct null_is_none {
  using type = T;
  static constexpr T invalid() { return nullptr; }
  static void close(T value) { Close(value); }
};
struct file {
  using type = HANDLE;
  static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
  static void close(HANDLE value) { ::CloseHandle(value); }
};
}  // namespace traits

// Process, thread, mutex and event handles.
using unique_handle = unique_any<traits::null_is_none<HANDLE, ::CloseHandle>>;
// Files opened with CreateFileW.
using unique_file = unique_any<traits::file>;
// Memory the system allocated with LocalAlloc on our behalf (FormatMessageW).
using unique_hlocal = unique_any<traits::null_is_none<HLOCAL, ::LocalFree>>;
using unique_hbitmap = unique_any<traits::null_is_none<HBITMAP, ::DeleteObject>>;
using unique_hdc = unique_any<traits::null_is_none<HDC, ::DeleteDC>>;
using unique_hkey = unique_any<traits::null_is_none<HKEY, ::RegCloseKey>>;
// Device notifications registered with RegisterDeviceNotificationW.
using unique_hdevnotify = unique_any<traits::null_is_none<HDEVNOTIFY, ::UnregisterDeviceNotification>>;

// Selects an object into a device context for its own lifetime: the object
// must leave the context before either is deleted.
class scoped_select {
 public:
  scoped_select(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  scoped_select(const scoped_select&) = delete;
  scoped_select& operator=(const scoped_select&) = delete;
  ~scoped_select() { SelectObject(dc_, previous_); }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace platform
