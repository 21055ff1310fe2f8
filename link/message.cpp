#include "link/message.h"

namespace
{
struct SManagerName
{
    uint32_t id;
    const char* name;
};

const SManagerName kManagerNames[] = {
    {0, "Legacy"},           {2, "NetManager"},       {3, "FlashManager"},
    {4, "FirmwareManager"},  {10, "ArtNetManager"},   {11, "AcnManager"},
    {12, "DmxManager"},      {13, "BackgroundScene"}, {14, "BeatSynthesiser"},
    {20, "ActionManager"},   {21, "ActionList"},      {23, "ActionTask"},
    {30, "FixtureManager"},  {31, "Fixture"},         {32, "PersonalityManager"},
    {40, "PlaybackManager"}, {41, "Playback"},        {42, "CueManager"},
    {43, "Cue"},             {44, "Programmer"},      {45, "ProgrammerChange"},
    {50, "Options"},         {60, "IdentifyResponse"}, {61, "DeviceManager"},
    {62, "Device"},          {63, "Engine"},          {64, "MAx"},
    {118, "Identify"},
};

// Indexed by command identifier; 75 has no name.
const char* const kCommandNames[] = {
    "Notify", "Set", "Get", "Add", "Remove", "GetLabel", "SetLabel", "GetPersonality",
    "SetPersonality", "GetMargins", "SetMargins", "GetAddress", "SetAddress", "GetInvertPan",
    "SetInvertPan", "GetInvertTilt", "SetInvertTilt", "GetSwapPanTilt", "SetSwapPanTilt",
    "GetVirtualDimmer", "SetVirtualDimmer", "GetSpeed", "SetSpeed", "GetIntensity", "SetIntensity",
    "GetFxRate", "SetFxRate", "GetAttack", "SetAttack", "GetBackground", "SetBackground", "GetChase",
    "SetChase", "SetGoMode", "SetGoDown", "SetFlashDown", "GetStatus", "GetEnabled", "SetEnabled",
    "GetCondition", "SetCondition", "GetFadeTime", "SetFadeTime", "GetDelayTime", "SetDelayTime",
    "GetRepeat", "SetRepeat", "GetCurrentCue", "GetProperties", "SetProperties", "GetValue",
    "SetValue", "GetBlind", "SetBlind", "Load", "Record", "Clear", "GetExclusive", "SetExclusive",
    "GetFixtures", "SetFixtures", "GetCount", "GetPlayback", "SetPlayback", "GetIndex", "SetIndex",
    "Release", "RemoveAll", "SetIp", "GetClear", "GetCueStreamBlock", "SetCueStreamBlock",
    "SetCount", "Swap", "Hello", nullptr, "GetDigest", "Max", "End",
};
constexpr uint32_t kCommandCount = sizeof(kCommandNames) / sizeof(kCommandNames[0]);
static_assert(kCommandCount == COMMAND_END + 1, "one entry per command identifier");
}  // namespace

bool CMessage::IsSameTarget(const CMessage& other) const
{
    return m_manager == other.m_manager && m_command == other.m_command && m_index0 == other.m_index0 &&
           m_index1 == other.m_index1 && m_index2 == other.m_index2;
}

std::string MessageManagerName(uint32_t id)
{
    for (const SManagerName& entry : kManagerNames)
    {
        if (entry.id == id)
            return entry.name;
    }
    return "?";
}

std::string MessageCommandName(uint32_t id)
{
    if (id < kCommandCount && kCommandNames[id])
        return kCommandNames[id];
    return "?";
}
