#include "joypad_file.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include "test_support.h"

namespace testing_support {

std::wstring DocumentsFolder() {
  wchar_t folder[MAX_PATH] = L"";
  SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, folder);
  // Wine reports its links to Unix folders as reparse points.
  const DWORD attributes = GetFileAttributesW(folder);
  if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return folder;
  ADD_FAILURE() << "Documents is no folder of the test prefix: run the tests with tools/run-tests.sh";
  return L"";
}

std::wstring MakerFolder() { return DocumentsFolder() + L"\\MORVANE"; }

std::wstring ConfigPath() { return MakerFolder() + L"\\VARKOLD\\config.ini"; }

void RemoveJoypadFolders() {
  SetFileAttributesW(MakerFolder().c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveTree(MakerFolder());
  DeleteFileW(MakerFolder().c_str());
}

bool WriteConfigBytes(const std::string& bytes) {
  CreateDirectoryW(MakerFolder().c_str(), nullptr);
  CreateDirectoryW((MakerFolder() + L"\\VARKOLD").c_str(), nullptr);
  return WriteFileBytes(ConfigPath(), bytes);
}

bool WriteConfig(const std::vector<std::wstring>& lines) {
  std::wstring text = L"\xFEFF";
  for (const std::wstring& line : lines) text += line + L"\r\n";
  return WriteConfigBytes(std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t)));
}

bool ConfigIsUtf16() { return ReadFileBytes(ConfigPath()).starts_with("\xFF\xFE"); }

std::vector<std::wstring> ConfigLines() {
  const std::string bytes = ReadFileBytes(ConfigPath());
  std::wstring text;
  if (ConfigIsUtf16()) {
    text.assign(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / sizeof(wchar_t));
  } else {
    text.resize(bytes.size());
    text.resize(MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                                    static_cast<int>(text.size())));
  }
  std::vector<std::wstring> lines;
  for (size_t start = 0, end; start < text.size(); start = end + 1) {
    end = std::min(text.find(L'\n', start), text.size());
    std::wstring line = text.substr(start, end - start);
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    if (line.find_first_not_of(L" \t") != std::wstring::npos) lines.push_back(line);
  }
  return lines;
}

}  // namespace testing_support
