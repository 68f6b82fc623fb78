// GoogleTest's hook for what a platform supplies itself: here its thread
// start-up signal, which it builds on std::mutex, absent from the C++ runtime
// of the win32 thread model (GCC 12).
#pragma once
#include <windows.h>

#include <memory>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing::internal {
class Notification {  // a manual-reset event
 public:
  void Notify() { SetEvent(event_.get()); }
  void WaitForNotification() { WaitForSingleObject(event_.get(), INFINITE); }

 private:
  std::unique_ptr<void, decltype(&CloseHandle)> event_{CreateEventW(nullptr, TRUE, FALSE, nullptr), CloseHandle};
};
}  // namespace testing::internal
