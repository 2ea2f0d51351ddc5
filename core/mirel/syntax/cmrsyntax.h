// The syntax object of a document: per-paragraph colour runs with the lexer
// state reached at each paragraph's end, the lazy parse drivers, the style
// tables and the language definition. The lexers derive from it and fill
// the runs in ParseParagraph.
#pragma once

#include <windows.h>

#include <vector>

#include "mirel/syntax/cmrsyntaxdef.h"
#include "mirel/syntax/cmrsyntaxtext.h"
#include "mirelctrl/mirelsyntax.h"

class CMirelDoc;
struct MIREL_LINE;
struct MrHtmlDefs;
struct MrHtmlScan;

// Styles in one table.
constexpr int MAX_SYNTAX_STYLE = 19;

// First style of each table: the base table, the HTML table of the embedded
// kind and the script table of both HTML kinds.
constexpr int MIREL_STYLE_BASE = 0;
constexpr int MIREL_STYLE_HTML = 19;
constexpr int MIREL_STYLE_SCRIPT = 38;

// Style numbers inside a table.
constexpr int MIREL_STYLE_END = 0;  // terminator of a run list
constexpr int MIREL_STYLE_TEXT = 1;
constexpr int MIREL_STYLE_STRING1 = 2;
constexpr int MIREL_STYLE_STRING2 = 3;
constexpr int MIREL_STYLE_NUMBER = 4;
constexpr int MIREL_STYLE_COMMENT1 = 5;
constexpr int MIREL_STYLE_COMMENT2 = 6;
constexpr int MIREL_STYLE_TAG = 9;
constexpr int MIREL_STYLE_SCRIPT_SECTION = 10;
constexpr int MIREL_STYLE_KEYWORD1 = 11;  // keyword lists 1 to 8: 11 to 18

// Records and runs grow in these steps.
constexpr DWORD MIREL_PARA_INFO_STEP = 128;
constexpr DWORD MIREL_COLOR_RUN_STEP = 4;

// Colour of a record not yet given one (left in the extra HTML tables).
constexpr COLORREF MIREL_CLR_UNSET = 0xFFFFFFFEu;

struct MIREL_SYNTAX_STYLE {
  char szName[32];  // display name, code page 949
  COLORREF crFore;  // MIREL_CLR_AUTO: the view's text colour
  COLORREF crBack;  // MIREL_CLR_AUTO: the view's background
};

// One run: its style holds from nOffset (bytes from the paragraph's nStart)
// to the next run's offset. A parsed list ends with a style-0 run at the
// paragraph's end; runs past it are stale.
struct MIREL_COLOR_RUN {
  LONG nOffset;
  LONG nStyle;
};

struct MIREL_PARA_INFO {
  MIREL_COLOR_RUN* pRuns;  // owned by the syntax object; NULL until the first run
  DWORD nStart;            // text offset of the paragraph when it was parsed
  DWORD nRunAlloc;
  BYTE bParsed;
  BYTE nEndState;
  BYTE nEndSubState;
  BYTE nEndSubState2;
};

// A line table other than the document's (printing lays out its own rows).
struct MIREL_LINE_TABLE {
  const MIREL_LINE* pLines;
  int nLineCount;
};

// What the common frame of ParseParagraph hands to a lexer.
struct MrParaFrame {
  int nPara = -1;
  MIREL_PARA_INFO* pInfo = nullptr;
  DWORD nStart = 0;  // first byte of the paragraph
  DWORD nEnd = 0;    // end of its text before the line break (whole units)
  BYTE nStartState = 0;
  BYTE nStartSubState = 0;
  BYTE nStartSubState2 = 0;
  int nRuns = 0;  // runs written so far
};

// Working values of the keyword-language state machine (states 1 to 7 of
// cmrsyntaxgeneral.h): the state and where the current word started.
struct MrGeneralScan {
  BYTE nState = 1;
  DWORD nWordStart = 0;
};

class CMrSyntax {
 public:
  CMrSyntax() : CMrSyntax(0, MIREL_SYNTAX_NONE) {}
  CMrSyntax(int nOwner, int nSyntaxType);
  virtual ~CMrSyntax();
  CMrSyntax(const CMrSyntax&) = delete;
  CMrSyntax& operator=(const CMrSyntax&) = delete;

  // Copies the definition and the current base styles of another object of
  // the same kind (the HTML kinds add their extra tables).
  virtual void CopyFrom(const CMrSyntax& other) { CopyCommonFrom(other); }
  virtual void CopyCommonFrom(const CMrSyntax& other);

  // nKind 1: the delimiter set, 2: the indent-after word, 3: the unindent
  // word (NULL when undefined); other kinds an empty string; kind 0 NULL.
  virtual const char* GetSyntaxString(int nKind) const;

  // The record of a paragraph; NULL past the records (callers then paint
  // the paragraph as plain text).
  virtual MIREL_PARA_INFO* GetParaInfo(int nPara);

  // Lexes the paragraph that starts at display line nLine unless its record
  // is parsed; returns its paragraph number, or -1 for a line outside the
  // table. The base kind lexes nothing.
  virtual int ParseParagraph(CMirelDoc* pDoc, int nLine, const MIREL_LINE_TABLE* pAltLines);

  virtual void GetDefaultStyleColors(MIREL_SYNTAX_STYLE* pStyles) const;
  // The colours of a style; numbers outside the tables get style 0's.
  virtual void GetStyleColor(int nStyle, COLORREF* pcrFore, COLORREF* pcrBack) const;
  // Copies the style's name (at most nSize bytes with the terminator).
  virtual void GetStyleName(int nStyle, char* pszName, int nSize) const;
  virtual void SetStyleColors(const MIREL_SYNTAX_STYLE* pStyles);
  virtual void SetStyleColor(int nStyle, COLORREF crFore, COLORREF crBack);
  virtual void InitDefaults() {}

  // The text changed from paragraph nPara on.
  virtual void InvalidateFrom(int nPara);

  // Parses the paragraphs up to the one of display line nLine, starting
  // after the nearest parsed one.
  virtual void ParseUpTo(CMirelDoc* pDoc, int nLine);

  // Parses every paragraph; returns the line count.
  int ParseAll(CMirelDoc* pDoc, const MIREL_LINE_TABLE* pAltLines);
  void InvalidateAll();
  void ResetParaInfo(BOOL bReallocate);

  // Appends a run at text position nPos, or replaces the last one when it
  // starts there; a run of the last run's style is not repeated.
  void AddRun(MrParaFrame& frame, DWORD nPos, int nStyle);

  // Writes a host colour record into a table of 19 styles.
  static void ApplyColors(const MIREL_SYNTAX_COLORS& colors, MIREL_SYNTAX_STYLE* pTable);

  // 0x.. with hex digits, or decimal digits; the word from nStart to nLast.
  static BOOL IsNumber(const CMrSyntaxText& t, DWORD nStart, DWORD nLast);

  int GetOwner() const { return nOwner; }
  int GetSyntaxType() const { return nSyntaxType; }
  DWORD GetParaInfoCapacity() const { return nInfoAlloc; }

  // The base definition; the document's indentation reads its case flag.
  CMrSyntaxDef def;
  MIREL_SYNTAX_STYLE styles[MAX_SYNTAX_STYLE];
  MIREL_SYNTAX_STYLE defaultStyles[MAX_SYNTAX_STYLE];

 protected:
  // Common frame of every lexer: finds the paragraph of nLine, its text and
  // start states. FALSE when nothing is to be lexed (not the paragraph's first
  // line, already parsed, no text); frame.nPara is the result either way.
  BOOL BeginParagraph(CMirelDoc* pDoc, int nLine, const MIREL_LINE_TABLE* pAltLines, MrParaFrame& frame,
                      CMrSyntaxText* pText);
  // Marks the record parsed, ends the runs and stores the end states.
  void EndParagraph(MrParaFrame& frame, BYTE nState, BYTE nSubState, BYTE nSubState2);

  // One step of the keyword-language state machine at nPos on the given
  // definition, with styles counted from nStyleBase (0 for the base table,
  // MIREL_STYLE_SCRIPT for a script table). Returns the next position; sets
  // *pbRestIsComment when a line comment starts (the rest of the paragraph is
  // comment). The HTML kinds run their script bodies through it.
  DWORD StepGeneral(const CMrSyntaxDef& d, const CMrSyntaxText& t, MrParaFrame& frame, MrGeneralScan& scan,
                    DWORD nPos, int nStyleBase, BOOL* pbRestIsComment);
  // The end state of a paragraph the state machine left in nState: block
  // comments always carry on, strings and line comments only after the
  // continuation character, everything else ends in normal text.
  static BYTE GeneralEndState(const CMrSyntaxDef& d, const CMrSyntaxText& t, const MrParaFrame& frame,
                              BYTE nState);

  // One step of the HTML machine both HTML kinds share
  // (cmrsyntaxhtmlscan.cpp). Returns the next position; sets *pbStop when an
  // HTML line comment makes the rest of the paragraph comment.
  DWORD StepHtml(const MrHtmlDefs& defs, const CMrSyntaxText& t, MrParaFrame& frame, MrHtmlScan& scan,
                 DWORD nPos, BOOL* pbStop);

  // Makes room for records up to nPara; FALSE when it cannot.
  BOOL EnsureParaInfo(DWORD nPara);

  // The paragraph number of a display line, or -1.
  static int ParagraphOfLine(CMirelDoc* pDoc, int nLine, const MIREL_LINE_TABLE* pAltLines);

 private:
  int nOwner;
  int nSyntaxType;
  DWORD nInfoAlloc = 0;
  MIREL_PARA_INFO* pInfo = nullptr;
};

// Makes the kind of the given type (NULL for a type without a kind) and
// deletes one.
CMrSyntax* CreateSyntax(int nOwner, int nSyntaxType, BOOL bInitDefaults);
void DeleteSyntax(CMrSyntax* pSyntax);

// A style run of a paragraph at its absolute text position.
struct MrStyleRun {
  DWORD nPos;
  LONG nStyle;
};

// The parsed runs of a paragraph as absolute text positions, in order, up to
// the terminating style-0 run; empty (plain text) when the paragraph has no
// parsed record.
std::vector<MrStyleRun> MrParagraphStyleRuns(CMrSyntax* pSyntax, long long nPara);
