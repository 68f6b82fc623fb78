#include "launcher/command_line.h"

namespace {
bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
}  // namespace

std::wstring_view CommandLineArguments(std::wstring_view commandLine) {
  size_t pos = 0;
  if (!commandLine.empty() && commandLine[0] == L'"') {
    const size_t closing = commandLine.find(L'"', 1);
    pos = closing == std::wstring_view::npos ? commandLine.size() : closing + 1;
  } else {
    while (pos < commandLine.size() && !IsBlank(commandLine[pos])) ++pos;
  }
  while (pos < commandLine.size() && IsBlank(commandLine[pos])) ++pos;
  return commandLine.substr(pos);
}

LaunchRequest ParseCommandLine(std::wstring_view commandLine) {
  const std::wstring_view arguments = CommandLineArguments(commandLine);
  LaunchRequest request;
  request.mediaCenter = arguments.find(MediaCenterSwitch) != std::wstring_view::npos;
  if (arguments.find(DirectX9Switch) != std::wstring_view::npos)
    request.build = GameBuild::DirectX9;
  else if (arguments.find(DirectX10Switch) != std::wstring_view::npos)
    request.build = GameBuild::DirectX10;
  return request;
}
