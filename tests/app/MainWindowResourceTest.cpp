// Built once per resource set: FindResourceA looks in the program's own
// module, so each set needs a program of its own. RESOURCE_SET names the row
// of the table that the program's resources are meant to produce.
#include "app/MainWindow.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct ResourceCase {
  const char *resourceSet;
  // Sizes of "TVXBASENAME" and "TVXWNDSTYLE" in the program; 0: absent.
  DWORD nameSize;
  DWORD styleSize;
  // What the program passes to the constructor.
  DWORD passedStyle;
  DWORD passedExStyle;
  // What the window must get.
  const char *className; // null: no window at all
  DWORD style;
  DWORD exStyle;
};

const DWORD kAppStyle = WS_POPUP | WS_VISIBLE;
const DWORD kAppExStyle = WS_EX_APPWINDOW;

const ResourceCase kCases[] = {
    // "TVX_QUILWND\0" and the codes 02 01.
    {"App", 12, 2, kAppStyle, kAppExStyle, "TVX_QUILWND", WS_POPUP, WS_EX_TOOLWINDOW},
    {"NoResources", 0, 0, kAppStyle, kAppExStyle, "tvz_MainWnd", kAppStyle, kAppExStyle},
    {"NoStyle", 12, 0, kAppStyle, kAppExStyle, "TVX_QUILWND", kAppStyle, kAppExStyle},
    // 40 bytes without a NUL.
    {"LongName", 40, 2, kAppStyle, kAppExStyle, "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234", WS_POPUP,
     WS_EX_TOOLWINDOW},
    // The single code 03 replaces the style only.
    {"OneByteStyle", 12, 1, kAppStyle, WS_EX_ACCEPTFILES, "TVX_QUILWND",
     WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_ACCEPTFILES},
    // An empty name: the class cannot be registered, so there is no window.
    {"EmptyName", 1, 0, kAppStyle, kAppExStyle, nullptr, 0, 0},
};

std::vector<ResourceCase> CasesOfThisProgram() {
  std::vector<ResourceCase> cases;
  for (const ResourceCase &c : kCases)
    if (std::strcmp(c.resourceSet, RESOURCE_SET) == 0)
      cases.push_back(c);
  return cases;
}

void PrintTo(const ResourceCase &c, std::ostream *out) {
  *out << c.resourceSet;
}

// The system adds WS_CLIPSIBLINGS to every top-level window.
DWORD StyleOf(HWND window) {
  return static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) & ~DWORD(WS_CLIPSIBLINGS);
}

DWORD ResourceSize(const char *name) {
  HRSRC info = FindResourceA(GetModuleHandleA(nullptr), name, "TVXBASEDATA");
  return info ? SizeofResource(GetModuleHandleA(nullptr), info) : 0;
}

class MainWindowResources : public ::testing::TestWithParam<ResourceCase> {};

TEST_P(MainWindowResources, AreBuiltIntoTheProgramAsIntended) {
  EXPECT_EQ(ResourceSize("TVXBASENAME"), GetParam().nameSize);
  EXPECT_EQ(ResourceSize("TVXWNDSTYLE"), GetParam().styleSize);
}

TEST_P(MainWindowResources, CreateTheWindowTheyDescribe) {
  const ResourceCase &c = GetParam();
  ASSERT_EQ(GetMainWindow(), nullptr);
  {
    MainWindow mainWindow(c.passedStyle, c.passedExStyle);
    HWND window = GetMainWindow();
    if (!c.className) {
      EXPECT_EQ(window, nullptr);
      EXPECT_EQ(Restyle(WS_POPUP, WS_EX_TOOLWINDOW), 0);
      return;
    }
    ASSERT_NE(window, nullptr);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    EXPECT_STREQ(className, c.className);
    EXPECT_EQ(StyleOf(window), c.style);
    // The system adds a raised edge to every window with a caption.
    DWORD exStyle = static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE));
    if (c.style & WS_CAPTION)
      exStyle &= ~static_cast<DWORD>(WS_EX_WINDOWEDGE);
    EXPECT_EQ(exStyle, c.exStyle);
    EXPECT_EQ(IsWindowVisible(window) != 0, (c.style & WS_VISIBLE) != 0);
    RECT rect;
    ASSERT_TRUE(GetWindowRect(window, &rect));
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, 0);
    EXPECT_EQ(rect.bottom, 0);
    EXPECT_EQ(GetMenu(window), nullptr);
  }
  EXPECT_EQ(GetMainWindow(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Resources, MainWindowResources, ::testing::ValuesIn(CasesOfThisProgram()),
                         [](const ::testing::TestParamInfo<ResourceCase> &p) {
                           return std::string(p.param.resourceSet);
                         });

} // namespace
