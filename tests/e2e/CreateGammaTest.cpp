#include "tests/e2e/DialogDriver.h"
#include "tests/e2e/ResidentFixture.h"
#include "tests/support/GammaFileReader.h"

#include "app/AppMessages.h"
#include "res/resource.h"

#include <windows.h>

#include <commctrl.h>

#include <ostream>

namespace {

const char kCreateCaption[] = "ガンマ設定の作成";
const char kSaveCaption[] = "ガンマファイルの保存";
const unsigned kWaitMs = 10000;

std::vector<std::uint16_t> IdentityRamp() {
  std::vector<std::uint16_t> ramp(768);
  for (int i = 0; i < 768; ++i)
    ramp[i] = static_cast<std::uint16_t>((i % 256) * 256 + 255);
  return ramp;
}

std::vector<std::uint16_t> SliderRamp(int position, int darkLevel) {
  return CurveRamp(position / 8192.0, darkLevel);
}

class CreateGammaTest : public ResidentFixture {
protected:
  void SetUp() override {
    // A pointer left outside the smaller mode the fixture switches to can no
    // longer be moved by SetCursorPos under Wine; so it goes to a corner that
    // every mode has first.
    SetCursorPos(0, 0);
    ResidentFixture::SetUp();
    ASSERT_TRUE(StartResident(ProgramPath()));
  }

  // Opens the dialog through the menu command, with the cursor at (x, y).
  HWND OpenDialog(int x = 40, int y = 30) {
    SetCursorPos(x, y);
    PostMessageA(resident.Window(), WM_COMMAND, IDM_CREATEGAMMA, 0);
    return WaitForDialog(resident.ProcessId(), kCreateCaption, kWaitMs);
  }

  // Presses "保存" and types the name into the real save dialog.
  void SaveAs(HWND dialog, const std::string &name) {
    ClickButton(dialog, IDC_SAVE);
    HWND save = WaitForDialog(resident.ProcessId(), kSaveCaption, kWaitMs);
    ASSERT_NE(save, nullptr);
    TypeFileName(save, WindowsPath(folder) + "\\" + name);
    ASSERT_TRUE(WaitForWindowGone(save, kWaitMs));
  }

  // The file the program saved, read once it is complete.
  GammaFileContent SavedFile(const std::string &name) {
    GammaFileContent content;
    DWORD start = GetTickCount();
    while (!ReadGammaFile(folder + "/" + name, content) && GetTickCount() - start < kWaitMs)
      Sleep(20);
    return content;
  }

  void Close(HWND dialog) {
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitForWindowGone(dialog, kWaitMs));
  }
};

TEST_F(CreateGammaTest, OpensAtTheCursorWithItsStartingValues) {
  HWND dialog = OpenDialog(40, 30);
  ASSERT_NE(dialog, nullptr);
  RECT rect;
  GetWindowRect(dialog, &rect);
  EXPECT_EQ(rect.left, 40);
  EXPECT_EQ(rect.top, 30);
  EXPECT_EQ(ItemText(dialog, IDC_GAMMATEXT), "1.0");
  EXPECT_EQ(ItemText(dialog, IDC_DELAYTEXT), "0");
  EXPECT_EQ(ItemText(dialog, IDC_DARKTEXT), "0");
  EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_GAMMASLIDER, TBM_GETPOS, 0, 0), 8192);
  EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_GAMMASLIDER, TBM_GETRANGEMIN, 0, 0), 2048);
  EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_GAMMASLIDER, TBM_GETRANGEMAX, 0, 0), 32767);
  HWND combo = GetDlgItem(dialog, IDC_RESOLUTION);
  ASSERT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 5);
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 0);
  // Looked up rather than read: only what goes in is copied across processes.
  const char *items[] = {"設定無し", "640x480", "800x600", "1024x768", "1280x1024"};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>(items[i])),
              i)
        << items[i];
  }
  EXPECT_TRUE(WaitForDisplayRamp(startRamp, 0)) << "opening changes nothing on the screen";
  Close(dialog);
}

// Opened from the tray, the cursor is on the taskbar: the dialog goes above
// it, the refusal line and the buttons in sight.
TEST_F(CreateGammaTest, NearTheBottomRightCornerTheDialogStaysInsideTheWorkArea) {
  RECT work = {};
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
  ASSERT_LT(work.bottom, GetSystemMetrics(SM_CYSCREEN)) << "no taskbar to keep clear of";
  HWND dialog = OpenDialog(630, 470);
  ASSERT_NE(dialog, nullptr);
  RECT rect;
  GetWindowRect(dialog, &rect);
  EXPECT_EQ(rect.right, work.right);
  EXPECT_EQ(rect.bottom, work.bottom);
  EXPECT_TRUE(LiesInside(dialog, work, {IDC_REFUSEDTEXT, IDC_RESET, IDC_APPLY, IDCANCEL}));
  Close(dialog);
}

TEST_F(CreateGammaTest, TheSliderIsPreviewedAndShownWithSixDecimals) {
  HWND dialog = OpenDialog();
  ASSERT_NE(dialog, nullptr);
  struct {
    int position;
    const char *text;
  } cases[] = {{32767, "3.999878"}, {12288, "1.500000"}, {8192, "1.000000"}, {2048, "0.250000"}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.position);
    DragSlider(dialog, IDC_GAMMASLIDER, c.position);
    EXPECT_EQ(ItemText(dialog, IDC_GAMMATEXT), c.text);
    // The display takes pure gamma curves from about 0.3 on.
    if (c.position >= 4096) {
      EXPECT_TRUE(WaitForDisplayRamp(SliderRamp(c.position, 0), 2000));
    }
  }
  Close(dialog);
}

TEST_F(CreateGammaTest, TheSpinnersShowTheirValuesAndTheDarkLevelIsNotApplied) {
  HWND dialog = OpenDialog();
  ASSERT_NE(dialog, nullptr);
  DragSlider(dialog, IDC_GAMMASLIDER, 12288);
  ASSERT_TRUE(WaitForDisplayRamp(SliderRamp(12288, 0), 2000));
  ClickSpinner(dialog, IDC_DELAYSPIN, 1);
  EXPECT_EQ(ItemText(dialog, IDC_DELAYTEXT), "100");
  ClickSpinner(dialog, IDC_DELAYSPIN, 100);
  EXPECT_EQ(ItemText(dialog, IDC_DELAYTEXT), "10000");
  // The display would take level 1, not the higher ones.
  for (int level : {37, 64, 1}) {
    ClickSpinner(dialog, IDC_DARKSPIN, level);
    EXPECT_EQ(ItemText(dialog, IDC_DARKTEXT), std::to_string(level));
  }
  ExpectStill(SliderRamp(12288, 0), 300);
  Close(dialog);
}

// Wine refuses gamma 0.8 with dark level 12 and takes 2.0 with level 8, as a
// display driver refuses a strong black lift under a low gamma.
TEST_F(CreateGammaTest, ARefusedPreviewIsSaidOnTheLineAndAnAcceptedOneClearsIt) {
  const std::string kRefused = "画面がこのガンマを受け付けませんでした";
  HWND dialog = OpenDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ItemText(dialog, IDC_REFUSEDTEXT), "");
  DragSlider(dialog, IDC_GAMMASLIDER, 12288);
  ASSERT_TRUE(WaitForDisplayRamp(SliderRamp(12288, 0), 2000));
  ClickSpinner(dialog, IDC_DARKSPIN, 12);
  DragSlider(dialog, IDC_GAMMASLIDER, 6554);
  EXPECT_EQ(ItemText(dialog, IDC_REFUSEDTEXT), kRefused);
  ExpectStill(SliderRamp(12288, 0), 300);
  ClickSpinner(dialog, IDC_DARKSPIN, 8);
  DragSlider(dialog, IDC_GAMMASLIDER, 16384);
  EXPECT_TRUE(WaitForDisplayRamp(SliderRamp(16384, 8), 2000));
  EXPECT_EQ(ItemText(dialog, IDC_REFUSEDTEXT), "");
  // Refused again, then "戻す": the identity is always taken.
  ClickSpinner(dialog, IDC_DARKSPIN, 12);
  DragSlider(dialog, IDC_GAMMASLIDER, 6554);
  EXPECT_EQ(ItemText(dialog, IDC_REFUSEDTEXT), kRefused);
  ClickButton(dialog, IDC_RESET);
  EXPECT_TRUE(WaitForDisplayRamp(IdentityRamp(), 2000));
  EXPECT_EQ(ItemText(dialog, IDC_REFUSEDTEXT), "");
  Close(dialog);
}

TEST_F(CreateGammaTest, ASaveRightAfterOpeningWritesTheIdentityForAnyResolution) {
  HWND dialog = OpenDialog();
  ASSERT_NE(dialog, nullptr);
  SaveAs(dialog, "夕方.qlr");
  GammaFileContent saved = SavedFile("夕方.qlr");
  EXPECT_EQ(saved.ramp, IdentityRamp());
  EXPECT_EQ(saved.width, 0);
  EXPECT_EQ(saved.height, 0);
  EXPECT_EQ(saved.applyDelay, 0);
  EXPECT_EQ(saved.name, "");
  EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays open after a save";
  Close(dialog);
}

TEST_F(CreateGammaTest, ASaveWritesTheComputedRampWithResolutionAndDelay) {
  HWND dialog = OpenDialog();
  ASSERT_NE(dialog, nullptr);
  DragSlider(dialog, IDC_GAMMASLIDER, 12288);
  ClickSpinner(dialog, IDC_DELAYSPIN, 100);
  ClickSpinner(dialog, IDC_DARKSPIN, 64);
  SendDlgItemMessageA(dialog, IDC_RESOLUTION, CB_SETCURSEL, 4, 0);
  SaveAs(dialog, "night.qlr");
  GammaFileContent saved = SavedFile("night.qlr");
  EXPECT_EQ(saved.ramp, SliderRamp(12288, 64)) << "the dark level is saved without a preview";
  EXPECT_EQ(saved.width, 1280);
  EXPECT_EQ(saved.height, 1024);
  EXPECT_EQ(saved.applyDelay, 10000);
  EXPECT_EQ(saved.name, "");
  Close(dialog);
}

TEST_F(CreateGammaTest, ResetReturnsScreenSliderAndDarkLevelToTheStart) {
  HWND dialog = OpenDialog();
  ASSERT_NE(dialog, nullptr);
  DragSlider(dialog, IDC_GAMMASLIDER, 12288);
  ClickSpinner(dialog, IDC_DARKSPIN, 20);
  ClickSpinner(dialog, IDC_DELAYSPIN, 5);
  ClickButton(dialog, IDC_RESET);
  EXPECT_TRUE(WaitForDisplayRamp(IdentityRamp(), 2000));
  EXPECT_EQ(ItemText(dialog, IDC_GAMMATEXT), "1.0");
  EXPECT_EQ(ItemText(dialog, IDC_DARKTEXT), "0");
  EXPECT_EQ(ItemText(dialog, IDC_DELAYTEXT), "500");
  EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_GAMMASLIDER, TBM_GETPOS, 0, 0), 8192);
  SaveAs(dialog, "reset.qlr");
  EXPECT_EQ(SavedFile("reset.qlr").ramp, IdentityRamp()) << "what the screen shows";
  // The next change starts from gamma 1.0 and dark level 0.
  ClickSpinner(dialog, IDC_DARKSPIN, 1);
  SaveAs(dialog, "reset2.qlr");
  EXPECT_EQ(SavedFile("reset2.qlr").ramp, SliderRamp(8192, 1));
  Close(dialog);
}

TEST_F(CreateGammaTest, ASecondSaveAsksBeforeReplacingAndAFailedSaveIsReported) {
  HWND dialog = OpenDialog();
  ASSERT_NE(dialog, nullptr);
  SaveAs(dialog, "twice.qlr");
  ASSERT_EQ(SavedFile("twice.qlr").applyDelay, 0);

  ClickSpinner(dialog, IDC_DELAYSPIN, 3);
  ClickButton(dialog, IDC_SAVE);
  HWND save = WaitForDialog(resident.ProcessId(), kSaveCaption, kWaitMs);
  ASSERT_NE(save, nullptr);
  TypeFileName(save, WindowsPath(folder) + "\\twice.qlr");
  HWND question = WaitForOwnedDialog(save, kWaitMs);
  ASSERT_NE(question, nullptr) << "replacing a file is confirmed first";
  PostMessageA(question, WM_COMMAND, IDYES, 0);
  ASSERT_TRUE(WaitForWindowGone(save, kWaitMs));
  DWORD start = GetTickCount();
  while (SavedFile("twice.qlr").applyDelay != 300 && GetTickCount() - start < kWaitMs)
    Sleep(20);
  EXPECT_EQ(SavedFile("twice.qlr").applyDelay, 300);

  // A file that another program holds open cannot be replaced.
  std::string held = WindowsPath(folder) + "\\twice.qlr";
  HANDLE file = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  ClickSpinner(dialog, IDC_DELAYSPIN, 7);
  ClickButton(dialog, IDC_SAVE);
  save = WaitForDialog(resident.ProcessId(), kSaveCaption, kWaitMs);
  ASSERT_NE(save, nullptr);
  TypeFileName(save, held);
  question = WaitForOwnedDialog(save, kWaitMs);
  ASSERT_NE(question, nullptr);
  PostMessageA(question, WM_COMMAND, IDYES, 0);
  HWND failure = WaitForOwnedDialog(dialog, kWaitMs);
  ASSERT_NE(failure, nullptr) << "a failed save is reported, over the creation dialog";
  char text[128] = {};
  GetWindowTextA(GetDlgItem(failure, 0xFFFF), text, sizeof text);
  EXPECT_STREQ(text, "ガンマファイルを保存できませんでした。");
  PostMessageA(failure, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(WaitForWindowGone(failure, kWaitMs));
  CloseHandle(file);
  EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays open";
  EXPECT_EQ(SavedFile("twice.qlr").applyDelay, 300) << "the old file is untouched";
  Close(dialog);
}

// The file dialog returns FALSE for a cancel and for an error alike. A path
// longer than the program's 260-byte buffer is such an error: reported, not
// dropped. (Wine's own dialog breaks on paths of about 300 characters, so
// this one is only a little longer.)
TEST_F(CreateGammaTest, AFileDialogErrorIsReportedAndACancelIsNot) {
  HWND dialog = OpenDialog();
  ASSERT_NE(dialog, nullptr);
  ClickButton(dialog, IDC_SAVE);
  HWND save = WaitForDialog(resident.ProcessId(), kSaveCaption, kWaitMs);
  ASSERT_NE(save, nullptr);
  PostMessageA(save, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitForWindowGone(save, kWaitMs));
  EXPECT_EQ(WaitForDialog(resident.ProcessId(), kSaveCaption, 800), nullptr)
      << "a cancel says nothing";

  ClickButton(dialog, IDC_SAVE);
  save = WaitForDialog(resident.ProcessId(), kSaveCaption, kWaitMs);
  ASSERT_NE(save, nullptr);
  TypeFileName(save, "C:\\" + std::string(255, 'n') + ".qlr");
  ASSERT_TRUE(WaitForWindowGone(save, kWaitMs));
  HWND failure = WaitForDialog(resident.ProcessId(), kSaveCaption, kWaitMs);
  ASSERT_NE(failure, nullptr) << "the error is reported";
  EXPECT_EQ(ItemText(failure, 0xFFFF), "ファイルのパスが長すぎます。短いパスを選んでください。");
  EXPECT_EQ(GetWindow(failure, GW_OWNER), resident.Window());
  PostMessageA(failure, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(WaitForWindowGone(failure, kWaitMs));
  EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays open";
  Close(dialog);
}

// The save dialog belongs to the main window, so the creation dialog can be
// closed while it is open; the save still writes what the user chose.
TEST_F(CreateGammaTest, ClosingWhileTheSaveDialogIsOpenStillSavesWhatWasChosen) {
  HWND dialog = OpenDialog();
  ASSERT_NE(dialog, nullptr);
  SendDlgItemMessageA(dialog, IDC_RESOLUTION, CB_SETCURSEL, 2, 0);
  ClickSpinner(dialog, IDC_DELAYSPIN, 20);
  ClickButton(dialog, IDC_SAVE);
  HWND save = WaitForDialog(resident.ProcessId(), kSaveCaption, kWaitMs);
  ASSERT_NE(save, nullptr);
  ClickButton(dialog, IDCANCEL);
  TypeFileName(save, WindowsPath(folder) + "\\late.qlr");
  GammaFileContent saved = SavedFile("late.qlr");
  EXPECT_EQ(saved.width, 800);
  EXPECT_EQ(saved.height, 600);
  EXPECT_EQ(saved.applyDelay, 2000);
  EXPECT_TRUE(WaitForWindowGone(dialog, kWaitMs));
}

// How the dialog ends decides what stays on the screen: "適用" keeps the
// preview, anything else returns to the identity ramp.
struct EndCase {
  const char *name;
  UINT message;
  WPARAM wParam;
  bool keepsPreview;
};

void PrintTo(const EndCase &endCase, std::ostream *out) {
  *out << endCase.name;
}

class CreateGammaEndTest : public CreateGammaTest, public ::testing::WithParamInterface<EndCase> {};

TEST_P(CreateGammaEndTest, ApplyKeepsThePreviewAndEverythingElseRestoresTheIdentity) {
  HWND dialog = OpenDialog();
  ASSERT_NE(dialog, nullptr);
  DragSlider(dialog, IDC_GAMMASLIDER, 12288);
  ASSERT_TRUE(WaitForDisplayRamp(SliderRamp(12288, 0), 2000));
  // The keys go to the focused control, as typing would send them.
  HWND target = GetParam().message == WM_KEYDOWN ? GetDlgItem(dialog, IDC_GAMMASLIDER) : dialog;
  PostMessageA(target, GetParam().message, GetParam().wParam, 0);
  ASSERT_TRUE(WaitForWindowGone(dialog, kWaitMs));
  std::vector<std::uint16_t> expected =
      GetParam().keepsPreview ? SliderRamp(12288, 0) : IdentityRamp();
  EXPECT_TRUE(WaitForDisplayRamp(expected, 2000));
  ExpectStill(expected, 300);
}

INSTANTIATE_TEST_SUITE_P(Ends, CreateGammaEndTest,
                         ::testing::Values(EndCase{"Enter", WM_KEYDOWN, VK_RETURN, true},
                                           EndCase{"Apply", WM_COMMAND, IDC_APPLY, true},
                                           EndCase{"Escape", WM_KEYDOWN, VK_ESCAPE, false},
                                           EndCase{"CloseButton", WM_SYSCOMMAND, SC_CLOSE, false},
                                           EndCase{"Close", WM_COMMAND, IDCANCEL, false}),
                         [](const ::testing::TestParamInfo<EndCase> &param) {
                           return std::string(param.param.name);
                         });

struct DialogSearch {
  DWORD processId;
  const char *caption;
  int found;
};

BOOL CALLBACK CountIfMatching(HWND window, LPARAM context) {
  DialogSearch &search = *reinterpret_cast<DialogSearch *>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char text[64] = "";
  GetWindowTextA(window, text, sizeof text);
  if (owner == search.processId && IsWindowVisible(window) && lstrcmpA(text, search.caption) == 0)
    ++search.found;
  return TRUE;
}

int CountDialogs(DWORD processId, const char *caption) {
  DialogSearch search = {processId, caption, 0};
  EnumWindows(CountIfMatching, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The save dialog belongs to the main window, so the creation dialog stays
// enabled under it and "保存" can be pressed again: that must not open a
// second save dialog inside the first.
TEST_F(CreateGammaTest, SaveWhileASaveDialogIsOpenOpensNoSecondOne) {
  HWND dialog = OpenDialog();
  ASSERT_NE(dialog, nullptr);
  ClickButton(dialog, IDC_SAVE);
  HWND save = WaitForDialog(resident.ProcessId(), kSaveCaption, kWaitMs);
  ASSERT_NE(save, nullptr);
  ClickButton(dialog, IDC_SAVE);
  // Handled in order after the click: once the hot key's ramp shows, the
  // second click has been handled too.
  PostMessageA(resident.Window(), WM_HOOKCOMMAND, HOOKCMD_PRESET5, 0);
  ASSERT_TRUE(WaitForDisplayRamp(CurveRamp(1.5, 0), kWaitMs));
  EXPECT_EQ(CountDialogs(resident.ProcessId(), kSaveCaption), 1);

  TypeFileName(save, WindowsPath(folder) + "\\once.qlr");
  ASSERT_TRUE(WaitForWindowGone(save, kWaitMs));
  EXPECT_EQ(SavedFile("once.qlr").ramp, IdentityRamp());
  Close(dialog);
}

TEST_F(CreateGammaTest, ClosingAfterAHotKeyRampReturnsToTheIdentity) {
  PostMessageA(resident.Window(), WM_HOOKCOMMAND, HOOKCMD_GAMMAUP, 0);
  ASSERT_TRUE(WaitForDisplayRamp(CurveRamp(1.025, 0), 2000));
  HWND dialog = OpenDialog();
  ASSERT_NE(dialog, nullptr);
  Close(dialog);
  EXPECT_TRUE(WaitForDisplayRamp(IdentityRamp(), 2000));
}

TEST_F(CreateGammaTest, CommandsAndTrayClicksWhileTheDialogIsOpenAreDropped) {
  PostMessageA(resident.Window(), WM_COMMAND, 0, 0); // a dismissed menu
  HWND dialog = OpenDialog();
  ASSERT_NE(dialog, nullptr) << "identifier 0 left no command running";
  PostMessageA(resident.Window(), WM_TRAYNOTIFY, 0, WM_RBUTTONDOWN);
  PostMessageA(resident.Window(), WM_COMMAND, IDM_LOADFILE, 0);
  PostMessageA(resident.Window(), WM_COMMAND, IDM_CREATEGAMMA, 0);
  PostMessageA(resident.Window(), WM_COMMAND, IDM_EXIT, 0);
  // Answered by the dialog's loop once all of the above has been handled.
  DWORD_PTR ignored = 0;
  ASSERT_TRUE(
      SendMessageTimeoutA(resident.Window(), WM_NULL, 0, 0, SMTO_NORMAL, kWaitMs, &ignored));
  Sleep(300);
  EXPECT_EQ(FindProcessWindow(resident.ProcessId(), "#32768", true), nullptr);
  EXPECT_EQ(WaitForDialog(resident.ProcessId(), "ガンマファイルの読みこみ", 0), nullptr);
  EXPECT_TRUE(resident.IsRunning());
  Close(dialog);
  EXPECT_EQ(WaitForDialog(resident.ProcessId(), kCreateCaption, 500), nullptr)
      << "no second dialog follows";
  EXPECT_TRUE(resident.IsRunning()) << "the exit command was dropped, not queued";
}

} // namespace
