// The kind that colours nothing: painters use the plain colours for every
// paragraph, and no record is ever written.
#pragma once

#include "mirel/syntax/cmrsyntax.h"

class CMrSyntaxNone : public CMrSyntax {
 public:
  CMrSyntaxNone(int nOwner, BOOL bInitDefaults);

  MIREL_PARA_INFO* GetParaInfo(int nPara) override;
  int ParseParagraph(CMirelDoc* pDoc, int nLine, const MIREL_LINE_TABLE* pAltLines) override;
  // Nothing to lex, so painting costs nothing here.
  void ParseUpTo(CMirelDoc* pDoc, int nLine) override;
  void InitDefaults() override;
};
