// Running out of memory: commands refuse with nothing changed (text, caret,
// undo history, modified flag) and work again once memory is back, the row
// and paragraph indexes are dropped and taken again, and nothing a handler
// throws leaves the library's window procedure.
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <new>
#include <string>

#include <gtest/gtest.h>

#include "doc_test_util.h"
#include "lines_test_util.h"
#include "mirel/mrmessageguard.h"
#include "mirel/mrnothrow.h"
#include "mirel/mrtryalloc.h"
#include "selection_fixture.h"
#include "window_test_util.h"

namespace {

using mirel_lines_test::ExpectConsistent;
using mirel_lines_test::MarkedDoc;
using mirel_lines_test::Plain;
using mirel_lines_test::Show;

// While it lives, every growth through the refusing helpers of nBytes or
// more fails.
class FailAllocations {
 public:
  explicit FailAllocations(size_t nFromBytes = 0) {
    s_nFromBytes = nFromBytes;
    g_pfnMrAllocFailHook = [](size_t nBytes) -> BOOL { return nBytes >= s_nFromBytes; };
  }
  ~FailAllocations() { g_pfnMrAllocFailHook = nullptr; }
  FailAllocations(const FailAllocations&) = delete;
  FailAllocations& operator=(const FailAllocations&) = delete;

 private:
  static inline size_t s_nFromBytes = 0;
};

// While it lives, the growths through the refusing helpers after the first
// nAllowed fail.
class FailAllocationsAfter {
 public:
  explicit FailAllocationsAfter(int nAllowed) {
    s_nLeft = nAllowed;
    g_pfnMrAllocFailHook = [](size_t) -> BOOL { return s_nLeft-- <= 0; };
  }
  ~FailAllocationsAfter() { g_pfnMrAllocFailHook = nullptr; }
  FailAllocationsAfter(const FailAllocationsAfter&) = delete;
  FailAllocationsAfter& operator=(const FailAllocationsAfter&) = delete;

 private:
  static inline int s_nLeft = 0;
};

// A command and its result (-1 for commands that return nothing).
struct OomCase {
  const char* name;
  const char* before;  // marked: '|' caret, '^' anchor
  std::function<int(CMirelDoc&)> command;
};

int FindNext(CMirelDoc& doc, const char* psz) {
  int nPos = 0;
  return doc.FindTextA(psz, MIREL_FIND_WRAP, FALSE, &nPos, FALSE);
}

TEST(OutOfMemory, CommandsRefuseWholeAndWorkOnceMemoryIsBack) {
  const OomCase kCases[] = {
      {"duplicate line", "ab|c\ndef", [](CMirelDoc& d) { return d.DuplicateLine(), -1; }},
      {"join lines", "^abc\nde|f\nghi", [](CMirelDoc& d) { return d.JoinLines(), -1; }},
      {"transpose lines", "abc\nd|ef", [](CMirelDoc& d) { return d.TransposeLine(), -1; }},
      {"tabs to spaces", "^a\tb\n\tc|", [](CMirelDoc& d) { return d.ConvertTabToSpace(), -1; }},
      {"spaces to tabs", "^a        b|", [](CMirelDoc& d) { return d.ConvertSpaceToTab(FALSE), -1; }},
      {"change case", "^abc def|", [](CMirelDoc& d) { return d.ChangeCase(0), -1; }},
      {"insert converted host text", "ab|c",
       [](CMirelDoc& d) {
         return d.nFileEncoding == MIREL_ENCODING_ANSI ? d.InsertU("xy", 2, TRUE) : d.InsertA("xy", 2, TRUE);
       }},
      {"find", "|abc xyz", [](CMirelDoc& d) { return FindNext(d, "xyz"); }},
      {"replace", "abc ^xyz|",
       [](CMirelDoc& d) {
         int nPos = 0;
         return d.ReplaceTextA("xyz", "uvw", MIREL_FIND_WRAP, TRUE, &nPos, FALSE);
       }},
  };
  for (int nEncoding : mirel_lines_test::TableEncodings()) {
    for (const OomCase& c : kCases) {
      SCOPED_TRACE(std::string(c.name) + " in " + mirel_lines_test::EncodingName(nEncoding));
      MarkedDoc d(nEncoding);
      d.Load(c.before);
      d.doc.SetModified(FALSE);
      const std::string before = Show(d.doc);
      {
        FailAllocations fail;
        const int nResult = c.command(d.doc);
        if (nResult != -1) {
          EXPECT_EQ(nResult, 0);
        }
      }
      EXPECT_EQ(Show(d.doc), before);
      EXPECT_FALSE(d.doc.CanUndo()) << "a refused command left an undo step";
      EXPECT_FALSE(d.doc.IsModified());
      EXPECT_EQ(d.doc.undo.nNestLevel, 0) << "a refused command left a group open";
      ExpectConsistent(d.doc);
      // The same command succeeds once the memory is there.
      const int nResult = c.command(d.doc);
      if (nResult != -1) {
        EXPECT_NE(nResult, 0);
      } else {
        EXPECT_NE(Plain(Show(d.doc)), Plain(before));
      }
      ExpectConsistent(d.doc);
    }
  }
}

// The rows, shown in a window, unmodified, with a column block from
// character nFirst of the first row to character nLast of the last.
void ColumnBlockOver(mirel_sel_test::SelDoc& t, std::initializer_list<std::u16string> rows, size_t nFirst,
                     size_t nLast) {
  ASSERT_TRUE(t.SetRows(rows));
  t.ShowInWindow();
  t.doc.SetColumnMode(TRUE);
  t.doc.SetSel(t.Pos(0, nFirst), t.Pos(static_cast<int>(rows.size()) - 1, nLast), FALSE);
  ASSERT_TRUE(t.doc.IsColumnBlock());
  t.doc.SetModified(FALSE);
}

// The column commands: the text, the numbers and a pasted column refuse
// before any row changes.
TEST(OutOfMemory, ColumnInsertsRefuseBeforeAnyRowChanges) {
  using mirel_sel_test::SelDoc;
  const std::function<int(SelDoc&)> kCommands[] = {
      [](SelDoc& t) { return t.doc.InsertColumnsTextA("XY", 2, TRUE); },
      [](SelDoc& t) { return t.doc.InsertColumnsNumber(1, 1, FALSE, FALSE, FALSE, TRUE); },
      [](SelDoc& t) {
        const std::string data = t.Bytes(u"1\r\n2\r\n3");
        return static_cast<int>(t.doc.InsertColumnText(reinterpret_cast<const BYTE*>(data.data()),
                                                       static_cast<DWORD>(data.size()), t.Pos(0, 1)));
      },
  };
  for (int nEncoding : mirel_lines_test::TableEncodings()) {
    for (size_t k = 0; k < std::size(kCommands); ++k) {
      SCOPED_TRACE("command " + std::to_string(k) + " in " + mirel_lines_test::EncodingName(nEncoding));
      SelDoc t(nEncoding);
      ASSERT_NO_FATAL_FAILURE(ColumnBlockOver(t, {u"abc", u"a", u"abc"}, 1, 1));
      {
        FailAllocations fail;
        EXPECT_EQ(kCommands[k](t), 0);
      }
      EXPECT_TRUE(t.TextIs({u"abc", u"a", u"abc"}));
      EXPECT_FALSE(t.doc.CanUndo());
      EXPECT_FALSE(t.doc.IsModified());
      EXPECT_EQ(t.doc.undo.nNestLevel, 0);
      // Afterwards the rows change again.
      kCommands[k](t);
      EXPECT_FALSE(t.TextIs({u"abc", u"a", u"abc"}));
      EXPECT_TRUE(t.doc.CanUndo());
    }
  }
}

// A case change on a column block that runs out of memory on a later row
// takes back the rows done.
TEST(OutOfMemory, ColumnCaseChangeFailingPartWayTakesBackTheRowsDone) {
  using mirel_sel_test::SelDoc;
  for (int nAllowed = 0; nAllowed < 8; ++nAllowed) {
    SCOPED_TRACE(std::to_string(nAllowed) + " allocations");
    SelDoc t(MIREL_ENCODING_ANSI);
    ASSERT_NO_FATAL_FAILURE(ColumnBlockOver(t, {u"abc", u"abc", u"abc"}, 1, 2));
    {
      FailAllocationsAfter fail(nAllowed);
      t.doc.ChangeCase(0);
    }
    EXPECT_EQ(t.doc.undo.nNestLevel, 0);
    if (t.TextIs({u"abc", u"abc", u"abc"})) {
      EXPECT_FALSE(t.doc.CanUndo());
      EXPECT_FALSE(t.doc.IsModified());
    } else {
      EXPECT_TRUE(t.TextIs({u"aBc", u"aBc", u"aBc"})) << "a failed command left part of its work";
    }
  }
}

// A line table that grows nGrowths more times, then no more.
class RowLimitedDoc : public CMirelDoc {
 public:
  int nGrowths = -1;  // -1: no limit

 protected:
  void* ReallocateLines(void* p, size_t nBytes) override {
    if (nGrowths == 0) return nullptr;
    if (nGrowths > 0) --nGrowths;
    return CMirelDoc::ReallocateLines(p, nBytes);
  }
};

// Commands that edit paragraph by paragraph, with strings that add a row
// each time, failing at every point on the way: the text is left whole or
// untouched, and an untouched text has no step, no change mark, no group.
TEST(OutOfMemory, ParagraphCommandsFailingPartWayTakeBackTheParagraphsDone) {
  const std::function<int(CMirelDoc&, BOOL)> kCommands[] = {
      [](CMirelDoc& d, BOOL bUndo) { return d.AttachA("{\r\n", 3, "\r\n}", 3, bUndo); },
      [](CMirelDoc& d, BOOL bUndo) { return d.AttachOnParagraphA("{\r\n", 3, "\r\n}", 3, bUndo); },
  };
  const std::string kText = "a\r\nb\r\nc\r\nd";
  for (size_t k = 0; k < std::size(kCommands); ++k) {
    for (BOOL bUndo : {TRUE, FALSE}) {
      std::string whole;
      for (int nGrowths = 0; nGrowths < 12; ++nGrowths) {
        SCOPED_TRACE("command " + std::to_string(k) + (bUndo ? " recorded" : " unrecorded") + ", " +
                     std::to_string(nGrowths) + " growths");
        RowLimitedDoc doc;
        mirel_doc_test::OpenEmpty(doc, MIREL_ENCODING_ANSI);
        mirel_doc_test::SetFixedMetrics(doc, 10, 40, 1000);
        ASSERT_TRUE(doc.InsertContents(0, reinterpret_cast<const BYTE*>(kText.data()),
                                       static_cast<DWORD>(kText.size()), TRUE));
        doc.SetModified(FALSE);
        doc.SelectAll();
        doc.nGrowths = nGrowths;
        const int nResult = kCommands[k](doc, bUndo);
        doc.nGrowths = -1;
        const std::string text = mirel_doc_test::TextOf(doc);
        EXPECT_EQ(doc.undo.nNestLevel, 0);
        ExpectConsistent(doc);
        if (nResult == 0) {
          EXPECT_EQ(text, kText) << "a failed command left part of its work";
          EXPECT_FALSE(doc.IsModified());
          ASSERT_TRUE(doc.CanUndo());  // the text's own insertion, and no more
          ASSERT_TRUE(doc.Undo(nullptr));
          EXPECT_EQ(mirel_doc_test::TextOf(doc), "");
        } else if (whole.empty()) {
          whole = text;
        } else {
          EXPECT_EQ(text, whole);
        }
      }
      EXPECT_FALSE(whole.empty()) << "the command never went through";
    }
  }
}

// The position index and the paragraph index are caches: without the
// memory for them they are dropped, every look-up still answers what the
// row table says, and they are taken again once the memory is back.
TEST(OutOfMemory, PositionAndParagraphIndexesAreDroppedAndTakenAgain) {
  using namespace mirel_doc_test;
  auto lines = [](int nCount) {
    std::string text;
    for (int i = 0; i < nCount; ++i) text += "line " + std::to_string(i) + "\r\n";
    return text;
  };
  const std::string big = lines(1000);  // more entries than a first layout makes room for
  const std::string added = lines(200);
  struct Edit {
    const char* name;
    const char* start;  // the text before: the indexes are as long as it needs
    std::function<void(mirel_test::TextDoc&)> edit;
  } const kEdits[] = {
      {"whole layout", "x", [&big](mirel_test::TextDoc& d) { ASSERT_TRUE(d.SetText(big)); }},
      {"rows added", nullptr,
       [&added](mirel_test::TextDoc& d) {
         ASSERT_TRUE(d.doc.InsertContents(0, Bytes(added), Len(added), TRUE));
       }},
  };
  for (const Edit& e : kEdits) {
    SCOPED_TRACE(e.name);
    mirel_test::TextDoc d(MIREL_ENCODING_ANSI, MIREL_WRAP_NONE, 0);
    ASSERT_TRUE(d.SetText(e.start != nullptr ? std::string(e.start) : big));
    CMirelDoc& doc = d.doc;
    auto expectLookUpsMatchTheTable = [&doc] {
      for (int nRow = 0; nRow < doc.nLineCount; nRow += 37) {
        EXPECT_EQ(doc.GetLineFromPos(doc.pLines[nRow].nStart + 1), nRow);
        EXPECT_EQ(doc.FindFirstRowOfParagraph(doc.pLines[nRow].nPara), nRow);
      }
    };
    expectLookUpsMatchTheTable();
    {
      FailAllocations fail;
      e.edit(d);
      EXPECT_FALSE(doc.RowSamplesInStep()) << "an index the memory cannot hold is dropped";
      // Look-ups answer from the table while the indexes cannot be taken.
      expectLookUpsMatchTheTable();
      EXPECT_FALSE(doc.RowSamplesInStep());
    }
    EXPECT_EQ(RowsOf(doc), RebuiltRows(doc));
    // Memory back: the look-ups take the indexes again, and an edit keeps
    // them in step.
    expectLookUpsMatchTheTable();
    EXPECT_TRUE(doc.RowSamplesInStep());
    e.edit(d);
    expectLookUpsMatchTheTable();
    EXPECT_TRUE(doc.RowSamplesInStep());
  }
}

// The guard at the exports: a throw becomes the failure result.
TEST(OutOfMemory, GuardedCallsTurnAThrowIntoTheFailureResult) {
  EXPECT_EQ(MrGuarded([]() -> int { throw std::bad_alloc(); }), 0);
  EXPECT_EQ(MrGuarded([]() -> BOOL { throw 1; }), FALSE);
  EXPECT_EQ(MrGuarded([]() -> HWND { throw std::bad_alloc(); }), nullptr);
  EXPECT_EQ(MrGuarded([] { return 7; }), 7);
  EXPECT_FALSE(MrNoThrowVoid([] { throw std::bad_alloc(); }));
  EXPECT_TRUE(MrNoThrowVoid([] {}));
  EXPECT_EQ(MrFailedMessageResult(nullptr, WM_NCCREATE, 0, 0), FALSE);
  EXPECT_EQ(MrFailedMessageResult(nullptr, WM_CREATE, 0, 0), -1);
  EXPECT_EQ(MrFailedMessageResult(nullptr, WM_CHAR, 'a', 0), 0);
}

// A view whose typing handler runs out of memory.
class ThrowingView : public mirel_window_test::CallView {
 public:
  using CallView::CallView;
  void OnChar(HWND, char, int) override { throw std::bad_alloc(); }
};

class OutOfMemoryWindow : public mirel_window_test::WindowFixture {};

TEST_F(OutOfMemoryWindow, AThrowingHandlerNeverLeavesTheWindowProcedure) {
  Edit& e = NewEdit(false);
  e.view = std::make_unique<ThrowingView>(&log);
  e.edit.pView = e.view.get();
  e.view->pMirel = &e.edit;
  e.view->pdoc = &doc;
  const HWND hWnd = CreateEditWindow(e);
  ASSERT_NE(hWnd, nullptr);
  ASSERT_EQ(doc.NewFile(), 1);
  LRESULT lResult = -1;
  EXPECT_NO_THROW(lResult = SendMessageA(hWnd, WM_CHAR, 'a', 1));
  EXPECT_EQ(lResult, 0);
  // The window goes on serving messages.
  log.clear();
  SendMessageA(hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(120, 80));
  EXPECT_FALSE(log.empty());
}

}  // namespace
