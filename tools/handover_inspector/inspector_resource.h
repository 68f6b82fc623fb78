// Resource and control ids of the hand-over inspector.
#pragma once

#define IDD_INSPECTOR  100
#define IDC_REPORT     1000
// (button IDCANCEL closes the window)
