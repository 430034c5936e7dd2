#include "ui/TrayIcon.h"

#include "app/AppMessages.h"
#include "res/resource.h"
#include "tests/support/WineDisplay.h"
#include "tests/ui/ShellTrayTips.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

const UINT kAllFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;

// Asks another process whether the tray holds this icon: 1 yes, 0 no,
// negative when the probe could not run.
int IconExists(HWND window, UINT identifier) {
  std::string command = "\"" + WindowsPath(TRAY_PROBE_EXE) + "\" " +
                        std::to_string(reinterpret_cast<UINT_PTR>(window)) + " " +
                        std::to_string(identifier);
  return RunCommandLine(command, 30000);
}

// The shell's callbacks to the test window: icon identifier, mouse message.
std::vector<std::pair<WPARAM, LPARAM>> callbacks;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TRAYNOTIFY)
    callbacks.push_back({wParam, lParam});
  return DefWindowProcA(window, message, wParam, lParam);
}

// The tip the shell shows for the test window's icon `identifier`, judged
// from outside the TrayIcon object. The shell's tooltips do not say whose
// icon they describe; the one whose place, pointed at, makes the shell call
// the test window back for that identifier is the icon's.
std::string ShellTipOf(UINT identifier) {
  for (const ShellTrayTip &tip : ReadShellTrayTips()) {
    callbacks.clear();
    if (!PointAt(tip))
      continue;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageA(&message);
    for (const auto &callback : callbacks)
      if (callback.first == identifier && callback.second == WM_MOUSEMOVE)
        return tip.text;
  }
  return "(no icon)";
}

class TrayIconTest : public ::testing::Test {
protected:
  void SetUp() override {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "QuilTrayTest";
    RegisterClassA(&windowClass);
    window = CreateWindowExA(WS_EX_TOOLWINDOW, "QuilTrayTest", nullptr, WS_POPUP, 0, 0, 0, 0,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_TRAYICON));
    ASSERT_NE(icon, nullptr) << "the program's tray icon resource";
  }
  void TearDown() override { DestroyWindow(window); }

  HWND window = nullptr;
  HICON icon = nullptr;
};

TEST_F(TrayIconTest, AddShowsTheIconAndRemoveTakesItAwayOnce) {
  TrayIcon trayIcon;
  EXPECT_EQ(trayIcon.IconData().cbSize, 88u);

  ASSERT_EQ(trayIcon.Add(window, icon, WM_TRAYNOTIFY, "QUILLORA", 0), 1);
  EXPECT_EQ(trayIcon.IsAdded(), 1);
  const NOTIFYICONDATAA &data = trayIcon.IconData();
  EXPECT_EQ(data.cbSize, 88u);
  EXPECT_EQ(data.hWnd, window);
  EXPECT_EQ(data.hIcon, icon);
  EXPECT_EQ(data.uID, 0u);
  EXPECT_EQ(data.uCallbackMessage, WM_TRAYNOTIFY);
  EXPECT_EQ(data.uFlags, kAllFlags);
  EXPECT_STREQ(data.szTip, "QUILLORA");
  EXPECT_EQ(IconExists(window, 0), 1);
  EXPECT_EQ(ShellTipOf(0), "QUILLORA");

  EXPECT_EQ(trayIcon.Remove(), 1);
  EXPECT_EQ(trayIcon.IsAdded(), 0);
  EXPECT_EQ(IconExists(window, 0), 0);
  EXPECT_EQ(trayIcon.Remove(), 0);
}

TEST_F(TrayIconTest, AddWithoutTipKeepsTheStoredTipButDoesNotSendIt) {
  TrayIcon trayIcon;
  trayIcon.SetTip("old");

  ASSERT_EQ(trayIcon.Add(window, icon, WM_TRAYNOTIFY, nullptr, 3), 1);
  EXPECT_EQ(trayIcon.IconData().uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON));
  EXPECT_STREQ(trayIcon.IconData().szTip, "old");
  EXPECT_EQ(IconExists(window, 3), 1);
  EXPECT_EQ(ShellTipOf(3), "");
}

TEST_F(TrayIconTest, AddOnAShownIconRemovesItFirst) {
  TrayIcon trayIcon;
  ASSERT_EQ(trayIcon.Add(window, icon, WM_TRAYNOTIFY, "QUILLORA", 1), 1);
  ASSERT_EQ(trayIcon.Add(window, icon, WM_TRAYNOTIFY, "QUILLORA", 2), 1);
  EXPECT_EQ(IconExists(window, 1), 0);
  EXPECT_EQ(IconExists(window, 2), 1);
}

TEST_F(TrayIconTest, RefusedAddLeavesTheIconNotShown) {
  TrayIcon first;
  ASSERT_EQ(first.Add(window, icon, WM_TRAYNOTIFY, "QUILLORA", 0), 1);
  TrayIcon second;
  // The shell holds one icon per window and identifier.
  EXPECT_EQ(second.Add(window, icon, WM_TRAYNOTIFY, "QUILLORA", 0), 0);
  EXPECT_EQ(second.IsAdded(), 0);
  EXPECT_EQ(second.Remove(), 0);
  EXPECT_EQ(IconExists(window, 0), 1);
}

TEST_F(TrayIconTest, AdoptIfShownTakesAnIconTheShellHolds) {
  TrayIcon trayIcon;
  EXPECT_EQ(trayIcon.AdoptIfShown(), 0) << "never added";
  // An icon of the same window and identifier that the shell took although
  // it answered the Add with a failure, as a busy shell may.
  NOTIFYICONDATAA taken = {};
  taken.cbSize = 88;
  taken.hWnd = window;
  taken.uFlags = NIF_ICON;
  taken.hIcon = icon;
  ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &taken));
  ASSERT_EQ(trayIcon.Add(window, icon, WM_TRAYNOTIFY, "QUILLORA", 0), 0);
  EXPECT_EQ(trayIcon.AdoptIfShown(), 1);
  EXPECT_EQ(trayIcon.IsAdded(), 1);
  EXPECT_EQ(trayIcon.Remove(), 1);
  EXPECT_EQ(IconExists(window, 0), 0);
  EXPECT_EQ(trayIcon.AdoptIfShown(), 0) << "gone from the shell";
  EXPECT_EQ(trayIcon.IsAdded(), 0);
}

TEST_F(TrayIconTest, DestructorRemovesAShownIcon) {
  {
    TrayIcon trayIcon;
    ASSERT_EQ(trayIcon.Add(window, icon, WM_TRAYNOTIFY, "QUILLORA", 0), 1);
    ASSERT_EQ(IconExists(window, 0), 1);
  }
  EXPECT_EQ(IconExists(window, 0), 0);
}

TEST_F(TrayIconTest, SetTipOnAShownIconKeepsItShown) {
  TrayIcon trayIcon;
  ASSERT_EQ(trayIcon.Add(window, icon, WM_TRAYNOTIFY, "QUILLORA", 0), 1);
  trayIcon.SetTip("クイロラ");
  EXPECT_EQ(trayIcon.IconData().uFlags, static_cast<UINT>(NIF_TIP));
  EXPECT_STREQ(trayIcon.IconData().szTip, "クイロラ");
  EXPECT_EQ(IconExists(window, 0), 1);
  EXPECT_EQ(ShellTipOf(0), "クイロラ");
}

struct TipCase {
  const char *name;
  std::string tip;
  std::string stored;
};

void PrintTo(const TipCase &c, std::ostream *out) {
  *out << c.name;
}

class TrayIconTipTest : public TrayIconTest, public ::testing::WithParamInterface<TipCase> {};

TEST_P(TrayIconTipTest, IsCutToSixtyThreeBytesOfWholeCharacters) {
  TrayIcon trayIcon;
  trayIcon.SetTip(GetParam().tip.c_str());
  EXPECT_EQ(std::string(trayIcon.IconData().szTip), GetParam().stored);
  EXPECT_EQ(trayIcon.IsAdded(), 0);
  // What reaches the shell: half a character at the end would show there.
  ASSERT_EQ(trayIcon.Add(window, icon, WM_TRAYNOTIFY, GetParam().tip.c_str(), 0), 1);
  EXPECT_EQ(ShellTipOf(0), GetParam().stored);
}

// "あ" is two bytes in the ANSI code page.
const std::string kA = "あ";

std::string Repeat(const std::string &text, int times) {
  std::string repeated;
  for (int i = 0; i < times; ++i)
    repeated += text;
  return repeated;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TrayIconTipTest,
    ::testing::Values(
        TipCase{"Short", "QUILLORA", "QUILLORA"},
        TipCase{"Exactly63", std::string(63, 'q'), std::string(63, 'q')},
        TipCase{"Bytes70", std::string(70, 'q'), std::string(63, 'q')},
        TipCase{"DoubleByteEndsAt63", std::string(61, 'q') + kA + "qqq", std::string(61, 'q') + kA},
        TipCase{"DoubleByteStraddles63", std::string(62, 'q') + kA + "qqq", std::string(62, 'q')},
        TipCase{"AllDoubleByte35", Repeat(kA, 35), Repeat(kA, 31)}),
    [](const ::testing::TestParamInfo<TipCase> &p) { return std::string(p.param.name); });

// The width of an icon's colour image.
int IconWidth(HICON icon) {
  ICONINFO info = {};
  if (!GetIconInfo(icon, &info))
    return -1;
  BITMAP bitmap = {};
  int width = GetObjectA(info.hbmColor, sizeof bitmap, &bitmap) ? bitmap.bmWidth : -1;
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return width;
}

TEST(TrayIconImage, IsLoadedAtTheSmallIconSize) {
  HICON small = LoadSmallIcon(GetModuleHandleA(nullptr), IDI_TRAYICON);
  ASSERT_NE(small, nullptr);
  EXPECT_EQ(IconWidth(small), GetSystemMetrics(SM_CXSMICON));
  EXPECT_NE(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CXICON))
      << "the large size would pass unnoticed";
  DestroyIcon(small);
  EXPECT_EQ(LoadSmallIcon(GetModuleHandleA(nullptr), 9999), nullptr);
}

// The width and height of an icon image resource: a bitmap (its height
// counts the mask too) or a PNG image.
struct ImageSize {
  long width;
  long height;
};

ImageSize SizeOfIconImage(const BYTE *image, DWORD length) {
  const BYTE png[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  if (length >= 24 && std::memcmp(image, png, 8) == 0) {
    // The IHDR chunk comes first: width and height, big-endian.
    auto bigEndian = [&](int at) {
      return (long{image[at]} << 24) | (long{image[at + 1]} << 16) | (long{image[at + 2]} << 8) |
             long{image[at + 3]};
    };
    return {bigEndian(16), bigEndian(20)};
  }
  if (length < sizeof(BITMAPINFOHEADER))
    return {0, 0};
  BITMAPINFOHEADER header;
  std::memcpy(&header, image, sizeof header);
  return {header.biWidth, header.biHeight / 2};
}

// Windows picks the image of the icon group that fits the size it asks for;
// each size of the tray (100 to 300 %) must find one drawn for it, not
// scaled from another.
TEST(TrayIconImage, HasAnImageDrawnForEverySizeTheTrayAsksFor) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC group = FindResourceA(module, MAKEINTRESOURCEA(IDI_TRAYICON), MAKEINTRESOURCEA(14));
  ASSERT_NE(group, nullptr);
  PBYTE directory = static_cast<PBYTE>(LockResource(LoadResource(module, group)));
  ASSERT_NE(directory, nullptr);
  for (long size : {16, 20, 24, 32, 40, 48}) {
    int id = LookupIconIdFromDirectoryEx(directory, TRUE, static_cast<int>(size),
                                         static_cast<int>(size), LR_DEFAULTCOLOR);
    HRSRC image = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(3));
    ASSERT_NE(image, nullptr) << size;
    const BYTE *bytes = static_cast<const BYTE *>(LockResource(LoadResource(module, image)));
    ASSERT_NE(bytes, nullptr) << size;
    ImageSize found = SizeOfIconImage(bytes, SizeofResource(module, image));
    EXPECT_EQ(found.width, size);
    EXPECT_EQ(found.height, size);
  }
}

// The images in PNG form must load where the shell would load them.
TEST(TrayIconImage, LoadsAtEverySize) {
  for (int size : {16, 20, 24, 32, 40, 48}) {
    HICON image =
        static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_TRAYICON),
                                      IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    ASSERT_NE(image, nullptr) << size;
    EXPECT_EQ(IconWidth(image), size);
    DestroyIcon(image);
  }
}

TEST(TrayIconTip, NullLeavesTheTipAsItWas) {
  TrayIcon trayIcon;
  trayIcon.SetTip("QUILLORA");
  trayIcon.SetTip(nullptr);
  EXPECT_STREQ(trayIcon.IconData().szTip, "QUILLORA");
}

} // namespace
