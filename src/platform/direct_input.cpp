#include "platform/direct_input.h"

DirectInputFactoryFunction DirectInputFactory = &DirectInput8Create;
