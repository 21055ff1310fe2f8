#pragma once

#include "foundation/ip_address.h"
#include "foundation/version.h"

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CClock;
class CLogger;
class CTranslator;

// The application base: the process-wide services that need no window, offered through static
// accessors. Every service is a singleton reached through a global pointer that the application
// object creates and destroys; the accessors stay harmless while a service is missing.
class CApp
{
public:
    static constexpr uint32_t kApplicationIdentity = 23;
    // Linux.
    static constexpr uint32_t kOsId = 2;

    CApp(const CVersion& version, int argc, char** argv);
    virtual ~CApp();
    CApp(const CApp&) = delete;
    CApp& operator=(const CApp&) = delete;

    virtual void LogInfo();

    // Forwards to the log when there is one.
    static void Log(const std::string& category, const std::string& message, uint32_t level);
    static CLogger* GetLogger();
    // The program's wall clock, set as every frame begins and ends; other threads read it through
    // its snapshot.
    static CClock* GetClock();

    // The language manager's lookup; without one, the text as it stands (never upper-cased).
    static std::string Translate(const std::string& text, bool upperCase);
    // Null before the application has made it.
    static CTranslator* GetLanguageManager();
    // The base keeps it until it is replaced (the old one goes at once) or the base goes, last.
    static void SetLanguageManager(std::unique_ptr<CTranslator> languageManager);

    static CVersion GetVersion();
    // The platform's type: 3 is the touch platform; this build runs on Linux (2).
    static uint32_t GetPlatformType();
    static uint32_t GetOsId();
    static std::string GetOsName(uint32_t id);
    static std::string GetApplicationName(uint32_t identity);
    // The executable's file name without folder and without its last extension.
    static std::string GetExecutableBaseName(const std::string& argument);
    static bool IsDebugMode() { return false; }

    // Copies of the platform's folders; empty without a platform.
    static std::string GetBinaryPath();
    static std::string GetApplicationDataPath();
    static std::string GetCommonDataPath();
    static std::string GetResourcesSpecificPath();
    static std::string GetResourcesSharedPath();
    // Opens the URL in the user's browser; nothing without a platform.
    static void OpenUrl(const std::string& url);

    // The machine's IPv4 addresses, as gathered at start-up.
    static void GatherLocalAddresses();
    static uint32_t GetLocalAddressCount();
    // 0.0.0.0 port 0 for an index out of range.
    static CIpAddress GetLocalAddress(uint32_t index);

    // The global renderer; null before the window exists.
    static SDL_Renderer* GetRenderer();
    static void SetRenderer(SDL_Renderer* renderer);

    // Counts the textures made over the program's life (logged at shutdown).
    static void IncrementTextureCounter();
    static uint32_t GetTextureCounter();

    // Pushes an SDL_USEREVENT carrying the code.
    static void PushUserEvent(uint32_t code);

    // Display mode of display 0, screen class and its properties.
    static const SDL_DisplayMode& GetDisplayMode();
    static void SetDisplayMode(const SDL_DisplayMode& mode);
    static uint32_t GetScreenClass();
    static bool IsHighResolution();
    static void SetScreenClass(uint32_t screenClass);

    static bool IsUpdateAvailable();
    static void SetUpdateAvailable(bool available);

    // Keyboard modifier flags kept by the event pump.
    static bool IsCtrlDown();
    static bool IsShiftDown();
    static void SetCtrlDown(bool down);
    static void SetShiftDown(bool down);

protected:
    const std::string& GetBaseName() const { return m_baseName; }

private:
    std::string m_baseName;
};
