// The event pump, driven through SDL's own queue into a recording root area.
#include "shell/application.h"
#include "widgets/area.h"
#include "widgets/area_window.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
// Records every call the pump makes, with the handled flag as it arrived.
class CRecordingArea : public CArea2
{
public:
    CRecordingArea() : CArea2(nullptr, 768, 1024) { SetVisibleFlag(true); }

    void PointerDown(int64_t id, const CPoint& p, uint32_t button, bool* handled) override
    {
        Record("down " + std::to_string(id) + " " + Text(p) + " b" + std::to_string(button), handled);
    }
    void PointerMove(int64_t id, const CPoint& p) override
    {
        m_calls.push_back("move " + std::to_string(id) + " " + Text(p));
    }
    void PointerUp(int64_t id, const CPoint& p, bool* handled) override
    {
        Record("up " + std::to_string(id) + " " + Text(p), handled);
    }
    void DoubleClick(int64_t id, const CPoint& p, uint32_t button, bool* handled) override
    {
        Record("double " + std::to_string(id) + " " + Text(p) + " b" + std::to_string(button), handled);
    }
    void Wheel(int64_t id, const CPoint& p, int32_t amount, bool* handled) override
    {
        Record("wheel " + std::to_string(id) + " " + Text(p) + " " + std::to_string(amount), handled);
    }
    void Gesture(const CPoint& p, bool* handled) override { Record("gesture " + Text(p), handled); }
    void KeyDown(uint32_t key, bool* handled) override { Record("keydown " + std::to_string(key), handled); }
    void KeyUp(uint32_t key, bool* handled) override { Record("keyup " + std::to_string(key), handled); }
    void TextInput(const std::string& text, bool* handled) override { Record("text " + text, handled); }
    void Tick(float) override { ++m_ticks; }

    std::vector<std::string> m_calls;
    int m_ticks = 0;

protected:
    void OnCommand(uint32_t code, bool* handled) override { Record("command " + std::to_string(code), handled); }

private:
    static std::string Text(const CPoint& p) { return std::to_string(p.GetX()) + "," + std::to_string(p.GetY()); }
    void Record(const std::string& call, bool* handled)
    {
        m_calls.push_back(call + (*handled ? " handled" : ""));
    }
};

using Calls = std::vector<std::string>;

class Pump : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_app = new CApp2(CVersion(1, 7, 0), 1, m_argv, "");
        ASSERT_TRUE(m_app->IsVideoReady());
        m_app->PollEvents();  // the window's own start-up events
        m_root = new CRecordingArea();
        m_app->SetRootArea(std::make_unique<CAreaWindow>(std::unique_ptr<CArea2>(m_root)));
        m_app->SetTickSource([this] { return m_now; });
        CApp::SetShiftDown(false);
        CApp::SetCtrlDown(false);
    }
    void TearDown() override { delete m_app; }

    static void Push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1); }
    static void PushButton(uint32_t type, int x, int y, uint8_t button = SDL_BUTTON_LEFT)
    {
        SDL_Event event = {};
        event.type = type;
        event.button.x = x;
        event.button.y = y;
        event.button.button = button;
        Push(event);
    }
    static void PushMotion(int x, int y)
    {
        SDL_Event event = {};
        event.type = SDL_MOUSEMOTION;
        event.motion.x = x;
        event.motion.y = y;
        Push(event);
    }
    static void PushKey(uint32_t type, SDL_Keycode key, uint16_t modifiers = KMOD_NONE)
    {
        SDL_Event event = {};
        event.type = type;
        event.key.keysym.sym = key;
        event.key.keysym.mod = modifiers;
        Push(event);
    }
    static void PushType(uint32_t type)
    {
        SDL_Event event = {};
        event.type = type;
        Push(event);
    }
    static int Queued()
    {
        SDL_PumpEvents();
        return SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
    }

    // A release at the given time and place; returns the calls it caused.
    Calls Release(uint64_t at, int x, int y, uint8_t button = SDL_BUTTON_LEFT)
    {
        m_now = at;
        m_root->m_calls.clear();
        PushButton(SDL_MOUSEBUTTONUP, x, y, button);
        m_app->PollEvents();
        return m_root->m_calls;
    }
    Calls Poll()
    {
        m_root->m_calls.clear();
        m_app->PollEvents();
        return m_root->m_calls;
    }

    char m_name[16] = "Programmer";
    char* m_argv[2] = {m_name, nullptr};
    CApp2* m_app = nullptr;
    CRecordingArea* m_root = nullptr;
    uint64_t m_now = 100000;
};

const Calls kSingle = {"up 0 100,100"};
const Calls kDouble = {"up 0 100,100", "double 0 100,100 b1"};
}

TEST_F(Pump, EachMouseButtonIsAPointerOfItsOwnAndMovesReachEveryButtonHeld)
{
    const std::string right = std::to_string(CApp2::GetMousePointer(SDL_BUTTON_RIGHT));
    const std::string middle = std::to_string(CApp2::GetMousePointer(SDL_BUTTON_MIDDLE));
    PushMotion(10, 20);
    PushButton(SDL_MOUSEBUTTONDOWN, 11, 21, SDL_BUTTON_LEFT);
    PushButton(SDL_MOUSEBUTTONDOWN, 12, 22, SDL_BUTTON_RIGHT);
    PushMotion(13, 23);
    PushButton(SDL_MOUSEBUTTONUP, 14, 24, SDL_BUTTON_LEFT);
    PushButton(SDL_MOUSEBUTTONDOWN, 15, 25, SDL_BUTTON_MIDDLE);
    PushButton(SDL_MOUSEBUTTONUP, 56, 26, SDL_BUTTON_RIGHT);
    PushMotion(17, 27);
    EXPECT_EQ(Poll(), (Calls{"move 0 10,20", "down 0 11,21 b1", "down " + right + " 12,22 b3", "move 0 13,23",
                             "move " + right + " 13,23", "up 0 14,24", "down " + middle + " 15,25 b2",
                             "up " + right + " 56,26", "move 0 17,27", "move " + middle + " 17,27"}));
}

TEST_F(Pump, DoubleClickNeedsSixHundredMillisecondsAndLessThanTwentyPixels)
{
    EXPECT_EQ(Release(100000, 100, 100), kSingle);
    EXPECT_EQ(Release(100600, 100, 100), kDouble);

    EXPECT_EQ(Release(200000, 100, 100), kSingle);
    EXPECT_EQ(Release(200601, 100, 100), kSingle);  // 601 ms apart

    EXPECT_EQ(Release(300000, 81, 100), (Calls{"up 0 81,100"}));
    EXPECT_EQ(Release(300100, 100, 100), kDouble);  // 19 pixels apart

    EXPECT_EQ(Release(400000, 100, 80), (Calls{"up 0 100,80"}));
    EXPECT_EQ(Release(400100, 100, 100), kSingle);  // 20 pixels apart

    // A double click is not the first of another.
    EXPECT_EQ(Release(500000, 100, 100), kSingle);
    EXPECT_EQ(Release(500100, 100, 100), kDouble);
    EXPECT_EQ(Release(500200, 100, 100), kSingle);
}

TEST_F(Pump, EveryButtonCountsForDoubleClicksAndTheFlagIsFreshForIt)
{
    // A handled release still lets the double click through with the flag cleared.
    class CTakingArea : public CRecordingArea
    {
    public:
        void PointerUp(int64_t id, const CPoint& p, bool* handled) override
        {
            CRecordingArea::PointerUp(id, p, handled);
            *handled = true;
        }
    };
    m_root = new CTakingArea();
    m_app->SetRootArea(std::make_unique<CAreaWindow>(std::unique_ptr<CArea2>(m_root)));
    const std::string right = std::to_string(CApp2::GetMousePointer(SDL_BUTTON_RIGHT));
    const std::string middle = std::to_string(CApp2::GetMousePointer(SDL_BUTTON_MIDDLE));
    EXPECT_EQ(Release(100000, 100, 100, SDL_BUTTON_RIGHT), (Calls{"up " + right + " 100,100"}));
    EXPECT_EQ(Release(100300, 100, 100, SDL_BUTTON_MIDDLE),
              (Calls{"up " + middle + " 100,100", "double " + middle + " 100,100 b2"}));
}

TEST_F(Pump, ControlLettersDispatchCommandsAndStillDeliverTheKeyHandled)
{
    const struct
    {
        SDL_Keycode key;
        uint16_t modifiers;
        uint32_t code;
    } cases[] = {
        {'x', KMOD_LCTRL, 4}, {'c', KMOD_RCTRL, 5}, {'v', KMOD_LGUI, 6}, {'z', KMOD_RGUI, 8},
        {'y', KMOD_LCTRL, 9}, {'a', KMOD_LCTRL, 10}, {'C', KMOD_LCTRL, 5},
    };
    for (const auto& c : cases)
    {
        PushKey(SDL_KEYDOWN, c.key, c.modifiers);
        EXPECT_EQ(Poll(), (Calls{"keydown " + std::to_string(c.key) + " handled"})) << "key " << c.key;
        // The command is an event of its own, taken by the next pass of the pump.
        EXPECT_EQ(Poll(), (Calls{"command " + std::to_string(c.code)})) << "key " << c.key;
    }
}

TEST_F(Pump, ControlSIsSwallowedAndOtherControlKeysAreOrdinary)
{
    PushKey(SDL_KEYDOWN, 's', KMOD_LCTRL);
    EXPECT_EQ(Poll(), (Calls{"keydown 115 handled"}));
    EXPECT_EQ(Queued(), 1);
    EXPECT_EQ(Poll(), Calls{});
    EXPECT_EQ(Queued(), 0);

    PushKey(SDL_KEYDOWN, 'b', KMOD_LCTRL);
    EXPECT_EQ(Poll(), (Calls{"keydown 98"}));
    PushKey(SDL_KEYDOWN, 'c', KMOD_LALT);
    EXPECT_EQ(Poll(), (Calls{"keydown 99"}));
}

TEST_F(Pump, OtherUserCodesAreDropped)
{
    for (int32_t code : {0, 7, 11, 13})
    {
        SDL_Event event = {};
        event.type = SDL_USEREVENT;
        event.user.code = code;
        Push(event);
    }
    EXPECT_EQ(Poll(), Calls{});
}

TEST_F(Pump, KeysAreTranslatedWithTheEventsModifiers)
{
    PushKey(SDL_KEYDOWN, 'a', KMOD_LSHIFT);
    PushKey(SDL_KEYDOWN, 'a', KMOD_CAPS);
    PushKey(SDL_KEYDOWN, 'a', KMOD_RSHIFT | KMOD_CAPS);
    PushKey(SDL_KEYUP, '2', KMOD_LSHIFT);
    PushKey(SDL_KEYDOWN, SDLK_KP_5, KMOD_NUM);
    PushKey(SDL_KEYDOWN, SDLK_LEFT, KMOD_LSHIFT);
    // The typed text reaches the root as it comes, after its key down.
    SDL_Event text = {};
    text.type = SDL_TEXTINPUT;
    std::snprintf(text.text.text, sizeof(text.text.text), "\xC3\xA9");
    Push(text);
    EXPECT_EQ(Poll(), (Calls{"keydown 65", "keydown 65", "keydown 97", "keyup 64", "keydown 53",
                             "keydown " + std::to_string(SDLK_LEFT), "text \xC3\xA9"}));
}

TEST_F(Pump, ModifierFlagsFollowTheirKeys)
{
    PushKey(SDL_KEYDOWN, SDLK_RSHIFT);
    PushKey(SDL_KEYDOWN, SDLK_LCTRL);
    Poll();
    EXPECT_TRUE(CApp::IsShiftDown());
    EXPECT_TRUE(CApp::IsCtrlDown());
    PushKey(SDL_KEYUP, SDLK_RSHIFT);
    PushKey(SDL_KEYUP, SDLK_RCTRL);
    Poll();
    EXPECT_FALSE(CApp::IsShiftDown());
    EXPECT_FALSE(CApp::IsCtrlDown());
    PushKey(SDL_KEYDOWN, SDLK_LGUI);
    Poll();
    EXPECT_FALSE(CApp::IsCtrlDown());
}

TEST_F(Pump, WheelTurnsAtTheLastMotionPointWithTheVerticalAmount)
{
    PushMotion(30, 40);
    PushKey(SDL_KEYDOWN, SDLK_LSHIFT);
    SDL_Event event = {};
    event.type = SDL_MOUSEWHEEL;
    event.wheel.x = 5;
    event.wheel.y = -2;
    Push(event);
    // Shift does not swap the axes on this operating system.
    EXPECT_EQ(Poll(), (Calls{"move 0 30,40", "keydown " + std::to_string(SDLK_LSHIFT), "wheel 0 30,40 -2"}));
}

TEST_F(Pump, ThreeFingerGesturesAreScaledAndFingerEventsIgnored)
{
    SDL_Event gesture = {};
    gesture.type = SDL_MULTIGESTURE;
    gesture.mgesture.x = 0.5f;
    gesture.mgesture.y = 0.2501f;
    gesture.mgesture.numFingers = 3;
    Push(gesture);
    gesture.mgesture.numFingers = 2;
    Push(gesture);
    for (uint32_t type : {SDL_FINGERDOWN, SDL_FINGERMOTION, SDL_FINGERUP})
    {
        SDL_Event finger = {};
        finger.type = type;
        finger.tfinger.fingerId = 7;
        finger.tfinger.x = 0.5f;
        finger.tfinger.y = 0.5f;
        Push(finger);
    }
    EXPECT_EQ(Poll(), (Calls{"gesture 384,256"}));
}

TEST_F(Pump, QuitInABurstLeavesTheRestQueuedAndEndsTheLoopAfterTheFrame)
{
    PushMotion(1, 1);
    PushType(SDL_QUIT);
    PushMotion(2, 2);
    EXPECT_EQ(m_app->Run(), 0);
    EXPECT_EQ(m_root->m_calls, (Calls{"move 0 1,1"}));
    EXPECT_EQ(m_root->m_ticks, 1);
    EXPECT_TRUE(m_app->IsQuitting());
    // The motion behind the quit (beside what opening the click sounds' device queued).
    SDL_PumpEvents();
    EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_MOUSEMOTION, SDL_MOUSEMOTION), 1);
}

TEST_F(Pump, BackgroundSuspendsAndForegroundResumes)
{
    testing::internal::CaptureStdout();
    PushType(SDL_APP_LOWMEMORY);  // only reported while suspended
    PushType(SDL_APP_WILLENTERBACKGROUND);
    PushType(SDL_APP_WILLENTERBACKGROUND);
    PushType(SDL_APP_LOWMEMORY);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Suspend()\nLow memory\n");
    EXPECT_TRUE(m_app->IsSuspended());

    // While suspended the area tree is neither ticked nor drawn.
    PushType(SDL_QUIT);
    EXPECT_EQ(m_app->Run(), 0);
    EXPECT_EQ(m_root->m_ticks, 0);

    testing::internal::CaptureStdout();
    PushType(SDL_APP_DIDENTERFOREGROUND);
    PushType(SDL_APP_WILLENTERFOREGROUND);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Continue()\n");
    EXPECT_FALSE(m_app->IsSuspended());
}

TEST(KeyTranslation, ShiftMapCapsLockAndKeypad)
{
    const auto key = [](SDL_Keycode k, bool shift = false, bool caps = false, bool num = false) {
        return CApp2::TranslateKey(k, shift, caps, num);
    };
    EXPECT_EQ(key('a', true), uint32_t('A'));
    EXPECT_EQ(key('a', true, true), uint32_t('a'));
    EXPECT_EQ(key('a', false, true), uint32_t('A'));

    const std::string plain = "[\\]',-./0123456789;=";
    const std::string expected = "{|}\"<_>?)!@#$%^&*(:+";
    for (size_t i = 0; i < plain.size(); ++i)
        EXPECT_EQ(key(plain[i], true), uint32_t(uint8_t(expected[i]))) << plain[i];
    EXPECT_EQ(key('2', false, true), uint32_t('2'));
    EXPECT_EQ(key('`', true), uint32_t('`'));

    // The keypad gives its character whatever Num Lock says; a digit then takes the shift map.
    const std::pair<SDL_Keycode, char> keypad[] = {{SDLK_KP_0, '0'},      {SDLK_KP_5, '5'},
                                                   {SDLK_KP_ENTER, 13},   {SDLK_KP_PERIOD, '.'},
                                                   {SDLK_KP_DIVIDE, '/'}, {SDLK_KP_MULTIPLY, '*'},
                                                   {SDLK_KP_MINUS, '-'},  {SDLK_KP_PLUS, '+'}};
    for (const auto& [code, character] : keypad)
        EXPECT_EQ(key(code), uint32_t(character)) << code;
    EXPECT_EQ(key(SDLK_KP_5, false, false, true), uint32_t('5'));
    EXPECT_EQ(key(SDLK_KP_9, true), uint32_t('('));

    // Special keys reach the areas as SDL key codes, shift or not.
    for (SDL_Keycode special : {SDLK_F5, SDLK_PAGEUP, SDLK_CAPSLOCK, SDLK_TAB})
        EXPECT_EQ(key(special, true, true), uint32_t(special)) << special;
}

