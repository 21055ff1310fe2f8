#include "model/cue.h"

#include "foundation/ascii.h"
#include "foundation/base64.h"
#include "foundation/xml_element.h"
#include "link/message.h"
#include "model/playback.h"
#include "model/show_xml.h"

#include <tinyxml.h>

#include <algorithm>

namespace
{
// The attribute group that each byte of a 50-byte cue record belongs to: three 32-bit effect
// values, then nineteen 16-bit values.
constexpr uint8_t kGroupOfByte[CCue::kRecordSize] = {
    1, 1, 1, 1,                    // intensity effect
    3, 3, 3, 3,                    // position effect
    5, 5, 5, 5,                    // colour-mix effect
    2, 2, 2, 2,                    // position, two values
    0, 0,                          // intensity
    6, 6,                          // colour fix
    4, 4, 4, 4, 4, 4, 4, 4, 4, 4,  // colour mix, five values
    8, 8,                          // gobo
    9, 9,                          // rotation
    7, 7,                          // shutter
    12, 12,                        // iris
    13, 13,                        // frost
    11, 11,                        // focus
    10, 10,                        // prism
    14, 14,                        // zoom
    15, 15,                        // custom 1
    16, 16,                        // custom 2
};

const CCue::CBlock kZeroBlock{};

bool IsZero(const uint8_t* data, size_t size)
{
    return std::all_of(data, data + size, [](uint8_t b) { return b == 0; });
}

uint32_t Milliseconds(const CTime& time)
{
    return time.GetWireMilliseconds();
}

// A time attribute of a cue: a text that is no time, or a time longer than the controller holds,
// keeps the zero it had and says so, where a fade would otherwise silently become a snap.
CTime ReadTimeAttribute(const TiXmlElement& element, const char* name)
{
    CTime time;
    const char* text = element.Attribute(name);
    if (!text)
        return time;
    CTime read;
    if (!read.ParseCString(text) || read.GetMilliseconds() > CTime::kMaxWireMilliseconds)
    {
        ReportUnreadValue(element, name, text);
        return time;
    }
    time = read;
    // Read as far as it goes, as always ("00-00-05" is its first number, 0 s), but said: a slip
    // that turned a fade into a snap is found in the log.
    CTime whole;
    if (whole.ParseEntry(text) != CTime::EEntry::kTime || whole.GetMilliseconds() != read.GetMilliseconds())
        ReportShowLine("Read in part, as " + read.ToShortString() + ": " + DescribeXmlValue(element, name, text));
    return time;
}
}  // namespace

CCue::CCue(CPlayback* owner) : m_owner(owner)
{
}

int32_t CCue::GetIndex() const
{
    return m_owner ? m_owner->IndexOfCue(this) : -1;
}

const uint8_t* CCue::GetBlock(uint32_t block) const
{
    if (block >= kBlockCount)
        return nullptr;
    return m_blocks ? (*m_blocks)[block].data() : kZeroBlock.data();
}

void CCue::SendCommand(uint32_t command, const CMessageValue& value)
{
    if (!m_owner)
        return;
    CMessage message(MANAGER_CUE, command);
    message.SetIndex0(static_cast<uint32_t>(m_owner->GetIndex()));
    message.SetIndex1(static_cast<uint32_t>(GetIndex()));
    message.SetValue(value);
    m_owner->Send(message);
}

void CCue::Request(uint32_t command)
{
    SendCommand(command, CMessageValue());
}

void CCue::RequestBlock(uint32_t block)
{
    // A cue has four blocks: a notification naming another, which only a forger sends, asks for
    // nothing, so that forged ones cannot fill the queue with reads of 65,536 blocks a cue.
    if (!m_owner || block >= kBlockCount)
        return;
    CMessage message(MANAGER_CUE, COMMAND_GET_CUE_STREAM_BLOCK);
    message.SetIndex0(static_cast<uint32_t>(m_owner->GetIndex()));
    message.SetIndex1(static_cast<uint32_t>(GetIndex()));
    message.SetIndex2(block);
    m_owner->Send(message);
}

void CCue::RequestBlocks()
{
    for (uint32_t block = 0; block < kBlockCount; ++block)
        RequestBlock(block);
}

void CCue::SendBlock(uint32_t block, const uint8_t* data)
{
    if (!m_owner)
        return;
    CMessage message(MANAGER_CUE, COMMAND_SET_CUE_STREAM_BLOCK);
    message.SetIndex0(static_cast<uint32_t>(m_owner->GetIndex()));
    message.SetIndex1(static_cast<uint32_t>(GetIndex()));
    message.SetIndex2(block);
    CMessageValue value;
    value.SetRawData(data, kBlockSize);
    message.SetValue(value);
    m_owner->Send(message);
}

void CCue::SetLabel(const std::string& label)
{
    if (m_askedLabel.Ask(label, m_label))
        SendCommand(COMMAND_SET_LABEL, CMessageValue(label));
}

void CCue::SetCondition(uint32_t condition)
{
    if (m_askedCondition.Ask(condition, m_condition))
        SendCommand(COMMAND_SET_CONDITION, CMessageValue(condition));
}

void CCue::SetFadeTime(const CTime& time)
{
    if (m_askedFadeTime.Ask(Milliseconds(time), Milliseconds(m_fadeTime)))
        SendCommand(COMMAND_SET_FADE_TIME, CMessageValue(Milliseconds(time)));
}

void CCue::SetDelayTime(const CTime& time)
{
    if (m_askedDelayTime.Ask(Milliseconds(time), Milliseconds(m_delayTime)))
        SendCommand(COMMAND_SET_DELAY_TIME, CMessageValue(Milliseconds(time)));
}

void CCue::Asked(uint32_t command, const CMessageValue& value)
{
    switch (command)
    {
    case COMMAND_SET_LABEL: m_askedLabel.Asked(value.GetString()); break;
    case COMMAND_SET_CONDITION: m_askedCondition.Asked(value.GetUnsigned()); break;
    case COMMAND_SET_FADE_TIME: m_askedFadeTime.Asked(value.GetUnsigned()); break;
    case COMMAND_SET_DELAY_TIME: m_askedDelayTime.Asked(value.GetUnsigned()); break;
    default: break;
    }
}

void CCue::ForgetAsked(uint32_t command, TForget what)
{
    switch (command)
    {
    case COMMAND_SET_LABEL: m_askedLabel.Forget(what); break;
    case COMMAND_SET_CONDITION: m_askedCondition.Forget(what); break;
    case COMMAND_SET_FADE_TIME: m_askedFadeTime.Forget(what); break;
    case COMMAND_SET_DELAY_TIME: m_askedDelayTime.Forget(what); break;
    default: break;
    }
}

void CCue::ApplyMessage(const CMessage& message)
{
    const CMessageValue& value = message.GetValueRef();
    // A reply without a value of the expected kind carries nothing to store.
    const bool isText = value.GetType() == VALUE_STRING;
    const bool isNumber = value.GetType() == VALUE_UNSIGNED || value.GetType() == VALUE_BOOL;
    switch (message.GetCommand())
    {
    case COMMAND_GET_LABEL:
        if (isText && value.GetString() != m_label)
        {
            m_label = value.GetString();
            Notify(CUE_NOTIFY_LABEL);
        }
        break;
    case COMMAND_GET_CONDITION:
        if (isNumber && value.GetUnsigned() != m_condition)
        {
            m_condition = value.GetUnsigned();
            Notify(CUE_NOTIFY_CONDITION);
        }
        break;
    case COMMAND_GET_FADE_TIME:
        if (isNumber && value.GetUnsigned() != Milliseconds(m_fadeTime))
        {
            m_fadeTime.SetMilliseconds(value.GetUnsigned());
            Notify(CUE_NOTIFY_FADE);
        }
        break;
    case COMMAND_GET_DELAY_TIME:
        if (isNumber && value.GetUnsigned() != Milliseconds(m_delayTime))
        {
            m_delayTime.SetMilliseconds(value.GetUnsigned());
            Notify(CUE_NOTIFY_DELAY);
        }
        break;
    case COMMAND_GET_CUE_STREAM_BLOCK:
        SetBlock(message.GetIndex2(), value.GetRawData(), value.GetRawSize());
        break;
    case COMMAND_NOTIFY:
        // Anyone on the network can send one: it costs the reads of its code, eight for
        // "everything changed" and one for the others, and their answers ask for nothing more.
        switch (value.GetUnsigned())
        {
        case 0:
            Request(COMMAND_GET_LABEL);
            Request(COMMAND_GET_CONDITION);
            Request(COMMAND_GET_FADE_TIME);
            Request(COMMAND_GET_DELAY_TIME);
            RequestBlocks();
            break;
        case 26:
        case CUE_NOTIFY_FADE:
            Request(COMMAND_GET_FADE_TIME);
            break;
        case CUE_NOTIFY_DELAY:
            Request(COMMAND_GET_DELAY_TIME);
            break;
        case CUE_NOTIFY_CONDITION:
            Request(COMMAND_GET_CONDITION);
            break;
        case CUE_NOTIFY_LABEL:
            Request(COMMAND_GET_LABEL);
            break;
        case 296:
            RequestBlock(message.GetIndex2());
            break;
        case 107:
            m_highlight = kHighlightSeconds;
            if (m_owner)
                m_owner->WakeTimers();
            break;
        default:
            break;
        }
        break;
    default:
        break;
    }
}

void CCue::SetBlock(uint32_t block, const uint8_t* data, uint32_t size)
{
    if (block >= kBlockCount || size != kBlockSize || !data)
        return;
    if (std::equal(data, data + kBlockSize, GetBlock(block)))
        return;
    if (!m_blocks)
        m_blocks = std::make_unique<std::array<CBlock, kBlockCount>>();
    std::copy(data, data + kBlockSize, (*m_blocks)[block].begin());
    UpdateMasks();
    SetChanged();
}

void CCue::UpdateMasks()
{
    // Every block a cue gets scans all of them: the bytes are folded without a branch, a record
    // into whether it holds anything, and all records into which of their bytes ever do, whose
    // groups are looked up once.
    uint64_t fixtures = 0;
    uint8_t used[kRecordSize] = {};
    for (uint32_t block = 0; block < kBlockCount; ++block)
    {
        for (uint32_t record = 0; record < kRecordsPerBlock; ++record)
        {
            const uint8_t* bytes = GetBlock(block) + record * kRecordSize;
            uint8_t any = 0;
            for (uint32_t i = 0; i < kRecordSize; ++i)
            {
                used[i] |= bytes[i];
                any |= bytes[i];
            }
            if (any != 0)
                fixtures |= uint64_t(1) << (block * kRecordsPerBlock + record);
        }
    }
    uint32_t groups = 0;
    for (uint32_t i = 0; i < kRecordSize; ++i)
    {
        if (used[i] != 0)
            groups |= uint32_t(1) << kGroupOfByte[i];
    }
    if (fixtures != m_fixtureMask)
    {
        m_fixtureMask = fixtures;
        if (m_owner)
            m_owner->InvalidateFixtureMask();
    }
    if (groups != m_attributeMask)
    {
        m_attributeMask = groups;
        if (m_owner)
            m_owner->InvalidateAttributeMask();
    }
    const bool empty = m_fixtureMask == 0 && m_attributeMask == 0;
    if (empty != m_empty)
    {
        m_empty = empty;
        Notify(CUE_NOTIFY_EMPTY);
    }
}

void CCue::Update(float seconds)
{
    if (m_highlight <= 0.0f)
        return;
    m_highlight -= seconds;
    Notify(CUE_NOTIFY_HIGHLIGHT);
}

void CCue::SetChanged()
{
    CSubject::SetChanged();
    // The stand-in cue of a show load is no part of the playback.
    const int32_t index = GetIndex();
    if (m_owner && index >= 0 && m_owner->GetCue(static_cast<uint32_t>(index)) == this)
        m_owner->SetChanged();
}

CDigest CCue::ComputeDigest()
{
    CDigestBuilder builder;
    builder.AddString(m_label);
    builder.AddUnsigned(m_condition);
    builder.AddUnsigned(Milliseconds(m_fadeTime));
    builder.AddUnsigned(Milliseconds(m_delayTime));
    return builder.GetDigest();
}

void CCue::Save(TiXmlElement& element) const
{
    if (!m_label.empty())
        element.SetAttribute("label", m_label);
    if (m_condition != kConditionHalt)
        element.SetAttribute("condition", ConditionName(m_condition));
    if (Milliseconds(m_delayTime) != 0)
        element.SetAttribute("delay", m_delayTime.ToString());
    if (Milliseconds(m_fadeTime) != 0)
        element.SetAttribute("fade", m_fadeTime.ToString());
    TiXmlElement blocks("blocks");
    for (uint32_t block = 0; block < kBlockCount; ++block)
    {
        TiXmlElement child("block");
        if (!IsZero(GetBlock(block), kBlockSize))
            child.InsertEndChild(TiXmlText(Base64Encode(GetBlock(block), kBlockSize)));
        blocks.InsertEndChild(child);
    }
    element.InsertEndChild(blocks);
}

void CCue::Load(const TiXmlNode* node, bool everything)
{
    std::string label;
    uint32_t condition = kConditionHalt;
    CTime delay;
    CTime fade;
    const TiXmlElement* element = node ? node->ToElement() : nullptr;
    if (element)
    {
        label = ReadTextAttribute(*element, "label");
        if (const char* text = element->Attribute("condition"))
        {
            condition = ParseCondition(text);
            // What this program writes for a condition the controller reported unknown reads as
            // it was; any other name it does not know is said.
            if (condition == kConditionUnknown && !EqualIgnoringAsciiCase(text, ConditionName(kConditionUnknown)))
                ReportUnknownName(*element, "condition", text);
        }
        delay = ReadTimeAttribute(*element, "delay");
        fade = ReadTimeAttribute(*element, "fade");
    }

    bool hadBlocks = false;
    for (const TiXmlElement* blocks : XmlChildren(element, "blocks"))
    {
        LoadBlocks(*blocks);
        hadBlocks = true;
    }
    // A cue without blocks is an empty look: the controller is told so, rather than keeping
    // whatever look it held before.
    if (!hadBlocks)
    {
        for (uint32_t block = 0; block < kBlockCount; ++block)
            SendBlock(block, kZeroBlock.data());
    }

    if (m_askedLabel.Ask(label, m_label, everything))
        SendCommand(COMMAND_SET_LABEL, CMessageValue(label));
    if (m_askedDelayTime.Ask(Milliseconds(delay), Milliseconds(m_delayTime), everything))
        SendCommand(COMMAND_SET_DELAY_TIME, CMessageValue(Milliseconds(delay)));
    if (m_askedFadeTime.Ask(Milliseconds(fade), Milliseconds(m_fadeTime), everything))
        SendCommand(COMMAND_SET_FADE_TIME, CMessageValue(Milliseconds(fade)));
    if (m_askedCondition.Ask(condition, m_condition, everything))
        SendCommand(COMMAND_SET_CONDITION, CMessageValue(condition));
    Notify(0);
}

void CCue::LoadBlocks(const TiXmlElement& element)
{
    // Blocks are counted by "block" element: a comment, another node or an element of another
    // name between them takes no block's place. A block's text may come in parts (split by a
    // comment or a CDATA section); it is read whole.
    uint32_t block = 0;
    for (const TiXmlElement* child : XmlChildren(&element, "block"))
    {
        if (block == kBlockCount)
            break;
        const std::string text = XmlText(child);
        CBlock data{};
        if (text.empty())
            SendBlock(block, kZeroBlock.data());
        else if (Base64Decode(text, data.data(), kBlockSize) == static_cast<int32_t>(kBlockSize))
            SendBlock(block, data.data());
        else
            ReportUnreadValue(*child, nullptr, text);
        ++block;
    }
    for (; block < kBlockCount; ++block)
        SendBlock(block, kZeroBlock.data());
    Notify(0);
}

std::string CCue::ConditionName(uint32_t condition)
{
    switch (condition)
    {
    case kConditionHalt:
        return "Halt";
    case kConditionFollow:
        return "Follow";
    default:
        return "Unknown";
    }
}

uint32_t CCue::ParseCondition(const std::string& text)
{
    if (EqualIgnoringAsciiCase(text, "Halt"))
        return kConditionHalt;
    if (EqualIgnoringAsciiCase(text, "Follow"))
        return kConditionFollow;
    return kConditionUnknown;
}
