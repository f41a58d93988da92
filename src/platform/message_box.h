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
// What a Yes/No box answers when nobody could be asked: no box could be shown, or boxes are
// kept off screen and no answer was given beforehand.
constexpr int IDUNASKED = 0;

// Shows the box, owned by the demo's window when there is one, and returns the answer (IDOK,
// IDYES, IDNO, or IDUNASKED for a Yes/No box that could not be shown). Setting the environment
// variable DEMOTORVA_NO_DIALOGS (to anything but "" or "0") keeps boxes off screen (the text
// still goes to standard error) and answers with DEMOTORVA_ANSWER ("yes" or "no"; otherwise
// IDUNASKED).
int showMessageBox(const char* text, const char* caption, unsigned flags);

using MessageBoxHook = int (*)(const char* text, const char* caption, unsigned flags);
// Replaces the box (not the standard-error line); null restores it.
void setMessageBoxHook(MessageBoxHook hook);
