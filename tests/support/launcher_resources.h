// The resources of the built Launcher.exe, read in-process: tests run its real
// dialog templates and load its bitmaps through LauncherResourceModule(), and
// read its templates back with the small parsers below.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace testing_support {

// Launcher.exe named by VKTEST_LAUNCHER_EXE, loaded once per process as a
// resource image (LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE):
// none of its code runs. DialogBoxParamW, CreateDialogParamW and LoadImageW
// take the handle like an instance handle. nullptr when it cannot be loaded.
HMODULE LauncherResourceModule();

// The language variants of one resource, in the order the module stores them.
std::vector<WORD> ResourceLanguages(HMODULE module, LPCWSTR type, LPCWSTR name);
// The bytes of one language variant; empty when there is no such variant.
std::span<const uint8_t> ResourceBytes(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language);

// A name-or-ordinal field of a template: an ordinal when ordinal != 0.
struct NameOrOrdinal {
  WORD ordinal = 0;
  std::wstring name;
  bool operator==(const NameOrOrdinal&) const = default;
};

// One control of an extended dialog template.
struct DialogControl {
  DWORD helpId = 0;
  DWORD exStyle = 0;
  DWORD style = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  int id = 0;                 // -1 (0xFFFFFFFF) for controls without one
  NameOrOrdinal windowClass;  // predefined classes by ordinal (0x0080 Button ...)
  NameOrOrdinal text;         // an ordinal names an image resource
  WORD extraBytes = 0;
};

// An extended dialog template (DLGTEMPLATEEX) with its controls.
struct DialogTemplate {
  DWORD helpId = 0;
  DWORD exStyle = 0;
  DWORD style = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  NameOrOrdinal menu;
  NameOrOrdinal windowClass;
  std::wstring title;
  WORD pointSize = 0;
  WORD weight = 0;
  BYTE italic = 0;
  BYTE charset = 0;
  std::wstring typeface;
  std::vector<DialogControl> controls;
};

// Parses an extended dialog template; nullopt when the bytes are not one
// (a classic DLGTEMPLATE included) or are cut short.
std::optional<DialogTemplate> ParseDialogTemplate(std::span<const uint8_t> bytes);

// The class name of a predefined control class ordinal ("Button", "Static",
// ...), or the name itself.
std::wstring ClassName(const NameOrOrdinal& windowClass);

// One item of a standard (not extended) menu template.
struct MenuTemplateItem {
  WORD flags = 0;  // MF_POPUP, MF_END, MF_CHECKED, MF_GRAYED, ... as stored
  WORD id = 0;     // 0 for pop-ups, which store none
  std::wstring text;
  std::vector<MenuTemplateItem> items;  // of a pop-up
};

// Parses a standard menu template (MENUITEMTEMPLATEHEADER version 0); nullopt
// when the bytes are not one or are cut short.
std::optional<std::vector<MenuTemplateItem>> ParseMenuTemplate(std::span<const uint8_t> bytes);

}  // namespace testing_support
