#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// Full file name of a module of this process (NULL: the exe itself), however
// long it is. Empty when the system cannot tell.
std::wstring ModuleFilePath(HMODULE module = nullptr);

// The folder part of a full file name: drive and directory, with the trailing
// backslash ("C:\Games\VARKOLD\" for "C:\Games\VARKOLD\Launcher.exe").
// Empty when the name holds no folder.
std::wstring FolderOfPath(std::wstring_view path);
