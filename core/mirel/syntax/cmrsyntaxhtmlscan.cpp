// The HTML state machine of both HTML kinds. Script tags are recognised
// letter by letter in either case; every test reads whole units.
#include "mirel/syntax/cmrsyntaxhtmlscan.h"

#include "mirel/syntax/cmrsyntaxgeneral.h"

namespace {

constexpr char kScriptName[] = "script";
constexpr DWORD kScriptNameLen = sizeof kScriptName - 1;

BOOL IsBlankUnit(UINT u) {
  return u == ' ' || u == '\t' || u == '\r' || u == '\n';
}

// What follows the name of a script tag.
enum class ETagEnd { None, NoTag, Nothing, Blank, Close };

// Tests for "<script" (or "</script" when bClosing) at nPos inside the
// paragraph, and reports what follows the name.
ETagEnd MatchScriptTag(const CMrSyntaxText& t, DWORD nPos, BOOL bClosing, DWORD* pnNameEnd) {
  const DWORD u = t.UnitSize();
  DWORD p = nPos;
  if (t.At(p) != '<') return ETagEnd::NoTag;
  p += u;
  if (bClosing) {
    if (t.At(p) != '/') return ETagEnd::NoTag;
    p += u;
  }
  for (DWORD k = 0; k < kScriptNameLen; ++k, p += u) {
    const UINT c = t.At(p);
    if (c != static_cast<BYTE>(kScriptName[k]) && c != static_cast<BYTE>(kScriptName[k] - 'a' + 'A')) {
      return ETagEnd::NoTag;
    }
  }
  *pnNameEnd = p;
  const UINT next = t.At(p);
  if (next == MR_SYNTAX_NO_UNIT) return ETagEnd::Nothing;
  if (IsBlankUnit(next)) return ETagEnd::Blank;
  if (next == '>') return ETagEnd::Close;
  return ETagEnd::NoTag;
}

BOOL IsInScriptTag(BYTE nState) {
  return nState == MR_HTML_SCRIPT_TAG || nState == MR_HTML_SCRIPT_TAG_QUOTE1 ||
         nState == MR_HTML_SCRIPT_TAG_QUOTE2 || nState == MR_HTML_SCRIPT_TAG_COMMENT1 ||
         nState == MR_HTML_SCRIPT_TAG_COMMENT2;
}

}  // namespace

int MrHtmlStateStyle(BYTE nState) {
  switch (nState) {
    case MR_HTML_TAG:
    case MR_HTML_SCRIPT_TAG:
      return MIREL_STYLE_TAG;
    case MR_HTML_TAG_QUOTE1:
    case MR_HTML_SCRIPT_TAG_QUOTE1:
      return MIREL_STYLE_STRING1;
    case MR_HTML_TAG_QUOTE2:
    case MR_HTML_SCRIPT_TAG_QUOTE2:
      return MIREL_STYLE_STRING2;
    case MR_HTML_LINE_COMMENT1:
    case MR_HTML_TEXT_COMMENT1:
    case MR_HTML_TAG_COMMENT1:
    case MR_HTML_SCRIPT_TAG_COMMENT1:
      return MIREL_STYLE_COMMENT1;
    case MR_HTML_LINE_COMMENT2:
    case MR_HTML_TEXT_COMMENT2:
    case MR_HTML_TAG_COMMENT2:
    case MR_HTML_SCRIPT_TAG_COMMENT2:
      return MIREL_STYLE_COMMENT2;
    default:
      return MIREL_STYLE_TEXT;
  }
}

DWORD CMrSyntax::StepHtml(const MrHtmlDefs& defs, const CMrSyntaxText& t, MrParaFrame& f, MrHtmlScan& scan,
                          DWORD nPos, BOOL* pbStop) {
  const CMrSyntaxDef& d = *defs.pHtml;
  const int hb = defs.nHtmlBase;
  const DWORD u = t.UnitSize();
  DWORD nLen = 0;
  DWORD nNext = nPos + u;
  BOOL bIgnored = FALSE;
  auto run = [&](DWORD nAt, int nStyle) { AddRun(f, nAt, hb + nStyle); };
  auto enter = [&](BYTE nState, DWORD nAt) {
    scan.nState = nState;
    scan.nWordStart = nAt;
    nNext = nAt;
  };
  auto enterScript = [&](DWORD nAt) {
    scan.nState = MR_HTML_SCRIPT;
    scan.script.nState = MR_GEN_TEXT;
    scan.script.nWordStart = nAt;
    scan.nWordStart = nAt;
    nNext = nAt;
  };

  // Server sections: they close only at their own closing string, and open
  // anywhere but in an HTML line comment.
  if (defs.pServer != nullptr) {
    if (scan.bInServer) {
      if (defs.pServer->IsPrefixAt(MR_DEF_SCRIPT_CLOSE, t, nPos, &nLen)) {
        AddRun(f, nPos, MIREL_STYLE_SCRIPT_SECTION);
        nNext = nPos + nLen;
        AddRun(f, nNext,
               scan.nState == MR_HTML_SCRIPT ? MIREL_STYLE_SCRIPT + MIREL_STYLE_TEXT
                                             : hb + MrHtmlStateStyle(scan.nState));
        scan.bInServer = FALSE;
        scan.server = MrGeneralScan();
        scan.nWordStart = nNext;
        scan.script.nWordStart = nNext;
        return nNext;
      }
      return StepGeneral(*defs.pServer, t, f, scan.server, nPos, MIREL_STYLE_BASE, &bIgnored);
    }
    if (scan.nState != MR_HTML_LINE_COMMENT1 && scan.nState != MR_HTML_LINE_COMMENT2 &&
        defs.pServer->IsPrefixAt(MR_DEF_SCRIPT_OPEN, t, nPos, &nLen)) {
      AddRun(f, nPos, MIREL_STYLE_SCRIPT_SECTION);
      nNext = nPos + nLen;
      AddRun(f, nNext, MIREL_STYLE_TEXT);
      scan.bInServer = TRUE;
      scan.server.nState = MR_GEN_TEXT;
      scan.server.nWordStart = nNext;
      scan.nWordStart = nNext;
      scan.script.nWordStart = nNext;
      return nNext;
    }
  }

  DWORD nNameEnd = 0;
  switch (scan.nState) {
    case MR_HTML_TEXT: {
      if (d.IsPrefixAt(MR_DEF_BLOCK_COMMENT1_OPEN, t, nPos, &nLen)) {
        run(nPos, MIREL_STYLE_COMMENT1);
        enter(MR_HTML_TEXT_COMMENT1, nPos + nLen);
      } else if (d.IsPrefixAt(MR_DEF_BLOCK_COMMENT2_OPEN, t, nPos, &nLen)) {
        run(nPos, MIREL_STYLE_COMMENT2);
        enter(MR_HTML_TEXT_COMMENT2, nPos + nLen);
      } else if (!d.bLineComment1Word && d.IsPrefixAt(MR_DEF_LINE_COMMENT1, t, nPos, &nLen)) {
        run(nPos, MIREL_STYLE_COMMENT1);
        scan.nState = MR_HTML_LINE_COMMENT1;
        *pbStop = TRUE;
      } else if (!d.bLineComment2Word && d.IsPrefixAt(MR_DEF_LINE_COMMENT2, t, nPos, &nLen)) {
        run(nPos, MIREL_STYLE_COMMENT2);
        scan.nState = MR_HTML_LINE_COMMENT2;
        *pbStop = TRUE;
      } else {
        const ETagEnd end = MatchScriptTag(t, nPos, FALSE, &nNameEnd);
        if (end == ETagEnd::Nothing) {
          run(nPos, MIREL_STYLE_TAG);
          run(nNameEnd, MIREL_STYLE_TEXT);
          enter(MR_HTML_SCRIPT_TAG, nNameEnd);
        } else if (end == ETagEnd::Blank) {
          run(nPos, MIREL_STYLE_TAG);
          run(nNameEnd + u, MIREL_STYLE_TEXT);
          enter(MR_HTML_SCRIPT_TAG, nNameEnd + u);
        } else if (end == ETagEnd::Close) {
          run(nPos, MIREL_STYLE_TAG);
          run(nNameEnd + u, MIREL_STYLE_TEXT);
          enterScript(nNameEnd + u);
        } else if (t.At(nPos) == '<') {
          run(nPos, MIREL_STYLE_TAG);
          DWORD p = nPos;
          if (t.At(p + u) == '/') p += u;
          run(p + u, MIREL_STYLE_TEXT);
          enter(MR_HTML_TAG, p + u);
        }
      }
      break;
    }

    case MR_HTML_TAG:
    case MR_HTML_SCRIPT_TAG: {
      const BOOL bScriptTag = scan.nState == MR_HTML_SCRIPT_TAG;
      if (d.IsPrefixAt(MR_DEF_BLOCK_COMMENT1_OPEN, t, nPos, &nLen)) {
        run(nPos, MIREL_STYLE_COMMENT1);
        enter(bScriptTag ? MR_HTML_SCRIPT_TAG_COMMENT1 : MR_HTML_TAG_COMMENT1, nPos + nLen);
      } else if (d.IsPrefixAt(MR_DEF_BLOCK_COMMENT2_OPEN, t, nPos, &nLen)) {
        run(nPos, MIREL_STYLE_COMMENT2);
        enter(bScriptTag ? MR_HTML_SCRIPT_TAG_COMMENT2 : MR_HTML_TAG_COMMENT2, nPos + nLen);
      } else if (t.Is(nPos, d.chQuote1)) {
        run(nPos, MIREL_STYLE_STRING1);
        scan.nState = bScriptTag ? MR_HTML_SCRIPT_TAG_QUOTE1 : MR_HTML_TAG_QUOTE1;
      } else if (t.Is(nPos, d.chQuote2)) {
        run(nPos, MIREL_STYLE_STRING2);
        scan.nState = bScriptTag ? MR_HTML_SCRIPT_TAG_QUOTE2 : MR_HTML_TAG_QUOTE2;
      } else {
        const BOOL bDelimiter = d.IsDelimiter(t, nPos);
        if (!bDelimiter && nNext < f.nEnd) break;  // the word goes on
        if (!bDelimiter || nPos >= scan.nWordStart + u) {
          // Tag words: keyword lists and numbers only.
          const DWORD nLast = bDelimiter ? nPos - u : nPos;
          int nStyle = 0;
          for (int i = 0; i < MIREL_SYNTAX_KEYWORD_LISTS && nStyle == 0; ++i) {
            if (d.IsKeyword(i, t, scan.nWordStart, nLast)) nStyle = MIREL_STYLE_KEYWORD1 + i;
          }
          if (nStyle == 0 && IsNumber(t, scan.nWordStart, nLast)) nStyle = MIREL_STYLE_NUMBER;
          if (nStyle != 0) {
            run(scan.nWordStart, nStyle);
            run(nLast + u, MIREL_STYLE_TEXT);
          }
        }
        scan.nWordStart = nNext;
        if (!bDelimiter) break;
        DWORD nClose = 0;
        if (t.At(nPos) == '/' && t.At(nPos + u) == '>') {
          nClose = 2 * u;
        } else if (t.At(nPos) == '>') {
          nClose = u;
        }
        if (nClose == 0) break;
        run(nPos, MIREL_STYLE_TAG);
        if (bScriptTag) {
          AddRun(f, nPos + nClose, MIREL_STYLE_SCRIPT + MIREL_STYLE_TEXT);
          enterScript(nPos + nClose);
        } else {
          run(nPos + nClose, MIREL_STYLE_TEXT);
          enter(MR_HTML_TEXT, nPos + nClose);
        }
      }
      break;
    }

    case MR_HTML_TAG_QUOTE1:
    case MR_HTML_TAG_QUOTE2:
    case MR_HTML_SCRIPT_TAG_QUOTE1:
    case MR_HTML_SCRIPT_TAG_QUOTE2: {
      const BOOL bQuote1 = scan.nState == MR_HTML_TAG_QUOTE1 || scan.nState == MR_HTML_SCRIPT_TAG_QUOTE1;
      if (t.Is(nPos, d.chEscape)) {
        nNext = nPos + 2 * u;
      } else if (t.Is(nPos, bQuote1 ? d.chQuote1 : d.chQuote2)) {
        run(nNext, MIREL_STYLE_TEXT);
        enter(IsInScriptTag(scan.nState) ? MR_HTML_SCRIPT_TAG : MR_HTML_TAG, nNext);
      }
      break;
    }

    case MR_HTML_SCRIPT: {
      // A closing script tag ends the body in every sub-state, strings and
      // comments included. One followed by a blank (attributes) or by the
      // paragraph's end goes on as an ordinary tag, so its ">" returns to the
      // text instead of re-entering the script.
      const ETagEnd end = MatchScriptTag(t, nPos, TRUE, &nNameEnd);
      if (end == ETagEnd::Nothing || end == ETagEnd::Blank || end == ETagEnd::Close) {
        scan.script = MrGeneralScan();
        run(nPos, MIREL_STYLE_TAG);
        if (end == ETagEnd::Close) {
          run(nNameEnd + u, MIREL_STYLE_TEXT);
          enter(MR_HTML_TEXT, nNameEnd + u);
        } else {
          run(nNameEnd, MIREL_STYLE_TEXT);
          enter(MR_HTML_TAG, end == ETagEnd::Blank ? nNameEnd + u : nNameEnd);
        }
        break;
      }
      // Line comments in the body do not stop the scan: the closing tag can
      // still end them.
      nNext = StepGeneral(*defs.pScript, t, f, scan.script, nPos, MIREL_STYLE_SCRIPT, &bIgnored);
      break;
    }

    case MR_HTML_LINE_COMMENT1:
    case MR_HTML_LINE_COMMENT2:
      *pbStop = TRUE;
      break;

    default: {  // block comments in the text, a tag or an opening script tag
      const BOOL bComment1 = scan.nState == MR_HTML_TEXT_COMMENT1 || scan.nState == MR_HTML_TAG_COMMENT1 ||
                             scan.nState == MR_HTML_SCRIPT_TAG_COMMENT1;
      const BOOL bClose = bComment1 ? d.IsPrefixAt(MR_DEF_BLOCK_COMMENT1_CLOSE, t, nPos, &nLen)
                                    : d.IsPrefixAt(MR_DEF_BLOCK_COMMENT2_CLOSE, t, nPos, &nLen);
      if (!bClose) break;
      const DWORD nAfter = nPos + nLen;
      if (scan.nState == MR_HTML_TEXT_COMMENT1 || scan.nState == MR_HTML_TEXT_COMMENT2) {
        run(nAfter, MIREL_STYLE_TEXT);
        enter(MR_HTML_TEXT, nAfter);
      } else {
        run(nAfter, MIREL_STYLE_TAG);
        enter(IsInScriptTag(scan.nState) ? MR_HTML_SCRIPT_TAG : MR_HTML_TAG, nAfter);
      }
      break;
    }
  }
  return nNext;
}

void MrInitExtraStyles(MIREL_SYNTAX_STYLE* pTable) {
  for (int i = 0; i < MAX_SYNTAX_STYLE; ++i) {
    pTable[i] = MIREL_SYNTAX_STYLE{};
    pTable[i].crFore = i < MIREL_STYLE_KEYWORD1 ? MIREL_CLR_AUTO : MIREL_CLR_UNSET;
    pTable[i].crBack = MIREL_CLR_AUTO;
  }
}

void MrTableStyleColor(const MIREL_SYNTAX_STYLE* pTable, int n, COLORREF* pcrFore, COLORREF* pcrBack) {
  const MIREL_SYNTAX_STYLE& s = pTable[(n >= 0 && n < MAX_SYNTAX_STYLE) ? n : 0];
  if (pcrFore) *pcrFore = s.crFore;
  if (pcrBack) *pcrBack = s.crBack;
}

void MrTableStyleName(const MIREL_SYNTAX_STYLE* pTable, int n, char* pszName, int nSize) {
  if (pszName == nullptr || nSize < 1) return;
  const char* pszFrom = (n >= 0 && n < MAX_SYNTAX_STYLE) ? pTable[n].szName : "";
  int i = 0;
  for (; i < nSize - 1 && pszFrom[i] != '\0'; ++i) pszName[i] = pszFrom[i];
  pszName[i] = '\0';
}

void MrTableSetColors(MIREL_SYNTAX_STYLE* pTable, const MIREL_SYNTAX_STYLE* pStyles) {
  if (pStyles == nullptr) return;
  for (int i = 0; i < MAX_SYNTAX_STYLE; ++i) {
    pTable[i].crFore = pStyles[i].crFore;
    pTable[i].crBack = pStyles[i].crBack;
  }
}
