// Fuzz target: compile a pattern with the regular-expression engine and run
// it over a subject held in a buffer of exactly its size, so any read past
// the text shows under the address sanitizer; and compare its matches with
// plain backtracking (tests/support/regexp_reference.h) wherever that
// reference answers within its step cap: the searches of Match and MatchAt,
// and those of a find that passes over matches inside a character
// (MatchFirst, MatchLast).
//
// Input: byte 0 = options (bit 0 case-sensitive, bit 1 paren groups, bit 2
// no room for the record of failures, so runs are swept, bit 3 characters
// of a double-byte code page, else UTF-8), byte 1 = pattern length, then the
// pattern, then the subject.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "mirel/search/cregexp.h"
#include "mirel/search/mrcharstarts.h"
#include "mirel/search/mrfind.h"
#include "regexp_reference.h"

namespace {

// Enough for the reference on short subjects; past it nothing is compared.
constexpr uint64_t kReferenceSteps = 30000;
// The fixed part of the engine's budget for each line.
constexpr uint64_t kLineSteps = 1u << 16;

using mirel_test::CPlainMatcher;

// Matches start and end on character starts; a forward find passes over the
// empty match at its start, a backward one makes no attempt at the end
// unless the program is anchored.
class CFindFilter : public CRegExpFilter {
 public:
  CFindFilter(const BYTE* p, DWORD n, BOOL bUtf8, const BYTE* pLead, BOOL bForward, DWORD nFrom,
              DWORD nNoStart)
      : m_starts(p, n, bUtf8, pLead),
        m_ends(p, n, bUtf8, pLead),
        m_bForward(bForward),
        m_nFrom(nFrom),
        m_nNoStart(nNoStart) {}
  BOOL IsStartAllowed(DWORD k) override { return k != m_nNoStart && m_starts.IsCharStart(k); }
  BOOL IsMatchAllowed(DWORD s, DWORD e) override {
    return !(m_bForward && s == m_nFrom && e == m_nFrom) && m_ends.IsCharStart(e);
  }

 private:
  CMrCharStarts m_starts;
  CMrCharStarts m_ends;
  BOOL m_bForward;
  DWORD m_nFrom;
  DWORD m_nNoStart;
};

void Expect(bool b) {
  if (!b) __builtin_trap();
}

// The engine's answer (found, and group 0) equals the reference's, unless
// one of them gave up.
void ExpectSame(const CRegExp& rx, int nFound, const CPlainMatcher& ref, BOOL bRef, DWORD s, DWORD e) {
  if (ref.GaveUp() || rx.IsOutOfSteps()) return;
  Expect((nFound != 0) == (bRef != FALSE));
  if (bRef) Expect(rx.anGroupStart[0] == s && rx.anGroupEnd[0] == e);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const BOOL bCase = data[0] & 1;
  const BOOL bParen = (data[0] >> 1) & 1;
  const BOOL bSweep = (data[0] >> 2) & 1;
  const BOOL bUtf8 = ((data[0] >> 3) & 1) == 0;
  size_t nPattern = data[1];
  data += 2;
  size -= 2;
  if (nPattern > size) nPattern = size;
  // The pattern is also NUL-terminated, as hosts hand it over.
  std::vector<char> pattern(data, data + nPattern);
  pattern.push_back('\0');
  const std::vector<BYTE> subject(data + nPattern, data + size);
  const BYTE* p = subject.empty() ? nullptr : subject.data();
  const DWORD n = static_cast<DWORD>(subject.size());

  CRegExp rx;
  if (rx.Compile(pattern.data(), static_cast<int>(nPattern), bCase, bParen) != nullptr) {
    if (rx.abProgram[0] != RX_END || rx.IsCompiled()) __builtin_trap();
    return 0;
  }
  if (p == nullptr) return 0;
  if (bSweep) rx.SetMemoCap(0);
  // Budgets as small as the inputs are short: a back reference whose work is
  // cubic in a line of a few hundred bytes gives up (and is not compared)
  // instead of running for seconds under the sanitizers.
  rx.SetLineStepBudget(kLineSteps);
  // A range that ends before the text does: literals may look past the range
  // end, never past the limit.
  const DWORD nEnd = n / 2 + (n & 1);
  for (DWORD nStart : {0u, nEnd / 2}) {
    CPlainMatcher ref(rx, p, nEnd, n, nStart, kReferenceSteps);
    DWORD s = 0;
    DWORD e = 0;
    const BOOL bRef = ref.First(nStart, &s, &e);
    const int nFound = rx.Match(p, nStart, nEnd, n, nStart);
    if (nFound) {
      Expect(rx.anGroupStart[0] >= nStart && rx.anGroupStart[0] <= nEnd);
      Expect(rx.anGroupEnd[0] >= rx.anGroupStart[0] && rx.anGroupEnd[0] <= n);
    }
    ExpectSame(rx, nFound, ref, bRef, s, e);
  }
  {
    CPlainMatcher ref(rx, p, n, n, 0, kReferenceSteps);
    const long long e = ref.At(0);
    const int nFound = rx.MatchAt(p, 0, n, n, 0);
    if (nFound) Expect(rx.anGroupStart[0] == 0 && rx.anGroupEnd[0] <= n);
    ExpectSame(rx, nFound, ref, e >= 0, 0, e >= 0 ? static_cast<DWORD>(e) : 0);
  }

  // Finds in the line [0, nEnd) that must not split a character.
  static BYTE abLead[256];
  for (int b = 0x81; b <= 0xFE; ++b) abLead[b] = 1;
  const BYTE* pLead = bUtf8 ? nullptr : abLead;
  auto isStart = [&](DWORD k) -> BOOL {
    if (k == 0 || k >= n) return TRUE;
    return bUtf8 ? (p[k] & 0xC0) != 0x80 : MrIsDbcsBoundary(p, n, k, pLead);
  };
  const BOOL bAnchored = rx.abProgram[0] == RX_BOL || rx.abProgram[0] == RX_EOL;
  for (DWORD nFrom : {0u, nEnd / 2}) {
    CPlainMatcher ref(rx, p, nEnd, n, 0, kReferenceSteps);
    DWORD s = 0;
    DWORD e = 0;
    BOOL bRef = mirel_test::ReferenceFirst(ref, nFrom, nFrom, nEnd, isStart, &s, &e);
    CFindFilter forward(p, n, bUtf8, pLead, TRUE, nFrom, 0xFFFFFFFF);
    int nFound = rx.MatchFirst(p, nFrom, nEnd, n, 0, forward);
    if (nFound) Expect(isStart(rx.anGroupStart[0]) && isStart(rx.anGroupEnd[0]));
    ExpectSame(rx, nFound, ref, bRef, s, e);

    CPlainMatcher back(rx, p, nEnd, n, 0, kReferenceSteps);
    bRef = mirel_test::ReferenceLast(back, rx.abProgram, 0, nEnd - nFrom, nEnd, isStart, &s, &e);
    CFindFilter backward(p, n, bUtf8, pLead, FALSE, 0, bAnchored ? 0xFFFFFFFF : nEnd);
    nFound = rx.MatchLast(p, 0, nEnd - nFrom, nEnd, n, 0, backward);
    if (nFound) Expect(isStart(rx.anGroupStart[0]) && isStart(rx.anGroupEnd[0]));
    ExpectSame(rx, nFound, back, bRef, s, e);
  }
  return 0;
}
