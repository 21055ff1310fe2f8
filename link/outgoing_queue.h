#pragma once

#include "link/message.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <unordered_map>

// The records waiting for the connected controller, which takes one at a time: the head is sent,
// and a frame with its sequence completes it. Not locked: the device manager keeps it under its
// send lock.
//
// A newer record takes the place of one queued for the same target when only the last of them
// matters (CMessage::IsLastValueOnly), but never that of the head once it is sent, which an
// answer to an earlier send would complete, and never across a record that keeps its place (a
// press, a release, an action) queued after it. Whatever frame is lost, the controller meets
// every change in the order made.
//
// The reads of a refresh (everything about an object, asked for after a resync or a new count)
// wait in a lane of their own behind everything else, so that a burst of them never holds back a
// change or a single read. A read changes nothing at the controller, which announces each change
// it makes, so a read that waits reads what is there when it is sent. A single read of a target
// that waits in a refresh takes its place in order.
class COutgoingQueue
{
public:
    enum TLane
    {
        kInOrder,
        kRefresh,
    };

    // Only reads without a payload join the refresh lane; every other record goes in order.
    void Queue(const CMessage& message, TLane lane);
    // The records waiting, the one in flight included.
    size_t GetCount() const { return m_inOrder.size() + m_refresh.size() - m_overtaken; }
    // The record to send: the one in flight, else the next in order, else the next read of a
    // refresh, which is in flight from now on. False when nothing waits.
    bool TakeHead(CMessage& head);
    // A frame with the sequence arrived: true when it completed the record in flight.
    bool Complete(uint16_t sequence);
    void Clear();

private:
    // A read of a refresh is all target: it carries no payload.
    struct SRefreshRead
    {
        CMessage::STarget target;
        uint16_t sequence;
        // A single read of the target has overtaken it: it is not sent.
        bool overtaken;
    };
    // The queued record of a target, in one lane or the other.
    struct SMergeable
    {
        CMessage* inOrder;
        SRefreshRead* refresh;
    };

    void Append(const CMessage& message);

    std::deque<CMessage> m_inOrder;
    std::deque<SRefreshRead> m_refresh;
    size_t m_overtaken = 0;
    bool m_inFlight = false;
    // Whose front is in flight.
    TLane m_flightLane = kInOrder;
    uint16_t m_nextSequence = 0;
    // The queued records a newer one for their target takes the place of: those queued after the
    // last record that keeps its place, and not yet sent. A deque keeps its elements where they
    // are as it grows at the back and loses its front.
    std::unordered_map<CMessage::STarget, SMergeable, CMessage::STargetHash> m_mergeable;
};
