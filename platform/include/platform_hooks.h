// Hooks that let tests steer and observe the Win32 stand-in. They exist only
// in non-Windows builds; tests that need them skip themselves on Windows.
#pragma once

#include "hooks_kernel.h"
#include "hooks_user.h"
#include "hooks_user_extra.h"
#include "hooks_user_menu.h"
#include "hooks_gdi.h"
#include "hooks_imm.h"
