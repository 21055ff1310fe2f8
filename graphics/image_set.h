#pragma once

#include "graphics/zevral_image.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

class CPictureBudget;

// The size variants of one named picture of a skin or glyph page (button-32.png and button-64.png
// are two variants of "button"). Files are only listed when the page is scanned and decoded on the
// first request; a request names a size in pixels and gets the variant whose width is nearest.
// With a budget, each file is weighed against it before it is decoded, and one it refuses is taken
// as a file that cannot be decoded.
class CImageSet
{
public:
    // The shipped pictures come in one size each; a picture may have as many variants as this,
    // a page's folder as many files (glyph_page.h).
    static constexpr uint32_t kMostVariants = 16;

    CImageSet() = default;
    explicit CImageSet(std::shared_ptr<CPictureBudget> budget) : m_budget(std::move(budget)) {}
    // Copies the decoded variants, the name and the budget, not the files still pending.
    CImageSet(const CImageSet& other);
    // Copies the variants, the pending files (weighed again when decoded), the name and the budget.
    CImageSet& operator=(const CImageSet& other);

    // False, the file left out, when the set has kMostVariants files already.
    bool AddFile(const std::string& path);
    // Decodes every pending file into one more variant, in listing order. A file that cannot be
    // decoded, or that the budget refuses, repeats the variant decoded before it in the same pass
    // (an empty one when first).
    void LoadPending();
    // Starts decoding the pending files on worker threads; LoadPending then takes their results.
    void DecodeAhead();
    // Copies the variant whose width is nearest the requested size into the image; leaves the
    // image alone when no variant is nearer than 10000 pixels. Ties go to the earlier variant.
    void GetImage(CZevralImage& image, uint32_t size);
    // The same choice as a pointer to the set's own variant, or null. The pointer stays valid for
    // the life of the set, also when further files are decoded later.
    const CZevralImage* GetImagePointer(uint32_t size);
    // One per file decoded. A repeat is counted but keeps no pixels of its own: it has the width
    // of the variant it repeats, so a request, whose ties go to the earlier, never chooses it.
    uint32_t GetVariantCount() const { return uint32_t(m_variants.size()) + m_repeats; }
    uint32_t GetPendingCount() const { return uint32_t(m_pendingFiles.size()); }

    void SetName(const std::string& name) { m_name = name; }
    const std::string& GetName() const { return m_name; }

private:
    struct CPendingFile
    {
        std::string path;
        // Weighed against the budget: taken, or refused.
        bool weighed = false;
        bool refused = false;
    };

    const CZevralImage* Choose(uint32_t size);
    // Weighs the pending files not weighed yet.
    void Weigh();

    // A deque, so that handed-out pointers survive later decoding.
    std::deque<CZevralImage> m_variants;
    uint32_t m_repeats = 0;
    // What the set's files took from the budget.
    uint64_t m_taken = 0;
    std::vector<CPendingFile> m_pendingFiles;
    std::string m_name;
    std::shared_ptr<CPictureBudget> m_budget;
};
