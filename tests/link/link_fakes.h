#pragma once

#include "link/link_clock.h"
#include "link/link_model.h"
#include "link/message.h"
#include "link/udp_socket.h"
#include "tests/support/code_recorder.h"

#include <SDL_thread.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <algorithm>
#include <set>
#include <vector>

using Bytes = std::vector<uint8_t>;

// A clock the test moves by hand; read from any thread.
class CFakeClock : public CLinkClock
{
public:
    uint32_t GetMilliseconds() override { return m_now.load(); }
    // Its time passes only when the test moves it: a thread waiting for it looks again soon.
    uint32_t ToRealMilliseconds(uint32_t milliseconds) const override { return std::min<uint32_t>(milliseconds, 50); }
    void Advance(uint32_t milliseconds) { m_now += milliseconds; }

private:
    std::atomic<uint32_t> m_now{100000};
};

struct SDatagram
{
    CIpAddress from;  // the sending socket's host address and port
    CIpAddress to;
    Bytes bytes;
};

// A network inside the test: sockets bound to ports of one host, datagrams handed over by the
// test. Everything sent is recorded; a responder, when set, sees each datagram as it is sent (on
// the sending thread) and may deliver answers.
class CFakeNetwork : public CUdpNetwork
{
public:
    explicit CFakeNetwork(const CIpAddress& host = CIpAddress(192, 168, 77, 1)) : m_host(host) {}

    std::unique_ptr<CUdpSocket> Open(uint16_t port) override;

    // Hands a datagram to the socket bound to the port; false when none is.
    bool Deliver(uint16_t port, const CIpAddress& from, const Bytes& bytes);
    // The system drops that many datagrams at the socket bound to the port for want of room in
    // its queue, which counts them.
    void Drop(uint16_t port, uint32_t count);
    // What was sent since the last call, in order.
    std::vector<SDatagram> TakeSent();
    // Ports bound now, in rising order.
    std::vector<uint16_t> GetBoundPorts() const;
    void SetResponder(std::function<void(const SDatagram&)> responder);
    void RefusePort(uint16_t port) { m_refused = port; }
    // How often a socket's wait was woken since the last call.
    int TakeWakes();
    const CIpAddress& GetHost() const { return m_host; }

private:
    class CSocket;
    friend class CSocket;

    bool Receive(uint16_t port, Bytes& bytes, CIpAddress& sender, uint32_t waitMilliseconds);
    uint32_t GetDropped(uint16_t port) const;
    void Wake(uint16_t port);
    void Sent(uint16_t port, const CIpAddress& to, const uint8_t* bytes, size_t count);
    void Close(uint16_t port);

    CIpAddress m_host;
    mutable std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::map<uint16_t, std::deque<std::pair<CIpAddress, Bytes>>> m_bound;
    std::map<uint16_t, uint32_t> m_dropped;
    std::vector<SDatagram> m_sent;
    // Ports whose next or current wait ends at once.
    std::set<uint16_t> m_woken;
    int m_wakes = 0;
    std::function<void(const SDatagram&)> m_responder;
    uint16_t m_nextPort = 40000;
    int m_refused = -1;
};

// The model's side of the link: records every reply it is handed, with the thread it came on.
class CRecordingHandler : public CMessageHandler
{
public:
    void HandleMessage(const CMessage& message) override
    {
        messages.push_back(message);
        threads.push_back(SDL_ThreadID());
        if (onMessage)
            onMessage(message);
    }

    std::vector<CMessage> messages;
    std::vector<SDL_threadID> threads;
    std::function<void(const CMessage&)> onMessage;
};

class CFakeModel : public CLinkModel
{
public:
    CMessageHandler* GetPlaybackHandler() override { return &playbacks; }
    CMessageHandler* GetFixtureHandler() override { return &fixtures; }
    CMessageHandler* GetProgrammerHandler() override { return &programmer; }
    CMessageHandler* GetEngineHandler() override { return &engine; }
    void Resync() override
    {
        ++resyncs;
        if (onResync)
            onResync();
    }
    void OnNotificationsLost() override { ++notificationsLost; }
    void OnReplyToNothing(const CMessage& message) override
    {
        repliesToNothing.push_back(message);
        if (onReplyToNothing)
            onReplyToNothing(message);
    }
    void ForgetAsked(const CMessage::STarget& target) override { forgotten.push_back(target); }
    void TakeBackAsked(const CMessage::STarget& target) override { takenBack.push_back(target); }

    CRecordingHandler playbacks;
    CRecordingHandler fixtures;
    CRecordingHandler programmer;
    CRecordingHandler engine;
    int resyncs = 0;
    // What a resync queues.
    std::function<void()> onResync;
    int notificationsLost = 0;
    // Every reply that answered nothing sent, and what it asks.
    std::vector<CMessage> repliesToNothing;
    std::function<void(const CMessage&)> onReplyToNothing;
    std::vector<CMessage::STarget> forgotten;
    std::vector<CMessage::STarget> takenBack;
};

// The frame of a record.
Bytes FrameOf(const CMessage& message);
// A discovery answer as a unit sends it.
Bytes AnswerOf(const char* label, const char* ip, const char* port);
// Polls the predicate until it holds or the time is up.
bool WaitFor(const std::function<bool()>& predicate, std::chrono::milliseconds limit);

class CDevice;
class CDeviceManager;

// A device link without threads or broadcast targets over the fake network and clock, and one
// unit object of it; port is the unit's own socket. With chosen, the unit is the chosen one.
struct SFakeUnitLink
{
    SFakeUnitLink(const CIpAddress& unit, bool chosen);
    ~SFakeUnitLink();

    CFakeNetwork network;
    CFakeClock clock;
    std::unique_ptr<CDeviceManager> manager;
    std::unique_ptr<CDevice> device;
    uint16_t port = 0;
};

// Runs a link without threads until its queue is empty, acknowledging every frame from the
// controller's address (a second passing whenever nothing is due); the records in the order
// they left.
std::vector<CMessage> DrainLink(CDeviceManager& manager, CFakeNetwork& network, CFakeClock& clock,
                                const CIpAddress& controller, uint16_t linkPort = 16945);
