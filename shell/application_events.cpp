#include "shell/application.h"

#include "shell/app_model.h"
#include "shell/platform.h"
#include "shell/user_interface.h"

#include <cstdio>
#include <limits>

namespace
{
constexpr uint32_t kOsWithHorizontalShiftWheel = 1;
constexpr int kGestureFingers = 3;
// The pointers of the mouse buttons other than the left one count up from here. A finger's id is
// a small number or an address, never down here.
constexpr int64_t kOtherMouseButtons = std::numeric_limits<int64_t>::min();

// Keypad keys become the characters on them; every code below 256 is printable as it stands.
void TranslateKeypadKey(SDL_Keycode& key, bool& printable)
{
    printable = true;
    if (key >= 0 && key < 256)
        return;
    switch (key)
    {
    case SDLK_KP_DIVIDE: key = '/'; return;
    case SDLK_KP_MULTIPLY: key = '*'; return;
    case SDLK_KP_MINUS: key = '-'; return;
    case SDLK_KP_PLUS: key = '+'; return;
    case SDLK_KP_ENTER: key = 13; return;
    case SDLK_KP_0: key = '0'; return;
    case SDLK_KP_PERIOD: key = '.'; return;
    default: break;
    }
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9)
    {
        key = '1' + (key - SDLK_KP_1);
        return;
    }
    printable = false;
}

// The US layout's shifted characters.
SDL_Keycode ShiftedCharacter(SDL_Keycode key)
{
    switch (key)
    {
    case '[': return '{';
    case '\\': return '|';
    case ']': return '}';
    case '\'': return '"';
    case ',': return '<';
    case '-': return '_';
    case '.': return '>';
    case '/': return '?';
    case '0': return ')';
    case '1': return '!';
    case '2': return '@';
    case '3': return '#';
    case '4': return '$';
    case '5': return '%';
    case '6': return '^';
    case '7': return '&';
    case '8': return '*';
    case '9': return '(';
    case ';': return ':';
    case '=': return '+';
    default: return key;
    }
}

bool IsLowerLetter(SDL_Keycode key)
{
    return key >= 'a' && key <= 'z';
}

SDL_Keycode Upper(SDL_Keycode key)
{
    return IsLowerLetter(key) ? key - 'a' + 'A' : key;
}

uint32_t ShortcutCode(SDL_Keycode key)
{
    switch (key)
    {
    case 'x': case 'X': return CApp2::kCommandCut;
    case 'c': case 'C': return CApp2::kCommandCopy;
    case 'v': case 'V': return CApp2::kCommandPaste;
    case 'z': case 'Z': return CApp2::kCommandUndo;
    case 'y': case 'Y': return CApp2::kCommandRedo;
    case 'a': case 'A': return CApp2::kCommandSelectAll;
    case 's': case 'S': return CApp2::kCommandSave;
    default: return 0;
    }
}

bool IsDispatchedCommand(int32_t code)
{
    switch (code)
    {
    case CApp2::kCommandCut:
    case CApp2::kCommandCopy:
    case CApp2::kCommandPaste:
    case CApp2::kCommandUndo:
    case CApp2::kCommandRedo:
    case CApp2::kCommandSelectAll:
        return true;
    default:
        return false;
    }
}

void UpdateModifierFlags(SDL_Keycode key, bool down)
{
    if (key == SDLK_LCTRL || key == SDLK_RCTRL)
        CApp::SetCtrlDown(down);
    else if (key == SDLK_LSHIFT || key == SDLK_RSHIFT)
        CApp::SetShiftDown(down);
}
}

void CApp2::PollEvents()
{
    SDL_Event event;
    while (SDL_PollEvent(&event))
    {
        if (event.type == SDL_QUIT)
        {
            // The rest of the queue waits: the frame ends and the loop stops.
            m_quit = true;
            return;
        }
        bool handled = false;
        DispatchEvent(event, &handled);
    }
}

void CApp2::DispatchEvent(const SDL_Event& event, bool* handled)
{
    const bool touchPlatform = GetPlatformType() == CPlatform::kIos;
    switch (event.type)
    {
    case SDL_MOUSEMOTION:
        if (touchPlatform)
            break;
        m_lastPointer = CPoint(event.motion.x, event.motion.y);
        if (!m_root)
            break;
        m_root->PointerMove(0, m_lastPointer);
        // What another button holds is dragged by the same moves.
        for (const uint8_t button : m_mouseButtonsHeld)
            m_root->PointerMove(GetMousePointer(button), m_lastPointer);
        break;

    case SDL_MOUSEBUTTONDOWN:
        if (touchPlatform || !m_root)
            break;
        if (event.button.button != SDL_BUTTON_LEFT)
            m_mouseButtonsHeld.insert(event.button.button);
        m_root->PointerDown(GetMousePointer(event.button.button), CPoint(event.button.x, event.button.y),
                            event.button.button, handled);
        break;

    case SDL_MOUSEBUTTONUP:
    {
        if (touchPlatform)
            break;
        const CPoint point(event.button.x, event.button.y);
        const int64_t pointer = GetMousePointer(event.button.button);
        m_mouseButtonsHeld.erase(event.button.button);
        if (m_root)
            m_root->PointerUp(pointer, point, handled);
        if (IsDoubleClick(point) && m_root)
        {
            *handled = false;
            m_root->DoubleClick(pointer, point, event.button.button, handled);
        }
        break;
    }

    case SDL_MOUSEWHEEL:
    {
        int32_t amount = event.wheel.y;
        if (IsShiftDown() && GetOsId() == kOsWithHorizontalShiftWheel)
            amount = event.wheel.x;
        if (m_root)
            m_root->Wheel(0, m_lastPointer, amount, handled);
        break;
    }

    case SDL_FINGERDOWN:
    case SDL_FINGERUP:
    case SDL_FINGERMOTION:
    {
        if (!touchPlatform || !m_root)
            break;
        const CPoint point(static_cast<int32_t>(float(GetDisplayMode().w) * event.tfinger.x),
                           static_cast<int32_t>(float(GetDisplayMode().h) * event.tfinger.y));
        const int64_t finger = event.tfinger.fingerId;
        if (event.type == SDL_FINGERDOWN)
            m_root->PointerDown(finger, point, 1, handled);
        else if (event.type == SDL_FINGERUP)
            m_root->PointerUp(finger, point, handled);
        else
            m_root->PointerMove(finger, point);
        break;
    }

    case SDL_MULTIGESTURE:
        if (event.mgesture.numFingers == kGestureFingers && m_root)
        {
            const CPoint point(static_cast<int32_t>(float(m_root->GetWidth()) * event.mgesture.x),
                               static_cast<int32_t>(float(m_root->GetHeight()) * event.mgesture.y));
            m_root->Gesture(point, handled);
        }
        break;

    case SDL_KEYDOWN:
    {
        const SDL_Keysym& keysym = event.key.keysym;
        UpdateModifierFlags(keysym.sym, true);
        if (!m_root)
            break;
        HandleShortcut(keysym.sym, keysym.mod, handled);
        const auto held = m_keysDown.find(keysym.sym);
        // The system's repeat of a held key is no new press: a hold counts from the first.
        if (event.key.repeat && held != m_keysDown.end())
        {
            m_root->KeyRepeat(held->second, handled);
            break;
        }
        const uint32_t key = TranslateKey(keysym.sym, (keysym.mod & KMOD_SHIFT) != 0,
                                          (keysym.mod & KMOD_CAPS) != 0, (keysym.mod & KMOD_NUM) != 0);
        m_keysDown[keysym.sym] = key;
        // The key is delivered even as a shortcut: it arrives handled, so no key handler acts.
        m_root->KeyDown(key, handled);
        break;
    }

    case SDL_KEYUP:
    {
        const SDL_Keysym& keysym = event.key.keysym;
        UpdateModifierFlags(keysym.sym, false);
        uint32_t key = TranslateKey(keysym.sym, (keysym.mod & KMOD_SHIFT) != 0, (keysym.mod & KMOD_CAPS) != 0,
                                    (keysym.mod & KMOD_NUM) != 0);
        const auto held = m_keysDown.find(keysym.sym);
        if (held != m_keysDown.end())
        {
            key = held->second;
            m_keysDown.erase(held);
        }
        if (m_root)
            m_root->KeyUp(key, handled);
        break;
    }

    case SDL_TEXTINPUT:
        // Typed characters as the keyboard layout makes them, accents composed; the key downs of
        // the same keystrokes arrive too, and the text fields pair the two up.
        if (m_root)
            m_root->TextInput(event.text.text, handled);
        break;

    case SDL_USEREVENT:
        if (IsDispatchedCommand(event.user.code) && m_root)
            m_root->DispatchCommand(static_cast<uint32_t>(event.user.code), handled);
        break;

    case SDL_WINDOWEVENT:
        // The window system keeps no copy of an uncovered window: it must be shown again.
        if (event.window.event == SDL_WINDOWEVENT_EXPOSED || event.window.event == SDL_WINDOWEVENT_SHOWN ||
            event.window.event == SDL_WINDOWEVENT_RESTORED)
            m_presentAgain = true;
        break;

    default:
        break;
    }
}

int64_t CApp2::GetMousePointer(uint32_t button)
{
    return button == SDL_BUTTON_LEFT ? 0 : kOtherMouseButtons + int64_t(button);
}

void CApp2::HandleShortcut(SDL_Keycode key, uint16_t modifiers, bool* handled)
{
    if ((modifiers & (KMOD_CTRL | KMOD_GUI)) == 0)
        return;
    const uint32_t code = ShortcutCode(key);
    if (code == 0)
        return;
    PushUserEvent(code);
    *handled = true;
}

uint32_t CApp2::TranslateKey(SDL_Keycode key, bool shift, bool capsLock, bool)
{
    bool printable = false;
    TranslateKeypadKey(key, printable);
    if (!printable || key == SDLK_TAB)
        return static_cast<uint32_t>(key);
    if (shift)
    {
        if (IsLowerLetter(key))
            return static_cast<uint32_t>(capsLock ? key : Upper(key));
        return static_cast<uint32_t>(ShiftedCharacter(key));
    }
    return static_cast<uint32_t>(capsLock ? Upper(key) : key);
}

bool CApp2::IsDoubleClick(const CPoint& point)
{
    const uint64_t now = m_ticks();
    const uint64_t interval = now - m_lastReleaseTime;
    m_lastReleaseTime = now;
    bool isDouble = false;
    if (interval <= kDoubleClickInterval && m_lastReleasePoint.GetDistance(point) < kDoubleClickDistance)
    {
        // A third quick click starts a new pair.
        m_lastReleaseTime = 0;
        isDouble = true;
    }
    m_lastReleasePoint = point;
    return isDouble;
}

void CApp2::OnAppEvent(const SDL_Event& event)
{
    if (!m_suspended)
    {
        if (event.type == SDL_APP_WILLENTERBACKGROUND)
        {
            std::puts("Suspend()");
            m_suspended = true;
            if (m_model)
                m_model->Suspend();
        }
        return;
    }
    if (event.type == SDL_APP_WILLENTERFOREGROUND || event.type == SDL_APP_DIDENTERFOREGROUND)
    {
        std::puts("Continue()");
        m_suspended = false;
        if (m_model)
            m_model->Resume();
    }
    else if (event.type == SDL_APP_LOWMEMORY)
    {
        std::puts("Low memory");
    }
}
