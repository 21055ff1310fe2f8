#include "shell/app.h"

#include "foundation/clock.h"
#include "shell/logger.h"
#include "shell/platform_linux.h"
#include "shell/translator.h"

namespace
{
CVersion g_version;
// The services live as long as the application object; the accessors below stay harmless
// while one is missing.
std::unique_ptr<CClock> g_clock;
std::unique_ptr<CPlatform> g_platform;
std::unique_ptr<CLogger> g_log;
std::unique_ptr<CTranslator> g_languageManager;
std::vector<CIpAddress> g_localAddresses;

// Entries above this level are not recorded.
constexpr int32_t kLogThreshold = 2;
SDL_Renderer* g_renderer = nullptr;
uint32_t g_textureCounter = 0;
SDL_DisplayMode g_displayMode = {};
uint32_t g_screenClass = 5;
bool g_updateAvailable = false;
bool g_ctrlDown = false;
bool g_shiftDown = false;

// Bit n tells whether screen class n is high resolution.
constexpr uint32_t kHighResolutionMask = 94;
}

CApp::CApp(const CVersion& version, int argc, char** argv)
{
    const char* firstArgument = argc > 0 && argv ? argv[0] : nullptr;
    m_baseName = GetExecutableBaseName(firstArgument ? firstArgument : "");
    g_version = version;

    g_clock = std::make_unique<CClock>();
    g_clock->SetNow();
    // The platform makes the data folders, where the log then keeps its files.
    g_platform = std::make_unique<CPlatformLinux>(CPlatformLinux::FindExecutablePath(firstArgument),
                                                  GetApplicationName(kApplicationIdentity));
    g_log = std::make_unique<CLogger>(kLogThreshold, g_platform->GetApplicationDataPath(), g_clock.get());
}

CApp::~CApp()
{
    g_platform.reset();
    if (g_log)
        g_log->Close();
    g_log.reset();
    g_clock.reset();
    g_localAddresses.clear();
    // Last: the areas and the log, which might still translate, have gone.
    g_languageManager.reset();
}

void CApp::LogInfo()
{
    Log("App", "Binary path: " + GetBinaryPath(), 1);
    Log("App", "Application Data path: " + GetApplicationDataPath(), 1);
    Log("App", "Common Data path: " + GetCommonDataPath(), 1);
    Log("App", "Resources Specific path: " + GetResourcesSpecificPath(), 1);
    Log("App", "Resources Shared path: " + GetResourcesSharedPath(), 1);
    const size_t count = g_localAddresses.size();
    Log("App", std::to_string(count) + (count < 2 ? " IP address found:" : " IP addresses found:"), 1);
    for (const CIpAddress& address : g_localAddresses)
        Log("App", "- " + address.ToText(), 1);
}

void CApp::Log(const std::string& category, const std::string& message, uint32_t level)
{
    if (g_log)
        g_log->Log(category, message, level);
}

CLogger* CApp::GetLogger()
{
    return g_log.get();
}

CClock* CApp::GetClock()
{
    return g_clock.get();
}

std::string CApp::Translate(const std::string& text, bool upperCase)
{
    return g_languageManager ? g_languageManager->Translate(text, upperCase) : text;
}

CTranslator* CApp::GetLanguageManager()
{
    return g_languageManager.get();
}

void CApp::SetLanguageManager(std::unique_ptr<CTranslator> languageManager)
{
    g_languageManager = std::move(languageManager);
}

CVersion CApp::GetVersion()
{
    return g_version;
}

uint32_t CApp::GetPlatformType()
{
    return g_platform ? g_platform->GetType() : uint32_t(CPlatform::kLinux);
}

uint32_t CApp::GetOsId()
{
    return kOsId;
}

std::string CApp::GetOsName(uint32_t id)
{
    switch (id)
    {
    case 0: return "Windows";
    case 1: return "OSX";
    case 2: return "Linux";
    case 3: return "iOS";
    case 5: return "Embedded";
    default: return "Unknown";
    }
}

std::string CApp::GetApplicationName(uint32_t identity)
{
    return identity == kApplicationIdentity ? "Programmer" : "";
}

std::string CApp::GetExecutableBaseName(const std::string& argument)
{
    std::string name = argument;
    const size_t slash = name.rfind('/');
    if (slash != std::string::npos)
        name = slash + 1 < name.size() ? name.substr(slash + 1) : ".";
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name = name.substr(0, dot);
    return name;
}

std::string CApp::GetBinaryPath()
{
    return g_platform ? g_platform->GetBinaryPath() : std::string();
}

std::string CApp::GetApplicationDataPath()
{
    return g_platform ? g_platform->GetApplicationDataPath() : std::string();
}

std::string CApp::GetCommonDataPath()
{
    return g_platform ? g_platform->GetCommonDataPath() : std::string();
}

std::string CApp::GetResourcesSpecificPath()
{
    return g_platform ? g_platform->GetResourcesSpecificPath() : std::string();
}

std::string CApp::GetResourcesSharedPath()
{
    return g_platform ? g_platform->GetResourcesSharedPath() : std::string();
}

void CApp::OpenUrl(const std::string& url)
{
    if (g_platform)
        g_platform->OpenUrl(url);
}

void CApp::GatherLocalAddresses()
{
    if (!g_platform)
        return;
    g_platform->GetLocalAddresses(g_localAddresses);
}

uint32_t CApp::GetLocalAddressCount()
{
    return static_cast<uint32_t>(g_localAddresses.size());
}

CIpAddress CApp::GetLocalAddress(uint32_t index)
{
    return index < g_localAddresses.size() ? g_localAddresses[index] : CIpAddress();
}

SDL_Renderer* CApp::GetRenderer()
{
    return g_renderer;
}

void CApp::SetRenderer(SDL_Renderer* renderer)
{
    g_renderer = renderer;
}

void CApp::IncrementTextureCounter()
{
    ++g_textureCounter;
}

uint32_t CApp::GetTextureCounter()
{
    return g_textureCounter;
}

void CApp::PushUserEvent(uint32_t code)
{
    SDL_Event event = {};
    event.type = SDL_USEREVENT;
    event.user.code = static_cast<Sint32>(code);
    SDL_PushEvent(&event);
}

const SDL_DisplayMode& CApp::GetDisplayMode()
{
    return g_displayMode;
}

void CApp::SetDisplayMode(const SDL_DisplayMode& mode)
{
    g_displayMode = mode;
}

uint32_t CApp::GetScreenClass()
{
    return g_screenClass;
}

bool CApp::IsHighResolution()
{
    return g_screenClass > 8 || ((kHighResolutionMask >> g_screenClass) & 1u) != 0;
}

void CApp::SetScreenClass(uint32_t screenClass)
{
    g_screenClass = screenClass;
}

bool CApp::IsUpdateAvailable()
{
    return g_updateAvailable;
}

void CApp::SetUpdateAvailable(bool available)
{
    g_updateAvailable = available;
}

bool CApp::IsCtrlDown()
{
    return g_ctrlDown;
}

bool CApp::IsShiftDown()
{
    return g_shiftDown;
}

void CApp::SetCtrlDown(bool down)
{
    g_ctrlDown = down;
}

void CApp::SetShiftDown(bool down)
{
    g_shiftDown = down;
}
