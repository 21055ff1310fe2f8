#include "model/playback_manager.h"

#include "foundation/observer.h"
#include "foundation/owned_list.h"
#include "foundation/xml_element.h"
#include "link/message.h"
#include "model/core.h"
#include "model/message_sink.h"
#include "model/playback.h"
#include "model/show_xml.h"

#include <tinyxml.h>

#include <algorithm>
#include <array>

CPlaybackManager::CPlaybackManager()
{
    m_playbacks.reserve(kPlaybackCount);
    for (uint32_t i = 0; i < kPlaybackCount; ++i)
        m_playbacks.push_back(std::make_unique<CPlayback>(this));
    m_ticked.assign(m_playbacks.size(), true);
}

CPlaybackManager::~CPlaybackManager()
{
    DeleteBackwards(m_playbacks);
}

void CPlaybackManager::SetCore(CCore* core)
{
    m_sink = core ? core->GetMessageSink() : nullptr;
}

void CPlaybackManager::Update(float seconds)
{
    for (size_t i = 0; i < m_playbacks.size(); ++i)
    {
        if (!m_ticked[i])
            continue;
        m_playbacks[i]->Update(seconds);
        m_ticked[i] = m_playbacks[i]->HasTimedWork();
    }
}

void CPlaybackManager::WakeTimersOf(const CPlayback& playback)
{
    const int32_t position = PositionIn(m_playbacks, &playback);
    // A playback still being made is not in the list yet, and is ticked from its start.
    if (position >= 0 && size_t(position) < m_ticked.size())
        m_ticked[size_t(position)] = true;
}

CPlayback* CPlaybackManager::GetPlayback(uint32_t index) const
{
    return ItemAt(m_playbacks, index);
}

uint32_t CPlaybackManager::IndexOf(const CPlayback* playback) const
{
    const int32_t position = PositionIn(m_playbacks, playback);
    return position < 0 ? kNotFound : static_cast<uint32_t>(position);
}

void CPlaybackManager::SetPage(int32_t page)
{
    if (page < 0)
        page = kPageCount - 1;
    else if (page >= static_cast<int32_t>(kPageCount))
        page = 0;
    if (static_cast<uint32_t>(page) == m_page)
        return;
    m_page = static_cast<uint32_t>(page);
    Notify(PLAYBACK_MANAGER_NOTIFY_PAGE);
}

void CPlaybackManager::AttachPage(CObserver* observer, CSubjectSet* set)
{
    if (!set)
        return;
    set->Clear(observer);
    for (uint32_t i = 0; i < kPageSize; ++i)
        set->Add(observer, GetPlayback(m_page * kPageSize + i));
}

void CPlaybackManager::SetMode(uint32_t mode)
{
    if (mode == m_mode)
        return;
    m_mode = mode;
    Notify(PLAYBACK_MANAGER_NOTIFY_MODE);
}

void CPlaybackManager::ToggleMode(uint32_t mode)
{
    m_mode = m_mode == mode ? static_cast<uint32_t>(kModeNone) : mode;
    Notify(PLAYBACK_MANAGER_NOTIFY_MODE);
}

void CPlaybackManager::ReleaseAll()
{
    SendCommand(COMMAND_RELEASE);
    if (m_mode != kModeNone)
    {
        m_mode = kModeNone;
        Notify(PLAYBACK_MANAGER_NOTIFY_MODE);
    }
}

void CPlaybackManager::SendCommand(uint32_t command)
{
    Send(CMessage(MANAGER_PLAYBACK_MANAGER, command));
}

void CPlaybackManager::SwapPlaybacks(uint32_t first, uint32_t second)
{
    CMessage message(MANAGER_PLAYBACK_MANAGER, COMMAND_SWAP);
    message.SetIndex0(first);
    message.SetIndex1(second);
    // The controller takes the swap in the order it was sent, after the presses before it and
    // before the releases after it: a held press moves with its playback from here on. A swap
    // the link dropped moves nothing.
    if (!m_sink || !m_sink->QueueMessage(message))
        return;
    for (auto& held : m_holds)
    {
        if (held.second == first)
            held.second = second;
        else if (held.second == second)
            held.second = first;
    }
}

uint32_t CPlaybackManager::Hold(const CPlayback& playback)
{
    do
        ++m_lastHold;
    while (m_lastHold == kNoHold || m_holds.count(m_lastHold));
    m_holds[m_lastHold] = IndexOf(&playback);
    return m_lastHold;
}

CPlayback* CPlaybackManager::LetGo(uint32_t hold)
{
    const auto held = m_holds.find(hold);
    if (held == m_holds.end())
        return nullptr;
    CPlayback* playback = GetPlayback(held->second);
    m_holds.erase(held);
    return playback;
}

void CPlaybackManager::Send(const CMessage& message)
{
    if (m_sink)
        m_sink->QueueMessage(message);
}

bool CPlaybackManager::IsWaiting(const CMessage& message) const
{
    return m_sink && m_sink->IsWaiting(message);
}

void CPlaybackManager::OnReplyToNothing(const CMessage& message)
{
    if (message.GetManager() != MANAGER_PLAYBACK)
        return;
    if (CPlayback* playback = GetPlayback(message.GetIndex0()))
        playback->OnReplyToNothing(message);
}

void CPlaybackManager::ApplyMessage(const CMessage& message)
{
    switch (message.GetManager())
    {
    case MANAGER_PLAYBACK_MANAGER:
    {
        // "Everything changed" of every playback, whoever sent it: 64 times what one playback's
        // own asks (CPlayback::RequestForNotify states it), each read left out while a read of its
        // target waits, so that a flood of them keeps no more than these waiting. Nothing else is
        // kept; any other record of the manager costs nothing.
        if (message.GetCommand() != COMMAND_NOTIFY || message.GetValueRef().GetUnsigned() != 0)
            return;
        CMessage notify(MANAGER_PLAYBACK, COMMAND_NOTIFY);
        for (uint32_t i = 0; i < kPlaybackCount; ++i)
        {
            notify.SetIndex0(i);
            m_playbacks[i]->ApplyMessage(notify);
        }
        break;
    }
    case MANAGER_PLAYBACK:
    case MANAGER_CUE:
        if (CPlayback* playback = GetPlayback(message.GetIndex0()))
            playback->ApplyMessage(message);
        break;
    default:
        break;
    }
}

void CPlaybackManager::ForgetAsked(const CMessage::STarget& target, TForget what)
{
    CPlayback* playback = GetPlayback(target.index0);
    if (!playback)
        return;
    if (target.manager == MANAGER_PLAYBACK)
        playback->ForgetAsked(target.command, what);
    else if (target.manager == MANAGER_CUE)
        playback->ForgetCuesAsked(target.index1, target.index2, target.command, what);
}

CPlayback* CPlaybackManager::GetSelectedPlayback() const
{
    return m_selection.empty() ? nullptr : m_selection.front();
}

void CPlaybackManager::SelectPlayback(CPlayback* playback)
{
    m_selection.assign(1, playback);
}

void CPlaybackManager::SetSelection(const std::vector<CPlayback*>& selection)
{
    if (&selection != &m_selection)
        m_selection = selection;
}

void CPlaybackManager::Save(TiXmlElement& element) const
{
    for (const auto& playback : m_playbacks)
    {
        if (playback->IsEmpty())
            continue;
        TiXmlElement child("playback");
        playback->Save(child);
        element.InsertEndChild(child);
    }
}

void CPlaybackManager::Load(const TiXmlNode* node)
{
    if (!node)
        return;
    // Which playbacks the file named, and which were cleared on the way: once the list is read,
    // every playback that is neither is cleared too, whatever order or range the indexes had.
    std::array<bool, kPlaybackCount> done{};
    auto clear = [&](int64_t index) {
        if (!done[index])
        {
            m_playbacks[index]->Clear();
            done[index] = true;
        }
    };
    // A playback cleared before in this walk (an index after a higher one) no longer holds on the
    // controller what the mirror says: every value is sent. Each playback is loaded once, from
    // the last element that names it, which stands as the file is read in order, so that a load
    // queues at most what the playbacks hold (a clear and every value of each, some 25,000
    // records), however often a file names one.
    std::array<size_t, kPlaybackCount> repeats{};
    // Only "playback" elements are playbacks: comments, other nodes and elements of other names
    // take no playback's place. An index that does not read is as good as none: the playback
    // takes the next place.
    PlaceShowElements(*node, "playback", kPlaybackCount, clear,
                      [&](const TiXmlElement& child, int64_t index, bool last) {
                          if (!last)
                          {
                              ++repeats[index];
                              return;
                          }
                          m_playbacks[index]->Load(&child, done[index]);
                          done[index] = true;
                      });
    for (int64_t i = 0; i < kPlaybackCount; ++i)
        clear(i);
    for (uint32_t i = 0; i < kPlaybackCount; ++i)
    {
        if (repeats[i] > 0)
            ReportLeftOut(*node, "the " + std::to_string(repeats[i]) + " elements before the last that name playback " +
                                     std::to_string(i));
    }
    SetChanged();
}

CDigest CPlaybackManager::ComputeDigest()
{
    CDigestBuilder builder;
    for (const auto& playback : m_playbacks)
        builder.AddDigest(playback->GetDigest());
    return builder.GetDigest();
}
