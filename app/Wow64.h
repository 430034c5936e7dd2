#ifndef QUILLORA_APP_WOW64_H
#define QUILLORA_APP_WOW64_H

// 1 when this is a 32-bit program on 64-bit Windows (WOW64), which sees a
// registry and a system folder of its own; 0 for the 64-bit program and on
// 32-bit Windows.
//
// It has a file of its own so that a test can link another answer in its
// place: the tests run the 64-bit program only, and the other kinds of
// system must be seen from it.
int RunsUnderWow64();

#endif
