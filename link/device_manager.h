#pragma once

#include "foundation/ip_address.h"
#include "foundation/rgba_colour.h"
#include "foundation/subject.h"
#include "link/discovery.h"
#include "link/message.h"
#include "link/outgoing_queue.h"
#include "link/reply_mailbox.h"
#include "shell/sdl_mutex.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class CDevice;
class CLinkClock;
class CLinkModel;
class CLocalSubnets;
class CObserver;
class CSubjectSet;
class CUdpNetwork;
class CUdpSocket;
struct SDL_Thread;

// What the device manager says to its observers besides the shared codes.
enum : uint32_t
{
    DEVICE_MANAGER_NOTIFY_CONNECTED = 67,
    // The outgoing queue refused a change (not a read) at its bound: told once, then again only
    // after the records in order have drained.
    DEVICE_MANAGER_NOTIFY_REFUSED = 68,
};

// This machine's addresses as a link is handed them, with the netmasks of their interfaces index
// by index (a plain list of addresses stands for their class netmasks). The netmasks say which
// addresses a unit cannot have: a local subnet's broadcast. Handed in, they stand for the
// machine's interfaces for the link's whole life.
struct CLocalAddresses
{
    CLocalAddresses(std::vector<CIpAddress> addresses_ = {}, std::vector<CIpAddress> netmasks_ = {})
        : addresses(std::move(addresses_)), netmasks(std::move(netmasks_)) {}
    std::vector<CIpAddress> addresses;
    std::vector<CIpAddress> netmasks;
};

// How a device manager reaches the world. The defaults are the program's: SDL_net, SDL ticks,
// the controller port, broadcast targets from the machine's addresses, and threads.
struct CLinkSetup
{
    // Null: SDL_net, initialised for the device manager's life.
    CUdpNetwork* network = nullptr;
    // Null: SDL ticks.
    CLinkClock* clock = nullptr;
    // The addresses whose directed broadcasts are targets; unset: those the application gathered,
    // while the interfaces the machine has at each moment say which addresses are broadcasts.
    std::optional<CLocalAddresses> localAddresses;
    // Replaces the targets altogether.
    std::optional<std::vector<CIpAddress>> broadcastTargets;
    // The port the link binds and sends to.
    uint16_t port = 16945;
    // Without threads nothing runs by itself: tests drive the link and the units with Pass.
    bool threads = true;
};

// Finds the controllers on the local network by broadcast, keeps the sorted list of units found,
// and carries message records between the model and the one unit chosen, on a thread of its own.
//
// The outgoing queue (COutgoingQueue) sends one record at a time, resending the head every second
// until a frame with its sequence comes back. What the model queues goes in order, first, but for
// reads. The program's own reading of everything (after a unit is chosen or comes back, and of an
// aborted load's objects) follows in the order asked, as the protocol orders a resync: every
// playback, then every fixture, then the programmer. The reads that replies ask for are news, and
// wait in the queue's lanes by kind of target and breadth (more than kMostNarrowReads from one
// reply are news of many objects), taking turns, a target at most once a lane; those that only
// news the program did not ask for itself asked for are counted apart (GetOwnQueueLength).
// Replies wait, within the bounds below, until the main thread's tick routes them by manager
// identifier. A notification never completes the head, whatever its number; a read is completed
// only by its answer (its sequence and its target) until it has been resent, and when another
// target's frame completes it, it is asked again a few times, then given up and said once in the
// log; any other record by any frame with its sequence (COutgoingQueue). Only the answer to the
// head carries a value: the model's handlers see answers and notifications, and a reply that
// answers nothing reaches only CLinkModel::OnReplyToNothing, so that no handler needs to tell one.
//
// A unit is never an address that is a subnet broadcast of this machine's interfaces as they are
// at that moment (CLocalSubnets): they are looked at again at every discovery round, and for any
// change the system reported before a unit's answer is taken, before anything is sent to a unit,
// and, on the link thread woken for it, when the tick found a change reported; every tick checks
// the units listed by what was read last, and never reads the interfaces itself.
//
// Threads: the link thread owns the socket and meets the main thread only at four locks (send:
// outgoing queue, sequence, idle time, chosen address and the socket to wake; reply: reply queue;
// found: discovery and seen mailbox; the local subnets' own, which the unit threads take too),
// never holding two. A record that is to leave at once wakes the link from its socket wait. The
// main thread applies replies outside the reply lock, and handlers may queue records.
// The unit list and every notification belong to the main thread; frames sent are counted on the
// link thread and told (NOTIFY_PROGRESS) in the tick.
class CDeviceManager : public CSubject
{
public:
    static constexpr uint32_t kIdentifyMilliseconds = 3000;
    static constexpr uint32_t kResendMilliseconds = 1000;
    static constexpr uint32_t kWaitMilliseconds = 50;
    // The link thread's longest sleep while nothing is due: it is woken for anything that is.
    static constexpr uint32_t kIdleWaitMilliseconds = 1000;
    static constexpr float kIdleSeconds = 10.0f;
    static constexpr size_t kReceiveSize = 2048;
    // What the receive path may cost, whoever sends. The socket keeps what its queue holds
    // (CSystemUdpNetwork: 1 MB, no datagram over 2047 bytes). A pass takes at most this many
    // datagrams, and after a full batch the link leaves the socket for a millisecond, so that a
    // flood costs the link thread at most some 128 datagrams a millisecond and the system drops
    // what comes faster. One datagram costs the link a receive and a look at its first bytes; a
    // discovery answer then its reading and, for a unit not yet listed, a place among those found
    // (at most kMaxDevices between two ticks); a frame from the chosen unit's address its decoding
    // and a place in the reply mailbox (kMostReplies below); anything else nothing more.
    static constexpr size_t kReceiveBatch = 128;
    // The most reads news of one object asks for (everything about a cue): more are news of many.
    static constexpr size_t kMostNarrowReads = 8;
    // Far more units than any rig holds; each has a thread and a socket, so answers naming
    // further units wait until one goes (the chosen unit is always taken).
    static constexpr size_t kMaxDevices = 64;
    // What the replies waiting for the main thread may keep (CReplyMailbox): this many, holding
    // this many bytes (a reply's record with its payload, at most 1.5 KB), and besides them only
    // answers to records sent, one a record, so no more than the outgoing queue holds. That is
    // more than a controller announces while the main thread is held (opening the largest show,
    // some 6,000 replies, answers among them, wait for one tick). When full, what nobody asked
    // for goes first, then notifications. A datagram from the controller's address costs the
    // link thread its decoding and, when kept, the main thread one reply applied: what the model
    // does with it and the reads it asks for, each of which waits at most once in the outgoing
    // queue.
    static constexpr size_t kMostReplies = 10240;
    static constexpr size_t kMostReplyBytes = size_t(2) << 20;
    // A tick applies at most the replies that waited when it began, and stops once it has spent
    // this long on them, looked at every kRepliesPerClockLook replies: the rest wait for the next
    // tick, so that under a flood faster than the main thread the window is still drawn and the
    // program still ends when told to.
    static constexpr uint32_t kReplyMillisecondsPerTick = 20;
    static constexpr size_t kRepliesPerClockLook = 16;
    // A notification dropped by the mailbox, or any datagram dropped by the system at the socket
    // for want of room (the controller's go with the rest when the link cannot keep up), may have
    // been the controller's own news: the model then reads again what "everything changed" of every object
    // asks and every playback's cue count, whose answer reads its cues (CLinkModel::
    // OnNotificationsLost), and the chosen unit its Art-Net and sACN settings; at once, then at
    // most once in this long while drops go on. Each read waits as a notification's does, a
    // target at most once, so that drops however many cost at most one refresh in this long, and
    // the controller no more than one pass over the show at its pace (the largest: some 25,000
    // reads, about 26 s beside a controller 1 ms late), after which the picture is its own.
    static constexpr uint32_t kDroppedNewsMilliseconds = 5000;

    // Computes the broadcast targets and starts the link.
    explicit CDeviceManager(const CLinkSetup& setup = CLinkSetup());
    ~CDeviceManager() override;
    CDeviceManager(const CDeviceManager&) = delete;
    CDeviceManager& operator=(const CDeviceManager&) = delete;

    // The model root registers itself; null unregisters.
    void SetCore(CLinkModel* core) { m_core = core; }
    // Starts the link thread when none runs.
    void Start();
    // Ends the link thread and deletes every unit.
    void Stop();

    // Main thread.
    // The tick: replies, found units, units, lost units, keep-alive.
    void Update(float seconds);
    // Queues a record for the chosen unit. False when it is dropped: no unit chosen, a payload
    // too large for one frame, or the queue at its bound (COutgoingQueue::kMostInOrder), when the
    // model forgets that it asked for it.
    bool QueueMessage(const CMessage& message);
    void SendDeviceManagerMessage(uint32_t command);
    // The user's choice of unit: drops the queue and resynchronises the model.
    void SetConnectedAddress(const CIpAddress& address);
    CIpAddress GetConnectedAddress() const { return m_connectedAddress; }
    CDevice* GetConnectedDevice() const;
    bool IsConnected() const { return m_connected; }
    void SetConnected(bool connected);
    // The lock that keeps the choice fixed; the options keep it in their file.
    bool IsLocked() const { return m_locked; }
    void SetLocked(bool locked);

    size_t GetDeviceCount() const { return m_devices.size(); }
    CDevice* GetDevice(size_t index) const;
    int GetDeviceIndex(const CDevice* device) const;
    // Address and port.
    int GetDeviceIndexByAddress(const CIpAddress& address) const;
    bool HasDevice(const CIpAddress& address) const;
    // Address only.
    CDevice* FindDevice(const CIpAddress& address) const;
    void DeleteDevices();

    size_t GetQueueLength() const;
    // Whether a record of the message's target waits or is in flight.
    bool IsWaiting(const CMessage& message) const;
    // What the program itself waits for: the records waiting but the reads that only news it did
    // not ask for asked for (notifications, replies to nothing it sent, answers to reads only
    // such news asked for), which anyone on the network can forge by the thousand.
    size_t GetOwnQueueLength() const;
    void ClearQueue();
    // The records queued from BeginLoad to EndLoad are one load: a show sent to the controller.
    void BeginLoad();
    void EndLoad();
    // Aborts the last load: its records still waiting are dropped (not the one in flight, and no
    // read), and the model forgets what the values dropped asked for, unless a record queued
    // since asks for their targets again; the model reads back first the objects of the load's
    // records that left, then everything, to learn what they changed.
    void AbortLoad();
    // Black: no unit chosen; green: connected; red: chosen but not found.
    CRgbaColour GetStatusColour() const;
    // The observer follows the units, as many as its set holds.
    void ObserveDevices(CObserver* observer, CSubjectSet* set);
    // The traffic trace of a debug build.
    void LogMessage(const char* direction, const CMessage& message) const;
    const std::vector<CIpAddress>& GetBroadcastTargets() const { return m_broadcastTargets; }

    // Without threads (CLinkSetup::threads false) Start opens the socket and nothing runs by
    // itself: the caller drives the link with one pass of what its thread would do. A pass waits
    // for datagrams and handles those that arrived, then identifies and sends as due; it returns
    // how many datagrams it handled.
    size_t Pass(uint32_t waitMilliseconds);

private:
    // The unit objects share the network and the clock of their owner.
    friend class CDevice;
    // What the units share.
    CUdpNetwork& GetNetwork() const { return *m_network; }
    CLinkClock& GetClock() const { return *m_clock; }
    bool HasThreads() const { return m_threads; }
    // Whether anything may be sent to the unit's address: it is no broadcast of this machine's
    // subnets as they are now. Any thread.
    bool MaySendTo(const CIpAddress& unit);

    // The link's own work, done by its thread.
    static int ThreadEntry(void* argument);
    void Run();
    void SendIdentify();
    void HandleDatagram(const uint8_t* bytes, size_t count, const CIpAddress& sender);
    // An answer naming an unusable address (IsUsableUnitAddress) is refused.
    void HandleIdentifyReply(const uint8_t* bytes, size_t count, const CIpAddress& sender);
    void HandleMessageFrame(const uint8_t* bytes, size_t count, const CIpAddress& sender);
    void SendHeadMessage();
    // Sends the head and starts its resend time.
    void SendHead(uint32_t now);
    // Queues the records under the send lock; the link sends at once when nothing waited. False
    // when the queue refused any (COutgoingQueue's bound). Unasked as for COutgoingQueue::Queue.
    bool Enqueue(const CMessage* messages, size_t count, COutgoingQueue::TLane lane, bool unasked = false);
    // The queue refused the record: the log says so, and the observers hear of a refused change,
    // each once until the records in order have drained.
    void OnQueueFull(const CMessage& refused);
    // A read answered with another target too often was given up (COutgoingQueue::kGivenUp):
    // noted on the link thread under the send lock, told in the log by the tick.
    void NoteGivenUp(const CMessage::STarget& read, const CMessage::STarget& answer);
    void TellGivenUp();
    // Routes a reply to the model and queues the reads it asked for, own as for QueueAsked. A
    // reply that answers nothing (neither the answer to the record in flight nor a notification)
    // reaches only CLinkModel::OnReplyToNothing.
    void ApplyReply(const CMessage& reply, bool answersNothing, bool own);
    // The mailbox dropped notifications, or the system datagrams: the model reads again what they
    // could have named.
    void OnNotificationsDropped(uint32_t now);
    // The model reads everything again, in the resync's lane: every playback, then every fixture,
    // then the programmer.
    void ResyncModel();
    // Queues the reads held while a reply was applied; own: the reply answered a record the
    // program itself asked for, so that what it asks is the program's own too.
    void QueueAsked(bool own);

    void FindBroadcastTargets(const CLinkSetup& setup);
    void ProcessReplies();
    void RouteReply(const CMessage& message);
    bool AddFoundDevices();
    // The units gone silent, and those whose address became a broadcast of this machine's.
    bool RemoveLostDevices();
    void RaiseProgress();
    void ConnectionChanged();
    void ReadUnitSettings();
    // The link's socket, opened and let go on the link thread (or by Start and Stop without one);
    // the main thread reaches it only under the send lock, to wake the link.
    bool OpenSocket();
    void CloseSocket();
    void WakeLink();
    // How long the link thread may wait for a datagram before it has something to send.
    uint32_t NextWait();

    std::vector<std::unique_ptr<CDevice>> m_devices;
    std::vector<CDiscoveredDevice> m_found;
    std::vector<CIpAddress> m_seen;
    // Set when something is put in the two lists above, so that the tick looks in them only then.
    std::atomic<bool> m_foundWaiting{false};
    mutable CSdlMutex m_sendMutex;
    CSdlMutex m_foundMutex;
    SDL_Thread* m_thread = nullptr;
    std::atomic<bool> m_stop{false};
    COutgoingQueue m_outgoing;
    // Main thread: where the reads asked for go. While a reply is applied they are held, to be
    // queued at once as its news; while the model is resynchronised, or an aborted load's objects
    // are read back, they wait in the resync's lane.
    enum TReads
    {
        kReadsInOrder,
        kReadsCollected,
        kReadsRefresh,
    };
    TReads m_reads = kReadsInOrder;
    std::vector<CMessage> m_asked;
    // A reply as the link thread hands it over: own when it answered a record the program itself
    // asked for.
    struct SReply
    {
        CMessage message;
        bool own;
    };
    CReplyMailbox<SReply> m_replies{kMostReplies, kMostReplyBytes};
    // Main thread: the log has said that replies were dropped; it says so again only after a
    // tick applied all that waited and none was dropped.
    bool m_droppedTold = false;
    // Main thread: notifications were dropped since the model last read again what they could
    // have named, and when it did (OnNotificationsDropped).
    bool m_notificationsDropped = false;
    std::optional<uint32_t> m_droppedReadAt;
    // Set by the link thread when the system has dropped datagrams at its socket since the tick
    // last looked.
    std::atomic<bool> m_datagramsDropped{false};
    // Set by the tick when the interfaces are due to be read again: the link thread reads them.
    std::atomic<bool> m_subnetsDue{false};
    std::vector<CIpAddress> m_broadcastTargets;
    // Under the send lock: the reads given up since the tick last told them, at most
    // kMostGivenUpTold, and how many more.
    static constexpr size_t kMostGivenUpTold = 8;
    struct SGivenUp
    {
        CMessage::STarget read;
        CMessage::STarget answer;
    };
    std::vector<SGivenUp> m_givenUp;
    size_t m_givenUpUntold = 0;
    // Main thread: a load began since the last abort.
    bool m_loadBegun = false;
    // Any thread, under its own lock.
    std::unique_ptr<CLocalSubnets> m_subnets;
    CIpAddress m_connectedAddress;
    CLinkModel* m_core = nullptr;
    // Since the last record was queued; reset by any thread that queues one.
    std::atomic<uint32_t> m_idleMilliseconds{0};
    bool m_sendNow = false;
    bool m_connected = false;
    bool m_locked = false;
    // The chosen unit went from the list; when it comes back the model reads it again.
    bool m_connectionLost = false;
    // The log has said that the list is full; it says so again only after the list had room.
    bool m_fullTold = false;
    // The log has said that the outgoing queue refused a record, and the observers that it refused
    // a change; each is said again only after the records in order had drained.
    bool m_queueFullTold = false;
    bool m_changeRefusedTold = false;

    std::unique_ptr<CUdpNetwork> m_ownNetwork;
    std::unique_ptr<CLinkClock> m_ownClock;
    CUdpNetwork* m_network;
    CLinkClock* m_clock;
    uint16_t m_port;
    bool m_threads;
    std::atomic<uint32_t> m_framesSent{0};
    uint32_t m_framesTold = 0;

    // Used by the link thread; set and cleared under the send lock.
    std::unique_ptr<CUdpSocket> m_socket;
    // Link thread only.
    uint32_t m_lastIdentify = 0;
    uint32_t m_lastSend = 0;
    bool m_identified = false;
    bool m_sent = false;
    // The record in flight was answered in this pass and another waits.
    bool m_headAnswered = false;
    // The socket's count of the datagrams the system dropped, when the link last looked.
    uint32_t m_socketDropped = 0;
    uint8_t m_buffer[kReceiveSize] = {};
};
