// Opens the launcher's dialogs as a player would and saves a picture of each:
// the main dialog, the gamepad settings, and the two boxes that say a setting
// could not be saved, whose causes it makes on purpose (a file where the
// MORVANE folder belongs, a volatile registry key above the game's). Meant for
// a throwaway Wine prefix: tools/take-screenshots.sh runs it there.
//
//   dialog_screenshots.exe <Launcher.exe> <folder> <name suffix>
//
// Writes <folder>\main-dialog<suffix>.bmp, gamepad-dialog, gamepad-not-saved
// and language-not-saved. Exit code 0, or 1 when a window did not show.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/unique_handle.h"
#include "resource.h"
#include "screen_capture.h"

namespace {

using namespace std::chrono_literals;

// The visible top-level window of the process that owner owns (nullptr: one
// without an owner); polled for up to a minute.
HWND WaitForWindow(DWORD process, HWND owner) {
  for (int attempt = 0; attempt < 6000; ++attempt, std::this_thread::sleep_for(10ms)) {
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, nullptr, nullptr));) {
      DWORD windowProcess = 0;
      GetWindowThreadProcessId(window, &windowProcess);
      if (windowProcess == process && IsWindowVisible(window) && GetWindow(window, GW_OWNER) == owner) return window;
    }
  }
  return nullptr;
}

// Saves the window as the screen shows it once it is drawn, as a bitmap file
// of top-down rows.
bool SaveWindowPicture(HWND window, const std::wstring& path) {
  RECT rect;
  GetWindowRect(window, &rect);
  const std::vector<DWORD> pixels = CaptureOnceDrawn(window, rect);
  const DWORD bytes = static_cast<DWORD>(pixels.size() * sizeof(DWORD));
  BITMAPINFOHEADER header{sizeof(header), rect.right - rect.left, rect.top - rect.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(file) + sizeof(header) + bytes), 0, 0,
                        sizeof(file) + sizeof(header)};
  const platform::unique_file out(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  return out && WriteFile(out.get(), &file, sizeof(file), &written, nullptr) &&
         WriteFile(out.get(), &header, sizeof(header), &written, nullptr) &&
         WriteFile(out.get(), pixels.data(), bytes, &written, nullptr);
}

// Presses the box's OK and waits until it has gone.
void Dismiss(HWND box) {
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  while (IsWindow(box)) std::this_thread::sleep_for(10ms);
}

std::wstring MakerFolder() {
  wchar_t documents[MAX_PATH] = L"";
  SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents);
  return documents + std::wstring(L"\\MORVANE");
}

int TakeScreenshots(const std::wstring& launcher, const std::wstring& folder, const std::wstring& suffix) {
  const auto picture = [&](const wchar_t* name) { return folder + L"\\" + name + suffix + L".bmp"; };
  SHELLEXECUTEINFOW start{};
  start.cbSize = sizeof(start);
  start.fMask = SEE_MASK_NOCLOSEPROCESS;
  start.lpFile = launcher.c_str();
  start.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExW(&start)) return 1;
  const platform::unique_handle process(start.hProcess);
  const DWORD id = GetProcessId(process.get());

  const HWND main = WaitForWindow(id, nullptr);
  if (!main || !SaveWindowPicture(main, picture(L"main-dialog"))) return 1;
  PostMessageW(main, WM_COMMAND, IDM_GAMEPAD_SETTINGS, 0);
  const HWND gamepad = WaitForWindow(id, main);
  if (!gamepad || !SaveWindowPicture(gamepad, picture(L"gamepad-dialog"))) return 1;

  // A file where the folder of config.ini belongs: OK cannot save.
  const std::wstring maker = MakerFolder();
  RemoveDirectoryW((maker + L"\\VARKOLD").c_str());
  RemoveDirectoryW(maker.c_str());
  platform::unique_file(CreateFileW(maker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  PostMessageW(gamepad, WM_COMMAND, IDOK, 0);
  const HWND saveBox = WaitForWindow(id, gamepad);
  if (!saveBox || !SaveWindowPicture(saveBox, picture(L"gamepad-not-saved"))) return 1;
  Dismiss(saveBox);
  PostMessageW(gamepad, WM_COMMAND, IDCANCEL, 0);
  DeleteFileW(maker.c_str());

  // No lasting key can be made under a volatile one: the language cannot be stored.
  RegDeleteTreeW(HKEY_CURRENT_USER, L"SOFTWARE\\MORVANE");
  platform::unique_hkey volatileKey;
  RegCreateKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\MORVANE", 0, nullptr, REG_OPTION_VOLATILE, KEY_WRITE, nullptr,
                  volatileKey.put(), nullptr);
  while (IsWindow(gamepad)) std::this_thread::sleep_for(10ms);
  PostMessageW(main, WM_COMMAND, IDM_LANGUAGE_JAPANESE, 0);
  const HWND languageBox = WaitForWindow(id, main);
  if (!languageBox || !SaveWindowPicture(languageBox, picture(L"language-not-saved"))) return 1;
  Dismiss(languageBox);
  RegDeleteTreeW(HKEY_CURRENT_USER, L"SOFTWARE\\MORVANE");

  PostMessageW(main, WM_COMMAND, IDCANCEL, 0);
  WaitForSingleObject(process.get(), 60000);
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  int count = 0;
  const platform::unique_hlocal argv(CommandLineToArgvW(GetCommandLineW(), &count));
  const auto* arguments = static_cast<wchar_t* const*>(argv.get());
  if (!arguments || count < 3) return 2;
  return TakeScreenshots(arguments[1], arguments[2], count > 3 ? arguments[3] : L"");
}
