// Skin and drawn buttons driven through the area tree: what each state shows, the callbacks and
// sounds of presses, holds and repeats, and the soft button's wrapped caption.
#include "tests/widgets/widget_test.h"
#include "widgets/area_button.h"
#include "widgets/area_button_soft.h"
#include "graphics/text_renderer.h"
#include "widgets/word_wrap.h"

using widget_test::WidgetTest;

namespace
{
const CRgbaColour kOffUp(10, 20, 30, 255);
const CRgbaColour kOffDown(40, 50, 60, 255);
const CRgbaColour kOnUp(70, 80, 90, 255);
const CRgbaColour kOnDown(100, 110, 120, 255);

// Records every callback as "<event>" in one list.
struct Recorder
{
    std::vector<std::string> events;
    template <const char* Name>
    static void Record(void* context, CAreaButton*)
    {
        static_cast<Recorder*>(context)->events.push_back(Name);
    }
    void Attach(CAreaButton& button);
};
constexpr char kPress[] = "press";
constexpr char kRelease[] = "release";
constexpr char kClick[] = "click";
constexpr char kHold[] = "hold";

void Recorder::Attach(CAreaButton& button)
{
    button.SetPressCallback(this, &Record<kPress>);
    button.SetReleaseCallback(this, &Record<kRelease>);
    button.SetClickCallback(this, &Record<kClick>);
    button.SetHoldCallback(this, &Record<kHold>);
}

using Events = std::vector<std::string>;

class Buttons : public WidgetTest
{
protected:
    CAreaButton* AddButton(const std::string& name)
    {
        auto* button = new CAreaButton(m_root, name, false);
        button->SetPosition(CPoint(50, 50));
        m_root->AddChild(button);
        return button;
    }
    Recorder m_recorder;
};
}  // namespace

TEST_F(Buttons, EachStateShowsItsPictureAndMissingOnesFallBack)
{
    LoadSkin({{"full_off_up", 30, 20, kOffUp},
              {"full_off_down", 30, 20, kOffDown},
              {"full_on_up", 30, 20, kOnUp},
              {"full_on_down", 30, 20, kOnDown},
              {"bare_up", 40, 24, kOffUp},
              {"bare_down", 40, 24, kOffDown},
              {"half_off_up", 30, 20, kOffUp},
              {"half_on_down", 30, 20, kOnDown}});
    const CRgbaColour none = widget_test::kGrey;
    const struct
    {
        const char* name;
        CRgbaColour offUp, offDown, onUp, onDown;
    } cases[] = {
        {"full", kOffUp, kOffDown, kOnUp, kOnDown},
        // Only "_up" and "_down": nothing at all while on.
        {"bare", kOffUp, kOffDown, none, none},
        // Pressed while off borrows the on-down picture.
        {"half", kOffUp, kOnDown, none, kOnDown},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        CAreaButton* button = AddButton(c.name);
        EXPECT_EQ(button->GetName(), "CAreaButton");
        EXPECT_EQ(button->GetWidth(), std::string(c.name) == "bare" ? 40u : 30u);
        for (const bool on : {false, true})
            for (const bool pressed : {false, true})
            {
                button->SetOn(on);
                button->SetPressed(pressed);
                m_root->SetDirty();
                Render();
                const CRgbaColour expected = on ? (pressed ? c.onDown : c.onUp) : (pressed ? c.offDown : c.offUp);
                EXPECT_EQ(At(55, 55), expected) << on << pressed;
            }
        m_root->RemoveChild(button);
    }
    // Without any picture the button keeps its default size.
    EXPECT_EQ(AddButton("missing")->GetWidth(), 100u);
}

TEST_F(Buttons, PressAndReleaseCallBackSoundAndToggle)
{
    LoadSkin({{"b_off_up", 30, 20, kOffUp}});
    CAreaButton* button = AddButton("b");
    m_recorder.Attach(*button);

    EXPECT_TRUE(Down(CPoint(60, 60), 3));
    EXPECT_TRUE(button->IsPressed());
    EXPECT_EQ(button->GetLastButton(), 3);
    // Released well away from the button: the capture brings the release back to it.
    EXPECT_TRUE(Up(CPoint(300, 250)));
    EXPECT_FALSE(button->IsPressed());
    EXPECT_EQ(m_recorder.events, (Events{"press", "click", "release"}));
    EXPECT_EQ(m_sounds, (Events{"hw_down", "hw_up"}));

    // A toggle latches at the press, not at the release.
    button->SetMode(CAreaButton::kModeToggle);
    m_recorder.events.clear();
    button->Press();
    EXPECT_TRUE(button->IsOn());
    button->Release();
    EXPECT_TRUE(button->IsOn());
    button->Press();
    EXPECT_FALSE(button->IsOn());
    button->Release();
    EXPECT_EQ(m_recorder.events, (Events{"press", "click", "release", "press", "click", "release"}));

    // Setting the states from the program is silent.
    m_sounds.clear();
    m_recorder.events.clear();
    button->SetPressed(true);
    button->SetPressed(false);
    button->SetOn(true);
    EXPECT_TRUE(m_sounds.empty());
    EXPECT_TRUE(m_recorder.events.empty());
}

TEST_F(Buttons, DisabledButtonSwallowsThePressButAPressInProgressStillClicks)
{
    CAreaButton* button = AddButton("b");
    m_recorder.Attach(*button);
    button->SetEnabled(false);
    EXPECT_TRUE(Down(CPoint(60, 60)));
    EXPECT_TRUE(Up(CPoint(60, 60)));
    EXPECT_FALSE(button->IsPressed());
    EXPECT_TRUE(m_recorder.events.empty());
    EXPECT_TRUE(m_sounds.empty());

    button->SetEnabled(true);
    Down(CPoint(60, 60));
    button->SetEnabled(false);
    Up(CPoint(60, 60));
    EXPECT_EQ(m_recorder.events, (Events{"press", "click", "release"}));
}

TEST_F(Buttons, HoldFiresOnceAtHalfASecondAndTakesThePlaceOfTheClick)
{
    CAreaButton* button = AddButton("b");
    m_recorder.Attach(*button);
    button->Press();
    Ticks(12);
    EXPECT_EQ(m_recorder.events, (Events{"press"}));
    Ticks(1);
    EXPECT_EQ(m_recorder.events, (Events{"press", "hold"}));
    Ticks(20);
    button->Release();
    EXPECT_EQ(m_recorder.events, (Events{"press", "hold", "release"}));

    // The next press is a new one: a short press clicks again.
    m_recorder.events.clear();
    button->Press();
    Ticks(3);
    button->Release();
    EXPECT_EQ(m_recorder.events, (Events{"press", "click", "release"}));

    // A button without a hold callback clicks however long it is held: a slow touch, or a dialog
    // key held down a moment, must not be lost.
    button->SetHoldCallback(nullptr, nullptr);
    m_recorder.events.clear();
    button->Press();
    Ticks(30);
    button->Release();
    EXPECT_EQ(m_recorder.events, (Events{"press", "click", "release"}));
}

TEST_F(Buttons, RepeatClicksAfterASecondThenOnEveryFrameFromTwoSeconds)
{
    CAreaButton* button = AddButton("b");
    int clicks = 0;
    button->SetClickCallback(&clicks, [](void* context, CAreaButton*) { ++*static_cast<int*>(context); });
    button->SetRepeat(true);
    button->Press();
    // Frames of 1/16 s add up exactly: the hold comes at frame 8, the first repeated click one
    // second (16 frames) after it.
    const float frame = 0.0625f;
    Ticks(22, frame);
    EXPECT_EQ(clicks, 0);
    Ticks(1, frame);
    EXPECT_EQ(clicks, 1);
    // Up to 2 s of holding, once a second; past 2 s (frame 33) once per frame.
    Ticks(9, frame);
    EXPECT_EQ(clicks, 1);
    Ticks(10, frame);
    EXPECT_EQ(clicks, 11);
    // The release adds nothing: the repeat took the place of the click.
    button->Release();
    EXPECT_EQ(clicks, 11);
}

TEST_F(Buttons, SoftButtonSoundsOncePerClickAndShowsItsStatesInItsColour)
{
    CApp::SetScreenClass(6);
    auto* large = new CAreaButtonSoft(m_root);
    EXPECT_EQ(large->GetName(), "CAreaButtonSoft");
    EXPECT_EQ(large->GetWidth(), 200u);
    CApp::SetScreenClass(5);
    delete large;

    auto* button = new CAreaButtonSoft(m_root);
    EXPECT_EQ(button->GetHeight(), 40u);
    m_root->AddChild(button);
    const CRgbaColour red(200, 0, 0, 255);
    button->SetColour(red);
    button->Press();
    button->Release();
    EXPECT_EQ(m_sounds, (Events{"positive"}));

    // The frames' bodies: clear while off, solid colour while on and pressed.
    Render();
    EXPECT_EQ(At(50, 20), widget_test::kGrey);
    button->SetOn(true);
    button->SetPressed(true);
    Render();
    EXPECT_EQ(At(50, 20), red);
    // Disabled, a checkerboard of the background lies over it.
    button->SetEnabled(false);
    Render();
    EXPECT_NE(At(50, 20), At(51, 20));
}

TEST(WordWrap, BreaksAtTheLastWordThatFits)
{
    CFontManager::Instance().ScanFolder(std::string(TANZO_SOURCE_DIR) + "/resources/fonts");
    TTF_Font* font = CFontManager::Instance().GetFont("arial", 14);
    ASSERT_NE(font, nullptr);
    int32_t word = 0, height = 0, two = 0;
    MeasureText(font, "wide", word, height);
    MeasureText(font, "wide wide", two, height);
    // Room for two words and not three.
    const int32_t width = two + 8 + 2;
    EXPECT_EQ(WrapWords("wide wide wide", width, font), (std::vector<std::string>{"wide wide", "wide"}));
    EXPECT_EQ(WrapWords("wide", width, font), (std::vector<std::string>{"wide"}));
    // A word too long for any line stands alone and unbroken.
    EXPECT_EQ(WrapWords("a enormouslylongwordthatneverfits b", 60, font),
              (std::vector<std::string>{"a", "enormouslylongwordthatneverfits", "b"}));
    EXPECT_EQ(WrapWords("wide wide wide", 1000, font), (std::vector<std::string>{"wide wide wide"}));
    // n lines of height 10 centred on 50.
    EXPECT_EQ(FirstLineY(50, 1, 10), 50);
    EXPECT_EQ(FirstLineY(50, 2, 10), 45);
    EXPECT_EQ(FirstLineY(50, 3, 10), 40);
}

TEST_F(Buttons, SoftCaptionWrapsIntoLinesCentredOnTheMiddle)
{
    auto* button = new CAreaButtonSoft(m_root);
    button->SetSize(100, 80);
    m_root->AddChild(button);
    Render();
    const CZevralImage blank = m_canvas;
    button->SetCaption("Record every cue", false);
    Render();
    const auto lines = widget_test::ChangedRowRuns(blank, m_canvas, CRect(0, 0, 100, 80));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NEAR((lines.front().first + lines.back().second) / 2.0, 40.0, 3.0);
}
