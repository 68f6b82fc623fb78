// The game's twenty actions and the names of the controller inputs that can
// drive them: the vocabulary the gamepad dialog, its defaults and config.ini
// share.
#pragma once

#include <iterator>

#include "resource.h"

// One game action: its list in the gamepad dialog and its key in config.ini.
struct ActionControl {
  int controlId;
  const wchar_t* actionKey;
};

// In the game's fixed order, which is also the order of loading and saving.
inline constexpr ActionControl ActionControls[] = {
    {IDC_ACTION_A,            L"A"},
    {IDC_ACTION_B,            L"B"},
    {IDC_ACTION_X,            L"X"},
    {IDC_ACTION_Y,            L"Y"},
    {IDC_ACTION_LEFT,         L"LEFT"},
    {IDC_ACTION_RIGHT,        L"RIGHT"},
    {IDC_ACTION_UP,           L"UP"},
    {IDC_ACTION_DOWN,         L"DOWN"},
    {IDC_ACTION_START,        L"START"},
    {IDC_ACTION_BACK,         L"BACK"},
    {IDC_ACTION_LT,           L"LT"},
    {IDC_ACTION_RT,           L"RT"},
    {IDC_ACTION_LB,           L"LB"},
    {IDC_ACTION_RB,           L"RB"},
    {IDC_ACTION_LSTICK_PUSH,  L"LSTICK_PUSH"},
    {IDC_ACTION_RSTICK_PUSH,  L"RSTICK_PUSH"},
    {IDC_ACTION_LSTICK_HORZ,  L"LSTICK_HORZ"},
    {IDC_ACTION_RSTICK_HORZ,  L"RSTICK_HORZ"},
    {IDC_ACTION_LSTICK_VERT,  L"LSTICK_VERT"},
    {IDC_ACTION_RSTICK_VERT,  L"RSTICK_VERT"},
};
inline constexpr int ActionCount = 20;

// Every action list holds these names in this order.
// Index i < 32 names button i + 1 (byte i of rgbButtons); "POV" is the first
// hat; then the six axes, then the hat and axes in the opposite direction.
inline constexpr const wchar_t* InputNames[] = {
    L"1",   L"2",   L"3",   L"4",   L"5",   L"6",   L"7",   L"8",
    L"9",   L"10",  L"11",  L"12",  L"13",  L"14",  L"15",  L"16",
    L"17",  L"18",  L"19",  L"20",  L"21",  L"22",  L"23",  L"24",
    L"25",  L"26",  L"27",  L"28",  L"29",  L"30",  L"31",  L"32",
    L"POV",
    L"X",   L"Y",   L"Z",   L"RX",  L"RY",  L"RZ",
    L"-POV",
    L"-X",  L"-Y",  L"-Z",  L"-RX", L"-RY", L"-RZ",
};
inline constexpr int CapturedButtonCount = 32;  // buttons "1" to "32"
inline constexpr int FirstHatInput = 32;        // "POV"

// A gamepad type index is 0..5: entry n of the type list IDC_GAMEPAD_TYPE
// ("-1-" to "-6-") and the "ProductType" that config.ini stores.
inline constexpr int GamepadTypeCount = 6;

static_assert(std::size(ActionControls) == ActionCount);
static_assert(std::size(InputNames) == 46);
