// The six gamepad types: how a controller is recognised by its product name,
// and the default input of each of the twenty actions for each type.
#pragma once

#include <windows.h>

#include <iterator>

#include "gamepad/actions.h"

// Type index 0 is every controller that ProductTypeTable does not recognise.

// The default input of one action (a row) for each type index (a column).
struct DefaultInputRow {
  int controlId;
  const wchar_t* inputByType[GamepadTypeCount];  // each one of InputNames
};

// In the order of ActionControls.
inline constexpr DefaultInputRow GamepadTypeDefaults[] = {
    //                         type 0     1         2         3         4         5
    {IDC_ACTION_A,            {L"1",     L"3",     L"3",     L"3",     L"3",     L"2"}},
    {IDC_ACTION_B,            {L"2",     L"2",     L"4",     L"2",     L"2",     L"3"}},
    {IDC_ACTION_X,            {L"3",     L"4",     L"1",     L"4",     L"4",     L"1"}},
    {IDC_ACTION_Y,            {L"4",     L"1",     L"2",     L"1",     L"1",     L"4"}},
    {IDC_ACTION_LEFT,         {L"POV",   L"POV",   L"POV",   L"POV",   L"POV",   L"-X"}},
    {IDC_ACTION_RIGHT,        {L"POV",   L"POV",   L"POV",   L"POV",   L"POV",   L"X"}},
    {IDC_ACTION_UP,           {L"POV",   L"POV",   L"POV",   L"POV",   L"POV",   L"-Y"}},
    {IDC_ACTION_DOWN,         {L"POV",   L"POV",   L"POV",   L"POV",   L"POV",   L"Y"}},
    {IDC_ACTION_START,        {L"8",     L"10",    L"12",    L"9",     L"9",     L"10"}},
    {IDC_ACTION_BACK,         {L"7",     L"9",     L"11",    L"10",    L"12",    L"9"}},
    {IDC_ACTION_LT,           {L"Z",     L"5",     L"7",     L"5",     L"5",     L"7"}},
    {IDC_ACTION_RT,           {L"-Z",    L"6",     L"8",     L"6",     L"6",     L"8"}},
    {IDC_ACTION_LB,           {L"5",     L"7",     L"5",     L"7",     L"7",     L"5"}},
    {IDC_ACTION_RB,           {L"6",     L"8",     L"6",     L"8",     L"8",     L"6"}},
    {IDC_ACTION_LSTICK_PUSH,  {L"9",     L"11",    L"9",     L"11",    L"10",    L"11"}},
    {IDC_ACTION_RSTICK_PUSH,  {L"10",    L"12",    L"10",    L"12",    L"11",    L"12"}},
    {IDC_ACTION_LSTICK_HORZ,  {L"X",     L"X",     L"X",     L"X",     L"X",     L"POV"}},
    {IDC_ACTION_RSTICK_HORZ,  {L"-RX",   L"Z",     L"Z",     L"Z",     L"Z",     L"Z"}},
    {IDC_ACTION_LSTICK_VERT,  {L"Y",     L"Y",     L"Y",     L"Y",     L"Y",     L"POV"}},
    {IDC_ACTION_RSTICK_VERT,  {L"-RY",   L"RZ",    L"RZ",    L"RZ",    L"RZ",    L"RZ"}},
};
static_assert(std::size(GamepadTypeDefaults) == ActionCount);

// The gamepad type of a controller by its product name (may be empty): the
// type of the first fragment of ProductTypeTable that the name holds, letter
// case and blanks counting; 0 when none does.
int DetectGamepadType(const wchar_t* productName);

// The default input of an action's list (IDC_ACTION_A..IDC_ACTION_RSTICK_VERT)
// for a type index 0..5.
const wchar_t* DefaultInputName(int controlId, int typeIndex);

// Selects the default input of the type in each of the dialog's twenty action
// lists; the type list IDC_GAMEPAD_TYPE is not touched. A type outside 0..5
// changes nothing.
void ApplyGamepadTypeDefaults(HWND dialog, int typeIndex);
