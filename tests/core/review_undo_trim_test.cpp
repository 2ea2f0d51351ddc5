// Trimming the oldest history to the memory limit drops whole steps: a
// replacement (a removal and an insertion in one group) is never cut in two,
// so undoing what is left always ends on a text the user once had.
#include <windows.h>

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "mirel/cmrundomanager.h"

namespace {

const BYTE* Bytes(const std::string& s) {
  return reinterpret_cast<const BYTE*>(s.data());
}

// Undoes one step (a record, or the consecutive records of one group) on a
// text model, the way the document replays it; false when nothing is left.
bool UndoStep(CMrUndoManager& m, std::string* pText) {
  if (m.IsCurrentFree()) {
    if (m.cr == 0) return false;
    --m.cr;
  }
  const LONG group = m.pUR[m.cr].nGroup;
  for (;;) {
    const MIREL_UNDO_RECORD& r = m.pUR[m.cr];
    const size_t pos = static_cast<size_t>(r.pos);
    const std::string data(reinterpret_cast<const char*>(r.pData), static_cast<size_t>(r.count));
    if (r.action == URA_INSERT) {
      EXPECT_EQ(pText->substr(pos, data.size()), data);
      pText->erase(pos, data.size());
    } else {
      pText->insert(pos, data);
    }
    m.pUR[m.cr].bUndone = 1;
    if (group == 0 || m.cr == 0 || m.pUR[m.cr - 1].nGroup != group) return true;
    --m.cr;
  }
}

TEST(ReviewUndoTrim, TrimmingNeverSplitsAReplacement) {
  CMrUndoManager m;
  m.SetMemLimit(std::numeric_limits<LONG>::max());
  // Each step replaces the whole text, 8 KiB and 4 KiB in turn: the records
  // alternate in size, so the half-limit cut falls between the removal and
  // the insertion of one replacement.
  std::string text(8192, 'a');
  std::vector<std::string> states{text};
  for (int i = 0; i < 120; ++i) {
    const std::string fresh(i % 2 == 0 ? 4096 : 8192, static_cast<char>('b' + i % 20));
    ASSERT_TRUE(m.AddReplace(0, Bytes(text), static_cast<LONG>(text.size()), Bytes(fresh),
                             static_cast<LONG>(fresh.size())));
    text = fresh;
    ASSERT_TRUE(m.SeparateUndo());
    states.push_back(text);
  }
  m.SetMemLimit(0x100000);
  const std::string last(8192, 'q');
  ASSERT_TRUE(m.AddReplace(0, Bytes(text), static_cast<LONG>(text.size()), Bytes(last), 8192));
  text = last;
  ASSERT_TRUE(m.SeparateUndo());
  states.push_back(text);
  ASSERT_LT(m.GetUsedRecords(), 2 * 121);  // the history was trimmed

  size_t nAt = states.size() - 1;
  while (UndoStep(m, &text)) {
    ASSERT_GT(nAt, 0u);
    --nAt;
    ASSERT_EQ(text, states[nAt]) << "after undoing back to state " << nAt;
  }
}

}  // namespace
