// Resource and command ids of minimal_dialog.exe (read by windres too).
#pragma once

#define IDD_MINIMAL_FIRST          102
#define IDD_MINIMAL_SECOND         109
#define IDB_MINIMAL_PICTURE        103
#define IDC_MINIMAL_BUTTON1        1001
#define IDC_MINIMAL_BUTTON2        1002
// The launcher's Settings > Gamepad Settings command, so that one driver opens
// the second dialog of either program.
#define IDM_MINIMAL_SECOND_DIALOG  40011
