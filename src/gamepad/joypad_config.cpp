#include "gamepad/joypad_config.h"

#include <cwchar>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "gamepad/actions.h"
#include "gamepad/gamepad_dialog_state.h"
#include "gamepad/gamepad_types.h"
#include "gamepad/list_selection.h"
#include "platform/file_replacement.h"
#include "platform/shell_functions.h"
#include "platform/system_error.h"
#include "platform/unique_handle.h"

namespace {

constexpr wchar_t JoypadSection[] = L"JOYPAD";
constexpr wchar_t ProductNameKey[] = L"ProductName";
constexpr wchar_t ProductTypeKey[] = L"ProductType";
// Profile values and list texts are read into buffers of this many characters.
constexpr int ProfileValueCapacity = 256;

// A stored value and the list name it stands for. The game counts buttons
// from 0, the lists from 1; every other input is stored as the list shows it.
struct ConfigValueName {
  const wchar_t* configValue;
  const wchar_t* inputName;
};

// Matched as whole strings, letter case counting.
constexpr ConfigValueName ConfigValueNames[] = {
    {L"0",  L"1"},
    {L"1",  L"2"},
    {L"2",  L"3"},
    {L"3",  L"4"},
    {L"4",  L"5"},
    {L"5",  L"6"},
    {L"6",  L"7"},
    {L"7",  L"8"},
    {L"8",  L"9"},
    {L"9",  L"10"},
    {L"10", L"11"},
    {L"11", L"12"},
    {L"12", L"13"},
    {L"13", L"14"},
    {L"14", L"15"},
    {L"15", L"16"},
    {L"16", L"17"},
    {L"17", L"18"},
    {L"18", L"19"},
    {L"19", L"20"},
    {L"20", L"21"},
    {L"21", L"22"},
    {L"22", L"23"},
    {L"23", L"24"},
    {L"24", L"25"},
    {L"25", L"26"},
    {L"26", L"27"},
    {L"27", L"28"},
    {L"28", L"29"},
    {L"29", L"30"},
    {L"30", L"31"},
    {L"31", L"32"},
};

constexpr wchar_t MakerFolder[] = L"\\MORVANE";
constexpr wchar_t GameFolder[] = L"\\VARKOLD\\";
constexpr wchar_t ConfigFileName[] = L"config.ini";

// A path that names one place whatever the current drive and folder:
// "C:\..." or "\\server\...". The folder query can hand back less.
bool IsFullyQualified(std::wstring_view path) {
  if (path.size() >= 3 && ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')) &&
      path[1] == L':' && path[2] == L'\\')
    return true;
  return path.size() >= 3 && path[0] == L'\\' && path[1] == L'\\';
}

// Replaces text by the other column of the first row whose column `from`
// equals it exactly.
int TranslateButton(wchar_t (&text)[ProfileValueCapacity], const wchar_t* ConfigValueName::*from,
                    const wchar_t* ConfigValueName::*to) {
  for (const ConfigValueName& row : ConfigValueNames) {
    if (std::wstring_view(text) == row.*from) {
      lstrcpynW(text, row.*to, ProfileValueCapacity);
      return 1;
    }
  }
  return 0;
}

// A stored button value ("0" to "31") becomes its list name in place;
// returns 1. Any other text stays as it is; returns 0.
int ConfigValueToInputName(wchar_t (&text)[ProfileValueCapacity]) {
  return TranslateButton(text, &ConfigValueName::configValue, &ConfigValueName::inputName);
}

// A button's list name ("1" to "32") becomes its stored value in place;
// returns 1. Any other text stays as it is; returns 0.
int InputNameToConfigValue(wchar_t (&text)[ProfileValueCapacity]) {
  return TranslateButton(text, &ConfigValueName::inputName, &ConfigValueName::configValue);
}

// Documents\MORVANE\VARKOLD\config.ini, built anew on every call. With
// createFolders the two folders are created on the way (one that exists
// already is fine). Empty when the Documents folder cannot be determined:
// then nothing is read or written.
std::wstring JoypadConfigPath(bool createFolders = false) {
  wchar_t documents[MAX_PATH] = L"";
  const HRESULT found = platform::SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents);
  // On failure the buffer may still hold a relative or unexpanded path; a
  // config.ini there would lie wherever the current folder happens to be.
  documents[MAX_PATH - 1] = L'\0';
  if (FAILED(found) || !IsFullyQualified(documents)) return {};

  std::wstring path = documents;
  path += MakerFolder;
  if (createFolders) CreateDirectoryW(path.c_str(), nullptr);
  path += GameFolder;
  if (createFolders) CreateDirectoryW(path.c_str(), nullptr);
  path += ConfigFileName;
  return path;
}

// The list name a stored value selects: a button's stored form ("0" to "31")
// its list name, any other value itself; nullptr for none. A button's list
// name is no stored form of any input (buttons are stored "0" to "31"): a
// stored "32" would otherwise show as button 32 and be saved back as "31".
const wchar_t* StoredValueEntry(wchar_t (&text)[ProfileValueCapacity]) {
  if (ConfigValueToInputName(text) == 1) return text;
  // Button names are digits alone: letter case cannot tell them apart.
  for (int button = 0; button < CapturedButtonCount; ++button)
    if (std::wstring_view(text) == InputNames[button]) return nullptr;
  return text;
}

// What the file records, or the defaults when there is no file to read.
struct StoredJoypad {
  std::wstring path;  // empty: nothing to read

  int ProductType() const {
    if (path.empty()) return 0;
    return static_cast<int>(GetPrivateProfileIntW(JoypadSection, ProductTypeKey, 0, path.c_str()));
  }
  // Copies the key's text; "" when the key is absent or empty.
  void Read(const wchar_t* key, wchar_t (&text)[ProfileValueCapacity]) const {
    text[0] = L'\0';
    if (!path.empty()) GetPrivateProfileStringW(JoypadSection, key, L"", text, ProfileValueCapacity, path.c_str());
  }
  // Whether the profile functions keep the file's text in the ANSI code page:
  // they keep Unicode only in a file that starts with a UTF-16 byte-order
  // mark, as the game's own config.ini does not.
  bool InAnsiCodePage() const {
    const platform::unique_file file(CreateFileW(path.c_str(), GENERIC_READ,
                                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    unsigned char mark[2] = {};
    DWORD read = 0;
    if (!file || !ReadFile(file.get(), mark, sizeof(mark), &read, nullptr) || read < sizeof(mark)) return true;
    return !((mark[0] == 0xFF && mark[1] == 0xFE) || (mark[0] == 0xFE && mark[1] == 0xFF));
  }
};

// A name as a file in the ANSI code page keeps it: what the profile
// functions write for it there (each character the code page lacks becomes
// its default character), read back.
std::wstring AsAnsiCodePageStoresIt(const wchar_t* name) {
  const int bytes = WideCharToMultiByte(CP_ACP, 0, name, -1, nullptr, 0, nullptr, nullptr);
  std::string ansi(bytes > 0 ? bytes : 1, '\0');
  WideCharToMultiByte(CP_ACP, 0, name, -1, ansi.data(), bytes, nullptr, nullptr);
  const int characters = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
  std::wstring stored(characters > 0 ? characters : 1, L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, stored.data(), characters);
  stored.resize(wcslen(stored.c_str()));
  return stored;
}

// Writes keys one call each, until one fails, into a copy of config.ini
// that takes its place in one step once every key is written: a crash or a
// power cut during a save leaves the old file or the new one, never a mix.
// The writes are those an in-place save makes, so the same bytes land.
class JoypadWriter {
 public:
  explicit JoypadWriter(std::wstring path)
      : path_(std::move(path)), error_(path_.empty() ? DWORD{ERROR_PATH_NOT_FOUND} : DWORD{ERROR_SUCCESS}) {}

  void Write(const wchar_t* key, const wchar_t* value) {
    if (error_ != ERROR_SUCCESS || !Prepared()) return;
    if (!WritePrivateProfileStringW(JoypadSection, key, value, copy_->CopyPath().c_str()))
      error_ = LastFailure();
  }
  // Puts the copy in config.ini's place; with nothing written, nothing changes.
  JoypadSaveResult Finish() {
    if (error_ == ERROR_SUCCESS && copy_) error_ = copy_->Commit();
    return {error_, path_};
  }

 private:
  // The copy is made at the first write. A config.ini that does not exist
  // yet starts as UTF-16LE with a byte-order mark: the profile functions then
  // keep Unicode, where a file of their own making would hold the ANSI code
  // page and turn a Japanese or Cyrillic product name into question marks.
  bool Prepared() {
    if (copy_) return true;
    static constexpr char ByteOrderMark[] = "\xFF\xFE";
    copy_.emplace(path_, std::string_view(ByteOrderMark, 2));
    if ((error_ = copy_->Error()) != ERROR_SUCCESS) return false;
    // Wine keeps parsed profile files per process, and a copy of an earlier
    // save had the same name and may have had the same write time.
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, copy_->CopyPath().c_str());
    return true;
  }

  std::wstring path_;
  DWORD error_;
  std::optional<platform::FileReplacement> copy_;
};

}  // namespace

bool IsStoredControllersName(const GamepadDialogState& state) {
  const wchar_t* const stored = state.StoredProductName;
  if (!stored[0]) return false;
  if (std::wstring_view(state.ControllerProductName).find(stored) != std::wstring_view::npos) return true;
  return state.StoredInAnsiCodePage && AsAnsiCodePageStoresIt(state.ControllerProductName) == stored;
}

void LoadJoypadConfig(HWND dialog, GamepadDialogState& state) {
  const StoredJoypad stored{JoypadConfigPath()};
  // Wine keeps parsed profile files per process: make it read the file as
  // the game or the player may have left it since.
  if (!stored.path.empty()) WritePrivateProfileStringW(nullptr, nullptr, nullptr, stored.path.c_str());

  wchar_t storedName[ProfileValueCapacity];
  stored.Read(ProductNameKey, storedName);
  lstrcpynW(state.StoredProductName, storedName, MAX_PATH);
  state.StoredInAnsiCodePage = stored.InAnsiCodePage();

  if (storedName[0] && state.ControllerDevice && state.ControllerProductName[0]) {
    lstrcpynW(state.RecordedProductName, state.ControllerProductName, MAX_PATH);
    // The stored assignments were made for another controller: the one
    // attached gets its own type's defaults.
    if (!IsStoredControllersName(state)) {
      const int type = DetectGamepadType(state.ControllerProductName);
      SelectGamepadType(dialog, state, type);
      ApplyGamepadTypeDefaults(dialog, type);
      return;
    }
  }
  SelectGamepadType(dialog, state, stored.ProductType());

  // Missing keys take the defaults of the recorded controller's type.
  const int defaultsType = DetectGamepadType(state.RecordedProductName);
  for (const ActionControl& action : ActionControls) {
    wchar_t text[ProfileValueCapacity];
    stored.Read(action.actionKey, text);
    // A value that names no list entry leaves the list without a selection,
    // and OK then leaves the value in the file.
    SelectListEntry(GetDlgItem(dialog, action.controlId),
                    text[0] ? StoredValueEntry(text) : DefaultInputName(action.controlId, defaultsType));
  }
}

JoypadSaveResult SaveJoypadConfig(HWND dialog, const GamepadDialogState& state) {
  JoypadWriter writer(JoypadConfigPath(true));

  if (state.RecordedProductName[0]) {
    writer.Write(ProductNameKey, state.RecordedProductName);
    wchar_t type[ProfileValueCapacity];
    wsprintfW(type, L"%d", state.RecordedProductType);
    writer.Write(ProductTypeKey, type);
  }

  for (const ActionControl& action : ActionControls) {
    const HWND list = GetDlgItem(dialog, action.controlId);
    const LRESULT item = SendMessageW(list, CB_GETCURSEL, 0, 0);
    const LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(item), 0);
    // No selection: the key keeps whatever the file holds.
    if (length == CB_ERR || length >= ProfileValueCapacity) continue;
    wchar_t text[ProfileValueCapacity];
    if (SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(text)) == CB_ERR)
      continue;
    InputNameToConfigValue(text);
    writer.Write(action.actionKey, text);
  }
  return writer.Finish();
}
