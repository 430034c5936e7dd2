#include "ui/DialogWindow.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <new>
#include <ostream>
#include <vector>

namespace {

const int kSmallDialog = 200;
const int kHugeDialog = 201;
const UINT WM_RUN = WM_APP;        // runs the test's steps inside the modal loop
const UINT WM_MARKED = WM_APP + 1; // the handler marks it handled
const UINT WM_UNMARKED = WM_APP + 2;

// What the test handler saw, and what it is to do once the dialog runs.
struct Recording {
  std::vector<UINT> messages;
  bool handledWasSetOnEntry = false;
  HWND window = nullptr; // the window bound at WM_INITDIALOG
  int propertiesAtDestroy = -1;
  std::function<void(DialogWindow *)> steps;
};

Recording *recording = nullptr;

BOOL CALLBACK CountProperty(HWND, LPSTR, HANDLE, ULONG_PTR count) {
  ++*reinterpret_cast<int *>(count);
  return TRUE;
}

int PropertyCount(HWND window) {
  int count = 0;
  EnumPropsExA(window, CountProperty, reinterpret_cast<LPARAM>(&count));
  return count;
}

void RecordingHandler(DialogWindow *dialog, UINT message, WPARAM, LPARAM, BYTE *handled) {
  recording->messages.push_back(message);
  if (*handled)
    recording->handledWasSetOnEntry = true;
  if (message == WM_INITDIALOG) {
    recording->window = dialog->Handle();
    PostMessageA(dialog->Handle(), WM_RUN, 0, 0);
  }
  if (message == WM_RUN && recording->steps)
    recording->steps(dialog);
  if (message == WM_MARKED)
    *handled = 1;
  if (message == WM_DESTROY)
    recording->propertiesAtDestroy = PropertyCount(recording->window);
}

class DialogWindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    recording = &record;
  }
  void TearDown() override { recording = nullptr; }

  // Shows the dialog with the recording handler; the steps run in its loop.
  INT_PTR Show(DialogWindow &dialog, int templateId, std::function<void(DialogWindow *)> steps) {
    record.steps = steps;
    return dialog.ShowModal(templateId, nullptr);
  }

  Recording record;
};

TEST_F(DialogWindowTest, ASecondEndDoesNothingAndTheFirstResultStands) {
  DialogWindow dialog(RecordingHandler);
  int first = -1, second = -1;
  HWND during = nullptr;
  EXPECT_EQ(Show(dialog, kSmallDialog,
                 [&](DialogWindow *d) {
                   during = d->Handle();
                   first = d->End(1);
                   second = d->End(0);
                 }),
            1);
  EXPECT_NE(during, nullptr);
  EXPECT_NE(first, 0);
  EXPECT_EQ(second, 0);
  EXPECT_EQ(dialog.Handle(), nullptr);
  EXPECT_EQ(dialog.End(3), 0);
}

// The destructor of a dialog that is still bound ends it with 0; after End it
// makes no call, so the result given to End stands. The object is destroyed
// inside the modal loop, with its property taken off the window first.
struct DestroyCase {
  const char *name;
  bool endFirst;
  INT_PTR result;
};

void PrintTo(const DestroyCase &destroyCase, std::ostream *out) {
  *out << destroyCase.name;
}

class DialogWindowDestroy : public DialogWindowTest,
                            public ::testing::WithParamInterface<DestroyCase> {};

TEST_P(DialogWindowDestroy, EndsABoundDialogWithZeroAndLeavesAnEndedOneAlone) {
  void *memory = operator new(sizeof(DialogWindow));
  DialogWindow *dialog = new (memory) DialogWindow(RecordingHandler);
  const bool endFirst = GetParam().endFirst;
  INT_PTR result = Show(*dialog, kSmallDialog, [endFirst](DialogWindow *d) {
    HWND window = d->Handle();
    if (endFirst)
      d->End(7);
    else
      EndDialog(window, 9); // a result the destructor's call must replace
    RemovePropA(window, "GP");
    d->~DialogWindow();
  });
  operator delete(memory);
  EXPECT_EQ(result, GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(Cases, DialogWindowDestroy,
                         ::testing::Values(DestroyCase{"AfterEnd", true, 7},
                                           DestroyCase{"StillBound", false, 0}),
                         [](const ::testing::TestParamInfo<DestroyCase> &param) {
                           return std::string(param.param.name);
                         });

TEST_F(DialogWindowTest, TheHandlerSeesNothingBeforeInitDialogAndNothingAfterDestroy) {
  DialogWindow dialog(RecordingHandler);
  Show(dialog, kSmallDialog, [](DialogWindow *d) { d->End(0); });
  // These only ever come before WM_INITDIALOG. (The move to the stored
  // position during the binding does reach the handler, before it gets
  // WM_INITDIALOG itself.)
  for (UINT early : {WM_NCCREATE, WM_CREATE, WM_SETFONT}) {
    EXPECT_EQ(std::count(record.messages.begin(), record.messages.end(), early), 0) << early;
  }
  ASSERT_FALSE(record.messages.empty());
  EXPECT_EQ(record.messages.back(), static_cast<UINT>(WM_DESTROY));
  EXPECT_EQ(std::count(record.messages.begin(), record.messages.end(), WM_INITDIALOG), 1);
}

TEST_F(DialogWindowTest, AWindowWithoutTheObjectGetsZeroAndNoHandlerCall) {
  HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(DialogWindow::DialogProc(window, WM_COMMAND, IDOK, 0), 0);
  EXPECT_EQ(DialogWindow::DialogProc(window, WM_INITDIALOG, 0, 0), 0) << "no object given";
  EXPECT_EQ(GetPropA(window, "GP"), nullptr);
  EXPECT_TRUE(record.messages.empty());
  DestroyWindow(window);
}

TEST_F(DialogWindowTest, DestroyRemovesEveryPropertyOtherCodesToo) {
  DialogWindow dialog(RecordingHandler);
  HWND window = nullptr;
  int propertiesBefore = 0;
  Show(dialog, kSmallDialog, [&](DialogWindow *d) {
    window = d->Handle();
    EXPECT_EQ(GetPropA(window, "GP"), static_cast<HANDLE>(d));
    SetPropA(window, "Other", reinterpret_cast<HANDLE>(1));
    SetPropA(window, "Another", reinterpret_cast<HANDLE>(2));
    propertiesBefore = PropertyCount(window);
    d->End(0);
  });
  EXPECT_GE(propertiesBefore, 3);
  EXPECT_EQ(record.propertiesAtDestroy, 0)
      << "the handler still gets WM_DESTROY, after the removal";
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(DialogWindowTest, TheHandledByteStartsAtZeroAndDecidesTheResult) {
  DialogWindow dialog(RecordingHandler);
  LRESULT marked = -1, unmarked = -1, markedAgain = -1;
  Show(dialog, kSmallDialog, [&](DialogWindow *d) {
    marked = DialogWindow::DialogProc(d->Handle(), WM_MARKED, 0, 0);
    unmarked = DialogWindow::DialogProc(d->Handle(), WM_UNMARKED, 0, 0);
    markedAgain = DialogWindow::DialogProc(d->Handle(), WM_MARKED, 0, 0);
    d->End(0);
  });
  EXPECT_EQ(marked, 1);
  EXPECT_EQ(unmarked, 0);
  EXPECT_EQ(markedAgain, 1);
  EXPECT_FALSE(record.handledWasSetOnEntry);
}

TEST_F(DialogWindowTest, AMissingTemplateFailsAndLeavesTheObjectUnbound) {
  DialogWindow dialog(RecordingHandler);
  EXPECT_LE(dialog.ShowModal(999, nullptr), 0);
  EXPECT_EQ(dialog.Handle(), nullptr);
  EXPECT_TRUE(record.messages.empty());
}

// Window rectangles against the screen of the test display.
struct Screen {
  int width = GetSystemMetrics(SM_CXSCREEN);
  int height = GetSystemMetrics(SM_CYSCREEN);
};

RECT WindowRect(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return rect;
}

TEST_F(DialogWindowTest, AStoredPositionIsWhereTheDialogOpens) {
  DialogWindow dialog(RecordingHandler);
  dialog.MoveTo(30, 40, 1); // unbound: only stored, nothing to clamp against
  RECT opened = {};
  Show(dialog, kSmallDialog, [&opened](DialogWindow *d) {
    opened = WindowRect(d->Handle());
    d->End(0);
  });
  EXPECT_EQ(opened.left, 30);
  EXPECT_EQ(opened.top, 40);
}

// MoveTo with the clamp holds the right and bottom edges inside the screen,
// never the left and top ones.
struct MoveCase {
  const char *name;
  int templateId;
  int left, top; // relative to the screen's right/bottom edge when fromEdge
  bool fromEdge;
  int clamp;
  // Expected: -1 = flush with the right (bottom) edge, else this value.
  int expectLeft, expectTop;
};

void PrintTo(const MoveCase &moveCase, std::ostream *out) {
  *out << moveCase.name;
}

class DialogWindowMove : public DialogWindowTest, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(DialogWindowMove, ClampsOnlyTheRightAndBottomEdges) {
  const MoveCase &c = GetParam();
  Screen screen;
  DialogWindow dialog(RecordingHandler);
  RECT moved = {};
  Show(dialog, c.templateId, [&](DialogWindow *d) {
    int left = c.fromEdge ? screen.width + c.left : c.left;
    int top = c.fromEdge ? screen.height + c.top : c.top;
    d->MoveTo(left, top, c.clamp);
    moved = WindowRect(d->Handle());
    d->End(0);
  });
  Screen after;
  int width = moved.right - moved.left, height = moved.bottom - moved.top;
  int left = c.expectLeft == -1 ? after.width - width : c.expectLeft;
  int top = c.expectTop == -1 ? after.height - height : c.expectTop;
  if (c.fromEdge && c.clamp == 0) {
    left = after.width + c.left;
    top = after.height + c.top;
  }
  EXPECT_EQ(moved.left, left);
  EXPECT_EQ(moved.top, top);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DialogWindowMove,
    ::testing::Values(MoveCase{"PastTheRightAndBottom", kSmallDialog, -10, -10, true, 1, -1, -1},
                      MoveCase{"PastWithoutClamp", kSmallDialog, -10, -10, true, 0, 0, 0},
                      MoveCase{"LeftOfTheScreenStays", kSmallDialog, -50, -30, false, 1, -50, -30},
                      MoveCase{"InsideStays", kSmallDialog, 12, 34, false, 1, 12, 34},
                      MoveCase{"LargerThanTheScreenGoesNegative", kHugeDialog, 0, 0, false, 1, -1,
                               -1}),
    [](const ::testing::TestParamInfo<MoveCase> &param) { return std::string(param.param.name); });

// PlaceAtCursor keeps a window that fits wholly inside the work area, and
// puts one that does not at the area's left or top edge. Wine's desktop has
// a taskbar along its bottom, so the work area ends above the screen's edge,
// as it does on Windows.
struct PlaceCase {
  const char *name;
  int cursorX, cursorY;      // negative: from the screen's right/bottom edge
  int width, height;         // negative: this much larger than the screen
  int expectLeft, expectTop; // -1: flush with the work area's right (bottom) edge
};

void PrintTo(const PlaceCase &placeCase, std::ostream *out) {
  *out << placeCase.name;
}

class PlaceAtCursorTest : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(PlaceAtCursorTest, KeepsTheWindowInsideTheWorkArea) {
  const PlaceCase &c = GetParam();
  Screen screen;
  RECT work = {};
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
  ASSERT_LT(work.bottom, screen.height) << "no taskbar to keep clear of";
  int width = c.width < 0 ? screen.width - c.width : c.width;
  int height = c.height < 0 ? screen.height - c.height : c.height;
  HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, 5, 5, width, height,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(SetCursorPos(c.cursorX < 0 ? screen.width + c.cursorX : c.cursorX,
                           c.cursorY < 0 ? screen.height + c.cursorY : c.cursorY));
  PlaceAtCursor(window);
  RECT placed = WindowRect(window);
  DestroyWindow(window);
  SetCursorPos(0, 0); // not left at an edge that a smaller display mode lacks
  EXPECT_EQ(placed.left, c.expectLeft == -1 ? work.right - width : c.expectLeft);
  EXPECT_EQ(placed.top, c.expectTop == -1 ? work.bottom - height : c.expectTop);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlaceAtCursorTest,
    ::testing::Values(PlaceCase{"Fits", 10, 20, 200, 100, 10, 20},
                      PlaceCase{"BottomRightCorner", -1, -1, 200, 100, -1, -1},
                      PlaceCase{"WiderThanTheScreen", -1, 20, -100, 100, 0, 20},
                      PlaceCase{"TallerThanTheScreen", 30, -1, 200, -100, 30, 0}),
    [](const ::testing::TestParamInfo<PlaceCase> &param) { return std::string(param.param.name); });

} // namespace
