// The module's instance handle, stored first thing at start-up; dialogs and
// their resources are loaded from it.
#pragma once

#include <windows.h>

extern HINSTANCE InstanceHandle;
