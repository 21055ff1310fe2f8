#include "shell/application.h"

#include "shell/app_model.h"
#include "shell/application_parts.h"
#include "shell/audio_out_manager.h"
#include "shell/frame_timer.h"
#include "shell/platform.h"
#include "shell/renderer_probe.h"
#include "shell/text_input_request.h"
#include "shell/translator.h"
#include "shell/update_check.h"
#include "shell/user_interface.h"

#include <SDL_net.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace
{
SDL_Window* g_window = nullptr;

struct CScreenClassInfo
{
    const char* name;
    int width;
    int height;
};

constexpr CScreenClassInfo kScreenClasses[] = {
    {"iPhone3", 320, 480},
    {"iPhone4", 640, 960},
    {"iPhone5", 640, 1136},
    {"iPhone6", 750, 1334},
    {"iPhone6plus", 1242, 2208},
    {"iPad", 768, 1024},
    {"iPadRetina", 1536, 2048},
    {"Desktop", 800, 600},
    {"-", 768, 1024},
};
constexpr uint32_t kScreenClassCount = sizeof(kScreenClasses) / sizeof(kScreenClasses[0]);
// The screen class of every platform but the touch one, for this application.
constexpr uint32_t kDesktopScreenClass = 5;
// Long enough for a GPU driver's first start; a probe that takes longer is taken for a broken one.
constexpr uint32_t kRendererProbeLimit = 3000;

const CScreenClassInfo& ScreenClassInfo(uint32_t screenClass)
{
    return kScreenClasses[screenClass < kScreenClassCount ? screenClass : kScreenClassCount - 1];
}

int EventFilter(void* application, SDL_Event* event)
{
    static_cast<CApp2*>(application)->OnAppEvent(*event);
    return 1;
}

bool UserChoseVideoDriver()
{
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    return driver && *driver;
}

// SDL's drivers that show nothing anyone sees: they only stand in for a display.
bool ShowsOnADisplay(const char* driver)
{
    const std::string name = driver ? driver : "";
    return !name.empty() && name != "offscreen" && name != "dummy" && name != "evdev";
}

void Print(const std::string& line)
{
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}
}

CApp2::CApp2(const CVersion& version, int argc, char** argv, const std::string&, CApplicationParts* parts)
    : CApp(version, argc, argv), m_ticks([] { return static_cast<uint64_t>(SDL_GetTicks()); })
{
    // The rest of the base's start-up: the skin and the glyph pages live in a layer the base does
    // not know, so they are loaded here, before anything else of this class.
    if (parts)
        parts->LoadSkinAndGlyphs(GetBaseName());
    // What the root area shows first starts being prepared beside SDL's start. Off the touch
    // platform the screen class, and with it the skin's file names, follows from the platform
    // alone; it is chosen again at its place below.
    if (parts && GetPlatformType() != CPlatform::kIos)
    {
        SetScreenClass(ChooseScreenClass(GetPlatformType(), SDL_DisplayMode{}));
        parts->PrepareRootArea();
    }

    bool videoStarted = true;
    if (SDL_Init(SDL_INIT_VIDEO) < 0)
    {
        videoStarted = false;
        ReportVideoFailure("ERROR SDL_Init");
    }
    else if (!UserChoseVideoDriver() && !ShowsOnADisplay(SDL_GetCurrentVideoDriver()))
    {
        // Without an X server or Wayland SDL falls back to a driver that draws nowhere: the
        // program would run unseen until killed.
        videoStarted = false;
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_SetError("%s", "no display: neither an X server nor a Wayland compositor answered; "
                           "SDL_VIDEODRIVER may name another video driver");
        ReportVideoFailure("ERROR SDL_Init");
    }
    // Text input runs only while an area that takes text asks for it.
    CTextInputRequest::StopUnrequested();
    // Where the display may offer a GPU, a child process finds out which renderer suits it while
    // start-up goes on; a renderer the user names needs no probe.
    CRendererFacts renderer;
    if (const char* driver = std::getenv("SDL_RENDER_DRIVER"))
        renderer.userRenderDriver = driver;
    std::unique_ptr<CRendererProbe> probe;
    if (videoStarted && renderer.userRenderDriver.empty())
    {
        renderer.directRendering = CRendererProbe::DisplayOffersDirectRendering();
        if (renderer.directRendering)
            probe = std::make_unique<CRendererProbe>(GetBinaryPath() + "/" + CRendererProbe::kProgramName);
    }
    if (SDLNet_Init() != 0)
        Print("ERROR SDLNet_Init");
    GatherLocalAddresses();

    LogInfo();

    m_frameClock = std::make_unique<CProgramFrameClock>();
    m_frameTimer = std::make_unique<CFrameTimer>(kFramesPerSecond, *m_frameClock);

    SDL_DisplayMode mode = {};
    if (SDL_GetCurrentDisplayMode(0, &mode) != 0)
        mode = SDL_DisplayMode{};
    SetDisplayMode(mode);
    SetScreenClass(ChooseScreenClass(GetPlatformType(), mode));

    if (parts && GetPlatformType() == CPlatform::kIos)
        parts->PrepareRootArea();
    // The base owns it and deletes it last, after everything that translates.
    if (parts)
        SetLanguageManager(parts->CreateLanguageManager());

    // The click-sound player comes once the window shows its first frame (StartClickSounds): its
    // library and the device would only hold the window up, and nothing clicks before it shows.
    // Without video the program is about to end: its model would only open the link and send a
    // discovery broadcast onto the network first.
    if (parts && videoStarted)
    {
        m_model = parts->CreateModelRoot(argc, argv);
        parts->ScanFonts();
    }

    if (videoStarted)
    {
        int width = 0;
        int height = 0;
        uint32_t flags = 0;
        GetWindowSize(width, height, flags);
        if (probe)
            probe->Collect(kRendererProbeLimit, renderer);
        CreateWindow(width, height, flags, ChooseRenderer(renderer));
        if (m_videoReady && parts)
            m_root = parts->CreateRootArea(static_cast<uint32_t>(width), static_cast<uint32_t>(height));
    }

    SDL_SetEventFilter(EventFilter, this);
    // Without video the program is about to end: asking for updates would only delay that.
    if (m_videoReady)
        CheckForUpdate();
}

CApp2::~CApp2()
{
    // A check still on is abandoned.
    m_updateCheck.reset();
    // The device link's thread must stop before the areas that observe it go.
    if (m_model)
        m_model->Suspend();

    Log("App", "debug counter = " + std::to_string(GetTextureCounter()), 1);
    CAudioOutManager::SetProgramPlayer(nullptr);
    m_audio.reset();
    m_root.reset();
    DestroyWindow();

    SDL_SetEventFilter(nullptr, nullptr);
    SDLNet_Quit();
    SDL_Quit();

    m_frameTimer.reset();
    m_frameClock.reset();
    // After SDL has gone; the language manager, which the base deletes last, outlives it.
    m_model.reset();
}

void CApp2::LogInfo()
{
    Log("App", std::string("Platform: ") + SDL_GetPlatform(), 1);
    Log("App", "Number of logical CPU cores: " + std::to_string(SDL_GetCPUCount()), 1);
    CApp::LogInfo();
}

void CApp2::ReportVideoFailure(const std::string& what)
{
    const std::string line = what + ": " + SDL_GetError();
    Print(line);
    Log("App", line, 1);
}

void CApp2::CreateWindow(int width, int height, uint32_t flags, const CRendererChoice& choice)
{
    // The window's pixels then live in shared memory with the X server instead of in a texture of
    // an OpenGL renderer. A user's own SDL_FRAMEBUFFER_ACCELERATION still has the last word.
    if (choice.software)
        SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
    g_window = SDL_CreateWindow("", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height, flags);
    if (!g_window)
    {
        ReportVideoFailure("ERROR SDL_CreateWindow");
        return;
    }

    SDL_Renderer* renderer =
        SDL_CreateRenderer(g_window, -1, choice.software ? SDL_RENDERER_SOFTWARE : SDL_RENDERER_ACCELERATED);
    // Without an accelerated driver (a virtual display, say) the software renderer does the work.
    if (!renderer)
        renderer = SDL_CreateRenderer(g_window, -1, 0);
    // Named only now: an OpenGL renderer makes SDL replace the window by one of a suitable kind,
    // and whatever looks for the program's window by its name must never find the one that goes.
    SDL_SetWindowTitle(g_window, kWindowTitle);
    if (!renderer)
    {
        ReportVideoFailure("ERROR SDL_CreateRenderer");
        return;
    }
    // Which renderer draws, and why: the first thing to look at when the window misbehaves.
    SDL_RendererInfo info{};
    const std::string name = SDL_GetRendererInfo(renderer, &info) == 0 && info.name ? info.name : "unknown";
    std::string line = "Renderer: " + name;
    const char* acceleration = SDL_GetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION);
    if (name == "software" && acceleration)
        line += std::string(", framebuffer acceleration ") + acceleration;
    Log("App", line + " (" + choice.reason + ")", 1);
    SetRenderer(renderer);
    m_videoReady = true;
}

void CApp2::DestroyWindow()
{
    if (GetRenderer())
        SDL_DestroyRenderer(GetRenderer());
    SetRenderer(nullptr);
    if (g_window)
        SDL_DestroyWindow(g_window);
    g_window = nullptr;
}

void CApp2::StartClickSounds()
{
    if (m_audio)
        return;
    m_audio = std::make_unique<CAudioOutManager>(true);
    m_audio->LoadAll(GetBinaryPath(), GetLogger());
    CAudioOutManager::SetProgramPlayer(m_audio.get());
}

void CApp2::CheckForUpdate()
{
    m_updateCheck = std::make_unique<CUpdateCheck>(GetApplicationName(kApplicationIdentity));
    const CVersion version = GetVersion();
    m_updateCheck->Start(version.GetMajor(), version.GetMinor(), version.GetBuild());
    PollUpdateCheck();
}

void CApp2::PollUpdateCheck()
{
    if (!m_updateCheck || !m_updateCheck->Poll())
        return;
    SetUpdateAvailable(m_updateCheck->GetResult() == CUpdateCheck::kNewer);
    m_updateCheck.reset();
}

void CApp2::SetRootArea(std::unique_ptr<CUserInterface> root)
{
    m_root = std::move(root);
}

void CApp2::SetTickSource(std::function<uint64_t()> ticks)
{
    m_ticks = std::move(ticks);
}

CAudioOutManager* CApp2::GetAudioOutManager()
{
    return CAudioOutManager::GetProgramPlayer();
}

uint32_t CApp2::ChooseScreenClass(uint32_t platformType, const SDL_DisplayMode& display)
{
    if (platformType != CPlatform::kIos)
        return kDesktopScreenClass;
    if (display.w < 321)
        return 0;
    if (display.h < 961)
        return 1;
    if (display.w < 641)
        return 2;
    if (display.h >= 2048)
        return 6;
    if (display.h < 1334)
        return 5;
    return 3;
}

std::string CApp2::GetScreenClassName(uint32_t screenClass)
{
    return ScreenClassInfo(screenClass).name;
}

CPoint CApp2::GetScreenClassSize(uint32_t screenClass)
{
    const CScreenClassInfo& info = ScreenClassInfo(screenClass);
    return CPoint(info.width, info.height);
}

void CApp2::GetWindowSize(int& width, int& height, uint32_t& flags)
{
    flags = 0;
    if (GetPlatformType() == CPlatform::kIos)
    {
        width = GetDisplayMode().w;
        height = GetDisplayMode().h;
        flags |= SDL_WINDOW_FULLSCREEN;
        return;
    }
    const CPoint size = GetScreenClassSize(GetScreenClass());
    width = size.GetX();
    height = size.GetY();
}
