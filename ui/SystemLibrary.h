#ifndef QUILLORA_UI_SYSTEMLIBRARY_H
#define QUILLORA_UI_SYSTEMLIBRARY_H

#include <windows.h>

#include <commdlg.h>

// A Windows system DLL loaded on first use instead of at start-up. Under
// Wine, importing comctl32.dll (directly, or through comdlg32.dll) costs a
// resident program about 1.7 MB of memory and a third of a second of start
// time, although only the dialogs need it.
class SystemLibrary {
public:
  explicit SystemLibrary(const char *fileName);
  // Frees the library if it was loaded.
  virtual ~SystemLibrary();
  SystemLibrary(const SystemLibrary &) = delete;
  SystemLibrary &operator=(const SystemLibrary &) = delete;

  // The entry point of that name, loading the library on the first call.
  // Null when the library or the entry point is missing.
  FARPROC Find(const char *name);
  // The same, as a pointer to a function of the entry point's own type.
  // FARPROC is a generic signature; going through void * says so.
  template <typename Function> Function Find(const char *name) {
    return reinterpret_cast<Function>(reinterpret_cast<void *>(Find(name)));
  }

private:
  const char *fileName;
  HMODULE module;
};

// Registers the common control classes the dialogs use (trackbar, up-down)
// once per process. 1 when they are registered.
int RegisterDialogControls();

// GetOpenFileNameA and GetSaveFileNameA of comdlg32.dll (which imports
// comctl32.dll), loaded on first use. FALSE also when it cannot be loaded.
BOOL ShowOpenFileDialog(OPENFILENAMEA *request);
BOOL ShowSaveFileDialog(OPENFILENAMEA *request);
// CommDlgExtendedError after one of them returned FALSE: 0 for a cancel, an
// error code otherwise; CDERR_INITIALIZATION when comdlg32.dll or the entry
// point is missing, for then no dialog was shown at all.
DWORD FileDialogError();

#endif
