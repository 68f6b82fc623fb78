#include "launcher_resources.h"

#include <cstring>

#include "test_process.h"

namespace testing_support {

HMODULE LauncherResourceModule() {
  // Kept for the whole process: dialogs and bitmaps made from it may outlive
  // any one test.
  static const HMODULE module = LoadLibraryExW(ArtefactPath(L"VKTEST_LAUNCHER_EXE").c_str(), nullptr,
                                               LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  return module;
}

namespace {

BOOL CALLBACK AddLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found) {
  reinterpret_cast<std::vector<WORD>*>(found)->push_back(language);
  return TRUE;
}

}  // namespace

std::vector<WORD> ResourceLanguages(HMODULE module, LPCWSTR type, LPCWSTR name) {
  std::vector<WORD> languages;
  EnumResourceLanguagesW(module, type, name, AddLanguage, reinterpret_cast<LONG_PTR>(&languages));
  return languages;
}

std::span<const uint8_t> ResourceBytes(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language) {
  // FindResourceExW falls back to other languages; only an exact variant counts.
  for (WORD stored : ResourceLanguages(module, type, name)) {
    if (stored != language) continue;
    HRSRC found = FindResourceExW(module, type, name, language);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    if (!loaded) return {};
    return {static_cast<const uint8_t*>(LockResource(loaded)), SizeofResource(module, found)};
  }
  return {};
}

namespace {

// Reads little-endian fields from a template; once a read runs past the end,
// every later read fails too.
class TemplateReader {
 public:
  explicit TemplateReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  bool ok() const { return ok_; }
  bool AtEnd() const { return offset_ >= bytes_.size(); }

  template <typename T>
  T Read() {
    T value{};
    if (!ok_ || bytes_.size() - offset_ < sizeof(T)) {
      ok_ = false;
      return value;
    }
    std::memcpy(&value, bytes_.data() + offset_, sizeof(T));
    offset_ += sizeof(T);
    return value;
  }

  std::wstring ReadString() {
    std::wstring text;
    for (wchar_t c; ok_ && (c = static_cast<wchar_t>(Read<WORD>())) != L'\0';) text.push_back(c);
    return text;
  }

  NameOrOrdinal ReadNameOrOrdinal() {
    NameOrOrdinal field;
    const WORD first = Read<WORD>();
    if (first == 0xFFFF) {
      field.ordinal = Read<WORD>();
    } else if (first != 0) {
      field.name.push_back(static_cast<wchar_t>(first));
      field.name += ReadString();
    }
    return field;
  }

  void Skip(size_t count) {
    if (bytes_.size() - offset_ < count) ok_ = false;
    else offset_ += count;
  }
  void AlignToDword() { Skip((4 - offset_ % 4) % 4); }

 private:
  std::span<const uint8_t> bytes_;
  size_t offset_ = 0;
  bool ok_ = true;
};

}  // namespace

std::optional<DialogTemplate> ParseDialogTemplate(std::span<const uint8_t> bytes) {
  TemplateReader in(bytes);
  DialogTemplate dialog;
  const WORD version = in.Read<WORD>();
  const WORD signature = in.Read<WORD>();
  if (!in.ok() || version != 1 || signature != 0xFFFF) return std::nullopt;
  dialog.helpId = in.Read<DWORD>();
  dialog.exStyle = in.Read<DWORD>();
  dialog.style = in.Read<DWORD>();
  const WORD controlCount = in.Read<WORD>();
  dialog.x = in.Read<short>();
  dialog.y = in.Read<short>();
  dialog.cx = in.Read<short>();
  dialog.cy = in.Read<short>();
  dialog.menu = in.ReadNameOrOrdinal();
  dialog.windowClass = in.ReadNameOrOrdinal();
  dialog.title = in.ReadString();
  if (dialog.style & (DS_SETFONT | DS_SHELLFONT)) {
    dialog.pointSize = in.Read<WORD>();
    dialog.weight = in.Read<WORD>();
    dialog.italic = in.Read<BYTE>();
    dialog.charset = in.Read<BYTE>();
    dialog.typeface = in.ReadString();
  }
  for (WORD i = 0; i < controlCount && in.ok(); ++i) {
    in.AlignToDword();
    DialogControl control;
    control.helpId = in.Read<DWORD>();
    control.exStyle = in.Read<DWORD>();
    control.style = in.Read<DWORD>();
    control.x = in.Read<short>();
    control.y = in.Read<short>();
    control.cx = in.Read<short>();
    control.cy = in.Read<short>();
    control.id = static_cast<int>(in.Read<DWORD>());
    control.windowClass = in.ReadNameOrOrdinal();
    control.text = in.ReadNameOrOrdinal();
    control.extraBytes = in.Read<WORD>();
    in.Skip(control.extraBytes);
    dialog.controls.push_back(control);
  }
  if (!in.ok()) return std::nullopt;
  return dialog;
}

std::wstring ClassName(const NameOrOrdinal& windowClass) {
  switch (windowClass.ordinal) {
    case 0: return windowClass.name;
    case 0x0080: return L"Button";
    case 0x0081: return L"Edit";
    case 0x0082: return L"Static";
    case 0x0083: return L"ListBox";
    case 0x0084: return L"ScrollBar";
    case 0x0085: return L"ComboBox";
    default: return L"#" + std::to_wstring(windowClass.ordinal);
  }
}

namespace {

// Reads the items of one menu level up to and including the one flagged MF_END.
bool ReadMenuItems(TemplateReader& in, std::vector<MenuTemplateItem>& items, int depth) {
  if (depth > 8) return false;
  for (;;) {
    MenuTemplateItem item;
    item.flags = in.Read<WORD>();
    if (!(item.flags & MF_POPUP)) item.id = in.Read<WORD>();
    item.text = in.ReadString();
    if (!in.ok()) return false;
    if ((item.flags & MF_POPUP) && !ReadMenuItems(in, item.items, depth + 1)) return false;
    const bool last = item.flags & MF_END;
    items.push_back(std::move(item));
    if (last) return true;
  }
}

}  // namespace

std::optional<std::vector<MenuTemplateItem>> ParseMenuTemplate(std::span<const uint8_t> bytes) {
  TemplateReader in(bytes);
  const WORD version = in.Read<WORD>();
  const WORD headerSize = in.Read<WORD>();
  if (!in.ok() || version != 0) return std::nullopt;
  in.Skip(headerSize);
  std::vector<MenuTemplateItem> bar;
  if (!ReadMenuItems(in, bar, 0) || !in.AtEnd()) return std::nullopt;
  return bar;
}

}  // namespace testing_support
