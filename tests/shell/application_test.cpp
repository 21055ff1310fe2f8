// Start-up and shutdown of the application, its screen classes and its loop.
#include "shell/application.h"

#include "graphics/skin_manager.h"
#include "graphics/texture_adapter.h"
#include "shell/app_model.h"
#include "shell/application_parts.h"
#include "shell/audio_out_manager.h"
#include "shell/logger.h"
#include "shell/translator.h"
#include "tests/shell/services_test_support.h"
#include "widgets/area.h"
#include "widgets/area_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{
class CQuietModel : public CAppModel
{
public:
    void Update(float) override {}
    void Suspend() override {}
    void Resume() override {}
    bool LoadDeferred() override { return false; }
};

// The window's area tree around a root area, which it owns.
std::unique_ptr<CUserInterface> Window(CArea2* root)
{
    return std::make_unique<CAreaWindow>(std::unique_ptr<CArea2>(root));
}

// An application of a quiet model root and, once the window exists, a plain root area of its
// size; no skin, languages or fonts. Notes what stood when each part was asked for.
class CTestParts : public CApplicationParts
{
public:
    void LoadSkinAndGlyphs(const std::string& skinName) override { Asked("skin " + skinName); }
    // What it prepares is named for the screen class: it must be the one the window will have.
    void PrepareRootArea() override { Asked("prepare for class " + std::to_string(CApp::GetScreenClass())); }
    std::unique_ptr<CTranslator> CreateLanguageManager() override
    {
        Asked("languages");
        return nullptr;
    }
    std::unique_ptr<CAppModel> CreateModelRoot(int, char**) override
    {
        Asked("model");
        return std::make_unique<CQuietModel>();
    }
    void ScanFonts() override { Asked("fonts"); }
    std::unique_ptr<CUserInterface> CreateRootArea(uint32_t width, uint32_t height) override
    {
        Asked("root " + std::to_string(width) + "x" + std::to_string(height));
        return Window(new CArea2(nullptr, width, height));
    }

    std::vector<std::string> asked;

private:
    void Asked(const std::string& part)
    {
        asked.push_back(part + (SDL_WasInit(SDL_INIT_VIDEO) ? " video" : "") +
                        (CApp2::GetAudioOutManager() ? " clicks" : "") + (CApp::GetRenderer() ? " window" : ""));
    }
};

class Application : public ::testing::Test
{
protected:
    CApp2* Make() { return new CApp2(CVersion(1, 7, 0), 1, m_argv, "", &m_parts); }

    CTestParts m_parts;
    char m_name[32] = "/opt/tanzo/bin/Programmer";
    char* m_argv[2] = {m_name, nullptr};
};

}

TEST(App, ExecutableBaseNameIsCutAtTheLastDotOnly)
{
    EXPECT_EQ(CApp::GetExecutableBaseName("/usr/bin/a.b.c"), "a.b");
    EXPECT_EQ(CApp::GetExecutableBaseName("prog"), "prog");
    EXPECT_EQ(CApp::GetExecutableBaseName("./build/bin/Programmer"), "Programmer");
    EXPECT_EQ(CApp::GetExecutableBaseName("folder/"), "");
    EXPECT_EQ(CApp::GetExecutableBaseName(""), "");
}

TEST(ScreenClass, DesktopIsTheTallWindowWithoutSuffixAndTouchFollowsTheDisplay)
{
    const auto display = [](int w, int h) {
        SDL_DisplayMode mode = {};
        mode.w = w;
        mode.h = h;
        return mode;
    };
    EXPECT_EQ(CApp2::ChooseScreenClass(2, display(320, 480)), 5u);
    EXPECT_EQ(CApp2::ChooseScreenClass(1, display(3840, 2160)), 5u);

    EXPECT_EQ(CApp2::ChooseScreenClass(3, display(320, 480)), 0u);
    EXPECT_EQ(CApp2::ChooseScreenClass(3, display(640, 960)), 1u);
    EXPECT_EQ(CApp2::ChooseScreenClass(3, display(640, 1136)), 2u);
    EXPECT_EQ(CApp2::ChooseScreenClass(3, display(1536, 2048)), 6u);
    EXPECT_EQ(CApp2::ChooseScreenClass(3, display(768, 1024)), 5u);
    EXPECT_EQ(CApp2::ChooseScreenClass(3, display(750, 1334)), 3u);

    const uint32_t saved = CApp::GetScreenClass();
    const struct
    {
        uint32_t screenClass;
        const char* name;
        bool highResolution;
        const char* suffix;
        const char* shortSuffix;
    } table[] = {
        {0, "iPhone3", false, "3", "3"}, {1, "iPhone4", true, "4", "4"}, {2, "iPhone5", true, "5", "4"},
        {3, "iPhone6", true, "6", "4"},  {4, "iPhone6plus", true, "p", "4"}, {5, "iPad", false, "", ""},
        {6, "iPadRetina", true, "r", "r"}, {7, "Desktop", false, "", ""}, {8, "-", false, "0", "0"},
    };
    for (const auto& row : table)
    {
        CApp::SetScreenClass(row.screenClass);
        EXPECT_EQ(CApp2::GetScreenClassName(row.screenClass), row.name);
        EXPECT_EQ(CApp::IsHighResolution(), row.highResolution) << row.name;
        EXPECT_EQ(CSkinManager::GetSkinFileName("fader_track"), std::string("fader_track") + row.suffix);
        EXPECT_EQ(CSkinManager::GetSkinFileNameShort("button"), std::string("button") + row.shortSuffix);
    }
    EXPECT_EQ(CApp2::GetScreenClassSize(5), CPoint(768, 1024));
    EXPECT_EQ(CApp2::GetScreenClassSize(7), CPoint(800, 600));
    CApp::SetScreenClass(9);
    EXPECT_TRUE(CApp::IsHighResolution());
    CApp::SetScreenClass(saved);
}

TEST_F(Application, OpensTheTitledWindowAndReleasesEverythingAtShutdown)
{
    CApp2* app = Make();
    ASSERT_TRUE(app->IsVideoReady());
    SDL_Renderer* renderer = CApp::GetRenderer();
    ASSERT_NE(renderer, nullptr);
    SDL_Window* window = SDL_RenderGetWindow(renderer);
    ASSERT_NE(window, nullptr);
    EXPECT_STREQ(SDL_GetWindowTitle(window), "Tanzo Programmer");
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window, &width, &height);
    EXPECT_EQ(width, 768);
    EXPECT_EQ(height, 1024);
    EXPECT_EQ(CApp::GetScreenClass(), 5u);
    EXPECT_NE(app->GetRootArea(), nullptr);
    EXPECT_NE(app->GetModelRoot(), nullptr);
    EXPECT_FALSE(CApp::IsUpdateAvailable());  // the check is skipped without an update URL
    // The click-sound player comes with the first frame, which a quit already queued still runs.
    EXPECT_EQ(CApp2::GetAudioOutManager(), nullptr);
    SDL_Event quit = {};
    quit.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&quit), 1);
    EXPECT_EQ(app->Run(), 0);
    EXPECT_NE(CApp2::GetAudioOutManager(), nullptr);

    delete app;
    EXPECT_EQ(CApp::GetRenderer(), nullptr);
    EXPECT_EQ(CApp2::GetAudioOutManager(), nullptr);
    EXPECT_EQ(CApp::GetApplicationDataPath(), "");
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
}

TEST_F(Application, StartUpAsksForEachPartInItsPlace)
{
    delete Make();
    // The click-sound player is made only after the first frame.
    EXPECT_EQ(m_parts.asked,
              (std::vector<std::string>{"skin Programmer", "prepare for class 5", "languages video", "model video",
                                        "fonts video", "root 768x1024 video window"}));
}

TEST_F(Application, WithoutVideoItSaysWhySkipsTheLoopAndFails)
{
    // A driver that does not exist; and no display at all, where SDL would otherwise draw into
    // a window nobody sees (unless a console's own display answers).
    const bool console = std::filesystem::exists("/dev/dri");
    for (const char* driver : {"bogus", static_cast<const char*>(nullptr)})
    {
        if (!driver && console)
            continue;
        CScopedEnv chosen("SDL_VIDEODRIVER", driver);
        CScopedEnv x("DISPLAY", nullptr);
        CScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
        testing::internal::CaptureStdout();
        CApp2* app = Make();
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_FALSE(app->IsVideoReady());
        EXPECT_EQ(out.rfind(driver ? "ERROR SDL_Init: " : "ERROR SDL_Init: no display: ", 0), 0u) << out;
        EXPECT_EQ(app->GetRootArea(), nullptr);
        // Nor is the link opened, which would broadcast before the end.
        EXPECT_TRUE(std::none_of(m_parts.asked.begin(), m_parts.asked.end(),
                                 [](const std::string& part) { return part.rfind("model", 0) == 0; }));
        // A loop with a window would run until killed.
        if (!app->IsVideoReady())
        {
            EXPECT_EQ(app->Run(), 1);
        }
        delete app;
    }
}

namespace
{
// The log's lines without their time stamps.
std::vector<std::string> LogLines()
{
    std::vector<std::string> lines;
    for (const std::string& line : CApp::GetLogger()->GetLines())
        lines.push_back(line.substr(line.find("] ") + 2));
    return lines;
}

// Counts its paints and ends the loop after a given number of frames.
class CPaintingArea : public CArea2
{
public:
    explicit CPaintingArea(int frames) : CArea2(nullptr, 768, 1024), m_frames(frames) { SetVisibleFlag(true); }

    void Tick(float seconds) override
    {
        EXPECT_FLOAT_EQ(seconds, 0.04f);
        if (++m_ticks == m_frames)
        {
            SDL_Event quit = {};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
        }
        if (m_ticks == m_dirtyAt)
            SetDirty();
        if (m_onTick)
            m_onTick(m_ticks);
    }

    int m_ticks = 0;
    int m_paints = 0;
    int m_dirtyAt = 0;
    std::function<void(int)> m_onTick;
    CRect m_canvasWindow;

protected:
    void Paint(CTextureAdapter& canvas) override
    {
        ++m_paints;
        m_canvasWindow = CRect(0, 0, canvas.GetWidth(), canvas.GetHeight());
        canvas.Fill(CRgbaColour(200, 10, 10, 255));
    }

private:
    int m_frames;
};
}

TEST_F(Application, StartUpLogsThePlatformTheFoldersAndTheAddresses)
{
    CApp2* app = Make();
    const std::vector<std::string> all = LogLines();
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all[0], "[Logger] Open");
    // The skin and the glyph pages report their loading in between.
    const auto platform = std::find(all.begin(), all.end(), "[App] Platform: Linux");
    ASSERT_NE(platform, all.end());
    const std::vector<std::string> lines(platform, all.end());
    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(lines[1], "[App] Number of logical CPU cores: " + std::to_string(SDL_GetCPUCount()));
    EXPECT_EQ(lines[2], "[App] Binary path: " + CApp::GetBinaryPath());
    EXPECT_EQ(lines[3], "[App] Application Data path: " + CApp::GetApplicationDataPath());
    EXPECT_EQ(lines[4], "[App] Common Data path: " + CApp::GetCommonDataPath());
    EXPECT_EQ(lines[5], "[App] Resources Specific path: " + CApp::GetResourcesSpecificPath());
    EXPECT_EQ(lines[6], "[App] Resources Shared path: " + CApp::GetResourcesSharedPath());
    const uint32_t count = CApp::GetLocalAddressCount();
    EXPECT_EQ(lines[7], "[App] " + std::to_string(count) + (count < 2 ? " IP address found:" : " IP addresses found:"));
    ASSERT_GE(lines.size(), 8u + count);
    for (uint32_t i = 0; i < count; ++i)
        EXPECT_EQ(lines[8 + i], "[App] - " + CApp::GetLocalAddress(i).ToText());
    EXPECT_EQ(CApp::GetLocalAddress(count).ToText(), "0.0.0.0");
    EXPECT_EQ(CApp::GetLocalAddress(count).GetPort(), 0);
    delete app;
}

TEST_F(Application, LoopDrawsOnlyWhenTheTreeIsDirty)
{
    CApp2* app = Make();
    ASSERT_TRUE(app->IsVideoReady());
    auto* root = new CPaintingArea(4);
    root->m_dirtyAt = 3;
    app->SetRootArea(Window(root));
    const uint32_t textures = CApp::GetTextureCounter();

    EXPECT_EQ(app->Run(), 0);
    // The quit posted in the fourth frame is taken by the fifth, which still ends normally.
    EXPECT_EQ(root->m_ticks, 5);
    // Painted in the first frame (new areas are dirty) and in the third; clean frames draw nothing.
    EXPECT_EQ(root->m_paints, 2);
    EXPECT_FALSE(root->NeedsRender());
    EXPECT_EQ(root->m_canvasWindow, CRect(0, 0, 768, 1024));
    EXPECT_EQ(CApp::GetTextureCounter(), textures + 1);  // the canvas
    delete app;
}

namespace
{
// What the application still holds when its root area goes.
struct SAtRootRelease
{
    bool released = false;
    bool clickPlayer = true;
    bool renderer = false;
    bool video = false;
    bool modelRoot = false;
    std::string lastLine;
};

class CWatchingRoot : public CArea2
{
public:
    CWatchingRoot(SAtRootRelease& seen, const CApp2& app) : CArea2(nullptr, 768, 1024), m_seen(seen), m_app(app) {}
    ~CWatchingRoot() override
    {
        m_seen.released = true;
        m_seen.clickPlayer = CApp2::GetAudioOutManager() != nullptr;
        m_seen.renderer = CApp::GetRenderer() != nullptr;
        m_seen.video = SDL_WasInit(SDL_INIT_VIDEO) != 0;
        m_seen.modelRoot = m_app.GetModelRoot() != nullptr;
        if (CApp::GetLogger() && !CApp::GetLogger()->GetLines().empty())
            m_seen.lastLine = CApp::GetLogger()->GetLines().back();
    }

private:
    SAtRootRelease& m_seen;
    const CApp2& m_app;
};
}

TEST_F(Application, ShutdownLogsTheTextureCountAndClosesTheLog)
{
    CTempFolder home;
    CScopedEnv data("XDG_DATA_HOME", home.Path().c_str());
    CApp2* app = Make();
    const std::string logs = CApp::GetApplicationDataPath() + "/Logs";
    SAtRootRelease seen;
    app->SetRootArea(Window(new CWatchingRoot(seen, *app)));
    delete app;

    // The count is logged, the click player goes, then the root area, then the window and SDL,
    // and the model root only after them.
    ASSERT_TRUE(seen.released);
    EXPECT_NE(seen.lastLine.find("[App] debug counter = "), std::string::npos) << seen.lastLine;
    EXPECT_FALSE(seen.clickPlayer);
    EXPECT_TRUE(seen.renderer);
    EXPECT_TRUE(seen.video);
    EXPECT_TRUE(seen.modelRoot);

    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(logs))
        files.push_back(entry.path().string());
    ASSERT_EQ(files.size(), 1u);
    std::vector<std::string> lines;
    for (const std::string& line : ReadLines(files[0]))
        lines.push_back(line.substr(line.find("] ") + 2));
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2].rfind("[App] debug counter = ", 0), 0u) << lines[lines.size() - 2];
    EXPECT_EQ(lines.back(), "[Logger] Close");
}

namespace
{
// What the window shows at a point, as red.
uint32_t RedAt(int x, int y)
{
    const SDL_Rect probe = {x, y, 1, 1};
    uint32_t pixel = 0;
    EXPECT_EQ(SDL_RenderReadPixels(CApp::GetRenderer(), &probe, SDL_PIXELFORMAT_ABGR8888, &pixel, 4), 0);
    return pixel & 0xFF;
}

// Paints in the first frame; in the second the window loses what it showed, and optionally the
// window system reports it uncovered.
uint32_t RedAfterTheWindowLostItsPixels(CApp2* app, bool exposed)
{
    auto* root = new CPaintingArea(3);
    root->m_onTick = [exposed](int tick) {
        if (tick != 2)
            return;
        SDL_SetRenderDrawColor(CApp::GetRenderer(), 0, 0, 255, 255);
        SDL_RenderClear(CApp::GetRenderer());
        SDL_RenderPresent(CApp::GetRenderer());
        if (!exposed)
            return;
        SDL_Event event = {};
        event.type = SDL_WINDOWEVENT;
        event.window.event = SDL_WINDOWEVENT_EXPOSED;
        SDL_PushEvent(&event);
    };
    app->SetRootArea(Window(root));
    EXPECT_EQ(app->Run(), 0);
    EXPECT_EQ(root->m_paints, 1);
    return RedAt(100, 100);
}
}

TEST_F(Application, AnUncoveredWindowIsPresentedAgain)
{
    CApp2* app = Make();
    ASSERT_TRUE(app->IsVideoReady());
    EXPECT_EQ(RedAfterTheWindowLostItsPixels(app, true), 200u);
    delete app;

    app = Make();
    EXPECT_EQ(RedAfterTheWindowLostItsPixels(app, false), 0u);
    delete app;
}
