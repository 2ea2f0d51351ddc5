// What edit windows and the host see of inserts, deletions, undo and redo:
// the refresh of scroll bars, caret and rows, and the WM_COMMAND
// notification of a change of the modified flag, sent once the edit is
// complete.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "doc_test_util.h"
#include "registry_test_util.h"
#include "textio_test_util.h"

namespace mirel_textio_test {
namespace {

using mirel_registry_test::CallLog;
using mirel_registry_test::TestEdit;
using mirel_registry_test::WindowMessage;

constexpr int kEditId = 0x4D2;
constexpr WORD kModifiedCode = 1;

class UndoNotify : public mirel_registry_test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    hEdit = CreateChild(kEditId);
    ASSERT_NE(hEdit, nullptr);
    edit = std::make_unique<TestEdit>(&d.doc, &log, "v", hEdit);
    d.doc.RegisterEdit(&edit->edit);
    ASSERT_EQ(d.doc.GetActiveEdit(), &edit->edit);
    ASSERT_TRUE(d.Fill(""));
    d.doc.SetModified(FALSE);
    log.clear();
    mirel_registry_test::MessageRecorder::Get().messages.clear();
  }
  void TearDown() override {
    edit.reset();
    WindowTest::TearDown();
  }

  // The modified-flag notifications the parent received since the last call.
  int TakeModifiedNotifications() {
    int n = 0;
    for (const WindowMessage& m : Received(hParent, WM_COMMAND)) {
      EXPECT_EQ(LOWORD(m.wParam), kEditId);
      EXPECT_EQ(m.lParam, reinterpret_cast<LPARAM>(hEdit));
      if (HIWORD(m.wParam) == kModifiedCode) ++n;
    }
    mirel_registry_test::MessageRecorder::Get().messages.clear();
    return n;
  }
  CallLog TakeLog() {
    CallLog out;
    out.swap(log);
    return out;
  }

  IoDoc d{MIREL_ENCODING_ANSI};
  CallLog log;
  HWND hEdit = nullptr;
  std::unique_ptr<TestEdit> edit;
};

TEST_F(UndoNotify, InsertRefreshesScrollBarsCaretAndRowsFromTheParagraph) {
  ASSERT_TRUE(d.doc.InsertContents(0, Bytes("ab\r\ncd"), 6, FALSE));
  d.doc.SetSel(5, 5, FALSE);
  TakeLog();
  ASSERT_EQ(d.doc.InsertA("x", 1, TRUE), 1);
  EXPECT_EQ(TakeLog(), (CallLog{"v.scrollbars", "v.caret(1,1)", "v.invalidate(3,4,0)"}));
}

TEST_F(UndoNotify, DeleteAndDeleteWordRepaintFromTheCaret) {
  ASSERT_TRUE(d.doc.InsertContents(0, Bytes("ab cd ef"), 8, FALSE));
  d.doc.SetSel(3, 3, FALSE);
  TakeLog();
  EXPECT_EQ(d.doc.Delete(0), 1);
  EXPECT_EQ(TakeLog(), (CallLog{"v.scrollbars", "v.caret(1,1)", "v.invalidate(3,3,0)"}));
  EXPECT_TRUE(d.doc.DeleteWord());
  EXPECT_EQ(d.Text(), "ab ef");
  EXPECT_EQ(TakeLog(), (CallLog{"v.scrollbars", "v.caret(1,1)", "v.invalidate(3,3,0)"}));
}

TEST_F(UndoNotify, UndoAndRedoRepaintEveryRowAndNotifyTheModifiedFlag) {
  ASSERT_EQ(d.doc.InsertA("abc ", 4, TRUE), 1);
  d.doc.SetModified(FALSE);  // saved
  TakeModifiedNotifications();
  ASSERT_EQ(d.doc.InsertA("d", 1, TRUE), 1);
  EXPECT_EQ(TakeModifiedNotifications(), 1);
  TakeLog();

  ASSERT_TRUE(d.doc.Undo(&edit->edit));
  EXPECT_EQ(TakeLog(), (CallLog{"v.scrollbars", "v.caret(1,1)", "v.invalidate(2,0,0)"}));
  EXPECT_FALSE(d.doc.IsModified());
  EXPECT_EQ(TakeModifiedNotifications(), 1);

  ASSERT_TRUE(d.doc.Undo(&edit->edit));
  EXPECT_TRUE(d.doc.IsModified());
  EXPECT_EQ(TakeModifiedNotifications(), 1);

  ASSERT_TRUE(d.doc.Redo(&edit->edit));
  EXPECT_FALSE(d.doc.IsModified());
  EXPECT_EQ(TakeModifiedNotifications(), 1);
  ASSERT_TRUE(d.doc.Redo(&edit->edit));
  EXPECT_TRUE(d.doc.IsModified());
  EXPECT_EQ(TakeModifiedNotifications(), 1);
  TakeLog();

  // Nothing left to redo: nothing is repainted and nothing is sent.
  EXPECT_FALSE(d.doc.Redo(&edit->edit));
  EXPECT_TRUE(TakeLog().empty());
  EXPECT_EQ(TakeModifiedNotifications(), 0);
}

TEST_F(UndoNotify, TheWindowThatAskedPlacesItsCaretAndEveryWindowRepaints) {
  HWND hSecond = CreateChild(kEditId + 1);
  TestEdit second(&d.doc, &log, "w", hSecond);
  d.doc.RegisterEdit(&second.edit);
  ASSERT_EQ(d.doc.InsertA("abc", 3, TRUE), 1);
  TakeLog();
  ASSERT_TRUE(d.doc.Undo(&second.edit));
  EXPECT_EQ(TakeLog(), (CallLog{"v.scrollbars", "w.scrollbars", "w.caret(1,1)", "v.invalidate(2,0,0)",
                                "w.invalidate(2,0,0)"}));
  d.doc.UnregisterEdit(&second.edit);
}

// ---------------------------------------------------------------------------
// The notification comes after the edit: the host that reads the document
// from its WM_COMMAND handler finds the text and the rows complete.

struct NotifiedState {
  int nCode;
  std::string text;
  std::vector<mirel_doc_test::Row> rows;
};

class StateRecorder {
 public:
  static StateRecorder& Get() {
    static StateRecorder recorder;
    return recorder;
  }
  static LRESULT CALLBACK Proc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    StateRecorder& self = Get();
    if (uMsg == WM_COMMAND && self.pDoc != nullptr) {
      CMirelDoc& doc = *self.pDoc;
      std::string text(doc.GetContentsSize(), '\0');
      if (!text.empty()) doc.GetTextA(&text[0], 0, static_cast<int>(text.size()));
      self.states.push_back({HIWORD(wParam), text, mirel_doc_test::RowsOf(doc)});
      return 0;
    }
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
  }
  CMirelDoc* pDoc = nullptr;
  std::vector<NotifiedState> states;
};

TEST(UndoNotifyTiming, TheHostSeesTheFinishedEditWhenNotified) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = &StateRecorder::Proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "MirelUndoNotifyTimingParent";
  RegisterClassA(&wc);
  HWND hParent = CreateWindowExA(0, wc.lpszClassName, "parent", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                                 nullptr, wc.hInstance, nullptr);
  ASSERT_NE(hParent, nullptr);
  HWND hEdit = CreateWindowExA(0, wc.lpszClassName, nullptr, WS_CHILD, 0, 0, 100, 50, hParent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(7)), wc.hInstance, nullptr);
  ASSERT_NE(hEdit, nullptr);
  {
    IoDoc d(MIREL_ENCODING_ANSI);
    CallLog log;
    TestEdit edit(&d.doc, &log, "v", hEdit);
    d.doc.RegisterEdit(&edit.edit);
    ASSERT_TRUE(d.Fill(""));
    d.doc.SetModified(FALSE);
    StateRecorder& rec = StateRecorder::Get();
    rec.pDoc = &d.doc;
    rec.states.clear();

    ASSERT_EQ(d.doc.InsertA("one\r\ntwo\r\nthree", 15, TRUE), 1);
    ASSERT_EQ(rec.states.size(), 1u);
    EXPECT_EQ(rec.states[0].nCode, 1);
    EXPECT_EQ(rec.states[0].text, "one\r\ntwo\r\nthree");
    EXPECT_EQ(rec.states[0].rows, mirel_doc_test::RowsOf(d.doc));
    EXPECT_EQ(rec.states[0].rows.size(), 3u);

    d.doc.SetModified(FALSE);
    rec.states.clear();
    ASSERT_TRUE(d.doc.Undo(&edit.edit));
    ASSERT_FALSE(rec.states.empty());
    EXPECT_EQ(rec.states[0].text, "");
    EXPECT_EQ(rec.states[0].rows, mirel_doc_test::RowsOf(d.doc));
    EXPECT_EQ(rec.states[0].rows.size(), 1u);

    // A group is undone as one change: the host hears of it once, after the
    // last record of the group.
    d.doc.StartUndoGroup();
    ASSERT_EQ(d.doc.InsertA("a\r\n", 3, TRUE), 1);
    d.doc.SetSel(0, 0, FALSE);
    ASSERT_EQ(d.doc.InsertA("b\r\n", 3, TRUE), 1);
    d.doc.EndUndoGroup();
    ASSERT_EQ(d.Text(), "b\r\na\r\n");
    d.doc.SetModified(FALSE);
    rec.states.clear();
    ASSERT_TRUE(d.doc.Undo(&edit.edit));
    ASSERT_EQ(rec.states.size(), 1u);
    EXPECT_EQ(rec.states[0].text, "");
    EXPECT_EQ(rec.states[0].rows, mirel_doc_test::RowsOf(d.doc));
    EXPECT_TRUE(d.doc.IsModified());
    rec.states.clear();
    ASSERT_TRUE(d.doc.Redo(&edit.edit));
    ASSERT_EQ(rec.states.size(), 1u);
    EXPECT_EQ(rec.states[0].text, "b\r\na\r\n");
    EXPECT_EQ(rec.states[0].rows.size(), 3u);
    EXPECT_FALSE(d.doc.IsModified());
    rec.pDoc = nullptr;
    d.doc.UnregisterEdit(&edit.edit);
  }
  DestroyWindow(hParent);
}

}  // namespace
}  // namespace mirel_textio_test
