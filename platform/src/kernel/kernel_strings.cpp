// lstrlenW and the oleaut32 BSTR functions. A BSTR is preceded by its length
// in bytes (32 bits) and followed by a terminating zero unit.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr std::size_t kPrefixBytes = sizeof(std::uint32_t);

std::uint32_t* PrefixOf(BSTR bstr) {
  return reinterpret_cast<std::uint32_t*>(reinterpret_cast<char*>(bstr) - kPrefixBytes);
}

}  // namespace

int lstrlenW(LPCWSTR lpString) {
  if (lpString == nullptr) return 0;
  int length = 0;
  while (lpString[length] != 0 && length < 0x7FFFFFFF) ++length;
  return length;
}

BSTR SysAllocStringLen(const OLECHAR* strIn, UINT ui) {
  // The block must fit a 32-bit program's address space (and the length its 32-bit prefix).
  if (ui > (0x7FFFFFFFu - kPrefixBytes - sizeof(OLECHAR)) / sizeof(OLECHAR)) return nullptr;
  const std::size_t bytes = static_cast<std::size_t>(ui) * sizeof(OLECHAR);
  char* block = static_cast<char*>(std::calloc(1, kPrefixBytes + bytes + sizeof(OLECHAR)));
  if (block == nullptr) return nullptr;
  const std::uint32_t prefix = static_cast<std::uint32_t>(bytes);
  std::memcpy(block, &prefix, sizeof(prefix));
  BSTR text = reinterpret_cast<BSTR>(block + kPrefixBytes);
  if (strIn != nullptr && bytes > 0) std::memcpy(text, strIn, bytes);
  return text;
}

void SysFreeString(BSTR bstrString) {
  if (bstrString != nullptr) std::free(PrefixOf(bstrString));
}

UINT SysStringLen(BSTR pbstr) {
  if (pbstr == nullptr) return 0;
  std::uint32_t bytes = 0;
  std::memcpy(&bytes, PrefixOf(pbstr), sizeof(bytes));
  return bytes / sizeof(OLECHAR);
}
