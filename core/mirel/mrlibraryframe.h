// Stretches of library code inside which foreign code may run: an exported
// function, a window procedure's dispatch, a notification sent to the host,
// a message box. The host may destroy a control's window from there, while
// frames below still use its edit object and document; those objects are
// then freed when the outermost frame closes, just before the library hands
// control back to the host or the system.
#pragma once

#include <functional>

class MrLibraryFrame {
 public:
  MrLibraryFrame();
  // The outermost frame runs the frees kept while frames were open.
  ~MrLibraryFrame();
  MrLibraryFrame(const MrLibraryFrame&) = delete;
  MrLibraryFrame& operator=(const MrLibraryFrame&) = delete;
};

// TRUE while a library frame is open on the thread of the controls.
bool MrIsInLibraryFrame();
// Runs fnFree at once when no library frame is open, else keeps it until the
// outermost frame closes. (When it cannot be kept, the objects are left
// alone: a leak is the lesser harm.)
void MrFreeWhenIdle(std::function<void()> fnFree);
// Frees kept and not yet run.
int MrIdleFreesPending();
