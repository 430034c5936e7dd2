#include "ui/SettingsDialog.h"

#include "res/resource.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Reads the extended dialog template 111 of this program's resources
// field by field, so that what the resource compiler made of the script is
// checked, not the script.
class TemplateReader {
public:
  explicit TemplateReader(const BYTE *bytes) : start(bytes), at(bytes) {}

  WORD Word() { return Take<WORD>(); }
  DWORD Dword() { return Take<DWORD>(); }
  short Short() { return Take<short>(); }
  BYTE Byte() { return Take<BYTE>(); }

  // A string or an ordinal (0xFFFF followed by the number), as "#n".
  std::wstring NameOrOrdinal() {
    if (*reinterpret_cast<const WORD *>(at) == 0xFFFF) {
      Word();
      return L"#" + std::to_wstring(Word());
    }
    std::wstring text(reinterpret_cast<const wchar_t *>(at));
    at += (text.size() + 1) * sizeof(wchar_t);
    return text;
  }

  void AlignToDword() {
    while ((at - start) % 4)
      ++at;
  }
  void Skip(WORD bytes) { at += bytes; }

private:
  template <typename T> T Take() {
    T value;
    std::memcpy(&value, at, sizeof value);
    at += sizeof value;
    return value;
  }
  const BYTE *start;
  const BYTE *at;
};

std::wstring Wide(const char *cp932) {
  wchar_t text[128] = L"";
  MultiByteToWideChar(932, 0, cp932, -1, text, 128);
  return text;
}

// The system's own control classes may be written as their ordinals or by
// name; both make the same control.
bool SameClass(const wchar_t *expected, const std::wstring &actual) {
  static const struct {
    const wchar_t *ordinal;
    const wchar_t *name;
  } kPredefined[] = {
      {L"#128", L"Button"}, {L"#130", L"Static"}, {L"#131", L"ListBox"}, {L"#133", L"ComboBox"}};
  if (lstrcmpiW(expected, actual.c_str()) == 0)
    return true;
  for (const auto &predefined : kPredefined)
    if (lstrcmpW(expected, predefined.ordinal) == 0)
      return lstrcmpiW(predefined.name, actual.c_str()) == 0;
  return false;
}

struct ExpectedControl {
  int id;
  const wchar_t *windowClass; // predefined classes as their ordinals
  const char *text;
  short x, y, cx, cy;
  DWORD style; // besides WS_CHILD | WS_VISIBLE
  DWORD exStyle;
};

const ExpectedControl kControls[] = {
    {1013, L"#131", "", 4, 16, 76, 92,
     WS_TABSTOP | WS_VSCROLL | WS_BORDER | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 0},
    {1014, L"#133", "", 124, 22, 56, 88, WS_DISABLED | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
     0},
    {1002, L"#128", "確定", 88, 76, 36, 16, WS_DISABLED | WS_TABSTOP | BS_PUSHBUTTON, 0},
    {1005, L"#128", "キーフックを使用", 4, 116, 60, 10, WS_TABSTOP | BS_AUTOCHECKBOX, 0},
    {1, L"#128", "OK", 92, 116, 44, 14, WS_TABSTOP | BS_PUSHBUTTON, 0},
    {2, L"#128", "ｷｬﾝｾﾙ", 140, 116, 44, 14, WS_TABSTOP | BS_DEFPUSHBUTTON, 0},
    {1015, L"#130", "暗部補正 : ", 88, 24, 34, 8, WS_DISABLED | WS_GROUP | SS_LEFT, 0},
    {0xFFFF, L"#128", "ガンマ設定", 0, 4, 184, 108, BS_GROUPBOX, 0},
    {1006, L"msctls_trackbar32", "Slider1", 88, 56, 92, 15, WS_TABSTOP | TBS_NOTICKS, 0},
    {1003, L"#128", "1.0に戻す", 128, 76, 36, 14, WS_DISABLED | WS_TABSTOP | BS_PUSHBUTTON, 0},
    {1017, L"#130", "", 88, 40, 76, 16, WS_GROUP | SS_CENTER | SS_CENTERIMAGE, WS_EX_CLIENTEDGE},
    {1018, L"msctls_updown32", "Spin1", 164, 40, 9, 16, WS_DISABLED | UDS_ARROWKEYS, 0},
};

TEST(SettingsTemplateTest, JapaneseExtendedTemplateWithTheTwelveControlsInOrder) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC info = FindResourceExA(module, RT_DIALOG, MAKEINTRESOURCEA(IDD_RESIDENTSETTINGS),
                               MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
  ASSERT_NE(nullptr, info) << "no template 111 in language 1041";
  const BYTE *bytes = static_cast<const BYTE *>(LockResource(LoadResource(module, info)));
  ASSERT_NE(nullptr, bytes);
  TemplateReader reader(bytes);

  EXPECT_EQ(1, reader.Word());
  ASSERT_EQ(0xFFFF, reader.Word()) << "not an extended template";
  reader.Dword(); // help id
  EXPECT_EQ(0u, reader.Dword());
  EXPECT_EQ(static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT),
            reader.Dword());
  WORD count = reader.Word();
  ASSERT_EQ(12, count);
  EXPECT_EQ(0, reader.Short());
  EXPECT_EQ(0, reader.Short());
  EXPECT_EQ(187, reader.Short());
  EXPECT_EQ(133, reader.Short());
  EXPECT_EQ(L"", reader.NameOrOrdinal()) << "menu";
  EXPECT_EQ(L"", reader.NameOrOrdinal()) << "class";
  EXPECT_EQ(Wide("常駐ガンマ設定"), reader.NameOrOrdinal());
  EXPECT_EQ(9, reader.Word());
  EXPECT_EQ(0, reader.Word()) << "weight";
  EXPECT_EQ(0, reader.Byte()) << "italic";
  EXPECT_EQ(1, reader.Byte()) << "character set";
  EXPECT_EQ(Wide("ＭＳ Ｐゴシック"), reader.NameOrOrdinal());

  for (const ExpectedControl &control : kControls) {
    SCOPED_TRACE(control.id);
    reader.AlignToDword();
    reader.Dword(); // help id
    EXPECT_EQ(control.exStyle, reader.Dword());
    EXPECT_EQ(WS_CHILD | WS_VISIBLE | control.style, reader.Dword());
    EXPECT_EQ(control.x, reader.Short());
    EXPECT_EQ(control.y, reader.Short());
    EXPECT_EQ(control.cx, reader.Short());
    EXPECT_EQ(control.cy, reader.Short());
    EXPECT_EQ(static_cast<DWORD>(control.id), reader.Dword() & 0xFFFF);
    std::wstring windowClass = reader.NameOrOrdinal();
    EXPECT_TRUE(SameClass(control.windowClass, windowClass))
        << std::string(windowClass.begin(), windowClass.end());
    EXPECT_EQ(Wide(control.text), reader.NameOrOrdinal());
    reader.Skip(reader.Word());
  }
}

} // namespace
