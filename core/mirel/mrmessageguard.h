// What a window procedure of the library answers for a message whose handler
// failed with an exception: the exception never reaches the system's frames.
#pragma once

#include <windows.h>

// The failure result of uMsg: creation refused, painting and the non-client
// messages left to DefWindowProc (so that an update region is validated and
// the frame still works), 0 for everything else.
LRESULT MrFailedMessageResult(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) noexcept;
