#include "link/outgoing_queue.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace
{
// A read of the target, as it goes on the wire.
CMessage ReadOf(const CMessage::STarget& target)
{
    CMessage read(target.manager, target.command);
    read.SetIndex0(target.index0);
    read.SetIndex1(target.index1);
    read.SetIndex2(target.index2);
    return read;
}
}  // namespace

int COutgoingQueue::LaneOf(const CMessage::STarget& target, int slot)
{
    if (slot == kResyncSlot)
        return kResyncLane;
    TKind kind = kOtherTargets;
    switch (target.manager)
    {
    case MANAGER_PLAYBACK_MANAGER:
    case MANAGER_PLAYBACK: kind = kPlaybacks; break;
    case MANAGER_FIXTURE_MANAGER:
    case MANAGER_FIXTURE: kind = kFixtures; break;
    case MANAGER_PROGRAMMER:
    case MANAGER_PROGRAMMER_CHANGE: kind = kProgrammer; break;
    case MANAGER_CUE: kind = kCues; break;
    default: break;
    }
    return kind * kBreadths + slot;
}

int COutgoingQueue::SlotOf(int lane)
{
    return lane == kResyncLane ? kResyncSlot : lane % kBreadths;
}

bool COutgoingQueue::Queue(const CMessage& message, TLane lane, bool unasked)
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
        QueueRead(target, entry, lane == kNews ? 0 : lane == kBroadNews ? 1 : kResyncSlot, unasked);
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
        for (int slot = 0; slot < kSlots; ++slot)
            Overtake(entry.read[slot], slot);
    }
    entry.inOrder = queued;
    return true;
}

void COutgoingQueue::QueueRead(const CMessage::STarget& target, SIndexed& entry, int slot, bool unasked)
{
    SRead* read = entry.read[slot];
    if (read && read->waiting)
    {
        // It keeps its place; asked for by the program itself (a resync, the answer to a read of
        // its own), it counts as its own.
        if (read->unasked && !unasked)
        {
            read->unasked = false;
            --m_unasked;
        }
        return;
    }
    const int lane = LaneOf(target, slot);
    if (read)
    {
        // Asked for again before it left the lane: it waits where it stands.
        read->waiting = true;
        --m_overtaken[lane];
    }
    else
    {
        m_reads[lane].push_back(SRead{target, 0, true, false});
        read = entry.read[slot] = &m_reads[lane].back();
    }
    read->unasked = unasked;
    m_unasked += unasked;
}

void COutgoingQueue::Overtake(SRead* read, int slot)
{
    if (!read || !read->waiting)
        return;
    read->waiting = false;
    ++m_overtaken[LaneOf(read->target, slot)];
    m_unasked -= read->unasked;
}

size_t COutgoingQueue::GetCount() const
{
    size_t count = m_inOrder.size();
    for (int lane = 0; lane < kAllLanes; ++lane)
        count += m_reads[lane].size() - m_overtaken[lane];
    return count;
}

size_t COutgoingQueue::GetOwnCount() const
{
    return GetCount() - m_unasked;
}

bool COutgoingQueue::IsEmpty() const
{
    if (!m_inOrder.empty())
        return false;
    for (int lane = 0; lane < kAllLanes; ++lane)
    {
        if (m_reads[lane].size() != m_overtaken[lane])
            return false;
    }
    return true;
}

bool COutgoingQueue::IsWaiting(const CMessage::STarget& target) const
{
    if (IsInOrderInFlight() && m_inOrder.front().message.GetTarget() == target)
        return true;
    const auto found = m_index.find(target);
    return found != m_index.end() && found->second.inOrder;
}

void COutgoingQueue::SkipOvertaken(int lane)
{
    std::deque<SRead>& reads = m_reads[lane];
    while (!reads.empty() && !reads.front().waiting)
    {
        ForgetReadFront(lane, false);
        reads.pop_front();
        --m_overtaken[lane];
    }
}

int COutgoingQueue::TakeTurn()
{
    // The program's own reading of everything goes before news, whose turns it leaves as they are.
    SkipOvertaken(kResyncLane);
    if (!m_reads[kResyncLane].empty())
        return kResyncLane;
    // Narrow news has kNarrowTurns turns for each of broad news, whichever has reads to send.
    const int first = m_breadthStep < kNarrowTurns ? 0 : 1;
    for (int b = 0; b < kBreadths; ++b)
    {
        const int breadth = (first + b) % kBreadths;
        for (int k = 0; k < kKindCount; ++k)
        {
            const int kind = (m_turn[breadth] + k) % kKindCount;
            const int lane = kind * kBreadths + breadth;
            SkipOvertaken(lane);
            if (m_reads[lane].empty())
                continue;
            m_turn[breadth] = (kind + 1) % kKindCount;
            m_breadthStep = breadth == 0 ? m_breadthStep + 1 : 0;
            return lane;
        }
    }
    return kInOrderFlight;
}

bool COutgoingQueue::TakeHead(CMessage& head)
{
    if (!m_inFlight)
    {
        m_flightLane = m_inOrder.empty() ? TakeTurn() : kInOrderFlight;
        if (m_inOrder.empty() && m_flightLane == kInOrderFlight)
            return false;
        // From now on an answer may be on its way for this very record: a newer one for its
        // target queues behind it.
        m_inFlight = true;
        m_flightSends = 0;
        // Numbered as it leaves, so that the controller meets the numbers one by one in the order
        // the records come, whichever lane they waited in; resends keep the number.
        if (m_flightLane != kInOrderFlight)
        {
            m_reads[m_flightLane].front().sequence = m_nextSequence++;
            ForgetReadFront(m_flightLane, true);
        }
        else
        {
            m_inOrder.front().message.SetSequence(m_nextSequence++);
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
    ++m_flightSends;
    if (m_flightLane == kInOrderFlight)
    {
        head = m_inOrder.front().message;
        return true;
    }
    const SRead& read = m_reads[m_flightLane].front();
    head = ReadOf(read.target);
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

void COutgoingQueue::ForgetReadFront(int lane, bool sent)
{
    const SRead& front = m_reads[lane].front();
    const auto found = m_index.find(front.target);
    const int slot = SlotOf(lane);
    if (found == m_index.end() || found->second.read[slot] != &front)
        return;
    SIndexed& entry = found->second;
    entry.read[slot] = nullptr;
    // What the read sent learns, its reads in the other lanes would: those go too.
    for (int other = 0; sent && other < kSlots; ++other)
        Overtake(entry.read[other], other);
    if (entry.IsEmpty())
        m_index.erase(found);
}

bool COutgoingQueue::Completes(const CMessage& frame, const CMessage::STarget& target, bool read) const
{
    // A read is done with only when its value has come: a frame of another target with its number
    // (anyone's, numbered blind or seen on the wire) leaves it in flight for its own answer. Once
    // it has been sent again, such a frame completes it too, so that a controller that answers a
    // read with another target cannot hold the link: a forger takes a read from its answer at
    // most once a resend.
    return !read || frame.AnswersRead(target) || m_flightSends > 1;
}

COutgoingQueue::TCompletion COutgoingQueue::ReadCompleted(const CMessage& frame, const CMessage::STarget& read,
                                                          bool unasked)
{
    if (frame.AnswersRead(read))
    {
        if (!m_askedAgain.empty())
            m_askedAgain.erase(read);
        return unasked ? kAnsweredNews : kAnsweredOwn;
    }
    uint32_t& times = m_askedAgain[read];
    if (times >= kMostAskedAgain)
    {
        m_askedAgain.erase(read);
        return kGivenUp;
    }
    ++times;
    Queue(ReadOf(read), kBroadNews, unasked);
    return kCompletedByOther;
}

COutgoingQueue::TCompletion COutgoingQueue::Complete(const CMessage& frame, CMessage::STarget* completed)
{
    // Only a record that was sent can be answered. A notification is the controller's news,
    // whatever number it carries: it completes nothing, so that notifications forged one number
    // after another never pace the link. Any other frame with the record's sequence completes it
    // (a read only as said in Completes); only one of its target too is its answer.
    if (!m_inFlight || frame.GetCommand() == COMMAND_NOTIFY)
        return kNotCompleted;
    if (m_flightLane == kInOrderFlight)
    {
        const CMessage& front = m_inOrder.front().message;
        if (front.GetSequence() != frame.GetSequence() || !Completes(frame, front.GetTarget(), front.IsRead()))
            return kNotCompleted;
        m_inFlight = false;
        const CMessage::STarget target = front.GetTarget();
        if (completed)
            *completed = target;
        const bool read = front.IsRead();
        PopInOrder();
        if (read)
            return ReadCompleted(frame, target, false);
        return frame.GetTarget() == target ? kAnsweredOwn : kCompletedByOther;
    }
    std::deque<SRead>& reads = m_reads[m_flightLane];
    const SRead read = reads.front();
    if (read.sequence != frame.GetSequence() || !Completes(frame, read.target, true))
        return kNotCompleted;
    m_inFlight = false;
    if (completed)
        *completed = read.target;
    m_unasked -= read.unasked;
    reads.pop_front();
    return ReadCompleted(frame, read.target, read.unasked);
}

void COutgoingQueue::Clear()
{
    m_inOrder.clear();
    m_inOrderBytes = 0;
    for (std::deque<SRead>& reads : m_reads)
        reads.clear();
    std::fill(std::begin(m_overtaken), std::end(m_overtaken), 0);
    m_unasked = 0;
    std::fill(std::begin(m_turn), std::end(m_turn), 0);
    m_breadthStep = 0;
    m_inFlight = false;
    m_index.clear();
    m_askedAgain.clear();
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
    const bool headSent = IsInOrderInFlight();
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
    m_inOrderBytes += message.GetValueRef().GetHeldBytes();
    return &m_inOrder.back();
}

void COutgoingQueue::PopInOrder()
{
    m_inOrderBytes -= m_inOrder.front().message.GetValueRef().GetHeldBytes();
    m_inOrder.pop_front();
}
