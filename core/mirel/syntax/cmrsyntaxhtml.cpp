// The HTML lexer: the shared HTML machine with one script definition and the
// end states it carries from paragraph to paragraph.
#include "mirel/syntax/cmrsyntaxhtml.h"

#include <string>

#include "mirel/syntax/cmrsyntaxgeneral.h"
#include "mirel/syntax/cmrsyntaxhtmlscan.h"

CMrSyntaxHtml::CMrSyntaxHtml(int nOwner, BOOL bInitDefaults) : CMrSyntax(nOwner, MIREL_SYNTAX_HTML) {
  MrInitExtraStyles(scriptStyles);
  MrInitExtraStyles(defaultScriptStyles);
  if (bInitDefaults) InitDefaults();
}

void CMrSyntaxHtml::CopyFrom(const CMrSyntax& other) {
  CopyCommonFrom(other);
  const auto* pOther = dynamic_cast<const CMrSyntaxHtml*>(&other);
  if (pOther == nullptr) return;
  scriptDef = pOther->scriptDef;
  for (int i = 0; i < MAX_SYNTAX_STYLE; ++i) scriptStyles[i] = pOther->scriptStyles[i];
}

void CMrSyntaxHtml::InitDefaults() {
  def.delimiters = std::string(MR_SYNTAX_DEFAULT_DELIMITERS);
  scriptDef.delimiters = std::string(MR_SYNTAX_DEFAULT_DELIMITERS);
}

void CMrSyntaxHtml::SetScriptStyleColors(const MIREL_SYNTAX_STYLE* pStyles) {
  MrTableSetColors(scriptStyles, pStyles);
}

void CMrSyntaxHtml::SetDefinition(const MIREL_SYNTAX_INFO& html, const MIREL_SYNTAX_COLORS& htmlColors,
                                  const MIREL_SYNTAX_INFO& script, const MIREL_SYNTAX_COLORS& scriptColors) {
  def.Assign(html, TRUE);
  scriptDef.Assign(script, FALSE);
  ApplyColors(htmlColors, styles);
  ApplyColors(scriptColors, scriptStyles);
}

void CMrSyntaxHtml::GetStyleColor(int nStyle, COLORREF* pcrFore, COLORREF* pcrBack) const {
  if (nStyle >= MIREL_STYLE_SCRIPT && nStyle < MIREL_STYLE_SCRIPT + MAX_SYNTAX_STYLE) {
    MrTableStyleColor(scriptStyles, nStyle - MIREL_STYLE_SCRIPT, pcrFore, pcrBack);
  } else {
    CMrSyntax::GetStyleColor(nStyle, pcrFore, pcrBack);
  }
}

void CMrSyntaxHtml::GetStyleName(int nStyle, char* pszName, int nSize) const {
  if (nStyle >= MIREL_STYLE_SCRIPT && nStyle < MIREL_STYLE_SCRIPT + MAX_SYNTAX_STYLE) {
    MrTableStyleName(scriptStyles, nStyle - MIREL_STYLE_SCRIPT, pszName, nSize);
  } else {
    CMrSyntax::GetStyleName(nStyle, pszName, nSize);
  }
}

int CMrSyntaxHtml::ParseParagraph(CMirelDoc* pDoc, int nLine, const MIREL_LINE_TABLE* pAltLines) {
  MrParaFrame f;
  CMrSyntaxText t(nullptr, 0, 0, MIREL_ENCODING_ANSI);
  if (!BeginParagraph(pDoc, nLine, pAltLines, f, &t)) return f.nPara;

  // Only the states the end rule stores can start a paragraph; anything else
  // (a damaged or foreign record) restarts in the text.
  BYTE nState = f.nStartState;
  if (nState != MR_HTML_TEXT && nState != MR_HTML_SCRIPT &&
      (nState < MR_HTML_LINE_COMMENT1 || nState > MR_HTML_SCRIPT_TAG_COMMENT2)) {
    nState = MR_HTML_TEXT;
  }
  BYTE nSub = f.nStartSubState;
  if (nSub < MR_HTML_SUB_CODE || nSub > MR_HTML_SUB_BASE + MR_GEN_BLOCK_COMMENT2) nSub = MR_HTML_SUB_CODE;

  MrHtmlScan scan;
  scan.nState = nState;
  scan.nWordStart = f.nStart;
  scan.script.nState = static_cast<BYTE>(nSub - MR_HTML_SUB_BASE);
  scan.script.nWordStart = f.nStart;
  AddRun(f, f.nStart,
         nState == MR_HTML_SCRIPT ? MIREL_STYLE_SCRIPT + CMrSyntaxGeneral::StyleOfState(scan.script.nState)
                                  : MrHtmlStateStyle(nState));

  const MrHtmlDefs defs{&def, MIREL_STYLE_BASE, &scriptDef, nullptr};
  BOOL bStop = FALSE;
  for (DWORD nPos = f.nStart; nPos < f.nEnd && !bStop;) nPos = StepHtml(defs, t, f, scan, nPos, &bStop);

  BYTE nEnd = MR_HTML_TEXT;
  BYTE nEndSub = MR_HTML_SUB_CODE;
  if (scan.nState == MR_HTML_SCRIPT) {
    nEnd = MR_HTML_SCRIPT;
    nEndSub = static_cast<BYTE>(MR_HTML_SUB_BASE + GeneralEndState(scriptDef, t, f, scan.script.nState));
  } else if (scan.nState == MR_HTML_LINE_COMMENT1 || scan.nState == MR_HTML_LINE_COMMENT2) {
    // Carried on only by the continuation character.
    if (GeneralEndState(def, t, f, MR_GEN_LINE_COMMENT1) != MR_GEN_TEXT) {
      nEnd = scan.nState;
      nEndSub = static_cast<BYTE>(MR_HTML_SUB_BASE + scan.script.nState);
    }
  } else if (scan.nState >= MR_HTML_TEXT_COMMENT1) {
    nEnd = scan.nState;
  }
  EndParagraph(f, nEnd, nEndSub, 0);
  return f.nPara;
}
