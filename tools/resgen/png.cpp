#include "tools/resgen/png.h"

#include <SDL.h>
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace resgen {

namespace {

// Writes the rows, or returns libpng's complaint. No object with a destructor lives in this frame:
// libpng reports an error by jumping back to the setjmp below.
const char* WriteRows(std::FILE* file, png_uint_32 width, png_uint_32 height, png_bytepp rows)
{
    static const char* problem = nullptr;
    problem = "cannot start the encoder";
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return problem;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return problem;
    }
    problem = "the encoder failed";
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // Unfiltered rows at the strongest compression: the drawn pictures are flat enough that this
    // is hardly larger than the adaptive filters, and the program decodes it several times faster
    // (undoing the filters took two thirds of a page background's decoding).
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, 9);
    png_set_rows(png, info, rows);
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return nullptr;
}

}  // namespace

void SavePng(const CCanvas& canvas, const std::string& path)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    // ABGR8888: bytes R, G, B, A in memory, as the RGBA rows want them.
    SDL_Surface* surface = canvas.ToSurface();
    if (surface == nullptr) {
        throw std::runtime_error(std::string("cannot make a surface: ") + SDL_GetError());
    }
    std::vector<png_bytep> rows(static_cast<size_t>(surface->h));
    for (size_t y = 0; y < rows.size(); ++y) {
        rows[y] = static_cast<png_bytep>(surface->pixels) + y * static_cast<size_t>(surface->pitch);
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    const char* problem = file == nullptr ? "cannot open the file"
                                          : WriteRows(file, png_uint_32(surface->w), png_uint_32(surface->h), rows.data());
    const bool closed = file != nullptr && std::fclose(file) == 0;
    SDL_FreeSurface(surface);
    if (problem == nullptr && !closed) {
        problem = "cannot finish the file";
    }
    if (problem != nullptr) {
        throw std::runtime_error("cannot write " + path + ": " + problem);
    }
}

}  // namespace resgen
