#include "joypad_file.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include "test_process.h"

namespace testing_support {

std::wstring DocumentsFolder() {
  wchar_t folder[MAX_PATH] = L"";
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, folder))) {
    ADD_FAILURE() << "the Documents folder cannot be determined";
    return {};
  }
  // Wine reports its links to Unix folders as reparse points.
  const DWORD attributes = GetFileAttributesW(folder);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    ADD_FAILURE() << "the Documents folder leads out of the test prefix: run the tests through tools/run-tests.sh";
    return {};
  }
  return folder;
}

std::wstring MakerFolderPath() {
  const std::wstring documents = DocumentsFolder();
  return documents.empty() ? std::wstring() : documents + L"\\MORVANE";
}

std::wstring GameFolderPath() {
  const std::wstring maker = MakerFolderPath();
  return maker.empty() ? std::wstring() : maker + L"\\VARKOLD";
}

std::wstring ConfigFilePath() {
  const std::wstring game = GameFolderPath();
  return game.empty() ? std::wstring() : game + L"\\config.ini";
}

void RemoveJoypadFolders() {
  const std::wstring maker = MakerFolderPath();
  if (maker.empty()) return;
  SetFileAttributesW(maker.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveTree(maker);
  DeleteFileW(maker.c_str());  // where a test made it a file
}

bool WriteConfigFile(const std::vector<std::wstring>& lines, TextEncoding encoding) {
  const std::wstring path = ConfigFilePath();
  if (path.empty()) return false;
  CreateDirectoryW(MakerFolderPath().c_str(), nullptr);
  CreateDirectoryW(GameFolderPath().c_str(), nullptr);
  std::wstring text;
  for (const std::wstring& line : lines) text += line + L"\r\n";
  std::string bytes;
  if (encoding == TextEncoding::Utf16WithBom) {
    bytes = "\xFF\xFE";
    bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
  } else {
    const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    bytes.resize(static_cast<size_t>(size));
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
  }
  return WriteTextFile(path, bytes);
}

std::vector<uint8_t> ReadFileBytes(const std::wstring& path) {
  const platform::unique_file file(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return {};
  std::vector<uint8_t> bytes(GetFileSize(file.get(), nullptr));
  DWORD read = 0;
  if (!bytes.empty() && !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
    return {};
  bytes.resize(read);
  return bytes;
}

bool ConfigIsUtf16() {
  const std::vector<uint8_t> bytes = ReadFileBytes(ConfigFilePath());
  return bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE;
}

std::vector<std::wstring> ConfigLines() {
  const std::vector<uint8_t> bytes = ReadFileBytes(ConfigFilePath());
  std::wstring text;
  if (ConfigIsUtf16()) {
    text.assign(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / sizeof(wchar_t));
  } else if (!bytes.empty()) {
    const auto* narrow = reinterpret_cast<const char*>(bytes.data());
    const int size = MultiByteToWideChar(CP_ACP, 0, narrow, static_cast<int>(bytes.size()), nullptr, 0);
    text.resize(static_cast<size_t>(size));
    MultiByteToWideChar(CP_ACP, 0, narrow, static_cast<int>(bytes.size()), text.data(), size);
  }
  std::vector<std::wstring> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    std::wstring line = text.substr(start, end - start);
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    if (line.find_first_not_of(L" \t") != std::wstring::npos) lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

}  // namespace testing_support
