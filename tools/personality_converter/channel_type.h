#pragma once

#include <cstdint>
#include <string>

// Channel-type codes written into a personality profile, one byte per DMX channel. The low five
// bits choose the programmer's attribute group; the controller and this program share the order
// of the five colour-mix codes. kChannelFine marks the low byte of a 16-bit pair: the programmer
// masks it away, the controller uses it to pair the bytes.
enum EChannelType : uint8_t
{
    kChannelUnused = 0,  // no attribute group: colours the mix cannot carry, unknown channels
    kChannelIntensity = 1,
    kChannelPan = 2,
    kChannelTilt = 3,
    kChannelRed = 4,
    kChannelGreen = 5,
    kChannelBlue = 6,
    kChannelAmber = 7,
    kChannelWhite = 8,
    kChannelColourFixed = 9,  // colour wheels and colour macros
    kChannelGobo = 10,
    kChannelRotation = 11,  // gobo rotation and indexing
    kChannelShutter = 12,
    kChannelIris = 13,
    kChannelFrost = 14,
    kChannelFocus = 15,
    kChannelPrism = 16,
    kChannelZoom = 17,
    kChannelCustom1 = 18,  // other beam shaping: blades, beam shapers, effect wheels
    kChannelCustom2 = 19,
    kChannelMaintenance = 20,
    kChannelSpeed = 21,
    kChannelEffect = 22,
};

constexpr uint8_t kChannelFine = 0x20;

// One channel as a fixture definition describes it: either a preset name, or a group (with the
// byte of a 16-bit pair and, for intensity channels, the colour of the emitter).
struct SSourceChannel
{
    std::string name;
    std::string preset;
    std::string group;
    int groupByte = 0;
    std::string colour;
};

struct SChannelMapping
{
    uint8_t code = kChannelUnused;
    // Why the channel found no attribute group ("colour UV", "unknown preset Foo"); empty when it did,
    // and for maintenance, speed and effect channels, which have no group by design.
    std::string loss;
};

SChannelMapping MapChannel(const SSourceChannel& channel);
