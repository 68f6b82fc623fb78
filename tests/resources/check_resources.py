#!/usr/bin/python3
"""The resources and imports of the shipped Launcher.exe, read from the file itself.
check_resources.py <shipped exe> [<exe the tests run under Wine, which must carry the very same resources>]"""
import struct
import sys
import unittest
import xml.etree.ElementTree as ElementTree

import pefile

DIALOG, MENU, BITMAP, ICON, GROUP_ICON, VERSION, MANIFEST = 5, 4, 2, 3, 14, 16, 24
MAIN_LANGUAGES = {1029, 1031, 1033, 1036, 1040, 1041, 1045, 1049, 3082}
SHELL_LANGUAGES = {1024, 1029, 1031, 1033, 1034, 1036, 1038, 1040, 1041, 1045, 1049, 1051}
BUTTON, STATIC, COMBO_BOX = 0x80, 0x82, 0x85
# What the launcher may import, reviewed by hand: what Windows XP SP3 (32-bit) exports of it. Microsoft documents each
# Win32 function here from 2000 or XP on (InitCommonControls from Vista, yet covering XP's comctl32.dll 5 and 6); XP's
# msvcrt.dll (7.0) has each C one. Runtimes are linked in; DirectInput and the shell are loaded when first needed.
XP_EXPORTS = {
    "advapi32.dll": "RegCloseKey RegCreateKeyExW RegOpenKeyExW RegQueryValueExW RegSetValueExW",
    "comctl32.dll": "InitCommonControls",
    "gdi32.dll": "BitBlt CreateCompatibleDC CreateDIBSection DeleteDC DeleteObject GetDeviceCaps GetObjectW SelectObject SetBrushOrgEx SetStretchBltMode StretchBlt",
    "kernel32.dll": "CloseHandle CopyFileW CreateDirectoryW CreateFileW CreateMutexW CreateSemaphoreW DeleteCriticalSection DeleteFileW EnterCriticalSection ExpandEnvironmentStringsW FlushFileBuffers FormatMessageW FreeLibrary GetCommandLineW GetCurrentThreadId GetFileAttributesW GetLastError GetModuleFileNameW GetModuleHandleA GetModuleHandleW GetPrivateProfileIntW GetPrivateProfileStringW GetProcAddress GetStartupInfoA GetUserDefaultUILanguage GetVersionExW InitializeCriticalSection IsDBCSLeadByteEx LeaveCriticalSection LoadLibraryA LoadLibraryW LocalFree lstrcpynW MoveFileExW MultiByteToWideChar ReadFile ReleaseSemaphore SetCurrentDirectoryW SetFileAttributesW SetLastError SetUnhandledExceptionFilter Sleep TlsAlloc TlsFree TlsGetValue TlsSetValue VirtualProtect VirtualQuery WaitForSingleObject WideCharToMultiByte WriteFile WritePrivateProfileStringW",
    "msvcrt.dll": "__getmainargs __initenv __mb_cur_max __p__acmdln __p__commode __p__fmode __set_app_type __setusermatherr _amsg_exit _cexit _close _errno _initterm _iob _onexit _read abort atoi calloc exit fprintf fputc fputs fputwc free fwprintf fwrite localeconv malloc memchr memcmp memcpy memmove memset realloc setlocale signal strchr strcmp strerror strlen strncmp vfprintf wcscmp wcslen",
    "user32.dll": "BeginPaint CheckMenuRadioItem DialogBoxParamW EnableWindow EndDialog EndPaint GetClientRect GetDC GetDlgItem GetFocus GetMenu GetWindowRect GetWindowTextW KillTimer LoadImageW MessageBoxW PostMessageW RegisterDeviceNotificationW ReleaseDC SendDlgItemMessageW SendMessageW SetFocus SetTimer SetWindowPos SetWindowTextW UnregisterDeviceNotification wsprintfW",
}


def read_exe(path):
    """({(type, name, language): bytes}, ids as numbers, names as text; {DLL: [function or #ordinal]}; versions)."""
    exe, found = pefile.PE(path), {}
    for kind in exe.DIRECTORY_ENTRY_RESOURCE.entries:
        for name in kind.directory.entries:
            for language in name.directory.entries:
                key = tuple(str(entry.name) if entry.name else entry.id for entry in (kind, name, language))
                found[key] = exe.get_data(language.data.struct.OffsetToData, language.data.struct.Size)
    imports = {i.dll.decode().lower(): [f.name.decode() if f.name else f"#{f.ordinal}" for f in i.imports]
               for i in exe.DIRECTORY_ENTRY_IMPORT}
    h = exe.OPTIONAL_HEADER  # the versions of Windows it asks for
    return found, imports, (h.MajorOperatingSystemVersion, h.MinorOperatingSystemVersion, h.MajorSubsystemVersion,
                            h.MinorSubsystemVersion)


def text_at(data, at):
    """(the name or ordinal of a template at this offset, the offset after it)."""
    if data[at:at + 2] == b"\xff\xff":
        return struct.unpack_from("<H", data, at + 2)[0], at + 4
    end = next(i for i in range(at, len(data), 2) if data[i:i + 2] == b"\0\0")
    return data[at:end].decode("utf-16-le"), end + 2


def parse_dialog(data):
    """((style, width, height, menu, class, title, font), [(id, class, style, x, y, cx, cy, text), ...])."""
    version, signature, _, ex_style, style, count, _, _, cx, cy = struct.unpack_from("<HHIIIHhhhh", data)
    assert (version, signature, ex_style) == (1, 0xFFFF, 0), "not an extended dialog template"
    menu, at = text_at(data, 26)
    window_class, at = text_at(data, at)
    title, at = text_at(data, at)
    typeface, end = text_at(data, at + 6)
    header, at = (style, cx, cy, menu, window_class, title, struct.unpack_from("<HHBB", data, at) + (typeface,)), end
    controls = []
    for _ in range(count):
        at = (at + 3) & ~3
        _, _, control_style, x, y, width, height, control_id = struct.unpack_from("<IIIhhhhi", data, at)
        control_class, at = text_at(data, at + 24)
        text, at = text_at(data, at)
        at += 2 + struct.unpack_from("<H", data, at)[0]
        controls.append((control_id, control_class, control_style, x, y, width, height, text))
    return header, controls


def parse_menu(data, at=4):
    """The items of a standard menu template, (flags, id, text, items), and the offset after them."""
    found = []
    while not found or not found[-1][0] & 0x80:  # MF_END
        flags, = struct.unpack_from("<H", data, at)
        item_id, at = (None, at + 2) if flags & 0x10 else (struct.unpack_from("<H", data, at + 2)[0], at + 4)
        text, at = text_at(data, at)
        items, at = parse_menu(data, at) if flags & 0x10 else ([], at)
        found.append((flags, item_id, text, items))
    return found, at


# Per variant: title | run DirectX 9 (DirectX 10 alike, with "10") | Close | Language and Settings pop-ups | item 40011.
MAIN_TEXTS = {
    1029: "VARKOLD LAUNCHER|Spustit VARKOLD\nve verzi DirectX9|Zavřít|Jazyk|Nastavení|Nastavení ovladače",
    1031: "VARKOLD STARTPROGRAMM|VARKOLD\nDirectX9 Version starten|Schließen|Sprache|Einstellungen|"
          "Gamepad-Einstellungen",
    1033: "VARKOLD LAUNCHER|Run VARKOLD\n DirectX9 Version|Close|Language|Settings|Gamepad Settings",
    1036: "LANCEUR VARKOLD|Lancer VARKOLD\n DirectX9 Version|Fermer|Langue|Configuration|Configuration manette",
    1040: "AVVIO DI VARKOLD|Avvia VARKOLD\nVersione DirectX9|Chiudi|Lingua|Impostazioni|Impostazioni del gamepad",
    1041: "VARKOLD ランチャー|VARKOLD\nDirectX9 Version 起動|終了|言語|設定|パッド設定",
    1045: "VARKOLD - PROGRAM URUCHAMIAJĄCY|Uruchom VARKOLD\nWersja DirectX9|Zamknij|Język|Ustawienia|Gamepad",
    1049: "ЗАПУСК VARKOLD|Запустить VARKOLD\nВерсия DirectX9|Закрыть|Язык|Настройки|Настройки геймпада",
    3082: "LANZADOR VARKOLD|Lanzar VARKOLD\nVersión DirectX9|Cerrar|Idioma|Ajustes|Ajustes Mando",
}
LANGUAGES = ["日本語", "English", "Deutsch", "Français", "Español", "Italiano", "Русский", "Polski", "Česky"]
FONT = (8, 400, 0, 1, "MS Shell Dlg")


class Resources(unittest.TestCase):
    def test_every_resource_has_exactly_its_language_variants(self):
        inventory = {}
        for kind, name, language in RESOURCES:
            inventory.setdefault((kind, name), set()).add(language)
        icons = sorted(language for n in range(1, 49) for language in inventory.pop((ICON, n), {0}))
        self.assertEqual(icons, sorted(list(SHELL_LANGUAGES) * 4), "four icons for each variant of group 101")
        self.assertEqual(inventory, {
            (DIALOG, 102): MAIN_LANGUAGES, (MENU, 108): MAIN_LANGUAGES, (BITMAP, 103): {0}, (DIALOG, 109): {1041},
            (BITMAP, 111): {1041}, (GROUP_ICON, 101): SHELL_LANGUAGES, (VERSION, 1): {0}, (MANIFEST, 1): {1033},
            ("DATA", "__GDF_XML"): SHELL_LANGUAGES, ("DATA", "__GDF_THUMBNAIL"): SHELL_LANGUAGES})
        self.assertTrue(read_exe(sys.argv[-1])[0] == RESOURCES, "the tested exe carries other resources")

    def test_both_dialogs_and_the_menu_in_every_language_with_their_quirks(self):
        # The gamepad dialog lays its controls out itself, in pixels: what counts is their ids, kinds and texts.
        header, controls = parse_dialog(RESOURCES[DIALOG, 109, 1041])
        self.assertEqual(header, (0x80C800C8, 333, 191, "", "", "Dialog", FONT))
        self.assertEqual([c[:3] + c[-1:] for c in controls], [(1004 + i, COMBO_BOX, 0x50210003, "") for i in range(21)]
                         + [(1, BUTTON, 0x50010001, "OK"), (2, BUTTON, 0x50010000, "キャンセル")])
        for language, texts in MAIN_TEXTS.items():
            title, run9, close, language_menu, settings, gamepad = texts.split("|")
            header, controls = parse_dialog(RESOURCES[DIALOG, 102, language])
            # The English variant alone is not centred, and 193 units tall.
            style, height = (0x80C800C8, 193) if language == 1033 else (0x80C808C8, 191)
            self.assertEqual(header, (style, 333, height, 108, "", title, FONT), language)
            self.assertEqual(controls, [(-1, STATIC, 0x5000080E, 0, 0, 333, 192, 103),
                                        (1001, BUTTON, 0x50012000, 220, 36, 102, 28, run9),
                                        (1002, BUTTON, 0x50012000, 220, 83, 102, 28, run9.replace("9", "10")),
                                        (2, BUTTON, 0x50010000, 220, 125, 102, 28, close)], language)
            items = [(0x80 if i == 8 else 0, 40001 + i, name, []) for i, name in enumerate(LANGUAGES)]
            self.assertEqual(parse_menu(RESOURCES[MENU, 108, language])[0],
                             [(0x10, None, language_menu, items), (0x90, None, settings, [(0x80, 40011, gamepad, [])])])

    def test_bitmaps_and_the_glyph_left_of_each_gamepad_list(self):
        for data in RESOURCES[BITMAP, 103, 0], RESOURCES[BITMAP, 111, 1041]:
            header = struct.unpack_from("<IiiHHIIiiII", data)
            self.assertEqual((header, len(data)), ((40, 499, 312, 1, 32, 0, 622752, 3779, 3779, 0, 0), 40 + 622752))
            self.assertFalse(any(data[43::4]), "a fourth pixel byte is not 0")

        def luminance(x, y):  # bottom-up rows of blue, green, red, 0
            b, g, r = data[40 + ((311 - y) * 499 + x) * 4:][:3]
            return 0.299 * r + 0.587 * g + 0.114 * b

        for top, left in ((20 + 24 * row, left) for row in range(10) for left in (94, 343)):
            ground = luminance(left + 49, top + 10)
            glyph = [luminance(x, y) for y in range(top, top + 20) for x in range(left - 24, left - 2)]
            self.assertGreater(sum(abs(v - ground) > 40 for v in glyph), 100, f"no glyph left of the list at {top}")
            under = [luminance(x, y) for y in range(top, top + 20) for x in range(left, left + 98)]
            self.assertLess(max(under) - min(under), 30, f"a glyph reaches under the list at {left}, {top}")

    def test_icon_group_holds_a_256_png_and_three_dibs_alike_in_every_language(self):
        images = set()
        for language in SHELL_LANGUAGES:
            group = RESOURCES[GROUP_ICON, 101, language]
            self.assertEqual(struct.unpack_from("<HHH", group), (0, 1, 4))
            for index, size in enumerate((256, 48, 32, 16)):
                entry = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * index)
                image = RESOURCES[ICON, entry[7], language]
                header = image[:8] if size == 256 else struct.unpack_from("<IiiHH", image)  # a PNG, else a DIB
                self.assertEqual((entry[:6], len(image), header), ((size % 256, size % 256, 0, 0, 1, 32), entry[6],
                                 b"\x89PNG\r\n\x1a\n" if size == 256 else (40, size, 2 * size, 1, 32)))
                images.add((index, image))
        self.assertEqual(len(images), 4, "the variants differ")

    def test_version_information(self):
        data = RESOURCES[VERSION, 1, 0]
        fixed = data.index(struct.pack("<I", 0xFEEF04BD))
        self.assertEqual(struct.unpack_from("<12I", data, fixed + 4),
                         (0x10000, 0x10000, 129, 0x10000, 129, 0x17, 0, 4, 1, 0, 0, 0))
        # One string table, these keys in order, each ended by a NUL; the legal notice, product data, may say anything.
        pairs = ["StringFileInfo", "000004b0", "CompanyName", "MORVANE CO., LTD.", "FileDescription", "Launcher",
                 "FileVersion", "1, 0, 0, 129", "LegalCopyright", "[^\0]+", "ProductName", "VARKOLD",
                 "ProductVersion", "1, 0, 0, 129", "VarFileInfo"]
        self.assertRegex(data.decode("utf-16-le", "replace"), "\0[\\s\\S]{0,8}?".join(pairs) + "\0")
        self.assertEqual(data[-4:], b"\0\0\xb0\x04", "translation: neutral language, Unicode")

    def test_manifest_asks_for_visual_styles_and_no_elevation(self):
        v1, v2 = "{urn:schemas-microsoft-com:asm.v1}", "{urn:schemas-microsoft-com:asm.v2}"
        assembly = ElementTree.fromstring(RESOURCES[MANIFEST, 1, 1033])
        self.assertEqual((assembly.tag, assembly.get("manifestVersion")), (v1 + "assembly", "1.0"))
        self.assertEqual(assembly.find(f"{v1}dependency/{v1}dependentAssembly/{v1}assemblyIdentity").attrib,
                         {"type": "win32", "name": "Microsoft.Windows.Common-Controls", "version": "6.0.0.0",
                          "processorArchitecture": "*", "publicKeyToken": "6595b64144ccf1df", "language": "*"})
        level = assembly.find(f"{v2}trustInfo/{v2}security/{v2}requestedPrivileges/{v2}requestedExecutionLevel")
        self.assertEqual((level.get("level"), level.get("uiAccess", "false")), ("asInvoker", "false"))

    def test_games_folder_definition(self):
        for name in ("__GDF_XML", "__GDF_THUMBNAIL"):
            self.assertEqual(len({RESOURCES["DATA", name, language] for language in SHELL_LANGUAGES}), 1, name)
        thumbnail, data = RESOURCES["DATA", "__GDF_THUMBNAIL", 1033], RESOURCES["DATA", "__GDF_XML", 1033]
        self.assertEqual((thumbnail[:16], struct.unpack_from(">IIBB", thumbnail, 16)),
                         (b"\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", (256, 256, 8, 6)))
        text = data.decode("utf-16")
        self.assertEqual((data[:2], text.count("\n")), (b"\xff\xfe", text.count("\r\n")))
        self.assertTrue(text.startswith('<?xml version="1.0" encoding="utf-16"?>\r\n'))
        # The product data (game id, date, ratings, maker) is the maker's to supply; the rest is the game's.
        ns = "{urn:schemas-microsoft-com:GameDescription.v1}"
        game, = ElementTree.fromstring(data)
        executables = [e.get("path") for e in game.find(ns + "GameExecutables")]
        version = game.find(f"{ns}Version/{ns}VersionNumber").get("versionNumber")
        self.assertEqual((game.tag, game.find(ns + "Name").text, version, executables),
                         (ns + "GameDefinition", "VARKOLD", "1.0.0.129", ["VKDDX9.EXE", "VKDDX10.EXE", "Launcher.exe"]))
        task, = game.find(f"{ns}ExtendedProperties/{ns}GameTasks/{ns}Play/{ns}Primary")
        self.assertEqual((task.tag, task.get("path"), task.get("arguments")), (ns + "FileTask", "Launcher.exe", ""))

    def test_imports_only_what_windows_xp_sp3_exports_and_asks_for_no_later_windows(self):
        # Else XP's loader refuses the exe before any of its code runs; Wine exports everything, so only this shows it.
        self.assertIn("CreateMutexW", IMPORTS["kernel32.dll"])
        self.assertFalse({dll: n for dll, names in IMPORTS.items() if (n := sorted(set(names) - set(XP_EXPORTS.get(dll,
                         "").split())))}, "imported, yet not on the reviewed list of what XP exports")
        self.assertLessEqual(max(VERSIONS[:2], VERSIONS[2:]), (5, 1), "OS or subsystem version in the PE header")


if __name__ == "__main__":
    RESOURCES, IMPORTS, VERSIONS = read_exe(sys.argv[1])
    unittest.main(argv=sys.argv[:1])
