// The in-memory text store: buffer growth, the zero bytes after the body,
// byte edits with their undo records, refusal of bad spans, allocation
// failures, and hex-view edits of the byte-order mark.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "doc_test_util.h"
#include "mirel/ccontentshandlernormal.h"
#include "mirel/cmireldoc.h"

using namespace mirel_doc_test;

namespace {

// A store whose buffer growth can be made to fail.
class FailingStore : public CContentsHandlerNormal {
 public:
  explicit FailingStore(CMirelDoc* pDocument) : CContentsHandlerNormal(pDocument) {}
  bool bFailGrowth = false;

 protected:
  void* ReallocateBody(void* p, DWORD nBytes) override {
    return bFailGrowth ? nullptr : CContentsHandlerNormal::ReallocateBody(p, nBytes);
  }
};

bool PaddingIsZero(const CContentsHandler& s) {
  for (DWORD i = 0; i < MIREL_BODY_PADDING; ++i) {
    if (s.pEditBodyFile[s.nBodyLen + i] != 0) return false;
  }
  return true;
}

TEST(StoreReserve, NewStoreHoldsTheMarkOfTheEncodingInA64KiBBuffer) {
  struct Case {
    int nEncoding;
    std::string mark;
  } cases[] = {{MIREL_ENCODING_ANSI, ""},
               {MIREL_ENCODING_UTF16BE, "\xFE\xFF"},
               {MIREL_ENCODING_UTF16LE, "\xFF\xFE"},
               {MIREL_ENCODING_UTF8, ""},
               {MIREL_ENCODING_UTF8_BOM, "\xEF\xBB\xBF"}};
  for (const Case& c : cases) {
    CMirelDoc doc;
    OpenEmpty(doc, c.nEncoding);
    CContentsHandler& s = *doc.pContents;
    EXPECT_EQ(s.nAlloc, 65536u) << c.nEncoding;
    EXPECT_EQ(s.nTextLen, 0u);
    EXPECT_EQ(s.nBodyLen, c.mark.size());
    EXPECT_EQ(s.GetBomLength(), c.mark.size());
    EXPECT_EQ(s.pText, s.pEditBodyFile + c.mark.size());
    EXPECT_EQ(FileOf(doc), c.mark);
    EXPECT_TRUE(PaddingIsZero(s));
  }
}

TEST(StoreReserve, GrowthAddsTheWholeNeedInPageSteps) {
  CMirelDoc doc;
  OpenEmpty(doc, MIREL_ENCODING_ANSI);
  CContentsHandler& s = *doc.pContents;
  const std::string fill(65530, 'a');
  ASSERT_TRUE(s.InsertText(0, Bytes(fill), Len(fill), FALSE));
  EXPECT_EQ(s.nAlloc, 65536u);
  ASSERT_TRUE(s.InsertText(65530, Bytes("0123456789"), 10, FALSE));
  EXPECT_EQ(s.nAlloc, 135168u);  // 65536 + ((65544 + 4096) rounded down to 4 KiB)
  EXPECT_EQ(s.nBodyLen, 65540u);
  EXPECT_TRUE(PaddingIsZero(s));
  EXPECT_TRUE(s.Reserve(1000));  // fits: nothing changes
  EXPECT_EQ(s.nAlloc, 135168u);
}

TEST(StoreReserve, FirstLargeReserveRoundsToPages) {
  CMirelDoc doc;
  OpenEmpty(doc, MIREL_ENCODING_ANSI);
  CContentsHandler& s = *doc.pContents;
  std::free(s.pEditBodyFile);
  s.pEditBodyFile = nullptr;
  ASSERT_TRUE(s.Reserve(100000));
  EXPECT_EQ(s.nAlloc, 102400u);
  EXPECT_EQ(s.nBodyLen, 0u);
}

TEST(StoreReserve, SizesThatWouldWrapAreRefused) {
  CMirelDoc doc;
  OpenEmpty(doc, MIREL_ENCODING_ANSI);
  CContentsHandler& s = *doc.pContents;
  EXPECT_FALSE(s.Reserve(0xFFFFFFFFu));
  EXPECT_FALSE(s.Reserve(0xFFFFFFF0u));
  EXPECT_EQ(s.nAlloc, 65536u);
  // An insert whose length would overflow the body size is refused untouched.
  EXPECT_FALSE(doc.InsertContents(0, Bytes("x"), 0xFFFFFFFFu, TRUE));
  EXPECT_FALSE(doc.undo.CanUndo());
  EXPECT_EQ(s.nBodyLen, 0u);
}

TEST(StoreReserve, FailedGrowthLeavesTextHistoryAndFlagAlone) {
  CMirelDoc doc;
  OpenEmpty(doc, MIREL_ENCODING_ANSI);
  FailingStore* pStore = new FailingStore(&doc);
  delete doc.pContents;
  doc.pContents = pStore;
  const std::string fill(65000, 'x');
  ASSERT_TRUE(doc.InsertContents(0, Bytes(fill), Len(fill), FALSE));
  doc.SetModified(FALSE);
  const std::vector<Row> rows = RowsOf(doc);
  pStore->bFailGrowth = true;
  const std::string more(2000, 'y');
  EXPECT_FALSE(doc.InsertContents(10, Bytes(more), Len(more), TRUE));
  EXPECT_FALSE(doc.ReplaceContents(10, 1, TRUE, Bytes(more), Len(more), TRUE));
  EXPECT_EQ(TextOf(doc), fill);
  EXPECT_EQ(pStore->nAlloc, 65536u);
  EXPECT_FALSE(doc.undo.CanUndo());
  EXPECT_FALSE(doc.IsModified());
  EXPECT_EQ(RowsOf(doc), rows);
  pStore->bFailGrowth = false;
  EXPECT_TRUE(doc.InsertContents(10, Bytes(more), Len(more), TRUE));
  EXPECT_TRUE(doc.undo.CanUndo());
}

TEST(StoreEdit, InsertDeleteReplaceMoveBytesAndKeepZeroPadding) {
  CMirelDoc doc;
  OpenEmpty(doc, MIREL_ENCODING_ANSI);
  CContentsHandler& s = *doc.pContents;
  ASSERT_TRUE(s.InsertText(0, Bytes("hello world"), 11, FALSE));
  ASSERT_TRUE(s.DeleteText(5, 6, FALSE));
  EXPECT_EQ(TextOf(doc), "hello");
  EXPECT_TRUE(PaddingIsZero(s));  // the deleted bytes do not linger after the body
  ASSERT_TRUE(s.ReplaceText(1, 3, FALSE, Bytes("ELL"), 3, FALSE));
  EXPECT_EQ(TextOf(doc), "hELLo");
  ASSERT_TRUE(s.ReplaceText(0, 1, FALSE, Bytes("Oh, h"), 5, FALSE));
  EXPECT_EQ(TextOf(doc), "Oh, hELLo");
  ASSERT_TRUE(s.ReplaceText(3, 6, FALSE, Bytes("!"), 1, FALSE));
  EXPECT_EQ(TextOf(doc), "Oh,!");
  EXPECT_TRUE(PaddingIsZero(s));
  EXPECT_EQ(s.GetTextByte(0), 'O');
  EXPECT_EQ(s.GetTextByte(4), 0);  // past the text: a padding byte
  EXPECT_EQ(s.GetTextByte(0xFFFFFFFFu), 0);
}

TEST(StoreEdit, EmptyAndOutOfRangeDeletesChangeNothing) {
  CMirelDoc doc;
  OpenEmpty(doc, MIREL_ENCODING_ANSI);
  ASSERT_TRUE(doc.InsertContents(0, Bytes("abc"), 3, FALSE));
  doc.SetModified(FALSE);
  EXPECT_FALSE(doc.DeleteContents(1, 0, TRUE));
  EXPECT_FALSE(doc.DeleteContents(2, 2, TRUE));
  EXPECT_FALSE(doc.DeleteContents(4, 1, TRUE));
  EXPECT_FALSE(doc.DeleteContents(1, 0xFFFFFFFFu, TRUE));
  EXPECT_FALSE(doc.IsModified());
  EXPECT_EQ(TextOf(doc), "abc");
  // An empty insert succeeds and marks the document modified.
  EXPECT_TRUE(doc.InsertContents(1, Bytes(""), 0, TRUE));
  EXPECT_TRUE(doc.IsModified());
  EXPECT_FALSE(doc.undo.CanUndo());
}

TEST(StoreEdit, BadPositionsDataAndViewTypesAreRefused) {
  CMirelDoc doc;
  OpenEmpty(doc, MIREL_ENCODING_ANSI);
  ASSERT_TRUE(doc.InsertContents(0, Bytes("abc"), 3, FALSE));
  EXPECT_FALSE(doc.InsertContents(4, Bytes("x"), 1, TRUE));
  EXPECT_FALSE(doc.InsertContents(0xFFFFFFFFu, Bytes("x"), 1, TRUE));
  EXPECT_FALSE(doc.InsertContents(0, nullptr, 2, TRUE));
  EXPECT_FALSE(doc.ReplaceContents(2, 5, TRUE, Bytes("x"), 1, TRUE));
  doc.nViewType = 7;
  EXPECT_FALSE(doc.InsertContents(0, Bytes("x"), 1, FALSE));
  EXPECT_FALSE(doc.DeleteContents(0, 1, FALSE));
  doc.nViewType = MIREL_VIEW_TYPE_TEXT;
  EXPECT_EQ(TextOf(doc), "abc");
  EXPECT_FALSE(doc.undo.CanUndo());
}

TEST(StoreEdit, Utf16TextViewEditsWholeUnitsOnly) {
  CMirelDoc doc;
  OpenEmpty(doc, MIREL_ENCODING_UTF16LE);
  const std::string ab = Utf16("ab");
  ASSERT_TRUE(doc.InsertContents(0, Bytes(ab), Len(ab), FALSE));
  EXPECT_FALSE(doc.InsertContents(1, Bytes(ab), 2, FALSE));
  EXPECT_FALSE(doc.InsertContents(2, Bytes(ab), 3, FALSE));
  EXPECT_FALSE(doc.DeleteContents(0, 1, FALSE));
  EXPECT_FALSE(doc.DeleteContents(1, 2, FALSE));
  EXPECT_TRUE(doc.DeleteContents(2, 2, FALSE));
  EXPECT_EQ(TextOf(doc), Utf16("a"));
}

TEST(StoreUndo, RecordsEachEditAndAReplaceAsOneGroup) {
  CMirelDoc doc;
  OpenEmpty(doc, MIREL_ENCODING_ANSI);
  ASSERT_TRUE(doc.InsertContents(0, Bytes("abcdef"), 6, TRUE));
  const MIREL_UNDO_RECORD& ins = doc.undo.pUR[doc.undo.cr];
  EXPECT_EQ(ins.action, URA_INSERT);
  EXPECT_EQ(ins.pos, 0);
  EXPECT_EQ(ins.count, 6);
  doc.undo.SeparateUndo();
  ASSERT_TRUE(doc.ReplaceContents(1, 2, TRUE, Bytes("XYZ"), 3, TRUE));
  EXPECT_EQ(TextOf(doc), "aXYZdef");
  const LONG cr = doc.undo.cr;
  const MIREL_UNDO_RECORD& rem = doc.undo.pUR[cr - 1];
  const MIREL_UNDO_RECORD& add = doc.undo.pUR[cr];
  EXPECT_EQ(rem.action, URA_REMOVE);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(rem.pData), rem.count), "bc");
  EXPECT_EQ(add.action, URA_INSERT);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(add.pData), add.count), "XYZ");
  EXPECT_NE(rem.nGroup, 0);
  EXPECT_EQ(rem.nGroup, add.nGroup);
  EXPECT_EQ(doc.undo.nNestLevel, 0);  // the group is closed
}

TEST(StoreHexView, DeletingTheFirstMarkByteRecordsItAndDropsTheMark) {
  CMirelDoc doc;
  OpenEmpty(doc, MIREL_ENCODING_UTF16LE);
  const std::string text = Utf16("a\r\nb");
  ASSERT_TRUE(doc.InsertContents(0, Bytes(text), Len(text), FALSE));
  doc.nViewType = MIREL_VIEW_TYPE_HEX;
  ASSERT_TRUE(doc.DeleteContents(0, 1, TRUE));
  const MIREL_UNDO_RECORD& r = doc.undo.pUR[doc.undo.cr];
  EXPECT_EQ(r.action, URA_REMOVE_HV);
  EXPECT_EQ(r.pos, 0);
  ASSERT_EQ(r.count, 1);
  EXPECT_EQ(r.pData[0], 0xFF);
  CContentsHandler& s = *doc.pContents;
  EXPECT_LE(s.nBomLen, s.nBodyLen);
  EXPECT_EQ(s.nBomLen, 0);  // "FE 61 00 ..." does not start with the mark
  EXPECT_EQ(TextOf(doc), "\xFE" + text);
  EXPECT_EQ(RowsOf(doc), RebuiltRows(doc));
  // Putting the byte back makes it the mark again; the text is as before.
  ASSERT_TRUE(doc.InsertContents(0, Bytes("\xFF"), 1, TRUE));
  EXPECT_EQ(s.nBomLen, 2);
  EXPECT_EQ(TextOf(doc), text);
  const std::vector<Row> rows = RowsOf(doc);
  EXPECT_EQ(rows, RebuiltRows(doc));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1].nStart, 6u);
}

TEST(StoreHexView, EditsAroundTheMarkKeepTextAndTableConsistent) {
  CMirelDoc doc;
  OpenEmpty(doc, MIREL_ENCODING_UTF8_BOM);
  const std::string text = "one\ntwo";
  ASSERT_TRUE(doc.InsertContents(0, Bytes(text), Len(text), FALSE));
  doc.nViewType = MIREL_VIEW_TYPE_HEX;
  CContentsHandler& s = *doc.pContents;
  // Deleting the whole mark leaves the text alone.
  ASSERT_TRUE(doc.DeleteContents(0, 3, FALSE));
  EXPECT_EQ(s.nBomLen, 0);
  EXPECT_EQ(TextOf(doc), text);
  // A span over the end of the mark and into the text.
  ASSERT_TRUE(doc.InsertContents(0, Bytes("\xEF\xBB\xBF"), 3, FALSE));
  EXPECT_EQ(s.nBomLen, 3);
  ASSERT_TRUE(doc.ReplaceContents(2, 3, FALSE, Bytes("\xBFZ"), 2, FALSE));
  EXPECT_EQ(s.nBomLen, 3);
  EXPECT_EQ(TextOf(doc), "Ze\ntwo");
  EXPECT_EQ(RowsOf(doc), RebuiltRows(doc));
  // Bytes put in front of the mark make it ordinary text.
  ASSERT_TRUE(doc.InsertContents(0, Bytes("\n"), 1, FALSE));
  EXPECT_EQ(s.nBomLen, 0);
  EXPECT_EQ(TextOf(doc), "\n\xEF\xBB\xBFZe\ntwo");
  const std::vector<Row> rows = RowsOf(doc);
  EXPECT_EQ(rows, RebuiltRows(doc));
  EXPECT_EQ(rows.size(), 3u);
  // Hex positions past the file are refused.
  EXPECT_FALSE(doc.DeleteContents(s.nBodyLen, 1, FALSE));
  EXPECT_FALSE(doc.InsertContents(s.nBodyLen + 1, Bytes("x"), 1, FALSE));
}

}  // namespace
