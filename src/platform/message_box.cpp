// Message boxes on SDL, echoed to standard error.
#include "platform/message_box.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/display.h"

namespace {
MessageBoxHook boxHook = nullptr;

// "0" and an empty value switch the setting off, as for SDL's own variables.
bool boxesKeptOff()
{
    const char* value = std::getenv("DEMOTORVA_NO_DIALOGS");
    return value && *value && std::strcmp(value, "0") != 0;
}
}  // namespace

void setMessageBoxHook(MessageBoxHook hook) { boxHook = hook; }

int showMessageBox(const char* text, const char* caption, unsigned flags)
{
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
    bool yesNo = (flags & 0xF) == MB_YESNO;
    if (boxHook) return boxHook(text, caption, flags);
    if (boxesKeptOff()) {
        const char* answer = std::getenv("DEMOTORVA_ANSWER");
        if (!yesNo) return IDOK;
        if (answer && std::strcmp(answer, "yes") == 0) return IDYES;
        return answer && std::strcmp(answer, "no") == 0 ? IDNO : IDUNASKED;
    }
    Uint32 kind = SDL_MESSAGEBOX_INFORMATION;
    if ((flags & 0xF0) == MB_ICONSTOP) kind = SDL_MESSAGEBOX_ERROR;
    else if ((flags & 0xF0) == MB_ICONEXCLAMATION) kind = SDL_MESSAGEBOX_WARNING;
    SDL_MessageBoxButtonData yesNoButtons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "No"},
    };
    SDL_MessageBoxButtonData okButton[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK, "OK"},
    };
    SDL_MessageBoxData data{};
    data.flags = kind;
    data.window = static_cast<SDL_Window*>(displayNativeWindow());
    data.title = caption;
    data.message = text;
    data.numbuttons = yesNo ? 2 : 1;
    data.buttons = yesNo ? yesNoButtons : okButton;
    int answer = 0;
    if (SDL_ShowMessageBox(&data, &answer) != 0) return yesNo ? IDUNASKED : IDOK;
    return answer;
}
