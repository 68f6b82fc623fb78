// What the failure box says about a start that failed. The box itself, shown
// by the real launcher for a missing build, is in startup_test.cpp.
#include "launcher/launch_error.h"

#include <gtest/gtest.h>
#include <shellapi.h>

namespace {

TEST(LaunchError, TextShowsTheWholeCodeAfterTheSystemText) {
  EXPECT_EQ(LaunchErrorText(1223, L"Cancelled.\r\n"), L"Cancelled.\r\n\n(Errorcode:04c7)");
  // Codes longer than four digits are neither cut nor lose their parenthesis.
  EXPECT_EQ(LaunchErrorText(0x80070002, L"x"), L"x\n(Errorcode:80070002)");
  // A code the system has no text for still names the code.
  EXPECT_EQ(LaunchErrorText(0x2000FFFF, SystemErrorText(0x2000FFFF)), L"(Errorcode:2000ffff)");
}

TEST(LaunchError, CodeNeverClaimsSuccess) {
  const struct {
    DWORD lastError;
    INT_PTR hInstApp;
    DWORD code;
  } cases[] = {
      {ERROR_CANCELLED, SE_ERR_ACCESSDENIED, ERROR_CANCELLED},  // the thread's own error wins
      // Wine's own error box resets the last error: the shell's result speaks.
      {0, SE_ERR_FNF, ERROR_FILE_NOT_FOUND},
      {0, SE_ERR_ACCESSDENIED, ERROR_ACCESS_DENIED},
      {0, 0, ERROR_NOT_ENOUGH_MEMORY},
      {0, SE_ERR_NOASSOC, ERROR_NO_ASSOCIATION},
      {0, 33, ERROR_GEN_FAILURE},
  };
  for (const auto& c : cases)
    EXPECT_EQ(LaunchErrorCode(c.lastError, reinterpret_cast<HINSTANCE>(c.hInstApp)), c.code) << c.hInstApp;
}

}  // namespace
