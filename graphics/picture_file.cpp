#include "graphics/picture_file.h"

#include "foundation/byte_order.h"
#include "foundation/file_helpers.h"

#include <SDL_image.h>

#include <cstring>
#include <sys/stat.h>

namespace picture_file
{
Status Read(const std::string& path, std::string& bytes, std::string& why)
{
    struct stat status;
    if (stat(path.c_str(), &status) != 0 || S_ISDIR(status.st_mode))
        return Status::kAbsent;
    int error = 0;
    const FileReadStatus read = ReadFileBounded(path, kMaxBytes, bytes, error);
    if (read == FileReadStatus::kRead)
        return Status::kRead;
    if (read == FileReadStatus::kMissing)
        return Status::kAbsent;
    why = "the file " + DescribeFileRead(read, error);
    if (read == FileReadStatus::kTooLarge)
        why += " (more than " + std::to_string(kMaxBytes >> 20) + " MB)";
    return Status::kRefused;
}

SDL_Surface* DecodePng(const std::string& bytes, std::string& why)
{
    // The signature, then the header chunk that must come first: its length, "IHDR", the width
    // and the height, each four bytes, most significant first.
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    const uint8_t* p = reinterpret_cast<const uint8_t*>(bytes.data());
    if (bytes.size() < 24 || std::memcmp(p, kSignature, sizeof kSignature) != 0 || std::memcmp(p + 12, "IHDR", 4) != 0)
    {
        why = "not a PNG picture";
        return nullptr;
    }
    const uint64_t width = ReadBe32(p + 16);
    const uint64_t height = ReadBe32(p + 20);
    if (width * height > kMaxPixels)
    {
        why = "declares " + std::to_string(width) + " x " + std::to_string(height) + " pixels, more than the " +
              std::to_string(kMaxPixels) + " a picture may have";
        return nullptr;
    }
    SDL_RWops* source = SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
    SDL_Surface* surface = source ? IMG_LoadPNG_RW(source) : nullptr;
    if (source)
        SDL_RWclose(source);
    if (!surface)
        why = *SDL_GetError() ? SDL_GetError() : "SDL_image cannot decode it";
    return surface;
}

SDL_Surface* LoadPng(const std::string& path, std::string& why)
{
    std::string bytes;
    const Status read = Read(path, bytes, why);
    return read == Status::kRead ? DecodePng(bytes, why) : nullptr;
}
}  // namespace picture_file
