// The three cursors of the split-pane window's bars: a column bar moves left
// and right, a row bar up and down, a crossing both ways.
#pragma once

#include <windows.h>

class CMrSplitCursor {
 public:
  CMrSplitCursor();
  virtual ~CMrSplitCursor();
  CMrSplitCursor(const CMrSplitCursor&) = delete;
  CMrSplitCursor& operator=(const CMrSplitCursor&) = delete;

  HCURSOR hColumn;  // hot spot (15, 15)
  HCURSOR hCross;   // hot spot (16, 15)
  HCURSOR hRow;     // hot spot (15, 15)
};
