// The real Launcher.exe's dialogs as the screen shows them at the prefix's DPI (LogPixels), under English.
#include "test_support.h"  // windows.h first
#include <psapi.h>

#include <cmath>
#include <map>

#include "resource.h"
#include "screenshots/screen_capture.h"

namespace testing_support {
namespace {

struct ScreenScale : InstalledLauncher {
  static void SetDpi(DWORD dpi) {
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi, sizeof(dpi));
  }
  void TearDown() override { SetDpi(96), InstalledLauncher::TearDown(); }

  // The controls (not the picture control) in tab order, and the client area as shown, against the 499 x 312 picture:
  // at 96 DPI its pixels where no control stands; else no face colour in the right column and bottom row outside them.
  void CheckPicture(HWND dialog, int picture, int dpi) {
    RECT client{}, rect;
    POINT origin{};
    GetClientRect(dialog, &client), ClientToScreen(dialog, &origin);
    w = client.right, h = client.bottom, controls.clear(), order.clear();
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      if (GetWindowRect(child, &rect), MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
          GetDlgCtrlID(child) != -1)
        order.push_back(GetDlgCtrlID(child)), controls[GetDlgCtrlID(child)] = rect;
    shown = CaptureOnceDrawn(dialog, {origin.x, origin.y, origin.x + w, origin.y + h});
    const platform::unique_hbitmap art(static_cast<HBITMAP>(
        LoadImageW(LauncherResources(), MAKEINTRESOURCEW(picture), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    DIBSECTION drawn{};
    GetObjectW(art.get(), sizeof(drawn), &drawn);
    const auto* pictureRows = static_cast<const DWORD*>(drawn.dsBm.bmBits);
    const COLORREF f = GetSysColor(COLOR_3DFACE), face = RGB(GetBValue(f), GetGValue(f), GetRValue(f));
    int wrong = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (std::ranges::none_of(controls, [&](const auto& control) { return PtInRect(&control.second, {x, y}); }))
          wrong += dpi == 96 ? x < 499 && y < 312 && At(x, y) != pictureRows[(311 - y) * 499 + x]
                             : (x == w - 1 || y == h - 1) && At(x, y) == face;
    EXPECT_EQ(wrong, 0) << "picture " << picture << " at " << dpi << " DPI in a client of " << w << " x " << h;
  }
  DWORD At(double x, double y) const { return shown[std::lround(y) * w + std::lround(x)]; }  // 0xRRGGBB

  int w = 0, h = 0;              // the client's size
  std::map<int, RECT> controls;  // their client rectangles by id
  std::vector<int> order;        // their ids in tab order
  std::vector<DWORD> shown;      // top-down rows
};

// The main dialog's picture keeps its proportions from the top-left corner: the buttons on its panel, (316, 42)-(493,
// 265), gold at the panel's edge marks. The gamepad dialog grows by DPI / 96 as a whole: each control where the design
// puts it relative to the client (exactly at 96 DPI), the lists clear of each other; tab order OK, Cancel, type list,
// the lists from "A"; focus on OK. Ten more openings at 144 DPI keep no picture (Wine counts no GDI objects: memory).
TEST_F(ScreenScale, BothDialogsKeepTheirDesignAtEveryScale) {
  const std::wstring exe = Install(L"scale") + L"\\Launcher.exe";
  std::map<int, RECT> design = {{IDOK, {275, 276, 375, 300}}, {IDCANCEL, {387, 276, 487, 300}}};  // bottom 0: any
  for (int i = 0; i < 20; ++i) design[IDC_ACTION_A + i] = {i % 2 ? 343 : 94, 20 + 24 * (i / 2), i % 2 ? 441 : 192, 0};
  design[IDC_GAMEPAD_TYPE] = {12, 276, 142, 0};
  std::vector<int> tabOrder = {IDOK, IDCANCEL, IDC_GAMEPAD_TYPE};
  for (int id = IDC_ACTION_A; id <= IDC_ACTION_RSTICK_VERT; ++id) tabOrder.push_back(id);
  std::wstring inputs = L"POV|X|Y|Z|RX|RY|RZ|-POV|-X|-Y|-Z|-RX|-RY|-RZ";
  for (int button = 32; button >= 1; --button) inputs = std::to_wstring(button) + L"|" + inputs;
  for (const int dpi : {96, 120, 144, 192}) {
    SetDpi(dpi);
    launcher_ = StartProgram(exe, L"");
    const HWND main = DialogOf(launcher_);
    CheckPicture(main, IDB_MAIN_BACKGROUND, dpi);
    const double s = dpi == 96 ? 1 : std::max(w / 499.0, h / 312.0);
    for (const auto& [id, r] : controls)  // at 96 DPI Wine's dialog font decides where they stand
      EXPECT_TRUE(dpi == 96 || (r.left >= 316 * s && r.top >= 42 * s && r.right <= 493 * s && r.bottom <= 265 * s))
          << "button " << id << " off the panel at " << dpi << " DPI";
    for (const DWORD mark : {At(404 * s, 42 * s), At(404 * s, 265 * s)})
      EXPECT_LT(std::abs(int(mark >> 16) - 214) + std::abs(int(mark >> 8 & 255) - 168) + std::abs(int(mark & 255) - 82),
                60) << "no gold at a mark of the panel at " << dpi << " DPI: " << std::hex << mark;

    const auto open = [&] {  // Settings > Gamepad Settings
      return PostMessageW(main, WM_COMMAND, IDM_GAMEPAD_SETTINGS, 0), DialogOf(launcher_, main);
    };
    HWND gamepad = open();
    CheckPicture(gamepad, IDB_GAMEPAD_BACKGROUND, dpi);
    const double x = w / 499.0, y = h / 312.0;
    RECT overlap;
    EXPECT_NEAR(x, dpi / 96.0, 0.01) << "the gamepad dialog's client at " << dpi << " DPI: " << w << " x " << h;
    for (const auto& [id, d] : design) {  // within the roundings of up to three scaled lengths
      const RECT r = controls.at(id);
      EXPECT_LE(std::max({std::abs(r.left - d.left * x), std::abs(r.top - d.top * y), std::abs(r.right - d.right * x),
                          d.bottom ? std::abs(r.bottom - d.bottom * y) : 0}),
                dpi == 96 ? 0 : 2) << id << " at " << dpi;
      for (int other = id + 1; id >= IDC_ACTION_A && other <= IDC_ACTION_RSTICK_VERT; ++other)
        EXPECT_FALSE(IntersectRect(&overlap, &r, &controls.at(other))) << id << " overlaps " << other << " at " << dpi;
    }
    GUITHREADINFO thread{};
    thread.cbSize = sizeof(thread);
    GetGUIThreadInfo(GetWindowThreadProcessId(gamepad, nullptr), &thread);
    EXPECT_TRUE(order == tabOrder && thread.hwndFocus == GetDlgItem(gamepad, IDOK)) << "tab order or focus";
    EXPECT_EQ(WindowText(gamepad) + L"|" + WindowText(GetDlgItem(gamepad, IDOK)) + L"|" +
                  WindowText(GetDlgItem(gamepad, IDCANCEL)) + L"|" + ListEntries(gamepad, IDC_GAMEPAD_TYPE),
              L"Gamepad Settings|OK|CANCEL|Gamepad Type -1-|Gamepad Type -2-|Gamepad Type -3-|Gamepad Type -4-|"
              L"Gamepad Type -5-|Gamepad Type -6-");
    for (int id = IDC_ACTION_A; id <= IDC_ACTION_RSTICK_VERT; ++id) EXPECT_EQ(ListEntries(gamepad, id), inputs) << id;
    PROCESS_MEMORY_COUNTERS memory[2]{};  // after 3 more openings, and after 10 further ones
    for (int opening = 0; opening <= (dpi == 144 ? 13 : 0); ++opening) {
      if (opening > 0) gamepad = open();
      PostMessageW(gamepad, WM_COMMAND, IDCANCEL, 0);
      EXPECT_TRUE(WaitUntil([&] { return !IsWindow(gamepad); }));
      if (opening % 10 == 3) GetProcessMemoryInfo(launcher_.process.get(), &memory[opening / 10], sizeof(memory[0]));
    }
    EXPECT_TRUE(dpi != 144 || memory[1].PagefileUsage < memory[0].PagefileUsage + w * h * 3)
        << "ten openings kept " << memory[1].PagefileUsage - memory[0].PagefileUsage << " bytes";
    EXPECT_EQ(RunToEnd(launcher_), 0u);
  }
}

}  // namespace
}  // namespace testing_support
