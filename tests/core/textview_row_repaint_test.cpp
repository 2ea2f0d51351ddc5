// Typing and Backspace inside a paragraph repaint that paragraph's rows only;
// the rest of the back buffer is kept. After every command of a series the
// client area must equal, pixel by pixel, what a full repaint paints.
#include <random>
#include <string>
#include <vector>

#include "screen_pixels.h"
#include "textview_paint_fixture.h"

namespace {

using mirel_paint_test::TextViewPaint;

// Modifier bits of the key command.
constexpr LPARAM kShift = 0x04;
constexpr LPARAM kCtrl = 0x08;

struct RepaintCase {
  const char* name;
  int nWrapMode;
  BOOL bLineNo;
  int nActiveLineType;
  BOOL bRuler;
};

class TextViewRowRepaint : public TextViewPaint, public ::testing::WithParamInterface<RepaintCase> {
 protected:
  std::vector<DWORD> Pixels() { return mirel_test::BitmapPixels(edit->hBackBitmap, cx, cy); }

  // The paint the pending request asks for (through the update region, as
  // the system sends it), then a full one: both must leave the same back
  // buffer and the same screen.
  void ExpectSameAsFullRepaint(const char* step) {
    UpdateWindow(hWnd);
    ReadClientSize();
    const std::vector<DWORD> buffer = Pixels();
    const std::vector<DWORD> screen = mirel_test::ScreenPixels(hWnd);
    // The column guide is drawn on the screen only.
    if (doc.nActiveLineType != 6 && doc.nActiveLineType != 7) {
      EXPECT_EQ(mirel_test::CountDiffering(buffer, screen), 0u) << step << ": the screen shows the buffer";
    }
    InvalidateRect(hWnd, nullptr, FALSE);
    Paint();
    EXPECT_EQ(mirel_test::CountDiffering(buffer, Pixels()), 0u) << step << ": back buffer";
    EXPECT_EQ(mirel_test::CountDiffering(screen, mirel_test::ScreenPixels(hWnd)), 0u) << step << ": screen";
  }

  void Char(char ch) { SendMessageA(hWnd, WM_CHAR, static_cast<unsigned char>(ch), 1); }
  void Key(UINT nKey) { SendMessageA(hWnd, WM_KEYDOWN, nKey, 1); }
};

TEST_P(TextViewRowRepaint, EveryStepPaintsWhatAFullRepaintPaints) {
  const RepaintCase& c = GetParam();
  ShowWindow(hParent, SW_SHOWNA);  // only a shown window collects invalid area
  SetFocus(hWnd);
  Open("alpha beta gamma\r\n(delta) [epsilon]\r\n\r\nzeta eta theta iota kappa lambda mu\r\nnu");
  doc.SetWordWrap(c.nWrapMode);
  doc.EnableLineNo(c.bLineNo);
  doc.SetActiveLineType(c.nActiveLineType);
  if (c.bRuler) doc.EnableRuler(TRUE);
  InvalidateRect(hWnd, nullptr, FALSE);
  Paint();
  struct Step {
    const char* what;
    int nPara;  // the caret goes to this paragraph and column first; -1: stays
    int nColumn;
    char ch;  // 0: the key instead
    UINT nKey;
  };
  const Step kSteps[] = {
      {"type at the start", 0, 0, 'x', 0},
      {"type in the middle", 0, 8, 'y', 0},
      {"type before a bracket", 1, 0, '(', 0},
      {"Backspace inside a line", -1, 0, 0, VK_BACK},
      {"type on an empty line", 2, 0, 'z', 0},
      {"Backspace joining two lines", 3, 0, 0, VK_BACK},
      {"Enter splitting a line", 0, 5, 0, VK_RETURN},
      {"type at the end of the text", 4, 1 << 20, 'w', 0},
      {"type at the end of the long line", 3, 1 << 20, 'v', 0},
      {"more", -1, 0, 'v', 0},
      {"more", -1, 0, 'v', 0},
      {"more", -1, 0, 'v', 0},
      {"more", -1, 0, 'v', 0},
      {"more", -1, 0, 'v', 0},
      {"more", -1, 0, 'v', 0},
      {"more", -1, 0, 'v', 0},
      {"Backspace", -1, 0, 0, VK_BACK},
      {"Backspace", -1, 0, 0, VK_BACK},
      {"Backspace", -1, 0, 0, VK_BACK},
      {"Backspace", -1, 0, 0, VK_BACK},
  };
  for (const Step& step : kSteps) {
    if (step.nPara >= 0) {
      doc.Goto(step.nPara, step.nColumn);
      ExpectSameAsFullRepaint("caret placed");
    }
    if (step.ch != 0) {
      Char(step.ch);
    } else {
      Key(step.nKey);
    }
    ExpectSameAsFullRepaint(step.what);
  }
  // Long text on one row: many characters in a row keep every pixel right.
  for (int i = 0; i < 40; ++i) {
    Char(static_cast<char>('a' + i % 26));
    ExpectSameAsFullRepaint("typing a long row");
  }
}

INSTANTIATE_TEST_SUITE_P(Layouts, TextViewRowRepaint,
                         ::testing::Values(RepaintCase{"plain", MIREL_WRAP_NONE, FALSE, 0, FALSE},
                                           RepaintCase{"numbered", MIREL_WRAP_NONE, TRUE, 0, FALSE},
                                           RepaintCase{"activeRow", MIREL_WRAP_NONE, TRUE, 4, FALSE},
                                           RepaintCase{"columnGuide", MIREL_WRAP_NONE, FALSE, 6, FALSE},
                                           RepaintCase{"ruler", MIREL_WRAP_NONE, TRUE, 0, TRUE},
                                           RepaintCase{"wrapped", MIREL_WRAP_CHAR, TRUE, 0, FALSE},
                                           RepaintCase{"wrappedActiveRow", MIREL_WRAP_WORD, FALSE, 5, TRUE}),
                         [](const ::testing::TestParamInfo<RepaintCase>& info) { return info.param.name; });

// The shortcut is taken where it may be: one row requested for a character
// typed inside a line; every visible row once anything else is pending or
// the paragraph count changes.
TEST_F(TextViewPaint, TypingInsideALineRequestsItsRowOnly) {
  SetFocus(hWnd);
  Open("one\r\ntwo\r\nthree\r\nfour");
  Paint();
  doc.SetSel(6, 6, TRUE);  // inside "two"
  SendMessageA(hWnd, WM_PAINT, 0, 0);
  SendMessageA(hWnd, WM_CHAR, 'x', 1);
  EXPECT_EQ(edit->nRepaintTag, REPAINT_TAG_RANGE);
  EXPECT_EQ(edit->nDirtyFirst, 1);
  EXPECT_EQ(edit->nDirtyLast, 1);
  SendMessageA(hWnd, WM_PAINT, 0, 0);

  SendMessageA(hWnd, WM_KEYDOWN, VK_RETURN, 1);  // a new paragraph moves the rows below
  EXPECT_EQ(edit->nDirtyFirst, 0);
  EXPECT_GE(edit->nDirtyLast, 4);
  SendMessageA(hWnd, WM_PAINT, 0, 0);

  doc.UpdateAllViews(REPAINT_TAG_ALL, 0, 0);  // already pending: stays every row
  SendMessageA(hWnd, WM_CHAR, 'y', 1);
  EXPECT_EQ(edit->nRepaintTag, REPAINT_TAG_ALL);
  EXPECT_EQ(edit->nDirtyFirst, 0);
}

}  // namespace

namespace {

// Random series of caret moves, selections, typing (brackets among it),
// Backspace and Ctrl+Backspace, overwrite, virtual space, Tab and bookmarks
// over a text of single- and double-byte characters taller than the window,
// in ANSI, UTF-8 and UTF-16, with random display options in every wrap mode: after each command the screen
// and the back buffer equal a full repaint, and the paragraph-only repaint is taken now and then.
class TextViewRowRepaintRandom : public TextViewRowRepaint {};

TEST_F(TextViewRowRepaintRandom, RandomCommandsPaintWhatAFullRepaintPaints) {
  ShowWindow(hParent, SW_SHOWNA);
  SetFocus(hWnd);
  std::mt19937 rng(777);
  std::string text;
  for (int i = 0; i < 30; ++i) {
    text += i % 3 == 0 ? "\t(x) " : "w ";
    for (int k = static_cast<int>(rng() % 30); k > 0; --k) text += rng() % 4 ? "ab" : "\xB0\xA1";
    text += i % 5 == 0 ? " [y]\r\n" : "\r\n";
  }
  int nParagraphOnly = 0;
  for (int nMode = MIREL_WRAP_NONE; nMode <= MIREL_WRAP_WORD_DBCS; ++nMode) {
    // Double-byte characters of code page 949, kept as they are or converted.
    static const int kEncodings[] = {MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF8, MIREL_ENCODING_UTF16LE,
                                     MIREL_ENCODING_ANSI};
    doc.nCodePage = 949;
    Open(text, kEncodings[nMode]);
    doc.SetWordWrap(nMode);
    doc.EnableLineNo(rng() % 2);
    doc.SetShowMatchingBrace(rng() % 2);
    doc.SetActiveLineType(static_cast<int>(rng() % 6));
    doc.EnableVirtualSpace(rng() % 2);
    doc.EnableIndicatorMargin(rng() % 2);
    doc.EnableRuler(rng() % 2);
    InvalidateRect(hWnd, nullptr, FALSE);
    Paint();
    static const char kTyped[] = "ab ()[]{}x";
    for (int step = 0; step < 70; ++step) {
      const DWORD nLen = doc.GetContentsSize();
      const int op = static_cast<int>(rng() % 16);
      const std::string what =
          "mode " + std::to_string(nMode) + " step " + std::to_string(step) + " op " + std::to_string(op);
      if (op == 0) {
        const DWORD a = static_cast<DWORD>(rng() % (nLen + 1));
        doc.SetSel(a, std::min<DWORD>(a + static_cast<DWORD>(rng() % 8), nLen), FALSE);
      } else if (op == 1) {
        doc.Goto(static_cast<int>(rng() % 30), static_cast<int>(rng() % 40));
      } else if (op <= 6) {
        Char(kTyped[rng() % (sizeof(kTyped) - 1)]);
      } else if (op <= 8) {
        Key(VK_BACK);
      } else if (op == 9) {
        SendMessageA(hWnd, WM_MIREL_KEYCOMMAND, VK_BACK, kCtrl);
      } else if (op == 10) {
        SendMessageA(hWnd, WM_MIREL_KEYCOMMAND, VK_LEFT, kShift);
      } else if (op == 11) {
        Key(VK_INSERT);
      } else if (op == 12) {
        Key(rng() % 2 ? VK_DOWN : VK_UP);
      } else if (op == 13) {
        doc.ToggleBookmark(1, 0, nullptr);
      } else if (op == 14) {
        Key(VK_END);
        Key(VK_RIGHT);
      } else {
        Key(VK_TAB);
      }
      if (edit->nRepaintTag == REPAINT_TAG_RANGE && edit->nDirtyLast - edit->nDirtyFirst < 3)
        ++nParagraphOnly;
      UpdateWindow(hWnd);
      ReadClientSize();
      const std::vector<DWORD> buffer = Pixels();
      const std::vector<DWORD> screen = mirel_test::ScreenPixels(hWnd);
      InvalidateRect(hWnd, nullptr, FALSE);
      Paint();
      ASSERT_EQ(mirel_test::CountDiffering(buffer, Pixels()), 0u) << what << ": back buffer";
      ASSERT_EQ(mirel_test::CountDiffering(screen, mirel_test::ScreenPixels(hWnd)), 0u) << what << ": screen";
    }
  }
  EXPECT_GT(nParagraphOnly, 20);
}

}  // namespace
