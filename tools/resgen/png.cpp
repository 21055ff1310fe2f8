#include "tools/resgen/png.h"

#include <SDL.h>
#include <SDL_image.h>

#include <filesystem>
#include <stdexcept>

namespace resgen {

void SavePng(const CCanvas& canvas, const std::string& path)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    // The surface always has an alpha mask, so the encoder always writes RGBA, never a palette.
    SDL_Surface* surface = canvas.ToSurface();
    if (surface == nullptr) {
        throw std::runtime_error(std::string("cannot make a surface: ") + SDL_GetError());
    }
    const int result = IMG_SavePNG(surface, path.c_str());
    SDL_FreeSurface(surface);
    if (result != 0) {
        throw std::runtime_error("cannot write " + path + ": " + IMG_GetError());
    }
}

}  // namespace resgen
