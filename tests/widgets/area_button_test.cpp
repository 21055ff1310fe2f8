// Skin and drawn buttons driven through the area tree: the picture of each state, the callbacks
// and sounds of presses, holds and repeats, and the drawn button's look and wrapped caption.
#include "graphics/text_renderer.h"
#include "tests/widgets/widget_test.h"
#include "widgets/area_button.h"
#include "widgets/area_button_soft.h"
#include "widgets/word_wrap.h"

#include <algorithm>
#include <utility>

using namespace widget_test;

namespace
{
const CRgbaColour kOffUp(10, 20, 30), kOffDown(40, 50, 60), kOnUp(70, 80, 90), kOnDown(100, 110, 120);

class Buttons : public WidgetTest
{
protected:
    CAreaButton* AddButton(const std::string& name)
    {
        auto made = std::make_unique<CAreaButton>(m_root, name, false);
        made->SetPosition(CPoint(50, 50));
        CAreaButton* button = m_root->AddChild(std::move(made));
        button->SetPressCallback(&m_events, [](void* log, CAreaButton*) { Log(log, "press"); });
        button->SetReleaseCallback(&m_events, [](void* log, CAreaButton*) { Log(log, "release"); });
        button->SetClickCallback(&m_events, [](void* log, CAreaButton*) { Log(log, "click"); });
        button->SetHoldCallback(&m_events, [](void* log, CAreaButton*) { Log(log, "hold"); });
        return button;
    }
    static void Log(void* log, const char* event) { static_cast<Strings*>(log)->push_back(event); }
    // The events since the last call.
    Strings Events() { return std::exchange(m_events, {}); }
    Strings m_events;
};
}  // namespace

TEST_F(Buttons, EachStateShowsItsPictureAndMissingOnesFallBack)
{
    LoadSkin({{"full_off_up", 30, 20, kOffUp}, {"full_off_down", 30, 20, kOffDown}, {"full_on_up", 30, 20, kOnUp},
              {"full_on_down", 30, 20, kOnDown}, {"bare_up", 40, 24, kOffUp}, {"bare_down", 40, 24, kOffDown},
              {"half_off_up", 30, 20, kOffUp}, {"half_on_down", 30, 20, kOnDown}});
    const struct
    {
        const char* name;
        CRgbaColour offUp, offDown, onUp, onDown;
    } cases[] = {
        {"full", kOffUp, kOffDown, kOnUp, kOnDown},
        // Only "_up" and "_down": nothing at all while on.
        {"bare", kOffUp, kOffDown, kGrey, kGrey},
        // Pressed while off borrows the on-down picture.
        {"half", kOffUp, kOnDown, kGrey, kOnDown},
    };
    for (const auto& c : cases)
    {
        CAreaButton* button = AddButton(c.name);
        EXPECT_EQ(button->GetWidth(), std::string(c.name) == "bare" ? 40u : 30u);
        for (const bool on : {false, true})
            for (const bool pressed : {false, true})
            {
                button->SetOn(on);
                button->SetPressed(pressed);
                m_root->SetDirty();
                Render();
                EXPECT_EQ(At(55, 55), on ? (pressed ? c.onDown : c.onUp) : (pressed ? c.offDown : c.offUp))
                    << c.name << on << pressed;
            }
        m_root->RemoveChild(button);
    }
    EXPECT_EQ(AddButton("missing")->GetWidth(), 100u);
}

TEST_F(Buttons, ALongCaptionStaysOnWhatThePictureShowsOfTheKey)
{
    // A key drawn 7 pixels narrower than its picture, as the options key beside the lamp.
    LoadSkin({{"narrow_up", 97, 48, kOffUp}}, 7);
    CAreaButton* button = AddButton("narrow");
    Render();
    const CZevralImage blank = m_canvas;
    button->SetCaption("EINSTELLUNGEN UND OPTIONEN", false);
    Render();
    ASSERT_GT(CountChanged(blank, m_canvas, CRect(50, 50, 90, 48)), 0);
    EXPECT_EQ(CountChanged(blank, m_canvas, CRect(140, 50, 7, 48)), 0);
}

TEST_F(Buttons, PressesCallBackSoundAndToggleUnlessDisabled)
{
    CAreaButton* button = AddButton("b");
    EXPECT_TRUE(Down(CPoint(60, 60), 3));
    EXPECT_EQ(button->GetLastButton(), 3);
    // Let go far from the button: the capture brings the release back to it.
    EXPECT_TRUE(Up(CPoint(300, 250)));
    EXPECT_EQ(Events(), (Strings{"press", "click", "release"}));
    EXPECT_EQ(m_sounds, (Strings{"hw_down", "hw_up"}));

    // A toggle latches at the press.
    button->SetMode(CAreaButton::kModeToggle);
    button->Press();
    EXPECT_TRUE(button->IsOn());
    button->Release();
    Events();

    // Disabled, the press is taken and nothing follows; a press already made still clicks.
    m_sounds.clear();
    button->SetEnabled(false);
    EXPECT_TRUE(Down(CPoint(60, 60)));
    EXPECT_TRUE(Up(CPoint(60, 60)));
    EXPECT_TRUE(Events().empty() && m_sounds.empty());
    button->SetEnabled(true);
    Down(CPoint(60, 60));
    button->SetEnabled(false);
    Up(CPoint(60, 60));
    EXPECT_EQ(Events(), (Strings{"press", "click", "release"}));
}

TEST_F(Buttons, HoldFiresOnceAtHalfASecondAndTakesThePlaceOfTheClick)
{
    CAreaButton* button = AddButton("b");
    button->Press();
    Ticks(12);
    EXPECT_EQ(Events(), (Strings{"press"}));
    Ticks(20);
    button->Release();
    EXPECT_EQ(Events(), (Strings{"hold", "release"}));
    // Without a hold callback a long press still clicks: a slow touch, or a dialog's key held a
    // moment, is not lost.
    button->SetHoldCallback(nullptr, nullptr);
    button->Press();
    Ticks(30);
    button->Release();
    EXPECT_EQ(Events(), (Strings{"press", "click", "release"}));
}

TEST_F(Buttons, RepeatClicksAfterASecondThenOnEveryFrameFromTwoSeconds)
{
    CAreaButton* button = AddButton("b");
    button->SetRepeat(true);
    button->Press();
    // Frames of 1/16 s add up exactly: the hold comes at frame 8, the first repeat 16 frames on,
    // and past 2 s (frame 33) one click per frame.
    const auto clicks = [this] { return std::count(m_events.begin(), m_events.end(), "click"); };
    const int clicksAfter[][2] = {{22, 0}, {23, 1}, {32, 1}, {42, 11}};
    for (int frame = 0, i = 0; i < 4; frame = clicksAfter[i++][0])
    {
        Ticks(clicksAfter[i][0] - frame, 0.0625f);
        EXPECT_EQ(clicks(), clicksAfter[i][1]) << i;
    }
    // The release adds no click.
    button->Release();
    EXPECT_EQ(clicks(), 11);
}

TEST_F(Buttons, SoftButtonsSoundOnReleaseAndWrapTheirCaptionIntoCentredLines)
{
    TTF_Font* font = CFontManager::Instance().GetFont("arial", 14);
    int32_t two = 0, height = 0;
    MeasureText(font, "wide wide", two, height);
    const int32_t width = two + 8 + 2;
    EXPECT_EQ(WrapWords("a enormouslylongwordthatneverfits b", 60, font),
              (Strings{"a", "enormouslylongwordthatneverfits", "b"}));

    auto* button = m_root->MakeChild<CAreaButtonSoft>();
    const CRgbaColour red(200, 0, 0);
    button->SetColour(red);
    button->Press();
    button->Release();
    EXPECT_EQ(m_sounds, (Strings{"positive"}));
    // The frame's body: clear while off, solid in the button's colour while on and pressed.
    Render();
    EXPECT_EQ(At(50, 20), kGrey);
    button->SetOn(true);
    button->SetPressed(true);
    Render();
    EXPECT_EQ(At(50, 20), red);

    button->SetOn(false);
    button->SetPressed(false);
    button->SetSize(uint32_t(width), 80);
    Render();
    const CZevralImage blank = m_canvas;
    button->SetCaption("wide wide wide", false);
    Render();
    const auto lines = ChangedRowRuns(blank, m_canvas, CRect(0, 0, width, 80));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NEAR((lines.front().first + lines.back().second) / 2.0, 40.0, 3.0);
}
