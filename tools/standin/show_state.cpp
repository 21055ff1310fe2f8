#include "tools/standin/show_state.h"

#include "foundation/colour.h"
#include "foundation/coordinate.h"
#include "foundation/fx_value.h"

namespace standin
{
uint32_t SPlayback::GetProperties() const
{
    const uint32_t count = cues.size() > 255 ? 255u : static_cast<uint32_t>(cues.size());
    return (background ? 1u : 0u) | (exclusive ? 2u : 0u) | ((goMode & 0xFu) << 4) | ((status & 0xFu) << 8) |
           ((repeat & 0xFu) << 12) | (count << 16) | ((currentCue & 0xFFu) << 24);
}

uint32_t SFixture::GetProperties() const
{
    return (invertPan ? 1u : 0u) | (invertTilt ? 2u : 0u) | (swapPanTilt ? 4u : 0u) | (virtualDimmer ? 8u : 0u) |
           ((address & 0xFFFFu) << 16);
}

SProgrammer::SProgrammer()
{
    for (uint32_t group = 0; group < kGroupCount; ++group)
        groups[group] = DefaultGroupValue(group);
}

CMessageValue SProgrammer::DefaultGroupValue(uint32_t group)
{
    switch (group)
    {
    case 1:
    case 3:
    case 5:
        return CMessageValue(CFxValue());
    case 2:
        return CMessageValue(CCoordinate(0.5f, 0.5f));
    case 4:
        return CMessageValue(CColour(0, 0, 0));
    default:
        return CMessageValue(0.0f);
    }
}
}  // namespace standin
