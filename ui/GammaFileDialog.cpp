#include "ui/GammaFileDialog.h"

#include "ui/SystemLibrary.h"

#include <commdlg.h>

#include <cstddef>

namespace {

// The first version of the record, which every system takes. Its 76 bytes
// are a 32-bit layout; the 64-bit record is wider by its pointers.
#if defined(__i386__)
static_assert(offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR) == 76,
              "the first OPENFILENAMEA has 76 bytes");
#endif

OPENFILENAMEA GammaFileRequest(HWND owner, char *path, DWORD pathSize, const char *title,
                               DWORD flags) {
  OPENFILENAMEA request = {};
  request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  request.hwndOwner = owner;
  request.hInstance = GetModuleHandleA(nullptr);
  request.lpstrFilter = "quillora file(*.qlr)\0*.qlr\0";
  request.lpstrFile = path;
  request.nMaxFile = pathSize;
  request.lpstrTitle = title;
  request.Flags = flags;
  request.lpstrDefExt = "qlr";
  return request;
}

} // namespace

int ChooseGammaFileToOpen(HWND owner, char *path, DWORD pathSize) {
  OPENFILENAMEA request = GammaFileRequest(owner, path, pathSize, "ガンマファイルの読みこみ",
                                           OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR);
  return ShowOpenFileDialog(&request) ? 1 : 0;
}

int ChooseGammaFileToSave(HWND owner, char *path, DWORD pathSize) {
  OPENFILENAMEA request = GammaFileRequest(owner, path, pathSize, "ガンマファイルの保存",
                                           OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR | OFN_CREATEPROMPT);
  return ShowSaveFileDialog(&request) ? 1 : 0;
}
