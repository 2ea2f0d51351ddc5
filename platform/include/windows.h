// The Win32 stand-in used when the control is built for a non-Windows host.
// It declares only what the control, its tests and its sample host call.
#pragma once

#ifdef _WIN32
#error "The Win32 stand-in must not be used on Windows"
#endif

#include "win32_types.h"
#include "win32_kernel.h"
#include "win32_user.h"
#include "win32_user_extra.h"
#include "win32_user_menu.h"
#include "win32_user_split.h"
#include "win32_gdi.h"
