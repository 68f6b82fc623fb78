// Start-up, opening the second dialog, idle cost and memory of Launcher.exe
// beside two floors: gamepad_dialog_floor.exe, the least a program can do to
// open the launcher's gamepad dialog as the launcher must (template, layout,
// list entries, background), and minimal_dialog.exe, the least a program can
// do to show a dialog of the same size, font and picture. Starts the programs
// as a player would, in turn, drives them with the commands a player gives
// (IDM_GAMEPAD_SETTINGS opens the second dialog, Cancel and Close end them) and prints
// markdown tables.
//
//   launcher_bench.exe --launcher EXE --gamepad-floor EXE --minimal EXE
//                      [--runs N] [--idle-seconds S]
//                      [--controller-launcher EXE --controller-env NAME=VALUE ...]
//                      [--wineserver-pid PID]
//
// A dialog counts as visible when it is IsWindowVisible, neither it nor any
// of its child windows has an update region left (every WM_PAINT that
// showing it caused has begun) and its thread has then answered a WM_NULL (so
// the last WM_PAINT has returned). The same test serves every program.
#include <windows.h>

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "platform/unique_handle.h"
#include "resource.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds WindowWait{30000};

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Polls until the condition holds; false when the time is up first.
template <typename Condition>
bool PollUntil(Condition condition, milliseconds limit = WindowWait) {
  const auto deadline = Clock::now() + limit;
  while (!condition()) {
    if (Clock::now() >= deadline) return false;
    Sleep(1);
  }
  return true;
}

// --- Windows of the measured process --------------------------------------

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

BOOL CALLBACK FindUnpaintedChild(HWND child, LPARAM param) {
  if (!GetUpdateRect(child, nullptr, FALSE)) return TRUE;
  *reinterpret_cast<bool*>(param) = false;
  return FALSE;
}

bool ShownAndPainted(HWND window) {
  if (!IsWindowVisible(window) || GetUpdateRect(window, nullptr, FALSE)) return false;
  bool painted = true;
  EnumChildWindows(window, FindUnpaintedChild, reinterpret_cast<LPARAM>(&painted));
  return painted;
}

// Waits until the process shows this dialog (see the top of the file);
// returns it, or null when it did not appear in time.
HWND WaitUntilVisible(DWORD processId, HWND owner, milliseconds limit = WindowWait) {
  HWND dialog = nullptr;
  const bool shown = PollUntil(
      [&] {
        if (!dialog) dialog = FindDialog(processId, owner);
        return dialog && ShownAndPainted(dialog);
      },
      limit);
  if (!shown) return nullptr;
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(limit.count()), &ignored);
  return dialog;
}

// --- The measured process --------------------------------------------------

struct Program {
  const wchar_t* label;
  std::wstring exe;
  std::vector<std::wstring> environment;  // NAME=VALUE set for this program only
};

struct Started {
  platform::unique_handle process;
  DWORD id = 0;
  Clock::time_point start;
};

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

// Starts the program from its own folder, as a shortcut would.
Started Start(const Program& program) {
  std::vector<std::pair<std::wstring, std::wstring>> saved;
  for (const std::wstring& setting : program.environment) {
    const size_t equals = setting.find(L'=');
    const std::wstring name = setting.substr(0, equals);
    wchar_t old[4096] = {};
    saved.emplace_back(name, GetEnvironmentVariableW(name.c_str(), old, 4096) ? old : L"");
    SetEnvironmentVariableW(name.c_str(), setting.substr(equals + 1).c_str());
  }
  std::wstring commandLine = L"\"" + program.exe + L"\"";
  const std::wstring folder = FolderOf(program.exe);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  Started started;
  started.start = Clock::now();
  if (CreateProcessW(program.exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                     &startup, &info)) {
    CloseHandle(info.hThread);
    started.process.reset(info.hProcess);
    started.id = info.dwProcessId;
  }
  for (const auto& [name, value] : saved)
    SetEnvironmentVariableW(name.c_str(), value.empty() ? nullptr : value.c_str());
  return started;
}

// Waits until the process shows its main dialog. WaitForInputIdle first
// blocks, without polling, until the process's thread first looks for input
// (here: in the dialog's modal loop, just before it shows the dialog), so
// that polling does not compete with the start-up for the processor.
HWND WaitForMainDialog(const Started& started) {
  WaitForInputIdle(started.process.get(), static_cast<DWORD>(WindowWait.count()));
  return WaitUntilVisible(started.id, nullptr);
}

// Presses Cancel (id 2) in the dialog and waits until it is gone.
bool Cancel(HWND dialog) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  return PollUntil([&] { return !IsWindow(dialog); });
}

// Closes the main dialog and waits for the process to end; kills it should
// it not end.
void Finish(Started& started, HWND mainDialog) {
  if (mainDialog) Cancel(mainDialog);
  if (WaitForSingleObject(started.process.get(), static_cast<DWORD>(WindowWait.count())) != WAIT_OBJECT_0) {
    TerminateProcess(started.process.get(), 1);
    WaitForSingleObject(started.process.get(), INFINITE);
  }
}

// The leading fields of SYSTEM_PROCESS_INFORMATION as Windows and Wine lay
// them out; winternl.h calls the times reserved.
struct ProcessEntryTimes {
  ULONG nextEntryOffset;
  ULONG numberOfThreads;
  LARGE_INTEGER reserved[3];
  LARGE_INTEGER createTime;
  LARGE_INTEGER userTime;
  LARGE_INTEGER kernelTime;
};
static_assert(offsetof(SYSTEM_PROCESS_INFORMATION, ImageName) == sizeof(ProcessEntryTimes));

// User and kernel time of another process, in milliseconds. Through the
// system's process list: Wine 8's GetProcessTimes gives the caller's own
// times for any process handle, while its process list reads each process's
// times from /proc.
double CpuMilliseconds(DWORD processId) {
  std::vector<unsigned char> buffer(256 * 1024);
  ULONG needed = 0;
  NTSTATUS status;
  while ((status = NtQuerySystemInformation(SystemProcessInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                                            &needed)) ==
         static_cast<NTSTATUS>(0xC0000004L))  // STATUS_INFO_LENGTH_MISMATCH
    buffer.resize(std::max<size_t>(buffer.size() * 2, needed));
  if (status < 0) return 0;
  for (size_t offset = 0;;) {
    const auto* entry = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer.data() + offset);
    if (HandleToULong(entry->UniqueProcessId) == processId) {
      ProcessEntryTimes times;
      std::memcpy(&times, entry, sizeof(times));
      return static_cast<double>(times.userTime.QuadPart + times.kernelTime.QuadPart) / 10000.0;
    }
    if (entry->NextEntryOffset == 0) return 0;
    offset += entry->NextEntryOffset;
  }
}

// User and system time of a Unix process (the wineserver) from /proc, which
// Wine reaches through drive Z:.
double UnixCpuMilliseconds(int unixPid) {
  if (unixPid <= 0) return 0;
  const std::wstring path = L"Z:\\proc\\" + std::to_wstring(unixPid) + L"\\stat";
  platform::unique_file file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return 0;
  char text[1024] = {};
  DWORD got = 0;
  ReadFile(file.get(), text, sizeof(text) - 1, &got, nullptr);
  // Fields after the command name in parentheses: state is field 3, utime 14, stime 15.
  const char* rest = std::strrchr(text, ')');
  if (!rest) return 0;
  unsigned long long ticks[2] = {};
  if (std::sscanf(rest + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &ticks[0], &ticks[1]) != 2)
    return 0;
  return static_cast<double>(ticks[0] + ticks[1]) * 10.0;  // USER_HZ is 100 on Linux
}

struct Memory {
  double peakWorkingSet = 0;  // MiB
  double peakPagefile = 0;    // MiB
};

// Under Wine 8 PeakWorkingSetSize is the process's VmHWM, and
// PeakPagefileUsage (like PagefileUsage) its RssAnon plus VmSwap at the time
// of asking, not a peak.
Memory MemoryOf(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  if (!GetProcessMemoryInfo(process, &counters, sizeof(counters))) return {};
  constexpr double MiB = 1024.0 * 1024.0;
  return {static_cast<double>(counters.PeakWorkingSetSize) / MiB,
          static_cast<double>(counters.PeakPagefileUsage) / MiB};
}

// --- Measurements ----------------------------------------------------------

struct Samples {
  std::vector<double> values;
  void Add(double value) { values.push_back(value); }
  double Median() const {
    if (values.empty()) return 0;
    std::vector<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    const size_t middle = sorted.size() / 2;
    return sorted.size() % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
  }
  double Min() const { return values.empty() ? 0 : *std::min_element(values.begin(), values.end()); }
  double Max() const { return values.empty() ? 0 : *std::max_element(values.begin(), values.end()); }
};

struct StartupFigures {
  Samples startup;           // process start to main dialog visible, ms
  Samples firstOpening;      // command 40011 to second dialog visible, ms
  Samples secondOpening;     // the same again in the same process
  Samples mainWorkingSet;    // PeakWorkingSetSize, MiB, main dialog visible
  Samples mainPagefile;      // PeakPagefileUsage, MiB, main dialog visible
  Samples secondWorkingSet;  // the same, second dialog open the first time
  Samples secondPagefile;
  int failures = 0;
};

// One run: start, main dialog visible, second dialog opened and closed twice,
// main dialog closed.
void MeasureRun(const Program& program, StartupFigures* figures) {
  Started started = Start(program);
  if (!started.process) {
    std::fprintf(stderr, "cannot start %ls (error %lu)\n", program.exe.c_str(), GetLastError());
    ++figures->failures;
    return;
  }
  const HWND mainDialog = WaitForMainDialog(started);
  const double startup = MillisecondsSince(started.start);
  if (!mainDialog) {
    std::fprintf(stderr, "%ls: no main dialog\n", program.label);
    ++figures->failures;
    Finish(started, nullptr);
    return;
  }
  figures->startup.Add(startup);
  const Memory mainMemory = MemoryOf(started.process.get());
  figures->mainWorkingSet.Add(mainMemory.peakWorkingSet);
  figures->mainPagefile.Add(mainMemory.peakPagefile);

  for (Samples* opening : {&figures->firstOpening, &figures->secondOpening}) {
    const auto commandSent = Clock::now();
    PostMessageW(mainDialog, WM_COMMAND, MAKEWPARAM(IDM_GAMEPAD_SETTINGS, 0), 0);
    const HWND second = WaitUntilVisible(started.id, mainDialog, milliseconds(10000));
    if (!second) {
      std::fprintf(stderr, "%ls: command 40011 showed no dialog\n", program.label);
      break;
    }
    opening->Add(MillisecondsSince(commandSent));
    if (opening == &figures->firstOpening) {
      const Memory secondMemory = MemoryOf(started.process.get());
      figures->secondWorkingSet.Add(secondMemory.peakWorkingSet);
      figures->secondPagefile.Add(secondMemory.peakPagefile);
    }
    Cancel(second);
  }
  Finish(started, mainDialog);
}

struct IdleFigures {
  bool measured = false;
  double cpuPerMinute = 0;         // ms of the program's CPU time per minute
  double wineserverPerMinute = 0;  // ms of wineserver's CPU time per minute
  LRESULT gamepadType = CB_ERR;    // the gamepad dialog's type list at the end: a pad taken up switches it
};

// CPU time over an idle window with the main dialog, or the second dialog
// too, open; scaled to a minute.
IdleFigures MeasureIdle(const Program& program, bool secondDialog, int seconds, int wineserverPid) {
  Started started = Start(program);
  if (!started.process) return {};
  const HWND mainDialog = WaitForMainDialog(started);
  HWND second = nullptr;
  if (mainDialog && secondDialog) {
    PostMessageW(mainDialog, WM_COMMAND, MAKEWPARAM(IDM_GAMEPAD_SETTINGS, 0), 0);
    second = WaitUntilVisible(started.id, mainDialog, milliseconds(10000));
  }
  IdleFigures figures;
  if (mainDialog && (second || !secondDialog)) {
    const double cpuBefore = CpuMilliseconds(started.id);
    const double serverBefore = UnixCpuMilliseconds(wineserverPid);
    const auto windowStart = Clock::now();
    Sleep(static_cast<DWORD>(seconds) * 1000);  // the measured idle window
    const double cpu = CpuMilliseconds(started.id) - cpuBefore;
    const double server = UnixCpuMilliseconds(wineserverPid) - serverBefore;
    const double minutes = MillisecondsSince(windowStart) / 60000.0;
    figures = {true, cpu / minutes, wineserverPid > 0 ? server / minutes : 0, CB_ERR};
    // Only a dialog with a type list has a type to show.
    if (second && GetDlgItem(second, IDC_GAMEPAD_TYPE))
      figures.gamepadType = SendDlgItemMessageW(second, IDC_GAMEPAD_TYPE, CB_GETCURSEL, 0, 0);
  }
  if (second) Cancel(second);
  Finish(started, mainDialog);
  return figures;
}

// Wine's own background (the desktop, services, device host) over the same
// window, with neither program running.
double MeasureWineAlone(int seconds, int wineserverPid) {
  const double before = UnixCpuMilliseconds(wineserverPid);
  const auto windowStart = Clock::now();
  Sleep(static_cast<DWORD>(seconds) * 1000);  // the measured idle window
  return (UnixCpuMilliseconds(wineserverPid) - before) / (MillisecondsSince(windowStart) / 60000.0);
}

// --- Output ----------------------------------------------------------------

std::string Range(const Samples& samples) {
  if (samples.values.empty()) return "n/a";
  char text[64];
  std::snprintf(text, sizeof(text), "%.1f (%.1f-%.1f)", samples.Median(), samples.Min(), samples.Max());
  return text;
}

// The launcher's median above the floor's, also as a share of the floor's.
std::string Difference(const Samples& launcher, const Samples& floor) {
  if (launcher.values.empty() || floor.values.empty()) return "n/a";
  char text[48];
  const double above = launcher.Median() - floor.Median();
  if (floor.Median() > 0)
    std::snprintf(text, sizeof(text), "%+.1f (%+.0f %%)", above, 100.0 * above / floor.Median());
  else
    std::snprintf(text, sizeof(text), "%+.1f", above);
  return text;
}

struct ComparisonRow {
  const char* name;
  Samples StartupFigures::*samples;
};

struct AllFigures {
  StartupFigures launcher;
  StartupFigures gamepadFloor;
  StartupFigures minimal;
};

void PrintComparison(const AllFigures& figures, std::initializer_list<ComparisonRow> rows) {
  std::printf(
      "| Measure | Launcher.exe | gamepad_dialog_floor.exe | minimal_dialog.exe | Launcher - gamepad floor |"
      " Launcher - minimal |\n|---|---|---|---|---|---|\n");
  for (const ComparisonRow& row : rows) {
    const Samples& launcher = figures.launcher.*row.samples;
    const Samples& gamepadFloor = figures.gamepadFloor.*row.samples;
    const Samples& minimal = figures.minimal.*row.samples;
    std::printf("| %s | %s | %s | %s | %s | %s |\n", row.name, Range(launcher).c_str(), Range(gamepadFloor).c_str(),
                Range(minimal).c_str(), Difference(launcher, gamepadFloor).c_str(),
                Difference(launcher, minimal).c_str());
  }
}

std::string Figure(const IdleFigures& figures, bool server) {
  if (!figures.measured) return "n/a";
  char text[32];
  std::snprintf(text, sizeof(text), "%.0f", server ? figures.wineserverPerMinute : figures.cpuPerMinute);
  return text;
}

struct Options {
  Program launcher{L"Launcher.exe", {}, {}};
  Program gamepadFloor{L"gamepad_dialog_floor.exe", {}, {}};
  Program minimal{L"minimal_dialog.exe", {}, {}};
  Program controllerLauncher{L"Launcher.exe with a scripted controller", {}, {}};
  int runs = 21;
  int idleSeconds = 60;
  int wineserverPid = 0;
};

bool ParseOptions(int argc, wchar_t** argv, Options* options) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::wstring name = argv[i];
    const wchar_t* value = argv[i + 1];
    if (name == L"--launcher")
      options->launcher.exe = value;
    else if (name == L"--gamepad-floor")
      options->gamepadFloor.exe = value;
    else if (name == L"--minimal")
      options->minimal.exe = value;
    else if (name == L"--controller-launcher")
      options->controllerLauncher.exe = value;
    else if (name == L"--controller-env")
      options->controllerLauncher.environment.push_back(value);
    else if (name == L"--runs")
      options->runs = std::max(1, _wtoi(value));
    else if (name == L"--idle-seconds")
      options->idleSeconds = std::max(1, _wtoi(value));
    else if (name == L"--wineserver-pid")
      options->wineserverPid = _wtoi(value);
    else
      return false;
  }
  return argc % 2 == 1 && !options->launcher.exe.empty() && !options->gamepadFloor.exe.empty() &&
         !options->minimal.exe.empty();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fprintf(stderr,
                 "usage: launcher_bench --launcher EXE --gamepad-floor EXE --minimal EXE\n"
                 "       [--runs N] [--idle-seconds S]\n"
                 "       [--controller-launcher EXE --controller-env NAME=VALUE ...] [--wineserver-pid PID]\n");
    return 2;
  }

  // One run of each first, so that none pays for loading Wine's files into
  // the page cache.
  AllFigures figures;
  StartupFigures discarded;
  const std::pair<const Program*, StartupFigures*> programs[] = {
      {&options.launcher, &figures.launcher},
      {&options.gamepadFloor, &figures.gamepadFloor},
      {&options.minimal, &figures.minimal},
  };
  for (const auto& program : programs) MeasureRun(*program.first, &discarded);
  for (int run = 0; run < options.runs; ++run)
    for (const auto& [program, samples] : programs) MeasureRun(*program, samples);

  std::printf("Start-up and second dialog: milliseconds, median (min-max) of %d runs each, in turn.\n\n",
              options.runs);
  PrintComparison(figures,
                  {{"process start to main dialog visible", &StartupFigures::startup},
                   {"command 40011 to second dialog visible, first time", &StartupFigures::firstOpening},
                   {"command 40011 to second dialog visible, again", &StartupFigures::secondOpening}});
  std::printf("\nMemory: MiB, median (min-max) of the same runs (GetProcessMemoryInfo).\n\n");
  PrintComparison(figures,
                  {{"PeakWorkingSetSize, main dialog visible", &StartupFigures::mainWorkingSet},
                   {"PeakWorkingSetSize, second dialog open", &StartupFigures::secondWorkingSet},
                   {"PeakPagefileUsage, main dialog visible", &StartupFigures::mainPagefile},
                   {"PeakPagefileUsage, second dialog open", &StartupFigures::secondPagefile}});
  std::fflush(stdout);

  // Idle windows, each in a fresh process; the floors' rows follow the
  // launcher's row they are the floors for.
  const int seconds = options.idleSeconds;
  const int server = options.wineserverPid;
  std::printf("\nIdle: CPU milliseconds per minute over %d s windows: the program's from the process list%s.\n\n",
              seconds, server > 0 ? ", wineserver's from /proc" : "");
  std::printf("| Open | program | wineserver | gamepad type shown |\n|---|---|---|---|\n");
  const struct {
    const char* name;
    const Program* program;
    bool secondDialog;
  } idleRows[] = {
      {"Launcher.exe: main dialog", &options.launcher, false},
      {"minimal_dialog.exe: main dialog", &options.minimal, false},
      {"Launcher.exe: gamepad dialog, no controller", &options.launcher, true},
      {"gamepad_dialog_floor.exe: gamepad dialog", &options.gamepadFloor, true},
      {"minimal_dialog.exe: second dialog", &options.minimal, true},
      {"Launcher.exe: gamepad dialog, scripted controller attached", &options.controllerLauncher, true},
  };
  for (const auto& row : idleRows) {
    const IdleFigures figures =
        row.program->exe.empty() ? IdleFigures{} : MeasureIdle(*row.program, row.secondDialog, seconds, server);
    std::printf("| %s | %s | %s | %s |\n", row.name, Figure(figures, false).c_str(),
                server > 0 ? Figure(figures, true).c_str() : "-",
                figures.gamepadType >= 0 ? std::to_string(figures.gamepadType + 1).c_str() : "-");
    std::fflush(stdout);
  }
  if (server > 0)
    std::printf("| nothing (Wine's own background) | - | %.0f | - |\n", MeasureWineAlone(seconds, server));

  const int failures = figures.launcher.failures + figures.gamepadFloor.failures + figures.minimal.failures;
  if (failures) std::fprintf(stderr, "%d runs failed\n", failures);
  return failures ? 1 : 0;
}
