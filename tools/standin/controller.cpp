#include "tools/standin/controller.h"

#include "foundation/byte_order.h"
#include "foundation/colour.h"
#include "foundation/coordinate.h"
#include "foundation/fx_value.h"
#include "link/message_frame.h"
#include "tools/standin/show_digest.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace standin
{
namespace
{
// Notification codes the program's objects react to.
enum : uint32_t
{
    kAll = 0,
    kList = 3,
    kSpeed = 13,
    kEnabled = 19,
    kAddress = 20,
    kValue = 23,
    kFlags = 24,
    kPersonality = 32,
    kSelection = 38,
    kExclusive = 46,
    kDelay = 54,
    kGroupValue = 84,
    kCondition = 90,
    kCurrentCue = 92,
    kClear = 117,
    kGoMode = 121,
    kStatus = 144,
    kBackground = 197,
    kVirtualDimmer = 206,
    kLabel = 289,
    kIntensity = 290,
    kRepeat = 291,
    kFade = 293,
    kBlind = 294,
    kBlock = 296,
    kPlayback = 400,
};

constexpr size_t kRecentFrames = 64;
constexpr uint32_t kAtEnd = 0xFFFFFFFFu;
// The properties word has 8 bits for the cue count.
constexpr uint32_t kMaxCueCount = 255;

float Clamp(float value, float low, float high)
{
    if (std::isnan(value))
        return low;
    return std::min(high, std::max(low, value));
}

uint16_t FractionToU16(float fraction)
{
    return static_cast<uint16_t>(Clamp(fraction, 0.0f, 1.0f) * 65535.0f + 0.5f);
}

float U16ToFraction(uint16_t value)
{
    return value / 65535.0f;
}

// Where a fader group keeps its 16-bit value in a cue record.
int FaderOffset(uint32_t group)
{
    switch (group)
    {
    case 0: return 16;
    case 6: return 18;
    case 8: return 30;
    case 9: return 32;
    case 7: return 34;
    case 12: return 36;
    case 13: return 38;
    case 11: return 40;
    case 10: return 42;
    case 14: return 44;
    case 15: return 46;
    case 16: return 48;
    default: return -1;
    }
}

// The effect groups keep their 4-byte wire form at the start of the record.
int EffectOffset(uint32_t group)
{
    switch (group)
    {
    case 1: return 0;
    case 3: return 4;
    case 5: return 8;
    default: return -1;
    }
}

uint8_t* RecordOf(SCue& cue, uint32_t slot)
{
    return cue.blocks[slot / kRecordsPerBlock].data() + (slot % kRecordsPerBlock) * kRecordSize;
}

bool IsZero(const uint8_t* bytes, size_t count)
{
    return std::all_of(bytes, bytes + count, [](uint8_t b) { return b == 0; });
}

// Writes a group's value into a record; nothing for a value of another kind.
void WriteGroup(uint8_t* record, uint32_t group, const CMessageValue& value)
{
    if (const int at = FaderOffset(group); at >= 0 && value.GetType() == VALUE_FLOAT)
        WriteLe16(record + at, FractionToU16(value.GetFloat()));
    else if (const int fx = EffectOffset(group); fx >= 0 && value.GetType() == VALUE_FX)
        value.GetFx().WriteWire(record + fx);
    else if (group == 2 && value.GetType() == VALUE_COORDINATE)
    {
        WriteLe16(record + 12, FractionToU16((value.GetCoordinate().GetX() + 1.0f) / 2.0f));
        WriteLe16(record + 14, FractionToU16((value.GetCoordinate().GetY() + 1.0f) / 2.0f));
    }
    else if (group == 4 && value.GetType() == VALUE_COLOUR)
    {
        uint16_t channels[5];
        value.GetColour().WriteWire(channels);
        for (int i = 0; i < 5; ++i)
            WriteLe16(record + 20 + 2 * i, channels[i]);
    }
}

// Reads a group's value back from a record; false when the record holds none for the group.
bool ReadGroup(const uint8_t* record, uint32_t group, CMessageValue& value)
{
    if (const int at = FaderOffset(group); at >= 0)
    {
        if (IsZero(record + at, 2))
            return false;
        value = CMessageValue(U16ToFraction(ReadLe16(record + at)));
        return true;
    }
    if (const int fx = EffectOffset(group); fx >= 0)
    {
        if (IsZero(record + fx, 4))
            return false;
        CFxValue effect;
        effect.ReadWire(record + fx);
        value = CMessageValue(effect);
        return true;
    }
    if (group == 2)
    {
        if (IsZero(record + 12, 4))
            return false;
        value = CMessageValue(CCoordinate(U16ToFraction(ReadLe16(record + 12)) * 2.0f - 1.0f,
                                          U16ToFraction(ReadLe16(record + 14)) * 2.0f - 1.0f));
        return true;
    }
    if (group == 4)
    {
        if (IsZero(record + 20, 10))
            return false;
        uint16_t channels[5];
        for (int i = 0; i < 5; ++i)
            channels[i] = ReadLe16(record + 20 + 2 * i);
        CColour colour;
        colour.ReadWire(channels);
        value = CMessageValue(colour);
        return true;
    }
    return false;
}

CMessage ReplyTo(const CMessage& request)
{
    CMessage reply(request.GetManager(), request.GetCommand());
    reply.SetIndex0(request.GetIndex0());
    reply.SetIndex1(request.GetIndex1());
    reply.SetIndex2(request.GetIndex2());
    reply.SetSequence(request.GetSequence());
    return reply;
}
}  // namespace

CMessage CController::MakeNotify(uint32_t manager, uint32_t index0, uint32_t index1, uint32_t index2,
                                 uint32_t code, uint16_t sequence)
{
    CMessage notify(manager, COMMAND_NOTIFY);
    notify.SetIndex0(index0);
    notify.SetIndex1(index1);
    notify.SetIndex2(index2);
    notify.SetSequence(sequence);
    notify.SetValue(CMessageValue(code));
    return notify;
}

void CController::Notify(SLinkAnswer& answer, uint32_t manager, uint32_t index0, uint32_t index1,
                         uint32_t index2, uint32_t code)
{
    answer.notifies.push_back(MakeNotify(manager, index0, index1, index2, code, m_sequence));
}

bool CController::HandleFrame(const uint8_t* bytes, size_t count, SLinkAnswer& answer)
{
    CMessage request;
    if (!CMessageFrame::Decode(bytes, count, request))
        return false;
    m_lastSequence = request.GetSequence();

    // A resend of the frame last handled under its sequence (its acknowledgement went missing)
    // is answered again but not applied again. The same sequence with other bytes is the
    // program's newer value for the record in flight, and is applied, even when it equals a value
    // applied before under that sequence (0.1, 0.6 and back to 0.1 ends at 0.1).
    const auto last = std::find_if(m_recent.rbegin(), m_recent.rend(),
                                   [&](const SRecent& recent) { return recent.sequence == request.GetSequence(); });
    if (last != m_recent.rend() && last->bytes.size() == count && std::memcmp(last->bytes.data(), bytes, count) == 0)
    {
        answer = SLinkAnswer();
        answer.reply = last->reply;
        answer.duplicate = true;
        return true;
    }

    answer = Apply(request);
    m_recent.push_back(SRecent{request.GetSequence(), std::vector<uint8_t>(bytes, bytes + count), answer.reply});
    if (m_recent.size() > kRecentFrames)
        m_recent.pop_front();
    return true;
}

SLinkAnswer CController::Apply(const CMessage& request)
{
    SLinkAnswer answer;
    answer.reply = ReplyTo(request);
    m_sequence = request.GetSequence();
    switch (request.GetManager())
    {
    case MANAGER_PLAYBACK_MANAGER:
        ApplyPlaybackManager(request, answer);
        break;
    case MANAGER_PLAYBACK:
        ApplyPlayback(request, answer);
        break;
    case MANAGER_CUE:
        ApplyCue(request, answer);
        break;
    case MANAGER_FIXTURE:
        ApplyFixture(request, answer);
        break;
    case MANAGER_PROGRAMMER:
        ApplyProgrammer(request, answer);
        break;
    case MANAGER_PROGRAMMER_CHANGE:
        ApplyGroup(request, answer);
        break;
    case MANAGER_ARTNET:
    case MANAGER_ACN:
        ApplyOutput(request, answer);
        break;
    case MANAGER_ENGINE:
        ApplyEngine(request, answer);
        break;
    default:
        // The keep-alive and everything unknown: acknowledged only.
        break;
    }
    return answer;
}

void CController::ApplyPlaybackManager(const CMessage& request, SLinkAnswer& answer)
{
    switch (request.GetCommand())
    {
    case COMMAND_RELEASE:
        for (uint32_t index = 0; index < kPlaybackCount; ++index)
        {
            SPlayback& playback = m_show.playbacks[index];
            if (playback.status == 0 && playback.currentCue == kNoCurrentCue)
                continue;
            playback.status = 0;
            playback.currentCue = kNoCurrentCue;
            Notify(answer, MANAGER_PLAYBACK, index, 0, 0, kStatus);
            Notify(answer, MANAGER_PLAYBACK, index, 0, 0, kCurrentCue);
        }
        break;
    case COMMAND_SWAP:
    {
        const uint32_t a = request.GetIndex0();
        const uint32_t b = request.GetIndex1();
        if (a >= kPlaybackCount || b >= kPlaybackCount || a == b)
            break;
        std::swap(m_show.playbacks[a], m_show.playbacks[b]);
        // Code 0 alone refreshes the cues only when their number changed.
        for (uint32_t index : {a, b})
        {
            Notify(answer, MANAGER_PLAYBACK, index, 0, 0, kAll);
            Notify(answer, MANAGER_PLAYBACK, index, 0, 0, kList);
        }
        break;
    }
    default:
        break;
    }
}

void CController::ApplyPlayback(const CMessage& request, SLinkAnswer& answer)
{
    const uint32_t index = request.GetIndex0();
    if (index >= kPlaybackCount)
        return;
    SPlayback& playback = m_show.playbacks[index];
    const CMessageValue& value = request.GetValueRef();
    CMessage& reply = answer.reply;
    auto notify = [&](uint32_t code) { Notify(answer, MANAGER_PLAYBACK, index, 0, 0, code); };

    switch (request.GetCommand())
    {
    case COMMAND_GET_LABEL: reply.SetValue(CMessageValue(playback.label)); break;
    case COMMAND_GET_INTENSITY: reply.SetValue(CMessageValue(playback.intensity)); break;
    case COMMAND_GET_SPEED: reply.SetValue(CMessageValue(playback.speed)); break;
    case COMMAND_GET_REPEAT: reply.SetValue(CMessageValue(playback.repeat)); break;
    case COMMAND_GET_BACKGROUND: reply.SetValue(CMessageValue(playback.background)); break;
    case COMMAND_GET_EXCLUSIVE: reply.SetValue(CMessageValue(playback.exclusive)); break;
    case COMMAND_GET_STATUS: reply.SetValue(CMessageValue(playback.status)); break;
    case COMMAND_GET_CURRENT_CUE: reply.SetValue(CMessageValue(playback.currentCue)); break;
    case COMMAND_GET_COUNT: reply.SetValue(CMessageValue(uint32_t(playback.cues.size()))); break;
    case COMMAND_GET_PROPERTIES: reply.SetValue(CMessageValue(playback.GetProperties())); break;

    case COMMAND_SET_LABEL:
        playback.label = value.GetString();
        notify(kLabel);
        break;
    case COMMAND_SET_INTENSITY:
        playback.intensity = Clamp(value.GetFloat(), 0.0f, 1.0f);
        notify(kIntensity);
        break;
    case COMMAND_SET_SPEED:
        playback.speed = Clamp(value.GetFloat(), -1.0f, 1.0f);
        notify(kSpeed);
        break;
    case COMMAND_SET_REPEAT:
        playback.repeat = value.GetUnsigned() & 0xFu;
        notify(kRepeat);
        break;
    case COMMAND_SET_GO_MODE:
        playback.goMode = value.GetUnsigned() & 0xFu;
        notify(kGoMode);
        break;
    case COMMAND_SET_BACKGROUND:
        playback.background = value.GetBool();
        notify(kBackground);
        break;
    case COMMAND_SET_EXCLUSIVE:
        playback.exclusive = value.GetBool();
        notify(kExclusive);
        break;
    case COMMAND_SET_COUNT:
        // Existing cues stay: the show loader sends only what differs from them.
        playback.cues.resize(std::min(value.GetUnsigned(), kMaxCueCount));
        if (playback.currentCue != kNoCurrentCue && playback.currentCue >= playback.cues.size())
            playback.currentCue = kNoCurrentCue;
        notify(kList);
        break;
    case COMMAND_ADD:
    case 75:
        if (playback.cues.size() < kMaxCues)
        {
            const size_t at = std::min<size_t>(value.GetUnsigned() == kAtEnd ? playback.cues.size()
                                                                               : value.GetUnsigned(),
                                               playback.cues.size());
            playback.cues.insert(playback.cues.begin() + static_cast<std::ptrdiff_t>(at), SCue());
        }
        notify(kList);
        break;
    case COMMAND_REMOVE:
    {
        const size_t first = std::min<size_t>(request.GetIndex1(), playback.cues.size());
        const size_t last = std::min<size_t>(size_t(request.GetIndex1()) + request.GetIndex2(), playback.cues.size());
        playback.cues.erase(playback.cues.begin() + static_cast<std::ptrdiff_t>(first),
                            playback.cues.begin() + static_cast<std::ptrdiff_t>(last));
        if (playback.currentCue != kNoCurrentCue && playback.currentCue >= playback.cues.size())
            playback.currentCue = kNoCurrentCue;
        notify(kList);
        break;
    }
    case COMMAND_REMOVE_ALL:
        playback.cues.clear();
        playback.currentCue = kNoCurrentCue;
        notify(kList);
        break;
    case COMMAND_CLEAR:
        playback = SPlayback();
        notify(kAll);
        notify(kList);
        break;
    case COMMAND_SET_GO_DOWN:
        // A press steps to the next cue and runs it; the release does nothing.
        if (value.GetBool() && !playback.cues.empty())
        {
            playback.currentCue =
                playback.currentCue == kNoCurrentCue ? 0 : (playback.currentCue + 1) % uint32_t(playback.cues.size());
            playback.status = 1;
            notify(kStatus);
            notify(kCurrentCue);
        }
        break;
    case COMMAND_SET_FLASH_DOWN:
        playback.status = value.GetBool() ? 2u : (playback.currentCue == kNoCurrentCue ? 0u : 1u);
        notify(kStatus);
        break;
    case COMMAND_RELEASE:
        playback.status = 0;
        playback.currentCue = kNoCurrentCue;
        notify(kStatus);
        notify(kCurrentCue);
        break;
    default:
        break;
    }
}

void CController::ApplyCue(const CMessage& request, SLinkAnswer& answer)
{
    const uint32_t index = request.GetIndex0();
    if (index >= kPlaybackCount)
        return;
    SPlayback& playback = m_show.playbacks[index];
    const uint32_t first = request.GetIndex1();
    if (first >= playback.cues.size())
        return;
    const CMessageValue& value = request.GetValueRef();
    CMessage& reply = answer.reply;
    SCue& cue = playback.cues[first];

    // The range commands address [first, first + count); a cue's own Sets carry count 0.
    const uint32_t count = std::max<uint32_t>(request.GetIndex2(), 1);
    const uint32_t end = static_cast<uint32_t>(std::min<uint64_t>(uint64_t(first) + count, playback.cues.size()));
    auto forRange = [&](uint32_t code, auto change) {
        for (uint32_t c = first; c < end; ++c)
        {
            change(playback.cues[c]);
            Notify(answer, MANAGER_CUE, index, c, 0, code);
        }
    };

    switch (request.GetCommand())
    {
    case COMMAND_GET_LABEL: reply.SetValue(CMessageValue(cue.label)); break;
    case COMMAND_GET_CONDITION: reply.SetValue(CMessageValue(cue.condition)); break;
    case COMMAND_GET_FADE_TIME: reply.SetValue(CMessageValue(cue.fadeMs)); break;
    case COMMAND_GET_DELAY_TIME: reply.SetValue(CMessageValue(cue.delayMs)); break;
    case COMMAND_GET_CUE_STREAM_BLOCK:
        if (request.GetIndex2() < kBlockCount)
        {
            CMessageValue block;
            block.SetRawData(cue.blocks[request.GetIndex2()].data(), kBlockSize);
            reply.SetValue(block);
        }
        break;

    case COMMAND_SET_LABEL:
        forRange(kLabel, [&](SCue& c) { c.label = value.GetString(); });
        break;
    case COMMAND_SET_CONDITION:
        forRange(kCondition, [&](SCue& c) { c.condition = value.GetUnsigned(); });
        break;
    case COMMAND_SET_FADE_TIME:
        forRange(kFade, [&](SCue& c) { c.fadeMs = value.GetUnsigned(); });
        break;
    case COMMAND_SET_DELAY_TIME:
        forRange(kDelay, [&](SCue& c) { c.delayMs = value.GetUnsigned(); });
        break;
    case COMMAND_SET_CUE_STREAM_BLOCK:
        if (request.GetIndex2() < kBlockCount && value.GetType() == VALUE_RAW && value.GetRawSize() == kBlockSize)
        {
            std::memcpy(cue.blocks[request.GetIndex2()].data(), value.GetRawData(), kBlockSize);
            Notify(answer, MANAGER_CUE, index, first, request.GetIndex2(), kBlock);
        }
        break;
    default:
        break;
    }
}

void CController::ApplyFixture(const CMessage& request, SLinkAnswer& answer)
{
    const uint32_t slot = request.GetIndex0();
    if (slot >= kFixtureCount)
        return;
    SFixture& fixture = m_show.fixtures[slot];
    const CMessageValue& value = request.GetValueRef();
    CMessage& reply = answer.reply;
    auto notify = [&](uint32_t code) { Notify(answer, MANAGER_FIXTURE, slot, 0, 0, code); };

    switch (request.GetCommand())
    {
    case COMMAND_GET_LABEL: reply.SetValue(CMessageValue(fixture.label)); break;
    case COMMAND_GET_PERSONALITY: reply.SetValue(CMessageValue(fixture.personality)); break;
    case COMMAND_GET_ADDRESS: reply.SetValue(CMessageValue(fixture.address)); break;
    case COMMAND_GET_PROPERTIES: reply.SetValue(CMessageValue(fixture.GetProperties())); break;
    case COMMAND_GET_INVERT_PAN: reply.SetValue(CMessageValue(fixture.invertPan)); break;
    case COMMAND_GET_INVERT_TILT: reply.SetValue(CMessageValue(fixture.invertTilt)); break;
    case COMMAND_GET_SWAP_PAN_TILT: reply.SetValue(CMessageValue(fixture.swapPanTilt)); break;
    case COMMAND_GET_VIRTUAL_DIMMER: reply.SetValue(CMessageValue(fixture.virtualDimmer)); break;
    case COMMAND_GET_MARGINS: reply.SetValue(CMessageValue(0u)); break;

    case COMMAND_SET_LABEL:
        fixture.label = value.GetString();
        notify(kLabel);
        break;
    case COMMAND_SET_PERSONALITY:
        fixture.personality = value.GetString();
        notify(kPersonality);
        break;
    case COMMAND_SET_ADDRESS:
        fixture.address = value.GetUnsigned();
        notify(kAddress);
        break;
    case COMMAND_SET_INVERT_PAN:
        fixture.invertPan = value.GetBool();
        notify(kFlags);
        break;
    case COMMAND_SET_INVERT_TILT:
        fixture.invertTilt = value.GetBool();
        notify(kFlags);
        break;
    case COMMAND_SET_SWAP_PAN_TILT:
        fixture.swapPanTilt = value.GetBool();
        notify(kFlags);
        break;
    case COMMAND_SET_VIRTUAL_DIMMER:
        fixture.virtualDimmer = value.GetBool();
        notify(kVirtualDimmer);
        break;
    case COMMAND_CLEAR:
        fixture = SFixture();
        notify(kAll);
        break;
    default:
        break;
    }
}

void CController::ApplyProgrammer(const CMessage& request, SLinkAnswer& answer)
{
    SProgrammer& programmer = m_show.programmer;
    const CMessageValue& value = request.GetValueRef();
    CMessage& reply = answer.reply;
    auto notify = [&](uint32_t code) { Notify(answer, MANAGER_PROGRAMMER, 0, 0, 0, code); };

    switch (request.GetCommand())
    {
    case COMMAND_GET_FIXTURES: reply.SetValue(CMessageValue(programmer.selection)); break;
    case COMMAND_GET_BLIND: reply.SetValue(CMessageValue(programmer.blind)); break;
    case COMMAND_GET_PLAYBACK: reply.SetValue(CMessageValue(programmer.playback)); break;
    case COMMAND_GET_CLEAR: reply.SetValue(CMessageValue(programmer.clear)); break;
    case COMMAND_GET_VALUE:
        if (request.GetIndex0() < kGroupCount)
            reply.SetValue(programmer.groups[request.GetIndex0()]);
        break;

    case COMMAND_SET_FIXTURES:
        programmer.selection = value.GetU64();
        notify(kSelection);
        break;
    case COMMAND_SET_BLIND:
        programmer.blind = value.GetBool();
        notify(kBlind);
        break;
    case COMMAND_SET_PLAYBACK:
        programmer.playback = value.GetUnsigned();
        notify(kPlayback);
        break;
    case COMMAND_LOAD:
        LoadCue(request.GetIndex0(), request.GetIndex1(), answer);
        break;
    case COMMAND_RECORD:
        RecordCue(request.GetIndex0(), request.GetIndex1(), answer);
        break;
    case COMMAND_CLEAR:
        ClearProgrammer(answer);
        break;
    default:
        break;
    }
}

void CController::ApplyGroup(const CMessage& request, SLinkAnswer& answer)
{
    const uint32_t group = request.GetIndex0();
    if (group >= kGroupCount)
        return;
    SProgrammer& programmer = m_show.programmer;
    switch (request.GetCommand())
    {
    case COMMAND_GET_VALUE:
        answer.reply.SetValue(programmer.groups[group]);
        break;
    case COMMAND_SET_VALUE:
        // Kept as it came, kind included.
        programmer.groups[group] = request.GetValueRef();
        m_touchedGroups |= 1u << group;
        Notify(answer, MANAGER_PROGRAMMER_CHANGE, group, 0, 0, kGroupValue);
        if (programmer.clear)
        {
            programmer.clear = false;
            Notify(answer, MANAGER_PROGRAMMER, 0, 0, 0, kClear);
        }
        break;
    default:
        break;
    }
}

void CController::LoadCue(uint32_t playbackIndex, uint32_t cueIndex, SLinkAnswer& answer)
{
    if (playbackIndex >= kPlaybackCount || cueIndex >= m_show.playbacks[playbackIndex].cues.size())
        return;
    SCue& cue = m_show.playbacks[playbackIndex].cues[cueIndex];
    SProgrammer& programmer = m_show.programmer;

    uint64_t selection = 0;
    for (uint32_t slot = 0; slot < kFixtureCount; ++slot)
    {
        if (!IsZero(RecordOf(cue, slot), kRecordSize))
            selection |= uint64_t(1) << slot;
    }
    programmer.selection = selection;
    Notify(answer, MANAGER_PROGRAMMER, 0, 0, 0, kSelection);

    // The group values come from the first recorded fixture.
    m_touchedGroups = 0;
    for (uint32_t group = 0; group < kGroupCount; ++group)
    {
        CMessageValue loaded = SProgrammer::DefaultGroupValue(group);
        for (uint32_t slot = 0; slot < kFixtureCount; ++slot)
        {
            if ((selection >> slot) & 1u)
            {
                if (ReadGroup(RecordOf(cue, slot), group, loaded))
                    m_touchedGroups |= 1u << group;
                break;
            }
        }
        if (loaded != programmer.groups[group])
        {
            programmer.groups[group] = loaded;
            Notify(answer, MANAGER_PROGRAMMER_CHANGE, group, 0, 0, kGroupValue);
        }
    }
}

void CController::RecordCue(uint32_t playbackIndex, uint32_t cueIndex, SLinkAnswer& answer)
{
    if (playbackIndex >= kPlaybackCount)
        return;
    SPlayback& playback = m_show.playbacks[playbackIndex];
    bool appended = false;
    if (cueIndex >= playback.cues.size())
    {
        if (playback.cues.size() >= kMaxCues)
            return;
        playback.cues.emplace_back();
        cueIndex = static_cast<uint32_t>(playback.cues.size() - 1);
        appended = true;
    }
    SCue& cue = playback.cues[cueIndex];
    const SProgrammer& programmer = m_show.programmer;
    const auto before = cue.blocks;
    for (uint32_t slot = 0; slot < kFixtureCount; ++slot)
    {
        if (!((programmer.selection >> slot) & 1u))
            continue;
        uint8_t* record = RecordOf(cue, slot);
        std::memset(record, 0, kRecordSize);
        for (uint32_t group = 0; group < kGroupCount; ++group)
        {
            if ((m_touchedGroups >> group) & 1u)
                WriteGroup(record, group, programmer.groups[group]);
        }
    }
    if (appended)
        Notify(answer, MANAGER_PLAYBACK, playbackIndex, 0, 0, kList);
    for (uint32_t block = 0; block < kBlockCount; ++block)
    {
        if (cue.blocks[block] != before[block])
            Notify(answer, MANAGER_CUE, playbackIndex, cueIndex, block, kBlock);
    }
}

void CController::ClearProgrammer(SLinkAnswer& answer)
{
    SProgrammer& programmer = m_show.programmer;
    programmer.clear = true;
    programmer.selection = 0;
    m_touchedGroups = 0;
    Notify(answer, MANAGER_PROGRAMMER, 0, 0, 0, kClear);
    Notify(answer, MANAGER_PROGRAMMER, 0, 0, 0, kSelection);
    for (uint32_t group = 0; group < kGroupCount; ++group)
    {
        const CMessageValue initial = SProgrammer::DefaultGroupValue(group);
        if (initial != programmer.groups[group])
        {
            programmer.groups[group] = initial;
            Notify(answer, MANAGER_PROGRAMMER_CHANGE, group, 0, 0, kGroupValue);
        }
    }
}

void CController::ApplyOutput(const CMessage& request, SLinkAnswer& answer)
{
    SUnitSettings& unit = m_show.unit;
    const bool artNet = request.GetManager() == MANAGER_ARTNET;
    const CMessageValue& value = request.GetValueRef();
    switch (request.GetCommand())
    {
    case COMMAND_GET_ENABLED:
        answer.reply.SetValue(CMessageValue(artNet ? unit.artNetEnabled : unit.acnEnabled));
        break;
    case COMMAND_GET_VALUE:
        answer.reply.SetValue(CMessageValue(artNet ? uint32_t(unit.artNetUniverse) : uint32_t(unit.acnUniverse)));
        break;
    case COMMAND_SET_ENABLED:
        (artNet ? unit.artNetEnabled : unit.acnEnabled) = value.GetBool();
        Notify(answer, request.GetManager(), 0, 0, 0, kEnabled);
        break;
    case COMMAND_SET_VALUE:
        if (artNet)
            unit.artNetUniverse = static_cast<uint8_t>(value.GetUnsigned());
        else
            unit.acnUniverse = static_cast<uint16_t>(value.GetUnsigned());
        Notify(answer, request.GetManager(), 0, 0, 0, kValue);
        break;
    default:
        break;
    }
}

void CController::ApplyEngine(const CMessage& request, SLinkAnswer& answer)
{
    if (request.GetCommand() == COMMAND_GET_DIGEST)
        answer.reply.SetValue(CMessageValue(ComputeShowDigest(m_show)));
}
}  // namespace standin
