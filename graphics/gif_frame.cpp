#include "graphics/gif_frame.h"

#include "foundation/byte_order.h"
#include "graphics/gif_bytes.h"
#include "graphics/gif_image.h"
#include "graphics/gif_lzw.h"
#include "graphics/zevral_image.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

using namespace gif_bytes;

namespace
{
constexpr uint32_t kMaxBits = 8;

uint32_t LimitSide(uint32_t side)
{
    if (side == 0)
        return 1;
    // Oversized values land one short of the limit: files written so have always read that way.
    return side > CGifFrame::kMaxSide ? CGifFrame::kMaxSide - 1 : side;
}

uint32_t LimitBits(uint32_t bits)
{
    return std::min(std::max(bits, 1u), kMaxBits);
}

// Hundredths of a second, rounded so that every delay read from a file is written back unchanged.
uint16_t DelayField(float seconds)
{
    const float hundredths = seconds * 100.0f;
    if (!(hundredths > 0.0f))
        return 0;
    if (hundredths >= 65535.0f)
        return 65535;
    return uint16_t(std::lround(hundredths));
}

// The smallest code size that holds every pixel value, at least the given one.
uint32_t CodeSizeFor(const std::vector<uint8_t>& pixels, uint32_t codeSize)
{
    const uint8_t largest = pixels.empty() ? 0 : *std::max_element(pixels.begin(), pixels.end());
    while (codeSize < gif_lzw::kMaxCodeSize && largest >= (1u << codeSize))
        ++codeSize;
    return codeSize;
}

// Interlaced images hold every 8th row from 0, every 8th from 4, every 4th from 2, then every
// 2nd from 1; returns the row each stored row belongs to.
std::vector<uint32_t> InterlacedRowOrder(uint32_t height)
{
    std::vector<uint32_t> order;
    order.reserve(height);
    const uint32_t passes[4][2] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};
    for (const auto& pass : passes)
        for (uint32_t y = pass[0]; y < height; y += pass[1])
            order.push_back(y);
    return order;
}
}  // namespace

CGifFrame::CGifFrame(CGifImage* owner) : m_owner(owner)
{
    Resize(LimitSide(owner ? owner->GetWidth() : 1), LimitSide(owner ? owner->GetHeight() : 1));
}

CGifFrame& CGifFrame::operator=(const CGifFrame& other)
{
    if (this == &other)
        return *this;
    CZevralImage picture;
    other.ToImage(picture, false, CRgbaColour(kOpaqueBlack));
    FromImage(picture, false);
    m_delay = other.m_delay;
    SetLeft(other.m_left);
    SetTop(other.m_top);
    const uint32_t bits = other.GetEffectiveBits();
    if (bits == 1 || bits == 2 || bits == 4 || bits == 8)
        SetBits(bits);
    SetTransparentIndex(other.m_transparentIndex);
    m_transparent = other.m_transparent;
    m_interlaced = other.m_interlaced;
    return *this;
}

bool CGifFrame::Read(std::FILE* file, const CGifGraphicControl* control)
{
    uint8_t descriptor[9];
    if (!file || !ReadBytes(file, descriptor, sizeof descriptor))
        return false;
    SetLeft(ReadLe16(descriptor));
    SetTop(ReadLe16(descriptor + 2));
    SetWidth(ReadLe16(descriptor + 4));
    SetHeight(ReadLe16(descriptor + 6));
    const uint8_t packed = descriptor[8];
    m_bits = uint32_t(packed & 7) + 1;
    m_interlaced = (packed >> 6) & 1;
    if (packed & 0x80)
        m_palette.assign(size_t(3) << m_bits, 0);
    else
        m_palette.clear();

    if (control)
    {
        m_delay = float(control->delay) / 100.0f;
        m_transparent = control->packed & 1;
        SetTransparentIndex(control->transparentIndex);
        const uint32_t disposal = (control->packed >> 2) & 7;
        m_disposal = disposal == 0 || disposal == 1 || disposal == 3 ? disposal : 2;
    }

    if (!ReadBytes(file, m_palette.data(), m_palette.size()))
        return false;

    const int codeSize = std::fgetc(file);
    if (codeSize < int(gif_lzw::kMinCodeSize) || codeSize > int(gif_lzw::kMaxCodeSize))
        return false;

    std::vector<uint8_t> data;
    uint8_t block[255];
    bool full = false;
    for (;;)
    {
        const int length = std::fgetc(file);
        if (length <= 0)
            break;
        // A block cut short by the end of the file still gives what it holds.
        const size_t read = std::fread(block, 1, size_t(length), file);
        full = full || data.size() + read > kMaxImageData;
        if (!full)
            data.insert(data.end(), block, block + read);
        if (read < size_t(length))
            break;
    }
    const size_t dataSize = data.size();
    data.resize(dataSize + 4, 0);

    std::vector<uint8_t> decoded(size_t(m_pixelCount) + 4, 0);
    gif_lzw::Decode(data.data(), dataSize, uint32_t(codeSize), decoded.data(), m_pixelCount);
    if (m_interlaced)
    {
        const std::vector<uint32_t> order = InterlacedRowOrder(m_height);
        for (uint32_t row = 0; row < m_height; ++row)
            std::copy_n(decoded.begin() + size_t(row) * m_width, m_width,
                        m_pixels.begin() + size_t(order[row]) * m_width);
    }
    else
    {
        std::copy_n(decoded.begin(), m_pixelCount, m_pixels.begin());
    }
    return true;
}

void CGifFrame::Write(std::vector<uint8_t>& output)
{
    m_interlaced = 0;

    output.insert(output.end(), {0x21, 0xF9, 0x04});
    output.push_back(uint8_t((m_disposal < 4 ? m_disposal * 4 : 8) | m_transparent));
    AppendLe16(output, DelayField(m_delay));
    output.push_back(uint8_t(m_transparentIndex));
    output.push_back(0x00);

    output.push_back(0x2C);
    AppendLe16(output, m_left);
    AppendLe16(output, m_top);
    AppendLe16(output, m_width);
    AppendLe16(output, m_height);
    uint8_t packed = uint8_t(m_interlaced * 64);
    if (HasLocalPalette())
        packed |= uint8_t(0x80 | (m_bits - 1));
    output.push_back(packed);
    output.insert(output.end(), m_palette.begin(), m_palette.end());

    // Indexes past the palette (read from a file that had them) keep their values rather than
    // being folded into others.
    const uint32_t bits = GetEffectiveBits();
    const uint32_t codeSize = CodeSizeFor(m_pixels, bits < gif_lzw::kMinCodeSize ? gif_lzw::kMinCodeSize : bits);
    output.push_back(uint8_t(codeSize));
    std::vector<uint8_t> code;
    gif_lzw::Encode(m_pixels.data(), m_pixels.size(), codeSize, code);
    for (size_t at = 0; at < code.size(); at += 255)
    {
        const size_t length = std::min<size_t>(255, code.size() - at);
        output.push_back(uint8_t(length));
        output.insert(output.end(), code.begin() + at, code.begin() + at + length);
    }
    output.push_back(0x00);
}

void CGifFrame::ToImage(CZevralImage& target, bool honourTransparency, CRgbaColour background) const
{
    if (!m_owner)
        return;
    target.Resize(m_width, m_height, true);
    CRgbaColour colours[256];
    for (uint32_t index = 0; index < 256; ++index)
        colours[index] = GetIndexColour(index);
    const bool transparent = honourTransparency && m_transparent;
    const CRgbaColour transparentColour = GetTransparentColour();
    for (uint32_t y = 0; y < m_height; ++y)
        for (uint32_t x = 0; x < m_width; ++x)
        {
            const CRgbaColour colour = colours[m_pixels[size_t(y) * m_width + x]];
            target.SetPixel(x, y, transparent && colour == transparentColour ? background : colour);
        }
}

void CGifFrame::FromImage(const CBaseImage& source, bool keepSize)
{
    if (!m_owner)
        return;
    if (!keepSize)
    {
        SetWidth(uint32_t(source.GetWidth()));
        SetHeight(uint32_t(source.GetHeight()));
    }
    std::unordered_map<uint32_t, uint8_t> nearest;
    for (uint32_t y = 0; y < m_height; ++y)
        for (uint32_t x = 0; x < m_width; ++x)
        {
            const CRgbaColour colour = source.GetPixel(x, y);
            auto found = nearest.find(colour.GetValue());
            if (found == nearest.end())
                found = nearest.emplace(colour.GetValue(), NearestIndex(colour)).first;
            m_pixels[size_t(y) * m_width + x] = found->second;
        }
}

void CGifFrame::SetWidth(uint32_t width)
{
    Resize(LimitSide(width), m_height);
}

void CGifFrame::SetHeight(uint32_t height)
{
    Resize(m_width, LimitSide(height));
}

void CGifFrame::SetLeft(uint32_t left)
{
    m_left = left > kMaxSide ? kMaxSide - 1 : left;
}

void CGifFrame::SetTop(uint32_t top)
{
    m_top = top > kMaxSide ? kMaxSide - 1 : top;
}

void CGifFrame::SetTransparentIndex(uint32_t index)
{
    const uint32_t entries = 1u << GetEffectiveBits();
    m_transparentIndex = index < entries ? index : entries - 1;
}

void CGifFrame::SetBits(uint32_t bits)
{
    bits = LimitBits(bits);
    if (bits == m_bits)
        return;
    m_bits = bits;
    if (HasLocalPalette())
        m_palette.assign(size_t(3) << m_bits, 0);
}

uint32_t CGifFrame::GetEffectiveBits() const
{
    if (HasLocalPalette() || !m_owner)
        return m_bits;
    return m_owner->GetBits();
}

void CGifFrame::SetLocalPalette(bool present)
{
    if (!present)
        m_palette.clear();
    else if (m_palette.empty())
        m_palette.assign(size_t(3) << m_bits, 0);
}

void CGifFrame::SetPaletteEntry(uint32_t index, CRgbaColour colour)
{
    if (size_t(index) * 3 + 2 >= m_palette.size())
        return;
    m_palette[index * 3] = colour.GetRed();
    m_palette[index * 3 + 1] = colour.GetGreen();
    m_palette[index * 3 + 2] = colour.GetBlue();
}

uint8_t CGifFrame::GetPixelIndex(uint32_t position) const
{
    return position < m_pixels.size() ? m_pixels[position] : 0;
}

void CGifFrame::SetPixelIndex(uint32_t position, uint8_t index)
{
    if (position < m_pixels.size())
        m_pixels[position] = index;
}

CRgbaColour CGifFrame::GetIndexColour(uint32_t index) const
{
    if (!HasLocalPalette())
        return m_owner ? m_owner->GetPaletteEntry(index) : CRgbaColour(kOpaqueBlack);
    if (size_t(index) * 3 + 2 >= m_palette.size())
        return CRgbaColour(kOpaqueBlack);
    return CRgbaColour(uint32_t(m_palette[index * 3]), uint32_t(m_palette[index * 3 + 1]),
                       uint32_t(m_palette[index * 3 + 2]), 255u);
}

CRgbaColour CGifFrame::GetColour(uint32_t x, uint32_t y) const
{
    if (x >= m_width || y >= m_height)
        return CRgbaColour(kOpaqueBlack);
    return GetIndexColour(m_pixels[size_t(y) * m_width + x]);
}

int32_t CGifFrame::GetIndex() const
{
    return m_owner ? m_owner->GetFrameIndex(this) : -1;
}

void CGifFrame::Resize(uint32_t width, uint32_t height)
{
    if (width == m_width && height == m_height && m_pixels.size() == size_t(width) * height)
        return;
    m_width = width;
    m_height = height;
    m_pixelCount = width * height;
    m_pixels.assign(m_pixelCount, 0);
}

uint8_t CGifFrame::NearestIndex(CRgbaColour colour) const
{
    const uint32_t entries = 1u << GetEffectiveBits();
    float best = 500.0f;
    uint8_t bestIndex = 0;
    for (uint32_t index = 0; index < entries; ++index)
    {
        const float distance = colour.Distance(GetIndexColour(index));
        if (distance < best)
        {
            best = distance;
            bestIndex = uint8_t(index);
        }
    }
    return bestIndex;
}
