#pragma once

#include <string_view>

enum class GameBuild { None, DirectX9, DirectX10 };

// What the command line asks for: a build to start at once (None: let the
// player choose in the main dialog) and whether Media Center started us.
struct LaunchRequest {
  GameBuild build = GameBuild::None;
  bool mediaCenter = false;
  bool operator==(const LaunchRequest&) const = default;
};

// The arguments of a full command line: what follows the program name, split
// off as Windows does (a quoted name runs to the closing quote, an unquoted one
// to the first blank or tab), without the blanks that separate them. A line
// whose first word starts with a dash and holds no backslash or slash has no
// program name (its caller gave it separately): all of it is arguments.
std::wstring_view CommandLineArguments(std::wstring_view commandLine);

// Looks for the switches as plain substrings of the arguments, anywhere: a word
// that merely begins with "-dx9" counts, and "-dx9" wins over "-dx10" wherever
// each stands. The program's own path is not searched, so a launcher installed
// in a folder such as "VARKOLD-dx9 edition" still shows its dialog.
LaunchRequest ParseCommandLine(std::wstring_view commandLine);
