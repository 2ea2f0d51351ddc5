// Stepping back one character agrees, at every position, with a walk forward
// from the start of the row: texts full of lead bytes, stray UTF-8
// continuation bytes, line ends and half units, in every wrap mode.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "mirel/cmireldoc.h"
#include "positions_fixture.h"

namespace {

using mirel_test::TextDoc;

// The character that ends at or holds nPos - 1, found from the row start
// (what GetPrevCharPos answers), and the last character that ends at or
// before nPos (GetPrevCharPosInParagraph), by plain forward walks.
struct Reference {
  DWORD nPrev;
  DWORD nPrevInParagraph;
};

Reference Walk(CMirelDoc& doc, DWORD nPos) {
  const BYTE* p = doc.pContents->GetText(0);
  const DWORD nLen = doc.pContents->GetTextLength();
  auto len = [&](DWORD c) { return doc.GetCharLength(p, c, nLen, doc.nFileEncoding, doc.nCodePage); };
  int nRow = doc.GetLineFromPos(nPos);
  while (nRow > 0 && doc.pLines[nRow].nStart >= nPos) --nRow;
  DWORD c = std::min(doc.pLines[nRow].nStart, nPos);
  while (c < nPos && len(c) != 0 && c + len(c) < nPos) c += len(c);
  Reference ref{c, 0};
  // Within the paragraph: the rows from the one holding nPos back to the first.
  int r = doc.GetLineFromPos(nPos);
  const int nFirst = r - static_cast<int>(std::min<DWORD>(doc.pLines[r].nSubLine, r));
  if (nPos <= doc.pLines[nFirst].nStart) {
    ref.nPrevInParagraph = nFirst > 0 ? doc.pLines[nFirst - 1].nStart + doc.pLines[nFirst - 1].nLen : 0;
    return ref;
  }
  while (r > nFirst && doc.pLines[r].nStart >= nPos) --r;
  for (;; --r) {
    BOOL bFound = FALSE;
    for (DWORD q = doc.pLines[r].nStart; q < nPos && len(q) != 0; q += len(q)) {
      if (q + len(q) <= nPos) {
        ref.nPrevInParagraph = q;
        bFound = TRUE;
      }
    }
    if (bFound) return ref;
    if (r == nFirst) {
      ref.nPrevInParagraph = nFirst > 0 ? doc.pLines[nFirst - 1].nStart + doc.pLines[nFirst - 1].nLen : 0;
      return ref;
    }
  }
}

struct PrevCase {
  const char* pszName;
  int nEncoding;
  int nCodePage;
  std::string text;
};

TEST(PositionsPrevChar, EveryPositionAgreesWithAWalkFromTheRowStart) {
  const std::string kLeadRun = std::string(9, '\x81') +
                               "[\xB0\xA1"
                               "a\x81\r\n\x81\n" +
                               std::string(7, '\xB0') + "]";
  const std::vector<PrevCase> cases = {
      {"double-byte", MIREL_ENCODING_ANSI, 949, "ab\xB0\xA1(c)\r\n\xB0\xA1\xB0\xA1]x\r\r\n\n" + kLeadRun},
      {"single-byte", MIREL_ENCODING_ANSI, 1252, "ab\xE9(c)\r\n\xFF\r\r\n\nz"},
      {"utf-8", MIREL_ENCODING_UTF8, 0,
       "a\xC3\xA9\xE4\xB8\x80\xF0\x9F\x98\x80\r\n\x80\x80\x80\x80\x80(\xE4\xB8\r\n\xF4\x90\x80\x80\xC3\n]"},
      // Surrogate pairs, lone halves, and a pair in reverse order.
      {"utf-16", MIREL_ENCODING_UTF16LE, 0,
       mirel_test::Utf16Bytes(u"a(\x4E00)\r\n\xD83D\xDE00\r\r\n\nb\xD83D\xD83D\xDE00\xDE00"
                              u"\xDE00\xD83D\r\xD840\xDC00\xD840")},
      {"binary", MIREL_ENCODING_BINARY, 0, "a\r\n\x81\x81[\r]"},
  };
  for (const PrevCase& c : cases) {
    for (int nWrap : {MIREL_WRAP_NONE, MIREL_WRAP_CHAR, MIREL_WRAP_WORD}) {
      SCOPED_TRACE(std::string(c.pszName) + " wrap " + std::to_string(nWrap));
      TextDoc t(c.nEncoding, nWrap, c.nCodePage);
      ASSERT_TRUE(t.SetText(c.text));
      for (DWORD nPos = 1; nPos <= t.Length(); ++nPos) {
        const Reference ref = Walk(t.doc, nPos);
        EXPECT_EQ(t.doc.GetPrevCharPos(nPos), ref.nPrev) << "at " << nPos;
        EXPECT_EQ(t.doc.GetPrevCharPosInParagraph(nPos), ref.nPrevInParagraph) << "at " << nPos;
      }
    }
  }
}

}  // namespace
