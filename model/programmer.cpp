#include "model/programmer.h"

#include "foundation/ascii.h"
#include "foundation/notify_codes.h"
#include "foundation/observer.h"
#include "foundation/owned_list.h"
#include "link/message.h"
#include "model/message_sink.h"
#include "model/core.h"
#include "model/fixture.h"
#include "model/fixture_manager.h"
#include "model/programmer_change.h"

#include <bitset>

namespace
{
// Channel types 1..22 of a profile byte and their groups; type 0 and 23..31 have none.
const uint32_t kChannelTypeGroups[22] = {
    GROUP_INTENSITY,  GROUP_POSITION, GROUP_POSITION, GROUP_COLOUR_MIX, GROUP_COLOUR_MIX, GROUP_COLOUR_MIX,
    GROUP_COLOUR_MIX, GROUP_COLOUR_MIX, GROUP_COLOUR_FIXED, GROUP_GOBO, GROUP_ROTATION, GROUP_SHUTTER,
    GROUP_IRIS,       GROUP_FROST,    GROUP_FOCUS,    GROUP_PRISM,      GROUP_ZOOM,       GROUP_CUSTOM1,
    GROUP_CUSTOM2,    GROUP_NONE,     GROUP_NONE,     GROUP_NONE,
};

// The byte at position j of a profile (one digit when only one is left); -1 when it is no hex.
int ProfileByte(const std::string& profile, size_t j)
{
    int value = 0;
    for (size_t k = j; k < j + 2 && k < profile.size(); ++k)
    {
        const int digit = HexDigitValue(profile[k]);
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}
}  // namespace

CProgrammer::CProgrammer()
{
    for (uint32_t group = 0; group < GROUP_COUNT; ++group)
        m_changes.push_back(std::make_unique<CProgrammerChange>(this, group));
    m_selection.SetChangeHandler(this, &CProgrammer::OnSelectionChange);
    Rebuild();
}

CProgrammer::~CProgrammer()
{
    DeleteBackwards(m_changes);
}

void CProgrammer::SetCore(CCore* core)
{
    if (core)
        Bind(core->GetFixtureManager(), core->GetMessageSink());
}

void CProgrammer::Bind(CFixtureManager* fixtures, CMessageSink* sink)
{
    m_fixtures = fixtures;
    m_sink = sink;
}

uint32_t CProgrammer::GroupOfChannelType(uint32_t type)
{
    type &= 31;
    return (type >= 1 && type <= 22) ? kChannelTypeGroups[type - 1] : GROUP_NONE;
}

CProgrammerChange* CProgrammer::GetChange(uint32_t position) const
{
    return ItemAt(m_changes, position);
}

CProgrammerChange* CProgrammer::FindChange(uint32_t group) const
{
    for (const auto& change : m_changes)
    {
        if (change->GetGroup() == group)
            return change.get();
    }
    return nullptr;
}

int32_t CProgrammer::GetChangeIndex(const CProgrammerChange* change) const
{
    return PositionIn(m_changes, change);
}

void CProgrammer::SetValue(uint32_t group, const CMessageValue& value)
{
    if (CProgrammerChange* change = FindChange(group))
        change->SetValue(value);
}

void CProgrammer::ObserveChanges(CObserver* observer, CSubjectSet* set)
{
    if (!set)
        return;
    set->Clear(observer);
    for (const auto& change : m_changes)
        set->Add(observer, change.get());
}

void CProgrammer::OnSelectionChange(void* context, uint64_t mask)
{
    static_cast<CProgrammer*>(context)->SendSelection(mask);
}

void CProgrammer::SendSelection(uint64_t mask)
{
    SendValue(COMMAND_SET_FIXTURES, CMessageValue(mask));
}

void CProgrammer::Load(uint32_t cue)
{
    CMessage message(MANAGER_PROGRAMMER, COMMAND_LOAD);
    message.SetIndex0(m_playback);
    message.SetIndex1(cue);
    Send(message);
}

void CProgrammer::Record(uint32_t cue)
{
    CMessage message(MANAGER_PROGRAMMER, COMMAND_RECORD);
    message.SetIndex0(m_playback);
    message.SetIndex1(cue);
    Send(message);
}

void CProgrammer::Clear()
{
    SendRequest(COMMAND_CLEAR);
}

void CProgrammer::SetBlind(bool blind)
{
    if (m_askedBlind.Ask(blind, m_blind))
        SendValue(COMMAND_SET_BLIND, CMessageValue(blind));
}

void CProgrammer::SetPlayback(uint32_t playback)
{
    if (m_askedPlayback.Ask(playback, m_playback))
        SendValue(COMMAND_SET_PLAYBACK, CMessageValue(playback));
}

void CProgrammer::Send(const CMessage& message)
{
    if (m_sink)
        m_sink->QueueMessage(message);
}

bool CProgrammer::IsWaiting(const CMessage& message) const
{
    return m_sink && m_sink->IsWaiting(message);
}

void CProgrammer::SendRequest(uint32_t command)
{
    SendValue(command, CMessageValue());
}

void CProgrammer::SendValue(uint32_t command, const CMessageValue& value)
{
    CMessage message(MANAGER_PROGRAMMER, command);
    message.SetValue(value);
    Send(message);
}

void CProgrammer::ForgetAsked(const CMessage::STarget& target, TForget what)
{
    if (target.manager == MANAGER_PROGRAMMER_CHANGE)
    {
        if (target.index0 < m_changes.size())
            m_changes[target.index0]->ForgetAsked(target.command, what);
        return;
    }
    if (target.manager != MANAGER_PROGRAMMER)
        return;
    switch (target.command)
    {
    case COMMAND_SET_FIXTURES: m_selection.ChangeTakenBack(what); break;
    case COMMAND_SET_BLIND: m_askedBlind.Forget(what); break;
    case COMMAND_SET_PLAYBACK: m_askedPlayback.Forget(what); break;
    default: break;
    }
}

void CProgrammer::HandleMessage(const CMessage& message)
{
    const CMessageValue& value = message.GetValueRef();
    if (message.GetManager() == MANAGER_PROGRAMMER_CHANGE ||
        (message.GetManager() == MANAGER_PROGRAMMER && message.GetCommand() == COMMAND_GET_VALUE))
    {
        if (message.GetIndex0() < m_changes.size())
            m_changes[message.GetIndex0()]->HandleMessage(message);
        return;
    }
    if (message.GetManager() != MANAGER_PROGRAMMER)
        return;
    switch (message.GetCommand())
    {
    case COMMAND_NOTIFY:
        // What one notification may cost, since anyone on the network can send one: for
        // "everything changed" four reads of its own and one of each of the 17 groups' values, 21
        // in all, for the others one read; each is left out while a read of its target waits
        // (COutgoingQueue), so that a flood keeps at most these 21 waiting. Their answers keep the
        // value read (a group's within one frame's payload) and ask for nothing more.
        switch (value.GetUnsigned())
        {
        case NOTIFY_UNKNOWN:
        {
            SendRequest(COMMAND_GET_FIXTURES);
            SendRequest(COMMAND_GET_BLIND);
            SendRequest(COMMAND_GET_PLAYBACK);
            SendRequest(COMMAND_GET_CLEAR);
            CMessage resync(MANAGER_PROGRAMMER_CHANGE, COMMAND_NOTIFY);
            for (uint32_t position = 0; position < m_changes.size(); ++position)
            {
                resync.SetIndex0(position);
                m_changes[position]->HandleMessage(resync);
            }
            break;
        }
        case NOTIFY_FIXTURE:
        case NOTIFY_SELECTION: SendRequest(COMMAND_GET_FIXTURES); break;
        case NOTIFY_ENABLED:
        case kNotifyBlind: SendRequest(COMMAND_GET_BLIND); break;
        case kNotifyClear: SendRequest(COMMAND_GET_CLEAR); break;
        case kNotifyPlayback: SendRequest(COMMAND_GET_PLAYBACK); break;
        default: break;
        }
        break;
    case COMMAND_SET_FIXTURES: m_selection.ChangeTaken(); break;
    case COMMAND_GET_FIXTURES:
        if (!IsWaiting(CMessage(MANAGER_PROGRAMMER, COMMAND_SET_FIXTURES)))
            m_selection.ChangesAnswered();
        if (m_selection.SetMaskQuietly(value.GetU64()))
        {
            Rebuild();
            Notify(NOTIFY_SELECTION);
        }
        break;
    case COMMAND_GET_PLAYBACK:
        if (value.GetUnsigned() != m_playback)
        {
            m_playback = value.GetUnsigned();
            Notify(kNotifyPlayback);
        }
        break;
    case COMMAND_GET_CLEAR:
        if (value.GetBool() != m_clear)
        {
            m_clear = value.GetBool();
            Notify(kNotifyClear);
        }
        break;
    case COMMAND_GET_BLIND:
        if (value.GetBool() != m_blind)
        {
            m_blind = value.GetBool();
            Notify(kNotifyBlind);
        }
        break;
    default:
        break;
    }
}

void CProgrammer::Rebuild()
{
    std::bitset<GROUP_COUNT + 1> groups;
    for (uint32_t k = 0; k < m_selection.GetCount(); ++k)
    {
        const CFixture* fixture = m_fixtures ? m_fixtures->GetFixture(static_cast<uint32_t>(m_selection.GetSelected(k))) : nullptr;
        if (!fixture)
            continue;
        const std::string profile = fixture->GetPersonality().GetProfile();
        for (size_t j = 0; j < profile.size(); j += 2)
        {
            const int byte = ProfileByte(profile, j);
            if (byte < 0)
                continue;
            const uint32_t group = GroupOfChannelType(static_cast<uint32_t>(byte));
            groups.set(group);
            // A fixture with intensity, position or colour-mix channels can take their effect.
            if (group == GROUP_INTENSITY || group == GROUP_POSITION || group == GROUP_COLOUR_MIX)
                groups.set(group + 1);
        }
        if (fixture->GetVirtualDimmer())
        {
            groups.set(GROUP_INTENSITY);
            groups.set(GROUP_INTENSITY_FX);
        }
    }
    for (const auto& change : m_changes)
        change->SetEnabled(groups.test(change->GetGroup()));
}
