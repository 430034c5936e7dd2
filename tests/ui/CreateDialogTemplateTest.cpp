#include "res/resource.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Dialog template 104 read back from the resources, field by field.
class TemplateReader {
public:
  TemplateReader(const BYTE *data, std::size_t size) : bytes(data), length(size) {}
  bool Ok() const { return ok; }
  std::uint16_t Word() { return static_cast<std::uint16_t>(Take(2)); }
  std::uint32_t Dword() { return static_cast<std::uint32_t>(Take(4)); }
  std::int16_t Short() { return static_cast<std::int16_t>(Word()); }
  std::uint8_t Byte() { return static_cast<std::uint8_t>(Take(1)); }
  // A string or an ordinal (0xFFFF followed by the number, written "#n").
  std::u16string Text() {
    std::u16string text;
    std::uint16_t first = Word();
    if (first == 0xFFFF)
      return u"#" + Ordinal(Word());
    for (std::uint16_t c = first; ok && c != 0; c = Word())
      text.push_back(static_cast<char16_t>(c));
    return text;
  }
  void AlignToDword() { at = (at + 3) & ~static_cast<std::size_t>(3); }

private:
  static std::u16string Ordinal(std::uint16_t value) {
    std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
  }
  std::uint32_t Take(std::size_t count) {
    std::uint32_t value = 0;
    if (at + count > length) {
      ok = false;
      return 0;
    }
    for (std::size_t i = 0; i < count; ++i)
      value |= static_cast<std::uint32_t>(bytes[at + i]) << (8 * i);
    at += count;
    return value;
  }
  const BYTE *bytes;
  std::size_t length;
  std::size_t at = 0;
  bool ok = true;
};

struct Control {
  int id;
  std::u16string className; // predefined classes as their ordinal
  std::u16string text;
  int x, y, width, height;
  DWORD style; // besides WS_CHILD | WS_VISIBLE
  DWORD exStyle;
};

const DWORD kChild = WS_CHILD | WS_VISIBLE;

const Control kControls[] = {
    {1006, u"msctls_trackbar32", u"Slider1", 5, 5, 150, 15, WS_TABSTOP | TBS_NOTICKS, 0},
    {1002, u"#128", u"保存", 115, 30, 40, 15, WS_TABSTOP | BS_PUSHBUTTON, 0},
    {1011, u"msctls_updown32", u"Spin1", 100, 50, 9, 14, WS_TABSTOP | UDS_ARROWKEYS, 0},
    {1012, u"#133", u"", 60, 70, 75, 45, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0},
    {1003, u"#128", u"戻す", 5, 110, 25, 19, WS_TABSTOP | BS_PUSHBUTTON, 0},
    {1007, u"#128", u"適用", 50, 110, 50, 19, WS_TABSTOP | BS_DEFPUSHBUTTON, 0},
    {2, u"#128", u"閉じる", 105, 110, 50, 19, WS_TABSTOP | BS_PUSHBUTTON, 0},
    {1008, u"#130", u"Static", 60, 30, 40, 14, WS_GROUP | SS_CENTER, WS_EX_CLIENTEDGE},
    {-1, u"#130", u"ガンマ値 : ", 25, 35, 32, 8, WS_GROUP | SS_LEFT, 0},
    {1010, u"#130", u"Static", 60, 50, 40, 14, WS_GROUP | SS_CENTER, WS_EX_CLIENTEDGE},
    {-1, u"#130", u"ガンマ適用遅延 :", 5, 55, 50, 8, WS_GROUP | SS_LEFT, 0},
    {-1, u"#130", u"対象解像度 : ", 15, 75, 41, 8, WS_GROUP | SS_LEFT, 0},
    {-1, u"#130", u"ミリ秒", 111, 53, 18, 8, WS_GROUP | SS_LEFT, 0},
    {1013, u"msctls_updown32", u"Spin1", 100, 90, 9, 14, WS_TABSTOP | UDS_ARROWKEYS, 0},
    {1014, u"#130", u"Static", 60, 90, 40, 14, WS_GROUP | SS_CENTER, WS_EX_CLIENTEDGE},
    {-1, u"#130", u"レベル", 110, 95, 20, 8, WS_GROUP | SS_LEFT, 0},
    {-1, u"#130", u"暗部補正 : ", 20, 95, 34, 8, WS_GROUP | SS_LEFT, 0},
    {1015, u"#130", u"", 5, 133, 150, 8, WS_GROUP | SS_LEFT, 0},
};

// Predefined class names as windres may write them: as an ordinal.
std::u16string Normalised(std::u16string className) {
  const char16_t *names[][2] = {{u"button", u"#128"}, {u"static", u"#130"}, {u"combobox", u"#133"}};
  std::u16string lower;
  for (char16_t c : className)
    lower.push_back(c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c);
  for (auto &name : names)
    if (lower == name[0])
      return name[1];
  return lower == u"msctls_trackbar32" || lower == u"msctls_updown32" ? lower : className;
}

std::string Narrow(const std::u16string &text) {
  std::string out;
  for (char16_t c : text)
    out += c < 128 ? static_cast<char>(c) : '?';
  return out;
}

TEST(CreateDialogTemplate, IsTheJapaneseExtendedTemplateWithItsEighteenControlsInOrder) {
  HRSRC resource = FindResourceExA(nullptr, MAKEINTRESOURCEA(5) /* RT_DIALOG */,
                                   MAKEINTRESOURCEA(IDD_CREATEGAMMA),
                                   MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
  ASSERT_NE(resource, nullptr) << "template 104, language 1041";
  const BYTE *data = static_cast<const BYTE *>(LockResource(LoadResource(nullptr, resource)));
  TemplateReader in(data, SizeofResource(nullptr, resource));

  EXPECT_EQ(in.Word(), 1);      // dlgVer
  EXPECT_EQ(in.Word(), 0xFFFF); // extended
  in.Dword();                   // help id
  EXPECT_EQ(in.Dword(), 0u);    // extended style
  EXPECT_EQ(in.Dword(),
            static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
  const int count = in.Word();
  ASSERT_EQ(count, 18);
  EXPECT_EQ(in.Short(), 0);
  EXPECT_EQ(in.Short(), 0);
  EXPECT_EQ(in.Short(), 159);
  EXPECT_EQ(in.Short(), 145);
  EXPECT_EQ(in.Text(), u""); // no menu
  EXPECT_EQ(in.Text(), u""); // the default dialog class
  EXPECT_TRUE(in.Text() == u"ガンマ設定の作成");
  EXPECT_EQ(in.Word(), 9); // points
  EXPECT_EQ(in.Word(), 0); // weight
  EXPECT_EQ(in.Byte(), 0); // not italic
  EXPECT_EQ(in.Byte(), 1); // character set
  EXPECT_TRUE(in.Text() == u"ＭＳ Ｐゴシック");

  for (int i = 0; i < count; ++i) {
    const Control &want = kControls[i];
    SCOPED_TRACE(i);
    in.AlignToDword();
    in.Dword(); // help id
    EXPECT_EQ(in.Dword(), want.exStyle);
    EXPECT_EQ(in.Dword(), want.style | kChild);
    EXPECT_EQ(in.Short(), want.x);
    EXPECT_EQ(in.Short(), want.y);
    EXPECT_EQ(in.Short(), want.width);
    EXPECT_EQ(in.Short(), want.height);
    EXPECT_EQ(static_cast<std::int32_t>(in.Dword()), want.id);
    std::u16string className = Normalised(in.Text());
    EXPECT_TRUE(className == want.className) << Narrow(className);
    std::u16string text = in.Text();
    EXPECT_TRUE(text == want.text) << Narrow(text);
    in.Word(); // no creation data
  }
  EXPECT_TRUE(in.Ok());
}

} // namespace
