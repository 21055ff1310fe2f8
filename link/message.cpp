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

// Indexed by command identifier; 75 has no name. The second column says whether a newer record
// replaces a queued one of the same target: so it does for a value or a question, where only the
// last one matters; a press and its release and every action (add, remove, load, record, clear,
// release, swap, and a count, which adds or removes cues) reach the controller as often as they
// were sent, and no value queued before one of them is changed after it.
enum TQueueing
{
    kEach,
    kLastWins,
    // A question: only its last copy matters, and it changes nothing at the controller.
    kRead,
};
struct SCommand
{
    const char* name;
    TQueueing queueing;
};
const SCommand kCommands[] = {
    {"Notify", kEach},
    {"Set", kLastWins},
    {"Get", kRead},
    {"Add", kEach},
    {"Remove", kEach},
    {"GetLabel", kRead},
    {"SetLabel", kLastWins},
    {"GetPersonality", kRead},
    {"SetPersonality", kLastWins},
    {"GetMargins", kRead},
    {"SetMargins", kLastWins},
    {"GetAddress", kRead},
    {"SetAddress", kLastWins},
    {"GetInvertPan", kRead},
    {"SetInvertPan", kLastWins},
    {"GetInvertTilt", kRead},
    {"SetInvertTilt", kLastWins},
    {"GetSwapPanTilt", kRead},
    {"SetSwapPanTilt", kLastWins},
    {"GetVirtualDimmer", kRead},
    {"SetVirtualDimmer", kLastWins},
    {"GetSpeed", kRead},
    {"SetSpeed", kLastWins},
    {"GetIntensity", kRead},
    {"SetIntensity", kLastWins},
    {"GetFxRate", kRead},
    {"SetFxRate", kLastWins},
    {"GetAttack", kRead},
    {"SetAttack", kLastWins},
    {"GetBackground", kRead},
    {"SetBackground", kLastWins},
    {"GetChase", kRead},
    {"SetChase", kLastWins},
    {"SetGoMode", kLastWins},
    {"SetGoDown", kEach},
    {"SetFlashDown", kEach},
    {"GetStatus", kRead},
    {"GetEnabled", kRead},
    {"SetEnabled", kLastWins},
    {"GetCondition", kRead},
    {"SetCondition", kLastWins},
    {"GetFadeTime", kRead},
    {"SetFadeTime", kLastWins},
    {"GetDelayTime", kRead},
    {"SetDelayTime", kLastWins},
    {"GetRepeat", kRead},
    {"SetRepeat", kLastWins},
    {"GetCurrentCue", kRead},
    {"GetProperties", kRead},
    {"SetProperties", kLastWins},
    {"GetValue", kRead},
    {"SetValue", kLastWins},
    {"GetBlind", kRead},
    {"SetBlind", kLastWins},
    {"Load", kEach},
    {"Record", kEach},
    {"Clear", kEach},
    {"GetExclusive", kRead},
    {"SetExclusive", kLastWins},
    {"GetFixtures", kRead},
    {"SetFixtures", kLastWins},
    {"GetCount", kRead},
    {"GetPlayback", kRead},
    {"SetPlayback", kLastWins},
    {"GetIndex", kRead},
    {"SetIndex", kLastWins},
    {"Release", kEach},
    {"RemoveAll", kEach},
    {"SetIp", kLastWins},
    {"GetClear", kRead},
    {"GetCueStreamBlock", kRead},
    {"SetCueStreamBlock", kLastWins},
    {"SetCount", kEach},
    {"Swap", kEach},
    {"Hello", kLastWins},
    {nullptr, kEach},
    {"GetDigest", kRead},
    {"Max", kEach},
    {"End", kEach},
};
constexpr uint32_t kCommandCount = sizeof(kCommands) / sizeof(kCommands[0]);
static_assert(kCommandCount == COMMAND_END + 1, "one entry per command identifier");
}  // namespace

bool CMessage::STarget::operator==(const STarget& other) const
{
    return manager == other.manager && command == other.command && index0 == other.index0 &&
           index1 == other.index1 && index2 == other.index2;
}

size_t CMessage::STargetHash::operator()(const STarget& target) const
{
    uint64_t hash = 14695981039346656037ull;
    for (const uint32_t part : {target.manager, target.command, target.index0, target.index1, target.index2})
        hash = (hash ^ part) * 1099511628211ull;
    return static_cast<size_t>(hash ^ (hash >> 32));
}

bool CMessage::IsLastValueOnly() const
{
    return m_command < kCommandCount && kCommands[m_command].queueing != kEach;
}

bool CMessage::IsRead() const
{
    return m_command < kCommandCount && kCommands[m_command].queueing == kRead;
}

bool CMessage::AnswersRead(const STarget& read) const
{
    const STarget own = GetTarget();
    if (own == read)
        return true;
    auto isGroupValue = [](const STarget& target) {
        return target.command == COMMAND_GET_VALUE &&
               (target.manager == MANAGER_PROGRAMMER || target.manager == MANAGER_PROGRAMMER_CHANGE);
    };
    return isGroupValue(own) && isGroupValue(read) && own.index0 == read.index0 && own.index1 == read.index1 &&
           own.index2 == read.index2;
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
    if (id < kCommandCount && kCommands[id].name)
        return kCommands[id].name;
    return "?";
}
