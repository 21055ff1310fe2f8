#include "foundation/value_image.h"

#include <algorithm>

CValueImage::CValueImage(uint32_t width, uint32_t height)
    : m_width(std::min(width, kMaxSide)), m_height(std::min(height, kMaxSide))
{
    m_pixels.assign(size_t(m_width) * m_height, kOpaqueBlack);
    if (m_pixels.empty())
        m_width = m_height = 0;
}

CValueImage::CValueImage(uint32_t width, uint32_t height, const uint32_t* pixels, uint32_t stride)
    : CValueImage(pixels ? width : 0, pixels ? height : 0)
{
    for (uint32_t y = 0; y < m_height; ++y)
        std::copy_n(pixels + size_t(y) * stride, m_width, m_pixels.begin() + size_t(y) * m_width);
}

bool CValueImage::operator==(const CValueImage& other) const
{
    return m_width == other.m_width && m_height == other.m_height && m_pixels == other.m_pixels;
}
