// The window host's behaviour, with the program's own resources linked in.
#include "app/MainWindow.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

const DWORD kAppStyle = WS_POPUP | WS_VISIBLE;
const DWORD kAppExStyle = WS_EX_APPWINDOW;

std::vector<UINT> seenMessages;

void RecordingHandler(HWND, UINT message, WPARAM, LPARAM, BYTE *handled) {
  EXPECT_EQ(*handled, 0);
  seenMessages.push_back(message);
}

void KeepOpenHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam, BYTE *handled) {
  RecordingHandler(window, message, wParam, lParam, handled);
  if (message == WM_CLOSE)
    *handled = 1;
}

bool SawMessage(UINT message) {
  for (UINT seen : seenMessages)
    if (seen == message)
      return true;
  return false;
}

// -1 when no WM_QUIT is queued, else its exit code. Removes it.
int TakeQuit() {
  MSG message;
  if (!PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
    return -1;
  return static_cast<int>(message.wParam);
}

// The system adds WS_CLIPSIBLINGS to every top-level window.
DWORD StyleOf(HWND window) {
  return static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) & ~DWORD(WS_CLIPSIBLINGS);
}
DWORD ExStyleOf(HWND window) {
  return static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE));
}

class MainWindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(GetMainWindow(), nullptr);
    seenMessages.clear();
  }
  void TearDown() override {
    SetAppHandler(nullptr);
    TakeQuit();
  }
};

TEST_F(MainWindowTest, SecondObjectRestylesAndTheLastOneDestroysTheWindow) {
  MainWindow *first = new MainWindow(kAppStyle, kAppExStyle);
  HWND window = GetMainWindow();
  ASSERT_NE(window, nullptr);

  MainWindow *second = new MainWindow(WS_POPUP | WS_MINIMIZE, WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
  EXPECT_EQ(GetMainWindow(), window);
  EXPECT_EQ(StyleOf(window), static_cast<DWORD>(WS_POPUP | WS_MINIMIZE));
  EXPECT_EQ(ExStyleOf(window) & (WS_EX_TOOLWINDOW | WS_EX_APPWINDOW),
            static_cast<DWORD>(WS_EX_TOOLWINDOW));

  delete first;
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(GetMainWindow(), window);

  delete second;
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(GetMainWindow(), nullptr);
}

TEST_F(MainWindowTest, HandlerSeesEveryMessageFirstAndCanKeepTheWindowOpen) {
  MainWindow mainWindow(kAppStyle, kAppExStyle);
  HWND window = GetMainWindow();
  SetAppHandler(KeepOpenHandler);

  SendMessageA(window, WM_NULL, 0, 0);
  EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);

  EXPECT_TRUE(SawMessage(WM_NULL));
  EXPECT_TRUE(SawMessage(WM_CLOSE));
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(GetMainWindow(), window);
  EXPECT_EQ(TakeQuit(), -1);
}

// WM_CLOSE that nobody handles ends the program: quit posted, window gone.
class UnhandledCloseTest : public MainWindowTest,
                           public ::testing::WithParamInterface<AppHandler> {};

TEST_P(UnhandledCloseTest, PostsQuitAndDestroysTheWindow) {
  MainWindow mainWindow(kAppStyle, kAppExStyle);
  HWND window = GetMainWindow();
  SetAppHandler(GetParam());

  SendMessageA(window, WM_CLOSE, 0, 0);

  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(GetMainWindow(), nullptr);
  EXPECT_EQ(TakeQuit(), 0);
  if (GetParam()) {
    EXPECT_TRUE(SawMessage(WM_DESTROY));
  }
}

INSTANTIATE_TEST_SUITE_P(Handlers, UnhandledCloseTest,
                         ::testing::Values(AppHandler(nullptr), AppHandler(RecordingHandler)),
                         [](const ::testing::TestParamInfo<AppHandler> &p) {
                           return std::string(p.param ? "HandlerLeavesIt" : "NoHandler");
                         });

TEST_F(MainWindowTest, ExitApplicationDestroysTheWindowAndPostsQuitWithCodeZero) {
  {
    MainWindow mainWindow(kAppStyle, kAppExStyle);
    HWND window = GetMainWindow();
    ExitApplication();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(GetMainWindow(), nullptr);
    EXPECT_EQ(TakeQuit(), 0);
  }
  // The last reference went with the window already gone; a new object
  // makes a new window of the same class.
  MainWindow again(kAppStyle, kAppExStyle);
  char className[32] = {};
  GetClassNameA(GetMainWindow(), className, sizeof className);
  EXPECT_STREQ(className, "TVX_QUILWND");
}

TEST_F(MainWindowTest, RestyleWithoutAWindowReportsFailure) {
  EXPECT_EQ(Restyle(WS_POPUP, WS_EX_TOOLWINDOW), 0);
}

// An extended style of 0 is a style like any other: replacing it is no
// failure, and the style after a style of 0 is set all the same.
struct RestyleCase {
  DWORD firstStyle, firstExStyle;
  DWORD secondStyle, secondExStyle;
};

void PrintTo(const RestyleCase &c, std::ostream *out) {
  *out << std::hex << c.firstExStyle << "_to_" << c.secondExStyle;
}

class RestyleTest : public MainWindowTest, public ::testing::WithParamInterface<RestyleCase> {};

TEST_P(RestyleTest, SetsBothStylesAndReportsSuccess) {
  const RestyleCase &c = GetParam();
  MainWindow mainWindow(kAppStyle, kAppExStyle);
  HWND window = GetMainWindow();

  EXPECT_EQ(Restyle(c.firstStyle, c.firstExStyle), 1);
  EXPECT_EQ(Restyle(c.secondStyle, c.secondExStyle), 1);
  EXPECT_EQ(StyleOf(window), c.secondStyle);
  EXPECT_EQ(ExStyleOf(window), c.secondExStyle);
}

INSTANTIATE_TEST_SUITE_P(Cases, RestyleTest,
                         ::testing::Values(RestyleCase{WS_POPUP, 0, WS_POPUP | WS_MINIMIZE,
                                                       WS_EX_TOOLWINDOW},
                                           RestyleCase{WS_POPUP, WS_EX_TOOLWINDOW, WS_POPUP, 0}));

} // namespace
