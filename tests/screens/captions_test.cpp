// The captions of the edit page's faders and of its effect dialog, in each shipped language on the
// normal and the large screen: each reads whole in its box, and no two read alike, so that no
// caption is left to a middle cut that makes it say something else or the same as its neighbour.
// Creates the model root: run through ctest only.
#include "graphics/font_manager.h"
#include "graphics/glyph_manager.h"
#include "graphics/language_manager_desktop.h"
#include "graphics/skin_manager.h"
#include "model/core.h"
#include "model/playback_manager.h"
#include "model/programmer.h"
#include "screens/dialogs/dialog_fx.h"
#include "screens/pages/area_main.h"
#include "tests/support/silent_network.h"
#include "tests/support/test_folder.h"
#include "widgets/area_fader_soft.h"
#include "widgets/click_sound.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace
{
// The screen classes of the normal and the large screen.
constexpr uint32_t kNormalScreen = 5;
constexpr uint32_t kLargeScreen = 6;

std::string Resources()
{
    return std::string(TANZO_BINARY_DIR) + "/Resources";
}

class Captions : public ::testing::TestWithParam<std::tuple<std::string, uint32_t>>
{
protected:
    Captions()
    {
        SetClickSoundListener([](const std::string&) {});
        CApp::SetScreenClass(std::get<1>(GetParam()));
        CSkinManager::Instance().LoadFolder(Resources() + "/skin");
        CGlyphManager::Instance().LoadFolder(Resources() + "/glyphs");
        CFontManager::Instance().ScanFolder(Resources() + "/fonts");
        const boost::filesystem::path folder = FreshTestFolder();
        boost::filesystem::create_directories(folder / "common");
        auto languages = std::make_unique<CLanguageManagerDesktop>(Resources(), (folder / "common").string(),
                                                                   CVersion(1, 7, 0));
        languages->SetLanguage(std::get<0>(GetParam()));
        CApp::SetLanguageManager(std::move(languages));
        CCoreSetup setup;
        setup.link.network = &network;
        setup.link.threads = false;
        setup.link.broadcastTargets = std::vector<CIpAddress>();
        setup.optionsFolder = (folder / "options").string();
        core = CCore::Create(0, nullptr, setup);
        core->GetPlaybackManager()->SelectPlayback(core->GetPlaybackManager()->GetPlayback(0));
        const uint32_t s = std::get<1>(GetParam()) == kLargeScreen ? 2 : 1;
        root = std::make_unique<CAreaMain>(nullptr, 768 * s, 1024 * s, core.get());
    }
    ~Captions() override
    {
        root.reset();
        core.reset();
        CApp::SetLanguageManager(nullptr);
        SetClickSoundListener(nullptr);
        CApp::SetScreenClass(kNormalScreen);
    }

    // The faders among an area's children.
    static std::vector<const CAreaFaderSoft*> Faders(const CArea2* area)
    {
        std::vector<const CAreaFaderSoft*> found;
        for (uint32_t i = 0; area && i < area->GetChildCount(); ++i)
            if (const auto* fader = dynamic_cast<const CAreaFaderSoft*>(area->GetChild(i)))
                found.push_back(fader);
        return found;
    }

    CSilentNetwork network;
    std::unique_ptr<CCore> core;
    std::unique_ptr<CAreaMain> root;
};
}  // namespace

TEST_P(Captions, EveryFaderCaptionReadsWholeAndApartFromTheOthers)
{
    root->SetPage(CAreaMain::kPageEdit);
    CArea2* page = root->GetPage(CAreaMain::kPageEdit);
    const CArea2* effects = page->ShowDialog(std::make_unique<CDialogFx>(page, GROUP_POSITION_FX));
    for (const auto& [name, area] : {std::pair<const char*, const CArea2*>("edit page", page),
                                     std::pair<const char*, const CArea2*>("effect dialog", effects)})
    {
        const std::vector<const CAreaFaderSoft*> faders = Faders(area);
        EXPECT_FALSE(faders.empty()) << name;
        // Read as the operator reads them, letter case aside.
        std::map<std::string, std::string> seen;
        for (const CAreaFaderSoft* fader : faders)
        {
            const std::string caption = fader->GetCaption();
            EXPECT_TRUE(fader->CaptionFits(caption)) << name << ": \"" << caption << "\" is cut";
            std::string key = caption;
            for (char& c : key)
                c = char(std::toupper(static_cast<unsigned char>(c)));
            EXPECT_TRUE(seen.emplace(key, caption).second)
                << name << ": \"" << caption << "\" reads like \"" << seen[key] << "\"";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(ShippedLanguages, Captions,
                         ::testing::Combine(::testing::Values("English", "Deutsch", "Français"),
                                            ::testing::Values(kNormalScreen, kLargeScreen)),
                         [](const ::testing::TestParamInfo<Captions::ParamType>& info) {
                             return std::to_string(info.index);
                         });
