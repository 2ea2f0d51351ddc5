// Code-page tables, the system code pages and the lead-byte queries.
#include "kernel_code_pages.h"

#include <platform_hooks.h>

#include <iconv.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>

namespace mrw_kernel {
namespace {

constexpr UINT kDefaultAcp = 949;
std::atomic<UINT> gAcp{kDefaultAcp};

struct CodePageName {
  UINT nCodePage;
  const char* pszIconv;
  bool bDbcs;
};

// The code pages the stand-in converts, with the iconv converter that holds their table.
constexpr CodePageName kCodePages[] = {
    {437, "CP437", false},         {737, "CP737", false},        {775, "CP775", false},
    {850, "CP850", false},         {852, "CP852", false},        {855, "CP855", false},
    {857, "CP857", false},         {862, "CP862", false},        {866, "CP866", false},
    {874, "CP874", false},         {932, "CP932", true},         {936, "CP936", true},
    {949, "CP949", true},          {950, "CP950", true},         {1250, "CP1250", false},
    {1251, "CP1251", false},       {1252, "CP1252", false},      {1253, "CP1253", false},
    {1254, "CP1254", false},       {1255, "CP1255", false},      {1256, "CP1256", false},
    {1257, "CP1257", false},       {1258, "CP1258", false},      {10000, "MACINTOSH", false},
    {20866, "KOI8-R", false},      {21866, "KOI8-U", false},     {28591, "ISO-8859-1", false},
    {28592, "ISO-8859-2", false},  {28595, "ISO-8859-5", false}, {28597, "ISO-8859-7", false},
    {28605, "ISO-8859-15", false},
};

const CodePageName* FindName(UINT codePage) {
  for (const auto& entry : kCodePages)
    if (entry.nCodePage == codePage) return &entry;
  return nullptr;
}

// Windows maps a few single bytes that the code page leaves undefined to
// fixed characters; the private-use ones count as invalid input.
struct SingleByteExtra {
  UINT nCodePage;
  BYTE byte;
  char16_t unit;
  bool bValid;
};
constexpr SingleByteExtra kSingleByteExtras[] = {
    {949, 0x80, 0x0080, true},  {949, 0xFF, 0xF8F7, false}, {932, 0x80, 0x0080, true},
    {932, 0xA0, 0xF8F0, false}, {932, 0xFD, 0xF8F1, false}, {932, 0xFE, 0xF8F2, false},
    {932, 0xFF, 0xF8F3, false}, {936, 0x80, 0x20AC, true},  {936, 0xFF, 0xF8F5, false},
    {950, 0x80, 0x0080, true},  {950, 0xFF, 0xF8F8, false},
};

// Owns an iconv descriptor.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd(iconv_open(to, from)) {}
  ~Converter() {
    if (IsOpen()) iconv_close(cd);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool IsOpen() const { return cd != reinterpret_cast<iconv_t>(-1); }

  // Converts one whole input; false when iconv refuses any of it.
  bool Run(const char* in, size_t inLen, char* out, size_t* pOutLen) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    char* pIn = const_cast<char*>(in);
    char* pOut = out;
    size_t inLeft = inLen;
    size_t outLeft = *pOutLen;
    if (iconv(cd, &pIn, &inLeft, &pOut, &outLeft) == static_cast<size_t>(-1) || inLeft != 0) return false;
    // Stateful converters hold a character back until they are flushed.
    if (iconv(cd, nullptr, nullptr, &pOut, &outLeft) == static_cast<size_t>(-1)) return false;
    *pOutLen = static_cast<size_t>(pOut - out);
    return true;
  }

 private:
  iconv_t cd;
};

// Decodes bytes to exactly one UTF-16 unit, or returns false.
bool DecodeOne(Converter& decoder, const char* bytes, size_t count, char16_t* pUnit) {
  unsigned char out[16];
  size_t outLen = sizeof(out);
  if (!decoder.Run(bytes, count, reinterpret_cast<char*>(out), &outLen) || outLen != 2) return false;
  *pUnit = static_cast<char16_t>(out[0] | (out[1] << 8));
  return true;
}

}  // namespace

UINT ResolveCodePage(UINT codePage) {
  switch (codePage) {
    case CP_ACP:
    case CP_THREAD_ACP:
      return GetACP();
    case CP_OEMCP:
      return GetOEMCP();
    case CP_MACCP:
      return 10000;
    default:
      return codePage;
  }
}

bool IsLeadByteOf(UINT resolvedCodePage, BYTE byte) {
  switch (resolvedCodePage) {
    case 932:
      return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case 936:
    case 949:
    case 950:
      return byte >= 0x81 && byte <= 0xFE;
    default:
      return false;
  }
}

const CodePageTable* CodePageTable::Find(UINT resolvedCodePage) {
  // Never destroyed: conversions may run in static destructors. A NULL entry cannot be built.
  static std::mutex& mutex = *new std::mutex;
  static auto& tables = *new std::map<UINT, std::unique_ptr<CodePageTable>>;
  std::lock_guard<std::mutex> lock(mutex);
  auto found = tables.find(resolvedCodePage);
  if (found != tables.end()) return found->second.get();
  std::unique_ptr<CodePageTable> table;
  if (const CodePageName* name = FindName(resolvedCodePage)) {
    table.reset(new CodePageTable());
    if (!table->Build(resolvedCodePage, name->pszIconv)) table.reset();
  }
  return tables.emplace(resolvedCodePage, std::move(table)).first->second.get();
}

bool CodePageTable::Build(UINT codePage, const char* pszIconvName) {
  Converter decoder("UTF-16LE", pszIconvName);
  Converter encoder(pszIconvName, "UTF-16LE");
  if (!decoder.IsOpen() || !encoder.IsOpen()) return false;
  nCodePage = codePage;
  bDbcs = FindName(codePage)->bDbcs;
  for (int b = 0; b < 256; ++b) aLead[b] = bDbcs && IsLeadByteOf(codePage, static_cast<BYTE>(b));
  chUnicodeDefault = codePage == 932 ? u'\u30FB' : u'?';
  vEncode.assign(0x10000, kUnmapped);

  for (int b = 0; b < 256; ++b) {
    const BYTE byte = static_cast<BYTE>(b);
    if (IsLead(byte)) continue;
    const char in = static_cast<char>(byte);
    char16_t unit = 0;
    if (DecodeOne(decoder, &in, 1, &unit)) {
      aSingle[b] = unit;
      aSingleValid[b] = true;
    } else if (bDbcs) {
      aSingle[b] = chUnicodeDefault;
    } else {
      // Keep undefined bytes of a single-byte code page as the unit of the same value,
      // so that they survive a round trip (Windows does this for 1252's holes).
      aSingle[b] = static_cast<char16_t>(byte);
      aSingleValid[b] = true;
    }
  }
  for (const auto& extra : kSingleByteExtras) {
    if (extra.nCodePage != codePage) continue;
    aSingle[extra.byte] = extra.unit;
    aSingleValid[extra.byte] = extra.bValid;
  }

  if (bDbcs) {
    vDouble.assign(0x10000, 0);
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
      if (!IsLead(static_cast<BYTE>(lead))) continue;
      for (int trail = 1; trail <= 0xFF; ++trail) {
        const char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        char16_t unit = 0;
        if (DecodeOne(decoder, in, 2, &unit) && unit != 0) vDouble[(lead << 8) | trail] = unit;
      }
    }
  }

  // The encoder's own choice decides between byte sequences that decode alike;
  // its one-way mappings are kept as best fit.
  vBestFit.assign(0x10000, false);
  for (std::uint32_t u = 0; u < 0x10000; ++u) {
    if (u >= 0xD800 && u <= 0xDFFF) continue;
    const char in[2] = {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
    unsigned char out[16];
    size_t outLen = sizeof(out);
    if (!encoder.Run(in, 2, reinterpret_cast<char*>(out), &outLen)) continue;
    char16_t back = 0;
    bool valid = false;
    if (outLen == 1 && !IsLead(out[0])) {
      vEncode[u] = out[0];
      back = Single(out[0], &valid);
    } else if (outLen == 2 && IsLead(out[0]) && out[1] != 0) {
      vEncode[u] = static_cast<std::uint16_t>((out[0] << 8) | out[1]);
      back = Double(out[0], out[1]);
    } else {
      continue;
    }
    vBestFit[u] = back != u;
  }
  // Whatever decodes but the encoder left out (or only approximated) maps back to its bytes.
  auto addExact = [this](char16_t unit, std::uint16_t bytes) {
    if (vEncode[unit] != kUnmapped && !vBestFit[unit]) return;
    vEncode[unit] = bytes;
    vBestFit[unit] = false;
  };
  for (int b = 0; b < 256; ++b)
    if (!IsLead(static_cast<BYTE>(b)) && aSingleValid[b]) addExact(aSingle[b], static_cast<std::uint16_t>(b));
  for (const auto& extra : kSingleByteExtras)
    if (extra.nCodePage == codePage) addExact(extra.unit, extra.byte);
  for (std::size_t i = 0; i < vDouble.size(); ++i)
    if (vDouble[i] != 0) addExact(vDouble[i], static_cast<std::uint16_t>(i));
  return true;
}

}  // namespace mrw_kernel

using mrw_kernel::CodePageTable;

UINT GetACP(void) {
  return mrw_kernel::gAcp.load();
}

UINT GetOEMCP(void) {
  switch (GetACP()) {
    case 1250:
      return 852;
    case 1251:
      return 866;
    case 1252:
      return 437;
    case 1253:
      return 737;
    case 1254:
      return 857;
    case 1255:
      return 862;
    case 1257:
      return 775;
    default:
      return GetACP();  // the East Asian, Thai and Vietnamese systems use one code page for both
  }
}

BOOL IsValidCodePage(UINT CodePage) {
  if (CodePage == CP_UTF8) return TRUE;
  if (CodePage == CP_ACP || CodePage == CP_OEMCP || CodePage == CP_MACCP || CodePage == CP_THREAD_ACP)
    return FALSE;  // placeholders, not code pages
  return CodePageTable::Find(CodePage) != nullptr;
}

BOOL IsDBCSLeadByteEx(UINT CodePage, BYTE TestChar) {
  const UINT resolved = mrw_kernel::ResolveCodePage(CodePage);
  if (resolved != CP_UTF8 && !mrw_kernel::FindName(resolved)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return mrw_kernel::IsLeadByteOf(resolved, TestChar) ? TRUE : FALSE;
}

BOOL IsDBCSLeadByte(BYTE TestChar) {
  return mrw_kernel::IsLeadByteOf(GetACP(), TestChar) ? TRUE : FALSE;
}

void MrwTestSetACP(UINT codePage) {
  if (codePage == CP_ACP) codePage = mrw_kernel::kDefaultAcp;
  if (codePage != CP_UTF8 && !CodePageTable::Find(codePage)) return;  // keep a usable code page
  mrw_kernel::gAcp.store(codePage);
}
