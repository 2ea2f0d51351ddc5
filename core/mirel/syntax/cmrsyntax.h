// The lexer interface of a document. Only what the text store needs is
// declared so far: the lexers extend this class with parsing and colour runs.
#pragma once

#include <windows.h>

class CMrSyntax {
 public:
  virtual ~CMrSyntax() = default;

  // The text changed from paragraph nPara on: the lexer state kept for those
  // paragraphs is stale.
  virtual void InvalidateFrom(int nPara) = 0;
};
