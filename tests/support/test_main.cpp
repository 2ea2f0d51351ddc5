// Test entry point shared by every test program.
#include <gtest/gtest.h>

#include "test_support.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  mirel_test::PrepareProcess();
  return RUN_ALL_TESTS();
}
