// The system's own words for a failure, as the launcher's failure boxes show
// them: the game start that failed, a setting that could not be stored.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// The calling thread's last error; a failure that names no reason still
// counts as one (ERROR_GEN_FAILURE), never as success.
DWORD LastFailure();

// The system's text for an error code in the user's language, with its own
// trailing line break. Each place the text has for a name ("%1", "%2", ...)
// holds insert, the file or thing the failure concerns. Empty when the system
// has no text, or has one with such a place and insert is empty.
std::wstring SystemErrorText(DWORD code, std::wstring_view insert = {});

// The reason a box gives: the system text, then "(Errorcode:0002)" with at
// least four lowercase hex digits and never cut off. Without system text only
// the code line.
std::wstring ErrorReasonText(DWORD code, std::wstring_view systemText);

// Shows a box owned by owner (nullptr: none) that says what failed, a blank
// line, then the reason for code (its system text naming insert); returns
// once the player dismissed it.
void ShowFailureBox(HWND owner, const wchar_t* title, std::wstring_view what, DWORD code,
                    std::wstring_view insert = {});
