#include "platform/direct_input.h"

#include "platform/on_demand_library.h"
#include "platform/system_error.h"

namespace {

// Only the gamepad dialog uses DirectInput: the program starts without it.
platform::on_demand_library DirectInputLibrary(L"dinput8.dll");
platform::on_demand_function<DirectInputFactoryFunction> DirectInput8CreateFunction(DirectInputLibrary,
                                                                                   "DirectInput8Create");

HRESULT WINAPI CreateDirectInput(HINSTANCE instance, DWORD version, REFIID iid, void** out, IUnknown* outer) {
  const DirectInputFactoryFunction create = DirectInput8CreateFunction.get();
  if (!create) {
    *out = nullptr;
    return HRESULT_FROM_WIN32(LastFailure());
  }
  return create(instance, version, iid, out, outer);
}

}  // namespace

DirectInputFactoryFunction DirectInputFactory = &CreateDirectInput;
