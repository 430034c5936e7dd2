#include "ui/PopupMenu.h"

#include "app/MainWindow.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

// The texts as the A functions return them: in the ANSI code page, as this
// file's literals are compiled.
struct EntryCase {
  UINT identifier; // 0: separator
  const char *text;
};

const EntryCase kEntries[] = {
    {IDM_LOADFILE, "ファイル読みこみ(&L)"},
    {IDM_CREATEGAMMA, "ガンマ設定を作成(&C)"},
    {IDM_RESIDENTSETTINGS, "キーフック常駐設定(&R)"},
    {IDM_MONITORSETTINGS, "モニターごとの設定..."},
    {0, nullptr},
    {IDM_SCHEDULE, "時刻で切り替え"},
    {IDM_AUTOSTART, "Windowsと同時に起動"},
    {IDM_RESTOREGAMMA, "ガンマを戻す(&R)"},
    {IDM_UNLOCKGAMMARANGE, "ガンマ範囲の制限を解除..."},
    {0, nullptr},
    {IDM_EXIT, "クイロラを終了する(&X)"},
};

TEST(PopupMenuResource, HoldsOnePopupWithItsJapaneseEntries) {
  PopupMenu popupMenu;
  ASSERT_EQ(popupMenu.Load(IDR_POPUPMENU), 1);
  HMENU menu = popupMenu.Menu();
  ASSERT_EQ(GetMenuItemCount(menu), 1);
  char text[64] = "x";
  EXPECT_EQ(GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION), 0);
  EXPECT_STREQ(text, "");

  HMENU popup = GetSubMenu(menu, 0);
  ASSERT_NE(popup, nullptr);
  const int count = static_cast<int>(sizeof kEntries / sizeof kEntries[0]);
  ASSERT_EQ(GetMenuItemCount(popup), count);
  for (int position = 0; position < count; ++position) {
    const EntryCase &entry = kEntries[position];
    SCOPED_TRACE(position);
    UINT state = GetMenuState(popup, position, MF_BYPOSITION);
    if (!entry.text) {
      EXPECT_TRUE(state & MF_SEPARATOR);
      continue;
    }
    EXPECT_EQ(state & (MF_SEPARATOR | MF_CHECKED | MF_GRAYED | MF_DISABLED | MF_POPUP), 0u);
    EXPECT_EQ(GetMenuItemID(popup, position), entry.identifier);
    GetMenuStringA(popup, position, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, entry.text);
  }
}

TEST(PopupMenuLoad, UnknownMenuLeavesNoneAndDestroyReportsIt) {
  PopupMenu popupMenu;
  EXPECT_EQ(popupMenu.Destroy(), 0);
  ASSERT_EQ(popupMenu.Load(IDR_POPUPMENU), 1);
  EXPECT_EQ(popupMenu.Load(999), 0);
  EXPECT_EQ(popupMenu.Menu(), nullptr);
  ASSERT_EQ(popupMenu.Load(IDR_POPUPMENU), 1);
  HMENU menu = popupMenu.Menu();
  EXPECT_EQ(popupMenu.Destroy(), 1);
  EXPECT_FALSE(IsMenu(menu));
  EXPECT_EQ(popupMenu.Destroy(), 0);
}

// The schedule's entry is checked and greyed by what the program knows; an
// entry the menu does not hold, or no menu at all, reports 0.
TEST(PopupMenuEntries, CheckAndGreyOneEntryOnly) {
  PopupMenu popupMenu;
  EXPECT_EQ(popupMenu.SetEnabled(IDM_SCHEDULE, 0), 0);
  ASSERT_EQ(popupMenu.Load(IDR_POPUPMENU), 1);
  HMENU popup = GetSubMenu(popupMenu.Menu(), 0);
  struct StateCase {
    int checked, enabled;
    UINT flags;
  } const cases[] = {
      {1, 0, MF_CHECKED | MF_GRAYED},
      {0, 0, MF_GRAYED},
      {1, 1, MF_CHECKED},
      {0, 1, 0},
  };
  for (const StateCase &c : cases) {
    SCOPED_TRACE(testing::Message() << c.checked << c.enabled);
    EXPECT_EQ(popupMenu.SetCheck(IDM_SCHEDULE, c.checked), 1);
    EXPECT_EQ(popupMenu.SetEnabled(IDM_SCHEDULE, c.enabled), 1);
    EXPECT_EQ(GetMenuState(popup, IDM_SCHEDULE, MF_BYCOMMAND) & (MF_CHECKED | MF_GRAYED), c.flags);
    EXPECT_EQ(GetMenuState(popup, IDM_AUTOSTART, MF_BYCOMMAND) & (MF_CHECKED | MF_GRAYED), 0u);
  }
  EXPECT_EQ(popupMenu.SetEnabled(39999, 1), 0);
}

// What the owner and the timers saw while Track ran.
struct Observed {
  std::vector<UINT> ownerMessages;
  bool menuShown = false;
  RECT menuRect = {};
  bool safetyFired = false;
};
Observed observed;

enum class MenuAction { EndMenu, Escape, Character };
MenuAction action;
WPARAM actionKey;

const UINT kPlain = WM_APP + 1;

void RecordingHandler(HWND, UINT message, WPARAM, LPARAM, BYTE *) {
  if (message == kPlain || message == WM_COMMAND)
    observed.ownerMessages.push_back(message);
}

HWND OpenMenuWindow() {
  HWND menuWindow = FindWindowA("#32768", nullptr);
  return menuWindow && IsWindowVisible(menuWindow) ? menuWindow : nullptr;
}

void CALLBACK ActOnOpenMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  HWND menuWindow = OpenMenuWindow();
  observed.menuShown = menuWindow != nullptr;
  if (menuWindow)
    GetWindowRect(menuWindow, &observed.menuRect);
  switch (action) {
  case MenuAction::EndMenu:
    EndMenu();
    break;
  case MenuAction::Escape:
    PostMessageA(GetMainWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
    break;
  case MenuAction::Character:
    PostMessageA(GetMainWindow(), WM_CHAR, actionKey, 0);
    break;
  }
}

// Keeps a test from hanging when the action did not close the menu.
void CALLBACK CloseForgottenMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  observed.safetyFired = true;
  EndMenu();
}

class PopupMenuTrack : public ::testing::Test {
protected:
  // The owner as the resident start-up leaves the main window: hidden,
  // minimised, a disabled tool window.
  PopupMenuTrack() : mainWindow(WS_POPUP | WS_VISIBLE, WS_EX_APPWINDOW) {}

  void SetUp() override {
    ASSERT_NE(GetMainWindow(), nullptr);
    Restyle(WS_POPUP | WS_MINIMIZE, WS_EX_TOOLWINDOW);
    EnableWindow(GetMainWindow(), FALSE);
    SetAppHandler(RecordingHandler);
    observed = Observed();
    ASSERT_EQ(popupMenu.Load(IDR_POPUPMENU), 1);
    SetCursorPos(200, 150);
  }
  void TearDown() override {
    KillTimer(nullptr, actionTimer);
    KillTimer(nullptr, safetyTimer);
    SetAppHandler(nullptr);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  int TrackWith(MenuAction menuAction, WPARAM key = 0) {
    action = menuAction;
    actionKey = key;
    actionTimer = SetTimer(nullptr, 0, 300, ActOnOpenMenu);
    safetyTimer = SetTimer(nullptr, 0, 5000, CloseForgottenMenu);
    return popupMenu.Track(GetMainWindow());
  }

  MainWindow mainWindow;
  PopupMenu popupMenu;
  UINT_PTR actionTimer = 0;
  UINT_PTR safetyTimer = 0;
};

TEST_F(PopupMenuTrack, NullOwnerGivesZeroAtOnce) {
  EXPECT_EQ(popupMenu.Track(nullptr), 0);
}

TEST_F(PopupMenuTrack, NoMenuGivesZero) {
  popupMenu.Destroy();
  EXPECT_EQ(TrackWith(MenuAction::EndMenu), 0);
  EXPECT_EQ(popupMenu.Menu(), nullptr);
}

TEST_F(PopupMenuTrack, OpensAtTheCursor) {
  POINT cursor;
  GetCursorPos(&cursor);
  EXPECT_EQ(TrackWith(MenuAction::EndMenu), 0);
  ASSERT_TRUE(observed.menuShown);
  EXPECT_EQ(observed.menuRect.left, cursor.x);
  EXPECT_EQ(observed.menuRect.top, cursor.y);
}

struct TrackCase {
  const char *name;
  MenuAction action;
  WPARAM key;
  int command;
};

void PrintTo(const TrackCase &c, std::ostream *out) {
  *out << c.name;
}

class PopupMenuChoice : public PopupMenuTrack, public ::testing::WithParamInterface<TrackCase> {};

TEST_P(PopupMenuChoice, ReturnsTheChosenCommandWithoutSendingIt) {
  const TrackCase &c = GetParam();
  EXPECT_EQ(TrackWith(c.action, c.key), c.command);
  EXPECT_TRUE(observed.menuShown);
  EXPECT_FALSE(observed.safetyFired);
  EXPECT_TRUE(observed.ownerMessages.empty()) << "no WM_COMMAND";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PopupMenuChoice,
    ::testing::Values(TrackCase{"DismissedByEndMenu", MenuAction::EndMenu, 0, 0},
                      TrackCase{"DismissedByEscape", MenuAction::Escape, 0, 0},
                      TrackCase{"LoadFile", MenuAction::Character, 'l', IDM_LOADFILE},
                      TrackCase{"CreateGamma", MenuAction::Character, 'c', IDM_CREATEGAMMA},
                      TrackCase{"Exit", MenuAction::Character, 'x', IDM_EXIT}),
    [](const ::testing::TestParamInfo<TrackCase> &p) { return std::string(p.param.name); });

// The menu's own loop would take the WM_QUIT away for good, so the menu
// stays closed.
TEST_F(PopupMenuTrack, QueuedMessagesRunFirstAndAQueuedQuitComesBackWithCodeZero) {
  PostMessageA(GetMainWindow(), kPlain, 0, 0);
  PostQuitMessage(5);

  EXPECT_EQ(TrackWith(MenuAction::EndMenu), 0);
  EXPECT_FALSE(observed.menuShown);

  ASSERT_EQ(observed.ownerMessages.size(), 1u);
  EXPECT_EQ(observed.ownerMessages[0], kPlain);
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 0u);
}

} // namespace
