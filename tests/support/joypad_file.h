// The game's config.ini in the test prefix's Documents folder, set up and read
// back as bytes and lines. The place is spelled out here on purpose: it is the
// contract with the game.
#pragma once

#include <gtest/gtest.h>
#include <shlobj.h>

#include "test_support.h"

namespace testing_support {

inline std::wstring MakerFolder() {
  wchar_t documents[MAX_PATH] = L"";
  SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents);
  // Wine links Documents to the home folder, as a reparse point, unless
  // tools/run-tests.sh replaced the link with a folder of the test prefix's own.
  EXPECT_FALSE(GetFileAttributesW(documents) & FILE_ATTRIBUTE_REPARSE_POINT) << "run the tests with tools/run-tests.sh";
  return documents + std::wstring(L"\\MORVANE");
}

inline std::wstring ConfigPath() { return MakerFolder() + L"\\VARKOLD\\config.ini"; }

inline void RemoveJoypadFolders() { RemoveTree(MakerFolder()); }

inline bool WriteConfigBytes(const std::string& bytes) {
  CreateDirectoryW(MakerFolder().c_str(), nullptr);
  CreateDirectoryW((MakerFolder() + L"\\VARKOLD").c_str(), nullptr);
  return WriteFileBytes(ConfigPath(), bytes);
}

// config.ini as these lines, in UTF-16LE with a byte-order mark.
inline bool WriteConfig(const std::vector<std::wstring>& lines) {
  std::wstring text = L"\xFEFF";
  for (const std::wstring& line : lines) text += line + L"\r\n";
  return WriteConfigBytes(std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t)));
}

// The lines that are not blank of config.ini in UTF-16LE with a byte-order
// mark; none when it is not: one in the ANSI code page loses Japanese names.
inline std::vector<std::wstring> ConfigLines() {
  const std::string bytes = ReadFileBytes(ConfigPath());
  if (!bytes.starts_with("\xFF\xFE")) return {};
  const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / sizeof(wchar_t));
  std::vector<std::wstring> lines;
  for (size_t start = 0, end; start < text.size(); start = end + 1) {
    end = std::min(text.find(L'\n', start), text.size());
    const std::wstring line = text.substr(start, end - start - (end > start && text[end - 1] == L'\r'));
    if (line.find_first_not_of(L" \t") != std::wstring::npos) lines.push_back(line);
  }
  return lines;
}

}  // namespace testing_support
