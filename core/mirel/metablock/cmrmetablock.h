// Per-paragraph range lists (find results and hyperlinks). Only what the text
// store needs is declared so far: the range lists extend these classes with
// their slots and scanners.
#pragma once

#include <windows.h>

class CMrMetaBlock {
 public:
  virtual ~CMrMetaBlock() = default;

  // The text changed from paragraph nPara on: the ranges kept for those
  // paragraphs are dropped and scanned again when next painted.
  virtual void ClearFrom(int nPara) = 0;
};

class CMrMetaBlockFindResult : public CMrMetaBlock {};

class CMrMetaBlockHyperLink : public CMrMetaBlock {};
