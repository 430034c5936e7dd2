#include "ui/SystemLibrary.h"
#include "ui/MessageFilter.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace {

TEST(SystemLibrary, FindsAnEntryPointOnlyInTheLibraryItNames) {
  SystemLibrary version("version.dll");
  EXPECT_NE(nullptr, version.Find("GetFileVersionInfoSizeA"));
  EXPECT_EQ(nullptr, version.Find("NoSuchEntryPoint"));
  SystemLibrary missing("no-such-library.dll");
  EXPECT_EQ(nullptr, missing.Find("GetFileVersionInfoSizeA"));
}

// The dialogs' trackbar and up-down classes come from comctl32.dll, which
// the program loads only when the first dialog opens.
TEST(DialogControls, ComeWithTheFirstRegistration) {
  WNDCLASSA windowClass;
  ASSERT_EQ(nullptr, GetModuleHandleA("comctl32.dll"));
  EXPECT_EQ(1, RegisterDialogControls());
  EXPECT_NE(nullptr, GetModuleHandleA("comctl32.dll"));
  EXPECT_TRUE(GetClassInfoA(nullptr, TRACKBAR_CLASSA, &windowClass));
  EXPECT_TRUE(GetClassInfoA(nullptr, UPDOWN_CLASSA, &windowClass));
  EXPECT_EQ(1, RegisterDialogControls());
}

// The program's lookup of the message filter, under the names Windows gives
// its functions (Wine has both; whether they let anything through it cannot
// show).
TEST(MessageFilter, FunctionsAreFoundInUser32) {
  MessageFilterFunctions functions = FindMessageFilterFunctions();
  EXPECT_NE(nullptr, functions.forWindow);
  EXPECT_NE(nullptr, functions.forProcess);
  HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(nullptr, window);
  EXPECT_EQ(1, AllowThroughMessageFilter(window, WM_COPYDATA));
  DestroyWindow(window);
}

} // namespace
