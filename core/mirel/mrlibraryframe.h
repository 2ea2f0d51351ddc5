// Stretches of library code inside which foreign code may run: a window
// procedure's dispatch, a notification sent to the host, a message box. The
// host may destroy a control's window from there, while frames below still
// use its edit object and document; those objects are then freed only once
// no such stretch is open any more.
#pragma once

#include <functional>

class MrLibraryFrame {
 public:
  MrLibraryFrame();
  ~MrLibraryFrame();
  MrLibraryFrame(const MrLibraryFrame&) = delete;
  MrLibraryFrame& operator=(const MrLibraryFrame&) = delete;
};

// TRUE while a library frame is open on the thread of the controls.
bool MrIsInLibraryFrame();
// Runs fnFree at once when no library frame is open, else keeps it for
// MrRunIdleFrees. (When it cannot be kept, the objects are left alone: a
// leak is the lesser harm.)
void MrFreeWhenIdle(std::function<void()> fnFree);
// Runs the frees kept so far when no library frame is open; the library's
// entry points call it.
void MrRunIdleFrees();
// Frees kept and not yet run.
int MrIdleFreesPending();
