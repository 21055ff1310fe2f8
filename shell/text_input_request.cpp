#include "shell/text_input_request.h"

#include <SDL_keyboard.h>

uint32_t CTextInputRequest::s_heldCount = 0;

CTextInputRequest::CTextInputRequest(bool held)
{
    SetHeld(held);
}

CTextInputRequest::~CTextInputRequest()
{
    SetHeld(false);
}

void CTextInputRequest::SetHeld(bool held)
{
    if (held == m_held)
        return;
    m_held = held;
    if (held && s_heldCount++ == 0)
        SDL_StartTextInput();
    else if (!held && --s_heldCount == 0)
        SDL_StopTextInput();
}

void CTextInputRequest::StopUnrequested()
{
    if (s_heldCount == 0)
        SDL_StopTextInput();
}
