#include "launcher/command_line.h"

#include <algorithm>

namespace {

// The switches the launcher itself recognises, case-sensitive.
constexpr std::wstring_view MediaCenterSwitch = L"-mce";
constexpr std::wstring_view DirectX9Switch = L"-dx9";
constexpr std::wstring_view DirectX10Switch = L"-dx10";

// A caller that names the program separately may hand over the arguments
// alone. A program's path or name never starts with a dash unless it lies in
// a folder, and then it holds a backslash or slash.
bool IsSwitch(std::wstring_view word) {
  return word.starts_with(L'-') && word.find_first_of(L"\\/") == std::wstring_view::npos;
}

}  // namespace

std::wstring_view CommandLineArguments(std::wstring_view commandLine) {
  const bool quoted = commandLine.starts_with(L'"');
  const size_t nameStart = quoted ? 1 : 0;
  const size_t nameEnd = std::min(commandLine.find_first_of(quoted ? L"\"" : L" \t", nameStart), commandLine.size());
  if (IsSwitch(commandLine.substr(nameStart, nameEnd - nameStart))) return commandLine;
  const size_t afterName = quoted ? std::min(nameEnd + 1, commandLine.size()) : nameEnd;
  return commandLine.substr(std::min(commandLine.find_first_not_of(L" \t", afterName), commandLine.size()));
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
