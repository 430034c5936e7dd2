#ifndef QUILLORA_CONFIG_ANSITEXT_H
#define QUILLORA_CONFIG_ANSITEXT_H

// The two text primitives the configuration reader needs. On Windows they
// are lstrlenA and lstrcmpiA, so case folding follows the ANSI code page;
// elsewhere they fold ASCII letters only and compare other bytes as they are.

// Length in bytes of a NUL-terminated text; 0 for null.
int AnsiTextLength(const char *text);

// 0 when both texts are equal ignoring case, else non-zero (negative when a
// sorts first). Neither may be null.
int AnsiCompareNoCase(const char *a, const char *b);

#endif
