// The version resource of both binaries, read as Explorer's Properties
// dialog reads it, and the manifest of the program.
#include "QuilVersion.h"

#include "tests/support/WineDisplay.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

struct BinaryCase {
  const char *path;
  DWORD fileType;
};

const BinaryCase kBinaries[] = {
    {QUIL_PROGRAM_PATH, VFT_APP},
    {QUIL_HOOK_LIBRARY_PATH, VFT_DLL},
};

std::string StringValue(const std::vector<char> &block, const char *name) {
  std::string query = std::string("\\StringFileInfo\\041103A4\\") + name;
  char *value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void **>(&value), &length) ||
      !value)
    return "(missing)";
  return value;
}

bool HasDoubleByteText(const std::string &text) {
  for (std::size_t i = 0; i < text.size(); ++i)
    if (IsDBCSLeadByte(static_cast<BYTE>(text[i])))
      return true;
  return false;
}

TEST(VersionResourceTest, BothBinariesCarryTheProjectVersionInJapanese) {
  const DWORD versionMS = (QUIL_VERSION_MAJOR << 16) | QUIL_VERSION_MINOR;
  const DWORD versionLS = QUIL_VERSION_PATCH << 16;
  for (const BinaryCase &binary : kBinaries) {
    SCOPED_TRACE(binary.path);
    std::string path = WindowsPath(binary.path);
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void **>(&fixed), &length));
    EXPECT_EQ(0xFEEF04BDu, fixed->dwSignature);
    EXPECT_EQ(versionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(versionLS, fixed->dwFileVersionLS);
    EXPECT_EQ(versionMS, fixed->dwProductVersionMS);
    EXPECT_EQ(versionLS, fixed->dwProductVersionLS);
    EXPECT_EQ(binary.fileType, fixed->dwFileType);

    WORD *translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void **>(&translation), &length));
    ASSERT_EQ(4u, length);
    EXPECT_EQ(0x0411, translation[0]);
    EXPECT_EQ(932, translation[1]);

    EXPECT_EQ("Quillora", StringValue(block, "ProductName"));
    EXPECT_EQ(QUIL_VERSION_TEXT, StringValue(block, "FileVersion"));
    EXPECT_EQ(QUIL_VERSION_TEXT, StringValue(block, "ProductVersion"));
    EXPECT_TRUE(HasDoubleByteText(StringValue(block, "FileDescription")))
        << StringValue(block, "FileDescription");
    EXPECT_EQ(0u, StringValue(block, "LegalCopyright").find("Copyright (C) "));
  }
}

std::string ProgramManifest() {
  std::string path = WindowsPath(QUIL_PROGRAM_PATH);
  HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module)
    return "";
  std::string text;
  HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  if (HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr)
    text.assign(static_cast<const char *>(LockResource(loaded)), SizeofResource(module, resource));
  FreeLibrary(module);
  return text;
}

int Occurrences(const std::string &text, const char *part) {
  int count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++count;
  return count;
}

TEST(VersionResourceTest, ProgramManifestAsksForWhatTheProgramRelies) {
  std::string manifest = ProgramManifest();
  ASSERT_FALSE(manifest.empty());
  const char *const kParts[] = {
      "level=\"asInvoker\"",
      "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
      ">true</dpiAware>",
      "{e2011457-1546-43c5-a5fe-008deb6f8d25}", // Vista
      "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", // 10 and 11
  };
  for (const char *part : kParts)
    EXPECT_NE(std::string::npos, manifest.find(part)) << part;
  std::string version = "version=\"" QUIL_VERSION_TEXT ".0\"";
  EXPECT_NE(std::string::npos, manifest.find(version)) << version;
  // The program and the common controls it asks for are of its own
  // architecture: a 64-bit program naming x86 components does not start.
  EXPECT_EQ(2, Occurrences(manifest, "processorArchitecture=\""));
  EXPECT_EQ(2, Occurrences(manifest, "processorArchitecture=\"" QUIL_MANIFEST_ARCH "\""));
}

} // namespace
