#ifndef QUILLORA_UI_STARTUPSHORTCUT_H
#define QUILLORA_UI_STARTUPSHORTCUT_H

#include <windows.h>

class ComApartment;

// "Quillora.lnk" in the user's Startup folder, which the shell opens at
// sign-in. A shortcut, unlike an entry under the Run key, starts the program
// in the folder it names, and that is where the program looks for its
// "quilcfg.txt". Every path is wide: the program's folder and the user's
// profile may have names outside the ANSI code page.
//
// COM and the shell's link object are loaded only when a shortcut has to be
// read or written, and let go with the object: a resident program keeps
// none of them between uses, and one that finds no shortcut never loads
// them.
class StartupShortcut {
public:
  // Why the last call that returned 0 failed.
  enum Failure { kNoFailure, kNoStartupFolder, kNoCom, kNotWritten, kNotDeleted };

  // program: full path of the program the shortcut is to start.
  explicit StartupShortcut(const wchar_t *program);
  virtual ~StartupShortcut();
  StartupShortcut(const StartupShortcut &) = delete;
  StartupShortcut &operator=(const StartupShortcut &) = delete;

  // 1 when the shortcut exists and its target is the program (the names
  // compared without regard to case); 0 otherwise, also when it cannot be
  // read. A shortcut to another copy of the program is not this program's.
  int StartsProgram();

  // Makes the shortcut start the program in the program's folder, without
  // arguments, replacing one of that name. It is written under a temporary
  // name and then moved over the old one, so that a failure leaves the old
  // shortcut (or none) and no partly written file. 1 on success.
  int Write();

  // Deletes the shortcut. 1 when there is none any more, also when there was
  // none to start with.
  int Remove();

  Failure LastFailure() const { return failure; }
  // The Startup folder; empty when the shell does not know it.
  const wchar_t *Folder() const { return folder; }

private:
  int Fail(Failure reason);
  int FindFolder(int createFlag);
  ComApartment *Com();

  ComApartment *com; // null until a shortcut is read or written
  wchar_t program[MAX_PATH];
  wchar_t folder[MAX_PATH];
  wchar_t path[MAX_PATH];
  wchar_t temporary[MAX_PATH];
  Failure failure;
};

#endif
