#include "platform/instance_handle.h"

HINSTANCE InstanceHandle = nullptr;
