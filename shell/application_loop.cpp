#include "shell/application.h"

#include "shell/app_model.h"
#include "shell/audio_out_manager.h"
#include "shell/frame_timer.h"
#include "shell/heap_trim.h"
#include "shell/logger.h"
#include "shell/user_interface.h"

int CApp2::Run()
{
    if (!m_videoReady)
        return 1;

    int width = 0;
    int height = 0;
    uint32_t flags = 0;
    GetWindowSize(width, height, flags);
    if (m_root)
        m_root->CreateCanvas(static_cast<uint32_t>(width), static_cast<uint32_t>(height));

    bool shown = false;
    while (!m_quit)
    {
        m_frameTimer->BeginFrame();
        // Everything is ticked with the fixed period, whatever time really passed.
        const float seconds = m_frameTimer->GetFrameSeconds();
        if (m_model)
            m_model->Update(seconds);
        if (GetLogger())
            GetLogger()->Tick(seconds);
        if (m_audio)
            m_audio->Tick(seconds);
        PollUpdateCheck();
        PollEvents();

        bool presented = false;
        if (m_root && !m_suspended)
        {
            m_root->Tick(seconds);
            if (m_root->NeedsRender())
                presented = RenderFrame();
        }
        if (m_presentAgain && !presented)
            PresentCanvas();
        m_presentAgain = false;
        // Once the window shows its first frame, what start-up left for later is read where no
        // frame waits for it, and taken over in whichever later frame it is done (that frame need
        // not draw); what its reading borrowed of the heap then goes back to the system.
        shown = shown || presented;
        if (shown && m_model && m_model->LoadDeferred())
            CHeapTrim::AfterLargeWork();
        // So is the click-sound player made, after the first pass whether it drew or not: a
        // program told to quit at once has made it all the same.
        StartClickSounds();

        m_frameTimer->EndFrame();
    }

    if (m_root)
        m_root->ReleaseCanvas();
    return 0;
}

bool CApp2::RenderFrame()
{
    SDL_Renderer* renderer = GetRenderer();
    SDL_RenderClear(renderer);
    if (!m_root->Render())
        return false;
    SDL_RenderCopy(renderer, m_root->GetCanvasTexture(), nullptr, nullptr);
    SDL_RenderPresent(renderer);
    return true;
}

void CApp2::PresentCanvas()
{
    SDL_Renderer* renderer = GetRenderer();
    SDL_Texture* canvas = m_root ? m_root->GetCanvasTexture() : nullptr;
    if (!canvas)
        return;
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, canvas, nullptr, nullptr);
    SDL_RenderPresent(renderer);
}
