#pragma once
// A test suite whose tests share one trusted test authority (TTestTrust), made when the
// suite starts and trusted again before each test, since a case may point the variable
// elsewhere.

#include <gtest/gtest.h>

#include "support/TestAuthority.h"

class TTlsSuite : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { trust = new TTestTrust(); }
  static void TearDownTestSuite() {
    delete trust;
    trust = nullptr;
  }
  void SetUp() override { trust->Trust(); }

  inline static TTestTrust* trust = nullptr;
};
