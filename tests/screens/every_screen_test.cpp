// Every page and every dialog drawn in each shipped language, on the normal screen and on the large
// one (twice the size), as an operator sees them on a show night: long names, a show list longer
// than the screen, units, cues and fixtures. Each screen is saved as
// <build>/screens/<language>[-large]/<screen>.png to be looked at. The check fails when a screen
// looks up a phrase that a shipped language lacks, draws a text smaller than the legible size, or
// shows the same pixels as a screen before it (the screen meant was never drawn).
// Creates the model root: run through ctest only.
#include "graphics/explanation_manager.h"
#include "graphics/font_manager.h"
#include "graphics/glyph_manager.h"
#include "graphics/language.h"
#include "graphics/language_manager_desktop.h"
#include "graphics/skin_manager.h"
#include "graphics/texture_adapter.h"
#include "link/device.h"
#include "link/device_manager.h"
#include "link/unit_packet.h"
#include "model/core.h"
#include "model/fixture_manager.h"
#include "model/personality_manager.h"
#include "model/personality_ref.h"
#include "model/playback.h"
#include "model/playback_manager.h"
#include "model/programmer.h"
#include "model/programmer_change.h"
#include "screens/pages/area_edit.h"
#include "screens/pages/area_main.h"
#include "screens/pages/area_playback.h"
#include "screens/pages/area_settings.h"
#include "tests/graphics/graphics_test_util.h"
#include "tests/model/patch_test_support.h"
#include "tests/support/silent_network.h"
#include "tests/support/test_folder.h"
#include "widgets/area_button.h"
#include "widgets/area_button_soft.h"
#include "widgets/area_cue_grid.h"
#include "widgets/area_fixture.h"
#include "widgets/area_grid.h"
#include "widgets/click_sound.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <tuple>

// Every text the program draws goes through SDL_ttf's blended rendering with a font the font cache
// opened; this test program is linked with both calls wrapped, so the point size of each drawn
// text is known.
namespace
{
std::map<TTF_Font*, int> g_fontSizes;
int g_legibleSize = 0;
std::set<std::string> g_smallTexts;
}  // namespace

extern "C" {
TTF_Font* __real_TTF_OpenFont(const char* file, int size);
SDL_Surface* __real_TTF_RenderUTF8_Blended(TTF_Font* font, const char* text, SDL_Color colour);

TTF_Font* __wrap_TTF_OpenFont(const char* file, int size)
{
    TTF_Font* font = __real_TTF_OpenFont(file, size);
    g_fontSizes[font] = size;
    return font;
}

SDL_Surface* __wrap_TTF_RenderUTF8_Blended(TTF_Font* font, const char* text, SDL_Color colour)
{
    const auto found = g_fontSizes.find(font);
    if (found != g_fontSizes.end() && found->second < g_legibleSize)
        g_smallTexts.insert("\"" + std::string(text) + "\" at " + std::to_string(found->second));
    return __real_TTF_RenderUTF8_Blended(font, text, colour);
}
}

namespace
{
namespace fs = boost::filesystem;
using patchtest::Record;

const std::string kLanguages[] = {"English", "Deutsch", "Français"};
// The screen classes of the normal and the large screen.
constexpr uint32_t kNormalScreen = 5;
constexpr uint32_t kLargeScreen = 6;
constexpr uint32_t kReturn = 13;
constexpr uint32_t kEscape = 27;

std::string Resources()
{
    return std::string(TANZO_BINARY_DIR) + "/Resources";
}

// The shipped languages, read as the program reads them; every lookup is checked against each.
class CPhraseCheck : public CLanguageManagerDesktop
{
public:
    explicit CPhraseCheck(const std::string& commonData)
        : CLanguageManagerDesktop(Resources(), commonData, CVersion(1, 7, 0))
    {
    }
    std::string Translate(const std::string& text, bool upperCase) const override
    {
        for (uint32_t i = 0; !text.empty() && i < GetLanguageCount(); ++i)
            if (!GetLanguage(i)->HasPhrase(text, false))
                missing.insert(GetLanguage(i)->GetName() + " lacks \"" + text + "\"");
        return CLanguageManagerDesktop::Translate(text, upperCase);
    }
    mutable std::set<std::string> missing;
};

class EveryScreen : public ::testing::TestWithParam<std::tuple<std::string, uint32_t>>
{
protected:
    EveryScreen()
    {
        SetClickSoundListener([](const std::string&) {});
        CApp::SetScreenClass(ScreenClass());
        CSkinManager::Instance().LoadFolder(Resources() + "/skin");
        CGlyphManager::Instance().LoadFolder(Resources() + "/glyphs");
        CFontManager::Instance().ScanFolder(Resources() + "/fonts");
        g_legibleSize = int(CArea2::GetLegibleFontSize());
        g_smallTexts.clear();
        fs::create_directories(folder / "common");
        auto check = std::make_unique<CPhraseCheck>((folder / "common").string());
        languages = check.get();
        CApp::SetLanguageManager(std::move(check));
        languages->SetLanguage(Language());
        MakeShows();

        CCoreSetup setup;
        setup.link.network = &network;
        setup.link.threads = false;
        setup.link.broadcastTargets = std::vector<CIpAddress>();
        setup.optionsFolder = (folder / "options").string();
        setup.showFolder = Shows();
        setup.createExplanations = [](COptions& options) -> std::unique_ptr<COptionsHints> {
            auto hints = std::make_unique<CExplanationManager>();
            hints->Init(&options);
            hints->Load(Resources());
            return hints;
        };
        core = CCore::Create(0, nullptr, setup);
        core->GetPersonalityManager()->LoadFile(Resources() + "/personalities/personalities.xml", false);
        canvas = CZevralImage(768 * Scale(), 1024 * Scale());
        root = std::make_unique<CAreaMain>(nullptr, 768 * Scale(), 1024 * Scale(), core.get());
        const CLanguage* language = languages->FindLanguage(Language());
        shots = fs::path(TANZO_BINARY_DIR) / "screens" /
                ((language ? language->GetFileName() : Language()) + (Scale() > 1 ? "-large" : ""));
        fs::remove_all(shots);
        fs::create_directories(shots);
    }
    ~EveryScreen() override
    {
        root.reset();
        core.reset();
        CApp::SetLanguageManager(nullptr);
        SetClickSoundListener(nullptr);
        CApp::SetScreenClass(kNormalScreen);
    }
    static std::string Language() { return std::get<0>(GetParam()); }
    static uint32_t ScreenClass() { return std::get<1>(GetParam()); }
    static uint32_t Scale() { return ScreenClass() == kLargeScreen ? 2 : 1; }
    std::string Shows() const { return (folder / "shows").string(); }

    // More shows than the list shows at once, one with a name longer than its column, one that
    // may not be written.
    void MakeShows() const
    {
        fs::create_directories(Shows());
        const std::string show = "<?xml version=\"1.0\" ?><show application=\"Programmer\" version=\"1.7.0\"/>";
        for (int i = 1; i <= 24; ++i)
            std::ofstream(Shows() + "/Tour 2024 night " + std::to_string(i) + ".show") << show;
        std::ofstream(Shows() + "/Winter gala in the great hall with the full rig and every special.show") << show;
        std::ofstream(Shows() + "/Factory demo.show")
            << "<?xml version=\"1.0\" ?><show application=\"Programmer\" readonly=\"true\"/>";
    }

    // One frame as the program runs it: the model, the areas, and the canvas where anything changed.
    void Frame(int frames = 1)
    {
        for (int i = 0; i < frames; ++i)
        {
            // The units answer discovery all the time.
            for (const char* address : {"10.0.0.2", "10.0.0.3"})
            {
                const std::string text = std::string("<?xml version=\"1.0\" ?> <zevral_identify label=\"KDX-1\"><ip>") +
                                         address + "</ip><port>16946</port></zevral_identify>";
                network.Arrive(CIpAddress(10, 0, 0, 1, 16945), text);
            }
            core->GetDeviceManager()->Pass(0);
            core->Update(0.04f);
            root->Tick(0.04f);
            if (root->NeedsRender())
                root->Render(CTextureAdapter(canvas), CPoint(), false);
        }
    }
    void Shot(const std::string& name)
    {
        Frame(30);
        lastShot = name;
        const std::string_view pixels(reinterpret_cast<const char*>(canvas.GetPixels()),
                                      size_t(canvas.GetStride()) * size_t(canvas.GetHeight()) * 4);
        const auto [earlier, first] = shown.emplace(std::hash<std::string_view>()(pixels), name);
        EXPECT_TRUE(first) << name << " shows the same pixels as " << earlier->second;
        ASSERT_TRUE(graphics_test::SavePng(canvas, (shots / (name + ".png")).string())) << name;
    }
    // The open dialog closed by a key, its result taken by the page.
    void Close(uint32_t key = kEscape)
    {
        CArea2* page = root->GetPage(root->GetPageIndex());
        ASSERT_TRUE(page && page->GetModalChild()) << "no dialog open on " << lastShot;
        Key(key);
        Frame(2);
    }
    void Key(uint32_t key)
    {
        bool down = false;
        bool up = false;
        root->KeyDown(key, &down);
        root->KeyUp(key, &up);
    }
    void Click(const CPoint& at)
    {
        bool handled = false;
        root->PointerDown(0, at, 1, &handled);
        handled = false;
        root->PointerUp(0, at, &handled);
    }
    void Click(const CArea2* area) { Click(area->GetRect().GetCentre()); }
    // A click and a second one straight after it, as the event pump hands a double click on.
    void DoubleClick(const CPoint& at)
    {
        Click(at);
        bool handled = false;
        root->DoubleClick(0, at, 1, &handled);
    }
    // The middle of a cell of a list that is not scrolled.
    static CPoint Cell(const CAreaGrid* list, uint32_t column, int32_t row)
    {
        const int32_t height = int32_t(list->GetRowHeight());
        return list->GetPosition() + list->GetContentOrigin() +
               CPoint(list->GetColumnRect(column).GetCentre().GetX(), row * height + height / 2);
    }
    void Drag(const CPoint& from, const CPoint& to)
    {
        bool handled = false;
        root->PointerDown(0, from, 1, &handled);
        for (int i = 1; i <= 10; ++i)
            root->PointerMove(0, from + CPoint((to.GetX() - from.GetX()) * i / 10, (to.GetY() - from.GetY()) * i / 10));
        handled = false;
        root->PointerUp(0, to, &handled);
    }
    CArea2* Page(uint32_t index)
    {
        root->SetPage(index);
        Frame();
        return root->GetPage(index);
    }
    // The page's button of that caption, as it reads in the language shown.
    template <class T = CAreaButton>
    T* Captioned(const CArea2* page, const std::string& english) const
    {
        const std::string caption = CApp::Translate(english, true);
        for (uint32_t i = 0; i < page->GetChildCount(); ++i)
            if (T* button = dynamic_cast<T*>(page->GetChild(i)); button && button->GetCaption() == caption)
                return button;
        ADD_FAILURE() << english;
        return nullptr;
    }
    template <class T>
    std::vector<T*> Children(const CArea2* page) const
    {
        std::vector<T*> found;
        for (uint32_t i = 0; i < page->GetChildCount(); ++i)
            if (T* child = dynamic_cast<T*>(page->GetChild(i)))
                found.push_back(child);
        return found;
    }

    // What the controller reports: playbacks with long labels, cues, patched fixtures, units.
    void Controller()
    {
        CPlaybackManager* playbacks = core->GetPlaybackManager();
        const char* labels[] = {"Intro", "House lights", "Verse wash blue and amber", "Chorus", "Strobe"};
        for (uint32_t i = 0; i < 5; ++i)
            playbacks->ApplyMessage(Reply(MANAGER_PLAYBACK, COMMAND_GET_LABEL, i, 0, 0, CMessageValue(labels[i])));
        playbacks->ApplyMessage(Reply(MANAGER_PLAYBACK, COMMAND_GET_COUNT, 0, 0, 0, CMessageValue(14u)));
        playbacks->ApplyMessage(Reply(MANAGER_CUE, COMMAND_GET_LABEL, 0, 1, 0, CMessageValue("Opening look")));
        playbacks->ApplyMessage(Reply(MANAGER_CUE, COMMAND_GET_FADE_TIME, 0, 1, 0, CMessageValue(2500u)));
        CCue::CBlock block{};
        block[CCue::kRecordSize + 16] = 0xFF;
        for (uint32_t cue : {0u, 1u, 3u})
            playbacks->GetPlayback(0)->GetCue(cue)->SetBlock(0, block.data(), CCue::kBlockSize);
        playbacks->SelectPlayback(playbacks->GetPlayback(0));

        // The selected fixtures have every attribute group; the position is off centre.
        CProgrammer* programmer = core->GetProgrammer();
        for (uint32_t group = 0; group < programmer->GetChangeCount(); ++group)
        {
            programmer->GetChange(group)->SetEnabled(true);
            const CMessageValue value = group == GROUP_POSITION ? CMessageValue(CCoordinate(0.8f, -0.3f))
                                                                : CMessageValue(0.1f + 0.05f * float(group));
            if (group != GROUP_COLOUR_MIX && group != GROUP_INTENSITY_FX && group != GROUP_POSITION_FX &&
                group != GROUP_COLOUR_MIX_FX)
                programmer->HandleMessage(Reply(MANAGER_PROGRAMMER_CHANGE, COMMAND_GET_VALUE, group, 0, 0, value));
        }

        CFixtureManager* fixtures = core->GetFixtureManager();
        const CPersonalityRef bar{"Cameo", "CLPIXBAR450PRO, CLPIXBAR650PRO", "9-CH", "010C04050609091616"};
        const char* names[] = {"Spot SL", "Spot SR", "Wash upstage centre left", "Pixel bar"};
        for (uint32_t slot = 0; slot < 4; ++slot)
        {
            fixtures->HandleMessage(Record(MANAGER_FIXTURE, COMMAND_GET_PERSONALITY, slot, CMessageValue(bar.ToCsv())));
            fixtures->HandleMessage(Record(MANAGER_FIXTURE, COMMAND_GET_ADDRESS, slot, CMessageValue(1 + slot * 16)));
            fixtures->HandleMessage(Record(MANAGER_FIXTURE, COMMAND_GET_LABEL, slot, CMessageValue(names[slot])));
        }

        // Two units, one that answers with a long name and old firmware, one still silent.
        CDeviceManager* devices = core->GetDeviceManager();
        Frame();
        Frame();
        if (CDevice* unit = devices->FindDevice(CIpAddress(10, 0, 0, 2, 16946)))
        {
            const std::string label = "Main rack controller stage left";
            for (const auto& [command, data] :
                 {std::pair(DEVICE_GET_LABEL, std::vector<uint8_t>(label.begin(), label.end())),
                  std::pair(DEVICE_GET_VERSION_FIRMWARE, std::vector<uint8_t>{1, 11}),
                  std::pair(DEVICE_GET_VERSION_PCB, std::vector<uint8_t>{2, 0}),
                  std::pair(DEVICE_GET_ARTNET_ENABLED, std::vector<uint8_t>{1, 0, 0, 0}),
                  std::pair(DEVICE_GET_ARTNET_UNIVERSE, std::vector<uint8_t>{0x12, 0, 0, 0})})
            {
                CDevicePacket reply(command);
                reply.SetData(data.data(), uint32_t(data.size()));
                unit->HandleReply(reply);
            }
        }
        devices->SetConnectedAddress(CIpAddress(10, 0, 0, 2, 16946));
        Frame();
    }

    CSilentNetwork network;
    fs::path folder = FreshTestFolder();
    CPhraseCheck* languages = nullptr;
    std::unique_ptr<CCore> core;
    std::unique_ptr<CAreaMain> root;
    CZevralImage canvas;
    fs::path shots;
    std::string lastShot;
    // The screens saved so far, by a hash of their pixels.
    std::map<size_t, std::string> shown;
};
}  // namespace

TEST_P(EveryScreen, IsDrawnLegiblyInTheLanguage)
{
    Controller();

    CAreaPlayback* playback = static_cast<CAreaPlayback*>(Page(CAreaMain::kPagePlayback));
    Shot("01-playback");
    Key('n');
    Click(playback->GetPlaybackButton(2));
    Shot("02-playback-rename");
    Close();
    Key('p');
    Click(playback->GetPlaybackButton(2));
    Shot("03-playback-properties");
    Close();
    Key('p');
    Frame();

    CAreaSettings* settings = static_cast<CAreaSettings*>(Page(CAreaMain::kPageSettings));
    Shot("10-settings");
    CAreaGrid* shows = Children<CAreaGrid>(settings).back();
    const int32_t scale = int32_t(Scale());
    Drag(shows->GetRect().GetCentre() + CPoint(0, 150 * scale), shows->GetRect().GetCentre() - CPoint(0, 900 * scale));
    Shot("11-settings-show-list-end");
    Click(shows->GetPosition() + CPoint(40, 22));
    for (const auto& [button, name] : {std::pair(CAreaSettings::kDeviceIp, "12-settings-ip"),
                                       std::pair(CAreaSettings::kDeviceRename, "13-settings-unit-name"),
                                       std::pair(CAreaSettings::kArtNet, "14-settings-artnet"),
                                       std::pair(CAreaSettings::kAcn, "15-settings-sacn"),
                                       std::pair(CAreaSettings::kFileRemove, "16-settings-remove"),
                                       std::pair(CAreaSettings::kFileRename, "17-settings-show-name"),
                                       std::pair(CAreaSettings::kFileSave, "18-settings-save"),
                                       std::pair(CAreaSettings::kFileNew, "19-settings-hint")})
    {
        Click(settings->GetButton(button));
        Shot(name);
        Close();
    }
    // The silent network acknowledges none of the show's records: the operator leaves the loading.
    Click(settings->GetButton(CAreaSettings::kFileOpen));
    Shot("20-settings-loading");
    Close();
    // A double click on the old firmware of the unit in use, and on the unit that never answered
    // (which chooses it: the unit in use is chosen again after).
    CDeviceManager* devices = core->GetDeviceManager();
    const CAreaGrid* units = Children<CAreaGrid>(settings).front();
    const int32_t answering = devices->GetDeviceIndex(devices->FindDevice(CIpAddress(10, 0, 0, 2)));
    const int32_t silent = devices->GetDeviceIndex(devices->FindDevice(CIpAddress(10, 0, 0, 3)));
    DoubleClick(Cell(units, 2, answering));
    Shot("21-settings-firmware");
    Close();
    DoubleClick(Cell(units, 0, silent));
    Shot("22-settings-unit-silent");
    Close();
    Click(Cell(units, 0, answering));

    CArea2* patch = Page(CAreaMain::kPagePatch);
    Drag(Children<CAreaFixture>(patch).at(0)->GetRect().GetCentre(),
         Children<CAreaFixture>(patch).at(3)->GetRect().GetCentre());
    Shot("30-patch");
    for (const auto& [caption, name] : {std::pair("PERSONALITY", "31-patch-personality"),
                                        std::pair("RENAME", "32-patch-rename"), std::pair("ADDRESS", "33-patch-address")})
    {
        if (CAreaButton* button = Captioned(patch, caption))
            Click(button);
        Shot(name);
        Close();
    }

    core->GetPlaybackManager()->SelectPlayback(core->GetPlaybackManager()->GetPlayback(0));
    CArea2* edit = Page(CAreaMain::kPageEdit);
    CAreaCueGrid* cues = Children<CAreaCueGrid>(edit).at(0);
    Click(cues->GetPosition() + CPoint(int32_t(cues->GetHeight()) / 2, int32_t(cues->GetHeight()) / 2));
    Click(cues->GetPosition() + CPoint(int32_t(cues->GetHeight()) * 3 / 2, int32_t(cues->GetHeight()) / 2));
    Shot("40-edit");
    const std::vector<CAreaButtonSoft*> soft = Children<CAreaButtonSoft>(edit);
    for (const auto& [index, name] : {std::pair(0, "41-edit-position-fx"), std::pair(3, "42-edit-colour-fx"),
                                      std::pair(4, "43-edit-intensity-fx")})
    {
        Click(soft.at(size_t(index)));
        Shot(name);
        Close(kReturn);
    }
    Key('d');
    Shot("44-edit-delay");
    Close();
    if (CAreaButton* rename = Captioned(edit, "RENAME"))
        Click(rename);
    Shot("45-edit-rename-cue");
    Close();

    EXPECT_EQ(languages->missing, std::set<std::string>());
    EXPECT_EQ(g_smallTexts, std::set<std::string>()) << "smaller than " << g_legibleSize;
}

INSTANTIATE_TEST_SUITE_P(ShippedLanguages, EveryScreen,
                         ::testing::Combine(::testing::ValuesIn(kLanguages),
                                            ::testing::Values(kNormalScreen, kLargeScreen)),
                         [](const ::testing::TestParamInfo<EveryScreen::ParamType>& info) {
                             return std::to_string(info.index);
                         });
