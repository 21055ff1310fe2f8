#pragma once

#include "foundation/asked_value.h"
#include "foundation/subject.h"
#include "model/personality_ref.h"

#include <cstdint>
#include <string>

class CFixtureManager;
class CMessage;
class CMessageValue;
class CPersonalityManager;
class TiXmlElement;
class TiXmlNode;

// One of the 64 slots of the patch: label, DMX start address, personality and four options.
// It mirrors the controller's slot: a setter sends a Set record when the value differs from the
// mirrored one or from the one it last asked for, and changes nothing here; the field moves when
// the controller's reply arrives, and the fixture then tells its observers. A Notify from the
// controller makes it ask again.
class CFixture : public CSubject
{
public:
    static constexpr uint32_t kFirstChannel = 1;
    static constexpr uint32_t kLastChannel = 512;

    // Only the fixture manager creates fixtures. The library serves to look profiles up when a
    // show names a personality without one.
    CFixture(CFixtureManager* owner, CPersonalityManager* library) : m_owner(owner), m_library(library) {}

    std::string GetLabel() const { return m_label; }
    uint32_t GetAddress() const { return m_address; }
    CPersonalityRef GetPersonality() const { return m_personality; }
    bool GetInvertPan() const { return m_invertPan; }
    bool GetInvertTilt() const { return m_invertTilt; }
    bool GetSwapPanTilt() const { return m_swapPanTilt; }
    bool GetVirtualDimmer() const { return m_virtualDimmer; }
    // What a toggle flips: the option last asked for until the controller has reported it since,
    // else the one reported.
    bool GetIntendedInvertPan() const { return m_askedInvertPan.Intended(m_invertPan); }
    bool GetIntendedInvertTilt() const { return m_askedInvertTilt.Intended(m_invertTilt); }
    bool GetIntendedSwapPanTilt() const { return m_askedSwapPanTilt.Intended(m_swapPanTilt); }
    bool GetIntendedVirtualDimmer() const { return m_askedVirtualDimmer.Intended(m_virtualDimmer); }
    // The slot, -1 when the owner does not hold the fixture.
    int32_t GetIndex() const;
    // "PTSD": one letter per option that is set, a dash for each that is not.
    std::string GetOptionText() const;
    // The address lies in 1..512.
    bool IsPatched() const { return m_address >= kFirstChannel && m_address <= kLastChannel; }
    // Nothing to keep: no label, not patched, no option, no personality.
    bool IsEmpty() const;

    void SetLabel(const std::string& label);
    void SetPersonality(const CPersonalityRef& personality);
    // Clamped to 1..512 first.
    void SetAddress(uint32_t address);
    void SetInvertPan(bool invert);
    void SetInvertTilt(bool invert);
    void SetSwapPanTilt(bool swap);
    void SetVirtualDimmer(bool dimmer);
    // Empties the slot on the controller; always sent. The mirror then says nothing of what the
    // controller holds: whatever is asked next goes, even a value equal to the last report.
    void Clear();
    // A set of the slot that never left (the command names which): what it asked for is forgotten
    // (TForget says how much).
    void ForgetAsked(uint32_t command, TForget what);

    // A record of the fixture's manager routed to this slot.
    void HandleMessage(const CMessage& message);
    // The packed properties word: options in bits 0..3, the address in bits 16..31.
    void ApplyProperties(uint32_t word);

    // Fills the "fixture" element the fixture manager made.
    void WriteXml(TiXmlElement* element) const;
    // Sends what a "fixture" element holds. Normally only differences from the mirror are sent;
    // with everything set (the slot was just cleared on the controller) every value goes.
    void ReadXml(const TiXmlNode* node, bool everything = false);

    CDigest ComputeDigest() override;
    // Also marks the owner, whose digest is made of the fixtures'.
    void SetChanged() override;

private:
    void SendRequest(uint32_t command);
    void SendValue(uint32_t command, const CMessageValue& value);
    // An option, sent when it must go (see CAskedValue).
    void SendFlag(uint32_t command, CAskedValue<bool>& asked, bool value, bool reported, bool always = false);
    void StoreAddress(uint32_t address);
    // A reported option; it answers what was asked unless a set of it still waits (`set`).
    void StoreFlag(bool& field, CAskedValue<bool>& asked, uint32_t set, bool value, uint32_t code);
    void ForgetEveryAsk();

    CFixtureManager* m_owner;
    CPersonalityManager* m_library;
    CPersonalityRef m_personality;
    std::string m_label;
    uint32_t m_address = 0;
    bool m_invertPan = false;
    bool m_invertTilt = false;
    bool m_swapPanTilt = false;
    bool m_virtualDimmer = false;
    CAskedValue<std::string> m_askedLabel;
    CAskedValue<CPersonalityRef> m_askedPersonality;
    CAskedValue<uint32_t> m_askedAddress;
    CAskedValue<bool> m_askedInvertPan;
    CAskedValue<bool> m_askedInvertTilt;
    CAskedValue<bool> m_askedSwapPanTilt;
    CAskedValue<bool> m_askedVirtualDimmer;
};
