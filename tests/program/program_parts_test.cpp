// The program as its entry point builds it: the parts above the shell made at their places in the
// application's start-up and wired to one another. Creates the model root: run through ctest only.
#include "program/program_parts.h"

#include "graphics/explanation_manager.h"
#include "graphics/language_manager.h"
#include "graphics/skin_manager.h"
#include "graphics/texture_adapter.h"
#include "graphics/zevral_image.h"
#include "model/core.h"
#include "screens/pages/area_main.h"
#include "shell/application.h"
#include "tests/shell/services_test_support.h"
#include "tests/support/test_folder.h"
#include "widgets/area_window.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace fs = boost::filesystem;

TEST(ProgramRootArea, TheFirstFrameShowsThePlaybackPageFromTheSkin)
{
    char name[16] = "Programmer";
    char* argv[2] = {name, nullptr};
    CProgramParts parts;
    CApp2 app(CVersion(1, 7, 0), 1, argv, "", &parts);
    ASSERT_TRUE(app.IsVideoReady());
    const auto* window = dynamic_cast<CAreaWindow*>(app.GetRootArea());
    ASSERT_NE(window, nullptr);
    ASSERT_NE(dynamic_cast<CAreaMain*>(window->GetRoot()), nullptr);
    SDL_Event quit = {};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    EXPECT_EQ(app.Run(), 0);

    const CZevralImage background = CSkinManager::Instance().GetImage("background_playback", 32);
    for (const CPoint& p : {CPoint(5, 5), CPoint(300, 12), CPoint(200, 900)})
    {
        const SDL_Rect probe = {p.GetX(), p.GetY(), 1, 1};
        uint32_t shown = 0;
        ASSERT_EQ(SDL_RenderReadPixels(CApp::GetRenderer(), &probe, SDL_PIXELFORMAT_ABGR8888, &shown, 4), 0);
        ASSERT_EQ(background.GetPixel(p).GetAlpha(), 255);
        EXPECT_EQ(shown & 0xFFFFFF, background.GetPixel(p).GetValue() & 0xFFFFFF) << p.ToString();
    }
}

// The languages and hints as the application starts them: the shipped files are copied and
// read, the options file chooses the language and silences hints, and the choices made while
// the program runs reach the options.
TEST(LanguageApplication, StartUpLoadsTheLanguagesAndTheOptionsChooseAmongThem)
{
    const fs::path home = FreshTestFolder();
    CScopedEnv xdg("XDG_DATA_HOME", home.string().c_str());
    fs::create_directories(home / "Zevral/Programmer");
    std::ofstream((home / "Zevral/Programmer/options.xml").string())
        << "<zevral><options><language>deutsch</language>"
           "<ignore_explanations><id>1</id></ignore_explanations></options></zevral>";

    char name[] = "Programmer";
    char* argv[] = {name, nullptr};
    CProgramParts parts;
    CApp2* app = new CApp2(CVersion(1, 7, 0), 1, argv, "", &parts);
    CLanguageManager* languages = CLanguageManager::FromApplication();
    ASSERT_NE(languages, nullptr);
    EXPECT_EQ(languages->GetLanguageCount(), 3u);
    EXPECT_TRUE(fs::exists(home / "Zevral/Common/Languages/Factory/francais.xml"));
    EXPECT_EQ(CApp::Translate("Cancel", false), "Abbrechen");

    COptions* options = parts.GetCore()->GetOptions();
    languages->SetLanguage("English");
    EXPECT_EQ(options->GetLanguage(), "English");
    EXPECT_EQ(CApp::Translate("Cancel", true), "CANCEL");

    auto* hints = dynamic_cast<CExplanationManager*>(parts.GetCore()->GetExplanations());
    ASSERT_NE(hints, nullptr);
    EXPECT_GE(hints->GetExplanationCount(), 1u);
    std::string text = "x";
    hints->GetExplanation(1, text);
    EXPECT_EQ(text, "") << "silenced by the options file";

    delete app;
    EXPECT_EQ(CApp::GetLanguageManager(), nullptr);
    EXPECT_EQ(CApp::Translate("Cancel", true), "Cancel");
}

namespace
{
// The playback page as one renderer shows it after the first frame, and as the area tree paints
// it into memory (over black, where the window starts).
struct SPageOnRenderer
{
    std::string renderer;
    std::vector<uint32_t> window;
    std::vector<uint32_t> painted;
};

bool ShowPageOn(const char* driver, char** argv, SPageOnRenderer& page)
{
    CScopedEnv renderDriver("SDL_RENDER_DRIVER", driver);
    CScopedEnv framebuffer("SDL_FRAMEBUFFER_ACCELERATION", "0");
    CProgramParts parts;
    CApp2 app(CVersion(1, 7, 0), 1, argv, "", &parts);
    SDL_RendererInfo info{};
    if (!app.IsVideoReady() || SDL_GetRendererInfo(CApp::GetRenderer(), &info) != 0 || info.name != std::string(driver))
        return false;
    page.renderer = info.name;
    // One frame, then the loop ends.
    SDL_Event quit = {};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    EXPECT_EQ(app.Run(), 0);
    page.window.assign(768 * 1024, 0);
    EXPECT_EQ(SDL_RenderReadPixels(CApp::GetRenderer(), nullptr, SDL_PIXELFORMAT_ABGR8888, page.window.data(), 768 * 4), 0);

    CZevralImage memory(768, 1024);
    const CTextureAdapter whole(memory);
    CTextureAdapter view(CRect(0, 0, 768, 1024), whole);
    static_cast<CAreaWindow*>(app.GetRootArea())->GetRoot()->Render(view, CPoint(0, 0), true);
    page.painted.resize(768 * 1024);
    for (int y = 0; y < 1024; ++y)
        for (int x = 0; x < 768; ++x)
        {
            const uint32_t pixel = memory.GetPixel(uint32_t(x), uint32_t(y)).GetValue();
            const uint32_t alpha = pixel >> 24;
            uint32_t over = 0xFF000000u;
            for (int shift = 0; shift < 24; shift += 8)
                over |= (((pixel >> shift) & 0xFFu) * alpha / 255u) << shift;
            page.painted[size_t(y) * 768 + size_t(x)] = over;
        }
    return true;
}

// Pixels whose colour differs by more than the rounding of blending a canvas pixel that is not
// wholly opaque over the window's black (renderers round that in their own ways).
size_t Differing(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b)
{
    size_t count = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        for (int shift = 0; shift < 24; shift += 8)
            if (std::abs(int((a[i] >> shift) & 0xFFu) - int((b[i] >> shift) & 0xFFu)) > 2)
            {
                ++count;
                break;
            }
    return count;
}
}

// The window shows what the area tree painted, on SDL's software renderer (what a machine without
// a GPU gets) and on every accelerated renderer this display offers, to the rounding of blending
// the canvas's few partly transparent pixels over black: a channel order mixed up on the way to
// the window, a canvas no longer blended, a renderer that scales or converts differently show here. Under the dummy video driver only the software
// renderer exists; the same test runs under Xvfb too (shell.renderer_pixels_xvfb), where Mesa's
// OpenGL renderer, the code a GPU runs, is compared with it.
TEST(Application, APageShowsTheSamePixelsOnEveryRenderer)
{
    char name[16] = "Programmer";
    char* argv[2] = {name, nullptr};
    std::vector<SPageOnRenderer> pages;
    for (const char* driver : {"software", "opengl", "opengles2"})
    {
        SPageOnRenderer page;
        if (ShowPageOn(driver, argv, page))
            pages.push_back(page);
        else
            std::printf("No %s renderer can be made here: not compared\n", driver);
    }
    ASSERT_FALSE(pages.empty());
    EXPECT_EQ(pages.front().renderer, "software");
    for (const SPageOnRenderer& page : pages)
    {
        EXPECT_EQ(Differing(page.window, page.painted), 0u) << page.renderer << " against the painted page";
        EXPECT_EQ(Differing(page.window, pages.front().window), 0u) << page.renderer << " against software";
    }
}
