#pragma once

#include "link/message.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// The records waiting for the connected controller, which takes one at a time: the head is sent,
// and resent until a frame with its sequence completes it. A notification completes nothing,
// whatever its number: it is news, so that notifications forged by the thousand, even numbered
// one after another as records leave, never pace the link. A read is completed only by its
// answer, the frame with its sequence that answers its target (CMessage::AnswersRead), until it
// has been sent again; then any frame with its sequence completes it, and it is asked again, at
// most kMostAskedAgain times before it is given up (Complete). Any other record is completed by
// any frame with its sequence. Not locked: the device manager keeps it under its send lock.
//
// A record takes its sequence number from one counter when it first leaves as the head, and keeps
// it for every resend: the numbers the controller meets advance by one in the order records leave,
// whichever lane they waited in, and a record that never left (merged into another, taken back with
// a load, cleared) takes none.
//
// A newer value takes the place of one queued for the same target when only the last of them
// matters (CMessage::IsLastValueOnly), but never that of the head once it is sent, which an
// answer to an earlier send would complete, and never across a record that keeps its place (a
// press, a release, an action) queued after it. Whatever frame is lost, the controller meets
// every change in the order made.
//
// A read is different: one that waits is sent after now, whatever stands around it, so it learns
// what a newer read of its target would. A read of a target is therefore queued only when none
// waits in its lane, and an action fences off only the values before it. A read queued in order
// takes the place of one of its target that waits in a lane.
//
// This program's own reading of everything (kResync: after a unit is chosen or comes back, and the
// objects an aborted load reached, then everything) waits in a lane of its own, behind everything
// in order and ahead of news, in the order asked, a target at most once: the controller meets every
// playback, then every fixture, then the programmer, as the protocol orders a resync, whatever news
// waits meanwhile. It is some 530 reads: news waits that much longer after a unit is chosen, and an
// operator's change not at all.
//
// The reads that answers or the controller's announcements ask for are news, which anyone on the
// network can forge by the thousand. They wait behind everything in order, in lanes by kind of
// target (playbacks' own values, fixtures', the programmer's, cues', any other) and by breadth:
// news of one object (a value of it, or everything about it) apart from news of many (all the
// playbacks, a count's cue list, what lost notifications could have named). Narrow news has two
// turns for each of broad news (kNarrowTurns), and within a breadth the kinds take turns, one read
// each: a flood of one kind delays a read of another by one read a turn, and a flood of broad news
// delays narrow news by one read in three, so that a value changed at the controller is read before
// the many reads that "everything changed" floods ask, and broad news still has a third of the
// controller. A lane holds a target at most once, in the order first asked: asked for again while
// it waits, a read keeps its place, so nothing that waits waits twice in a lane or is pushed back
// by later news; a target waiting in both lanes of its kind is read once, at the first of the two.
// A lane thus holds at most the targets of its kind that the model reads: 640 of the playbacks (64
// of 10 values), 384 of the fixtures (64 of 6), 21 of the programmer, 24,576 of the cues (64
// playbacks of 48 cues of 8 values). A read of news waits for what waits in order and in the
// resync's lane, then for the reads ahead of it in its lane, each sent beside at most one read of
// every other lane: at most one pass over its lane. The controller answering 1 ms late takes a read
// in about 1.06 ms: a playback's or a fixture's value waits well under a second beside a flood of
// cue reads or of broad news, and a cue's at most one pass over the cues, 24,576 reads in about 26
// s (under a second on loopback), longer by a read a turn for each other lane a flood keeps busy.
//
// Records in order are bounded of their own, whoever queues them (a load, the operator): at most
// kMostInOrder records, and a record is added only while their payloads hold less than
// kMostInOrderBytes: well above the largest genuine show a load sends (25,024 records, 10 MB of
// payloads) with all an operator queues meanwhile. At the bound a record that would be added is
// refused (Queue says so); one that takes a waiting record's place, or a read of a target already
// waiting, is still taken, as it adds nothing. So at most that many records are kept, each of at
// most 1 KB payload (a newer value may lengthen one that waits): 42 MB with the index at the very
// worst, 25 MB at the byte bound; and besides them the lanes of news, some 3 MB when full.
class COutgoingQueue
{
public:
    static constexpr size_t kMostInOrder = 32768;
    static constexpr size_t kMostInOrderBytes = size_t(16) << 20;
    // How often a read that a frame of another target completed is asked again before it is given
    // up without a value. A controller that answers one read so every time (a read it takes for
    // another object's) would otherwise hold the link for ever, asked that read alone; given up, it
    // costs some kMostAskedAgain + 1 resends, about 4 s, and the reads behind it go on. Three
    // times is far more than a genuine answer lost on the way needs.
    static constexpr uint32_t kMostAskedAgain = 3;

    enum TLane
    {
        kInOrder,
        // News of one object: the reads of a notification of a value, or of everything about one
        // playback, cue or fixture.
        kNews,
        // News of many objects: the reads of everything about a manager's objects, of a count's
        // cue list, of what lost notifications could have named.
        kBroadNews,
        // This program's own reading of everything, after a unit is chosen or comes back, or a
        // load is aborted.
        kResync,
    };

    // What a frame with a sequence did to the record in flight.
    enum TCompletion
    {
        // Another sequence, nothing in flight, a notification, or another target than that of a
        // read not yet sent again, which stays in flight for its own answer.
        kNotCompleted,
        // The record's sequence but another target: the record is done with, but the frame is no
        // answer to it. A read so completed (only once it was sent again) waits again, as news of
        // many objects, so that its own answer, which would now come to nothing in flight, is not
        // lost for good, while it holds no narrow news back beyond its turn.
        kCompletedByOther,
        // The same, but the read had been asked again kMostAskedAgain times so: it is given up
        // without a value and waits no more.
        kGivenUp,
        // The record's answer: its sequence and target. Own: the program itself asked for the
        // record; news: only news it did not ask for itself asked for the read.
        kAnsweredOwn,
        kAnsweredNews,
    };

    // Only reads without a payload join the lanes of news or the resync; every other record goes
    // in order.
    // Unasked: news the program did not ask for itself (a notification, a reply to nothing it
    // sent, an answer to a read only such news asked for), which anyone on the network can send
    // by the thousand, counted apart (GetOwnCount). False when it was refused: the records in
    // order are at their bound.
    bool Queue(const CMessage& message, TLane lane, bool unasked = false);
    // The records waiting, the one in flight included (a read waiting in both lanes of its kind
    // counts twice).
    size_t GetCount() const;
    // The same, but for the reads that only unasked news asked for.
    size_t GetOwnCount() const;
    // Whether nothing waits, as GetCount() == 0 says, but without counting.
    bool IsEmpty() const;
    // Whether no record waits in order (the bounded part), the one in flight included.
    bool IsInOrderEmpty() const { return m_inOrder.empty(); }
    // Whether a record of the target waits in order or is in flight.
    bool IsWaiting(const CMessage::STarget& target) const;
    // The record to send: the one in flight, else the next in order, else the next read of news
    // whose turn it is, which is in flight from now on. False when nothing waits.
    bool TakeHead(CMessage& head);
    // A frame from the controller arrived. When given, completed receives the target of the
    // record it completed, if any.
    TCompletion Complete(const CMessage& frame, CMessage::STarget* completed = nullptr);
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
    // A read of news is all target: it carries no payload.
    struct SRead
    {
        CMessage::STarget target;
        // Given when it leaves the lane.
        uint16_t sequence;
        // False once the target is read before it: by a read queued in order, or by its read in
        // another lane. It is not sent, unless asked for again before it leaves.
        bool waiting;
        // Only news the program did not ask for itself asked for it.
        bool unasked;
    };
    // The kinds of target, whose lanes take turns.
    enum TKind
    {
        kPlaybacks,
        kFixtures,
        kProgrammer,
        kCues,
        kOtherTargets,
        kKindCount,
    };
    // The lanes of a kind: news of one object, news of many.
    static constexpr int kBreadths = 2;
    // Narrow news goes this many times for each time broad news goes, when both wait.
    static constexpr int kNarrowTurns = 2;
    static constexpr int kLaneCount = kKindCount * kBreadths;
    // The resync's lane comes after those of news, and a target's read in it after its reads of
    // news.
    static constexpr int kResyncLane = kLaneCount;
    static constexpr int kAllLanes = kLaneCount + 1;
    static constexpr int kResyncSlot = kBreadths;
    static constexpr int kSlots = kBreadths + 1;
    // The lane of a target's read in the slot given: a breadth of news, or the resync's.
    static int LaneOf(const CMessage::STarget& target, int slot);
    static int SlotOf(int lane);
    // The queued records of a target: the newest in order, not yet sent, its read in each lane
    // of its kind and in the resync's.
    struct SIndexed
    {
        SQueued* inOrder = nullptr;
        SRead* read[kSlots] = {};
        bool IsEmpty() const { return !inOrder && !read[0] && !read[1] && !read[2]; }
    };
    // In flight: no lane of news, but the records in order.
    static constexpr int kInOrderFlight = -1;

    // Null when the records in order are at their bound.
    SQueued* Append(const CMessage& message);
    // The record at the front of the lane in order leaves it.
    void PopInOrder();
    // A read of news or of the resync: it waits in its lane unless it waits there already.
    void QueueRead(const CMessage::STarget& target, SIndexed& entry, int slot, bool unasked);
    // The target is read before its read in the slot given, which is not sent then.
    void Overtake(SRead* read, int slot);
    // The reads at the front of the lane that are not to be sent go.
    void SkipOvertaken(int lane);
    // The lane whose turn it is and that has a read to send, which then has its turn; none:
    // kInOrderFlight.
    int TakeTurn();
    // The read at the front of a lane goes, sent or not: its entry forgets it.
    void ForgetReadFront(int lane, bool sent);
    // The record of the last load leaves: its target is read back if the load is aborted.
    void NoteLoadSent(const SQueued& queued);
    void ForgetLoadSent();
    // Whether DropLoad takes back the record at the position of the lane in order.
    bool IsDroppedByLoad(size_t position, bool headSent) const;
    void CollectUnasked(bool headSent, std::vector<CMessage::STarget>& unasked) const;
    bool IsInOrderInFlight() const { return m_inFlight && m_flightLane == kInOrderFlight; }
    // Whether a frame with the sequence of the record in flight, of that target, completes it.
    bool Completes(const CMessage& frame, const CMessage::STarget& target, bool read) const;
    // A frame with the sequence of the read in flight answered it, or another target's completed
    // it: it then waits again as news of many objects, unless it has been asked again too often.
    TCompletion ReadCompleted(const CMessage& frame, const CMessage::STarget& read, bool unasked);

    std::deque<SQueued> m_inOrder;
    // The payload bytes the records in order hold.
    size_t m_inOrderBytes = 0;
    std::deque<SRead> m_reads[kAllLanes];
    // Reads in each lane that are not sent.
    size_t m_overtaken[kAllLanes] = {};
    // Reads in the lanes, waiting or in flight, that only unasked news asked for.
    size_t m_unasked = 0;
    // In each breadth the kind whose turn is next; how many turns narrow news had in a row.
    int m_turn[kBreadths] = {};
    int m_breadthStep = 0;
    bool m_inFlight = false;
    // kInOrderFlight, or the lane of the read in flight.
    int m_flightLane = kInOrderFlight;
    // How often the record in flight has been taken to be sent: more than once, it was resent.
    uint32_t m_flightSends = 0;
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
    // How often each read waiting again was completed by another target's frame since its own
    // answer last came: one entry a target that waits or was given up, so no more than the lanes
    // hold.
    std::unordered_map<CMessage::STarget, uint32_t, CMessage::STargetHash> m_askedAgain;
};
