#include "model/fixture.h"

#include "foundation/notify_codes.h"
#include "foundation/whole_number.h"
#include "link/message.h"
#include "model/fixture_manager.h"
#include "model/personality_manager.h"
#include "model/show_xml.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstdint>
#include <optional>

namespace
{
// Codes the controller tells and the fixture answers, besides the shared ones.
enum : uint32_t
{
    kNotifyOptions = 24,
    kNotifyMargins = 25,
    kNotifyVirtualDimmer = 206,
    kNotifyLabel = 289,
    kNotifyProperties = 292,
};

uint32_t ClampAddress(uint32_t address)
{
    return std::min(std::max(address, CFixture::kFirstChannel), CFixture::kLastChannel);
}

// "universe:channel" keeps the channel; a single number is the channel, each read whole. Nothing
// for text that holds no channel 1..512: a negative, zero or too large number, or one that does
// not read whole ("1e2" is no 1), patches no fixture, just as a missing address does.
std::optional<uint32_t> ReadAddress(const TiXmlElement* element)
{
    const char* text = element->Attribute("address");
    if (!text)
        return std::nullopt;
    const std::string address = text;
    const size_t colon = address.find(':');
    const bool withUniverse = colon != std::string::npos;
    const std::optional<int64_t> universe =
        withUniverse ? ReadWholeInteger(address.substr(0, colon), 0, UINT32_MAX) : std::optional<int64_t>(0);
    const std::optional<int64_t> channel = ReadWholeInteger(withUniverse ? address.substr(colon + 1) : address,
                                                            CFixture::kFirstChannel, CFixture::kLastChannel);
    if (!universe || !channel)
    {
        ReportUnreadValue(*element, "address", address);
        return std::nullopt;
    }
    return static_cast<uint32_t>(*channel);
}
}  // namespace

int32_t CFixture::GetIndex() const
{
    return m_owner ? m_owner->GetFixtureIndex(this) : -1;
}

std::string CFixture::GetOptionText() const
{
    std::string text;
    text += m_invertPan ? 'P' : '-';
    text += m_invertTilt ? 'T' : '-';
    text += m_swapPanTilt ? 'S' : '-';
    text += m_virtualDimmer ? 'D' : '-';
    return text;
}

bool CFixture::IsEmpty() const
{
    return m_label.empty() && !IsPatched() && !m_invertPan && !m_invertTilt && !m_swapPanTilt && !m_virtualDimmer &&
           m_personality.IsEmpty();
}

void CFixture::SetLabel(const std::string& label)
{
    if (m_askedLabel.Ask(label, m_label))
        SendValue(COMMAND_SET_LABEL, CMessageValue(label));
}

void CFixture::SetPersonality(const CPersonalityRef& personality)
{
    if (m_askedPersonality.Ask(personality, m_personality))
        SendValue(COMMAND_SET_PERSONALITY, CMessageValue(personality.ToCsv()));
}

void CFixture::SetAddress(uint32_t address)
{
    address = ClampAddress(address);
    if (m_askedAddress.Ask(address, m_address))
        SendValue(COMMAND_SET_ADDRESS, CMessageValue(address));
}

void CFixture::SetInvertPan(bool invert)
{
    SendFlag(COMMAND_SET_INVERT_PAN, m_askedInvertPan, invert, m_invertPan);
}

void CFixture::SetInvertTilt(bool invert)
{
    SendFlag(COMMAND_SET_INVERT_TILT, m_askedInvertTilt, invert, m_invertTilt);
}

void CFixture::SetSwapPanTilt(bool swap)
{
    SendFlag(COMMAND_SET_SWAP_PAN_TILT, m_askedSwapPanTilt, swap, m_swapPanTilt);
}

void CFixture::SetVirtualDimmer(bool dimmer)
{
    SendFlag(COMMAND_SET_VIRTUAL_DIMMER, m_askedVirtualDimmer, dimmer, m_virtualDimmer);
}

void CFixture::Clear()
{
    ForgetEveryAsk();
    SendRequest(COMMAND_CLEAR);
}

void CFixture::ForgetEveryAsk()
{
    m_askedLabel.Forget();
    m_askedPersonality.Forget();
    m_askedAddress.Forget();
    m_askedInvertPan.Forget();
    m_askedInvertTilt.Forget();
    m_askedSwapPanTilt.Forget();
    m_askedVirtualDimmer.Forget();
}

void CFixture::ForgetAsked(uint32_t command, TForget what)
{
    switch (command)
    {
    case COMMAND_SET_LABEL: m_askedLabel.Forget(what); break;
    case COMMAND_SET_PERSONALITY: m_askedPersonality.Forget(what); break;
    case COMMAND_SET_ADDRESS: m_askedAddress.Forget(what); break;
    case COMMAND_SET_INVERT_PAN: m_askedInvertPan.Forget(what); break;
    case COMMAND_SET_INVERT_TILT: m_askedInvertTilt.Forget(what); break;
    case COMMAND_SET_SWAP_PAN_TILT: m_askedSwapPanTilt.Forget(what); break;
    case COMMAND_SET_VIRTUAL_DIMMER: m_askedVirtualDimmer.Forget(what); break;
    default: break;
    }
}

void CFixture::HandleMessage(const CMessage& message)
{
    const CMessageValue& value = message.GetValueRef();
    switch (message.GetCommand())
    {
    case COMMAND_NOTIFY:
        // What one notification may cost, since anyone on the network can send one: the reads of
        // its code, four for "everything changed" and one for the others, each left out while a
        // read of its target waits (COutgoingQueue), so that a flood keeps at most these four
        // waiting. Their answers keep the value read (a label or personality within one frame's
        // payload) and ask for nothing more.
        switch (value.GetUnsigned())
        {
        case NOTIFY_UNKNOWN:
            SendRequest(COMMAND_GET_LABEL);
            SendRequest(COMMAND_GET_ADDRESS);
            SendRequest(COMMAND_GET_PROPERTIES);
            SendRequest(COMMAND_GET_PERSONALITY);
            break;
        case NOTIFY_ADDRESS: SendRequest(COMMAND_GET_ADDRESS); break;
        case kNotifyOptions:
        case kNotifyProperties: SendRequest(COMMAND_GET_PROPERTIES); break;
        case kNotifyMargins: SendRequest(COMMAND_GET_MARGINS); break;
        case NOTIFY_PERSONALITY: SendRequest(COMMAND_GET_PERSONALITY); break;
        case kNotifyVirtualDimmer: SendRequest(COMMAND_GET_VIRTUAL_DIMMER); break;
        case kNotifyLabel: SendRequest(COMMAND_GET_LABEL); break;
        default: break;
        }
        break;
    case COMMAND_GET_LABEL:
        if (value.GetString() != m_label)
        {
            m_label = value.GetString();
            Notify(kNotifyLabel);
        }
        break;
    case COMMAND_GET_PERSONALITY:
    {
        CPersonalityRef personality;
        personality.FromCsv(value.GetString());
        if (personality != m_personality)
        {
            m_personality = personality;
            if (m_owner)
                m_owner->InvalidateOccupancy();
            Notify(NOTIFY_PERSONALITY);
        }
        break;
    }
    case COMMAND_GET_ADDRESS: StoreAddress(value.GetUnsigned()); break;
    case COMMAND_GET_INVERT_PAN:
        StoreFlag(m_invertPan, m_askedInvertPan, COMMAND_SET_INVERT_PAN, value.GetBool(), kNotifyOptions);
        break;
    case COMMAND_GET_INVERT_TILT:
        StoreFlag(m_invertTilt, m_askedInvertTilt, COMMAND_SET_INVERT_TILT, value.GetBool(), kNotifyOptions);
        break;
    case COMMAND_GET_SWAP_PAN_TILT:
        StoreFlag(m_swapPanTilt, m_askedSwapPanTilt, COMMAND_SET_SWAP_PAN_TILT, value.GetBool(), kNotifyOptions);
        break;
    case COMMAND_GET_VIRTUAL_DIMMER:
        StoreFlag(m_virtualDimmer, m_askedVirtualDimmer, COMMAND_SET_VIRTUAL_DIMMER, value.GetBool(), kNotifyVirtualDimmer);
        break;
    // A report the controller sends after taking a set may still predate it.
    case COMMAND_SET_INVERT_PAN: m_askedInvertPan.Taken(); break;
    case COMMAND_SET_INVERT_TILT: m_askedInvertTilt.Taken(); break;
    case COMMAND_SET_SWAP_PAN_TILT: m_askedSwapPanTilt.Taken(); break;
    case COMMAND_SET_VIRTUAL_DIMMER: m_askedVirtualDimmer.Taken(); break;
    case COMMAND_GET_PROPERTIES: ApplyProperties(value.GetUnsigned()); break;
    default: break;
    }
}

void CFixture::ApplyProperties(uint32_t word)
{
    StoreFlag(m_invertPan, m_askedInvertPan, COMMAND_SET_INVERT_PAN, (word & 1u) != 0, kNotifyOptions);
    StoreFlag(m_invertTilt, m_askedInvertTilt, COMMAND_SET_INVERT_TILT, (word & 2u) != 0, kNotifyOptions);
    StoreFlag(m_swapPanTilt, m_askedSwapPanTilt, COMMAND_SET_SWAP_PAN_TILT, (word & 4u) != 0, kNotifyOptions);
    StoreFlag(m_virtualDimmer, m_askedVirtualDimmer, COMMAND_SET_VIRTUAL_DIMMER, (word & 8u) != 0, kNotifyVirtualDimmer);
    StoreAddress(word >> 16);
    SetChanged();
}

void CFixture::StoreAddress(uint32_t address)
{
    if (address == m_address)
        return;
    m_address = address;
    if (m_owner)
        m_owner->InvalidateOccupancy();
    Notify(NOTIFY_ADDRESS);
}

void CFixture::StoreFlag(bool& field, CAskedValue<bool>& asked, uint32_t set, bool value, uint32_t code)
{
    CMessage waiting(MANAGER_FIXTURE, set);
    waiting.SetIndex0(static_cast<uint32_t>(GetIndex()));
    if (!m_owner || !m_owner->IsWaiting(waiting))
        asked.Answered();
    if (field == value)
        return;
    field = value;
    Notify(code);
}

void CFixture::WriteXml(TiXmlElement* element) const
{
    if (!element)
        return;
    element->SetAttribute("index", GetIndex());
    if (!m_label.empty())
        element->SetAttribute("label", m_label);
    if (IsPatched())
        element->SetAttribute("address", static_cast<int>(m_address));
    if (!m_personality.IsEmpty())
    {
        element->SetAttribute("manufacturer", m_personality.GetManufacturer());
        element->SetAttribute("model", m_personality.GetModel());
        if (!m_personality.GetMode().empty())
            element->SetAttribute("mode", m_personality.GetMode());
        element->SetAttribute("profile", m_personality.GetProfile());
    }
    if (m_invertPan)
        element->SetAttribute("invert_pan", "true");
    if (m_invertTilt)
        element->SetAttribute("invert_tilt", "true");
    if (m_swapPanTilt)
        element->SetAttribute("swap_pan_tilt", "true");
    if (m_virtualDimmer)
        element->SetAttribute("virtual_dimmer", "true");
}

void CFixture::ReadXml(const TiXmlNode* node, bool everything)
{
    if (!node)
        return;
    if (const TiXmlElement* element = node->ToElement())
    {
        const std::string label = ReadTextAttribute(*element, "label");
        const std::optional<uint32_t> address = ReadAddress(element);
        CPersonalityRef personality;
        if (element->Attribute("personality"))
            personality.FromCsv(ReadTextAttribute(*element, "personality"));
        if (element->Attribute("manufacturer"))
            personality.SetManufacturer(ReadTextAttribute(*element, "manufacturer"));
        if (element->Attribute("model"))
            personality.SetModel(ReadTextAttribute(*element, "model"));
        if (element->Attribute("mode"))
            personality.SetMode(ReadTextAttribute(*element, "mode"));
        if (element->Attribute("profile"))
            personality.SetProfile(ReadTextAttribute(*element, "profile"));
        else
            personality.SetProfile(m_library ? m_library->GetProfile(personality) : std::string());
        const bool invertPan = ReadBoolAttribute(*element, "invert_pan");
        const bool invertTilt = ReadBoolAttribute(*element, "invert_tilt");
        const bool swapPanTilt = ReadBoolAttribute(*element, "swap_pan_tilt");
        const bool virtualDimmer = ReadBoolAttribute(*element, "virtual_dimmer");

        // The writer leaves the address out of an unpatched fixture. Without one the slot must
        // end up unpatched: a slot patched on the controller is cleared, and since the mirror
        // then says nothing about the controller's values, every value is sent.
        if (!address && IsPatched())
        {
            Clear();
            everything = true;
        }
        if (m_askedPersonality.Ask(personality, m_personality, everything))
            SendValue(COMMAND_SET_PERSONALITY, CMessageValue(personality.ToCsv()));
        if (address && m_askedAddress.Ask(ClampAddress(*address), m_address, everything))
            SendValue(COMMAND_SET_ADDRESS, CMessageValue(ClampAddress(*address)));
        if (m_askedLabel.Ask(label, m_label, everything))
            SendValue(COMMAND_SET_LABEL, CMessageValue(label));
        SendFlag(COMMAND_SET_VIRTUAL_DIMMER, m_askedVirtualDimmer, virtualDimmer, m_virtualDimmer, everything);
        SendFlag(COMMAND_SET_INVERT_PAN, m_askedInvertPan, invertPan, m_invertPan, everything);
        SendFlag(COMMAND_SET_INVERT_TILT, m_askedInvertTilt, invertTilt, m_invertTilt, everything);
        SendFlag(COMMAND_SET_SWAP_PAN_TILT, m_askedSwapPanTilt, swapPanTilt, m_swapPanTilt, everything);
    }
    Notify(NOTIFY_UNKNOWN);
}

CDigest CFixture::ComputeDigest()
{
    CDigestBuilder builder;
    builder.AddString(m_personality.ToCsv());
    builder.AddString(m_label);
    builder.AddUnsigned(m_address);
    builder.AddInt(m_invertPan ? 1 : 0);
    builder.AddInt(m_invertTilt ? 1 : 0);
    builder.AddInt(m_swapPanTilt ? 1 : 0);
    builder.AddInt(m_virtualDimmer ? 1 : 0);
    return builder.GetDigest();
}

void CFixture::SetChanged()
{
    CSubject::SetChanged();
    if (m_owner)
        m_owner->SetChanged();
}

void CFixture::SendFlag(uint32_t command, CAskedValue<bool>& asked, bool value, bool reported, bool always)
{
    if (asked.Ask(value, reported, always))
        SendValue(command, CMessageValue(value));
}

void CFixture::SendRequest(uint32_t command)
{
    SendValue(command, CMessageValue());
}

void CFixture::SendValue(uint32_t command, const CMessageValue& value)
{
    if (!m_owner)
        return;
    CMessage message(MANAGER_FIXTURE, command);
    message.SetIndex0(static_cast<uint32_t>(GetIndex()));
    message.SetValue(value);
    m_owner->Send(message);
}
