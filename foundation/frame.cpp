#include "foundation/frame.h"

#include <algorithm>
#include <cstdio>

namespace
{
// NaN, which has no place in 0..1, becomes 0.
float ClampUnit(float value)
{
    if (!(value > 0.0f))
        return 0.0f;
    return value > 1.0f ? 1.0f : value;
}
}  // namespace

CFrame::CFrame()
{
    std::fill(std::begin(m_component), std::end(m_component), 0.0f);
    m_component[8] = 0.5f;
}

float CFrame::GetComponent(int index) const
{
    return index >= 0 && index < kComponents ? m_component[index] : 0.0f;
}

void CFrame::SetComponent(int index, float value)
{
    if (index >= 0 && index < kComponents)
        m_component[index] = ClampUnit(value);
}

bool CFrame::operator==(const CFrame& other) const
{
    return std::equal(std::begin(m_component), std::end(m_component), std::begin(other.m_component));
}

float CFrame::Sum() const
{
    float sum = 0.0f;
    for (float component : m_component)
        sum += component;
    return sum;
}

CFrame& CFrame::operator+=(const CFrame& other)
{
    for (int i = 0; i < kComponents; ++i)
        m_component[i] = ClampUnit(m_component[i] + other.m_component[i]);
    return *this;
}

CFrame& CFrame::operator-=(const CFrame& other)
{
    for (int i = 0; i < kComponents; ++i)
        m_component[i] = ClampUnit(m_component[i] - other.m_component[i]);
    return *this;
}

CFrame& CFrame::operator*=(float factor)
{
    for (float& component : m_component)
        component = ClampUnit(component * factor);
    return *this;
}

CFrame& CFrame::operator/=(float divisor)
{
    for (float& component : m_component)
        component = ClampUnit(component / divisor);
    return *this;
}

void CFrame::Parse(const std::string& text)
{
    float read[kComponents];
    const int count = std::sscanf(text.c_str(), "%f %f %f %f %f %f %f %f %f", &read[0], &read[1], &read[2],
                                  &read[3], &read[4], &read[5], &read[6], &read[7], &read[8]);
    for (int i = 0; i < count; ++i)
        m_component[i] = read[i];
}

std::string CFrame::ToString() const
{
    std::string text;
    char number[32];
    for (int i = 0; i < kComponents; ++i)
    {
        std::snprintf(number, sizeof number, "%.*g", 9, double(m_component[i]));
        if (i > 0)
            text += ' ';
        text += number;
    }
    return text;
}
