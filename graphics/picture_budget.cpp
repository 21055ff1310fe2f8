#include "graphics/picture_budget.h"

#include "graphics/picture_file.h"

static_assert(CPictureBudget::kMostPictureBytes == picture_file::kMaxPixels * 4,
              "the variants of a picture may keep one picture of the largest sides");

bool CPictureBudget::Take(const std::string& path, uint64_t& picture)
{
    const uint64_t bytes = picture_file::DeclaredBytes(path);
    const bool allFit = bytes <= kMostBytes - m_taken;
    if (!allFit || bytes > kMostPictureBytes - picture)
    {
        const uint64_t most = allFit ? kMostPictureBytes : kMostBytes;
        const uint64_t left = allFit ? kMostPictureBytes - picture : kMostBytes - m_taken;
        const char* whose =
            allFit ? " MB the variants of its picture may keep (" : " MB the pictures beside it may keep in all (";
        picture_file::SayNotDecoded(path, "its " + std::to_string(bytes >> 10) + " KB of pixels would pass the " +
                                              std::to_string(most >> 20) + whose + std::to_string(left >> 10) +
                                              " KB left)");
        return false;
    }
    m_taken += bytes;
    picture += bytes;
    return true;
}
