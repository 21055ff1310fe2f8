#include "link/outgoing_queue.h"

void COutgoingQueue::Queue(const CMessage& message, TLane lane)
{
    if (!message.IsLastValueOnly())
    {
        // The controller must meet the action with the values as they were when it was made.
        m_mergeable.clear();
        Append(message);
        return;
    }
    if (!message.IsRead() || message.GetValueRef().GetType() != VALUE_NONE)
        lane = kInOrder;
    const CMessage::STarget target = message.GetTarget();
    const auto found = m_mergeable.find(target);
    if (found == m_mergeable.end())
    {
        if (lane == kInOrder)
        {
            Append(message);
            m_mergeable.emplace(target, SMergeable{&m_inOrder.back(), nullptr});
        }
        else
        {
            m_refresh.push_back(SRefreshRead{target, m_nextSequence++, false});
            m_mergeable.emplace(target, SMergeable{nullptr, &m_refresh.back()});
        }
        return;
    }
    if (found->second.inOrder)
        found->second.inOrder->SetValue(message.GetValueRef());
    else if (lane == kInOrder)
    {
        found->second.refresh->overtaken = true;
        ++m_overtaken;
        Append(message);
        found->second = SMergeable{&m_inOrder.back(), nullptr};
    }
}

bool COutgoingQueue::TakeHead(CMessage& head)
{
    if (!m_inFlight)
    {
        while (!m_refresh.empty() && m_refresh.front().overtaken)
        {
            m_refresh.pop_front();
            --m_overtaken;
        }
        if (!m_inOrder.empty())
            m_flightLane = kInOrder;
        else if (!m_refresh.empty())
            m_flightLane = kRefresh;
        else
            return false;
        // From now on an answer may be on its way for this very record: a newer one for its
        // target queues behind it.
        m_inFlight = true;
        const bool inOrder = m_flightLane == kInOrder;
        const auto found = m_mergeable.find(inOrder ? m_inOrder.front().GetTarget() : m_refresh.front().target);
        if (found != m_mergeable.end() &&
            (inOrder ? found->second.inOrder == &m_inOrder.front() : found->second.refresh == &m_refresh.front()))
            m_mergeable.erase(found);
    }
    if (m_flightLane == kInOrder)
    {
        head = m_inOrder.front();
        return true;
    }
    const SRefreshRead& read = m_refresh.front();
    head = CMessage(read.target.manager, read.target.command);
    head.SetIndex0(read.target.index0);
    head.SetIndex1(read.target.index1);
    head.SetIndex2(read.target.index2);
    head.SetSequence(read.sequence);
    return true;
}

bool COutgoingQueue::Complete(uint16_t sequence)
{
    // Only a record that was sent can be answered.
    if (!m_inFlight)
        return false;
    if (m_flightLane == kInOrder)
    {
        if (m_inOrder.front().GetSequence() != sequence)
            return false;
        m_inOrder.pop_front();
    }
    else
    {
        if (m_refresh.front().sequence != sequence)
            return false;
        m_refresh.pop_front();
    }
    m_inFlight = false;
    return true;
}

void COutgoingQueue::Clear()
{
    m_inOrder.clear();
    m_refresh.clear();
    m_overtaken = 0;
    m_inFlight = false;
    m_mergeable.clear();
}

void COutgoingQueue::Append(const CMessage& message)
{
    m_inOrder.push_back(message);
    m_inOrder.back().SetSequence(m_nextSequence++);
}
