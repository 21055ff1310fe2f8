#include "graphics/image_set.h"

#include "graphics/picture_ahead.h"

#include <cstdlib>

CImageSet::CImageSet(const CImageSet& other) : m_variants(other.m_variants), m_name(other.m_name)
{
}

CImageSet& CImageSet::operator=(const CImageSet& other)
{
    if (this != &other)
    {
        m_variants = other.m_variants;
        m_pendingFiles = other.m_pendingFiles;
        m_name = other.m_name;
    }
    return *this;
}

bool CImageSet::AddFile(const std::string& path)
{
    if (m_variants.size() + m_pendingFiles.size() >= kMostVariants)
        return false;
    m_pendingFiles.push_back(path);
    return true;
}

void CImageSet::DecodeAhead() const
{
    for (const std::string& path : m_pendingFiles)
        DecodePictureAhead(path);
}

void CImageSet::LoadPending()
{
    // Each file is decoded straight into its variant: a page background is megabytes, and a
    // working copy of it would be copied once more for nothing.
    const CZevralImage* previous = nullptr;
    for (const std::string& path : m_pendingFiles)
    {
        m_variants.emplace_back();
        CZevralImage& variant = m_variants.back();
        if (!TakePictureDecodedAhead(path, variant))
            variant.Load(path);
        // Nothing decoded: the variant decoded before it in this pass stands in.
        if (variant.GetWidth() == 0 && previous)
            variant = *previous;
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
