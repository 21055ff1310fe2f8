#include "shell/application.h"

#include "graphics/texture.h"
#include "graphics/texture_adapter.h"
#include "model/core.h"
#include "model/personality_manager.h"
#include "shell/audio_out_manager.h"
#include "shell/frame_timer.h"
#include "shell/logger.h"
#include "widgets/area.h"

#include <malloc.h>

int CApp2::Run()
{
    if (!m_videoReady)
        return 1;

    int width = 0;
    int height = 0;
    uint32_t flags = 0;
    GetWindowSize(width, height, flags);
    m_canvas = new CTexture();
    m_canvas->Create(static_cast<uint32_t>(width), static_cast<uint32_t>(height));

    while (!m_quit)
    {
        m_frameTimer->BeginFrame();
        // Everything is ticked with the fixed period, whatever time really passed.
        const float seconds = m_frameTimer->GetFrameSeconds();
        if (GetCore())
            GetCore()->Update(seconds);
        if (GetLogger())
            GetLogger()->Tick(seconds);
        if (GetAudioOutManager())
            GetAudioOutManager()->Tick(seconds);
        PollEvents();

        bool presented = false;
        if (m_root && !m_suspended)
        {
            m_root->Tick(seconds);
            if (m_root->NeedsRender())
                presented = RenderFrame(width, height);
        }
        if (m_presentAgain && !presented)
            PresentCanvas();
        m_presentAgain = false;
        // Once the window shows its first frame, what start-up left for later is read, and the
        // heap its reading borrowed (the library's whole document) goes back to the system.
        if (presented && GetCore() && GetCore()->GetPersonalityManager()->LoadNow())
            malloc_trim(0);

        m_frameTimer->EndFrame();
    }

    delete m_canvas;
    m_canvas = nullptr;
    return 0;
}

bool CApp2::RenderFrame(int width, int height)
{
    SDL_Renderer* renderer = GetRenderer();
    SDL_RenderClear(renderer);
    // Without the canvas's pixels there is nothing to draw into: the tree stays dirty and the
    // next frame tries again.
    if (!m_canvas->Lock())
        return false;
    {
        const CTextureAdapter whole(*m_canvas);
        CTextureAdapter view(CRect(0, 0, width, height), whole);
        m_root->Render(view, CPoint(0, 0), false);
    }
    m_canvas->Unlock();
    SDL_RenderCopy(renderer, m_canvas->GetTexture(), nullptr, nullptr);
    SDL_RenderPresent(renderer);
    return true;
}

void CApp2::PresentCanvas()
{
    SDL_Renderer* renderer = GetRenderer();
    if (!m_canvas || !m_canvas->GetTexture())
        return;
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, m_canvas->GetTexture(), nullptr, nullptr);
    SDL_RenderPresent(renderer);
}
