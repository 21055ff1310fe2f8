#pragma once

#include <cstdint>
#include <string>

// Effect shape codes; FxShapeName gives their display names.
enum : uint32_t
{
    FX_SHAPE_NONE = 0,
    FX_SHAPE_SINUS = 1,
    FX_SHAPE_RAMP = 2,
    FX_SHAPE_INVERSED_RAMP = 3,
    FX_SHAPE_SQUARE = 4,
    FX_SHAPE_RANDOM = 5,
    FX_SHAPE_CIRCLE = 6,
    FX_SHAPE_EIGHT = 7,
    FX_SHAPE_PAN = 8,
    FX_SHAPE_TILT = 9,
    FX_SHAPE_RAINBOW = 10,
    FX_SHAPE_FULL_SINUS = 11,
    FX_SHAPE_FULL_TWINKLE = 12,
};

// "None", "Sinus", ... ; "Unknown" for a code without a shape.
const char* FxShapeName(uint32_t shape);
// How many shapes the effects dialog offers for a programmer attribute group, "None" included
// (1 for a group without effects).
uint32_t FxShapeCountOfGroup(uint32_t group);
// The shape of the group's choice; choice 0 and anything out of range give "None".
uint32_t FxShapeOfGroup(uint32_t group, uint32_t choice);

// The effect running on one of the programmer's effect groups: a shape, its size, its speed (the
// sign is the direction) and its phase.
class CFxValue
{
public:
    static constexpr int kWireSize = 4;

    uint32_t GetShape() const { return m_shape; }
    void SetShape(uint32_t shape) { m_shape = shape; }
    uint8_t GetSize() const { return m_size; }
    void SetSize(uint32_t size) { m_size = uint8_t(size); }
    int8_t GetSpeed() const { return m_speed; }
    void SetSpeed(int32_t speed) { m_speed = int8_t(uint8_t(speed)); }
    uint8_t GetPhase() const { return m_phase; }
    void SetPhase(uint32_t phase) { m_phase = uint8_t(phase); }

    bool operator==(const CFxValue& other) const;
    bool operator!=(const CFxValue& other) const { return !(*this == other); }

    // "Circle 128 -20 0": name, size, signed speed, phase.
    std::string ToString() const;

    // Shape (its low byte), size, speed, phase; returns kWireSize.
    int WriteWire(uint8_t out[kWireSize]) const;
    void ReadWire(const uint8_t in[kWireSize]);

private:
    uint32_t m_shape = FX_SHAPE_NONE;
    uint8_t m_size = 0;
    int8_t m_speed = 0;
    uint8_t m_phase = 0;
};
