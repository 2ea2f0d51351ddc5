// Bookmarks: toggling ordinary and named ones, the slot array, moving the
// caret between them, and bookmarks following their paragraphs across edits
// that add and remove paragraphs.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lines_test_util.h"

namespace mirel_lines_test {
namespace {

using mirel_doc_test::OrdinaryBookmarks;

// Paragraphs "p0" to "p<n-1>".
std::string Paragraphs(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += (i ? "\r\np" : "p") + std::to_string(i);
  return s;
}

std::vector<int> Named(CMirelDoc& doc) {
  std::vector<CMrBookmark> marks(10);
  marks.resize(static_cast<size_t>(doc.GetNamedBookmarks(marks.data(), 10)));
  std::vector<int> out;
  for (const CMrBookmark& b : marks) {
    out.push_back(b.chKind);
    out.push_back(b.nPara);
  }
  return out;
}

class Bookmarks : public testing::Test {
 protected:
  void SetUp() override { d.Load(Paragraphs(12)); }
  int CaretParagraph() { return static_cast<int>(d.doc.pLines[d.doc.cli].nPara); }
  void CaretOn(int nPara) {
    int nStart = 0;
    ASSERT_TRUE(d.doc.GetParagraph(nPara, &nStart, nullptr));
    d.Select(static_cast<DWORD>(nStart) + 1, static_cast<DWORD>(nStart) + 1);
  }
  MarkedDoc d{MIREL_ENCODING_ANSI};
};

TEST_F(Bookmarks, OrdinaryOnesStaySortedAndTheArrayGrowsByTen) {
  EXPECT_EQ(d.doc.pBookmark, nullptr);
  EXPECT_EQ(d.doc.GetBookmarkCount(), 0);
  for (int nPara : {7, 2, 5}) d.doc.ToggleBookmark(0, nPara, nullptr);
  EXPECT_EQ(d.doc.nBookmarkAlloc, 20);
  EXPECT_EQ(OrdinaryBookmarks(d.doc), (std::vector<int>{2, 5, 7}));
  d.doc.ToggleBookmark(0, 5, nullptr);
  EXPECT_EQ(OrdinaryBookmarks(d.doc), (std::vector<int>{2, 7}));
  EXPECT_EQ(d.doc.GetBookmarkCount(), 2);

  for (int nPara : {11, 10, 9, 8, 6, 5, 4, 3, 1}) d.doc.ToggleBookmark(0, nPara, nullptr);
  EXPECT_EQ(d.doc.GetBookmarkCount(), 11);
  EXPECT_EQ(d.doc.nBookmarkAlloc, 30);
  EXPECT_EQ(OrdinaryBookmarks(d.doc), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
  std::vector<CMrBookmark> out(3);
  EXPECT_EQ(d.doc.GetBookmarks(out.data(), 3), 3);  // never more than asked
  EXPECT_EQ(out[2].nPara, 3);
  EXPECT_EQ(out[2].chKind, MIREL_BOOKMARK_ORDINARY);

  // The caret's paragraph, and paragraphs that do not exist.
  CaretOn(0);
  d.doc.ToggleBookmark(1, 99, nullptr);
  d.doc.ToggleBookmark(0, 12, nullptr);
  d.doc.ToggleBookmark(0, -1, nullptr);
  EXPECT_EQ(OrdinaryBookmarks(d.doc).front(), 0);
  EXPECT_EQ(d.doc.GetBookmarkCount(), 12);
}

TEST_F(Bookmarks, NamedOnesOnePerParagraphAndOnlyZeroToNine) {
  d.doc.ToggleBookmark(0, 4, "1");
  d.doc.ToggleBookmark(0, 4, "3");  // paragraph 4 carries "1": nothing
  EXPECT_EQ(Named(d.doc), (std::vector<int>{1, 4}));
  d.doc.ToggleBookmark(0, 6, "3");
  d.doc.ToggleBookmark(0, 8, "03");  // read as a number: moves "3"
  EXPECT_EQ(Named(d.doc), (std::vector<int>{1, 4, 3, 8}));
  d.doc.ToggleBookmark(0, 8, " 3");  // the same paragraph again: cleared
  EXPECT_EQ(Named(d.doc), (std::vector<int>{1, 4}));
  for (const char* psz : {"10", "-1", "x", "", "+12"}) d.doc.ToggleBookmark(0, 9, psz);
  EXPECT_EQ(Named(d.doc), (std::vector<int>{1, 4}));
  EXPECT_EQ(d.doc.GetNamedBookmarkCount(), 1);
  EXPECT_EQ(d.doc.GetBookmarkCount(), 0);  // named ones are not counted there

  // An ordinary bookmark on the same paragraph is its own: it toggles on and
  // off without collecting duplicates.
  for (int i = 0; i < 3; ++i) d.doc.ToggleBookmark(0, 4, nullptr);
  EXPECT_EQ(OrdinaryBookmarks(d.doc), (std::vector<int>{4}));
  d.doc.ToggleBookmark(0, 4, nullptr);
  EXPECT_TRUE(OrdinaryBookmarks(d.doc).empty());
  EXPECT_EQ(Named(d.doc), (std::vector<int>{1, 4}));

  d.doc.ToggleBookmark(0, 2, nullptr);
  d.doc.ClearBookmark();
  EXPECT_EQ(d.doc.GetBookmarkCount(), 0);
  EXPECT_EQ(Named(d.doc), (std::vector<int>{1, 4}));
}

TEST_F(Bookmarks, GotoNamedAndMoveBetweenOrdinaryOnes) {
  d.doc.MoveBookmark(TRUE);  // no bookmarks: nothing
  EXPECT_EQ(Show(d.doc).substr(0, 3), "|p0");
  d.doc.ToggleBookmark(0, 9, "2");
  d.Select(1, 4);
  d.doc.GotoNamedBookmark("2");
  EXPECT_EQ(CaretParagraph(), 9);
  EXPECT_FALSE(d.doc.block.HasSelection());
  EXPECT_EQ(d.doc.nCaretPos, 36);  // the start of "p9"
  d.doc.GotoNamedBookmark("5");    // free: nothing
  d.doc.GotoNamedBookmark(nullptr);
  EXPECT_EQ(CaretParagraph(), 9);

  for (int nPara : {3, 6}) d.doc.ToggleBookmark(0, nPara, nullptr);
  CaretOn(7);
  d.doc.MoveBookmark(TRUE);  // below the last: wraps to the first
  EXPECT_EQ(CaretParagraph(), 3);
  d.doc.MoveBookmark(TRUE);
  EXPECT_EQ(CaretParagraph(), 6);
  d.doc.MoveBookmark(FALSE);
  EXPECT_EQ(CaretParagraph(), 3);
  d.doc.MoveBookmark(FALSE);  // above the first: wraps to the last
  EXPECT_EQ(CaretParagraph(), 6);
  ExpectConsistent(d.doc);
}

TEST_F(Bookmarks, FollowTheirParagraphsAcrossEdits) {
  for (int nPara : {1, 3, 5}) d.doc.ToggleBookmark(0, nPara, nullptr);
  d.doc.ToggleBookmark(0, 5, "4");
  // A paragraph inserted above moves every bookmark down.
  CaretOn(0);
  d.doc.InsertLine();
  EXPECT_EQ(OrdinaryBookmarks(d.doc), (std::vector<int>{2, 4, 6}));
  EXPECT_EQ(Named(d.doc), (std::vector<int>{4, 6}));
  // Deleting a bookmarked paragraph with its line end removes its bookmark.
  CaretOn(4);
  d.doc.DeleteLine();
  EXPECT_EQ(OrdinaryBookmarks(d.doc), (std::vector<int>{2, 5}));
  EXPECT_EQ(d.doc.GetBookmarkCount(), 2);
  std::vector<CMrBookmark> out(2);
  ASSERT_EQ(d.doc.GetBookmarks(out.data(), 2), 2);
  EXPECT_EQ(out[1].nPara, 5);
  // Moving skips the slot the deletion freed; the next toggle closes it.
  CaretOn(2);
  d.doc.MoveBookmark(TRUE);
  EXPECT_EQ(CaretParagraph(), 5);
  d.doc.ToggleBookmark(0, 0, nullptr);
  EXPECT_EQ(d.doc.pBookmark[10].nPara, 0);
  EXPECT_EQ(d.doc.pBookmark[11].nPara, 2);
  EXPECT_EQ(d.doc.pBookmark[12].nPara, 5);
  EXPECT_TRUE(d.doc.pBookmark[13].IsFree());
  // Undo brings the paragraph back but not its bookmark; the others follow.
  ASSERT_TRUE(d.doc.Undo(nullptr));
  EXPECT_EQ(OrdinaryBookmarks(d.doc), (std::vector<int>{0, 2, 6}));
  // Joining takes the line ends, and with them the bookmarks of the
  // paragraphs they ended; the bookmarks below move up.
  d.Select(0, static_cast<DWORD>(mirel_doc_test::TextOf(d.doc).find("p2")));
  d.doc.JoinLines();
  EXPECT_EQ(OrdinaryBookmarks(d.doc), (std::vector<int>{3}));
  EXPECT_EQ(d.doc.GetBookmarkCount(), 1);
}

TEST(BookmarksWithoutText, NothingBeforeTheFirstNewFile) {
  CMirelDoc doc;
  doc.ToggleBookmark(0, 0, nullptr);
  doc.ToggleBookmark(1, 0, "1");
  doc.MoveBookmark(TRUE);
  doc.GotoNamedBookmark("1");
  doc.ClearBookmark();
  EXPECT_EQ(doc.pBookmark, nullptr);
  EXPECT_EQ(doc.GetBookmarkCount(), 0);
  EXPECT_EQ(doc.GetNamedBookmarkCount(), 0);
  CMrBookmark b;
  EXPECT_EQ(doc.GetBookmarks(&b, 1), 0);
  EXPECT_EQ(doc.GetNamedBookmarks(&b, 1), 0);
}

}  // namespace
}  // namespace mirel_lines_test
