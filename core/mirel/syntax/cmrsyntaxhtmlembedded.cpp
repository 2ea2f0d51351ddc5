// The HTML lexer with server-script sections: the shared HTML machine with
// the server definition, and three states carried between paragraphs.
#include "mirel/syntax/cmrsyntaxhtmlembedded.h"

#include <string>

#include "mirel/syntax/cmrsyntaxgeneral.h"
#include "mirel/syntax/cmrsyntaxhtmlscan.h"

namespace {

BOOL InTable(int nStyle, int nFirst) {
  return nStyle >= nFirst && nStyle < nFirst + MAX_SYNTAX_STYLE;
}

// A stored main state: odd states are HTML state (m + 1) / 2, even ones the
// server section opened in HTML state m / 2. Line comments have no twin.
BOOL IsStartState(BYTE m) {
  if (m < 1 || m > 2 * MR_HTML_SCRIPT_TAG_COMMENT2) return FALSE;
  const BYTE h = static_cast<BYTE>((m + 1) / 2);
  if (m % 2 == 0) return h != MR_HTML_LINE_COMMENT1 && h != MR_HTML_LINE_COMMENT2;
  return h == MR_HTML_TEXT || h >= MR_HTML_SCRIPT;
}

BYTE ClientSub(BYTE nGeneral) {
  return static_cast<BYTE>(MR_EMB_CLIENT_CODE - 2 + 2 * nGeneral);
}
BYTE ServerSub(BYTE nGeneral) {
  return static_cast<BYTE>(MR_EMB_SERVER_CODE - 1 + nGeneral);
}

}  // namespace

CMrSyntaxHtmlEmbedded::CMrSyntaxHtmlEmbedded(int nOwner, BOOL bInitDefaults)
    : CMrSyntax(nOwner, MIREL_SYNTAX_HTML_EMBEDDED) {
  MrInitExtraStyles(htmlStyles);
  MrInitExtraStyles(defaultHtmlStyles);
  MrInitExtraStyles(clientStyles);
  MrInitExtraStyles(defaultClientStyles);
  if (bInitDefaults) InitDefaults();
}

void CMrSyntaxHtmlEmbedded::CopyFrom(const CMrSyntax& other) {
  CopyCommonFrom(other);
  const auto* pOther = dynamic_cast<const CMrSyntaxHtmlEmbedded*>(&other);
  if (pOther == nullptr) return;
  htmlDef = pOther->htmlDef;
  clientDef = pOther->clientDef;
  for (int i = 0; i < MAX_SYNTAX_STYLE; ++i) {
    htmlStyles[i] = pOther->htmlStyles[i];
    clientStyles[i] = pOther->clientStyles[i];
  }
}

void CMrSyntaxHtmlEmbedded::InitDefaults() {
  def.delimiters = std::string(MR_SYNTAX_DEFAULT_DELIMITERS);
  htmlDef.delimiters = std::string(MR_SYNTAX_DEFAULT_DELIMITERS);
  clientDef.delimiters = std::string(MR_SYNTAX_DEFAULT_DELIMITERS);
}

void CMrSyntaxHtmlEmbedded::SetHtmlStyleColors(const MIREL_SYNTAX_STYLE* pStyles) {
  MrTableSetColors(htmlStyles, pStyles);
}

void CMrSyntaxHtmlEmbedded::SetScriptStyleColors(const MIREL_SYNTAX_STYLE* pStyles) {
  MrTableSetColors(clientStyles, pStyles);
}

void CMrSyntaxHtmlEmbedded::SetDefinition(const MIREL_SYNTAX_INFO& server,
                                          const MIREL_SYNTAX_COLORS& serverColors,
                                          const MIREL_SYNTAX_INFO& html,
                                          const MIREL_SYNTAX_COLORS& htmlColors,
                                          const MIREL_SYNTAX_INFO& client,
                                          const MIREL_SYNTAX_COLORS& clientColors) {
  def.Assign(server, TRUE);
  htmlDef.Assign(html, FALSE);
  clientDef.Assign(client, FALSE);
  ApplyColors(serverColors, styles);
  ApplyColors(htmlColors, htmlStyles);
  ApplyColors(clientColors, clientStyles);
}

void CMrSyntaxHtmlEmbedded::GetStyleColor(int nStyle, COLORREF* pcrFore, COLORREF* pcrBack) const {
  if (InTable(nStyle, MIREL_STYLE_HTML)) {
    MrTableStyleColor(htmlStyles, nStyle - MIREL_STYLE_HTML, pcrFore, pcrBack);
  } else if (InTable(nStyle, MIREL_STYLE_SCRIPT)) {
    MrTableStyleColor(clientStyles, nStyle - MIREL_STYLE_SCRIPT, pcrFore, pcrBack);
  } else {
    CMrSyntax::GetStyleColor(nStyle, pcrFore, pcrBack);
  }
}

void CMrSyntaxHtmlEmbedded::GetStyleName(int nStyle, char* pszName, int nSize) const {
  if (InTable(nStyle, MIREL_STYLE_HTML)) {
    MrTableStyleName(htmlStyles, nStyle - MIREL_STYLE_HTML, pszName, nSize);
  } else if (InTable(nStyle, MIREL_STYLE_SCRIPT)) {
    MrTableStyleName(clientStyles, nStyle - MIREL_STYLE_SCRIPT, pszName, nSize);
  } else {
    CMrSyntax::GetStyleName(nStyle, pszName, nSize);
  }
}

int CMrSyntaxHtmlEmbedded::ParseParagraph(CMirelDoc* pDoc, int nLine, const MIREL_LINE_TABLE* pAltLines) {
  MrParaFrame f;
  CMrSyntaxText t(nullptr, 0, 0, MIREL_ENCODING_ANSI);
  if (!BeginParagraph(pDoc, nLine, pAltLines, f, &t)) return f.nPara;

  // States the end rule never stores restart at the initial ones.
  const BYTE m = IsStartState(f.nStartState) ? f.nStartState : 1;
  BYTE nClient = f.nStartSubState;
  if (nClient < MR_EMB_CLIENT_CODE || nClient > ClientSub(MR_GEN_BLOCK_COMMENT2) || nClient % 2 != 0) {
    nClient = MR_EMB_CLIENT_CODE;
  }
  BYTE nServer = f.nStartSubState2;
  if (nServer < MR_EMB_SERVER_CODE || nServer > ServerSub(MR_GEN_BLOCK_COMMENT2))
    nServer = MR_EMB_SERVER_CODE;

  MrHtmlScan scan;
  scan.nState = static_cast<BYTE>((m + 1) / 2);
  scan.nWordStart = f.nStart;
  scan.script.nState = static_cast<BYTE>((nClient - ClientSub(0)) / 2);
  scan.script.nWordStart = f.nStart;
  scan.bInServer = m % 2 == 0;
  scan.server.nState = static_cast<BYTE>(nServer - ServerSub(0));
  scan.server.nWordStart = f.nStart;
  int nStartStyle = MIREL_STYLE_HTML + MrHtmlStateStyle(scan.nState);
  if (scan.bInServer) {
    nStartStyle = CMrSyntaxGeneral::StyleOfState(scan.server.nState);
  } else if (scan.nState == MR_HTML_SCRIPT) {
    nStartStyle = MIREL_STYLE_SCRIPT + CMrSyntaxGeneral::StyleOfState(scan.script.nState);
  }
  AddRun(f, f.nStart, nStartStyle);

  const MrHtmlDefs defs{&htmlDef, MIREL_STYLE_HTML, &clientDef, &def};
  BOOL bStop = FALSE;
  for (DWORD nPos = f.nStart; nPos < f.nEnd && !bStop;) nPos = StepHtml(defs, t, f, scan, nPos, &bStop);

  const BYTE h = scan.nState;
  BYTE nEnd = 1;
  BYTE nEndClient = MR_EMB_CLIENT_CODE;
  BYTE nEndServer = MR_EMB_SERVER_CODE;
  if (scan.bInServer) {
    nEnd = static_cast<BYTE>(2 * h);
    nEndClient = ClientSub(scan.script.nState);
    nEndServer = ServerSub(GeneralEndState(def, t, f, scan.server.nState));
  } else if (h == MR_HTML_SCRIPT) {
    nEnd = static_cast<BYTE>(2 * h - 1);
    nEndClient = ClientSub(GeneralEndState(clientDef, t, f, scan.script.nState));
  } else if (h == MR_HTML_LINE_COMMENT1 || h == MR_HTML_LINE_COMMENT2) {
    if (GeneralEndState(htmlDef, t, f, MR_GEN_LINE_COMMENT1) != MR_GEN_TEXT) {
      nEnd = static_cast<BYTE>(2 * h - 1);
      nEndClient = ClientSub(scan.script.nState);
      nEndServer = ServerSub(scan.server.nState);
    }
  } else if (h >= MR_HTML_TEXT_COMMENT1) {
    nEnd = static_cast<BYTE>(2 * h - 1);
  }
  EndParagraph(f, nEnd, nEndClient, nEndServer);
  return f.nPara;
}
