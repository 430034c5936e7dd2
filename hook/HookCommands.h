#ifndef QUILLORA_HOOK_HOOKCOMMANDS_H
#define QUILLORA_HOOK_HOOKCOMMANDS_H

// What the keyboard-hook library tells the program, shared by both sides.
// Kept free of <windows.h>: the values are fixed by the interface, not by
// the headers (HookModule.cpp checks WM_HOOKCOMMAND against WM_USER).

// Posted to the registered window; wParam carries one of the codes below,
// lParam means nothing.
constexpr unsigned int WM_HOOKCOMMAND = 0x0400 + 100; // WM_USER + 100

// Select preset N: HOOKCMD_PRESET0 + N for N in 0..9.
constexpr unsigned int HOOKCMD_PRESET0 = 0;
constexpr unsigned int HOOKCMD_PRESET1 = 1;
constexpr unsigned int HOOKCMD_PRESET2 = 2;
constexpr unsigned int HOOKCMD_PRESET3 = 3;
constexpr unsigned int HOOKCMD_PRESET4 = 4;
constexpr unsigned int HOOKCMD_PRESET5 = 5;
constexpr unsigned int HOOKCMD_PRESET6 = 6;
constexpr unsigned int HOOKCMD_PRESET7 = 7;
constexpr unsigned int HOOKCMD_PRESET8 = 8;
constexpr unsigned int HOOKCMD_PRESET9 = 9;
// Step the gamma by one notch.
constexpr unsigned int HOOKCMD_GAMMAUP = 16;
constexpr unsigned int HOOKCMD_GAMMADOWN = 17;
// Back to gamma 1.0 with dark level 0.
constexpr unsigned int HOOKCMD_RESET = 19;

#endif
