#pragma once

#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <string>

// Picture files as the images and textures read them: the whole file read at once through the one
// safe open, and nothing but a PNG whose header declares no more pixels than the program can use
// handed to SDL_image. PNG is the one kind of picture the program ships; GIF files go to the
// program's own codec, which keeps to 150 x 150 pixels and reads only the first frame for a picture.
//
// The largest picture the program ships is a page background of 768 x 1024, the window's size. A
// file may hold at most kMaxBytes and declare at most kMaxPixels, 2048 x 2048 in any shape (over
// five windows); sides past the image limit (5120) are cut after decoding as before. So one picture
// costs at most its file, the surface SDL_image decodes it into (16 MB at four bytes a pixel) and
// the image that takes its pixels (as much again): a larger file is refused unread, a larger
// picture before SDL_image allocates a pixel of it.
namespace picture_file
{
constexpr size_t kMaxBytes = size_t(16) << 20;
constexpr uint64_t kMaxPixels = uint64_t(2048) * 2048;
// The most the program's GIF codec draws of a picture: 150 x 150 pixels.
constexpr uint64_t kMaxGifPixels = uint64_t(150) * 150;

enum class Status
{
    kRead,
    kAbsent,   // nothing at the path, or a folder: nothing to say
    kRefused,  // why says why
};

// The file's bytes; refused when it is not a regular file, cannot be read or holds more than
// kMaxBytes.
Status Read(const std::string& path, std::string& bytes, std::string& why);
// The picture of the bytes decoded into a surface the caller frees; null, with why, for bytes that
// hold no PNG, whose header declares more than kMaxPixels, or that SDL_image cannot decode.
SDL_Surface* DecodePng(const std::string& bytes, std::string& why);
// Both in one: null with why left empty when there is nothing at the path.
SDL_Surface* LoadPng(const std::string& path, std::string& why);
// What the picture at the path keeps once decoded, at four bytes a pixel, as its first bytes
// declare it, known before a pixel is allocated: a PNG by the sides of its header, a GIF (told by
// its extension, as the images tell it) at the most the codec draws. 0 for a file that will not be
// decoded at all: nothing there, no PNG, or more than kMaxPixels declared.
uint64_t DeclaredBytes(const std::string& path);
// The line on standard output that says why a picture was not decoded.
void SayNotDecoded(const std::string& path, const std::string& why);
}  // namespace picture_file
