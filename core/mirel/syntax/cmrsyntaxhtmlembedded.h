// The HTML lexer for pages with server-script sections: the base definition
// and table are the server script's (styles 0 to 18), HTML has its own
// definition and table (19 to 37), client scripts theirs (38 to 56).
#pragma once

#include "mirel/syntax/cmrsyntax.h"

// Client sub-states (nEndSubState) are 32 plus twice the keyword-language
// state; server sub-states (nEndSubState2) 48 plus it.
constexpr BYTE MR_EMB_CLIENT_CODE = 34;
constexpr BYTE MR_EMB_SERVER_CODE = 49;

class CMrSyntaxHtmlEmbedded : public CMrSyntax {
 public:
  CMrSyntaxHtmlEmbedded(int nOwner, BOOL bInitDefaults);

  void CopyFrom(const CMrSyntax& other) override;
  int ParseParagraph(CMirelDoc* pDoc, int nLine, const MIREL_LINE_TABLE* pAltLines) override;
  void GetStyleColor(int nStyle, COLORREF* pcrFore, COLORREF* pcrBack) const override;
  void GetStyleName(int nStyle, char* pszName, int nSize) const override;
  void InitDefaults() override;
  virtual void SetHtmlStyleColors(const MIREL_SYNTAX_STYLE* pStyles);
  virtual void SetScriptStyleColors(const MIREL_SYNTAX_STYLE* pStyles);

  void SetDefinition(const MIREL_SYNTAX_INFO& server, const MIREL_SYNTAX_COLORS& serverColors,
                     const MIREL_SYNTAX_INFO& html, const MIREL_SYNTAX_COLORS& htmlColors,
                     const MIREL_SYNTAX_INFO& client, const MIREL_SYNTAX_COLORS& clientColors);

  CMrSyntaxDef htmlDef;
  CMrSyntaxDef clientDef;
  MIREL_SYNTAX_STYLE htmlStyles[MAX_SYNTAX_STYLE];
  MIREL_SYNTAX_STYLE defaultHtmlStyles[MAX_SYNTAX_STYLE];
  MIREL_SYNTAX_STYLE clientStyles[MAX_SYNTAX_STYLE];
  MIREL_SYNTAX_STYLE defaultClientStyles[MAX_SYNTAX_STYLE];
};
