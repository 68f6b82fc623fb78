#include "launcher/launch_error.h"

#include <gtest/gtest.h>
#include <shellapi.h>

namespace {

TEST(LaunchError, TextShowsTheWholeCodeAfterTheSystemText) {
  struct Case {
    DWORD code;
    const wchar_t* systemText;
    const wchar_t* expected;
  } const cases[] = {
      {2,          L"File not found.\r\n", L"File not found.\r\n\n(Errorcode:0002)"},
      {1223,       L"Cancelled.\r\n",      L"Cancelled.\r\n\n(Errorcode:04c7)"},
      {0xABCD,     L"x",                   L"x\n(Errorcode:abcd)"},
      // Longer codes are neither cut nor lose their closing parenthesis.
      {0x10000,    L"x",                   L"x\n(Errorcode:10000)"},
      {0x80070002, L"x",                   L"x\n(Errorcode:80070002)"},
      // No system text: the box still names the code.
      {0x2000FFFF, L"",                    L"(Errorcode:2000ffff)"},
  };
  for (const Case& c : cases) EXPECT_EQ(LaunchErrorText(c.code, c.systemText), c.expected) << c.code;
}

TEST(LaunchError, CodeNeverClaimsSuccess) {
  auto shell = [](INT_PTR value) { return reinterpret_cast<HINSTANCE>(value); };
  struct Case {
    DWORD lastError;
    INT_PTR hInstApp;
    DWORD expected;
  } const cases[] = {
      // The thread's own error wins when there is one.
      {ERROR_CANCELLED, SE_ERR_ACCESSDENIED, ERROR_CANCELLED},
      {ERROR_FILE_NOT_FOUND, 0, ERROR_FILE_NOT_FOUND},
      // Last error reset to 0 (Wine's own error box): the shell's result speaks.
      {0, SE_ERR_FNF, ERROR_FILE_NOT_FOUND},
      {0, SE_ERR_PNF, ERROR_PATH_NOT_FOUND},
      {0, SE_ERR_ACCESSDENIED, ERROR_ACCESS_DENIED},
      {0, SE_ERR_OOM, ERROR_NOT_ENOUGH_MEMORY},
      {0, 0, ERROR_NOT_ENOUGH_MEMORY},
      {0, SE_ERR_SHARE, ERROR_SHARING_VIOLATION},
      {0, SE_ERR_NOASSOC, ERROR_NO_ASSOCIATION},
      {0, SE_ERR_DLLNOTFOUND, ERROR_DLL_NOT_FOUND},
      {0, 33, ERROR_GEN_FAILURE},
  };
  for (const Case& c : cases) {
    const DWORD code = LaunchErrorCode(c.lastError, shell(c.hInstApp));
    EXPECT_EQ(code, c.expected) << c.lastError << " / " << c.hInstApp;
    EXPECT_NE(code, static_cast<DWORD>(ERROR_SUCCESS));
  }
}

TEST(LaunchError, SystemTextComesFromTheSystem) {
  wchar_t* expected = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                 nullptr, ERROR_FILE_NOT_FOUND, 0, reinterpret_cast<wchar_t*>(&expected), 0, nullptr);
  ASSERT_NE(expected, nullptr);
  EXPECT_EQ(SystemErrorText(ERROR_FILE_NOT_FOUND), expected);
  LocalFree(expected);
  // A code the system has no text for.
  EXPECT_EQ(SystemErrorText(0x2000FFFF), L"");
}

}  // namespace
