// GoogleTest's hook for a platform's thread start-up signal: its own needs std::mutex, which GCC 12's win32 model lacks.
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
