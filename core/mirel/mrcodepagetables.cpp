#include "mirel/mrcodepagetables.h"

#include <memory>
#include <new>
#include <mutex>
#include <utility>

#include "mirel/mrtextunits.h"

namespace {

constexpr BOOL IsSurrogate(UINT u) {
  return u >= 0xD800 && u <= 0xDFFF;
}

// One unit as the converter writes it to UTF-8; NUL and surrogates are left
// to the character-by-character path.
MrAnsiChar CharOf(WCHAR unit) {
  MrAnsiChar c{};
  const UINT u = static_cast<UINT>(unit);
  if (u == 0 || IsSurrogate(u)) return c;
  c.nUnit = static_cast<WORD>(u);
  if (u < 0x80) {
    c.abUtf8[0] = static_cast<BYTE>(u);
    c.nLen = 1;
  } else if (u < 0x800) {
    c.abUtf8[0] = static_cast<BYTE>(0xC0 | (u >> 6));
    c.abUtf8[1] = static_cast<BYTE>(0x80 | (u & 0x3F));
    c.nLen = 2;
  } else {
    c.abUtf8[0] = static_cast<BYTE>(0xE0 | (u >> 12));
    c.abUtf8[1] = static_cast<BYTE>(0x80 | ((u >> 6) & 0x3F));
    c.abUtf8[2] = static_cast<BYTE>(0x80 | (u & 0x3F));
    c.nLen = 3;
  }
  return c;
}

// The system ANSI code page stands for 0, so that one table serves both.
UINT ResolveCodePage(UINT nCodePage) {
  return nCodePage == 0 ? GetACP() : nCodePage;
}

// The built tables of every code page asked for so far (NULL where building
// failed), kept for the life of the process.
template <typename Table>
const Table* FindOrBuild(UINT nCodePage) {
  static std::mutex lock;
  static std::vector<std::pair<UINT, std::unique_ptr<Table>>> tables;
  const UINT nCp = ResolveCodePage(nCodePage);
  std::lock_guard<std::mutex> guard(lock);
  for (const auto& entry : tables)
    if (entry.first == nCp) return entry.second.get();
  // Short of memory the converter goes character by character; the table is
  // tried again on the next conversion.
  try {
    std::unique_ptr<Table> table(new Table());
    if (!table->Build(nCp)) table.reset();
    tables.emplace_back(nCp, std::move(table));
    return tables.back().second.get();
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace

const CMrAnsiDecodeTable* CMrAnsiDecodeTable::For(UINT nCodePage) {
  return FindOrBuild<CMrAnsiDecodeTable>(nCodePage);
}

const CMrAnsiEncodeTable* CMrAnsiEncodeTable::For(UINT nCodePage) {
  return FindOrBuild<CMrAnsiEncodeTable>(nCodePage);
}

BOOL CMrAnsiDecodeTable::Build(UINT nCodePage) {
  nCp = nCodePage;
  BYTE abAllLeads[256];
  MrBuildLeadByteTable(nCp, abAllLeads);
  BOOL bDbcs = FALSE;
  // The converter pairs a lead byte only from 0x80 on; a lower one is left
  // to the system (no such code page is known).
  for (int b = 0x80; b < 256; ++b) {
    abLead[b] = abAllLeads[b];
    if (abLead[b]) bDbcs = TRUE;
  }
  for (int b = 1; b < 256; ++b) {
    if (abAllLeads[b]) continue;
    const char ch = static_cast<char>(b);
    WCHAR units[4];
    if (MultiByteToWideChar(nCp, 0, &ch, 1, units, 4) == 1) aSingle[b] = CharOf(units[0]);
  }
  if (bDbcs) {
    vPairs.assign(0x10000, MrAnsiChar{});
    for (int lead = 0x80; lead < 256; ++lead) {
      if (!abLead[lead]) continue;
      for (int trail = MR_MIN_TRAIL_BYTE; trail < 256; ++trail) {
        const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        WCHAR units[4];
        if (MultiByteToWideChar(nCp, 0, pair, 2, units, 4) == 1)
          vPairs[(lead << 8) | trail] = CharOf(units[0]);
      }
    }
  }
  bAsciiSame = TRUE;
  for (int b = 1; b < 0x80; ++b)
    if (abAllLeads[b] || aSingle[b].nLen != 1 || aSingle[b].nUnit != b) bAsciiSame = FALSE;
  // A code page the system cannot convert has no table.
  return aSingle[static_cast<BYTE>('A')].nLen != 0;
}

BOOL CMrAnsiEncodeTable::Build(UINT nCodePage) {
  nCp = nCodePage;
  vUnits.assign(0x10000, Bytes{});
  for (UINT u = 1; u < 0x10000; ++u) {
    if (IsSurrogate(u)) continue;
    const WCHAR unit = static_cast<WCHAR>(u);
    char bytes[8];
    const int n = WideCharToMultiByte(nCp, 0, &unit, 1, bytes, sizeof(bytes), nullptr, nullptr);
    if (n < 1 || n > 2) continue;
    Bytes& e = vUnits[u];
    e.ab[0] = static_cast<BYTE>(bytes[0]);
    e.ab[1] = n == 2 ? static_cast<BYTE>(bytes[1]) : 0;
    e.nLen = static_cast<BYTE>(n);
  }
  bAsciiSame = TRUE;
  for (UINT u = 1; u < 0x80; ++u)
    if (vUnits[u].nLen != 1 || vUnits[u].ab[0] != u) bAsciiSame = FALSE;
  return vUnits['A'].nLen != 0;
}
