#include "config/AnsiText.h"

#include <windows.h>

int AnsiTextLength(const char *text) { return lstrlenA(text); }

int AnsiCompareNoCase(const char *a, const char *b) { return lstrcmpiA(a, b); }
