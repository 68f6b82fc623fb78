// The gamepad settings dialog with its own procedure, run in-process from the
// built exe's template 109 and bitmap 111, over the scripted DirectInput and
// a real config.ini in the test prefix's Documents folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dialog_runner.h"
#include "gamepad/actions.h"
#include "gamepad/gamepad_dialog.h"
#include "gamepad/gamepad_dialog_state.h"
#include "gamepad/gamepad_types.h"
#include "gamepad_dialog_fixture.h"
#include "joypad_file.h"
#include "launcher/startup.h"
#include "launcher_resources.h"
#include "resource.h"
#include "test_images.h"
#include "test_process.h"
#include "ui/language_table.h"

namespace gamepad_testing {
namespace {

using fake_dinput::StateWith;
using testing_support::ConfigLines;
using testing_support::WriteConfigFile;

// Where a control stands, in the dialog's client coordinates.
RECT ClientRectOf(HWND dialog, int id) {
  RECT rect;
  GetWindowRect(GetDlgItem(dialog, id), &rect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

struct Placement {
  int id;
  int x, y, width, height;
};

// With bitmap 111 the client area is 499 x 312: the left column at 94, the
// right one at 499 / 2 + 94, the bottom row 36 above the bottom edge.
std::vector<Placement> ExpectedLayout(int clientWidth, int clientHeight) {
  std::vector<Placement> layout;
  for (int index = 0; index < ActionCount; ++index) {
    const int x = index % 2 == 0 ? 94 : clientWidth / 2 + 94;
    layout.push_back({ActionControls[index].controlId, x, 20 + 24 * (index / 2), 98, 20});
  }
  const int bottom = clientHeight - 36;
  layout.push_back({IDC_GAMEPAD_TYPE, 12, bottom, 130, 24});
  layout.push_back({IDOK, clientWidth - 224, bottom, 100, 24});
  layout.push_back({IDCANCEL, clientWidth - 112, bottom, 100, 24});
  return layout;
}

// What the dialog asked of each SetWindowPos while opening, seen as the
// WM_WINDOWPOSCHANGING it sends (a combo box then keeps only the height of its
// selection field; the height asked for is its dropped-down height).
struct PlacementCall {
  HWND window;
  RECT asked;  // left, top, width, height
};

std::vector<PlacementCall>* RecordedPlacements = nullptr;

LRESULT CALLBACK RecordPlacement(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && RecordedPlacements) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (sent->message == WM_WINDOWPOSCHANGING) {
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(sent->lParam);
      if (!(pos->flags & (SWP_NOMOVE | SWP_NOSIZE)))
        RecordedPlacements->push_back({sent->hwnd, {pos->x, pos->y, pos->cx, pos->cy}});
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Records placements while it lives.
class PlacementRecorder {
 public:
  PlacementRecorder() : hook_(SetWindowsHookExW(WH_CALLWNDPROC, RecordPlacement, nullptr, GetCurrentThreadId())) {
    RecordedPlacements = &calls_;
  }
  ~PlacementRecorder() {
    RecordedPlacements = nullptr;
    UnhookWindowsHookEx(hook_);
  }
  const std::vector<PlacementCall>& Calls() const { return calls_; }

 private:
  std::vector<PlacementCall> calls_;
  HHOOK hook_;
};

// Every control is placed once, in the order that leaves the tab order OK,
// Cancel, type list, 1004 ... 1023: the action lists from the bottom row up,
// right before left, then the type list, Cancel, OK. Each stands where it
// was put, as wide as asked.
void ExpectLayout(HWND dialog, const std::vector<PlacementCall>& calls, const std::vector<Placement>& layout) {
  std::vector<Placement> asked;
  for (const PlacementCall& call : calls)
    if (GetParent(call.window) == dialog)
      asked.push_back({GetDlgCtrlID(call.window), call.asked.left, call.asked.top, call.asked.right, call.asked.bottom});
  std::vector<Placement> expectedOrder(layout.rbegin() + 3, layout.rend());
  for (int id : {IDC_GAMEPAD_TYPE, IDCANCEL, IDOK})
    for (const Placement& p : layout)
      if (p.id == id) expectedOrder.push_back(p);
  ASSERT_EQ(asked.size(), expectedOrder.size());
  for (size_t i = 0; i < asked.size(); ++i) {
    const Placement& p = expectedOrder[i];
    SCOPED_TRACE(testing::Message() << "call " << i << ", control " << p.id);
    EXPECT_EQ(asked[i].id, p.id);
    EXPECT_EQ(asked[i].x, p.x);
    EXPECT_EQ(asked[i].y, p.y);
    EXPECT_EQ(asked[i].width, p.width);
    EXPECT_EQ(asked[i].height, p.height);

    const RECT rect = ClientRectOf(dialog, p.id);
    EXPECT_EQ(rect.left, p.x);
    EXPECT_EQ(rect.top, p.y);
    EXPECT_EQ(rect.right - rect.left, p.width);
    if (p.id == IDOK || p.id == IDCANCEL) {
      EXPECT_EQ(rect.bottom - rect.top, p.height);
    }
    EXPECT_TRUE(GetWindowLongW(GetDlgItem(dialog, p.id), GWL_STYLE) & WS_VISIBLE);
  }
}

// Control ids in z-order, which is the tab order.
std::vector<int> ZOrder(HWND dialog) {
  std::vector<int> ids;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    ids.push_back(GetDlgCtrlID(child));
  return ids;
}

std::vector<int> ExpectedTabOrder() {
  std::vector<int> ids = {IDOK, IDCANCEL, IDC_GAMEPAD_TYPE};
  for (const ActionControl* action = ActionControls; action->controlId; ++action) ids.push_back(action->controlId);
  return ids;
}

std::vector<std::wstring> ListItems(HWND dialog, int id) {
  std::vector<std::wstring> items;
  const LRESULT count = SendDlgItemMessageW(dialog, id, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t text[256] = L"";
    SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    items.emplace_back(text);
  }
  return items;
}

std::wstring Text(HWND window) {
  wchar_t text[256] = L"";
  GetWindowTextW(window, text, 256);
  return text;
}

INT_PTR CALLBACK LeaveAlone(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

using GamepadSettingsDialog = GamepadSettingsTest;

TEST_F(GamepadSettingsDialog, FitsItselfToItsBitmapAndLaysOutEveryControlInPixels) {
  PlacementRecorder recorder;
  OpenSettingsDialog();
  RECT client;
  GetClientRect(dialog, &client);
  EXPECT_EQ(client.right, 499);
  EXPECT_EQ(client.bottom, 312);
  // The window is sized before any control is placed, where it stands.
  const auto& calls = recorder.Calls();
  const auto sized = std::find_if(calls.begin(), calls.end(), [&](const PlacementCall& c) { return c.window == dialog; });
  ASSERT_NE(sized, calls.end());
  EXPECT_TRUE(std::none_of(calls.begin(), sized, [&](const PlacementCall& c) { return GetParent(c.window) == dialog; }));
  RECT window;
  GetWindowRect(dialog, &window);
  EXPECT_EQ(sized->asked.left, window.left);
  EXPECT_EQ(sized->asked.top, window.top);
  EXPECT_EQ(sized->asked.right, window.right - window.left);
  EXPECT_EQ(sized->asked.bottom, window.bottom - window.top);
  ExpectLayout(dialog, recorder.Calls(), ExpectedLayout(499, 312));
  EXPECT_EQ(ZOrder(dialog), ExpectedTabOrder());
  // The dialog manager's own walk agrees.
  std::vector<int> walked;
  HWND control = GetDlgItem(dialog, IDOK);
  for (size_t i = 0; i < ExpectedTabOrder().size(); ++i, control = GetNextDlgTabItem(dialog, control, FALSE))
    walked.push_back(GetDlgCtrlID(control));
  EXPECT_EQ(walked, ExpectedTabOrder());
  EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDOK));
  EXPECT_NE(GamepadDialog.GamepadBitmap.get(), nullptr);
}

TEST_F(GamepadSettingsDialog, EveryActionListHoldsTheInputNamesAndTheTypeListSixTypes) {
  OpenSettingsDialog();
  std::vector<std::wstring> inputNames;
  for (const wchar_t* const* name = InputNames; *name; ++name) inputNames.emplace_back(*name);
  ASSERT_EQ(inputNames.size(), 46u);
  EXPECT_EQ(inputNames.front(), L"1");
  EXPECT_EQ(inputNames[32], L"POV");
  EXPECT_EQ(inputNames.back(), L"-RZ");
  for (const ActionControl* action = ActionControls; action->controlId; ++action)
    EXPECT_EQ(ListItems(dialog, action->controlId), inputNames) << action->actionKey;
  EXPECT_EQ(ListItems(dialog, IDC_GAMEPAD_TYPE).size(), 6u);
}

// The texts that a display language gives. CTest runs this test once per
// display language (LC_ALL, which Wine reads when a program starts).
struct DisplayTexts {
  LANGID primaryLanguage;
  const wchar_t* title;
  const wchar_t* ok;
  const wchar_t* cancel;
  const wchar_t* types[6];
};

const DisplayTexts ExpectedTexts[] = {
    {LANG_JAPANESE, L"パッド設定", L"OK", L"キャンセル",
     {L"パッドタイプ - 1 -", L"パッドタイプ - 2 -", L"パッドタイプ - 3 -", L"パッドタイプ - 4 -", L"パッドタイプ - 5 -",
      L"パッドタイプ - 6 -"}},
    {LANG_ENGLISH, L"Gamepad Settings", L"OK", L"CANCEL",
     {L"Gamepad Type -1-", L"Gamepad Type -2-", L"Gamepad Type -3-", L"Gamepad Type -4-", L"Gamepad Type -5-",
      L"Gamepad Type -6-"}},
    {LANG_SPANISH, L"Ajustes Mando", L"ACEPTAR", L"CANCELAR",
     {L"Tipo de mando -1-", L"Tipo de mando -2-", L"Tipo de mando -3-", L"Tipo de mando -4-", L"Tipo de mando -5-",
      L"Tipo de mando -6-"}},
    {LANG_RUSSIAN, L"Настройки геймпада", L"\u041E\u041A", L"ОТМЕНА",
     {L"Тип геймпада -1-", L"Тип геймпада -2-", L"Тип геймпада -3-", L"Тип геймпада -4-", L"Тип геймпада -5-",
      L"Тип геймпада -6-"}},
};

TEST_F(GamepadSettingsDialog, ShowsTheTextsOfTheDisplayLanguage) {
  const LANGID display = GetUserDefaultUILanguage();
  const DisplayTexts* expected = nullptr;
  for (const DisplayTexts& texts : ExpectedTexts)
    if (texts.primaryLanguage == PRIMARYLANGID(display)) expected = &texts;
  ASSERT_NE(expected, nullptr) << "no texts listed for display language 0x" << std::hex << display;
  const std::wstring index = testing_support::Environment(L"VKTEST_DISPLAY_LANGUAGE_INDEX");
  if (!index.empty()) {
    ASSERT_EQ(UiLanguageIndex(), std::stoi(index)) << "the display language was not taken from LC_ALL";
  }

  OpenSettingsDialog();
  EXPECT_EQ(Text(dialog), expected->title);
  EXPECT_EQ(Text(GetDlgItem(dialog, IDOK)), expected->ok);
  EXPECT_EQ(Text(GetDlgItem(dialog, IDCANCEL)), expected->cancel);
  EXPECT_EQ(ListItems(dialog, IDC_GAMEPAD_TYPE), std::vector<std::wstring>(expected->types, expected->types + 6));
}

// Without bitmap 111 nothing is sized from it: the template's size stays and
// the layout follows that client area.
TEST_F(GamepadSettingsDialog, WithoutItsBitmapKeepsTheTemplatesSizeAndPaintsNothing) {
  const HMODULE noBitmaps = LoadLibraryExW(testing_support::ArtefactPath(L"VKTEST_EMPTY_MODULE").c_str(), nullptr,
                                           LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(noBitmaps, nullptr);
  // The template's own client area, from a dialog that leaves it alone.
  const HWND plain = CreateDialogParamW(testing_support::LauncherResourceModule(),
                                        MAKEINTRESOURCEW(IDD_GAMEPAD_DIALOG), nullptr,
                                        LeaveAlone, 0);
  ASSERT_NE(plain, nullptr);
  RECT templateClient;
  GetClientRect(plain, &templateClient);
  DestroyWindow(plain);

  PlacementRecorder recorder;
  OpenSettingsDialog(noBitmaps);
  EXPECT_EQ(GamepadDialog.GamepadBitmap.get(), nullptr);
  for (const PlacementCall& call : recorder.Calls()) EXPECT_NE(call.window, dialog) << "the window was resized";
  RECT client;
  GetClientRect(dialog, &client);
  EXPECT_EQ(client.right, templateClient.right);
  EXPECT_EQ(client.bottom, templateClient.bottom);
  EXPECT_NE(client.right, 499);
  ExpectLayout(dialog, recorder.Calls(), ExpectedLayout(client.right, client.bottom));
  EXPECT_EQ(ZOrder(dialog), ExpectedTabOrder());

  // Painting draws nothing and fails nowhere.
  InvalidateRect(dialog, nullptr, TRUE);
  SendMessageW(dialog, WM_PAINT, 0, 0);
  EXPECT_TRUE(IsWindow(dialog));
  CloseDialog();
  FreeLibrary(noBitmaps);
}

// The background is drawn whole at the client area's origin.
TEST_F(GamepadSettingsDialog, PaintsItsBitmapUnscaledFromTheOrigin) {
  OpenSettingsDialog();
  const HDC screen = GetDC(nullptr);
  const platform::unique_hdc target(CreateCompatibleDC(screen));
  const platform::unique_hbitmap canvas(CreateCompatibleBitmap(screen, 520, 330));
  ReleaseDC(nullptr, screen);
  const HGDIOBJ old = SelectObject(target.get(), canvas.get());
  RECT all = {0, 0, 520, 330};
  FillRect(target.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  PaintDialogBitmap(target.get());
  SelectObject(target.get(), old);

  const HBITMAP source = GamepadDialog.GamepadBitmap.get();
  ASSERT_NE(source, nullptr);
  const auto painted = testing_support::ImageOfBitmap(canvas.get());
  const auto original = testing_support::ImageOfBitmap(source);
  ASSERT_EQ(original.width, 499);
  ASSERT_EQ(original.height, 312);
  int differing = 0;
  for (int y = 0; y < 312; y += 7)
    for (int x = 0; x < 499; x += 5) differing += painted.Pixel(x, y) != original.Pixel(x, y);
  EXPECT_EQ(differing, 0);
  EXPECT_EQ(painted.Pixel(510, 10), 0xFFFFFFu);  // nothing beyond the bitmap
  EXPECT_EQ(painted.Pixel(10, 320), 0xFFFFFFu);
}

// ---------------------------------------------------------------------------
// Capture, type change and closing

constexpr const wchar_t* Type3Defaults[20] = {L"3",  L"2", L"4", L"1", L"POV", L"POV", L"POV", L"POV", L"9", L"10",
                                              L"5",  L"6", L"7", L"8", L"11", L"12", L"X",   L"Z",   L"Y", L"RZ"};

// A file made for the pad called "Pad", which is not one of the six types.
const std::vector<std::wstring> PadFile = {
    L"[JOYPAD]", L"ProductName=Pad", L"ProductType=0", L"A=4", L"B=5",
};

TEST_F(GamepadSettingsDialog, CapturesOnlyIntoAFocusedActionListAndNotAfterOk) {
  ASSERT_TRUE(WriteConfigFile(PadFile));
  const int pad = input.Plug(L"Pad");
  input.SetStates(pad, {StateWith({3})});
  OpenSettingsDialog();
  ASSERT_EQ(GamepadDialog.RecordedProductName, std::wstring(L"Pad"));
  const std::wstring loaded = ActionSelections();
  EXPECT_EQ(Selection(IDC_ACTION_A), L"5");

  // The focus starts on OK: buttons change nothing.
  TimerTick(3);
  EXPECT_EQ(ActionSelections(), loaded);
  Focus(IDC_GAMEPAD_TYPE);
  input.SetStates(pad, {StateWith({}, 9000)});
  TimerTick(2);
  EXPECT_EQ(ActionSelections(), loaded);
  EXPECT_EQ(SelectedIndex(IDC_GAMEPAD_TYPE), 0);

  Focus(IDC_ACTION_B);
  input.SetStates(pad, {StateWith({3})});
  TimerTick();
  EXPECT_EQ(Selection(IDC_ACTION_B), L"3");
  input.SetStates(pad, {StateWith({}, 27000)});
  TimerTick();
  EXPECT_EQ(Selection(IDC_ACTION_B), L"POV");
  EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_ACTION_B));

  Click(IDOK);
  EXPECT_EQ(GamepadDialog.CaptureEnabled, 0);
  const std::wstring saved = ActionSelections();
  input.SetStates(pad, {StateWith({7})});
  SetFocus(GetDlgItem(dialog, IDC_ACTION_B));
  TimerTick(3);
  EXPECT_EQ(ActionSelections(), saved) << "captured after OK";
}

TEST_F(GamepadSettingsDialog, ChoosingATypeAppliesItsDefaultsAndIsTheTypeOkWrites) {
  ASSERT_TRUE(WriteConfigFile(PadFile));
  input.Plug(L"Pad");
  OpenSettingsDialog();
  ChooseType(3);
  EXPECT_EQ(ActionSelections(), Assignments(Type3Defaults));
  EXPECT_EQ(GamepadDialog.RecordedProductType, 3);
  EXPECT_EQ(SelectedIndex(IDC_GAMEPAD_TYPE), 3);
  Click(IDOK);
  const auto lines = ConfigLines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[1], L"ProductName=Pad");
  EXPECT_EQ(lines[2], L"ProductType=3");
}

// A controller attached to a dialog whose file records no controller: its
// first good read switches the type list and all twenty lists to its type.
TEST_F(GamepadSettingsDialog, FollowsTheControllerOnItsFirstRead) {
  constexpr const wchar_t* Type5Defaults[20] = {L"2", L"3", L"1", L"4", L"-X", L"X",   L"-Y", L"Y",   L"10", L"9",
                                                L"7", L"8", L"5", L"6", L"11", L"12", L"POV", L"Z", L"POV", L"RZ"};
  ASSERT_TRUE(WriteConfigFile({L"[JOYPAD]", L"A=4"}));
  input.Plug(L"Logitech Dual Action");
  OpenSettingsDialog();
  EXPECT_EQ(Selection(IDC_ACTION_A), L"5");
  EXPECT_EQ(SelectedIndex(IDC_GAMEPAD_TYPE), 0);
  TimerTick();
  EXPECT_EQ(ActionSelections(), Assignments(Type5Defaults));
  EXPECT_EQ(SelectedIndex(IDC_GAMEPAD_TYPE), 5);
  EXPECT_EQ(GamepadDialog.RecordedProductType, 5);
}

struct ClosingCase {
  const char* what;
  void (*close)(HWND dialog);
  bool saves;
};

void PressButton(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
void PressKeyInDialog(HWND dialog, WPARAM key) {
  PostMessageW(GetFocus() ? GetFocus() : dialog, WM_KEYDOWN, key, 0);
  PostMessageW(GetFocus() ? GetFocus() : dialog, WM_KEYUP, key, 0xC0000001);
}

const ClosingCase ClosingCases[] = {
    {"OK",        [](HWND d) { PressButton(d, IDOK); },                      true},
    {"Enter key", [](HWND d) { PressKeyInDialog(d, VK_RETURN); },            true},
    {"Cancel",    [](HWND d) { PressButton(d, IDCANCEL); },                  false},
    {"Esc key",   [](HWND d) { PressKeyInDialog(d, VK_ESCAPE); },            false},
    {"close box", [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }, false},
};

// Run modally as the main dialog runs it: whichever way the player leaves,
// the result is 1; only OK (the default button) writes the file.
TEST_F(GamepadSettingsDialog, ReturnsOneHoweverClosedAndOnlyOkWrites) {
  const std::vector<std::wstring> before = {L"; the player's own", L"[JOYPAD]", L"A=4", L"B=5", L"[OTHER]", L"K=1"};
  for (const ClosingCase& c : ClosingCases) {
    SCOPED_TRACE(c.what);
    NextCase();
    ASSERT_TRUE(WriteConfigFile(before));
    InstanceHandle = testing_support::LauncherResourceModule();
    bool changed = false;
    const INT_PTR result =
        testing_support::RunModalDialog(InstanceHandle, IDD_GAMEPAD_DIALOG, GamepadDialogProc, [&](HWND d) {
          dialog = d;
          ChooseType(3);
          changed = ActionSelections() == Assignments(Type3Defaults);
          c.close(d);
          PumpUntilClosed(d);
          dialog = nullptr;
        });
    EXPECT_TRUE(changed);
    EXPECT_EQ(result, 1);
    const auto lines = ConfigLines();
    if (c.saves) {
      ASSERT_EQ(lines.size(), 24u);
      EXPECT_EQ(lines[2], L"A=2");  // "3", stored from 0
      EXPECT_EQ(lines[3], L"B=1");
      EXPECT_EQ(lines[4], L"X=3");
      EXPECT_EQ(lines[21], L"RSTICK_VERT=RZ");
      EXPECT_EQ(lines[22], L"[OTHER]");
    } else {
      EXPECT_EQ(lines, before);
    }
  }
}

}  // namespace
}  // namespace gamepad_testing
