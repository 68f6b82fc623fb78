// Start-up, opening and saving the gamepad dialog, memory and idle CPU time
// of Launcher.exe, each beside the same figure of its floor: minimal_dialog.exe
// for the main dialog, gamepad_dialog_floor.exe for the gamepad dialog (both
// found beside this exe, Launcher.exe in the folder above, as the build puts
// them). Starts the programs in turn as a player would, gives them the
// player's commands and prints one markdown table (bench/README.md).
//
//   launcher_bench.exe [runs of each program, default 21 [seconds per idle window, default 60]]
#include <windows.h>

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "gamepad/actions.h"
#include "gamepad/gamepad_types.h"
#include "platform/unique_handle.h"
#include "resource.h"
#include "stored_config.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr DWORD WaitMilliseconds = 30000;  // for a window or a process, before giving up

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Polls until the condition holds; false when the time is up first.
template <typename Condition>
bool PollUntil(Condition condition) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(WaitMilliseconds);
  while (!condition()) {
    if (Clock::now() >= deadline) return false;
    Sleep(1);
  }
  return true;
}

// The process's dialog with this owner (none: its main dialog), shown or not.
// Asks only for windows of the dialog class, to keep each poll cheap.
HWND FindDialog(DWORD processId, HWND owner) {
  for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, L"#32770", nullptr));) {
    DWORD windowProcess = 0;
    GetWindowThreadProcessId(window, &windowProcess);
    if (windowProcess == processId && GetWindow(window, GW_OWNER) == owner) return window;
  }
  return nullptr;
}

// True once the dialog is shown and every WM_PAINT that showing it caused has
// begun: neither it nor any of its controls has an update region left. (Wine's
// server sets the visible style and the update region in one step.)
bool ShownAndPainted(HWND dialog) {
  if (!IsWindowVisible(dialog) || GetUpdateRect(dialog, nullptr, FALSE)) return false;
  for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT))
    if (GetUpdateRect(control, nullptr, FALSE)) return false;
  return true;
}

// Waits until the process shows this dialog and its thread has then answered
// a WM_NULL, so that the last WM_PAINT has returned: the dialog is visible.
// Returns it, or null when it did not appear in time. The same test serves
// every program.
HWND WaitUntilVisible(DWORD processId, HWND owner) {
  HWND dialog = nullptr;
  if (!PollUntil([&] {
        if (!dialog) dialog = FindDialog(processId, owner);
        return dialog && ShownAndPainted(dialog);
      }))
    return nullptr;
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_NORMAL, WaitMilliseconds, &ignored);
  return dialog;
}

enum ProgramIndex { LauncherExe, GamepadFloorExe, MinimalExe, ProgramCount };

struct Program {
  const wchar_t* file;    // from launcher_bench.exe's folder
  bool hasGamepadDialog;  // opened by the command IDM_GAMEPAD_SETTINGS
};

constexpr Program Programs[ProgramCount] = {
    {L"..\\Launcher.exe", true},
    {L"gamepad_dialog_floor.exe", true},
    {L"minimal_dialog.exe", false},
};

int Failures = 0;

void Fail(const Program& program, const char* what) {
  std::fprintf(stderr, "%ls: %s\n", program.file, what);
  ++Failures;
}

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L"\\/")); }

// The program's full path, without "..".
std::wstring PathOf(const Program& program) {
  wchar_t self[MAX_PATH] = {};
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  GetFullPathNameW((FolderOf(self) + L"\\" + program.file).c_str(), MAX_PATH, path, nullptr);
  return path;
}

// A key of config.ini and its value.
struct ConfigKey {
  const wchar_t* section;
  const wchar_t* key;
  const wchar_t* value;
};

// The game's own settings, which the gamepad dialog must leave as they are.
constexpr ConfigKey GameSettings[] = {
    {L"GRAPHICS", L"Width",      L"1280"},
    {L"GRAPHICS", L"Height",     L"720"},
    {L"GRAPHICS", L"Fullscreen", L"1"},
    {L"GRAPHICS", L"DirectX",    L"10"},
    {L"AUDIO",    L"Master",     L"100"},
    {L"AUDIO",    L"Music",      L"80"},
    {L"AUDIO",    L"Effects",    L"90"},
};

int EntryOf(const wchar_t* inputName) {
  return static_cast<int>(std::find(std::begin(InputNames), std::end(InputNames), std::wstring_view(inputName)) -
                          std::begin(InputNames));
}

// Each run starts with an action's type 0 default in the file, and the
// benchmark selects the list entry after it: every one of the twenty keys
// that OK writes changes, so none of the writes is skipped as needless (Wine
// leaves the file alone for a value it already holds).
int StartingEntry(int action) { return EntryOf(GamepadTypeDefaults[action].inputByType[0]); }
int ChosenEntry(int action) { return StartingEntry(action) + 1; }

// config.ini's path, its folders created; empty when there is no Documents
// folder.
std::wstring ConfigPath() {
  const std::wstring folder = ConfigFolder();
  if (folder.empty()) return {};
  CreateDirectoryW(folder.substr(0, folder.rfind(L'\\')).c_str(), nullptr);
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder + L"\\config.ini";
}

// Writes the starting config.ini, as the game and the launcher leave it: the
// game's sections beside [JOYPAD] with type 0 and its defaults, in UTF-16LE
// with a byte-order mark. False when it cannot be written.
bool ResetConfig() {
  std::wstring text = L"\xFEFF";
  const wchar_t* section = L"";
  for (const ConfigKey& setting : GameSettings) {
    if (std::wstring_view(setting.section) != section)
      text += std::wstring(text.size() > 1 ? L"\r\n[" : L"[") + (section = setting.section) + L"]\r\n";
    text += std::wstring(setting.key) + L"=" + setting.value + L"\r\n";
  }
  text += L"\r\n[JOYPAD]\r\nProductType=0\r\n";
  for (int action = 0; action < ActionCount; ++action)
    text += std::wstring(ActionControls[action].actionKey) + L"=" + StoredValue(StartingEntry(action)) + L"\r\n";

  const platform::unique_file file(
      CreateFileW(ConfigPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  const DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  DWORD written = 0;
  return file && WriteFile(file.get(), text.data(), size, &written, nullptr) && written == size;
}

// Whether config.ini holds what OK had to save: each action the entry chosen,
// the rest as it was.
bool ConfigSaved() {
  const std::wstring path = ConfigPath();
  // Read the file anew, not the profile functions' copy of it.
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());
  const auto holds = [&](const wchar_t* section, const wchar_t* key, const std::wstring& expected) {
    wchar_t value[64] = L"";
    GetPrivateProfileStringW(section, key, L"", value, std::size(value), path.c_str());
    return expected == value;
  };
  for (const ConfigKey& setting : GameSettings)
    if (!holds(setting.section, setting.key, setting.value)) return false;
  if (!holds(L"JOYPAD", L"ProductType", L"0")) return false;
  for (int action = 0; action < ActionCount; ++action)
    if (!holds(L"JOYPAD", ActionControls[action].actionKey, StoredValue(ChosenEntry(action)))) return false;
  return true;
}

// Presses Cancel (Close in a main dialog) and waits until the dialog is gone.
void Cancel(HWND dialog) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  PollUntil([&] { return !IsWindow(dialog); });
}

// A program started without arguments from its own folder, as a shortcut
// would, and ended when this goes: its main dialog closed, else killed.
struct Started {
  explicit Started(const Program& program) {
    const std::wstring path = PathOf(program);
    std::wstring commandLine = L"\"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    start = Clock::now();
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        FolderOf(path).c_str(), &startup, &info)) {
      std::fprintf(stderr, "cannot start %ls (error %lu)\n", path.c_str(), GetLastError());
      return;
    }
    CloseHandle(info.hThread);
    process.reset(info.hProcess);
    id = info.dwProcessId;
  }
  ~Started() {
    if (!process) return;
    if (mainDialog) Cancel(mainDialog);
    if (WaitForSingleObject(process.get(), WaitMilliseconds) != WAIT_OBJECT_0) {
      TerminateProcess(process.get(), 1);
      WaitForSingleObject(process.get(), INFINITE);
    }
  }

  platform::unique_handle process;
  DWORD id = 0;
  Clock::time_point start;
  HWND mainDialog = nullptr;  // once visible
};

// Waits until the process shows its main dialog. WaitForInputIdle first
// blocks, without polling, until the process's thread first looks for input
// (here: in the dialog's modal loop, just before it shows the dialog), so
// that polling does not compete with the start-up for the processor.
HWND WaitForMainDialog(Started& started) {
  if (!started.process) return nullptr;
  WaitForInputIdle(started.process.get(), WaitMilliseconds);
  return started.mainDialog = WaitUntilVisible(started.id, nullptr);
}

// Sends the player's Settings > Gamepad Settings to the main dialog; returns
// the gamepad dialog once visible, or null.
HWND OpenGamepadDialog(const Started& started) {
  PostMessageW(started.mainDialog, WM_COMMAND, MAKEWPARAM(IDM_GAMEPAD_SETTINGS, 0), 0);
  return WaitUntilVisible(started.id, started.mainDialog);
}

// User and kernel time of another process, in milliseconds. Through the
// system's process list: Wine 8's GetProcessTimes gives the caller's own
// times for any process handle, while its process list reads each process's
// times from /proc.
double CpuMilliseconds(DWORD processId) {
  constexpr auto InfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);
  std::vector<unsigned char> buffer(256 * 1024);
  ULONG needed = 0;
  NTSTATUS status;
  while ((status = NtQuerySystemInformation(SystemProcessInformation, buffer.data(),
                                            static_cast<ULONG>(buffer.size()), &needed)) == InfoLengthMismatch)
    buffer.resize(std::max<size_t>(buffer.size() * 2, needed));
  for (size_t offset = 0; status >= 0;) {
    const auto* entry = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer.data() + offset);
    if (HandleToULong(entry->UniqueProcessId) == processId)
      return static_cast<double>(entry->UserTime.QuadPart + entry->KernelTime.QuadPart) / 10000.0;
    if (entry->NextEntryOffset == 0) break;
    offset += entry->NextEntryOffset;
  }
  return 0;
}

using Samples = std::vector<double>;

double Median(Samples samples) {
  std::sort(samples.begin(), samples.end());
  const size_t middle = samples.size() / 2;
  return samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}

// Peak working set and pagefile usage in MiB. Under Wine 8 PeakWorkingSetSize
// is the process's VmHWM, and PeakPagefileUsage its RssAnon plus VmSwap at the
// time of asking, not a peak.
void RecordMemory(const Started& started, Samples& workingSet, Samples& pagefile) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  GetProcessMemoryInfo(started.process.get(), &counters, sizeof(counters));
  workingSet.push_back(static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0));
  pagefile.push_back(static_cast<double>(counters.PeakPagefileUsage) / (1024.0 * 1024.0));
}

struct Figures {
  Samples startup;            // process start to main dialog visible, ms
  Samples firstOpening;       // command to gamepad dialog visible, ms
  Samples secondOpening;      // the same again in the same process
  Samples save;               // OK posted to gamepad dialog gone, config.ini saved, ms
  Samples mainWorkingSet;     // PeakWorkingSetSize, MiB, main dialog visible
  Samples mainPagefile;       // PeakPagefileUsage, MiB, main dialog visible
  Samples gamepadWorkingSet;  // the same with the gamepad dialog open the first time
  Samples gamepadPagefile;
  Samples mainIdleCpu;        // ms of CPU time per minute, main dialog open
  Samples gamepadIdleCpu;     // the same, gamepad dialog open
};

// Selects the chosen entry in every action list, as a player's choice leaves
// it, and presses OK as a click does; times until the dialog is gone (no
// longer a window). Counts the time only when config.ini then holds the
// choices, so that a save that failed or wrote nothing cannot look fast.
void MeasureSave(const Program& program, HWND dialog, Samples& save) {
  for (int action = 0; action < ActionCount; ++action)
    SendDlgItemMessageW(dialog, ActionControls[action].controlId, CB_SETCURSEL,
                        static_cast<WPARAM>(ChosenEntry(action)), 0);
  const HWND ok = GetDlgItem(dialog, IDOK);
  // The dialog's thread idle before OK.
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_NORMAL, WaitMilliseconds, &ignored);
  const auto okPosted = Clock::now();
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
  if (!PollUntil([&] { return !IsWindow(dialog); })) return Fail(program, "the gamepad dialog stayed open after OK");
  const double milliseconds = MillisecondsSince(okPosted);
  if (!ConfigSaved()) return Fail(program, "OK did not save config.ini");
  save.push_back(milliseconds);
}

// Opens the gamepad dialog twice, timing each opening; closes it with Cancel
// the first time and with OK, timed, the second.
void MeasureGamepadDialog(const Program& program, const Started& started, Figures& figures) {
  for (Samples* opening : {&figures.firstOpening, &figures.secondOpening}) {
    const auto commandSent = Clock::now();
    const HWND dialog = OpenGamepadDialog(started);
    if (!dialog) return Fail(program, "no gamepad dialog");
    opening->push_back(MillisecondsSince(commandSent));
    if (opening == &figures.secondOpening) return MeasureSave(program, dialog, figures.save);
    RecordMemory(started, figures.gamepadWorkingSet, figures.gamepadPagefile);
    Cancel(dialog);
  }
}

// One run: config.ini as it starts, the program started, main dialog
// visible, the gamepad dialog (where there is one) opened and closed twice,
// main dialog closed.
void MeasureRun(const Program& program, Figures& figures) {
  if (program.hasGamepadDialog && !ResetConfig()) return Fail(program, "cannot write config.ini");
  Started started(program);
  if (!WaitForMainDialog(started)) return Fail(program, "no main dialog");
  figures.startup.push_back(MillisecondsSince(started.start));
  RecordMemory(started, figures.mainWorkingSet, figures.mainPagefile);
  if (program.hasGamepadDialog) MeasureGamepadDialog(program, started, figures);
}

// The CPU time of a fresh process over an idle window of this many seconds,
// with its main dialog open or its gamepad dialog too; scaled to a minute.
void MeasureIdle(const Program& program, bool gamepadDialog, int seconds, Samples& cpuPerMinute) {
  Started started(program);
  const HWND mainDialog = WaitForMainDialog(started);
  const HWND dialog = mainDialog && gamepadDialog ? OpenGamepadDialog(started) : mainDialog;
  if (!dialog) return Fail(program, "no dialog to idle in");
  const double cpuBefore = CpuMilliseconds(started.id);
  const auto windowStart = Clock::now();
  Sleep(static_cast<DWORD>(seconds) * 1000);
  const double cpu = CpuMilliseconds(started.id) - cpuBefore;
  cpuPerMinute.push_back(cpu / (MillisecondsSince(windowStart) / 60000.0));
  if (dialog != mainDialog) Cancel(dialog);
}

// Each row of the table: a figure of the launcher and the floor it stands
// beside.
struct Row {
  const char* name;
  Samples Figures::*samples;
  ProgramIndex floor;
};

constexpr Row Rows[] = {
    {"Start-up: process start to main dialog visible, ms", &Figures::startup, MinimalExe},
    {"Gamepad dialog: command to dialog visible, first time, ms", &Figures::firstOpening, GamepadFloorExe},
    {"Gamepad dialog: command to dialog visible, again, ms", &Figures::secondOpening, GamepadFloorExe},
    {"Gamepad dialog: OK to dialog gone, 20 keys saved, ms", &Figures::save, GamepadFloorExe},
    {"PeakWorkingSetSize, main dialog visible, MiB", &Figures::mainWorkingSet, MinimalExe},
    {"PeakWorkingSetSize, gamepad dialog open, MiB", &Figures::gamepadWorkingSet, GamepadFloorExe},
    {"PeakPagefileUsage, main dialog visible, MiB", &Figures::mainPagefile, MinimalExe},
    {"PeakPagefileUsage, gamepad dialog open, MiB", &Figures::gamepadPagefile, GamepadFloorExe},
    {"Idle CPU time, main dialog open, ms per minute", &Figures::mainIdleCpu, MinimalExe},
    {"Idle CPU time, gamepad dialog open, ms per minute", &Figures::gamepadIdleCpu, GamepadFloorExe},
};

// The median, and the range where there are several values.
std::string Describe(const Samples& samples) {
  if (samples.empty()) return "n/a";
  const auto [low, high] = std::minmax_element(samples.begin(), samples.end());
  char text[64];
  if (samples.size() == 1)
    std::snprintf(text, sizeof(text), "%.1f", *low);
  else
    std::snprintf(text, sizeof(text), "%.1f (%.1f-%.1f)", Median(samples), *low, *high);
  return text;
}

// The last two cells of a row: the launcher's median above the floor's, and
// that as a share of the floor's median ("-" for a floor of 0).
std::string AboveFloorCells(const Samples& launcher, const Samples& floor) {
  if (launcher.empty() || floor.empty()) return "n/a | n/a";
  const double above = Median(launcher) - Median(floor);
  char text[48];
  if (Median(floor) > 0)
    std::snprintf(text, sizeof(text), "%+.1f | %+.0f %%", above, 100.0 * above / Median(floor));
  else
    std::snprintf(text, sizeof(text), "%+.1f | -", above);
  return text;
}

void PrintTable(const Figures (&figures)[ProgramCount], int runs, int idleSeconds) {
  std::printf("Medians (min-max) of %d runs of each program in turn, after one unmeasured run of each;\n"
              "idle CPU time: one %d s window per row in a fresh process, scaled to a minute.\n\n",
              runs, idleSeconds);
  std::printf("| Figure | Launcher.exe | floor | floor's figure | Launcher - floor | share of the floor |\n");
  std::printf("|---|---|---|---|---|---|\n");
  for (const Row& row : Rows) {
    const Samples& launcher = figures[LauncherExe].*row.samples;
    const Samples& floor = figures[row.floor].*row.samples;
    std::printf("| %s | %s | %ls | %s | %s |\n", row.name, Describe(launcher).c_str(), Programs[row.floor].file,
                Describe(floor).c_str(), AboveFloorCells(launcher, floor).c_str());
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 21;
  const int idleSeconds = argc > 2 ? std::max(1, _wtoi(argv[2])) : 60;

  // One run of each first, so that none pays for loading Wine's files into
  // the page cache; then the programs in turn, so that a change in the
  // machine's load falls on all of them alike.
  Figures figures[ProgramCount];
  Figures discarded[ProgramCount];
  for (int index = 0; index < ProgramCount; ++index) MeasureRun(Programs[index], discarded[index]);
  for (int run = 0; run < runs; ++run)
    for (int index = 0; index < ProgramCount; ++index) MeasureRun(Programs[index], figures[index]);

  // Idle windows: the launcher's main dialog and its floor, then its gamepad
  // dialog and that floor.
  for (const ProgramIndex index : {LauncherExe, MinimalExe})
    MeasureIdle(Programs[index], false, idleSeconds, figures[index].mainIdleCpu);
  for (const ProgramIndex index : {LauncherExe, GamepadFloorExe})
    MeasureIdle(Programs[index], true, idleSeconds, figures[index].gamepadIdleCpu);

  PrintTable(figures, runs, idleSeconds);
  if (Failures) std::fprintf(stderr, "%d measurements failed\n", Failures);
  return Failures ? 1 : 0;
}
