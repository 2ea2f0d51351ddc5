// The lexer for keyword languages described by one host definition: two
// kinds of string, two line comments (by prefix or by word), two block
// comments, a continuation character, numbers and eight keyword lists.
#pragma once

#include "mirel/syntax/cmrsyntax.h"

// States of the keyword-language lexer (a paragraph record's nEndState).
constexpr BYTE MR_GEN_TEXT = 1;
constexpr BYTE MR_GEN_STRING1 = 2;
constexpr BYTE MR_GEN_STRING2 = 3;
constexpr BYTE MR_GEN_LINE_COMMENT1 = 4;
constexpr BYTE MR_GEN_LINE_COMMENT2 = 5;
constexpr BYTE MR_GEN_BLOCK_COMMENT1 = 6;
constexpr BYTE MR_GEN_BLOCK_COMMENT2 = 7;

class CMrSyntaxGeneral : public CMrSyntax {
 public:
  CMrSyntaxGeneral(int nOwner, BOOL bInitDefaults);

  int ParseParagraph(CMirelDoc* pDoc, int nLine, const MIREL_LINE_TABLE* pAltLines) override;
  void InitDefaults() override;

  // Installs a host definition and its colours into the base definition and
  // the base table.
  void SetDefinition(const MIREL_SYNTAX_INFO& info, const MIREL_SYNTAX_COLORS& colors);

  // The style that opens a paragraph starting in nState; an unknown state
  // counts as normal text.
  static int StyleOfState(BYTE nState);
};
