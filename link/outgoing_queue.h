#pragma once

#include "link/message.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// The records waiting for the connected controller, which takes one at a time: the head is sent,
// and a frame with its sequence completes it. Not locked: the device manager keeps it under its
// send lock.
//
// A newer value takes the place of one queued for the same target when only the last of them
// matters (CMessage::IsLastValueOnly), but never that of the head once it is sent, which an
// answer to an earlier send would complete, and never across a record that keeps its place (a
// press, a release, an action) queued after it. Whatever frame is lost, the controller meets
// every change in the order made.
//
// A read is different: one that waits is sent after now, whatever stands around it, so it learns
// what a newer read of its target would. A read of a target is therefore queued only when none
// waits, in any lane, and an action fences off only the values before it.
//
// The reads of a refresh (everything about an object, asked for after a resync or a new count)
// wait in lanes of their own behind everything else, so that a burst of them never holds back a
// change or a single read; each lane holds a target at most once, so none grows past the targets
// that exist. A read of a target that waits in a later lane, or a single read of one that waits in
// a refresh, takes its place.
//
// Records in order are bounded of their own, whoever queues them (a load, the operator, the reads
// replies ask for): at most kMostInOrder records, and a record is added only while their payloads
// hold less than kMostInOrderBytes: well above the largest genuine show a load sends (25,024
// records, 10 MB of payloads) with all an operator queues meanwhile. At the bound a record that would be
// added is refused (Queue says so); one that takes a waiting record's place, or a read of a target
// already waiting, is still taken, as it adds nothing. So at most that many records are kept, each
// of at most 1 KB payload (a newer value may lengthen one that waits): 42 MB with the index at the
// very worst, 25 MB at the byte bound.
class COutgoingQueue
{
public:
    static constexpr size_t kMostInOrder = 32768;
    static constexpr size_t kMostInOrderBytes = size_t(16) << 20;

    enum TLane
    {
        kInOrder,
        // The reads this program or the controller asked for: a resync, the controller's
        // announcements, the answers to records this program sent.
        kRefresh,
        // The reads a reply to nothing this program sent asked for (a count no one asked for),
        // and those of what most likely did not change (the cues of a list whose count a
        // notification said changed came back as it was): they wait behind every other, since
        // anyone on the network can send such replies and notifications.
        kUnasked,
    };

    // Only reads without a payload join a refresh lane; every other record goes in order. False
    // when it was refused: the records in order are at their bound.
    bool Queue(const CMessage& message, TLane lane);
    // The records waiting in the lanes up to the one given, the one in flight included.
    size_t GetCount(TLane last = kUnasked) const;
    // Whether nothing waits, as GetCount() == 0 says, but without counting.
    bool IsEmpty() const;
    // Whether a record of the target waits in order or is in flight.
    bool IsWaiting(const CMessage::STarget& target) const;
    // The record to send: the one in flight, else the next in order, else the next read of a
    // refresh, which is in flight from now on. False when nothing waits.
    bool TakeHead(CMessage& head);
    // A frame with the sequence arrived: true when it completed the record in flight.
    bool Complete(uint16_t sequence);
    void Clear();

    // The records queued from BeginLoad to EndLoad are one load (a show sent to the controller),
    // which nothing queued outside it merges with.
    void BeginLoad();
    void EndLoad();
    // Takes back the records of the last load that still wait, not the one in flight; the reads
    // stay. Returns how many went. When given, sent receives the targets of the load's records
    // that left (the one in flight too), each once, in the order they first left; unasked the
    // targets of the values taken back that no record queued after them replaces, each once: what
    // the last record of these targets asked for was never sent.
    size_t DropLoad(std::vector<CMessage::STarget>* sent = nullptr, std::vector<CMessage::STarget>* unasked = nullptr);

private:
    struct SQueued
    {
        CMessage message;
        // The records that keep their place queued before it: a value merges into it only while
        // no other came since.
        uint64_t fences;
        // The load it belongs to; 0: none.
        uint32_t load;
    };
    // A read of a refresh is all target: it carries no payload.
    struct SRefreshRead
    {
        CMessage::STarget target;
        uint16_t sequence;
        // False once a read of the target queued in order has taken its place: it is not sent,
        // unless a refresh asks for the target again before it leaves the lane.
        bool waiting;
    };
    static constexpr int kRefreshLanes = 2;
    // The queued records of a target: the newest in order, not yet sent, and its read in each
    // refresh lane.
    struct SIndexed
    {
        SQueued* inOrder = nullptr;
        SRefreshRead* refresh[kRefreshLanes] = {};
        bool IsEmpty() const { return !inOrder && !refresh[0] && !refresh[1]; }
    };

    // Null when the records in order are at their bound.
    SQueued* Append(const CMessage& message);
    // The record at the front of the lane in order leaves it.
    void PopInOrder();
    // A read of a refresh lane: it waits there unless the target is read before it anyway.
    void QueueRefreshRead(const CMessage::STarget& target, SIndexed& entry, int lane);
    // The read at the front of a refresh lane goes: its entry forgets it.
    void ForgetRefreshFront(int lane);
    // The record of the last load leaves: its target is read back if the load is aborted.
    void NoteLoadSent(const SQueued& queued);
    void ForgetLoadSent();
    // Whether DropLoad takes back the record at the position of the lane in order.
    bool IsDroppedByLoad(size_t position, bool headSent) const;
    void CollectUnasked(bool headSent, std::vector<CMessage::STarget>& unasked) const;
    // Whose front is in flight.
    bool IsInFlight(TLane lane) const { return m_inFlight && m_flightLane == lane; }

    std::deque<SQueued> m_inOrder;
    // The payload bytes the records in order hold.
    size_t m_inOrderBytes = 0;
    std::deque<SRefreshRead> m_refresh[kRefreshLanes];
    // Reads in each refresh lane that are not sent.
    size_t m_overtaken[kRefreshLanes] = {};
    bool m_inFlight = false;
    TLane m_flightLane = kInOrder;
    uint16_t m_nextSequence = 0;
    // The records that keep their place queued so far.
    uint64_t m_fences = 0;
    uint32_t m_lastLoad = 0;
    bool m_loading = false;
    // The targets of the last load's records that left, each once: as many as the targets the
    // load names, however often it names them.
    std::vector<CMessage::STarget> m_loadSent;
    std::unordered_set<CMessage::STarget, CMessage::STargetHash> m_loadSentIndex;
    // The queued records by target. A deque keeps its elements where they are as it grows at the
    // back and loses its front.
    std::unordered_map<CMessage::STarget, SIndexed, CMessage::STargetHash> m_index;
};
