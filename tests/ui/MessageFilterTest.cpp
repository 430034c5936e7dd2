// Which filter call the program makes on each kind of system. Wine has no
// integrity levels and lets every message through, so it cannot show that a
// message from a process of lower integrity arrives; what can be checked is
// that the program asks the system for it, and how. The filter's functions
// come from this file's FindMessageFilterFunctions, linked in place of the
// program's lookup in user32, which record each call.
#include "ui/MessageFilter.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct FilterCall {
  HWND window; // null for the whole process
  UINT message;
  DWORD action;
  void *status;
};

std::vector<FilterCall> calls;
BOOL answer = TRUE;

BOOL WINAPI RecordWindowFilter(HWND window, UINT message, DWORD action, void *status) {
  calls.push_back({window, message, action, status});
  return answer;
}

BOOL WINAPI RecordProcessFilter(UINT message, DWORD flag) {
  calls.push_back({nullptr, message, flag, nullptr});
  return answer;
}

MessageFilterFunctions present = {RecordWindowFilter, RecordProcessFilter};

} // namespace

MessageFilterFunctions FindMessageFilterFunctions() {
  return present;
}

namespace {

const HWND kWindow = reinterpret_cast<HWND>(0x1234);

TEST(AllowThroughMessageFilter, AsksEachKindOfSystemInItsOwnWay) {
  struct Case {
    const char *system;
    MessageFilterFunctions functions;
    BOOL answer;
    int result;
    std::vector<FilterCall> expected;
  };
  const Case cases[] = {
      {"Windows 7 and later: this window only",
       {RecordWindowFilter, RecordProcessFilter},
       TRUE,
       1,
       {{kWindow, WM_COPYDATA, 1, nullptr}}},
      {"Vista: the whole process",
       {nullptr, RecordProcessFilter},
       TRUE,
       1,
       {{nullptr, WM_COPYDATA, 1, nullptr}}},
      {"XP: no filter, nothing to ask", {nullptr, nullptr}, TRUE, 1, {}},
      {"refused",
       {RecordWindowFilter, RecordProcessFilter},
       FALSE,
       0,
       {{kWindow, WM_COPYDATA, 1, nullptr}}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.system);
    present = c.functions;
    answer = c.answer;
    calls.clear();
    EXPECT_EQ(AllowThroughMessageFilter(kWindow, WM_COPYDATA), c.result);
    ASSERT_EQ(calls.size(), c.expected.size());
    for (size_t i = 0; i < calls.size(); ++i) {
      EXPECT_EQ(calls[i].window, c.expected[i].window);
      EXPECT_EQ(calls[i].message, c.expected[i].message);
      EXPECT_EQ(calls[i].action, c.expected[i].action) << "MSGFLT_ALLOW and MSGFLT_ADD are 1";
      EXPECT_EQ(calls[i].status, c.expected[i].status);
    }
  }
}

} // namespace
