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

// FALSE from a file dialog is a cancel only when no error comes with it. A
// path longer than the buffer, or a dialog that could not be made, return
// FALSE as well; without a word the user would take a chosen file that
// nothing happens to for a fault of the program.
int TakeChoice(BOOL chosen, HWND owner, const char *title) {
  if (chosen)
    return 1;
  DWORD error = FileDialogError();
  if (error != 0)
    MessageBoxA(owner,
                error == FNERR_BUFFERTOOSMALL
                    ? "ファイルのパスが長すぎます。短いパスを選んでください。"
                    : "ファイルダイアログを使えませんでした。",
                title, MB_OK | MB_ICONWARNING);
  return 0;
}

const char kOpenTitle[] = "ガンマファイルの読みこみ";
const char kSaveTitle[] = "ガンマファイルの保存";

} // namespace

int ChooseGammaFileToOpen(HWND owner, char *path, DWORD pathSize) {
  OPENFILENAMEA request = GammaFileRequest(owner, path, pathSize, kOpenTitle,
                                           OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR);
  return TakeChoice(ShowOpenFileDialog(&request), owner, kOpenTitle);
}

int ChooseGammaFileToSave(HWND owner, char *path, DWORD pathSize) {
  OPENFILENAMEA request = GammaFileRequest(
      owner, path, pathSize, kSaveTitle, OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR | OFN_CREATEPROMPT);
  return TakeChoice(ShowSaveFileDialog(&request), owner, kSaveTitle);
}
