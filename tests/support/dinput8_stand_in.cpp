// Stands in for dinput8.dll beside a copy of Launcher.exe, which loads it under WINEDLLOVERRIDES="dinput8=n,b": one
// controller named by VKTEST_DINPUT_PAD, holding the button that VKTEST_DINPUT_BUTTON numbers, if any.
#include <cwchar>

#include "fake_direct_input.h"

extern "C" __declspec(dllexport) HRESULT WINAPI DirectInput8Create(HINSTANCE instance, DWORD version, REFIID iid,
                                                                   void** out, IUnknown* outer) {
  using fake_dinput::Input;
  if (Input.devices.empty()) {
    wchar_t name[MAX_PATH] = L"", button[8] = L"";
    GetEnvironmentVariableW(L"VKTEST_DINPUT_PAD", name, MAX_PATH);
    GetEnvironmentVariableW(L"VKTEST_DINPUT_BUTTON", button, 8);
    Input.Plug(name, fake_dinput::FakeInput::Held({static_cast<int>(std::wcstol(button, nullptr, 10))}));
  }
  return fake_dinput::Create(instance, version, iid, out, outer);
}
