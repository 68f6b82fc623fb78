#include "platform/module_path.h"

#include <gtest/gtest.h>

#include "test_process.h"

namespace {

TEST(ModulePath, FolderKeepsDriveAndTrailingSeparator) {
  struct Case {
    const wchar_t* path;
    const wchar_t* folder;
  } const cases[] = {
      {L"C:\\Games\\Launcher\\Launcher.exe", L"C:\\Games\\Launcher\\"},
      {L"C:\\Launcher.exe", L"C:\\"},
      {L"C:/Games/VARKOLD/Launcher.exe", L"C:/Games/VARKOLD/"},
      {L"\\\\server\\share\\VARKOLD\\Launcher.exe", L"\\\\server\\share\\VARKOLD\\"},
      {L"\\\\?\\C:\\Games\\Launcher.exe", L"\\\\?\\C:\\Games\\"},
      {L"C:Launcher.exe", L"C:"},
      {L"Launcher.exe", L""},
      {L"", L""},
  };
  for (const Case& c : cases) EXPECT_EQ(FolderOfPath(c.path), c.folder);
}

TEST(ModulePath, IsTheSystemsNameOfTheExe) {
  wchar_t expected[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, expected, MAX_PATH);
  EXPECT_EQ(ModuleFilePath(), expected);
}

// A module whose full name is longer than MAX_PATH is named whole, and so is
// its folder.
TEST(ModulePath, LongerThanMaxPath) {
  using namespace testing_support;
  std::wstring folder = MakeTempFolder(L"vk-long-module");
  while (folder.size() < 400) {
    folder += L"\\" + std::wstring(50, L'm');
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr)) << GetLastError();
  }
  const std::wstring module = folder + L"\\empty_module.dll";
  ASSERT_TRUE(CopyFileW(ArtefactPath(L"VKTEST_EMPTY_MODULE").c_str(), (L"\\\\?\\" + module).c_str(), FALSE));
  HMODULE loaded = LoadLibraryW((L"\\\\?\\" + module).c_str());
  ASSERT_NE(loaded, nullptr) << GetLastError();

  const std::wstring name = ModuleFilePath(loaded);
  EXPECT_GT(name.size(), 400u);
  EXPECT_TRUE(name.ends_with(module)) << testing::PrintToString(name);
  EXPECT_TRUE(FolderOfPath(name).ends_with(folder + L"\\"));
  FreeLibrary(loaded);
}

}  // namespace
