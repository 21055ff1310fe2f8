// The renderer probe, run by the program at start-up (CRendererProbe): prints the accelerated
// renderer SDL can make on this display (an empty line when none) and, for an OpenGL one, the
// OpenGL renderer text. It ends without tearing anything down: its whole point is to keep the
// window system's GPU stack out of the program, and that stack's clean-up is no business of ours.
#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

int main(int, char**)
{
    std::string driver;
    std::string glRenderer;
    if (SDL_Init(SDL_INIT_VIDEO) == 0)
    {
        SDL_Window* window = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_HIDDEN);
        SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED) : nullptr;
        SDL_RendererInfo info{};
        if (renderer && SDL_GetRendererInfo(renderer, &info) == 0 && info.name)
        {
            driver = info.name;
            constexpr unsigned kGlRenderer = 0x1F01;
            using GetString = const unsigned char* (*)(unsigned);
            if (driver.compare(0, 6, "opengl") == 0)
                if (auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString")))
                    if (const unsigned char* text = getString(kGlRenderer))
                        glRenderer = reinterpret_cast<const char*>(text);
        }
    }
    // One line each, whatever the texts hold.
    for (char& c : glRenderer)
        if (c == '\n')
            c = ' ';
    std::printf("%s\n%s\n", driver.c_str(), glRenderer.c_str());
    std::fflush(stdout);
    _exit(0);
}
