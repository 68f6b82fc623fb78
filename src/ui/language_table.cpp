#include "ui/language_table.h"

namespace {

constexpr int LcidOf(const wchar_t* text) {
  int value = 0;
  for (; *text; ++text) value = value * 10 + (*text - L'0');
  return value;
}

constexpr bool RecordIsConsistent(const LanguageRecord& record, int index) {
  int length = 0;
  while (record.LcidText[length]) ++length;
  return length == 4 && record.DataSize == (length + 1) * sizeof(wchar_t) &&
         record.MenuCommand == static_cast<UINT>(IDM_LANGUAGE_JAPANESE + index) &&
         PRIMARYLANGID(LcidOf(record.LcidText)) == record.PrimaryLanguage;
}

constexpr bool TableIsConsistent() {
  int index = 0;
  for (const LanguageRecord& record : LanguageTable)
    if (!RecordIsConsistent(record, index++)) return false;
  return true;
}

// The menu commands run IDM_LANGUAGE_JAPANESE..IDM_LANGUAGE_CZECH in table
// order, and each stored number belongs to the display language the record
// stands for.
static_assert(TableIsConsistent());

}  // namespace

LanguageIndex LanguageIndexOfDisplayLanguage(LANGID displayLanguage) {
  for (const LanguageRecord& record : LanguageTable)
    if (record.PrimaryLanguage == PRIMARYLANGID(displayLanguage))
      return static_cast<LanguageIndex>(&record - LanguageTable);
  return LanguageEnglish;
}

LanguageIndex UiLanguageIndex() { return LanguageIndexOfDisplayLanguage(GetUserDefaultUILanguage()); }
