#pragma once

#include "foundation/asked_value.h"
#include "foundation/ip_address.h"
#include "foundation/subject.h"
#include "foundation/version.h"
#include "link/reply_mailbox.h"
#include "link/unit_packet.h"
#include "shell/sdl_mutex.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>

class CDeviceManager;
class CMessage;
class CUdpSocket;
struct SDL_Thread;

// What a unit tells its observers when a cached setting changes.
enum : uint32_t
{
    DEVICE_NOTIFY_ARTNET = 50,
    DEVICE_NOTIFY_FIRMWARE = 175,
    DEVICE_NOTIFY_PCB = 176,
    DEVICE_NOTIFY_NETWORK = 208,  // MAC address or subnet mask
    DEVICE_NOTIFY_LABEL = 289,
    DEVICE_NOTIFY_ACN = 298,
    DEVICE_NOTIFY_DHCP = 301,
    DEVICE_NOTIFY_ONLINE = 304,
};

// One hardware unit found on the network. Its own thread speaks the unit protocol: requests wait
// in a queue and go one at a time, the head resent every 500 ms until a reply answers it, and
// that answer waits in a mailbox for the main thread; a reply that answers no request in flight
// is dropped. The main thread polls the unit's settings every 5 seconds and keeps them in a cache
// that only those answers fill (and, for Art-Net and sACN, the controller's answers to its
// reads); the setters ask for a change, which shows at the next poll or with that answer. A
// setter sends when the value differs from the cache or from what it last asked for
// (CAskedValue): the cache does not know of a change still queued, so a setting confirmed again
// as the cache shows it, while the unit or the controller is silent, must go too, or the change
// queued first lands last.
//
// Each unit keeps its own resend time, so that a unit that never answers (anyone can announce
// one, up to the list's 64) costs no other unit anything: the genuine units are polled every 5 s
// however many stay silent. Such a unit costs the link 2 requests a second to the address it
// named, each the 9 bytes of a poll, and the main thread ten polls every 5 s, each queued only
// when it does not wait already: a full list of silent units sends 128 requests a second.
//
// Threads: the unit thread owns the socket and touches only the two queues, each under its own
// lock, never both at once; it sets and drops the socket under the request lock, where the main
// thread reaches it to wake the thread when it queues a request. Everything else, the cache and
// the last-seen time included, belongs to the main thread.
class CDevice : public CSubject
{
public:
    static constexpr float kLostSeconds = 10.0f;
    static constexpr float kPollSeconds = 5.0f;
    static constexpr uint32_t kResendMilliseconds = 500;
    // The unit thread's longest sleep with nothing to send: a queued request wakes it.
    static constexpr uint32_t kIdleWaitMilliseconds = 1000;
    static constexpr size_t kReceiveSize = 2048;

    // Built only by the device manager. Starts the unit thread, or, when the owner runs without
    // threads, opens the socket for Pass.
    CDevice(CDeviceManager* owner, const CIpAddress& address, uint32_t type);
    // Stops and joins the thread before the queues go; observers hear NOTIFY_RELEASE.
    ~CDevice() override;
    CDevice(const CDevice&) = delete;
    CDevice& operator=(const CDevice&) = delete;

    // Without threads (the owner's setup says so) nothing runs by itself: the caller drives the
    // unit with one pass of what its thread would do, on the unit's own socket.
    void Pass(uint32_t waitMilliseconds);

    // Main thread.
    // The tick: last-seen time, the five-second poll, then the replies.
    void Update(float seconds);
    void QueueRequest(const CDevicePacket& packet);
    // A request with the command, indexes 0 and no payload.
    void Request(uint32_t command);
    size_t GetRequestCount() const;
    // Hands the answers waiting to HandleReply, outside the reply lock.
    void ProcessReplies();
    void ResetLastSeen() { m_sinceSeen = 0.0f; }
    bool IsLost() const { return m_sinceSeen > kLostSeconds; }
    CIpAddress GetAddress() const { return m_address; }
    uint32_t GetType() const { return m_type; }
    // The position in the owner's list; -1 when not in it.
    int GetIndex() const;

    // The cached settings.
    const std::array<uint8_t, 6>& GetMac() const { return m_mac; }
    CIpAddress GetSubnet() const { return m_subnet; }
    const std::string& GetLabel() const { return m_label; }
    CVersion GetFirmwareVersion() const { return m_firmware; }
    CVersion GetPcbVersion() const { return m_pcb; }
    bool GetDhcp() const { return m_dhcp; }
    bool GetArtNetEnabled() const { return m_artNetEnabled; }
    uint32_t GetArtNetUniverse() const { return m_artNetUniverse; }
    bool GetAcnEnabled() const { return m_acnEnabled; }
    uint16_t GetAcnUniverse() const { return m_acnUniverse; }
    bool IsOnline() const { return m_online; }
    // "-" when disabled; else sub-net and universe, "1.2".
    std::string GetArtNetText() const;
    // "-" when disabled; else the universe.
    std::string GetAcnText() const;

    // Changes over the unit protocol, queued when the value differs from the cache or from the
    // setting's last ask.
    void SetLabel(const std::string& label);
    // Does not move this object: a unit that takes a new address is found again as a new one.
    void SetIp(const CIpAddress& address);
    void SetSubnet(const CIpAddress& subnet);
    void SetDhcp(bool dhcp);
    void Blink();
    void ResetUnit();

    // Changes over the controller link, queued when the value differs from the cache or from the
    // setting's last ask, or while a record of the setting waits.
    void SetArtNetEnabled(bool enabled);
    // Only the low 8 bits travel.
    void SetArtNetUniverse(int universe);
    void SetAcnEnabled(bool enabled);
    // Universe 0 is sent as 1.
    void SetAcnUniverse(uint16_t universe);
    // A record of the manager and command, indexes 0 and no payload, to the controller.
    void SendMessage(uint32_t manager, uint32_t command);

    // The unit's answer to one of its requests into the cache.
    void HandleReply(const CDevicePacket& reply);
    // One record of the Art-Net or sACN managers from the controller.
    void HandleMessage(const CMessage& message);

private:
    // Thread side.
    static int ThreadEntry(void* argument);
    void Run();
    // One pass of the thread body: waits for a datagram, takes a reply from the unit, and
    // resends the head request when this unit's last send is 500 ms old.
    void Pass(CUdpSocket& socket, uint32_t waitMilliseconds);
    // Sends a copy of the head request; false for an empty queue.
    bool SendHeadRequest(CUdpSocket& socket);
    // Removes the head request when the reply answers it.
    bool CompleteRequest(const CDevicePacket& reply);
    // Hands the answer that completed the head request to the main thread.
    void PushReply(const CDevicePacket& answer);
    // Commands 236 and 237 go to the limited broadcast address, at the unit's port.
    void SendPacket(const CDevicePacket& packet, CUdpSocket& socket);

    // A poll request, unless the same request still waits unanswered.
    void QueuePoll(uint32_t command);
    // How long the unit thread may wait for a datagram before its head request is due.
    uint32_t NextWait();
    // Ends the unit thread's wait, under the request lock.
    void WakeLocked();
    // False when the record was not queued.
    bool QueueLinkMessage(const CMessage& message);
    // Queues a setting's record when the value must go (CAskedValue), or when a record of the
    // setting still waits; a record the queue refuses is no ask.
    template <typename T>
    void QueueLinkSetting(CAskedValue<T>& asked, const T& value, const T& reported, const CMessage& message);

    std::atomic<bool> m_stop{false};
    SDL_Thread* m_thread = nullptr;
    // When the unit thread last sent the head request; its own.
    uint32_t m_resendTick = 0;
    CDeviceManager* m_owner;
    std::unique_ptr<CUdpSocket> m_socket;
    std::deque<CDevicePacket> m_requests;
    // Only answers wait here, one a request sent, and the mailbox keeps every answer: a datagram
    // from the unit's address that answers nothing costs the unit thread its decoding alone.
    CReplyMailbox<CDevicePacket> m_replies{0, 0};
    std::string m_label;
    std::array<uint8_t, 6> m_mac = {};
    CIpAddress m_address;
    CIpAddress m_subnet;
    CVersion m_pcb;
    CVersion m_firmware;
    uint32_t m_type;
    mutable CSdlMutex m_requestMutex;
    float m_sinceSeen = 0.0f;
    float m_pollTimer = kPollSeconds;
    bool m_artNetEnabled = false;
    uint8_t m_artNetUniverse = 0;
    bool m_acnEnabled = false;
    bool m_dhcp = false;
    bool m_online = false;
    uint16_t m_acnUniverse = 0;
    // What each setting a dialog confirms last asked for; main thread.
    CAskedValue<std::string> m_askedLabel;
    CAskedValue<CIpAddress> m_askedIp;
    CAskedValue<CIpAddress> m_askedSubnet;
    CAskedValue<bool> m_askedDhcp;
    CAskedValue<bool> m_askedArtNetEnabled;
    CAskedValue<int> m_askedArtNetUniverse;
    CAskedValue<bool> m_askedAcnEnabled;
    CAskedValue<uint16_t> m_askedAcnUniverse;
};
