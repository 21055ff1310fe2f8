#include "model/fixture_manager.h"

#include "foundation/notify_codes.h"
#include "foundation/observer.h"
#include "foundation/owned_list.h"
#include "foundation/xml_element.h"
#include "link/message.h"
#include "model/message_sink.h"
#include "model/core.h"
#include "model/fixture.h"
#include "model/show_xml.h"

#include <tinyxml.h>

#include <algorithm>
#include <array>
#include <bitset>

CFixtureManager::CFixtureManager() = default;

CFixtureManager::~CFixtureManager()
{
    DeleteBackwards(m_fixtures);
}

void CFixtureManager::Init(CCore* core)
{
    if (core)
        Init(core->GetPersonalityManager(), core->GetMessageSink());
}

void CFixtureManager::Init(CPersonalityManager* library, CMessageSink* sink)
{
    m_sink = sink;
    if (!m_fixtures.empty())
        return;
    for (uint32_t slot = 0; slot < kFixtureCount; ++slot)
        m_fixtures.push_back(std::make_unique<CFixture>(this, library));
}

CFixture* CFixtureManager::GetFixture(uint32_t index) const
{
    return ItemAt(m_fixtures, index);
}

int32_t CFixtureManager::GetFixtureIndex(const CFixture* fixture) const
{
    return PositionIn(m_fixtures, fixture);
}

CFixture* CFixtureManager::FindFixture(const std::string& label) const
{
    for (const auto& fixture : m_fixtures)
    {
        if (fixture->GetLabel() == label)
            return fixture.get();
    }
    return nullptr;
}

void CFixtureManager::ObserveFixtures(CObserver* observer, CSubjectSet* set)
{
    if (!set)
        return;
    set->Clear(observer);
    for (const auto& fixture : m_fixtures)
        set->Add(observer, fixture.get());
}

void CFixtureManager::Send(const CMessage& message)
{
    if (m_sink)
        m_sink->QueueMessage(message);
}

bool CFixtureManager::IsWaiting(const CMessage& message) const
{
    return m_sink && m_sink->IsWaiting(message);
}

void CFixtureManager::HandleMessage(const CMessage& message)
{
    if (message.GetManager() == MANAGER_FIXTURE_MANAGER)
    {
        // "Everything changed" of every slot, whoever sent it: the four reads of each of the 64
        // (CFixture::HandleMessage), 256 at most, each left out while a read of its target waits,
        // so that a flood of them keeps no more than these waiting. Nothing else is kept; any
        // other record of the manager costs nothing.
        if (message.GetCommand() != COMMAND_NOTIFY || message.GetValueRef().GetUnsigned() != NOTIFY_UNKNOWN)
            return;
        CMessage resync(MANAGER_FIXTURE, COMMAND_NOTIFY);
        for (uint32_t slot = 0; slot < m_fixtures.size(); ++slot)
        {
            resync.SetIndex0(slot);
            m_fixtures[slot]->HandleMessage(resync);
        }
    }
    else if (message.GetManager() == MANAGER_FIXTURE)
    {
        if (message.GetIndex0() < m_fixtures.size())
            m_fixtures[message.GetIndex0()]->HandleMessage(message);
    }
}

void CFixtureManager::ForgetAsked(const CMessage::STarget& target, TForget what)
{
    if (target.manager == MANAGER_FIXTURE && target.index0 < m_fixtures.size())
        m_fixtures[target.index0]->ForgetAsked(target.command, what);
}

void CFixtureManager::UpdateOccupancy()
{
    if (!m_occupancyStale)
        return;
    m_occupancy.fill(0);
    for (const auto& fixture : m_fixtures)
    {
        const uint32_t address = fixture->GetAddress();
        const uint32_t channels = fixture->GetPersonality().GetChannelCount();
        if (channels == 0 || !fixture->IsPatched())
            continue;
        for (uint32_t c = address; c < address + channels && c <= kChannelCount; ++c)
            ++m_occupancy[c - 1];
    }
    m_occupancyStale = false;
    // Every tile shows its conflict state anew.
    for (const auto& fixture : m_fixtures)
        fixture->Notify(NOTIFY_ADDRESS);
}

bool CFixtureManager::IsAddressFree(const CFixture* fixture)
{
    UpdateOccupancy();
    if (!fixture)
        return true;
    const uint32_t channels = fixture->GetPersonality().GetChannelCount();
    for (uint32_t i = 0; i < channels; ++i)
    {
        // Unsigned on purpose: address 0 wraps past the end as well.
        const uint32_t c = fixture->GetAddress() - 1 + i;
        if (c >= kChannelCount || m_occupancy[c] > 1)
            return false;
    }
    return true;
}

uint32_t CFixtureManager::GetChannelUse(uint32_t channel)
{
    UpdateOccupancy();
    return (channel >= 1 && channel <= kChannelCount) ? m_occupancy[channel - 1] : 0;
}

void CFixtureManager::WriteXml(TiXmlElement* element) const
{
    if (!element)
        return;
    for (const auto& fixture : m_fixtures)
    {
        if (fixture->IsEmpty())
            continue;
        TiXmlElement child("fixture");
        fixture->WriteXml(&child);
        element->InsertEndChild(child);
    }
}

void CFixtureManager::ReadXml(const TiXmlElement* element)
{
    if (!element)
        return;
    const int64_t count = static_cast<int64_t>(m_fixtures.size());
    // Slots cleared on the way and slots read from an element. Every slot the file leaves
    // unfilled is cleared in the end, whatever order, repeats or gaps its indexes have, so no
    // fixture of the previous show survives the load. Each slot is read once, from the last
    // element that names it, which stands as the file is read in order: a load queues at most
    // what the slots hold, however often a file names one.
    std::bitset<kFixtureCount> cleared;
    std::bitset<kFixtureCount> loaded;
    std::array<size_t, kFixtureCount> repeats{};
    // Only "fixture" elements are fixtures: comments, other nodes and elements of other names take
    // no slot's place. An index that does not read is as good as none: the fixture takes the next
    // slot.
    PlaceShowElements(
        *element, "fixture", count,
        [&](int64_t slot) {
            m_fixtures[slot]->Clear();
            cleared.set(slot);
        },
        [&](const TiXmlElement& fixtureElement, int64_t slot, bool last) {
            if (!last)
            {
                ++repeats[slot];
                return;
            }
            // A slot cleared before in this walk no longer holds on the controller what the
            // mirror says: every value is sent.
            m_fixtures[slot]->ReadXml(&fixtureElement, cleared.test(slot));
            loaded.set(slot);
        });
    for (int64_t slot = 0; slot < count; ++slot)
    {
        if (!cleared.test(slot) && !loaded.test(slot))
            m_fixtures[slot]->Clear();
        if (repeats[slot] > 0)
            ReportLeftOut(*element, "the " + std::to_string(repeats[slot]) + " elements before the last that name fixture " +
                                        std::to_string(slot));
    }
    SetChanged();
}

CDigest CFixtureManager::ComputeDigest()
{
    CDigestBuilder builder;
    for (const auto& fixture : m_fixtures)
        builder.AddDigest(fixture->GetDigest());
    return builder.GetDigest();
}

bool FixtureLabelLess(const CFixture* a, const CFixture* b)
{
    // std::string compares bytes as unsigned char, a proper prefix first.
    return a->GetLabel() < b->GetLabel();
}
