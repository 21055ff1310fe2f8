#pragma once

#include "link/message_value.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The stand-in controller's own picture of its show: plain data, so that what the program mirrors
// is checked against something that shares none of its model code.
namespace standin
{
constexpr uint32_t kPlaybackCount = 64;
constexpr uint32_t kFixtureCount = 64;
constexpr uint32_t kGroupCount = 17;
constexpr uint32_t kMaxCues = 48;
constexpr uint32_t kBlockCount = 4;
constexpr uint32_t kBlockSize = 800;
constexpr uint32_t kRecordSize = 50;
constexpr uint32_t kRecordsPerBlock = 16;
// The current cue of a playback that is not running, in the 8 bits the properties word has for it.
constexpr uint32_t kNoCurrentCue = 255;

using Block = std::array<uint8_t, kBlockSize>;

struct SCue
{
    std::string label;
    uint32_t condition = 0;
    uint32_t fadeMs = 0;
    uint32_t delayMs = 0;
    std::array<Block, kBlockCount> blocks{};
};

struct SPlayback
{
    std::string label;
    float intensity = 1.0f;
    float speed = 0.0f;
    uint32_t repeat = 0;
    uint32_t goMode = 0;
    uint32_t status = 0;
    uint32_t currentCue = kNoCurrentCue;
    bool background = false;
    bool exclusive = false;
    std::vector<SCue> cues;

    // Background, exclusive, go mode, status, repeat, cue count and current cue in one word.
    uint32_t GetProperties() const;
};

struct SFixture
{
    std::string label;
    // The personality as the program sent it: "manufacturer","model","mode","profile".
    std::string personality;
    uint32_t address = 0;
    bool invertPan = false;
    bool invertTilt = false;
    bool swapPanTilt = false;
    bool virtualDimmer = false;

    // The four flags in bits 0 to 3 and the address in bits 16 to 31.
    uint32_t GetProperties() const;
};

struct SProgrammer
{
    uint64_t selection = 0;
    bool blind = false;
    bool clear = true;
    uint32_t playback = 0;
    // A concrete value per group from the start: a "none" value never compares equal, so the
    // program would take every reply for a change.
    std::array<CMessageValue, kGroupCount> groups;

    SProgrammer();
    // The value a group starts with: coordinate (0.5, 0.5) for position, a dark colour for the
    // colour mix, an idle effect for the effect groups and 0 for every fader.
    static CMessageValue DefaultGroupValue(uint32_t group);
};

// What the unit reports over its own protocol; the Art-Net and sACN settings are also reached
// over the link, and both roads see the same values.
struct SUnitSettings
{
    std::string label;
    std::array<uint8_t, 6> mac{};
    std::array<uint8_t, 4> subnet{{255, 255, 255, 0}};
    std::array<uint8_t, 4> ip{};
    uint16_t ipPort = 0;
    // Current firmware, so a unit is not flagged out of date unless a test asks for an old one.
    std::array<uint8_t, 2> firmware{{1, 12}};
    std::array<uint8_t, 2> pcb{{2, 1}};
    bool dhcp = false;
    bool artNetEnabled = false;
    uint8_t artNetUniverse = 0;
    bool acnEnabled = false;
    uint16_t acnUniverse = 1;
    uint32_t blinks = 0;
    uint32_t resets = 0;
};

struct SShow
{
    std::array<SPlayback, kPlaybackCount> playbacks;
    std::array<SFixture, kFixtureCount> fixtures;
    SProgrammer programmer;
    SUnitSettings unit;
};
}  // namespace standin
