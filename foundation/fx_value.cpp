#include "foundation/fx_value.h"

#include <cstdio>
#include <iterator>

namespace
{
const char* const kShapeNames[] = {
    "None", "Sinus", "Ramp", "Inversed Ramp", "Square", "Random", "Circle",
    "Eight", "Pan", "Tilt", "Rainbow", "Full Sinus", "Full Twinkle",
};

// The effects dialog's choices per attribute group, "None" first.
const uint32_t kIntensityShapes[] = {FX_SHAPE_NONE, FX_SHAPE_SINUS, FX_SHAPE_RAMP, FX_SHAPE_INVERSED_RAMP,
                                     FX_SHAPE_SQUARE, FX_SHAPE_RANDOM};
const uint32_t kPositionShapes[] = {FX_SHAPE_NONE, FX_SHAPE_CIRCLE, FX_SHAPE_EIGHT, FX_SHAPE_SQUARE,
                                    FX_SHAPE_PAN, FX_SHAPE_TILT, FX_SHAPE_RANDOM};
const uint32_t kColourMixShapes[] = {FX_SHAPE_NONE, FX_SHAPE_RAINBOW, FX_SHAPE_RANDOM, FX_SHAPE_FULL_SINUS,
                                     FX_SHAPE_FULL_TWINKLE};
const uint32_t kNoShapes[] = {FX_SHAPE_NONE};

struct SShapeList
{
    const uint32_t* shapes;
    uint32_t count;
};

SShapeList ShapesOfGroup(uint32_t group)
{
    switch (group)
    {
    case 1: return {kIntensityShapes, uint32_t(std::size(kIntensityShapes))};
    case 3: return {kPositionShapes, uint32_t(std::size(kPositionShapes))};
    case 5: return {kColourMixShapes, uint32_t(std::size(kColourMixShapes))};
    default: return {kNoShapes, 1};
    }
}
}  // namespace

const char* FxShapeName(uint32_t shape)
{
    return shape < std::size(kShapeNames) ? kShapeNames[shape] : "Unknown";
}

uint32_t FxShapeCountOfGroup(uint32_t group)
{
    return ShapesOfGroup(group).count;
}

uint32_t FxShapeOfGroup(uint32_t group, uint32_t choice)
{
    const SShapeList list = ShapesOfGroup(group);
    return choice < list.count ? list.shapes[choice] : FX_SHAPE_NONE;
}

bool CFxValue::operator==(const CFxValue& other) const
{
    return m_shape == other.m_shape && m_size == other.m_size && m_speed == other.m_speed &&
           m_phase == other.m_phase;
}

std::string CFxValue::ToString() const
{
    char text[64];
    std::snprintf(text, sizeof text, "%s %d %+d %d", FxShapeName(m_shape), int(m_size), int(m_speed),
                  int(m_phase));
    return text;
}

int CFxValue::WriteWire(uint8_t out[kWireSize]) const
{
    out[0] = uint8_t(m_shape);
    out[1] = m_size;
    out[2] = uint8_t(m_speed);
    out[3] = m_phase;
    return kWireSize;
}

void CFxValue::ReadWire(const uint8_t in[kWireSize])
{
    m_shape = in[0];
    m_size = in[1];
    m_speed = int8_t(in[2]);
    m_phase = in[3];
}
