#pragma once

#include <string>

// Nine components, each within 0..1, that the typed value carries as one "Frame".
class CFrame
{
public:
    static constexpr int kComponents = 9;

    // Components 0..7 are 0, component 8 is 0.5.
    CFrame();

    // An index outside 0..8 reads 0 and writes nothing.
    float GetComponent(int index) const;
    // Clamped to 0..1.
    void SetComponent(int index, float value);

    bool operator==(const CFrame& other) const;
    bool operator!=(const CFrame& other) const { return !(*this == other); }
    float Sum() const;
    // Frames are ordered by the sums of their components.
    bool operator<(const CFrame& other) const { return Sum() < other.Sum(); }
    bool operator>(const CFrame& other) const { return Sum() > other.Sum(); }

    // Per component, each result clamped to 0..1.
    CFrame& operator+=(const CFrame& other);
    CFrame& operator-=(const CFrame& other);
    CFrame& operator*=(float factor);
    CFrame& operator/=(float divisor);

    // Up to nine blank-separated numbers into components 0.. in order; components past the last
    // number read keep their value. Not clamped.
    void Parse(const std::string& text);
    // The nine components with nine significant digits, blank-separated: "0 0 0 0 0 0 0 0 0.5".
    std::string ToString() const;

private:
    float m_component[kComponents];
};
