#pragma once

#include "foundation/asked_value.h"
#include "foundation/subject.h"
#include "link/link_model.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CCore;
class CFixture;
class CMessage;
class CMessageSink;
class CObserver;
class CPersonalityManager;
class CSubjectSet;
class TiXmlElement;

// The patch: 64 fixture slots, made once and kept for the program's life. It routes the
// controller's fixture records to the slots, carries the slots' records to the device manager,
// reads and writes the show file's "fixtures" element, and keeps the 512-channel occupancy map
// from which the patch page shows overlapping fixtures and fixtures that run past channel 512.
class CFixtureManager : public CSubject, public CMessageHandler
{
public:
    static constexpr uint32_t kFixtureCount = 64;
    static constexpr uint32_t kChannelCount = 512;

    CFixtureManager();
    ~CFixtureManager() override;
    CFixtureManager(const CFixtureManager&) = delete;
    CFixtureManager& operator=(const CFixtureManager&) = delete;

    // Makes the 64 slots, bound to the model root's library and device link.
    void Init(CCore* core);
    // The same with the library and where records go given apart.
    void Init(CPersonalityManager* library, CMessageSink* sink);

    uint32_t GetFixtureCount() const { return static_cast<uint32_t>(m_fixtures.size()); }
    // Null past the last slot.
    CFixture* GetFixture(uint32_t index) const;
    int32_t GetFixtureIndex(const CFixture* fixture) const;
    // The first fixture whose label is exactly the text, or null.
    CFixture* FindFixture(const std::string& label) const;
    // The observer follows the slots in order, as many as its set holds.
    void ObserveFixtures(CObserver* observer, CSubjectSet* set);

    void Send(const CMessage& message);
    // Whether a record of the message's target is still queued for the controller or on its way.
    bool IsWaiting(const CMessage& message) const;
    // Records of managers 30 and 31; anything else is ignored.
    void HandleMessage(const CMessage& message) override;
    // A value queued for a slot was taken back before it left: the slot forgets it asked for it
    // (TForget says how much).
    void ForgetAsked(const CMessage::STarget& target, TForget what);

    // Every channel of the fixture lies in 1..512 and no other fixture uses it. A fixture
    // without channels is free; an unpatched one with channels is not. After a change the map
    // is rebuilt first and every fixture is told NOTIFY_ADDRESS.
    bool IsAddressFree(const CFixture* fixture);
    // How many patched fixtures use the channel (1..512); 0 outside. Rebuilds like IsAddressFree.
    uint32_t GetChannelUse(uint32_t channel);
    void InvalidateOccupancy() { m_occupancyStale = true; }

    // The non-empty slots as "fixture" children of the element.
    void WriteXml(TiXmlElement* element) const;
    // Sends the patch a "fixtures" element describes; every slot it does not fill is cleared. Each
    // slot is read once, from the last element that names it, whatever the file repeats.
    void ReadXml(const TiXmlElement* element);

    CDigest ComputeDigest() override;

private:
    void UpdateOccupancy();

    bool m_occupancyStale = true;
    std::vector<std::unique_ptr<CFixture>> m_fixtures;
    CMessageSink* m_sink = nullptr;
    std::array<uint8_t, kChannelCount> m_occupancy{};
};

// Orders fixtures by label, byte by byte, a proper prefix first.
bool FixtureLabelLess(const CFixture* a, const CFixture* b);
