// A long scripted key sequence over a text with double-byte characters, in
// ANSI (code page 949), UTF-8 and UTF-16, with word wrap off and on: after
// every key the caret row holds the caret, the caret stands on a character
// boundary and the block agrees with it; undoing every step gives back the
// text the sequence started from.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "textview_keys_fixture.h"

namespace {

using mirel_keys_test::kAlt;
using mirel_keys_test::kCtrl;
using mirel_keys_test::KeysTest;
using mirel_keys_test::kShift;

// "HK abc.def\r\n  ghi GND\r\n\r\nxyz" where H, K, G, N and D are Hangul
// syllables, in each encoding.
std::string SampleText(int nEncoding) {
  switch (nEncoding) {
    case MIREL_ENCODING_UTF8:
      return "\xED\x95\x9C\xEA\xB5\xAD abc.def\r\n  ghi \xEA\xB0\x80\xEB\x82\x98\xEB\x8B\xA4\r\n\r\nxyz";
    case MIREL_ENCODING_UTF16LE: {
      const char16_t units[] = u"\xD55C\xAD6D abc.def\r\n  ghi \xAC00\xB098\xB2E4\r\n\r\nxyz";
      std::string out;
      for (const char16_t* p = units; *p; ++p) {
        out.push_back(static_cast<char>(*p & 0xFF));
        out.push_back(static_cast<char>(*p >> 8));
      }
      return out;
    }
    default:
      return "\xC7\xD1\xB1\xB9 abc.def\r\n  ghi \xB0\xA1\xB3\xAA\xB4\xD9\r\n\r\nxyz";
  }
}

struct Step {
  enum Kind { kKey, kKeyMod, kChar } kind;
  UINT code;
  UINT mods;
};

class TextViewKeysSequence : public KeysTest, public testing::WithParamInterface<std::tuple<int, int>> {
 protected:
  // The caret on a character boundary: walking the caret's row by whole
  // characters from its start meets the caret.
  void ExpectOnBoundary() {
    const MIREL_LINE& row = doc.pLines[doc.cli];
    const std::string text = Text();
    DWORD nPos = row.nStart;
    while (nPos < Pos()) {
      const DWORD n = doc.GetCharLength(reinterpret_cast<const BYTE*>(text.data()), nPos,
                                        static_cast<DWORD>(text.size()), doc.nFileEncoding, doc.nCodePage);
      ASSERT_GT(n, 0u);
      nPos += n;
    }
    EXPECT_EQ(nPos, Pos());
  }
};

TEST_P(TextViewKeysSequence, EveryKeyLeavesAConsistentCaretAndUndoRestoresTheText) {
  const int nEncoding = std::get<0>(GetParam());
  const int nWrap = std::get<1>(GetParam());
  const std::string original = SampleText(nEncoding);
  Open(nEncoding, original, nWrap);
  if (nWrap != MIREL_WRAP_NONE) WrapAt(6);
  const Step steps[] = {
      {Step::kKey, VK_RIGHT, 0},
      {Step::kKey, VK_RIGHT, 0},
      {Step::kChar, 'Q', 0},
      {Step::kKeyMod, VK_RIGHT, kShift},
      {Step::kKeyMod, VK_DOWN, kShift},
      {Step::kChar, 'w', 0},
      {Step::kKey, VK_END, 0},
      {Step::kKey, VK_RETURN, 0},
      {Step::kChar, 'e', 0},
      {Step::kKey, VK_DOWN, 0},
      {Step::kKey, VK_DOWN, 0},
      {Step::kKeyMod, VK_BACK, kCtrl},
      {Step::kKey, VK_BACK, 0},
      {Step::kKey, VK_BACK, 0},
      {Step::kKey, VK_HOME, 0},
      {Step::kKeyMod, VK_DELETE, kCtrl},
      {Step::kKey, VK_DELETE, 0},
      {Step::kKey, VK_UP, 0},
      {Step::kKeyMod, VK_RIGHT, kCtrl},
      {Step::kKeyMod, VK_LEFT, kCtrl},
      {Step::kKeyMod, VK_DOWN, kShift | kAlt},
      {Step::kKeyMod, VK_RIGHT, kShift | kAlt},
      {Step::kKey, VK_LEFT, 0},
      {Step::kChar, '\t', 0},
      {Step::kKey, VK_NEXT, 0},
      {Step::kKey, VK_PRIOR, 0},
      {Step::kKeyMod, VK_END, kCtrl},
      {Step::kKey, VK_RETURN, 0},
      {Step::kKey, VK_BACK, 0},
      {Step::kKeyMod, VK_HOME, kCtrl | kShift},
      {Step::kKey, VK_DELETE, 0},
      {Step::kChar, 'z', 0},
      {Step::kKey, VK_ESCAPE, 0},
  };
  int nStep = 0;
  for (const Step& s : steps) {
    SCOPED_TRACE(nStep++);
    if (s.kind == Step::kKey) {
      Key(s.code);
    } else if (s.kind == Step::kKeyMod) {
      Key(s.code, s.mods);
    } else {
      Type(std::string(1, static_cast<char>(s.code)));
    }
    ExpectConsistent();
    ExpectOnBoundary();
    if (nEncoding == MIREL_ENCODING_UTF16LE) {
      EXPECT_EQ(Text().size() % 2, 0u);
      EXPECT_EQ(Pos() % 2, 0u);
    }
  }
  EXPECT_EQ(Text(), nEncoding == MIREL_ENCODING_UTF16LE
                        ? mirel_keys_test::W("z")
                        : std::string("z"));  // Ctrl+Shift+Home took everything before the caret
  for (int i = 0; i < 200 && doc.CanUndo(); ++i) ASSERT_TRUE(doc.Undo(pEdit));
  EXPECT_EQ(Text(), original);
}

INSTANTIATE_TEST_SUITE_P(EncodingsAndWrap, TextViewKeysSequence,
                         testing::Combine(testing::Values(MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF8,
                                                          MIREL_ENCODING_UTF16LE),
                                          testing::Values(MIREL_WRAP_NONE, MIREL_WRAP_CHAR)));

}  // namespace
