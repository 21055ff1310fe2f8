#include "graphics/image_set.h"

#include "graphics/picture_ahead.h"
#include "graphics/picture_budget.h"

#include <cstdlib>

CImageSet::CImageSet(const CImageSet& other)
    : m_variants(other.m_variants), m_repeats(other.m_repeats), m_taken(other.m_taken), m_name(other.m_name),
      m_budget(other.m_budget)
{
}

CImageSet& CImageSet::operator=(const CImageSet& other)
{
    if (this != &other)
    {
        m_variants = other.m_variants;
        m_repeats = other.m_repeats;
        m_taken = other.m_taken;
        m_pendingFiles.clear();
        for (const CPendingFile& file : other.m_pendingFiles)
            m_pendingFiles.push_back({file.path});
        m_name = other.m_name;
        m_budget = other.m_budget;
    }
    return *this;
}

bool CImageSet::AddFile(const std::string& path)
{
    if (GetVariantCount() + m_pendingFiles.size() >= kMostVariants)
        return false;
    m_pendingFiles.push_back({path});
    return true;
}

void CImageSet::Weigh()
{
    for (CPendingFile& file : m_pendingFiles)
    {
        if (m_budget && !file.weighed)
            file.refused = !m_budget->Take(file.path, m_taken);
        file.weighed = true;
    }
}

void CImageSet::DecodeAhead()
{
    Weigh();
    for (const CPendingFile& file : m_pendingFiles)
        if (!file.refused)
            DecodePictureAhead(file.path);
}

void CImageSet::LoadPending()
{
    Weigh();
    // Each file is decoded straight into its variant: a page background is megabytes, and a
    // working copy of it would be copied once more for nothing.
    const CZevralImage* previous = nullptr;
    for (const CPendingFile& file : m_pendingFiles)
    {
        m_variants.emplace_back();
        CZevralImage& variant = m_variants.back();
        if (!file.refused && !TakePictureDecodedAhead(file.path, variant))
            variant.Load(file.path);
        // Nothing decoded (or refused): the variant decoded before it in this pass stands in, and
        // is never chosen over that one, so no copy of it is kept.
        if (variant.GetWidth() == 0 && previous)
        {
            m_variants.pop_back();
            ++m_repeats;
            continue;
        }
        previous = &variant;
    }
    m_pendingFiles.clear();
}

const CZevralImage* CImageSet::Choose(uint32_t size)
{
    if (!m_pendingFiles.empty())
        LoadPending();
    int64_t bestWidth = 10000;
    const CZevralImage* choice = nullptr;
    for (const CZevralImage& variant : m_variants)
    {
        const int64_t width = variant.GetWidth();
        if (std::llabs(width - int64_t(size)) < std::llabs(bestWidth - int64_t(size)))
        {
            choice = &variant;
            bestWidth = width;
        }
    }
    return choice;
}

void CImageSet::GetImage(CZevralImage& image, uint32_t size)
{
    if (const CZevralImage* choice = Choose(size))
        image = *choice;
}

const CZevralImage* CImageSet::GetImagePointer(uint32_t size)
{
    return Choose(size);
}
