// The mouse cursors a document's views show besides the class I-beam. Each
// cursor is made on first use and kept until the document goes. Only the
// record is declared so far: the views add the builders (and the destructor
// that destroys what they built).
#pragma once

#include <windows.h>

class CMrCursor {
 public:
  CMrCursor() = default;
  CMrCursor(const CMrCursor&) = delete;
  CMrCursor& operator=(const CMrCursor&) = delete;

  HCURSOR hArrow = nullptr;
  HCURSOR hDragCopy = nullptr;
  HCURSOR hMargin = nullptr;
  HCURSOR hDragMove = nullptr;
};
