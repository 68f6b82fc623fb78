#include "ui/localised_texts.h"

// The Russian OK is Cyrillic (U+041E U+041A), unlike the Latin one of the
// others; only the Japanese type names set the number between blanks.
const LocalisedTextSet LocalisedTexts[LanguageCount] = {
    {L"パッド設定", L"OK", L"キャンセル",
     {L"パッドタイプ - 1 -", L"パッドタイプ - 2 -", L"パッドタイプ - 3 -",
      L"パッドタイプ - 4 -", L"パッドタイプ - 5 -", L"パッドタイプ - 6 -"}},
    {L"Gamepad Settings", L"OK", L"CANCEL",
     {L"Gamepad Type -1-", L"Gamepad Type -2-", L"Gamepad Type -3-",
      L"Gamepad Type -4-", L"Gamepad Type -5-", L"Gamepad Type -6-"}},
    {L"Gamepad-Einstellungen", L"OK", L"ABBRECHEN",
     {L"Gamepad-Typ -1-", L"Gamepad-Typ -2-", L"Gamepad-Typ -3-",
      L"Gamepad-Typ -4-", L"Gamepad-Typ -5-", L"Gamepad-Typ -6-"}},
    {L"Configuration manette", L"OK", L"ANNULER",
     {L"Type de manette -1-", L"Type de manette -2-", L"Type de manette -3-",
      L"Type de manette -4-", L"Type de manette -5-", L"Type de manette -6-"}},
    {L"Ajustes Mando", L"ACEPTAR", L"CANCELAR",
     {L"Tipo de mando -1-", L"Tipo de mando -2-", L"Tipo de mando -3-",
      L"Tipo de mando -4-", L"Tipo de mando -5-", L"Tipo de mando -6-"}},
    {L"Impostazioni del gamepad", L"OK", L"ANNULLA",
     {L"Tipo di gamepad -1-", L"Tipo di gamepad -2-", L"Tipo di gamepad -3-",
      L"Tipo di gamepad -4-", L"Tipo di gamepad -5-", L"Tipo di gamepad -6-"}},
    {L"Настройки геймпада", L"ОК", L"ОТМЕНА",
     {L"Тип геймпада -1-", L"Тип геймпада -2-", L"Тип геймпада -3-",
      L"Тип геймпада -4-", L"Тип геймпада -5-", L"Тип геймпада -6-"}},
    {L"Gamepad", L"OK", L"ANULUJ",
     {L"Gamepad typu -1-", L"Gamepad typu -2-", L"Gamepad typu -3-",
      L"Gamepad typu -4-", L"Gamepad typu -5-", L"Gamepad typu -6-"}},
    {L"Nastavení ovladače", L"OK", L"Zrušit",
     {L"Ovladač -1-", L"Ovladač -2-", L"Ovladač -3-",
      L"Ovladač -4-", L"Ovladač -5-", L"Ovladač -6-"}},
};
