#include "test_support.h"

namespace mirel_test {

void PrepareProcess() {}

std::basic_string<WCHAR> Wide(const char16_t* text) {
  std::basic_string<WCHAR> out;
  for (; *text; ++text) out.push_back(static_cast<WCHAR>(*text));
  return out;
}

}  // namespace mirel_test
