// The caret is made anew only when the one on the screen cannot serve: a
// shown caret of the right size owned by the window just moves. Either way
// the caret ends up as a freshly made one would be: owner, size, place and
// shown state.
#include <windows.h>

#include <gtest/gtest.h>

#include "textview_keys_fixture.h"

#ifndef _WIN32
#include "hooks_user_extra.h"

using namespace mirel_keys_test;

namespace {

struct CCaretState {
  HWND hOwner;
  SIZE size;
  POINT pos;
  BOOL bShown;
};

CCaretState CurrentCaret() {
  CCaretState s{MrwTestCaretOwner(), MrwTestCaretSize(), POINT{-1, -1}, MrwTestCaretShown()};
  GetCaretPos(&s.pos);
  return s;
}

enum class EStep { kRight, kOverwrite, kOtherWindowTookIt, kHostHidIt };

struct CReuseCase {
  const char* pszName;
  EStep step;
  bool bMadeAnew;
};

const CReuseCase kCases[] = {
    {"Right arrow inside a row", EStep::kRight, false},
    {"Insert switches to the overwrite caret", EStep::kOverwrite, true},
    {"another window took the caret", EStep::kOtherWindowTookIt, true},
    {"the host hid the caret", EStep::kHostHidIt, true},
};

class CaretReuse : public KeysTest, public ::testing::WithParamInterface<int> {};

TEST_P(CaretReuse, MadeAnewOnlyWhenNeeded) {
  const CReuseCase& c = kCases[GetParam()];
  SCOPED_TRACE(c.pszName);
  Open(MIREL_ENCODING_ANSI, "abc def\r\nghi\r\n");
  SetFocus(hEdit);
  Key(VK_RIGHT);
  ASSERT_EQ(MrwTestCaretOwner(), hEdit);
  ASSERT_TRUE(MrwTestCaretShown());
  const POINT before = CurrentCaret().pos;

  // Each step prepares, then presses its key.
  UINT nKey = VK_RIGHT;
  switch (c.step) {
    case EStep::kRight:
      break;
    case EStep::kOverwrite:
      nKey = VK_INSERT;
      break;
    case EStep::kOtherWindowTookIt:
      ASSERT_TRUE(CreateCaret(GetParent(hEdit), nullptr, 5, 5));
      break;
    case EStep::kHostHidIt:
      HideCaret(hEdit);
      break;
  }
  const UINT nCreations = MrwTestCaretCreations();
  Key(nKey);
  EXPECT_EQ(MrwTestCaretCreations() != nCreations, c.bMadeAnew);
  const CCaretState after = CurrentCaret();
  if (nKey == VK_RIGHT) {
    EXPECT_GT(after.pos.x, before.x) << "the caret follows the move";
  }

  // A caret made from scratch at this point looks the same.
  DestroyCaret();
  pEdit->pView->UpdateCaret(0, 0);
  const CCaretState fresh = CurrentCaret();
  EXPECT_EQ(after.hOwner, fresh.hOwner);
  EXPECT_EQ(after.size.cx, fresh.size.cx);
  EXPECT_EQ(after.size.cy, fresh.size.cy);
  EXPECT_EQ(after.pos.x, fresh.pos.x);
  EXPECT_EQ(after.pos.y, fresh.pos.y);
  EXPECT_EQ(after.bShown, fresh.bShown);
  EXPECT_TRUE(after.bShown);
}

INSTANTIATE_TEST_SUITE_P(Steps, CaretReuse,
                         ::testing::Range(0, static_cast<int>(sizeof(kCases) / sizeof(kCases[0]))));

}  // namespace

#endif  // _WIN32
