#pragma once

#include <cstdint>

// A request for the platform's text input: the letters the keyboard layout really types, composed
// accents, and an on-screen keyboard where the platform has one. The areas that take text hold
// one while they are open; text input runs while any request is held and stops when the last one
// lets go, so a dialog that replaces another keeps it running although the old one lets go after
// the new one asked. Main thread only.
class CTextInputRequest
{
public:
    explicit CTextInputRequest(bool held = true);
    ~CTextInputRequest();
    CTextInputRequest(const CTextInputRequest&) = delete;
    CTextInputRequest& operator=(const CTextInputRequest&) = delete;

    // Holding twice is still one request, and so is letting go twice.
    void SetHeld(bool held);

    // The platform starts text input with its video; the application stops it there until an
    // area asks for it.
    static void StopUnrequested();

private:
    bool m_held = false;
    static uint32_t s_heldCount;
};
