// Copy, cut, append and paste in the text view, in every text encoding,
// against the clipboard with its text-format conversions; untrusted blocks
// from other programs; the edit window's messages, keys and commands.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "clipboard_test_util.h"
#include "doc_test_util.h"
#include "textio_test_util.h"
#include "textview_test_util.h"

using mirel_textio_test::Char;
using mirel_textio_test::InEncoding;
using mirel_textio_test::OffsetOf;
using mirel_textview_test::TextViewFixture;
using namespace mirel_clipboard_test;

namespace {

// "Ab HAN", CR LF, "GEUL", the smile, "z" in the encoding (949 cannot hold
// the smile).
std::vector<Char> SampleText(int nEncoding) {
  const std::vector<Char> text = mirel_textio_test::MixedText();
  return nEncoding == MIREL_ENCODING_ANSI ? mirel_textio_test::ThroughAnsi(text) : text;
}

// ASCII text in the encoding.
std::string AsciiIn(const std::string& ascii, int nEncoding) {
  std::vector<Char> text;
  for (char c : ascii) text.push_back(mirel_textio_test::Ascii(c));
  return InEncoding(text, nEncoding);
}

class ClipboardText : public TextViewFixture, public testing::WithParamInterface<int> {
 protected:
  void SetUp() override { TextViewFixture::SetUp(); }
  void TearDown() override {
    if (hWnd != nullptr) Clear(hWnd);
    TextViewFixture::TearDown();
  }
  // An edit window whose document holds the bytes in the encoding.
  void Open(int nEncoding, const std::string& bytes) {
    doc.nFileEncoding = static_cast<BYTE>(nEncoding);
    doc.nCodePage = 949;
    MakeWindow("");
    if (!bytes.empty()) {
      ASSERT_TRUE(doc.InsertContents(0, mirel_doc_test::Bytes(bytes), mirel_doc_test::Len(bytes), FALSE));
    }
    doc.undo.Reset();
    doc.SetModified(FALSE);
    PutCaret(0);
    doc.block.Reset(0, 0, FALSE);
  }
  // An edit window holding the sample text in the test's encoding.
  void OpenSample() {
    nEncoding = GetParam();
    text = SampleText(nEncoding);
    bytes = InEncoding(text, nEncoding);
    Open(nEncoding, bytes);
  }
  std::string Text() { return mirel_doc_test::TextOf(doc); }
  CMirel* Focus() { return &Mirel(); }
  // Caret, caret row and block agree with the rows.
  void ExpectCaretInStep() {
    EXPECT_EQ(doc.cli, doc.GetLineFromPos(static_cast<DWORD>(doc.nCaretPos)));
    EXPECT_FALSE(doc.block.IsNotEmpty());
    EXPECT_EQ(mirel_doc_test::RowsOf(doc), mirel_doc_test::RebuiltRows(doc));
  }
  int nEncoding = 0;
  std::vector<Char> text;  // the sample, and its bytes in the encoding
  std::string bytes;
};

// The clipboard form each encoding places: CF_TEXT holds the stored ANSI
// bytes; UTF-16 and UTF-8 text go as CF_UNICODETEXT; the control's own
// format follows with the stored bytes.
TEST_P(ClipboardText, CopyPlacesTheTextFormatThenTheBytesAndPasteRestoresThem) {
  OpenSample();
  const DWORD nFrom = OffsetOf(text, 1, nEncoding), nTo = OffsetOf(text, 8, nEncoding);
  doc.SetSel(nFrom, nTo, FALSE);
  ASSERT_EQ(doc.Copy(Focus()), 1);
  const std::vector<Char> part(text.begin() + 1, text.begin() + 8);
  const std::vector<UINT> placed = Placed(hWnd);
  ASSERT_FALSE(placed.empty());
  if (nEncoding == MIREL_ENCODING_ANSI) {
    EXPECT_EQ(placed.front(), static_cast<UINT>(CF_TEXT));
    EXPECT_EQ(ClipText(hWnd, CF_TEXT), mirel_textio_test::Cp949(part));
  } else {
    EXPECT_EQ(placed.front(), static_cast<UINT>(CF_UNICODETEXT));
    EXPECT_EQ(ClipText(hWnd, CF_UNICODETEXT), mirel_textio_test::LeBytes(mirel_textio_test::Units(part)));
  }
  ASSERT_GE(placed.size(), 3u);
  EXPECT_EQ(placed[1], BinaryFormat());
  EXPECT_EQ(Raw(hWnd, BinaryFormat()), BinaryBlock(InEncoding(part, nEncoding)));
  EXPECT_EQ(placed[2], BinarySourceFormat());
  EXPECT_EQ(Raw(hWnd, BinarySourceFormat()),
            BinarySourceBlock(static_cast<unsigned>(InEncoding(part, nEncoding).size()),
                              static_cast<unsigned>(nEncoding), nEncoding == MIREL_ENCODING_ANSI ? 949 : 0));

  // Pasted at the end: the same bytes again, as one undo step.
  doc.SetSel(doc.GetContentsSize(), doc.GetContentsSize(), FALSE);
  const std::string before = Text();
  ASSERT_EQ(doc.Paste(Focus()), 1);
  EXPECT_EQ(mirel_textio_test::Hex(Text()), mirel_textio_test::Hex(before + InEncoding(part, nEncoding)));
  EXPECT_EQ(doc.nCaretPos, static_cast<int>(Text().size()));
  ExpectCaretInStep();
  ASSERT_TRUE(doc.Undo(Focus()));
  EXPECT_EQ(Text(), before);
}

TEST_P(ClipboardText, CutRemovesTheSelectionAsOneUndoStepAndPasteReplacesASelection) {
  OpenSample();
  const DWORD nFrom = OffsetOf(text, 3, nEncoding), nTo = OffsetOf(text, 7, nEncoding);
  doc.SetSel(nTo, nFrom, FALSE);
  ASSERT_EQ(doc.Cut(Focus()), 1);
  EXPECT_EQ(Text(), bytes.substr(0, nFrom) + bytes.substr(nTo));
  EXPECT_EQ(doc.nCaretPos, static_cast<int>(nFrom));
  ExpectCaretInStep();
  ASSERT_TRUE(doc.Undo(Focus()));
  EXPECT_EQ(Text(), bytes);

  // The cut text replaces the first character.
  doc.SetSel(0, OffsetOf(text, 1, nEncoding), FALSE);
  ASSERT_EQ(doc.Paste(Focus()), 1);
  EXPECT_EQ(Text(), bytes.substr(nFrom, nTo - nFrom) + bytes.substr(OffsetOf(text, 1, nEncoding)));
  ExpectCaretInStep();
  ASSERT_TRUE(doc.Undo(Focus()));
  EXPECT_EQ(Text(), bytes);
}

TEST_P(ClipboardText, WithoutASelectionCopyAndCutTakeTheCaretsLineWithItsBreak) {
  OpenSample();
  PutCaret(OffsetOf(text, 2, nEncoding));
  const DWORD nBreakEnd = OffsetOf(text, 6, nEncoding);  // after CR LF
  ASSERT_EQ(doc.Copy(Focus()), 1);
  EXPECT_FALSE(doc.block.IsNotEmpty());
  doc.SetSel(doc.GetContentsSize(), doc.GetContentsSize(), FALSE);
  ASSERT_EQ(doc.Paste(Focus()), 1);
  EXPECT_EQ(Text(), bytes + bytes.substr(0, nBreakEnd));
  ASSERT_TRUE(doc.Undo(Focus()));
  PutCaret(OffsetOf(text, 1, nEncoding));
  ASSERT_EQ(doc.Cut(Focus()), 1);
  EXPECT_EQ(Text(), bytes.substr(nBreakEnd));
  EXPECT_EQ(doc.nCaretPos, 0);
  ExpectCaretInStep();
  // On the empty last line there is nothing to copy or cut.
  Open(nEncoding, AsciiIn("abc\r\n", nEncoding));
  PutCaret(doc.GetContentsSize());
  Place(hWnd, {{CF_TEXT, std::string("old\0", 4)}});
  EXPECT_EQ(doc.Copy(Focus()), 0);
  EXPECT_EQ(doc.CopyAppend(Focus()), 0);
  EXPECT_EQ(doc.Cut(Focus()), 0);
  EXPECT_EQ(ClipText(hWnd, CF_TEXT), "old");
}

TEST_P(ClipboardText, PasteInVirtualSpaceFillsItWithSpacesFirst) {
  nEncoding = GetParam();
  Open(nEncoding, AsciiIn("a", nEncoding));
  Place(hWnd, {{CF_TEXT, std::string("x\0", 2)}});
  doc.bVirtualSpace = TRUE;
  PutCaret(doc.GetContentsSize());
  doc.nVirtualSpace = 4;
  ASSERT_EQ(doc.Paste(Focus()), 1);
  EXPECT_EQ(Text(), AsciiIn("a    x", nEncoding));
  EXPECT_EQ(doc.nVirtualSpace, 0);
  ASSERT_TRUE(doc.Undo(Focus()));
  EXPECT_EQ(Text(), AsciiIn("a", nEncoding));
}

TEST_P(ClipboardText, AppendCopyKeepsThePreviousTextInFront) {
  OpenSample();
  doc.SetSel(0, OffsetOf(text, 2, nEncoding), FALSE);
  ASSERT_EQ(doc.Copy(Focus()), 1);
  doc.SetSel(OffsetOf(text, 6, nEncoding), OffsetOf(text, 8, nEncoding), FALSE);
  ASSERT_EQ(doc.CopyAppend(Focus()), 1);
  std::vector<Char> both(text.begin(), text.begin() + 2);
  both.insert(both.end(), text.begin() + 6, text.begin() + 8);
  if (nEncoding == MIREL_ENCODING_ANSI) {
    EXPECT_EQ(ClipText(hWnd, CF_TEXT), mirel_textio_test::Cp949(both));
  } else {
    EXPECT_EQ(ClipText(hWnd, CF_UNICODETEXT), mirel_textio_test::LeBytes(mirel_textio_test::Units(both)));
  }
  // Append-cut takes the text away too.
  const std::string before = Text();
  doc.SetSel(0, OffsetOf(text, 1, nEncoding), FALSE);
  ASSERT_EQ(doc.CutAppend(Focus()), 1);
  EXPECT_EQ(Text(), before.substr(OffsetOf(text, 1, nEncoding)));
}

TEST_P(ClipboardText, ColumnBlockCopiesItsRowsJoinedByCrLfAndPastesThemInColumnMode) {
  nEncoding = GetParam();
  const std::string grid = AsciiIn("abcd\r\nefgh\r\nijkl", nEncoding);
  Open(nEncoding, grid);
  const int u = nEncoding == MIREL_ENCODING_UTF16LE ? 2 : 1;
  doc.SetColumnMode(TRUE);
  doc.block.Reset(1 * u, 0, TRUE);
  doc.block.SetCaret(9 * u, 1);
  ASSERT_TRUE(doc.IsColumnBlock());
  ASSERT_EQ(doc.Copy(Focus()), 1);
  const UINT uText = nEncoding == MIREL_ENCODING_ANSI ? CF_TEXT : CF_UNICODETEXT;
  EXPECT_EQ(ClipText(hWnd, uText), uText == CF_TEXT ? "bc\r\nfg" : mirel_textio_test::LeBytes(u"bc\r\nfg"));
  // In column mode the pasted text replaces the column block, one line per
  // row at the caret's column; the caret stays where the column went in.
  ASSERT_EQ(doc.Paste(Focus()), 1);
  EXPECT_EQ(Text(), grid);
  EXPECT_EQ(doc.nCaretPos, 1 * u);
  EXPECT_EQ(mirel_doc_test::RowsOf(doc), mirel_doc_test::RebuiltRows(doc));
  EXPECT_EQ(doc.cli, doc.GetLineFromPos(static_cast<DWORD>(doc.nCaretPos)));
  ASSERT_TRUE(doc.Undo(Focus()));
  EXPECT_EQ(Text(), grid);
}

INSTANTIATE_TEST_SUITE_P(Encodings, ClipboardText,
                         testing::Values(MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16LE, MIREL_ENCODING_UTF8,
                                         MIREL_ENCODING_UTF8_BOM),
                         [](const testing::TestParamInfo<int>& info) {
                           return std::string(mirel_textio_test::EncodingName(info.param));
                         });

// ---------------------------------------------------------------------------
// What other programs put there

class ClipboardSources : public ClipboardText {};

TEST_F(ClipboardSources, EachEncodingTakesTheFormatItPrefers) {
  struct Case {
    const char* what;
    int nEncoding;
    std::vector<std::pair<UINT, std::string>> blocks;
    std::string want;  // pasted bytes
  } cases[] = {
      {"ANSI takes CF_TEXT before CF_OEMTEXT",
       MIREL_ENCODING_ANSI,
       {{CF_OEMTEXT, std::string("oem\0", 4)}, {CF_TEXT, std::string("ansi\0", 5)}},
       "ansi"},
      {"ANSI takes Unicode text as the system's CF_TEXT before the bytes",
       MIREL_ENCODING_ANSI,
       {{BinaryFormat(), BinaryBlock("raw")},
        {CF_UNICODETEXT, mirel_doc_test::Utf16("uni") + std::string(2, '\0')}},
       "uni"},
      {"ANSI takes the control's bytes in its own code page, past their zero byte",
       MIREL_ENCODING_ANSI,
       {{CF_TEXT, std::string("a\0", 2)},
        {BinaryFormat(), BinaryBlock(std::string("a\0b", 3))},
        {BinarySourceFormat(), BinarySourceBlock(3, MIREL_ENCODING_ANSI, 949)}},
       std::string("a\0b", 3)},
      {"UTF-8 with mark takes the bytes of UTF-8 without it",
       MIREL_ENCODING_UTF8_BOM,
       {{CF_UNICODETEXT, mirel_doc_test::Utf16({'a', 0})},
        {BinaryFormat(), BinaryBlock(std::string("a\0\xFF", 3))},
        {BinarySourceFormat(), BinarySourceBlock(3, MIREL_ENCODING_UTF8, 0)}},
       std::string("a\0\xFF", 3)},
      {"the text, when nothing says what the bytes are text in",
       MIREL_ENCODING_ANSI,
       {{CF_TEXT, std::string("a\0", 2)}, {BinaryFormat(), BinaryBlock(std::string("a\0b", 3))}},
       "a"},
      {"the text, when the bytes are text in another code page",
       MIREL_ENCODING_ANSI,
       {{CF_TEXT, std::string("a\0", 2)},
        {BinaryFormat(), BinaryBlock(std::string("a\0b", 3))},
        {BinarySourceFormat(), BinarySourceBlock(3, MIREL_ENCODING_ANSI, 1252)}},
       "a"},
      {"the text, when what the bytes are text in speaks for other bytes",
       MIREL_ENCODING_UTF16LE,
       {{CF_UNICODETEXT, mirel_doc_test::Utf16({'a', 0})},
        {BinaryFormat(), BinaryBlock(std::string("a\0\0\0", 4))},
        {BinarySourceFormat(), BinarySourceBlock(2, MIREL_ENCODING_UTF16LE, 0)}},
       mirel_doc_test::Utf16({'a'})},
      {"UTF-8 takes the text when the control's bytes are other text",
       MIREL_ENCODING_UTF8,
       {{CF_UNICODETEXT, mirel_doc_test::Utf16({'a', 0})}, {BinaryFormat(), BinaryBlock("b")}},
       "a"},
      {"ANSI takes the bytes when there is no text",
       MIREL_ENCODING_ANSI,
       {{BinaryFormat(), BinaryBlock("raw")}},
       "raw"},
      {"UTF-16 takes CF_UNICODETEXT as it is",
       MIREL_ENCODING_UTF16LE,
       {{BinaryFormat(), BinaryBlock("raw")}, {CF_UNICODETEXT, mirel_doc_test::Utf16({0xD55C, 0})}},
       mirel_doc_test::Utf16({0xD55C})},
      {"UTF-16 converts CF_TEXT",
       MIREL_ENCODING_UTF16LE,
       {{CF_TEXT, std::string("\xC7\xD1\0", 3)}},
       mirel_doc_test::Utf16({0xD55C})},
      {"UTF-16 drops half a unit of raw bytes",
       MIREL_ENCODING_UTF16LE,
       {{BinaryFormat(), BinaryBlock("abc")}},
       "ab"},
      {"UTF-8 converts CF_UNICODETEXT",
       MIREL_ENCODING_UTF8,
       {{CF_UNICODETEXT, mirel_doc_test::Utf16({0xD55C, 0xD83D, 0xDE00, 0})}},
       "\xED\x95\x9C\xF0\x9F\x98\x80"},
      {"UTF-8 converts CF_TEXT",
       MIREL_ENCODING_UTF8_BOM,
       {{CF_TEXT, std::string("\xC7\xD1\0", 3)}},
       "\xED\x95\x9C"},
#ifndef _WIN32
      // A real clipboard may terminate or re-synthesise such a block itself;
      // the stand-in hands it over as it was placed.
      {"a CF_TEXT block without terminator ends with the block",
       MIREL_ENCODING_ANSI,
       {{CF_TEXT, "abc"}},
       "abc"},
#endif
      {"a binary block shorter than its count field is absent",
       MIREL_ENCODING_ANSI,
       {{BinaryFormat(), std::string("\x05\x00", 2)}},
       ""},
      {"a binary count beyond the block is cut to the block",
       MIREL_ENCODING_UTF8,
       {{BinaryFormat(), std::string("\xFF\xFF\xFF\x7F", 4) + "xy"}},
       "xy"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    edits.clear();
    Open(c.nEncoding, "");
    Place(hWnd, c.blocks);
    EXPECT_EQ(doc.Paste(Focus()), c.want.empty() ? 0 : 1);
    EXPECT_EQ(mirel_textio_test::Hex(Text()), mirel_textio_test::Hex(c.want));
  }
}

TEST_F(ClipboardSources, NothingUsableReadOnlyOrADragPastesNothingAndRecordsNothing) {
  Open(MIREL_ENCODING_ANSI, "abc");
  Clear(hWnd);
  EXPECT_EQ(doc.Paste(Focus()), 0);
  Place(hWnd, {{CF_TEXT, std::string("\0", 1)}});
  EXPECT_EQ(doc.Paste(Focus()), 0);
  Place(hWnd, {{CF_TEXT, std::string("x\0", 2)}});
  doc.SetReadOnly(TRUE);
  doc.SetSel(0, 1, FALSE);
  EXPECT_EQ(doc.Paste(Focus()), 0);
  EXPECT_EQ(doc.Cut(Focus()), 0);
  doc.SetReadOnly(FALSE);
  Mirel().bTracking = 1;
  EXPECT_EQ(doc.Paste(Focus()), 0);
  EXPECT_EQ(doc.Cut(Focus()), 0);
  Mirel().bTracking = 0;
  EXPECT_EQ(Text(), "abc");
  EXPECT_FALSE(doc.CanUndo());
  EXPECT_FALSE(doc.IsModified());
  EXPECT_EQ(ClipText(hWnd, CF_TEXT), "x");
}

TEST_F(ClipboardSources, AppendingToBytesOnlyOrToUnreadableContentKeepsTheNewText) {
  Open(MIREL_ENCODING_ANSI, "abc");
  doc.SetSel(0, 3, FALSE);
  // Only the control's raw bytes: the bytes grow, no text appears.
  Place(hWnd, {{BinaryFormat(), BinaryBlock("xy")}});
  ASSERT_EQ(doc.CopyAppend(Focus()), 1);
  EXPECT_EQ(Raw(hWnd, BinaryFormat()), BinaryBlock("xyabc"));
  EXPECT_EQ(ClipText(hWnd, CF_TEXT), "<absent>");
  // Text and bytes: both grow.
  Place(hWnd, {{CF_TEXT, std::string("xy\0", 3)}, {BinaryFormat(), BinaryBlock("xy")}});
  ASSERT_EQ(doc.CopyAppend(Focus()), 1);
  EXPECT_EQ(Raw(hWnd, BinaryFormat()), BinaryBlock("xyabc"));
  EXPECT_EQ(ClipText(hWnd, CF_TEXT), "xyabc");
  // A binary block too short to read: the new text alone, not nothing.
  Place(hWnd, {{BinaryFormat(), "\x01"}});
  ASSERT_EQ(doc.CopyAppend(Focus()), 1);
  EXPECT_EQ(ClipText(hWnd, CF_TEXT), "abc");
  // An empty clipboard: a plain copy.
  Clear(hWnd);
  ASSERT_EQ(doc.CopyAppend(Focus()), 1);
  EXPECT_EQ(ClipText(hWnd, CF_TEXT), "abc");
}

// ---------------------------------------------------------------------------
// The edit window's roads to the clipboard

TEST_F(ClipboardSources, MessagesKeysAndCommandsReachTheClipboardExceptDuringADrag) {
  Open(MIREL_ENCODING_ANSI, "abc");
  struct Case {
    const char* what;
    std::function<void()> send;
  } cases[] = {
      {"WM_COPY then WM_PASTE",
       [&] {
         SendMessageA(hWnd, WM_COPY, 0, 0);
         SendMessageA(hWnd, WM_PASTE, 0, 0);
       }},
      {"Ctrl+C then Ctrl+V",
       [&] {
         SendMessageA(hWnd, WM_CHAR, 0x03, 1);
         SendMessageA(hWnd, WM_CHAR, 0x16, 1);
       }},
      {"menu copy then paste",
       [&] {
         SendMessageA(hWnd, WM_COMMAND, 40001, 0);
         SendMessageA(hWnd, WM_COMMAND, 40003, 0);
       }},
      {"append copy as a message, then paste",
       [&] {
         Clear(hWnd);
         SendMessageA(hWnd, 40005, 0, 0);
         SendMessageA(hWnd, WM_PASTE, 0, 0);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    doc.SetSel(0, 3, FALSE);
    c.send();
    EXPECT_EQ(Text(), "abc");  // the pasted selection replaced itself
    EXPECT_EQ(doc.nCaretPos, 3);
  }
  struct Cut {
    const char* what;
    UINT uMsg;
    WPARAM wParam;
  } cuts[] = {{"WM_CUT", WM_CUT, 0},
              {"Ctrl+X", WM_CHAR, 0x18},
              {"menu cut", WM_COMMAND, 40002},
              {"menu append cut", WM_COMMAND, 40006},
              {"append cut as a message", 40006, 0}};
  for (const Cut& c : cuts) {
    SCOPED_TRACE(c.what);
    doc.SetSel(0, 1, FALSE);
    Mirel().bTracking = 1;
    SendMessageA(hWnd, c.uMsg, c.wParam, 0);
    EXPECT_EQ(Text(), "abc");
    Mirel().bTracking = 0;
    SendMessageA(hWnd, c.uMsg, c.wParam, 0);
    EXPECT_EQ(Text(), "bc");
    ASSERT_TRUE(doc.Undo(Focus()));
  }
}

}  // namespace
