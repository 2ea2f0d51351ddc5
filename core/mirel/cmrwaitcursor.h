// Shows the wait cursor while a long operation runs and puts the previous
// cursor back when the scope ends.
#pragma once

#include <windows.h>

class CMrWaitCursor {
 public:
  CMrWaitCursor();
  ~CMrWaitCursor();
  CMrWaitCursor(const CMrWaitCursor&) = delete;
  CMrWaitCursor& operator=(const CMrWaitCursor&) = delete;

 private:
  HCURSOR hPrevCursor;  // the cursor that was current when the scope began
};
