#include "ui/DrainMessageQueue.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const UINT kPlain = WM_APP + 1;
// wParam > 0: the handler posts the same message again with wParam - 1.
const UINT kChain = WM_APP + 2;

struct Received {
  UINT message;
  WPARAM wParam;
  bool operator==(const Received &other) const {
    return message == other.message && wParam == other.wParam;
  }
};

std::vector<Received> received;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kPlain || message == kChain) {
    received.push_back({message, wParam});
    if (message == kChain && wParam > 0)
      PostMessageA(window, kChain, wParam - 1, 0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

class DrainMessageQueueTest : public ::testing::Test {
protected:
  void SetUp() override {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "QuilDrainTest";
    RegisterClassA(&windowClass);
    window = CreateWindowExA(0, "QuilDrainTest", nullptr, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    received.clear();
  }
  void TearDown() override {
    DestroyWindow(window);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  static bool QueueIsEmpty() {
    MSG message;
    return !PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
  }

  HWND window = nullptr;
};

TEST_F(DrainMessageQueueTest, DispatchesEveryMessageIncludingThosePostedMeanwhile) {
  PostMessageA(window, kPlain, 7, 0);
  PostMessageA(window, kChain, 2, 0);
  PostThreadMessageA(GetCurrentThreadId(), kPlain, 9, 0);

  EXPECT_EQ(DrainMessageQueue(nullptr), 0);

  std::vector<Received> expected = {{kPlain, 7}, {kChain, 2}, {kChain, 1}, {kChain, 0}};
  EXPECT_EQ(received, expected);
  EXPECT_TRUE(QueueIsEmpty()) << "nothing left, and no WM_QUIT made up";
}

TEST_F(DrainMessageQueueTest, PostsARemovedQuitAgainWithExitCodeZero) {
  for (int exitCode : {5, 0}) {
    received.clear();
    PostQuitMessage(exitCode);
    PostMessageA(window, kPlain, 1, 0);

    EXPECT_EQ(DrainMessageQueue(nullptr), 1);

    EXPECT_EQ(received.size(), 1u);
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) << "exit code " << exitCode;
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(message.wParam, 0u);
    EXPECT_TRUE(QueueIsEmpty()) << "one WM_QUIT only";
  }
}

} // namespace
