// The HTML lexer: text, tags and comments on the base (HTML) definition,
// script bodies on a script definition coloured with the script table
// (styles 38 to 56).
#pragma once

#include "mirel/syntax/cmrsyntax.h"

// Script sub-states (a record's nEndSubState): the keyword-language state
// plus this.
constexpr BYTE MR_HTML_SUB_BASE = 17;
constexpr BYTE MR_HTML_SUB_CODE = 18;

class CMrSyntaxHtml : public CMrSyntax {
 public:
  CMrSyntaxHtml(int nOwner, BOOL bInitDefaults);

  void CopyFrom(const CMrSyntax& other) override;
  int ParseParagraph(CMirelDoc* pDoc, int nLine, const MIREL_LINE_TABLE* pAltLines) override;
  void GetStyleColor(int nStyle, COLORREF* pcrFore, COLORREF* pcrBack) const override;
  void GetStyleName(int nStyle, char* pszName, int nSize) const override;
  void InitDefaults() override;
  virtual void SetScriptStyleColors(const MIREL_SYNTAX_STYLE* pStyles);

  // Installs the HTML definition into the base definition and table and the
  // script definition into the script ones.
  void SetDefinition(const MIREL_SYNTAX_INFO& html, const MIREL_SYNTAX_COLORS& htmlColors,
                     const MIREL_SYNTAX_INFO& script, const MIREL_SYNTAX_COLORS& scriptColors);

  CMrSyntaxDef scriptDef;
  MIREL_SYNTAX_STYLE scriptStyles[MAX_SYNTAX_STYLE];
  MIREL_SYNTAX_STYLE defaultScriptStyles[MAX_SYNTAX_STYLE];
};
