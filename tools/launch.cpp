// quilrun PROGRAM [ARGUMENTS]
//
// Starts PROGRAM the way Explorer does, with its path quoted first on the
// command line, followed by ARGUMENTS exactly as they stand on this
// program's own command line, waits for it and returns its exit code.
// Wine passes a program started from a Unix shell an unquoted path, and
// quillora.exe reads arguments only after a quoted one.
#include <windows.h>

#include <cstdio>
#include <string>

static const char *SkipToken(const char *text) {
  if (*text == '"') {
    const char *closing = text + 1;
    while (*closing && *closing != '"')
      ++closing;
    return *closing ? closing + 1 : closing;
  }
  while (*text && *text != ' ' && *text != '\t')
    ++text;
  return text;
}

static const char *SkipBlanks(const char *text) {
  while (*text == ' ' || *text == '\t')
    ++text;
  return text;
}

static std::string Unquoted(const char *begin, const char *end) {
  if (end > begin && *begin == '"') {
    ++begin;
    if (end > begin && end[-1] == '"')
      --end;
  }
  return std::string(begin, end);
}

int main() {
  const char *programStart = SkipBlanks(SkipToken(GetCommandLineA()));
  const char *programEnd = SkipToken(programStart);
  std::string program = Unquoted(programStart, programEnd);
  if (program.empty()) {
    fputs("usage: quilrun PROGRAM [ARGUMENTS]\n", stderr);
    return 2;
  }
  std::string commandLine = "\"" + program + "\"";
  if (*programEnd)
    commandLine += programEnd;

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    fprintf(stderr, "quilrun: cannot start %s (error %lu)\n", program.c_str(), GetLastError());
    return 2;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exitCode = 0;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(exitCode);
}
