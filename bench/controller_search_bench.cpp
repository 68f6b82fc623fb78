// What looking for a game controller costs while none is attached: the
// gamepad dialog's 16 ms timer loop as the launcher runs it (a search only
// when one is due), beside the timer alone (the floor) and the same loop
// enumerating the attached game controllers on every tick. Uses the system's
// DirectInput 8, each EnumDevices counted and timed by a thin wrapper.
// Prints markdown.
//
//   controller_search_bench.exe [seconds per loop, default 10]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "gamepad/controller_input.h"
#include "gamepad/gamepad_dialog.h"
#include "gamepad/gamepad_dialog_state.h"
#include "platform/com_ptr.h"
#include "platform/direct_input.h"
#include "platform/instance_handle.h"

namespace {

constexpr UINT_PTR EndTimer = 1;  // ends a loop; the ticks come from the dialog's own timer

using Clock = std::chrono::steady_clock;

struct EnumerationCount {
  int calls = 0;
  Clock::duration time{};  // spent inside EnumDevices
  double Milliseconds() const { return std::chrono::duration<double, std::milli>(time).count(); }
};
EnumerationCount Enumerations;

// Forwards everything to the real IDirectInput8W, counting and timing the
// enumerations.
class CountingDirectInput final : public IDirectInput8W {
 public:
  explicit CountingDirectInput(IDirectInput8W* real) : real_(real) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    const bool known = IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IDirectInput8W);
    *out = known ? static_cast<IDirectInput8W*>(this) : nullptr;
    if (known) AddRef();
    return known ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG refs = --refs_;
    if (refs == 0) delete this;
    return refs;
  }
  HRESULT STDMETHODCALLTYPE EnumDevices(DWORD type, LPDIENUMDEVICESCALLBACKW callback, LPVOID ref,
                                        DWORD flags) override {
    const auto start = Clock::now();
    const HRESULT result = real_->EnumDevices(type, callback, ref, flags);
    ++Enumerations.calls;
    Enumerations.time += Clock::now() - start;
    return result;
  }
  HRESULT STDMETHODCALLTYPE CreateDevice(REFGUID guid, LPDIRECTINPUTDEVICE8W* device, LPUNKNOWN outer) override {
    return real_->CreateDevice(guid, device, outer);
  }
  HRESULT STDMETHODCALLTYPE GetDeviceStatus(REFGUID guid) override { return real_->GetDeviceStatus(guid); }
  HRESULT STDMETHODCALLTYPE RunControlPanel(HWND owner, DWORD flags) override {
    return real_->RunControlPanel(owner, flags);
  }
  HRESULT STDMETHODCALLTYPE Initialize(HINSTANCE instance, DWORD version) override {
    return real_->Initialize(instance, version);
  }
  HRESULT STDMETHODCALLTYPE FindDevice(REFGUID guid, LPCWSTR name, LPGUID instance) override {
    return real_->FindDevice(guid, name, instance);
  }
  HRESULT STDMETHODCALLTYPE EnumDevicesBySemantics(LPCWSTR user, LPDIACTIONFORMATW format,
                                                   LPDIENUMDEVICESBYSEMANTICSCBW callback, LPVOID ref,
                                                   DWORD flags) override {
    return real_->EnumDevicesBySemantics(user, format, callback, ref, flags);
  }
  HRESULT STDMETHODCALLTYPE ConfigureDevices(LPDICONFIGUREDEVICESCALLBACK callback, LPDICONFIGUREDEVICESPARAMSW params,
                                             DWORD flags, LPVOID ref) override {
    return real_->ConfigureDevices(callback, params, flags, ref);
  }

 private:
  ~CountingDirectInput() = default;
  platform::com_ptr<IDirectInput8W> real_;
  ULONG refs_ = 1;
};

HRESULT WINAPI CountingDirectInput8Create(HINSTANCE instance, DWORD version, REFIID iid, void** out, IUnknown* outer) {
  IDirectInput8W* real = nullptr;
  const HRESULT result = DirectInput8Create(instance, version, iid, reinterpret_cast<void**>(&real), outer);
  *out = SUCCEEDED(result) ? static_cast<IDirectInput8W*>(new CountingDirectInput(real)) : nullptr;
  return result;
}

enum class Loop { TimerOnly, SearchWhenDue, EnumerateEveryTick };

Loop CurrentLoop;
int Ticks;
GamepadDialogState State;  // the controller part of the dialog's

LRESULT CALLBACK BenchWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_TIMER) return DefWindowProcW(window, message, wParam, lParam);
  if (wParam == EndTimer) {
    PostQuitMessage(0);
    return 0;
  }
  ++Ticks;
  switch (CurrentLoop) {
    case Loop::TimerOnly: break;
    // The dialog's tick: with no controller nothing is read, so nothing is captured.
    case Loop::SearchWhenDue: PollController(window, State); break;
    // With no controller open, each call is one enumeration.
    case Loop::EnumerateEveryTick: OpenController(window, State); break;
  }
  return 0;
}

// This process's user and kernel time: FILETIMEs count 100 ns.
double ProcessCpuMilliseconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  const auto count = [](FILETIME time) { return (ULONGLONG{time.dwHighDateTime} << 32) | time.dwLowDateTime; };
  return static_cast<double>(count(kernel) + count(user)) / 10000.0;
}

struct Figures {
  int ticks;
  EnumerationCount enumerations;
  double cpuMs;
};

// Runs the window's message loop with the dialog's timer for this long.
Figures Run(HWND window, Loop loop, int seconds) {
  CurrentLoop = loop;
  Ticks = 0;
  Enumerations = {};
  const double cpuBefore = ProcessCpuMilliseconds();
  State = GamepadDialogState{};  // as the dialog's opening makes it
  if (loop != Loop::TimerOnly) InitControllerInput(window, State);  // the dialog's opening, with its one search
  SetTimer(window, GamepadTimerId, GamepadTimerPeriod, nullptr);
  SetTimer(window, EndTimer, static_cast<UINT>(seconds) * 1000, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  KillTimer(window, GamepadTimerId);
  KillTimer(window, EndTimer);
  ReleaseControllerInput(State);
  return {Ticks, Enumerations, ProcessCpuMilliseconds() - cpuBefore};
}

void PrintRow(const char* loop, const Figures& figures) {
  const int searches = figures.enumerations.calls;
  const double searching = figures.enumerations.Milliseconds();
  std::printf("| %s | %d | %d | %.1f | %.0f | %.0f |\n", loop, figures.ticks, searches,
              searches ? searching / searches : 0.0, searching, figures.cpuMs);
}

double Percent(double part, double whole) { return whole > 0 ? 100.0 * part / whole : 0.0; }

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  InstanceHandle = GetModuleHandleW(nullptr);
  DirectInputFactory = &CountingDirectInput8Create;

  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = BenchWindowProc;
  windowClass.hInstance = InstanceHandle;
  windowClass.lpszClassName = L"ControllerSearchBench";
  RegisterClassW(&windowClass);
  // A top-level window, as the dialog is; it need not be shown.
  const HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Controller search bench", WS_OVERLAPPEDWINDOW,
                                      CW_USEDEFAULT, CW_USEDEFAULT, 300, 200, nullptr, nullptr, InstanceHandle,
                                      nullptr);

  // Loads DirectInput and its drivers once, outside the measurements.
  InitControllerInput(window, State);
  ReleaseControllerInput(State);

  const Figures floor = Run(window, Loop::TimerOnly, seconds);
  const Figures launcher = Run(window, Loop::SearchWhenDue, seconds);
  const Figures everyTick = Run(window, Loop::EnumerateEveryTick, seconds);
  std::printf("No controller attached; %d s per loop, %u ms timer.\n\n", seconds, GamepadTimerPeriod);
  std::printf("| Loop | ticks | searches | ms per search | ms searching | CPU ms |\n|---|---|---|---|---|---|\n");
  PrintRow("timer only (the floor)", floor);
  PrintRow("search when due (the launcher)", launcher);
  PrintRow("enumerate on every tick", everyTick);
  std::printf("\nThe launcher's loop: %.2f %% of the every-tick loop's CPU time; above the timer alone, %.2f %% of\n"
              "the every-tick loop's (target: under 2 %%); %.2f %% of its time searching.\n",
              Percent(launcher.cpuMs, everyTick.cpuMs),
              Percent(std::max(0.0, launcher.cpuMs - floor.cpuMs), everyTick.cpuMs - floor.cpuMs),
              Percent(launcher.enumerations.Milliseconds(), everyTick.enumerations.Milliseconds()));
  DestroyWindow(window);
  return 0;
}
