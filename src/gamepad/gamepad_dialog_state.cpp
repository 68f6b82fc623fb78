#include "gamepad/gamepad_dialog_state.h"

GamepadDialogState GamepadDialog;
