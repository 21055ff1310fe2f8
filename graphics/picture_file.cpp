#include "graphics/picture_file.h"

#include "foundation/ascii.h"
#include "foundation/byte_order.h"
#include "foundation/file_helpers.h"

#include <SDL_image.h>

#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace picture_file
{
namespace
{
// The signature and the header chunk of a PNG.
constexpr size_t kHeaderBytes = 24;

// The sides the header of a PNG declares: the signature, then the header chunk that must come
// first: its length, "IHDR", the width and the height, each four bytes, most significant first.
// False when the bytes begin no PNG.
bool ReadPngSides(const std::string& bytes, uint64_t& width, uint64_t& height)
{
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    const uint8_t* p = reinterpret_cast<const uint8_t*>(bytes.data());
    if (bytes.size() < kHeaderBytes || std::memcmp(p, kSignature, sizeof kSignature) != 0 ||
        std::memcmp(p + 12, "IHDR", 4) != 0)
        return false;
    width = ReadBe32(p + 16);
    height = ReadBe32(p + 20);
    return true;
}
}  // namespace

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
    uint64_t width = 0;
    uint64_t height = 0;
    if (!ReadPngSides(bytes, width, height))
    {
        why = "not a PNG picture";
        return nullptr;
    }
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

uint64_t DeclaredBytes(const std::string& path)
{
    if (EqualIgnoringAsciiCase(GetExtension(FileNameOf(path)), "gif"))
        return kMaxGifPixels * 4;
    std::string header;
    int error = 0;
    ReadFileStart(path, kHeaderBytes, header, error);
    uint64_t width = 0;
    uint64_t height = 0;
    if (!ReadPngSides(header, width, height) || width * height > kMaxPixels)
        return 0;
    return width * height * 4;
}

void SayNotDecoded(const std::string& path, const std::string& why)
{
    printf("IMG_Load error for %s: %s\n", path.c_str(), why.c_str());
}
}  // namespace picture_file
