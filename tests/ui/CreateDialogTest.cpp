#include "ui/CreateDialog.h"

#include "gamma/GammaRamp.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace {

const UINT WM_RUN = WM_APP;

std::function<void(DialogWindow *)> steps;

// The creation dialog's handler, with the test's steps run inside the
// dialog's own loop once it has initialised.
void StepsHandler(DialogWindow *dialog, UINT message, WPARAM wParam, LPARAM lParam, BYTE *handled) {
  CreateDialogHandler(dialog, message, wParam, lParam, handled);
  if (message == WM_INITDIALOG)
    PostMessageA(dialog->Handle(), WM_RUN, 0, 0);
  if (message == WM_RUN && steps)
    steps(dialog);
}

std::vector<std::uint16_t> Entries(const GammaRamp &ramp) {
  return std::vector<std::uint16_t>(ramp.Entries(), ramp.Entries() + GammaRamp::kEntryCount);
}

std::vector<std::uint16_t> SliderCurve(int position, int darkLevel) {
  GammaRamp ramp;
  ramp.SetCurveFromSlider(position, darkLevel);
  return Entries(ramp);
}

std::string Text(DialogWindow *dialog, int controlId) {
  char text[64] = {};
  GetWindowTextA(dialog->Item(controlId), text, sizeof text);
  return text;
}

void Spin(DialogWindow *dialog, int controlId, int position) {
  SendMessageA(dialog->Item(controlId), UDM_SETPOS, 0, MAKELPARAM(position, 0));
  SendMessageA(dialog->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, position),
               reinterpret_cast<LPARAM>(dialog->Item(controlId)));
}

void Slide(DialogWindow *dialog, int position) {
  SendMessageA(dialog->Item(IDC_GAMMASLIDER), TBM_SETPOS, TRUE, position);
  SendMessageA(dialog->Handle(), WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0),
               reinterpret_cast<LPARAM>(dialog->Item(IDC_GAMMASLIDER)));
}

class CreateDialogTest : public ::testing::Test {
protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    ramp.SetIdentity();
  }
  void TearDown() override { steps = nullptr; }

  INT_PTR Show(std::function<void(DialogWindow *)> run) {
    steps = run;
    DialogWindow dialog(StepsHandler);
    dialog.data = &state;
    return dialog.ShowModal(IDD_CREATEGAMMA, nullptr);
  }

  GammaRamp ramp;
  CreateDialogState state = {&ramp, 8192, 0, 0};
};

TEST_F(CreateDialogTest, EveryDarkLevelFrom0To64IsComputedIntoTheRampAndShown) {
  Show([this](DialogWindow *dialog) {
    Slide(dialog, 12288);
    for (int level = 0; level <= 64; ++level) {
      SCOPED_TRACE(level);
      Spin(dialog, IDC_DARKSPIN, level);
      EXPECT_EQ(state.darkLevel, level);
      EXPECT_EQ(Text(dialog, IDC_DARKTEXT), std::to_string(level));
      EXPECT_EQ(Entries(ramp), SliderCurve(12288, level));
    }
    dialog->End(0);
  });
  EXPECT_EQ(state.gammaPos, 12288);
}

TEST_F(CreateDialogTest, EachDelayStepIs100Milliseconds) {
  Show([this](DialogWindow *dialog) {
    for (int step = 0; step <= 100; ++step) {
      Spin(dialog, IDC_DELAYSPIN, step);
      EXPECT_EQ(state.delayMs, step * 100);
      EXPECT_EQ(Text(dialog, IDC_DELAYTEXT), std::to_string(step * 100));
    }
    dialog->End(0);
  });
  GammaRamp identity;
  identity.SetIdentity();
  EXPECT_EQ(Entries(ramp), Entries(identity)) << "the delay does not touch the ramp";
}

TEST_F(CreateDialogTest, TheSliderKeepsItsPositionAndTheDarkLevelInTheRamp) {
  Show([this](DialogWindow *dialog) {
    Spin(dialog, IDC_DARKSPIN, 12);
    Slide(dialog, 2048);
    EXPECT_EQ(Text(dialog, IDC_GAMMATEXT), "0.250000");
    dialog->End(1);
  });
  EXPECT_EQ(state.gammaPos, 2048);
  EXPECT_EQ(state.darkLevel, 12);
  EXPECT_EQ(Entries(ramp), SliderCurve(2048, 12));
}

TEST_F(CreateDialogTest, ResetStartsTheNextDarkLevelFromGammaOne) {
  Show([this](DialogWindow *dialog) {
    Slide(dialog, 16384);
    Spin(dialog, IDC_DARKSPIN, 30);
    Spin(dialog, IDC_DELAYSPIN, 4);
    SendMessageA(dialog->Handle(), WM_COMMAND, IDC_RESET, 0);
    EXPECT_EQ(state.gammaPos, 8192);
    EXPECT_EQ(state.darkLevel, 0);
    EXPECT_EQ(state.delayMs, 400);
    EXPECT_EQ(LOWORD(SendMessageA(dialog->Item(IDC_DARKSPIN), UDM_GETPOS, 0, 0)), 0);
    Spin(dialog, IDC_DARKSPIN, 5);
    dialog->End(0);
  });
  EXPECT_EQ(Entries(ramp), SliderCurve(8192, 5));
}

TEST(CreateDialogWithoutState, StillEndsWithApplyAndClose) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&controls);
  for (int command : {IDC_APPLY, IDCANCEL}) {
    steps = [command](DialogWindow *dialog) {
      Slide(dialog, 9000);
      Spin(dialog, IDC_DARKSPIN, 3);
      SendMessageA(dialog->Handle(), WM_COMMAND, IDC_RESET, 0);
      SendMessageA(dialog->Handle(), WM_COMMAND, command, 0);
    };
    DialogWindow dialog(StepsHandler);
    EXPECT_EQ(dialog.ShowModal(IDD_CREATEGAMMA, nullptr), command == IDC_APPLY ? 1 : 0);
  }
  steps = nullptr;
}

} // namespace
