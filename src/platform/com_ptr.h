// Move-only owner of one COM interface pointer: the reference it holds is
// released in exactly one place.
#pragma once

#include <unknwn.h>

#include <utility>

namespace platform {

template <typename T>
class com_ptr {
 public:
  com_ptr() = default;
  // Takes over a reference the caller already holds.
  explicit com_ptr(T* value) : value_(value) {}
  com_ptr(const com_ptr&) = delete;
  com_ptr& operator=(const com_ptr&) = delete;
  com_ptr(com_ptr&& other) noexcept : value_(other.release()) {}
  com_ptr& operator=(com_ptr&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~com_ptr() { reset(); }

  T* get() const { return value_; }
  T* operator->() const { return value_; }
  explicit operator bool() const { return value_ != nullptr; }

  // The old pointer is cleared before it is released, so that code reached
  // from inside Release never sees a dangling pointer here.
  void reset(T* value = nullptr) {
    if (T* old = std::exchange(value_, value)) old->Release();
  }
  [[nodiscard]] T* release() { return std::exchange(value_, nullptr); }
  // For out-parameters: releases what is held and hands out the empty slot.
  T** put() {
    reset();
    return &value_;
  }
  void** put_void() { return reinterpret_cast<void**>(put()); }

 private:
  T* value_ = nullptr;
};

}  // namespace platform
