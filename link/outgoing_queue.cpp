#include "link/outgoing_queue.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace
{
int RefreshIndex(COutgoingQueue::TLane lane)
{
    return lane == COutgoingQueue::kUnasked ? 1 : 0;
}
}  // namespace

bool COutgoingQueue::Queue(const CMessage& message, TLane lane)
{
    if (!message.IsLastValueOnly())
    {
        if (!Append(message))
            return false;
        // The controller must meet the action with the values queued before it as they were.
        m_inOrder.back().fences = ++m_fences;
        return true;
    }
    const bool read = message.IsRead();
    if (!read || message.GetValueRef().GetType() != VALUE_NONE)
        lane = kInOrder;
    const CMessage::STarget target = message.GetTarget();
    SIndexed& entry = m_index[target];
    if (entry.inOrder && (read || entry.inOrder->fences == m_fences))
    {
        if (lane == kInOrder)
        {
            m_inOrderBytes -= entry.inOrder->message.GetValueRef().GetHeldBytes();
            entry.inOrder->message.SetValue(message.GetValueRef());
            m_inOrderBytes += message.GetValueRef().GetHeldBytes();
        }
        return true;
    }
    if (lane != kInOrder)
    {
        QueueRefreshRead(target, entry, RefreshIndex(lane));
        return true;
    }
    SQueued* queued = Append(message);
    if (!queued)
    {
        if (entry.IsEmpty())
            m_index.erase(target);
        return false;
    }
    if (read)
    {
        for (int i = 0; i < kRefreshLanes; ++i)
        {
            if (entry.refresh[i] && entry.refresh[i]->waiting)
            {
                entry.refresh[i]->waiting = false;
                ++m_overtaken[i];
            }
        }
    }
    entry.inOrder = queued;
    return true;
}

void COutgoingQueue::QueueRefreshRead(const CMessage::STarget& target, SIndexed& entry, int lane)
{
    for (int i = 0; i <= lane; ++i)
    {
        if (entry.refresh[i] && entry.refresh[i]->waiting)
            return;
    }
    // Waiting in a lane sent later: it moves up.
    for (int i = lane + 1; i < kRefreshLanes; ++i)
    {
        if (entry.refresh[i] && entry.refresh[i]->waiting)
        {
            entry.refresh[i]->waiting = false;
            ++m_overtaken[i];
        }
    }
    if (SRefreshRead* again = entry.refresh[lane])
    {
        // Asked for again before it left: it waits where it stands, under a sequence of its own
        // as every record sent.
        again->waiting = true;
        again->sequence = m_nextSequence++;
        --m_overtaken[lane];
        return;
    }
    m_refresh[lane].push_back(SRefreshRead{target, m_nextSequence++, true});
    entry.refresh[lane] = &m_refresh[lane].back();
}

size_t COutgoingQueue::GetCount(TLane last) const
{
    size_t count = m_inOrder.size();
    for (int lane = 0; last != kInOrder && lane <= RefreshIndex(last); ++lane)
        count += m_refresh[lane].size() - m_overtaken[lane];
    return count;
}

bool COutgoingQueue::IsEmpty() const
{
    if (!m_inOrder.empty())
        return false;
    for (int lane = 0; lane < kRefreshLanes; ++lane)
    {
        if (!m_refresh[lane].empty() && m_refresh[lane].size() != m_overtaken[lane])
            return false;
    }
    return true;
}

bool COutgoingQueue::IsWaiting(const CMessage::STarget& target) const
{
    if (IsInFlight(kInOrder) && m_inOrder.front().message.GetTarget() == target)
        return true;
    const auto found = m_index.find(target);
    return found != m_index.end() && found->second.inOrder;
}

bool COutgoingQueue::TakeHead(CMessage& head)
{
    if (!m_inFlight)
    {
        m_flightLane = kInOrder;
        if (m_inOrder.empty())
        {
            int lane = 0;
            for (; lane < kRefreshLanes; ++lane)
            {
                std::deque<SRefreshRead>& reads = m_refresh[lane];
                while (!reads.empty() && !reads.front().waiting)
                {
                    ForgetRefreshFront(lane);
                    reads.pop_front();
                    --m_overtaken[lane];
                }
                if (!reads.empty())
                    break;
            }
            if (lane == kRefreshLanes)
                return false;
            m_flightLane = lane == 0 ? kRefresh : kUnasked;
        }
        // From now on an answer may be on its way for this very record: a newer one for its
        // target queues behind it.
        m_inFlight = true;
        if (m_flightLane != kInOrder)
            ForgetRefreshFront(RefreshIndex(m_flightLane));
        else
        {
            NoteLoadSent(m_inOrder.front());
            if (m_inOrder.front().message.IsLastValueOnly())
            {
                const auto found = m_index.find(m_inOrder.front().message.GetTarget());
                if (found != m_index.end() && found->second.inOrder == &m_inOrder.front())
                {
                    found->second.inOrder = nullptr;
                    if (found->second.IsEmpty())
                        m_index.erase(found);
                }
            }
        }
    }
    if (m_flightLane == kInOrder)
    {
        head = m_inOrder.front().message;
        return true;
    }
    const SRefreshRead& read = m_refresh[RefreshIndex(m_flightLane)].front();
    head = CMessage(read.target.manager, read.target.command);
    head.SetIndex0(read.target.index0);
    head.SetIndex1(read.target.index1);
    head.SetIndex2(read.target.index2);
    head.SetSequence(read.sequence);
    return true;
}

void COutgoingQueue::NoteLoadSent(const SQueued& queued)
{
    // A read changes nothing at the controller.
    if (queued.load == 0 || queued.load != m_lastLoad || queued.message.IsRead())
        return;
    const CMessage::STarget target = queued.message.GetTarget();
    if (m_loadSentIndex.insert(target).second)
        m_loadSent.push_back(target);
}

void COutgoingQueue::ForgetRefreshFront(int lane)
{
    const SRefreshRead& front = m_refresh[lane].front();
    const auto found = m_index.find(front.target);
    if (found == m_index.end() || found->second.refresh[lane] != &front)
        return;
    found->second.refresh[lane] = nullptr;
    if (found->second.IsEmpty())
        m_index.erase(found);
}

bool COutgoingQueue::Complete(uint16_t sequence)
{
    // Only a record that was sent can be answered.
    if (!m_inFlight)
        return false;
    if (m_flightLane == kInOrder)
    {
        if (m_inOrder.front().message.GetSequence() != sequence)
            return false;
        PopInOrder();
    }
    else
    {
        std::deque<SRefreshRead>& reads = m_refresh[RefreshIndex(m_flightLane)];
        if (reads.front().sequence != sequence)
            return false;
        reads.pop_front();
    }
    m_inFlight = false;
    return true;
}

void COutgoingQueue::Clear()
{
    m_inOrder.clear();
    m_inOrderBytes = 0;
    for (std::deque<SRefreshRead>& reads : m_refresh)
        reads.clear();
    std::fill(std::begin(m_overtaken), std::end(m_overtaken), 0);
    m_inFlight = false;
    m_index.clear();
    ForgetLoadSent();
}

void COutgoingQueue::ForgetLoadSent()
{
    m_loadSent.clear();
    m_loadSentIndex.clear();
}

void COutgoingQueue::BeginLoad()
{
    if (++m_lastLoad == 0)
        m_lastLoad = 1;
    m_loading = true;
    ForgetLoadSent();
    // Neither merges into the other's records: the load is taken back whole.
    ++m_fences;
}

void COutgoingQueue::EndLoad()
{
    m_loading = false;
    ++m_fences;
}

bool COutgoingQueue::IsDroppedByLoad(size_t position, bool headSent) const
{
    const SQueued& queued = m_inOrder[position];
    const bool sent = position == 0 && headSent;
    return !sent && queued.load == m_lastLoad && m_lastLoad != 0 && !queued.message.IsRead();
}

void COutgoingQueue::CollectUnasked(bool headSent, std::vector<CMessage::STarget>& unasked) const
{
    // From the newest back: a value queued after the load (an operator's own, which never merges
    // into the load's records) stays the last ask of its target.
    std::unordered_set<CMessage::STarget, CMessage::STargetHash> later;
    for (size_t i = m_inOrder.size(); i-- > 0;)
    {
        const CMessage& message = m_inOrder[i].message;
        if (!message.IsLastValueOnly() || message.IsRead())
            continue;
        if (later.insert(message.GetTarget()).second && IsDroppedByLoad(i, headSent))
            unasked.push_back(message.GetTarget());
    }
}

size_t COutgoingQueue::DropLoad(std::vector<CMessage::STarget>* sent, std::vector<CMessage::STarget>* unasked)
{
    if (sent)
        sent->insert(sent->end(), m_loadSent.begin(), m_loadSent.end());
    ForgetLoadSent();
    const size_t before = m_inOrder.size();
    const bool headSent = IsInFlight(kInOrder);
    if (unasked)
        CollectUnasked(headSent, *unasked);
    std::deque<SQueued> kept;
    for (size_t i = 0; i < before; ++i)
    {
        if (!IsDroppedByLoad(i, headSent))
            kept.push_back(std::move(m_inOrder[i]));
        else
            m_inOrderBytes -= m_inOrder[i].message.GetValueRef().GetHeldBytes();
    }
    if (kept.size() == before)
        return 0;
    m_inOrder.swap(kept);
    // The index pointed into the lane as it was: the records that stayed are found again, the
    // newest of a target last.
    for (auto entry = m_index.begin(); entry != m_index.end();)
    {
        entry->second.inOrder = nullptr;
        entry = entry->second.IsEmpty() ? m_index.erase(entry) : std::next(entry);
    }
    for (size_t i = headSent ? 1 : 0; i < m_inOrder.size(); ++i)
    {
        if (m_inOrder[i].message.IsLastValueOnly())
            m_index[m_inOrder[i].message.GetTarget()].inOrder = &m_inOrder[i];
    }
    return before - m_inOrder.size();
}

COutgoingQueue::SQueued* COutgoingQueue::Append(const CMessage& message)
{
    if (m_inOrder.size() >= kMostInOrder || m_inOrderBytes >= kMostInOrderBytes)
        return nullptr;
    m_inOrder.push_back(SQueued{message, m_fences, m_loading ? m_lastLoad : 0});
    m_inOrder.back().message.SetSequence(m_nextSequence++);
    m_inOrderBytes += message.GetValueRef().GetHeldBytes();
    return &m_inOrder.back();
}

void COutgoingQueue::PopInOrder()
{
    m_inOrderBytes -= m_inOrder.front().message.GetValueRef().GetHeldBytes();
    m_inOrder.pop_front();
}
