#pragma once

#include <cstdint>
#include <string>

// What the decoded pictures of one skin, or of the glyph pages, may keep in all, and what the
// variants of one picture may keep together. A picture is weighed by what its header declares
// before a pixel of it is allocated (picture_file.h), and one that would pass either is not
// decoded: it is taken as a file that cannot be decoded, and a line on standard output says why.
// Nothing is given back while the pages stand; a new load starts a new budget.
//
// The shipped skin keeps 15 MB with every picture decoded (its four page backgrounds, 768 x 1024,
// take 3 MB each), the glyph pages 0.3 MB, each picture in one variant. 64 MB is four such skins,
// or four pictures of the largest a picture may be (2048 x 2048 pixels, 16 MB), and the variants
// of one picture may keep as much as one such picture: so the many variants of one picture cannot
// take what the others need. That is what a start may spend on decoding pictures, and what they
// keep for the rest of the run, beside the one picture being decoded beyond it.
class CPictureBudget
{
public:
    static constexpr uint64_t kMostBytes = uint64_t(64) << 20;
    static constexpr uint64_t kMostPictureBytes = uint64_t(16) << 20;

    CPictureBudget() = default;
    CPictureBudget(const CPictureBudget&) = delete;
    CPictureBudget& operator=(const CPictureBudget&) = delete;

    // Takes what the file at the path declares, adding it to picture, what the other variants of
    // its picture took; false, with the line said, when that would pass what the picture or all
    // the pictures may keep.
    bool Take(const std::string& path, uint64_t& picture);

private:
    uint64_t m_taken = 0;
};
