#include "shell/application.h"

#include "model/core.h"
#include "shell/frame_timer.h"
#include "widgets/area.h"

int CApp2::Run()
{
    if (!m_videoReady)
        return 1;

    int width = 0;
    int height = 0;
    uint32_t flags = 0;
    GetWindowSize(width, height, flags);

    while (!m_quit)
    {
        m_frameTimer->BeginFrame();
        // Everything is ticked with the fixed period, whatever time really passed.
        const float seconds = m_frameTimer->GetFrameSeconds();
        if (GetCore())
            GetCore()->Update(seconds);
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

        m_frameTimer->EndFrame();
    }
    return 0;
}

bool CApp2::RenderFrame(int, int)
{
    SDL_Renderer* renderer = GetRenderer();
    SDL_RenderClear(renderer);
    SDL_RenderPresent(renderer);
    return true;
}

void CApp2::PresentCanvas()
{
    SDL_Renderer* renderer = GetRenderer();
    SDL_RenderClear(renderer);
    SDL_RenderPresent(renderer);
}
