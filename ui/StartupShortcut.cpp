#include "ui/StartupShortcut.h"

#include "ui/ComApartment.h"
#include "ui/SystemLibrary.h"

#include <shlobj.h>

#include <new>

namespace {

const wchar_t kName[] = L"Quillora.lnk";
// Should a crash leave it behind complete, it is still a shortcut to the
// program: a second copy started at sign-in ends at once.
const wchar_t kTemporaryName[] = L"~Quillora.lnk";

// The shell's link object and its file interface, released together.
class LinkObject {
public:
  explicit LinkObject(ComApartment *com) : link(nullptr), file(nullptr) {
    if (com &&
        com->CreateInstance(CLSID_ShellLink, IID_IShellLinkW, reinterpret_cast<void **>(&link)) &&
        FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file))))
      file = nullptr;
  }
  virtual ~LinkObject() {
    if (file)
      file->Release();
    if (link)
      link->Release();
    file = nullptr;
    link = nullptr;
  }
  LinkObject(const LinkObject &) = delete;
  LinkObject &operator=(const LinkObject &) = delete;

  int IsReady() const { return link && file; }

  IShellLinkW *link;
  IPersistFile *file;
};

// The folder of a full file path: without its last separator, except after
// a drive ("C:\").
void CopyFolderOf(const wchar_t *file, wchar_t *folder) {
  lstrcpynW(folder, file, MAX_PATH);
  wchar_t *end = folder;
  for (wchar_t *c = folder; *c; ++c)
    if (*c == L'\\' || *c == L'/')
      end = c;
  if (end > folder && end[-1] == L':')
    ++end;
  *end = L'\0';
}

// folder + "\" + name, when it fits a path buffer.
int JoinPath(const wchar_t *folder, const wchar_t *name, wchar_t *joined) {
  if (lstrlenW(folder) + 1 + lstrlenW(name) >= MAX_PATH)
    return 0;
  lstrcpyW(joined, folder);
  lstrcatW(joined, L"\\");
  lstrcatW(joined, name);
  return 1;
}

} // namespace

StartupShortcut::StartupShortcut(const wchar_t *programPath) : com(nullptr), failure(kNoFailure) {
  lstrcpynW(program, programPath, MAX_PATH);
  folder[0] = path[0] = temporary[0] = L'\0';
  FindFolder(0);
}

StartupShortcut::~StartupShortcut() {
  delete com;
  com = nullptr;
}

int StartupShortcut::Fail(Failure reason) {
  failure = reason;
  return 0;
}

// The shell's functions are looked up when first needed, as COM is: nothing
// of the shortcut's machinery is bound at start-up.
int StartupShortcut::FindFolder(int createFlag) {
  typedef HRESULT(WINAPI * FolderPathProc)(HWND, int, HANDLE, DWORD, LPWSTR);
  SystemLibrary shell("shell32.dll");
  FolderPathProc folderPath = shell.Find<FolderPathProc>("SHGetFolderPathW");
  wchar_t found[MAX_PATH] = L"";
  if (!folderPath ||
      folderPath(nullptr, CSIDL_STARTUP | createFlag, nullptr, SHGFP_TYPE_CURRENT, found) != S_OK ||
      !JoinPath(found, kName, path) || !JoinPath(found, kTemporaryName, temporary)) {
    path[0] = temporary[0] = L'\0';
    return 0;
  }
  lstrcpyW(folder, found);
  return 1;
}

ComApartment *StartupShortcut::Com() {
  if (!com)
    com = new (std::nothrow) ComApartment;
  return com;
}

int StartupShortcut::StartsProgram() {
  failure = kNoFailure;
  if (!path[0])
    return Fail(kNoStartupFolder);
  // Most menus open with no shortcut there, and need no COM for that.
  if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES)
    return 0;
  LinkObject shortcut(Com());
  if (!shortcut.IsReady())
    return Fail(kNoCom);
  wchar_t target[MAX_PATH] = L"";
  if (FAILED(shortcut.file->Load(path, STGM_READ)) ||
      shortcut.link->GetPath(target, MAX_PATH, nullptr, 0) != S_OK)
    return 0;
  return lstrcmpiW(target, program) == 0 ? 1 : 0;
}

int StartupShortcut::Write() {
  failure = kNoFailure;
  // Only a profile that lost its Startup folder needs it made again.
  if (!path[0] && !FindFolder(CSIDL_FLAG_CREATE))
    return Fail(kNoStartupFolder);
  LinkObject shortcut(Com());
  if (!shortcut.IsReady())
    return Fail(kNoCom);
  wchar_t workingFolder[MAX_PATH];
  CopyFolderOf(program, workingFolder);
  IShellLinkW *link = shortcut.link;
  if (SUCCEEDED(link->SetPath(program)) && SUCCEEDED(link->SetWorkingDirectory(workingFolder)) &&
      SUCCEEDED(link->SetArguments(L"")) &&
      SUCCEEDED(shortcut.file->Save(temporary, FALSE)) &&
      MoveFileExW(temporary, path, MOVEFILE_REPLACE_EXISTING))
    return 1;
  DeleteFileW(temporary);
  return Fail(kNotWritten);
}

int StartupShortcut::Remove() {
  failure = kNoFailure;
  if (!path[0])
    return Fail(kNoStartupFolder);
  if (DeleteFileW(path))
    return 1;
  DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
    return 1;
  return Fail(kNotDeleted);
}
