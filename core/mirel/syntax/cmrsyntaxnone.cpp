// The kind without colours.
#include "mirel/syntax/cmrsyntaxnone.h"

CMrSyntaxNone::CMrSyntaxNone(int nOwner, BOOL bInitDefaults) : CMrSyntax(nOwner, MIREL_SYNTAX_NONE) {
  if (bInitDefaults) InitDefaults();
}

MIREL_PARA_INFO* CMrSyntaxNone::GetParaInfo(int /*nPara*/) {
  return nullptr;
}

int CMrSyntaxNone::ParseParagraph(CMirelDoc* pDoc, int nLine, const MIREL_LINE_TABLE* pAltLines) {
  return ParagraphOfLine(pDoc, nLine, pAltLines);
}

void CMrSyntaxNone::ParseUpTo(CMirelDoc* /*pDoc*/, int /*nLine*/) {}

void CMrSyntaxNone::InitDefaults() {
  def.delimiters.reset();
}
