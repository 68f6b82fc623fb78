#pragma once

// Where Media Center's shell lives on every Windows that has it.
inline constexpr wchar_t MediaCenterShellPath[] = L"%SystemRoot%\\ehome\\ehshell.exe";

// Opens the Media Center shell again, so that a launcher started from Media
// Center hands back to it. Does not wait, and reports nothing.
void StartMediaCenter();
