// The inspector's window: the report, readable, until the person closes it.
#pragma once

#include <windows.h>

#include <string>

// Shows the report in a modal window titled after the program's file name;
// returns when Close, Esc or the close box ends it.
void ShowReportWindow(HINSTANCE instance, const std::wstring& title, const std::wstring& report);
