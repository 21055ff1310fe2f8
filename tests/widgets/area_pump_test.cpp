// SDL events pushed through the application's own event pump into an area tree.
#include "shell/application.h"
#include "tests/widgets/logging_area.h"
#include "widgets/area_window.h"
#include "widgets/click_sound.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
class AreaPump : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_app = std::make_unique<CApp2>(CVersion(1, 7, 0), 1, m_argv, "");
        ASSERT_TRUE(m_app->IsVideoReady());
        m_app->PollEvents();  // the window's own start-up events
        m_root = new CLoggingArea(nullptr, "R", CRect(0, 0, 768, 1024), &m_log);
        m_root->MakeChild<CLoggingArea>("A", CRect(100, 100, 100, 100), &m_log, true);
        m_app->SetRootArea(std::make_unique<CAreaWindow>(std::unique_ptr<CArea2>(m_root)));
        m_app->SetTickSource([this] { return m_now; });
        SetClickSoundListener([this](const std::string& clip) { m_log.push_back("sound " + clip); });
    }
    void TearDown() override { SetClickSoundListener(nullptr); }

    // Pushes an event of the type; the function fills in the rest.
    template <typename Fill>
    static void Push(uint32_t type, Fill fill)
    {
        SDL_Event event = {};
        event.type = type;
        fill(event);
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }
    static void Button(uint32_t type, int x, int y)
    {
        Push(type, [&](SDL_Event& e) { e.button.x = x, e.button.y = y, e.button.button = SDL_BUTTON_LEFT; });
    }
    static void Motion(int x, int y)
    {
        Push(SDL_MOUSEMOTION, [&](SDL_Event& e) { e.motion.x = x, e.motion.y = y; });
    }
    static void Click(int x, int y)
    {
        Button(SDL_MOUSEBUTTONDOWN, x, y);
        Button(SDL_MOUSEBUTTONUP, x, y);
    }
    static void Key(SDL_Keycode key, uint16_t modifiers = KMOD_NONE, uint32_t type = SDL_KEYDOWN, uint8_t repeat = 0)
    {
        Push(type, [&](SDL_Event& e) { e.key.keysym.sym = key, e.key.keysym.mod = modifiers, e.key.repeat = repeat; });
    }
    Log Poll()
    {
        m_log.clear();
        m_app->PollEvents();
        return m_log;
    }

    char m_name[16] = "Programmer";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<CApp2> m_app;
    CLoggingArea* m_root = nullptr;
    Log m_log;
    uint64_t m_now = 100000;
};
}

TEST_F(AreaPump, PointerEventsReachTheAreaUnderThePressAndFollowIt)
{
    Motion(150, 150);
    Push(SDL_MOUSEWHEEL, [](SDL_Event& e) { e.wheel.y = -2; });
    Button(SDL_MOUSEBUTTONDOWN, 150, 150);
    Motion(600, 700);
    Button(SDL_MOUSEBUTTONUP, 600, 700);
    EXPECT_EQ(Poll(), (Log{"R move 150,150", "A wheel-2 50,50", "A down 50,50", "A move 500,600", "A up 500,600"}));

    // A second click within 600 ms and 20 pixels double-clicks where it lands.
    Click(160, 150);
    Poll();
    m_now += 600;
    Click(165, 150);
    EXPECT_EQ(Poll(), (Log{"A down 65,50", "A up 65,50", "A double 65,50"}));

    Push(SDL_MULTIGESTURE, [](SDL_Event& e) { e.mgesture.numFingers = 3, e.mgesture.x = 0.15f, e.mgesture.y = 0.125f; });
    EXPECT_EQ(Poll(), (Log{"A gesture 15,28"}));
}

TEST_F(AreaPump, AnOpenDialogTakesKeysAndLeavesCommandsItDoesNotHandle)
{
    m_root->ShowDialog(std::make_unique<CLoggingArea>(nullptr, "D", CRect(0, 0, 200, 100), &m_log));
    Key('q');
    Button(SDL_MOUSEBUTTONDOWN, 5, 5);
    Push(SDL_MOUSEWHEEL, [](SDL_Event& e) { e.wheel.y = 1; });  // outside the dialog: nothing
    EXPECT_EQ(Poll(), (Log{"D key113", "sound negative"}));

    // Control with C reaches no key handler; its command passes the dialog to the area below.
    Key('c', KMOD_LCTRL);
    EXPECT_EQ(Poll(), Log{});
    EXPECT_EQ(Poll(), (Log{"D command5", "A command5"}));
}

TEST_F(AreaPump, AHeldKeyRepeatsAsARepeatAndIsLetGoAsTheKeyItWentDownAs)
{
    Key('a');
    Key('a', KMOD_LSHIFT, SDL_KEYDOWN, 1);
    Key('a', KMOD_LSHIFT, SDL_KEYUP);
    EXPECT_EQ(Poll(), (Log{"A key97", "A repeat97", "A keyup97"}));
}
