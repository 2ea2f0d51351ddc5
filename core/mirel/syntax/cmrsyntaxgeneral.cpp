// The keyword-language lexer: one paragraph at a time, from the state the
// paragraph before it ended in. The state machine itself is shared with the
// script bodies of the HTML kinds.
#include "mirel/syntax/cmrsyntaxgeneral.h"

#include <string>

CMrSyntaxGeneral::CMrSyntaxGeneral(int nOwner, BOOL bInitDefaults) : CMrSyntax(nOwner, MIREL_SYNTAX_GENERAL) {
  if (bInitDefaults) InitDefaults();
}

void CMrSyntaxGeneral::InitDefaults() {
  def.delimiters = std::string(MR_SYNTAX_DEFAULT_DELIMITERS);
}

void CMrSyntaxGeneral::SetDefinition(const MIREL_SYNTAX_INFO& info, const MIREL_SYNTAX_COLORS& colors) {
  def.Assign(info, TRUE);
  ApplyColors(colors, styles);
}

int CMrSyntaxGeneral::StyleOfState(BYTE nState) {
  switch (nState) {
    case MR_GEN_STRING1:
      return MIREL_STYLE_STRING1;
    case MR_GEN_STRING2:
      return MIREL_STYLE_STRING2;
    case MR_GEN_LINE_COMMENT1:
    case MR_GEN_BLOCK_COMMENT1:
      return MIREL_STYLE_COMMENT1;
    case MR_GEN_LINE_COMMENT2:
    case MR_GEN_BLOCK_COMMENT2:
      return MIREL_STYLE_COMMENT2;
    default:
      return MIREL_STYLE_TEXT;
  }
}

int CMrSyntaxGeneral::ParseParagraph(CMirelDoc* pDoc, int nLine, const MIREL_LINE_TABLE* pAltLines) {
  MrParaFrame f;
  CMrSyntaxText t(nullptr, 0, 0, MIREL_ENCODING_ANSI);
  if (!BeginParagraph(pDoc, nLine, pAltLines, f, &t)) return f.nPara;

  MrGeneralScan scan;
  scan.nState = f.nStartState;
  if (scan.nState < MR_GEN_TEXT || scan.nState > MR_GEN_BLOCK_COMMENT2) scan.nState = MR_GEN_TEXT;
  scan.nWordStart = f.nStart;
  AddRun(f, f.nStart, StyleOfState(scan.nState));

  BOOL bRestIsComment = FALSE;
  for (DWORD nPos = f.nStart; nPos < f.nEnd && !bRestIsComment;) {
    nPos = StepGeneral(def, t, f, scan, nPos, MIREL_STYLE_BASE, &bRestIsComment);
  }
  EndParagraph(f, GeneralEndState(def, t, f, scan.nState), 0, 0);
  return f.nPara;
}

BYTE CMrSyntax::GeneralEndState(const CMrSyntaxDef& d, const CMrSyntaxText& t, const MrParaFrame& frame,
                                BYTE nState) {
  if (nState == MR_GEN_BLOCK_COMMENT1 || nState == MR_GEN_BLOCK_COMMENT2) return nState;
  // An empty paragraph has no last unit to carry anything on.
  const DWORD u = t.UnitSize();
  if (frame.nEnd - frame.nStart >= u && t.Is(frame.nEnd - u, d.chContinuation)) return nState;
  return MR_GEN_TEXT;
}

DWORD CMrSyntax::StepGeneral(const CMrSyntaxDef& d, const CMrSyntaxText& t, MrParaFrame& f,
                             MrGeneralScan& scan, DWORD nPos, int nStyleBase, BOOL* pbRestIsComment) {
  const DWORD u = t.UnitSize();
  DWORD nLen = 0;
  DWORD nNext = nPos + u;
  auto run = [&](DWORD nAt, int nStyle) { AddRun(f, nAt, nStyleBase + nStyle); };
  auto restIsComment = [&](BYTE nState) {
    scan.nState = nState;
    *pbRestIsComment = TRUE;
  };

  switch (scan.nState) {
    case MR_GEN_TEXT:
      if (d.IsPrefixAt(MR_DEF_BLOCK_COMMENT1_OPEN, t, nPos, &nLen)) {
        run(nPos, MIREL_STYLE_COMMENT1);
        scan.nState = MR_GEN_BLOCK_COMMENT1;
        nNext = nPos + nLen;
      } else if (d.IsPrefixAt(MR_DEF_BLOCK_COMMENT2_OPEN, t, nPos, &nLen)) {
        run(nPos, MIREL_STYLE_COMMENT2);
        scan.nState = MR_GEN_BLOCK_COMMENT2;
        nNext = nPos + nLen;
      } else if (!d.bLineComment1Word && d.IsPrefixAt(MR_DEF_LINE_COMMENT1, t, nPos, &nLen)) {
        run(nPos, MIREL_STYLE_COMMENT1);
        restIsComment(MR_GEN_LINE_COMMENT1);
      } else if (!d.bLineComment2Word && d.IsPrefixAt(MR_DEF_LINE_COMMENT2, t, nPos, &nLen)) {
        run(nPos, MIREL_STYLE_COMMENT2);
        restIsComment(MR_GEN_LINE_COMMENT2);
      } else if (t.Is(nPos, d.chQuote1)) {
        run(nPos, MIREL_STYLE_STRING1);
        scan.nState = MR_GEN_STRING1;
      } else if (t.Is(nPos, d.chQuote2)) {
        run(nPos, MIREL_STYLE_STRING2);
        scan.nState = MR_GEN_STRING2;
      } else {
        const BOOL bDelimiter = d.IsDelimiter(t, nPos);
        if (!bDelimiter && nNext < f.nEnd) break;  // the word goes on
        // The word ends before a delimiter, or with the paragraph's last unit;
        // a delimiter right at the word start leaves it empty.
        if (!bDelimiter || nPos >= scan.nWordStart + u) {
          const DWORD nLast = bDelimiter ? nPos - u : nPos;
          int nStyle = 0;
          if (d.bLineComment1Word && d.IsLineComment1Word(t, scan.nWordStart, nLast)) {
            run(scan.nWordStart, MIREL_STYLE_COMMENT1);
            restIsComment(MR_GEN_LINE_COMMENT1);
          } else if (d.bLineComment2Word && d.IsLineComment2Word(t, scan.nWordStart, nLast)) {
            run(scan.nWordStart, MIREL_STYLE_COMMENT2);
            restIsComment(MR_GEN_LINE_COMMENT2);
          } else {
            for (int i = 0; i < MIREL_SYNTAX_KEYWORD_LISTS && nStyle == 0; ++i) {
              if (d.IsKeyword(i, t, scan.nWordStart, nLast)) nStyle = MIREL_STYLE_KEYWORD1 + i;
            }
            if (nStyle == 0 && IsNumber(t, scan.nWordStart, nLast)) nStyle = MIREL_STYLE_NUMBER;
          }
          if (nStyle != 0) {
            run(scan.nWordStart, nStyle);
            run(nLast + u, MIREL_STYLE_TEXT);
          }
        }
        scan.nWordStart = nNext;
      }
      break;

    case MR_GEN_STRING1:
    case MR_GEN_STRING2:
      if (t.Is(nPos, d.chEscape)) {
        nNext = nPos + 2 * u;  // the escaped unit is skipped
      } else if (t.Is(nPos, scan.nState == MR_GEN_STRING1 ? d.chQuote1 : d.chQuote2)) {
        run(nNext, MIREL_STYLE_TEXT);
        scan.nState = MR_GEN_TEXT;
        scan.nWordStart = nNext;
      }
      break;

    case MR_GEN_LINE_COMMENT1:
    case MR_GEN_LINE_COMMENT2:
      *pbRestIsComment = TRUE;
      break;

    default: {  // block comments
      const BOOL bClose = scan.nState == MR_GEN_BLOCK_COMMENT1
                              ? d.IsPrefixAt(MR_DEF_BLOCK_COMMENT1_CLOSE, t, nPos, &nLen)
                              : d.IsPrefixAt(MR_DEF_BLOCK_COMMENT2_CLOSE, t, nPos, &nLen);
      if (bClose) {
        nNext = nPos + nLen;
        run(nNext, MIREL_STYLE_TEXT);
        scan.nState = MR_GEN_TEXT;
        scan.nWordStart = nNext;
      }
      break;
    }
  }
  return nNext;
}
