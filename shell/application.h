#pragma once

#include "foundation/point.h"
#include "shell/app.h"

#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

class CAppModel;
class CApplicationParts;
class CAudioOutManager;
class CFrameClock;
class CFrameTimer;
class CUpdateCheck;
class CUserInterface;
struct CRendererChoice;

// The application: starts SDL, chooses the screen class, has the model root, the window and the
// root area made, runs the 25-frames-per-second loop with its event pump, and tears everything
// down in a fixed order. What lies in the layers above the shell (skin, languages, model root,
// fonts, root area) it asks of the parts the entry point hands in, each at its place in start-up,
// and drives through the shell's own interfaces. It lives in the entry point's frame; no global
// points to it.
class CApp2 : public CApp
{
public:
    static constexpr float kFramesPerSecond = 25.0f;
    static constexpr uint64_t kDoubleClickInterval = 600;
    static constexpr uint32_t kDoubleClickDistance = 20;
    static constexpr const char* kWindowTitle = "Tanzo Programmer";

    // Command codes posted by the keyboard shortcuts.
    enum Command : uint32_t
    {
        kCommandCut = 4,
        kCommandCopy = 5,
        kCommandPaste = 6,
        kCommandUndo = 8,
        kCommandRedo = 9,
        kCommandSelectAll = 10,
        kCommandSave = 13,
    };

    // Without parts the application is a bare shell: a window and a loop, nothing to drive.
    CApp2(const CVersion& version, int argc, char** argv, const std::string& screenClassName,
          CApplicationParts* parts = nullptr);
    ~CApp2() override;

    void LogInfo() override;

    // Runs the main loop until a quit event arrives. Returns the program's exit status: 0, or 1
    // when video could not be started (the loop is then skipped).
    int Run();
    // False when SDL video, the window or its renderer could not be made.
    bool IsVideoReady() const { return m_videoReady; }

    // Drains the event queue into the root area; stops at a quit event.
    void PollEvents();
    void HandleShortcut(SDL_Keycode key, uint16_t modifiers, bool* handled);
    static uint32_t TranslateKey(SDL_Keycode key, bool shift, bool capsLock, bool numLock);
    // Records this release; true when it completes a double click with the previous one.
    bool IsDoubleClick(const CPoint& point);
    // The pointer a mouse button's press, release and the moves while it is held are routed as,
    // so that each button's release reaches what its own press took. The left button is pointer
    // 0, as every move and wheel turn also is; the others lie at the bottom of the range, where
    // no finger's id does.
    static int64_t GetMousePointer(uint32_t button);
    // Called from the SDL event filter: going to the background suspends the model root.
    void OnAppEvent(const SDL_Event& event);

    bool IsQuitting() const { return m_quit; }
    bool IsSuspended() const { return m_suspended; }

    // The root area the loop draws and the pump feeds; the application owns it. Replacing it
    // deletes the old one.
    CUserInterface* GetRootArea() const { return m_root.get(); }
    void SetRootArea(std::unique_ptr<CUserInterface> root);
    // The model root the loop ticks; the application owns it.
    CAppModel* GetModelRoot() const { return m_model.get(); }
    // The millisecond source of the double-click test (SDL ticks by default).
    void SetTickSource(std::function<uint64_t()> ticks);

    static CAudioOutManager* GetAudioOutManager();

    // Screen class (0..8): its name and window size. Its skin suffixes are the skin manager's.
    static uint32_t ChooseScreenClass(uint32_t platformType, const SDL_DisplayMode& display);
    static std::string GetScreenClassName(uint32_t screenClass);
    static CPoint GetScreenClassSize(uint32_t screenClass);
    // The window's size and creation flags for the platform and screen class.
    static void GetWindowSize(int& width, int& height, uint32_t& flags);

private:
    void CreateWindow(int width, int height, uint32_t flags, const CRendererChoice& choice);
    void DestroyWindow();
    // Asks the update server at the end of start-up; each frame's tick takes what it answered.
    void CheckForUpdate();
    void PollUpdateCheck();
    // Makes the click-sound player and loads the clips, once.
    void StartClickSounds();
    void ReportVideoFailure(const std::string& what);
    // Draws the root area into the canvas and presents it; false when the canvas could not be
    // locked (the frame stays undrawn and the area stays dirty).
    bool RenderFrame();
    // Shows the canvas again as it is (the window was uncovered).
    void PresentCanvas();
    void DispatchEvent(const SDL_Event& event, bool* handled);

    std::unique_ptr<CFrameClock> m_frameClock;
    std::unique_ptr<CFrameTimer> m_frameTimer;
    std::unique_ptr<CAudioOutManager> m_audio;
    std::unique_ptr<CAppModel> m_model;
    std::unique_ptr<CUserInterface> m_root;
    // While the update check is on.
    std::unique_ptr<CUpdateCheck> m_updateCheck;
    CPoint m_lastPointer;
    // The key each held key went down as: its repeats and its release carry the same key, even
    // when Shift or Caps Lock changed meanwhile.
    std::map<SDL_Keycode, uint32_t> m_keysDown;
    // The mouse buttons other than the left one that are down: their pointers follow the moves.
    std::set<uint8_t> m_mouseButtonsHeld;
    bool m_quit = false;
    std::atomic<bool> m_suspended{false};
    bool m_videoReady = false;
    bool m_presentAgain = false;

    std::function<uint64_t()> m_ticks;
    uint64_t m_lastReleaseTime = UINT64_MAX;
    CPoint m_lastReleasePoint;
};
