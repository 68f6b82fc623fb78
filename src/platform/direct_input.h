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

// DirectInput8Create unless a test has put another factory here.
extern DirectInputFactoryFunction DirectInputFactory;
