#pragma once

// A small check list for the test programs that run under Wine (GoogleTest
// is not cross-built): each check prints PASS or FAIL with its name, and the
// program ends with "N passed, M failed".
#include <cstdio>
#include <string>

namespace vantrel::windows::testing {

struct Checks {
  int passed = 0;
  int failed = 0;

  bool check(bool ok, const std::string& name, const std::string& detail = {}) {
    if (ok) {
      ++passed;
      std::printf("PASS: %s\n", name.c_str());
    } else {
      ++failed;
      std::printf("FAIL: %s%s%s\n", name.c_str(), detail.empty() ? "" : ": ", detail.c_str());
    }
    return ok;
  }
  bool equal(const std::string& got, const std::string& expected, const std::string& name) {
    return check(got == expected, name, "got [" + got + "], expected [" + expected + "]");
  }
  int finish() const {
    std::printf("%d passed, %d failed\n", passed, failed);
    std::fflush(stdout);
    return failed == 0 ? 0 : 1;
  }
};

}  // namespace vantrel::windows::testing
