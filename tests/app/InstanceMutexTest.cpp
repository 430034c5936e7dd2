#include "app/InstanceMutex.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// An instance started as administrator makes a mutex that a normal start may
// not open: the system answers ERROR_ACCESS_DENIED. Wine runs everything at
// one integrity (a mutex made here with an access list that grants nothing
// did not make it answer so either), so the answers are given as the system
// gives them.
TEST(SaysAnotherInstance, ReadsEachAnswerOfTheSystem) {
  struct Case {
    const char *what;
    MutexAnswer answer;
    int another;
  };
  const Case cases[] = {
      {"opened", {kOpenMutex, 1, ERROR_SUCCESS}, 1},
      {"open: none yet", {kOpenMutex, 0, ERROR_FILE_NOT_FOUND}, 0},
      {"open: an elevated instance's", {kOpenMutex, 0, ERROR_ACCESS_DENIED}, 1},
      {"created", {kCreateMutex, 1, ERROR_SUCCESS}, 0},
      {"created by another in between", {kCreateMutex, 1, ERROR_ALREADY_EXISTS}, 1},
      {"create: an elevated instance's", {kCreateMutex, 0, ERROR_ACCESS_DENIED}, 1},
      {"create failed otherwise", {kCreateMutex, 0, ERROR_INVALID_HANDLE}, 0},
  };
  for (const Case &c : cases)
    EXPECT_EQ(SaysAnotherInstance(c.answer), c.another) << c.what;
}

std::string UniqueName(const char *what) {
  return std::string("QuilInstanceMutexTest_") + what + "_" + std::to_string(GetCurrentProcessId());
}

TEST(InstanceMutex, TheFirstCreatesAndTheSecondFindsIt) {
  std::string name = UniqueName("plain");
  InstanceMutex first(name.c_str());
  EXPECT_EQ(first.Existed(), 0);
  InstanceMutex second(name.c_str());
  EXPECT_EQ(second.Existed(), 1);
}

} // namespace
