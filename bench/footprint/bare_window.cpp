// The yardstick of the footprint figures: the least an SDL2 program with a 768 x 1024 window
// costs on this machine. It draws one frame on SDL's software renderer with framebuffer
// acceleration off, then paces a 25-frames-per-second loop that pumps events and draws nothing,
// as an idle program should.
#include <SDL.h>

int main(int, char**)
{
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        return 1;
    SDL_Window* window = SDL_CreateWindow("Bare SDL2 window", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                          768, 1024, 0);
    SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE) : nullptr;
    if (!renderer)
        return 1;
    SDL_SetRenderDrawColor(renderer, 40, 60, 80, 255);
    SDL_RenderClear(renderer);
    SDL_RenderPresent(renderer);

    bool quit = false;
    while (!quit)
    {
        SDL_Event event;
        while (SDL_PollEvent(&event))
        {
            if (event.type == SDL_QUIT)
                quit = true;
            // An uncovered window shows its frame again.
            if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_EXPOSED)
                SDL_RenderPresent(renderer);
        }
        SDL_Delay(40);
    }
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
