// The mouse cursors a document's views show besides the class I-beam: the
// system arrow, and three cursors built from bit planes (dragging the
// selection with and without Ctrl, and the arrow of the left margin where a
// click selects rows). Each is made on first use and kept until the document
// goes; all edit windows of a document share them.
#pragma once

#include <windows.h>

class CMrCursor {
 public:
  CMrCursor() = default;
  virtual ~CMrCursor();
  CMrCursor(const CMrCursor&) = delete;
  CMrCursor& operator=(const CMrCursor&) = delete;

  // Each returns its cursor, made on first use; NULL when it could not be
  // made (tried again on the next call).
  HCURSOR GetArrowCursor();
  HCURSOR GetDragCopyCursor();
  HCURSOR GetMarginCursor();
  HCURSOR GetDragMoveCursor();

  void CreateDragCopyCursor();
  void CreateMarginCursor();
  void CreateDragMoveCursor();

  HCURSOR hArrow = nullptr;
  HCURSOR hDragCopy = nullptr;
  HCURSOR hMargin = nullptr;
  HCURSOR hDragMove = nullptr;
};
