#pragma once

#include "shell/sdl_mutex.h"

#include <atomic>
#include <deque>
#include <utility>

// Replies a link thread hands to the main thread, which takes them at every tick. A tick with
// nothing handed over (nearly every tick of an idle link) takes no lock at all.
template <class Reply>
class CReplyMailbox
{
public:
    // On the link thread.
    void Post(Reply reply)
    {
        CSdlMutexLock lock(m_mutex);
        m_replies.push_back(std::move(reply));
        m_waiting.store(true, std::memory_order_release);
    }

    // On the main thread: hands every reply posted so far to the handler, in the order posted,
    // outside the lock.
    template <class Handler>
    void Take(Handler&& handle)
    {
        if (!m_waiting.exchange(false, std::memory_order_acquire))
            return;
        std::deque<Reply> replies;
        {
            CSdlMutexLock lock(m_mutex);
            replies.swap(m_replies);
        }
        for (const Reply& reply : replies)
            handle(reply);
    }

private:
    CSdlMutex m_mutex;
    std::deque<Reply> m_replies;
    // Set after a reply is posted, cleared before the replies are taken: a reply posted while
    // they are taken is taken now or at the next tick, never left behind.
    std::atomic<bool> m_waiting{false};
};
