// Message boxes: an SDL message box, and always the caption and text on standard error so a
// run from a terminal or a test sees them. Tests can replace the box with a hook.
#pragma once

#include <cstdint>

constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_YESNO = 0x4;
constexpr unsigned MB_ICONSTOP = 0x10;
constexpr unsigned MB_ICONEXCLAMATION = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Shows the box, owned by the demo's window when there is one, and returns the answer (IDOK, IDYES or IDNO). Without a display a Yes/No box
// answers IDNO. Setting the environment variable DEMOTORVA_NO_DIALOGS keeps boxes off screen
// (the text still goes to standard error) and answers with DEMOTORVA_ANSWER ("yes" or "no").
int showMessageBox(const char* text, const char* caption, unsigned flags);

using MessageBoxHook = int (*)(const char* text, const char* caption, unsigned flags);
// Replaces the box (not the standard-error line); null restores it.
void setMessageBoxHook(MessageBoxHook hook);
