// Resource and control ids of Launcher.exe. Shared by the resource scripts and
// the code, so plain #defines only.
#pragma once

// Main launcher dialog
#define IDD_MAIN_DIALOG        102
#define IDC_RUN_DIRECTX9       1001
#define IDC_RUN_DIRECTX10      1002
