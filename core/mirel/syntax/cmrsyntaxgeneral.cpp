// The keyword-language lexer: one paragraph at a time, from the state the
// paragraph before it ended in.
#include "mirel/syntax/cmrsyntaxgeneral.h"

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

  BYTE nState = f.nStartState;
  if (nState < MR_GEN_TEXT || nState > MR_GEN_BLOCK_COMMENT2) nState = MR_GEN_TEXT;
  const DWORD u = t.UnitSize();
  AddRun(f, f.nStart, StyleOfState(nState));

  DWORD nPos = f.nStart;
  DWORD nWordStart = f.nStart;
  BOOL bStop = FALSE;
  while (!bStop && nPos < f.nEnd) {
    DWORD nLen = 0;
    DWORD nNext = nPos + u;
    switch (nState) {
      case MR_GEN_TEXT:
        if (def.IsBlockComment1Open(t, nPos, &nLen)) {
          AddRun(f, nPos, MIREL_STYLE_COMMENT1);
          nState = MR_GEN_BLOCK_COMMENT1;
          nNext = nPos + nLen;
        } else if (def.IsBlockComment2Open(t, nPos, &nLen)) {
          AddRun(f, nPos, MIREL_STYLE_COMMENT2);
          nState = MR_GEN_BLOCK_COMMENT2;
          nNext = nPos + nLen;
        } else if (!def.bLineComment1Word && def.IsLineComment1(t, nPos, &nLen)) {
          AddRun(f, nPos, MIREL_STYLE_COMMENT1);
          nState = MR_GEN_LINE_COMMENT1;
          bStop = TRUE;
        } else if (!def.bLineComment2Word && def.IsLineComment2(t, nPos, &nLen)) {
          AddRun(f, nPos, MIREL_STYLE_COMMENT2);
          nState = MR_GEN_LINE_COMMENT2;
          bStop = TRUE;
        } else if (t.Is(nPos, def.chQuote1)) {
          AddRun(f, nPos, MIREL_STYLE_STRING1);
          nState = MR_GEN_STRING1;
        } else if (t.Is(nPos, def.chQuote2)) {
          AddRun(f, nPos, MIREL_STYLE_STRING2);
          nState = MR_GEN_STRING2;
        } else {
          const BOOL bDelimiter = def.IsDelimiter(t, nPos);
          if (!bDelimiter && nNext < f.nEnd) break;  // the word goes on
          // The word ends before a delimiter, or with the paragraph's last unit.
          if (!bDelimiter || nPos >= nWordStart + u) {
            const DWORD nLast = bDelimiter ? nPos - u : nPos;
            int nStyle = 0;
            if (def.bLineComment1Word && def.IsLineComment1Word(t, nWordStart, nLast)) {
              AddRun(f, nWordStart, MIREL_STYLE_COMMENT1);
              nState = MR_GEN_LINE_COMMENT1;
              bStop = TRUE;
            } else if (def.bLineComment2Word && def.IsLineComment2Word(t, nWordStart, nLast)) {
              AddRun(f, nWordStart, MIREL_STYLE_COMMENT2);
              nState = MR_GEN_LINE_COMMENT2;
              bStop = TRUE;
            } else {
              for (int i = 0; i < MIREL_SYNTAX_KEYWORD_LISTS && nStyle == 0; ++i) {
                if (def.IsKeyword(i, t, nWordStart, nLast)) nStyle = MIREL_STYLE_KEYWORD1 + i;
              }
              if (nStyle == 0 && IsNumber(t, nWordStart, nLast)) nStyle = MIREL_STYLE_NUMBER;
            }
            if (nStyle != 0) {
              AddRun(f, nWordStart, nStyle);
              AddRun(f, nLast + u, MIREL_STYLE_TEXT);
            }
          }
          nWordStart = nNext;
        }
        break;

      case MR_GEN_STRING1:
      case MR_GEN_STRING2:
        if (t.Is(nPos, def.chEscape)) {
          nNext = nPos + 2 * u;  // the escaped unit is skipped
        } else if (t.Is(nPos, nState == MR_GEN_STRING1 ? def.chQuote1 : def.chQuote2)) {
          AddRun(f, nNext, MIREL_STYLE_TEXT);
          nState = MR_GEN_TEXT;
          nWordStart = nNext;
        }
        break;

      case MR_GEN_LINE_COMMENT1:
      case MR_GEN_LINE_COMMENT2:
        bStop = TRUE;  // comment to the paragraph's end
        break;

      default: {  // block comments
        const BOOL bClose = nState == MR_GEN_BLOCK_COMMENT1 ? def.IsBlockComment1Close(t, nPos, &nLen)
                                                            : def.IsBlockComment2Close(t, nPos, &nLen);
        if (bClose) {
          nNext = nPos + nLen;
          AddRun(f, nNext, MIREL_STYLE_TEXT);
          nState = MR_GEN_TEXT;
          nWordStart = nNext;
        }
        break;
      }
    }
    nPos = nNext;
  }

  BYTE nEndState = MR_GEN_TEXT;
  if (nState == MR_GEN_BLOCK_COMMENT1 || nState == MR_GEN_BLOCK_COMMENT2) {
    nEndState = nState;
  } else if (f.nEnd - f.nStart >= u && t.Is(f.nEnd - u, def.chContinuation)) {
    nEndState = nState;
  }
  EndParagraph(f, nEndState, 0, 0);
  return f.nPara;
}
