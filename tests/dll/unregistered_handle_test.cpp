// Every export that takes a control handle, given a handle that is not a
// registered control: 0 or nothing, no output written, and the library keeps
// working afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "control_host.h"
#include "export_calls.h"
#include "mirelctrl/mirelctrl.h"
#include "mirelctrl/mirelctrl_module.h"
#include "test_support.h"

namespace {

using mirel_test::ExportCall;
using mirel_test::HandleExports;

// The names after EXPORTS in the module definition file.
std::vector<std::string> DefinedExports() {
  std::vector<std::string> names;
  FILE* f = std::fopen(MIREL_DEF_PATH, "r");
  if (f == nullptr) return names;
  char line[256];
  bool inExports = false;
  while (std::fgets(line, sizeof line, f) != nullptr) {
    char word[256] = {0};
    if (std::sscanf(line, "%255s", word) != 1) continue;
    if (std::strcmp(word, "EXPORTS") == 0) {
      inExports = true;
    } else if (inExports && word[0] != ';') {
      names.push_back(word);
    }
  }
  std::fclose(f);
  return names;
}

TEST(UnregisteredHandleTable, CoversEveryExportThatTakesAHandle) {
  const std::vector<std::string> exported = DefinedExports();
  ASSERT_FALSE(exported.empty()) << MIREL_DEF_PATH;
  std::set<std::string> listed;
  for (const ExportCall& e : HandleExports()) EXPECT_TRUE(listed.insert(e.name).second) << e.name;
  const std::set<std::string> withoutHandle = {"Mirel_Create", "Mirel_DetermineEncoding",
                                               "Mirel_DetermineFileFormat"};
  size_t nWithHandle = 0;
  for (const std::string& name : exported) {
    if (withoutHandle.count(name) != 0) continue;
    ++nWithHandle;
    EXPECT_EQ(listed.count(name), 1u) << name << " is exported but not exercised here";
  }
  EXPECT_EQ(listed.size(), nWithHandle);
}

class UnregisteredHandle : public testing::Test {
 protected:
  void TearDown() override {
    if (m_hPlain != nullptr && IsWindow(m_hPlain)) DestroyWindow(m_hPlain);
  }

  // Handles that no control answers to: NULL, a value that was never a
  // window, a window of another class and a control already destroyed.
  std::vector<std::pair<const char*, HWND>> StrangerHandles() {
    m_hPlain = CreateWindowExA(0, "MirelDllTestHost", "", WS_CHILD, 0, 0, 10, 10, m_host.hWnd(), nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    HWND hGone = Mirel_Create(m_host.hWnd(), 7, 0, 0, 50, 50, 0, WS_CHILD);
    Mirel_Destroy(hGone);
    return {{"NULL", nullptr},
            {"never a window", reinterpret_cast<HWND>(static_cast<uintptr_t>(0x5A5A0))},
            {"another window", m_hPlain},
            {"destroyed control", hGone}};
  }

  mirel_test::ControlHost m_host;
  HWND m_hPlain = nullptr;
};

TEST_F(UnregisteredHandle, EveryExportReturnsZeroOrDoesNothing) {
  ASSERT_NE(m_host.hWnd(), nullptr);
  const auto strangers = StrangerHandles();
  const int nRegistered = g_RegHelper.GetCount();
  for (const auto& stranger : strangers) {
    for (const ExportCall& e : HandleExports()) {
      EXPECT_EQ(e.call(stranger.second), 0) << e.name << " with " << stranger.first;
    }
  }
  EXPECT_EQ(g_RegHelper.GetCount(), nRegistered);
  EXPECT_TRUE(IsWindow(m_hPlain)) << "Mirel_Destroy must leave a foreign window alone";
  EXPECT_TRUE(m_host.Commands().empty());

  // The library still works.
  HWND hCtrl = Mirel_Create(m_host.hWnd(), 8, 0, 0, 100, 60, 0, WS_CHILD);
  ASSERT_NE(hCtrl, nullptr);
  mirel_test::ExpectControlKeepsText(hCtrl, "still here");
  Mirel_Destroy(hCtrl);
  EXPECT_FALSE(IsWindow(hCtrl));
  EXPECT_EQ(g_RegHelper.GetCount(), nRegistered);
}

}  // namespace
