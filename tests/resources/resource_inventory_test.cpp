// Which resources the built Launcher.exe carries, and in which language
// variants: the platform's loader picks among exactly these.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "launcher_resources.h"
#include "resource.h"

namespace testing_support {
namespace {

// A type or name as the module stores it: "#5" for an ordinal.
std::wstring Key(LPCWSTR typeOrName) {
  if (IS_INTRESOURCE(typeOrName)) return L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(typeOrName));
  return typeOrName;
}

using Inventory = std::map<std::pair<std::wstring, std::wstring>, std::set<WORD>>;

BOOL CALLBACK AddName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR found) {
  for (WORD language : ResourceLanguages(module, type, name))
    (*reinterpret_cast<Inventory*>(found))[{Key(type), Key(name)}].insert(language);
  return TRUE;
}
BOOL CALLBACK AddType(HMODULE module, LPWSTR type, LONG_PTR found) {
  EnumResourceNamesW(module, type, AddName, found);
  return TRUE;
}

Inventory LauncherInventory() {
  Inventory inventory;
  EnumResourceTypesW(LauncherResourceModule(), AddType, reinterpret_cast<LONG_PTR>(&inventory));
  return inventory;
}

const std::set<WORD> MainLanguages = {1029, 1031, 1033, 1036, 1040, 1041, 1045, 1049, 3082};
const std::set<WORD> ShellLanguages = {1024, 1029, 1031, 1033, 1034, 1036, 1038, 1040, 1041, 1045, 1049, 1051};

struct ExpectedResource {
  std::wstring type;
  std::wstring name;
  std::set<WORD> languages;
};
const ExpectedResource Expected[] = {
    {L"#5",  L"#102",            MainLanguages},   // RT_DIALOG: main dialog
    {L"#4",  L"#108",            MainLanguages},   // RT_MENU
    {L"#2",  L"#103",            {0}},             // RT_BITMAP: main background
    {L"#5",  L"#109",            {1041}},          // RT_DIALOG: gamepad settings
    {L"#2",  L"#111",            {1041}},          // RT_BITMAP: gamepad background
    {L"#14", L"#101",            ShellLanguages},  // RT_GROUP_ICON
    {L"#16", L"#1",              {0}},             // RT_VERSION
    {L"#24", L"#1",              {1033}},          // RT_MANIFEST
    {L"DATA", L"__GDF_XML",       ShellLanguages},
    {L"DATA", L"__GDF_THUMBNAIL", ShellLanguages},
};

TEST(ResourceInventory, EveryResourceHasExactlyItsLanguageVariants) {
  ASSERT_NE(LauncherResourceModule(), nullptr);
  Inventory inventory = LauncherInventory();
  for (const ExpectedResource& resource : Expected) {
    SCOPED_TRACE(testing::Message() << testing::PrintToString(resource.type) << " "
                                    << testing::PrintToString(resource.name));
    const auto found = inventory.find({resource.type, resource.name});
    ASSERT_NE(found, inventory.end());
    EXPECT_EQ(found->second, resource.languages);
    inventory.erase(found);
  }

  // What remains are the icons of group 101: ids 1 to 48, four in each of
  // its languages.
  std::map<WORD, int> iconsPerLanguage;
  for (int id = 1; id <= 4 * static_cast<int>(ShellLanguages.size()); ++id) {
    SCOPED_TRACE(testing::Message() << "icon " << id);
    const auto found = inventory.find({L"#3", L"#" + std::to_wstring(id)});
    ASSERT_NE(found, inventory.end());
    ASSERT_EQ(found->second.size(), 1u);
    ++iconsPerLanguage[*found->second.begin()];
    inventory.erase(found);
  }
  for (WORD language : ShellLanguages) EXPECT_EQ(iconsPerLanguage[language], 4) << language;

  // No string tables, accelerators or anything else.
  for (const auto& [key, languages] : inventory)
    ADD_FAILURE() << "unexpected resource " << testing::PrintToString(key.first) << " "
                  << testing::PrintToString(key.second);
}

}  // namespace
}  // namespace testing_support
