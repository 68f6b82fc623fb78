// The program's one way into DirectInput 8, and the one place that includes
// its header. Tests put a scripted stand-in behind DirectInputFactory; nothing
// else about DirectInput is replaceable.
#pragma once

#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0800
#endif
#include <windows.h>
#include <dinput.h>

// Same contract as DirectInput8Create: instance handle, version, interface id,
// out-pointer, aggregating object.
using DirectInputFactoryFunction = HRESULT(WINAPI*)(HINSTANCE, DWORD, REFIID, void**, IUnknown*);

// DirectInput8Create of dinput8.dll, loaded on the first call, unless a test
// has put another factory here. Where dinput8.dll or the function is missing
// it fails with HRESULT_FROM_WIN32 of the loader's error.
extern DirectInputFactoryFunction DirectInputFactory;
