#pragma once

#include "shell/sdl_mutex.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <utility>

// Replies a link thread hands to the main thread, which takes them at its ticks, oldest first. A
// tick with nothing handed over (nearly every tick of an idle link) takes no lock at all.
//
// Anyone on the network can send well-formed replies faster than the main thread applies them, so
// what waits is bounded: at most the replies and the bytes its owner gives (a reply's bytes are
// what its owner counts for it). Past either bound the oldest reply of the lowest rank waiting
// goes: first those nobody asked for, then notifications, and a new reply of a lower rank than
// every one waiting goes itself. A reply that answers the record the owner sent is always kept,
// and not counted: the owner sends one record at a time and waits for its answer, so there are
// never more of these than records it sent. While the main thread applies what it took, as much
// again may wait.
template <class Reply>
class CReplyMailbox
{
public:
    // What a reply is worth when the mailbox is full, least first.
    enum TRank
    {
        // It answers nothing that was sent: a late or repeated answer, or a forged one.
        kUnasked,
        // The controller says something changed.
        kNotification,
        // It completed the record in flight.
        kAnswer,
    };
    // The replies dropped since they were last counted, by rank (an answer is never dropped).
    struct SDropped
    {
        size_t unasked = 0;
        size_t notifications = 0;
    };

    CReplyMailbox(size_t mostReplies, size_t mostBytes) : m_mostReplies(mostReplies), m_mostBytes(mostBytes) {}

    // On the link thread. False when the reply, or another to make room for it, was dropped.
    bool Post(Reply reply, TRank rank, size_t bytes)
    {
        CSdlMutexLock lock(m_mutex);
        const size_t before = m_dropped[kUnasked] + m_dropped[kNotification];
        if (rank != kAnswer && LowestRank() > rank && IsFull(bytes))
        {
            ++m_dropped[rank];
            return false;
        }
        m_waiting[rank].push_back(SEntry{m_arrivals++, uint32_t(bytes), std::move(reply)});
        Counted(rank, m_waiting[rank].back());
        Trim();
        m_any.store(true, std::memory_order_release);
        return m_dropped[kUnasked] + m_dropped[kNotification] == before;
    }

    // On the main thread: hands the replies waiting to the handler, each with its rank, in the
    // order they were posted, outside the lock, until the handler returns false; those it was not
    // handed wait for the next call, ahead of any posted meanwhile. Adds to `dropped` how many
    // replies were dropped since the last call that counted them.
    template <class Handler>
    void Take(Handler&& handle, SDropped& dropped)
    {
        if (!m_any.load(std::memory_order_acquire))
            return;
        std::deque<SEntry> taken[kRanks];
        {
            CSdlMutexLock lock(m_mutex);
            for (int rank = 0; rank < kRanks; ++rank)
                taken[rank].swap(m_waiting[rank]);
            m_counted = 0;
            m_bytes = 0;
            m_any.store(false, std::memory_order_relaxed);
            dropped.unasked += std::exchange(m_dropped[kUnasked], 0);
            dropped.notifications += std::exchange(m_dropped[kNotification], 0);
        }
        // Handed in place, the next of each rank at next[rank], in runs of one rank up to the
        // next of another; what was handed goes with the deques, and what was not goes back.
        typename std::deque<SEntry>::iterator next[kRanks];
        for (int rank = 0; rank < kRanks; ++rank)
            next[rank] = taken[rank].begin();
        for (bool more = true; more;)
        {
            int oldest = -1;
            int other = -1;
            for (int rank = 0; rank < kRanks; ++rank)
            {
                if (next[rank] == taken[rank].end())
                    continue;
                // Other: the rank whose next comes second.
                if (oldest < 0 || Before(*next[rank], *next[oldest]))
                {
                    other = oldest;
                    oldest = rank;
                }
                else if (other < 0 || Before(*next[rank], *next[other]))
                    other = rank;
            }
            if (oldest < 0)
                return;
            auto& run = next[oldest];
            do
                more = handle(static_cast<const Reply&>((run++)->reply), TRank(oldest));
            while (more && run != taken[oldest].end() && (other < 0 || Before(*run, *next[other])));
        }
        CSdlMutexLock lock(m_mutex);
        for (int rank = 0; rank < kRanks; ++rank)
        {
            for (auto left = taken[rank].end(); left != next[rank];)
            {
                m_waiting[rank].push_front(std::move(*--left));
                Counted(rank, m_waiting[rank].front());
            }
        }
        Trim();
        m_any.store(LowestRank() < kRanks, std::memory_order_relaxed);
    }

private:
    static constexpr int kRanks = kAnswer + 1;
    // Small, so that a deque's block holds as many as it would hold replies.
    struct SEntry
    {
        // The order posted, across the ranks; it wraps, and those waiting are far fewer than 2^31.
        uint32_t arrival;
        uint32_t bytes;
        Reply reply;
    };

    // Whether a was posted before b.
    static bool Before(const SEntry& a, const SEntry& b) { return int32_t(a.arrival - b.arrival) < 0; }
    // kRanks when none waits.
    int LowestRank() const
    {
        int lowest = 0;
        while (lowest < kRanks && m_waiting[lowest].empty())
            ++lowest;
        return lowest;
    }
    // Whether a reply of that many bytes more would pass a bound.
    bool IsFull(size_t bytes) const { return m_counted + 1 > m_mostReplies || m_bytes + bytes > m_mostBytes; }
    // An entry of the rank came or went; answers are not counted.
    void Counted(int rank, const SEntry& entry)
    {
        if (rank == kAnswer)
            return;
        ++m_counted;
        m_bytes += entry.bytes;
    }
    void Uncounted(int rank, const SEntry& entry)
    {
        if (rank == kAnswer)
            return;
        --m_counted;
        m_bytes -= entry.bytes;
    }
    // Drops the oldest of the lowest rank until the bounds hold.
    void Trim()
    {
        while (m_counted > m_mostReplies || m_bytes > m_mostBytes)
        {
            const int lowest = LowestRank();
            Uncounted(lowest, m_waiting[lowest].front());
            m_waiting[lowest].pop_front();
            ++m_dropped[lowest];
        }
    }

    const size_t m_mostReplies;
    const size_t m_mostBytes;
    CSdlMutex m_mutex;
    std::deque<SEntry> m_waiting[kRanks];
    // The replies and bytes waiting, answers left out.
    size_t m_counted = 0;
    size_t m_bytes = 0;
    // By rank; kAnswer stays 0.
    size_t m_dropped[kRanks] = {};
    uint32_t m_arrivals = 0;
    // Set when a reply is posted; cleared, under the lock, only by a take that left none waiting:
    // a reply posted while others are applied is taken then or at the next tick, never left behind.
    std::atomic<bool> m_any{false};
};
