#include "foundation/range.h"

#include <algorithm>
#include <cmath>

CRange::CRange(const SPackedRange& packed)
    : m_offset(packed.offset),
      m_from(uint8_t(packed.bounds & 0xFF)),
      m_to(uint8_t((packed.bounds >> 8) & 0xFF)),
      m_set(uint8_t((packed.bounds >> 16) & 0xFF)),
      m_function(packed.function)
{
}

SPackedRange CRange::Pack() const
{
    SPackedRange packed;
    packed.offset = m_offset;
    packed.bounds = uint32_t(m_from) | uint32_t(m_to) << 8 | uint32_t(m_set) << 16;
    packed.function = m_function;
    return packed;
}

bool CRange::operator==(const CRange& other) const
{
    return m_function == other.m_function && m_from == other.m_from && m_to == other.m_to &&
           m_set == other.m_set && m_offset == other.m_offset;
}

void CRange::SetFrom(int32_t from)
{
    m_from = uint8_t(std::clamp(from, 0, 255));
    m_set = 1;
}

void CRange::SetTo(int32_t to)
{
    m_to = uint8_t(std::clamp(to, 0, 255));
    m_set = 1;
}

void CRange::SetOffset(int32_t offset)
{
    m_offset = uint32_t(std::clamp(offset, 0, int32_t(kMaxOffset)));
    m_set = 1;
}

uint32_t CRange::Scale(int32_t level) const
{
    return Scale(float(level) / 255.0f);
}

uint32_t CRange::Scale(float level) const
{
    const float fraction = std::isnan(level) ? 0.0f : std::clamp(level, 0.0f, 1.0f);
    const float value = float(m_from) + float(int32_t(m_to) - int32_t(m_from)) * fraction;
    return uint32_t(value);
}

float CRange::GetFraction(uint32_t value) const
{
    if (m_from == m_to)
        return 0.0f;
    return (float(value) - float(m_from)) / (float(m_to) - float(m_from));
}

bool CRange::Contains(uint32_t value) const
{
    return value >= GetMinimum() && value <= GetMaximum();
}
