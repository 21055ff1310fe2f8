#include "link/message_value.h"

#include <cmath>
#include <cstdio>
#include <cstring>

CMessageValue::CMessageValue(const CDigest& digest) : m_type(VALUE_DIGEST), m_u32(kDigestSize)
{
    m_raw.assign(digest.GetData(), digest.GetData() + kDigestSize);
}

void CMessageValue::SetType(uint32_t type)
{
    if (type == m_type)
        return;
    m_type = type;
    if (!m_raw.empty())
    {
        m_raw.clear();
        m_raw.shrink_to_fit();
        m_u32 = 0;
    }
}

CDigest CMessageValue::GetDigest() const
{
    uint8_t bytes[kDigestSize] = {};
    if (!m_raw.empty())
        std::memcpy(bytes, m_raw.data(), m_raw.size() < kDigestSize ? m_raw.size() : kDigestSize);
    CDigest digest;
    digest.SetData(bytes);
    return digest;
}

void CMessageValue::SetRawData(const uint8_t* bytes, uint32_t count)
{
    m_type = VALUE_RAW;
    if (bytes && count > 0)
        m_raw.assign(bytes, bytes + count);
    else
        m_raw.clear();
    m_u32 = GetRawSize();
}

bool CMessageValue::operator==(const CMessageValue& other) const
{
    if (m_type != other.m_type)
        return false;
    switch (m_type)
    {
    case VALUE_STRING:
        return m_text == other.m_text;
    case VALUE_UNSIGNED:
    case VALUE_BOOL:
        return m_u32 == other.m_u32;
    case VALUE_FLOAT:
        return m_float == other.m_float;
    case VALUE_U64:
        return m_u64 == other.m_u64;
    case VALUE_COORDINATE:
        return m_coordinate == other.m_coordinate;
    case VALUE_FX:
        return m_fx == other.m_fx;
    case VALUE_COLOUR:
        return m_colour == other.m_colour;
    case VALUE_TIME:
        return m_time == other.m_time;
    case VALUE_RAW:
        return m_raw == other.m_raw;
    default:
        return false;
    }
}

std::string CMessageValue::ToText() const
{
    char buffer[64];
    switch (m_type)
    {
    case VALUE_STRING:
        return m_text;
    case VALUE_UNSIGNED:
        return std::to_string(m_u32);
    case VALUE_BOOL:
        return m_u32 != 0 ? "true" : "false";
    case VALUE_FLOAT:
        if (std::isnan(m_float))
            return std::signbit(m_float) ? "-nan" : "nan";
        if (std::isinf(m_float))
            return m_float < 0 ? "-inf" : "inf";
        std::snprintf(buffer, sizeof(buffer), "%.*g", 9, static_cast<double>(m_float));
        return buffer;
    case VALUE_U64:
        std::snprintf(buffer, sizeof(buffer), "0x%llX", static_cast<unsigned long long>(m_u64));
        return buffer;
    case VALUE_COORDINATE:
        return m_coordinate.ToString();
    case VALUE_FX:
        return m_fx.ToString();
    case VALUE_COLOUR:
        return m_colour.ToRgbawString();
    case VALUE_RAW:
        return std::to_string(GetRawSize()) + " bytes of raw data";
    case VALUE_NONE:
    case VALUE_NONE + 1:
        return "-";
    default:
        return "?";
    }
}
