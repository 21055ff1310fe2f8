#include "model/playback.h"

#include "foundation/ascii.h"
#include "foundation/observer.h"
#include "foundation/owned_list.h"
#include "foundation/time.h"
#include "foundation/xml_element.h"
#include "link/message.h"
#include "model/cue.h"
#include "model/playback_manager.h"
#include "model/show_xml.h"

#include <tinyxml.h>

#include <algorithm>
#include <cmath>

namespace
{
const char* const kRepeatNames[] = {"Loop", "Bounce", "Random", "Off"};
const char* const kGoModeNames[] = {"Go", "Toggle", "Flash", "Solo"};
constexpr uint32_t kModeCount = 4;

std::string ModeName(const char* const names[], uint32_t mode)
{
    return mode < kModeCount ? names[mode] : "-";
}

uint32_t ParseMode(const char* const names[], const std::string& text)
{
    for (uint32_t mode = 0; mode < kModeCount; ++mode)
    {
        if (EqualIgnoringAsciiCase(text, names[mode]))
            return mode;
    }
    return kModeCount;
}

// A mode attribute of a playback, by its name in any letter case: 0 when absent. A name none of
// the names matches is the unknown mode, and said, but for the "-" this program writes for a
// mode the controller reported that it does not know.
uint32_t ReadModeAttribute(const TiXmlElement& element, const char* name, const char* const names[])
{
    const char* text = element.Attribute(name);
    if (!text)
        return 0;
    const uint32_t mode = ParseMode(names, text);
    if (mode == kModeCount && text != ModeName(names, kModeCount))
        ReportUnknownName(element, name, text);
    return mode;
}

// Floats differ when either side is not a number.
bool Differs(float a, float b)
{
    return !(a == b);
}

bool IsNumber(const CMessageValue& value)
{
    return value.GetType() == VALUE_UNSIGNED || value.GetType() == VALUE_BOOL;
}
}  // namespace

CPlayback::CPlayback(CPlaybackManager* owner) : m_owner(owner)
{
}

CPlayback::~CPlayback()
{
    DeleteBackwards(m_cues);
}

int32_t CPlayback::GetIndex() const
{
    return m_owner ? static_cast<int32_t>(m_owner->IndexOf(this)) : -1;
}

CCue* CPlayback::GetCue(uint32_t index) const
{
    return ItemAt(m_cues, index);
}

int32_t CPlayback::IndexOfCue(const CCue* cue) const
{
    if (cue && cue == m_loadingCue)
        return static_cast<int32_t>(m_loadingIndex);
    return PositionIn(m_cues, cue);
}

bool CPlayback::IsEmpty() const
{
    return m_cues.empty() && m_label.empty() && !(m_intensity < 1.0f) && m_speed == 0.0f && !m_background &&
           !m_exclusive && m_goMode == 0 && m_repeat == 0;
}

void CPlayback::AttachCues(CObserver* observer, CSubjectSet* set)
{
    if (!set)
        return;
    set->Clear(observer);
    for (const auto& cue : m_cues)
        set->Add(observer, cue.get());
}

void CPlayback::Send(const CMessage& message)
{
    if (m_owner)
        m_owner->Send(message);
}

void CPlayback::SendCommand(uint32_t command, const CMessageValue& value)
{
    CMessage message(MANAGER_PLAYBACK, command);
    message.SetIndex0(static_cast<uint32_t>(GetIndex()));
    message.SetValue(value);
    Send(message);
}

void CPlayback::Request(uint32_t command)
{
    SendCommand(command, CMessageValue());
}

void CPlayback::SendCueCommand(uint32_t first, uint32_t count, uint32_t command, const CMessageValue& value)
{
    CMessage message(MANAGER_CUE, command);
    message.SetIndex0(static_cast<uint32_t>(GetIndex()));
    message.SetIndex1(first);
    message.SetIndex2(count);
    message.SetValue(value);
    Send(message);
}

void CPlayback::SetLabel(const std::string& label)
{
    if (m_askedLabel.Ask(label, m_label))
        SendCommand(COMMAND_SET_LABEL, CMessageValue(label));
}

void CPlayback::SetIntensity(float intensity)
{
    if (std::isnan(intensity))
        return;
    intensity = std::clamp(intensity, 0.0f, 1.0f);
    if (m_askedIntensity.NeedsSending(intensity, m_intensity, Differs))
        SendLevel(COMMAND_SET_INTENSITY, m_askedIntensity, intensity);
}

void CPlayback::SetSpeed(float speed)
{
    if (std::isnan(speed))
        return;
    speed = std::clamp(speed, -1.0f, 1.0f);
    if (m_askedSpeed.NeedsSending(speed, m_speed, Differs))
        SendLevel(COMMAND_SET_SPEED, m_askedSpeed, speed);
}

void CPlayback::SendLevel(uint32_t command, CAskedValue<float>& asked, float level)
{
    asked.Asked(level);
    SendCommand(command, CMessageValue(level));
}

void CPlayback::SetRepeat(uint32_t repeat)
{
    if (m_askedRepeat.Ask(repeat, m_repeat))
        SendCommand(COMMAND_SET_REPEAT, CMessageValue(repeat));
}

void CPlayback::SetGoMode(uint32_t goMode)
{
    if (m_askedGoMode.Ask(goMode, m_goMode))
        SendCommand(COMMAND_SET_GO_MODE, CMessageValue(goMode));
}

void CPlayback::SetBackground(bool background)
{
    SendCommand(COMMAND_SET_BACKGROUND, CMessageValue(background));
}

void CPlayback::SetExclusive(bool exclusive)
{
    SendCommand(COMMAND_SET_EXCLUSIVE, CMessageValue(exclusive));
}

void CPlayback::SetGoDown(bool pressed)
{
    SendCommand(COMMAND_SET_GO_DOWN, CMessageValue(pressed));
}

void CPlayback::SetFlashDown(bool pressed)
{
    SendCommand(COMMAND_SET_FLASH_DOWN, CMessageValue(pressed));
}

void CPlayback::Release()
{
    Request(COMMAND_RELEASE);
}

void CPlayback::Clear()
{
    m_askedLabel.Forget();
    m_askedIntensity.Forget();
    m_askedSpeed.Forget();
    m_askedRepeat.Forget();
    m_askedGoMode.Forget();
    Request(COMMAND_CLEAR);
}

void CPlayback::ForgetAsked(uint32_t command, TForget what)
{
    switch (command)
    {
    case COMMAND_SET_LABEL: m_askedLabel.Forget(what); break;
    case COMMAND_SET_INTENSITY: m_askedIntensity.Forget(what); break;
    case COMMAND_SET_SPEED: m_askedSpeed.Forget(what); break;
    case COMMAND_SET_REPEAT: m_askedRepeat.Forget(what); break;
    case COMMAND_SET_GO_MODE: m_askedGoMode.Forget(what); break;
    default: break;
    }
}

void CPlayback::ForgetCuesAsked(uint32_t first, uint32_t count, uint32_t command, TForget what)
{
    const auto [begin, end] = CueRange(first, count);
    for (size_t i = begin; i < end; ++i)
        m_cues[i]->ForgetAsked(command, what);
}

void CPlayback::AddCue(uint32_t position)
{
    if (m_cues.size() < kMaxCues)
        SendCommand(COMMAND_ADD, CMessageValue(position));
}

void CPlayback::AppendCue(uint32_t position)
{
    // Command 75 has no name of its own; the controller gives it its meaning.
    if (m_cues.size() < kMaxCues)
        SendCommand(75, CMessageValue(position));
}

void CPlayback::RemoveCues(uint32_t first, uint32_t count)
{
    CMessage message(MANAGER_PLAYBACK, COMMAND_REMOVE);
    message.SetIndex0(static_cast<uint32_t>(GetIndex()));
    message.SetIndex1(first);
    message.SetIndex2(count);
    Send(message);
}

void CPlayback::RemoveAllCues()
{
    Request(COMMAND_REMOVE_ALL);
}

void CPlayback::SetCueCondition(uint32_t first, uint32_t count, uint32_t condition)
{
    SendCueRange(first, count, COMMAND_SET_CONDITION, CMessageValue(condition));
}

void CPlayback::SetCueDelayTime(uint32_t first, uint32_t count, const CTime& time)
{
    SendCueRange(first, count, COMMAND_SET_DELAY_TIME, CMessageValue(time.GetWireMilliseconds()));
}

void CPlayback::SetCueFadeTime(uint32_t first, uint32_t count, const CTime& time)
{
    SendCueRange(first, count, COMMAND_SET_FADE_TIME, CMessageValue(time.GetWireMilliseconds()));
}

void CPlayback::SetCueLabel(uint32_t first, uint32_t count, const std::string& label)
{
    SendCueRange(first, count, COMMAND_SET_LABEL, CMessageValue(label));
}

void CPlayback::SendCueRange(uint32_t first, uint32_t count, uint32_t command, const CMessageValue& value)
{
    // Else a cue set back to what it held before the range would compare only with that, and
    // stay as the range left it. Asked before the record is queued, so that a record the queue
    // refuses takes these asks back.
    const auto [begin, end] = CueRange(first, count);
    for (size_t i = begin; i < end; ++i)
        m_cues[i]->Asked(command, value);
    SendCueCommand(first, count, command, value);
}

std::pair<size_t, size_t> CPlayback::CueRange(uint32_t first, uint32_t count) const
{
    // A single cue's record carries a count of 0, which the controller takes as one cue.
    const uint64_t end = uint64_t(first) + std::max(count, 1u);
    return {std::min<size_t>(first, m_cues.size()), size_t(std::min<uint64_t>(end, m_cues.size()))};
}

void CPlayback::SetMarked(bool marked, float seconds)
{
    if (marked == m_marked)
        return;
    m_marked = marked;
    m_markTimer = seconds;
    WakeTimers();
    Notify(PLAYBACK_NOTIFY_STATUS);
}

void CPlayback::SetFeedback(uint32_t which)
{
    if (which == m_feedback)
        return;
    m_feedback = which;
    m_feedbackTimer = kFeedbackSeconds;
    WakeTimers();
    Notify(PLAYBACK_NOTIFY_FEEDBACK);
}

void CPlayback::OnReplyToNothing(const CMessage& message)
{
    // No value is taken from it (a forged 0 count would empty the list and lose what its cues
    // hold), but a count that differs from the list, alone or in the properties word, may be the
    // controller's answer come late: it costs one read of the count, whose answer is taken and
    // reads every cue again (SetCueCount), up to 385 reads in all, as a "cue count changed" does.
    // A read of the count that waits is not asked again, so a flood of such replies costs no more.
    const CMessageValue& value = message.GetValueRef();
    if (message.GetManager() == MANAGER_PLAYBACK && IsNumber(value) &&
        (message.GetCommand() == COMMAND_GET_COUNT || message.GetCommand() == COMMAND_GET_PROPERTIES))
    {
        const uint32_t count = message.GetCommand() == COMMAND_GET_COUNT ? value.GetUnsigned()
                                                                           : (value.GetUnsigned() >> 16) & 0xFF;
        if (std::min(count, kMaxCues) != m_cues.size())
            Request(COMMAND_GET_COUNT);
    }
}

void CPlayback::ApplyMessage(const CMessage& message)
{
    if (message.GetManager() == MANAGER_CUE)
    {
        if (CCue* cue = GetCue(message.GetIndex1()))
            cue->ApplyMessage(message);
        return;
    }
    const CMessageValue& value = message.GetValueRef();
    switch (message.GetCommand())
    {
    case COMMAND_GET_LABEL:
        if (value.GetType() == VALUE_STRING && value.GetString() != m_label)
        {
            m_label = value.GetString();
            Notify(PLAYBACK_NOTIFY_LABEL);
        }
        break;
    case COMMAND_GET_INTENSITY:
        if (value.GetType() == VALUE_FLOAT && Differs(value.GetFloat(), m_intensity))
        {
            m_intensity = value.GetFloat();
            Notify(PLAYBACK_NOTIFY_INTENSITY);
            SetFeedback(kFeedbackIntensity);
        }
        break;
    case COMMAND_GET_SPEED:
        if (value.GetType() == VALUE_FLOAT && Differs(value.GetFloat(), m_speed))
        {
            m_speed = value.GetFloat();
            Notify(PLAYBACK_NOTIFY_SPEED);
            SetFeedback(kFeedbackSpeed);
        }
        break;
    case COMMAND_GET_REPEAT:
        if (IsNumber(value))
            StoreMode(m_repeat, m_askedRepeat, COMMAND_SET_REPEAT, value.GetUnsigned(), PLAYBACK_NOTIFY_REPEAT);
        break;
    // A report the controller sends after taking a set may still predate it.
    case COMMAND_SET_REPEAT: m_askedRepeat.Taken(); break;
    case COMMAND_SET_GO_MODE: m_askedGoMode.Taken(); break;
    case COMMAND_GET_BACKGROUND:
        if (IsNumber(value) && value.GetBool() != m_background)
        {
            m_background = value.GetBool();
            Notify(PLAYBACK_NOTIFY_BACKGROUND);
        }
        break;
    case COMMAND_GET_EXCLUSIVE:
        if (IsNumber(value) && value.GetBool() != m_exclusive)
        {
            m_exclusive = value.GetBool();
            Notify(PLAYBACK_NOTIFY_EXCLUSIVE);
        }
        break;
    case COMMAND_GET_STATUS:
        if (IsNumber(value) && value.GetUnsigned() != m_status)
        {
            m_status = value.GetUnsigned();
            Notify(PLAYBACK_NOTIFY_STATUS);
        }
        break;
    case COMMAND_GET_CURRENT_CUE:
        if (IsNumber(value) && static_cast<int32_t>(value.GetUnsigned()) != m_currentCue)
        {
            m_currentCue = static_cast<int32_t>(value.GetUnsigned());
            Notify(PLAYBACK_NOTIFY_CURRENT_CUE);
        }
        break;
    case COMMAND_GET_COUNT:
        if (IsNumber(value))
            ApplyCount(value.GetUnsigned(), false);
        break;
    case COMMAND_GET_PROPERTIES:
        if (IsNumber(value))
            ApplyProperties(value.GetUnsigned());
        break;
    case COMMAND_NOTIFY:
        RequestForNotify(value.GetUnsigned());
        break;
    default:
        break;
    }
}

// What one notification may cost, since anyone on the network can send one: the reads of its
// code below, what the controller's own notification of that code asks for, each left out while
// a read of its target waits (COutgoingQueue). Their answers change what differs and ask for
// nothing more, but the count's: it reads every cue, kMaxCues times the eight reads of a cue's
// "everything changed", so a "cue count changed", genuine or forged, costs at most 385 reads
// (SetCueCount). What they keep and how long they wait is the queue's: a target waits at most
// once in each lane, and a read waits at most one pass over its kind of target.
void CPlayback::RequestForNotify(uint32_t code)
{
    switch (code)
    {
    case 0:
        Request(COMMAND_GET_PROPERTIES);
        Request(COMMAND_GET_LABEL);
        Request(COMMAND_GET_INTENSITY);
        Request(COMMAND_GET_SPEED);
        break;
    case PLAYBACK_NOTIFY_COUNT:
        Request(COMMAND_GET_COUNT);
        break;
    case 7:
    case PLAYBACK_NOTIFY_STATUS:
        Request(COMMAND_GET_STATUS);
        break;
    case PLAYBACK_NOTIFY_SPEED:
    case 302:
        Request(COMMAND_GET_SPEED);
        break;
    case PLAYBACK_NOTIFY_EXCLUSIVE:
        Request(COMMAND_GET_EXCLUSIVE);
        break;
    case PLAYBACK_NOTIFY_CURRENT_CUE:
        Request(COMMAND_GET_CURRENT_CUE);
        break;
    case PLAYBACK_NOTIFY_GO_MODE:
    case 292:
        Request(COMMAND_GET_PROPERTIES);
        break;
    case PLAYBACK_NOTIFY_BACKGROUND:
        Request(COMMAND_GET_BACKGROUND);
        break;
    case PLAYBACK_NOTIFY_LABEL:
        Request(COMMAND_GET_LABEL);
        break;
    case PLAYBACK_NOTIFY_INTENSITY:
        Request(COMMAND_GET_INTENSITY);
        break;
    case PLAYBACK_NOTIFY_REPEAT:
        Request(COMMAND_GET_REPEAT);
        break;
    default:
        break;
    }
}

void CPlayback::ApplyProperties(uint32_t word)
{
    const bool background = (word & 1u) != 0;
    if (background != m_background)
    {
        m_background = background;
        Notify(PLAYBACK_NOTIFY_BACKGROUND);
    }
    const bool exclusive = (word & 2u) != 0;
    if (exclusive != m_exclusive)
    {
        m_exclusive = exclusive;
        Notify(PLAYBACK_NOTIFY_EXCLUSIVE);
    }
    StoreMode(m_goMode, m_askedGoMode, COMMAND_SET_GO_MODE, (word >> 4) & 0xF, PLAYBACK_NOTIFY_GO_MODE);
    const uint32_t status = (word >> 8) & 0xF;
    if (status != m_status)
    {
        m_status = status;
        Notify(PLAYBACK_NOTIFY_STATUS);
    }
    StoreMode(m_repeat, m_askedRepeat, COMMAND_SET_REPEAT, (word >> 12) & 0xF, PLAYBACK_NOTIFY_REPEAT);
    ApplyCount((word >> 16) & 0xFF, true);
    const int32_t current = static_cast<int32_t>(word >> 24);
    if (current != m_currentCue)
    {
        m_currentCue = current;
        Notify(PLAYBACK_NOTIFY_CURRENT_CUE);
    }
}

void CPlayback::StoreMode(uint32_t& field, CAskedValue<uint32_t>& asked, uint32_t set, uint32_t value, uint32_t code)
{
    CMessage waiting(MANAGER_PLAYBACK, set);
    waiting.SetIndex0(static_cast<uint32_t>(GetIndex()));
    if (!m_owner || !m_owner->IsWaiting(waiting))
        asked.Answered();
    if (value == field)
        return;
    field = value;
    Notify(code);
}

void CPlayback::ApplyCount(uint32_t count, bool onlyWhenChanged)
{
    if (SetCueCount(count, onlyWhenChanged))
        Notify(PLAYBACK_NOTIFY_COUNT);
}

bool CPlayback::SetCueCount(uint32_t count, bool onlyWhenChanged)
{
    // However large a count the network brings, the list stays within what a controller holds.
    count = std::min(count, kMaxCues);
    const size_t before = m_cues.size();
    while (m_cues.size() < count)
        m_cues.push_back(CCue::Create(this));
    while (m_cues.size() > count)
    {
        // Out of the list before it goes.
        const std::unique_ptr<CCue> cue = std::move(m_cues.back());
        m_cues.pop_back();
    }
    const bool changed = m_cues.size() != before;
    if (!changed && onlyWhenChanged)
        return false;
    // The number as it was says nothing of the cues: one removed and another added (a list swapped
    // with another of as many) leave it so. Every cue is read, a read that waits standing for
    // every count that asks for it meanwhile, so a count reply costs at most the 384 reads of a
    // full list: a genuine "cue count changed" costs that, and so may a forged one.
    RefreshCues();
    m_fixtureMaskStale = true;
    m_attributeMaskStale = true;
    WakeTimers();
    return changed;
}

void CPlayback::RefreshCues()
{
    CMessage notify(MANAGER_CUE, COMMAND_NOTIFY);
    notify.SetIndex0(static_cast<uint32_t>(GetIndex()));
    notify.SetValue(CMessageValue(uint32_t(0)));
    for (uint32_t i = 0; i < m_cues.size(); ++i)
    {
        notify.SetIndex1(i);
        m_cues[i]->ApplyMessage(notify);
    }
}

void CPlayback::InvalidateFixtureMask()
{
    m_fixtureMaskStale = true;
    WakeTimers();
}

void CPlayback::InvalidateAttributeMask()
{
    m_attributeMaskStale = true;
    WakeTimers();
}

bool CPlayback::HasTimedWork() const
{
    if (m_feedbackTimer >= 0.0f || m_markTimer > 0.0f || m_fixtureMaskStale || m_attributeMaskStale)
        return true;
    return std::any_of(m_cues.begin(), m_cues.end(), [](const auto& cue) { return cue->GetHighlight() > 0.0f; });
}

void CPlayback::WakeTimers()
{
    if (m_owner)
        m_owner->WakeTimersOf(*this);
}

void CPlayback::Update(float seconds)
{
    for (const auto& cue : m_cues)
        cue->Update(seconds);

    if (m_feedbackTimer >= 0.0f)
    {
        m_feedbackTimer -= seconds;
        if (m_feedbackTimer <= 0.0f && m_feedback != kFeedbackNone)
        {
            m_feedback = kFeedbackNone;
            Notify(PLAYBACK_NOTIFY_FEEDBACK);
        }
    }

    m_maskTimer += seconds;
    if (m_maskTimer >= kMaskSeconds)
    {
        if (m_fixtureMaskStale)
        {
            uint64_t mask = 0;
            for (const auto& cue : m_cues)
                mask |= cue->GetFixtureMask();
            m_fixtureMaskStale = false;
            if (mask != m_fixtureMask)
            {
                m_fixtureMask = mask;
                Notify(PLAYBACK_NOTIFY_FIXTURE_MASK);
            }
        }
        if (m_attributeMaskStale)
        {
            uint32_t mask = 0;
            for (const auto& cue : m_cues)
                mask |= cue->GetAttributeMask();
            m_attributeMaskStale = false;
            if (mask != m_attributeMask)
            {
                m_attributeMask = mask;
                Notify(PLAYBACK_NOTIFY_ATTRIBUTE_MASK);
            }
        }
        m_maskTimer -= kMaskSeconds;
    }

    if (m_markTimer > 0.0f)
    {
        m_markTimer -= seconds;
        if (m_markTimer <= 0.0f)
        {
            m_marked = false;
            Notify(PLAYBACK_NOTIFY_STATUS);
        }
    }
}

void CPlayback::SetChanged()
{
    CSubject::SetChanged();
    if (m_owner)
        m_owner->SetChanged();
}

CDigest CPlayback::ComputeDigest()
{
    CDigestBuilder builder;
    builder.AddString(m_label);
    builder.AddUnsigned(m_status);
    builder.AddUnsigned(m_repeat);
    builder.AddUnsigned(m_goMode);
    builder.AddFloat(m_intensity);
    builder.AddFloat(m_speed);
    builder.AddInt(m_background ? 1 : 0);
    builder.AddInt(m_exclusive ? 1 : 0);
    for (const auto& cue : m_cues)
        builder.AddDigest(cue->GetDigest());
    return builder.GetDigest();
}

void CPlayback::Save(TiXmlElement& element) const
{
    element.SetAttribute("index", GetIndex());
    if (!m_label.empty())
        element.SetAttribute("label", m_label);
    if (m_repeat != 0)
        element.SetAttribute("repeat", RepeatModeName(m_repeat));
    if (m_goMode != 0)
        element.SetAttribute("gomode", GoModeName(m_goMode));
    if (m_intensity != 1.0f)
        element.SetAttribute("intensity", FormatShowFloat(m_intensity));
    if (m_speed != 0.0f)
        element.SetAttribute("speed", FormatShowFloat(m_speed));
    if (m_background)
        element.SetAttribute("background", "true");
    if (m_exclusive)
        element.SetAttribute("exclusive", "true");
    if (m_cues.empty())
        return;
    TiXmlElement cues("cues");
    for (const auto& cue : m_cues)
    {
        TiXmlElement child("cue");
        cue->Save(child);
        cues.InsertEndChild(child);
    }
    element.InsertEndChild(cues);
}

void CPlayback::Load(const TiXmlNode* node, bool everything)
{
    std::string label;
    uint32_t goMode = 0;
    uint32_t repeat = 0;
    bool background = false;
    bool exclusive = false;
    float intensity = 1.0f;
    float speed = 0.0f;
    const TiXmlElement* element = node ? node->ToElement() : nullptr;
    if (element)
    {
        label = ReadTextAttribute(*element, "label");
        goMode = ReadModeAttribute(*element, "gomode", kGoModeNames);
        repeat = ReadModeAttribute(*element, "repeat", kRepeatNames);
        background = ReadBoolAttribute(*element, "background");
        exclusive = ReadBoolAttribute(*element, "exclusive");
        intensity = ReadFloatAttribute(*element, "intensity", 1.0f);
        intensity = ReadFloatAttribute(*element, "level", intensity);
        speed = ReadFloatAttribute(*element, "speed", 0.0f);
    }

    // One cue list, the last, which stands as the file is read in order: each would send its
    // count and its cues, each taking the place of the one before, so a file of thousands would
    // queue thousands of lists. The log says how many came before it.
    const TiXmlElement* cues = nullptr;
    size_t before = 0;
    for (const TiXmlElement* list : XmlChildren(element, "cues"))
    {
        before += cues ? 1 : 0;
        cues = list;
    }
    if (cues)
    {
        LoadCues(*cues, everything);
        if (before > 0)
            ReportLeftOut(*element, "the " + std::to_string(before) + " cue lists before the last of playback " +
                                        std::to_string(GetIndex()));
    }
    else
    {
        SendCommand(COMMAND_SET_COUNT, CMessageValue(uint32_t(0)));
    }

    if (m_askedLabel.Ask(label, m_label, everything))
        SendCommand(COMMAND_SET_LABEL, CMessageValue(label));
    if (m_askedGoMode.Ask(goMode, m_goMode, everything))
        SendCommand(COMMAND_SET_GO_MODE, CMessageValue(goMode));
    if (m_askedRepeat.Ask(repeat, m_repeat, everything))
        SendCommand(COMMAND_SET_REPEAT, CMessageValue(repeat));
    if (everything)
    {
        SendLevel(COMMAND_SET_INTENSITY, m_askedIntensity, std::clamp(intensity, 0.0f, 1.0f));
        SendLevel(COMMAND_SET_SPEED, m_askedSpeed, std::clamp(speed, -1.0f, 1.0f));
    }
    else
    {
        SetIntensity(intensity);
        SetSpeed(speed);
    }
    SetBackground(background);
    SetExclusive(exclusive);
    Notify(0);
}

void CPlayback::LoadCues(const TiXmlElement& element, bool everything)
{
    // Only "cue" elements are cues: comments, other nodes and elements of other names are none.
    const CXmlChildren children = XmlChildren(&element, "cue");
    // A playback holds 48 cues: a hand-edited list of more would leave the controller holding
    // cues this program never shows nor saves again, so the rest is left out, and said.
    const uint32_t count = uint32_t(std::min<size_t>(children.size(), kMaxCues));
    if (children.size() > kMaxCues)
        ReportLeftOut(element, "the " + std::to_string(children.size() - kMaxCues) + " cues after the first " +
                                   std::to_string(kMaxCues) + " of playback " + std::to_string(GetIndex()));
    SendCommand(COMMAND_SET_COUNT, CMessageValue(count));

    uint32_t next = 0;
    for (const TiXmlElement* child : children)
    {
        if (next == count)
            break;
        const uint32_t index = next++;
        if (CCue* cue = GetCue(index))
        {
            cue->Load(child, everything);
            continue;
        }
        // The controller has not reported the new count yet: a cue with the defaults stands in
        // for the one it will make, so that its records carry the right index.
        CCue standIn(this);
        m_loadingCue = &standIn;
        m_loadingIndex = index;
        standIn.Load(child, everything);
        m_loadingCue = nullptr;
    }
}

std::string CPlayback::RepeatModeName(uint32_t repeat)
{
    return ModeName(kRepeatNames, repeat);
}

std::string CPlayback::GoModeName(uint32_t goMode)
{
    return ModeName(kGoModeNames, goMode);
}

uint32_t CPlayback::ParseRepeatMode(const std::string& text)
{
    return ParseMode(kRepeatNames, text);
}

uint32_t CPlayback::ParseGoMode(const std::string& text)
{
    return ParseMode(kGoModeNames, text);
}
