// What looking for a game controller costs while none is attached: the
// gamepad dialog's 16 ms timer loop as the launcher runs it (a search only
// when one is due), side by side with the same loop enumerating the attached
// game controllers on every tick. Uses the real DirectInput 8; counts and
// times every EnumDevices through a thin wrapper around it.
//
//   controller_search_bench.exe [seconds per loop, default 10]
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "gamepad/controller_input.h"
#include "gamepad/gamepad_dialog_state.h"
#include "platform/instance_handle.h"
#include "platform/com_ptr.h"
#include "platform/direct_input.h"

namespace {

constexpr UINT_PTR TickTimer = 999;
constexpr UINT_PTR EndTimer = 1;

LARGE_INTEGER Frequency;

double Milliseconds(LONGLONG counts) {
  return 1000.0 * static_cast<double>(counts) / static_cast<double>(Frequency.QuadPart);
}

struct EnumerationCount {
  int calls = 0;
  LONGLONG counts = 0;  // performance counter time spent inside EnumDevices
};
EnumerationCount Enumerations;

// Forwards everything to the real IDirectInput8W, counting and timing the
// enumerations.
class CountingDirectInput final : public IDirectInput8W {
 public:
  explicit CountingDirectInput(IDirectInput8W* real) : real_(real) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IDirectInput8W)) {
      *out = static_cast<IDirectInput8W*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG refs = --refs_;
    if (refs == 0) delete this;
    return refs;
  }
  HRESULT STDMETHODCALLTYPE CreateDevice(REFGUID guid, LPDIRECTINPUTDEVICE8W* device, LPUNKNOWN outer) override {
    return real_->CreateDevice(guid, device, outer);
  }
  HRESULT STDMETHODCALLTYPE EnumDevices(DWORD type, LPDIENUMDEVICESCALLBACKW callback, LPVOID ref,
                                        DWORD flags) override {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    const HRESULT result = real_->EnumDevices(type, callback, ref, flags);
    QueryPerformanceCounter(&end);
    ++Enumerations.calls;
    Enumerations.counts += end.QuadPart - start.QuadPart;
    return result;
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
  switch (message) {
    case WM_TIMER:
      if (wParam == EndTimer) {
        PostQuitMessage(0);
      } else {
        ++Ticks;
        switch (CurrentLoop) {
          case Loop::TimerOnly: break;
          // As the dialog's tick: with no controller nothing is read, so nothing is captured.
          case Loop::SearchWhenDue: PollController(window, State); break;
          case Loop::EnumerateEveryTick: OpenController(window, State); break;  // no controller: one enumeration
        }
      }
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

double ProcessCpuMilliseconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto value = [](const FILETIME& time) {
    return static_cast<double>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 10000.0;
  };
  return value(kernel) + value(user);
}

struct Row {
  const char* name;
  int ticks;
  int enumerations;
  double enumerationMs;
  double wallMs;
  double cpuMs;
};

Row Run(HWND window, Loop loop, const char* name, int seconds) {
  CurrentLoop = loop;
  Ticks = 0;
  Enumerations = {};
  LARGE_INTEGER start, end;
  const double cpuBefore = ProcessCpuMilliseconds();
  QueryPerformanceCounter(&start);

  if (loop != Loop::TimerOnly) InitControllerInput(window, State);  // the dialog's opening, with its one search
  SetTimer(window, TickTimer, 16, nullptr);
  SetTimer(window, EndTimer, static_cast<UINT>(seconds) * 1000, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  KillTimer(window, TickTimer);
  KillTimer(window, EndTimer);
  ReleaseControllerInput(State);

  QueryPerformanceCounter(&end);
  return {name,
          Ticks,
          Enumerations.calls,
          Milliseconds(Enumerations.counts),
          Milliseconds(end.QuadPart - start.QuadPart),
          ProcessCpuMilliseconds() - cpuBefore};
}

void Print(const Row& row) {
  std::printf("%-28s %6d %9d %11.2f %10.0f %9.0f %8.0f %6.1f%%\n", row.name, row.ticks, row.enumerations,
              row.enumerations ? row.enumerationMs / row.enumerations : 0.0, row.enumerationMs, row.wallMs, row.cpuMs,
              100.0 * row.cpuMs / row.wallMs);
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  QueryPerformanceFrequency(&Frequency);
  InstanceHandle = GetModuleHandleW(nullptr);
  DirectInputFactory = &CountingDirectInput8Create;

  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = BenchWindowProc;
  windowClass.hInstance = InstanceHandle;
  windowClass.lpszClassName = L"ControllerSearchBench";
  RegisterClassW(&windowClass);
  // A top-level window, as the dialog is; it need not be shown.
  const HWND window =
      CreateWindowExW(0, windowClass.lpszClassName, L"Controller search bench", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                      CW_USEDEFAULT, 300, 200, nullptr, nullptr, InstanceHandle, nullptr);

  // Loads DirectInput and its drivers once, outside the measurements.
  InitControllerInput(window, State);
  ReleaseControllerInput(State);

  std::printf("No controller attached; %d s per loop, 16 ms timer.\n\n", seconds);
  std::printf("%-28s %6s %9s %11s %10s %9s %8s %7s\n", "loop", "ticks", "searches", "ms/search", "search ms",
              "wall ms", "CPU ms", "CPU");
  const Row floor = Run(window, Loop::TimerOnly, "timer only (the floor)", seconds);
  Print(floor);
  const Row due = Run(window, Loop::SearchWhenDue, "search when due (launcher)", seconds);
  Print(due);
  const Row everyTick = Run(window, Loop::EnumerateEveryTick, "enumerate on every tick", seconds);
  Print(everyTick);
  std::printf("\nCPU time of the launcher's loop: %.2f%% of the every-tick loop's (target: under 2%%).\n",
              everyTick.cpuMs > 0 ? 100.0 * due.cpuMs / everyTick.cpuMs : 0.0);
  const double aboveFloor = std::max(0.0, due.cpuMs - floor.cpuMs);
  std::printf("Above the timer's own floor: %.2f%% of the every-tick loop's.\n",
              everyTick.cpuMs > floor.cpuMs ? 100.0 * aboveFloor / (everyTick.cpuMs - floor.cpuMs) : 0.0);
  std::printf("Time spent searching: %.2f%% of the every-tick loop's.\n",
              everyTick.enumerationMs > 0 ? 100.0 * due.enumerationMs / everyTick.enumerationMs : 0.0);
  DestroyWindow(window);
  return 0;
}
