// Resource ids of the floors' main dialog (read by windres too).
#pragma once

#define IDD_MINIMAL_FIRST          102
#define IDB_MINIMAL_PICTURE        103
#define IDC_MINIMAL_BUTTON1        1001
#define IDC_MINIMAL_BUTTON2        1002
