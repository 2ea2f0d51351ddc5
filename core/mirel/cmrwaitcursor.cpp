// The wait cursor of long operations.
#include "mirel/cmrwaitcursor.h"

CMrWaitCursor::CMrWaitCursor() : hPrevCursor(GetCursor()) {
  SetCursor(LoadCursorA(nullptr, IDC_WAIT));
}

CMrWaitCursor::~CMrWaitCursor() {
  SetCursor(hPrevCursor);
}
