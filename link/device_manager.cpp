#include "link/device_manager.h"

#include "foundation/notify_codes.h"
#include "foundation/observer.h"
#include "foundation/owned_list.h"
#include "link/device.h"
#include "link/device_type.h"
#include "link/link_clock.h"
#include "link/link_model.h"
#include "link/local_subnets.h"
#include "link/message_frame.h"
#include "link/udp_socket.h"
#include "shell/app.h"

#include <SDL_thread.h>
#include <SDL_timer.h>

#include <algorithm>
#include <cstdio>
#include <unordered_set>

namespace
{
const char* const kCategory = "DeviceManager";

// All zero with port 0: no unit chosen.
bool IsUnset(const CIpAddress& address)
{
    return address.ToUint32() == 0 && address.GetPort() == 0;
}

// The payload bytes of a value on the link; the fixed-size kinds need at most 20.
size_t PayloadSize(const CMessageValue& value)
{
    switch (value.GetType())
    {
    case VALUE_STRING:
        return value.GetString().size() + 1;
    case VALUE_RAW:
        return value.GetRawSize();
    default:
        return CMessageValue::kDigestSize;
    }
}

// "Playback GetLabel 5 0 0": a record's target as the log names it.
std::string TargetText(const CMessage::STarget& target)
{
    return MessageManagerName(target.manager) + " " + MessageCommandName(target.command) + " " +
           std::to_string(target.index0) + " " + std::to_string(target.index1) + " " + std::to_string(target.index2);
}

void PrintLine(const std::string& text)
{
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
}
}  // namespace

CDeviceManager::CDeviceManager(const CLinkSetup& setup)
    : m_network(setup.network), m_clock(setup.clock), m_port(setup.port), m_threads(setup.threads)
{
    if (!m_network)
    {
        m_ownNetwork = std::make_unique<CSystemUdpNetwork>();
        m_network = m_ownNetwork.get();
    }
    if (!m_clock)
    {
        m_ownClock = std::make_unique<CSdlTickClock>();
        m_clock = m_ownClock.get();
    }
    FindBroadcastTargets(setup);
    Start();
}

CDeviceManager::~CDeviceManager()
{
    Stop();
}

void CDeviceManager::FindBroadcastTargets(const CLinkSetup& setup)
{
    CLocalAddresses locals;
    // Handed in, the addresses' netmasks stand for the interfaces for good.
    std::optional<std::vector<CInterfaceAddress>> fixed;
    if (setup.localAddresses)
    {
        locals = *setup.localAddresses;
        fixed.emplace();
    }
    else
        for (uint32_t i = 0; i < CApp::GetLocalAddressCount(); ++i)
            locals.addresses.push_back(CApp::GetLocalAddress(i));
    // Discovery keeps to the class netmasks' broadcasts, where units have always been looked
    // for; whether an address a unit names is a broadcast is for the real subnets to say.
    std::vector<CIpAddress> targets = {CIpAddress(255, 255, 255, 255)};
    for (size_t i = 0; i < locals.addresses.size(); ++i)
    {
        const CIpAddress& local = locals.addresses[i];
        const CIpAddress target = CIpAddress::GetBroadcast(local, CIpAddress::GetDefaultNetmask(local));
        const bool known = std::any_of(targets.begin(), targets.end(),
                                       [&](const CIpAddress& other) { return SameAddressAndPort(other, target); });
        if (!known)
            targets.push_back(target);
        const CIpAddress netmask =
            i < locals.netmasks.size() ? locals.netmasks[i] : CIpAddress::GetDefaultNetmask(local);
        if (fixed)
            fixed->push_back({local, netmask});
    }
    m_subnets = std::make_unique<CLocalSubnets>(std::move(fixed), *m_clock);
    m_broadcastTargets = setup.broadcastTargets ? *setup.broadcastTargets : targets;
    PrintLine("Broadcasting to:");
    CApp::Log(kCategory, "Broadcasting to:", 2);
    for (const CIpAddress& target : m_broadcastTargets)
    {
        PrintLine("- " + target.ToText());
        CApp::Log(kCategory, "- " + target.ToText(), 2);
    }
}

void CDeviceManager::Start()
{
    m_stop = false;
    if (m_threads)
    {
        if (!m_thread)
            m_thread = SDL_CreateThread(ThreadEntry, "DeviceManagerThread", this);
        return;
    }
    if (!m_socket)
        OpenSocket();
}

void CDeviceManager::Stop()
{
    m_stop = true;
    WakeLink();
    if (m_thread)
        SDL_WaitThread(m_thread, nullptr);
    m_thread = nullptr;
    if (!m_threads)
        CloseSocket();
    DeleteBackwards(m_devices);
    if (m_connected)
    {
        // The units come back with the link; the model must read the chosen one again then.
        m_connectionLost = true;
        SetConnected(false);
    }
}

int CDeviceManager::ThreadEntry(void* argument)
{
    static_cast<CDeviceManager*>(argument)->Run();
    return 0;
}

void CDeviceManager::Run()
{
    if (!OpenSocket())
        return;
    while (!m_stop)
    {
        // Under a flood the thread would take datagrams as fast as they come: after a full batch
        // it leaves the socket to gather the next for a millisecond. Any pass short of a batch
        // goes straight on, so an acknowledgement never waits for the pause.
        if (Pass(NextWait()) == kReceiveBatch)
            SDL_Delay(1);
    }
    CloseSocket();
}

bool CDeviceManager::OpenSocket()
{
    std::unique_ptr<CUdpSocket> socket = m_network->Open(m_port);
    if (!socket)
        socket = m_network->Open(0);
    m_identified = false;
    m_sent = false;
    m_socketDropped = 0;
    CSdlMutexLock lock(m_sendMutex);
    m_socket = std::move(socket);
    return m_socket != nullptr;
}

void CDeviceManager::CloseSocket()
{
    std::unique_ptr<CUdpSocket> socket;
    {
        CSdlMutexLock lock(m_sendMutex);
        socket.swap(m_socket);
    }
}

void CDeviceManager::WakeLink()
{
    CSdlMutexLock lock(m_sendMutex);
    if (m_socket)
        m_socket->Wake();
}

uint32_t CDeviceManager::NextWait()
{
    // An idle link sleeps until its next identify: a record to send wakes it (QueueMessage), and
    // so does Stop. Replies arrive on the socket it waits on.
    if (!m_identified || !m_sent)
        return 0;
    const uint32_t now = m_clock->GetMilliseconds();
    uint32_t due = std::min(UntilElapsed(now, m_lastIdentify, kIdentifyMilliseconds), kIdleWaitMilliseconds);
    bool pending;
    {
        CSdlMutexLock lock(m_sendMutex);
        pending = m_outgoing.GetCount() > 0;
        // A record marked to leave at once leaves in the next pass (a queue cleared meanwhile
        // may leave the mark behind: it keeps no thread awake).
        if (pending && m_sendNow)
            return 0;
    }
    if (pending)
        due = std::min(due, UntilElapsed(now, m_lastSend, kResendMilliseconds));
    return m_clock->ToRealMilliseconds(due);
}

size_t CDeviceManager::Pass(uint32_t waitMilliseconds)
{
    if (!m_socket)
        return 0;
    size_t count = 0;
    CIpAddress sender;
    size_t received = 0;
    // What has arrived meanwhile is taken without waiting again. One byte stays free for the NUL
    // that ends a discovery answer's text.
    while (received < kReceiveBatch &&
           m_socket->Receive(m_buffer, kReceiveSize - 1, count, sender, received == 0 ? waitMilliseconds : 0))
    {
        m_buffer[count] = 0;
        HandleDatagram(m_buffer, count, sender);
        ++received;
        // The controller takes one record at a time: the next one leaves as soon as the last is
        // answered, before whatever else has arrived is looked at.
        if (m_headAnswered)
            SendHead(m_clock->GetMilliseconds());
    }
    // A clock that went back (only at its wrap) counts as a long wait.
    const uint32_t now = m_clock->GetMilliseconds();
    if (!m_identified || now - m_lastIdentify > kIdentifyMilliseconds)
    {
        m_subnets->Refresh(true);
        SendIdentify();
        m_lastIdentify = now;
        m_identified = true;
    }
    else if (m_subnetsDue.exchange(false, std::memory_order_relaxed))
        m_subnets->Refresh();
    // The socket counts only datagrams it would have handed over: those the system dropped for
    // want of room may have been the controller's, and the tick has them read again.
    const uint32_t dropped = m_socket->GetDropped();
    if (dropped != m_socketDropped)
    {
        m_socketDropped = dropped;
        m_datagramsDropped.store(true, std::memory_order_release);
    }
    bool sendNow;
    {
        CSdlMutexLock lock(m_sendMutex);
        sendNow = m_sendNow;
    }
    if (!m_sent || now - m_lastSend > kResendMilliseconds || sendNow)
        SendHead(now);
    return received;
}

void CDeviceManager::SendHead(uint32_t now)
{
    m_headAnswered = false;
    SendHeadMessage();
    m_lastSend = now;
    m_sent = true;
}

void CDeviceManager::SendIdentify()
{
    if (!m_socket)
        return;
    for (CIpAddress target : m_broadcastTargets)
    {
        target.SetPort(m_port);
        m_socket->Send(target, reinterpret_cast<const uint8_t*>(kDiscoveryRequest),
                       kDiscoveryRequestSize);
    }
}

void CDeviceManager::HandleDatagram(const uint8_t* bytes, size_t count, const CIpAddress& sender)
{
    if (IsDiscoveryAnswer(bytes, count))
    {
        HandleIdentifyReply(bytes, count, sender);
        return;
    }
    CIpAddress connected;
    {
        CSdlMutexLock lock(m_sendMutex);
        connected = m_connectedAddress;
    }
    if (!IsUnset(connected) && sender == connected)
        HandleMessageFrame(bytes, count, sender);
}

void CDeviceManager::HandleIdentifyReply(const uint8_t* bytes, size_t count, const CIpAddress& sender)
{
    CDiscoveredDevice found;
    if (!ParseDiscoveryAnswer(bytes, count, found))
        return;
    m_subnets->Refresh();
    if (!m_subnets->IsUnitAddress(found.address, sender))
        return;
    bool chosen;
    {
        CSdlMutexLock lock(m_sendMutex);
        chosen = found.address == m_connectedAddress;
    }
    CSdlMutexLock lock(m_foundMutex);
    const bool known = std::any_of(m_found.begin(), m_found.end(), [&](const CDiscoveredDevice& other) {
        return SameAddressAndPort(other.address, found.address);
    });
    // Between two ticks the mailbox holds at most a full list's worth of answers, and the chosen
    // unit's.
    if (!known && (m_found.size() < kMaxDevices || chosen))
    {
        m_found.push_back(found);
        m_foundWaiting.store(true, std::memory_order_release);
    }
}

void CDeviceManager::HandleMessageFrame(const uint8_t* bytes, size_t count, const CIpAddress& sender)
{
    CMessage message;
    if (!CMessageFrame::Decode(bytes, count, message))
        return;
    {
        // The unit list is the main thread's: the tick marks the sender seen.
        CSdlMutexLock lock(m_foundMutex);
        if (std::find(m_seen.begin(), m_seen.end(), sender) == m_seen.end())
        {
            m_seen.push_back(sender);
            m_foundWaiting.store(true, std::memory_order_release);
        }
    }
    COutgoingQueue::TCompletion completion;
    {
        CSdlMutexLock lock(m_sendMutex);
        CMessage::STarget completed{};
        completion = m_outgoing.Complete(message, &completed);
        if (completion != COutgoingQueue::kNotCompleted && m_outgoing.GetCount() > 0)
            m_sendNow = m_headAnswered = true;
        if (completion == COutgoingQueue::kGivenUp)
            NoteGivenUp(completed, message.GetTarget());
    }
    LogMessage("Recv", message);
    // Only the record's own answer carries its value; a frame that merely completed it is what it
    // would have been had it come at any other time.
    const bool answer =
        completion == COutgoingQueue::kAnsweredOwn || completion == COutgoingQueue::kAnsweredNews;
    using CMailbox = CReplyMailbox<SReply>;
    const auto rank = answer                                      ? CMailbox::kAnswer
                      : message.GetCommand() == COMMAND_NOTIFY ? CMailbox::kNotification
                                                                  : CMailbox::kUnasked;
    const size_t held = sizeof(SReply) + message.GetValueRef().GetHeldBytes();
    m_replies.Post(SReply{std::move(message), completion == COutgoingQueue::kAnsweredOwn}, rank, held);
}

void CDeviceManager::SendHeadMessage()
{
    CMessage head;
    CIpAddress destination;
    {
        CSdlMutexLock lock(m_sendMutex);
        if (!m_outgoing.TakeHead(head))
            return;
        m_sendNow = false;
        // Taken with the head, so a record never goes to a unit chosen after it was queued.
        destination = m_connectedAddress;
    }
    // The address may have become a broadcast of this machine's since it was chosen.
    std::vector<uint8_t> frame;
    if (!m_socket || !MaySendTo(destination) || !CMessageFrame::Encode(head, frame))
        return;
    destination.SetPort(m_port);
    m_socket->Send(destination, frame.data(), frame.size());
    m_framesSent.fetch_add(1);
    LogMessage("Send", head);
}

void CDeviceManager::NoteGivenUp(const CMessage::STarget& read, const CMessage::STarget& answer)
{
    // The log is the main thread's: the tick says it. A give-up costs the link kMostAskedAgain + 1
    // resends, so few come between two ticks; past a handful they are counted.
    if (m_givenUp.size() < kMostGivenUpTold)
        m_givenUp.push_back({read, answer});
    else
        ++m_givenUpUntold;
}

void CDeviceManager::TellGivenUp()
{
    std::vector<SGivenUp> givenUp;
    size_t untold = 0;
    {
        CSdlMutexLock lock(m_sendMutex);
        if (m_givenUp.empty())
            return;
        givenUp.swap(m_givenUp);
        std::swap(untold, m_givenUpUntold);
    }
    const std::string times = std::to_string(COutgoingQueue::kMostAskedAgain + 1);
    for (const SGivenUp& entry : givenUp)
        CApp::Log(kCategory,
                  "The controller answered the read " + TargetText(entry.read) + " " + times +
                      " times with another target (last " + TargetText(entry.answer) + "): given up without a value",
                  1);
    if (untold > 0)
        CApp::Log(kCategory, "and " + std::to_string(untold) + " more reads answered so were given up", 1);
}

void CDeviceManager::Update(float seconds)
{
    RaiseProgress();
    ProcessReplies();
    TellGivenUp();
    const uint32_t tick = uint32_t(seconds * 1000.0f + 0.5f);
    const bool idle = m_idleMilliseconds.fetch_add(tick) + tick > uint32_t(kIdleSeconds * 1000.0f);
    const bool added = AddFoundDevices();
    for (const auto& device : m_devices)
        device->Update(seconds);
    const bool removed = RemoveLostDevices();

    const CDevice* connected = GetConnectedDevice();
    if (idle && connected && connected->GetType() != DEVICE_TYPE_LUMIVO)
        SendDeviceManagerMessage(COMMAND_HELLO);

    if (added || removed)
    {
        Notify(NOTIFY_LIST);
        ConnectionChanged();
    }
}

void CDeviceManager::RaiseProgress()
{
    const uint32_t sent = m_framesSent.load();
    for (; m_framesTold != sent; ++m_framesTold)
        Notify(NOTIFY_PROGRESS);
}

void CDeviceManager::ProcessReplies()
{
    const uint32_t start = m_clock->GetMilliseconds();
    size_t untilClockLook = kRepliesPerClockLook;
    CReplyMailbox<SReply>::SDropped dropped;
    bool stopped = false;
    m_replies.Take(
        [&](const SReply& reply, CReplyMailbox<SReply>::TRank rank) {
            ApplyReply(reply.message, rank == CReplyMailbox<SReply>::kUnasked, reply.own);
            if (--untilClockLook > 0)
                return true;
            untilClockLook = kRepliesPerClockLook;
            stopped = HasElapsed(m_clock->GetMilliseconds(), start, kReplyMillisecondsPerTick);
            return !stopped;
        },
        dropped);
    const bool anyDropped = dropped.unasked + dropped.notifications > 0;
    if (anyDropped && !m_droppedTold)
    {
        CApp::Log(kCategory,
                  "Replies from the controller's address come faster than they are applied: those "
                  "that answer nothing sent go first, then notifications",
                  1);
        m_droppedTold = true;
    }
    else if (!anyDropped && !stopped)
        m_droppedTold = false;
    const bool datagramsDropped = m_datagramsDropped.exchange(false, std::memory_order_acquire);
    m_notificationsDropped = m_notificationsDropped || dropped.notifications > 0 || datagramsDropped;
    if (m_notificationsDropped && (!m_droppedReadAt || HasElapsed(start, *m_droppedReadAt, kDroppedNewsMilliseconds)))
        OnNotificationsDropped(start);
}

void CDeviceManager::ApplyReply(const CMessage& reply, bool answersNothing, bool own)
{
    m_reads = kReadsCollected;
    // Only the answer to the record in flight carries a value, and a notification news. A reply
    // that answers nothing sent may be anyone's, or an old answer come late: no handler of values
    // sees it (a forged label would be shown and saved into the show, a forged count would empty
    // a cue list), only the model's one look at what such a reply may ask.
    if (!answersNothing)
        RouteReply(reply);
    else if (m_core)
        m_core->OnReplyToNothing(reply);
    QueueAsked(own);
}

void CDeviceManager::OnNotificationsDropped(uint32_t now)
{
    // What a dropped notification could have named, as the controller's "everything changed" of
    // each object and "cue count changed" of each playback ask, and the unit's settings as its
    // own "everything changed" does: the reads wait as those of any notification, each target at
    // most once.
    m_reads = kReadsCollected;
    if (m_core)
        m_core->OnNotificationsLost();
    for (const uint32_t manager : {MANAGER_ARTNET, MANAGER_ACN})
    {
        CMessage everything(manager, COMMAND_NOTIFY);
        everything.SetValue(CMessageValue(0u));
        RouteReply(everything);
    }
    // They stand for notifications, which anyone can cause to be dropped: not the program's own.
    QueueAsked(false);
    m_notificationsDropped = false;
    m_droppedReadAt = now;
}

void CDeviceManager::ResyncModel()
{
    if (!m_core)
        return;
    // The program's own reads, some 530, wait in the resync's lane in the order the model asks
    // them, as the protocol orders a resync: every playback (the page the operator sees first),
    // then every fixture, then the programmer. In the lanes of news they would take turns with
    // each other and with news, and fill the playback page last; in order they would hold the
    // operator's changes back.
    m_reads = kReadsRefresh;
    m_core->Resync();
    m_reads = kReadsInOrder;
}

void CDeviceManager::QueueAsked(bool own)
{
    m_reads = kReadsInOrder;
    if (m_asked.empty())
        return;
    // News: its reads wait in the lanes of their kinds of target, where a read already waiting
    // adds nothing, apart from those of news of many objects.
    Enqueue(m_asked.data(), m_asked.size(),
            m_asked.size() > kMostNarrowReads ? COutgoingQueue::kBroadNews : COutgoingQueue::kNews, !own);
    m_asked.clear();
}

void CDeviceManager::RouteReply(const CMessage& message)
{
    CMessageHandler* handler = nullptr;
    switch (message.GetManager())
    {
    case MANAGER_PLAYBACK_MANAGER:
    case MANAGER_PLAYBACK:
    case MANAGER_CUE:
        handler = m_core ? m_core->GetPlaybackHandler() : nullptr;
        break;
    case MANAGER_PROGRAMMER:
    case MANAGER_PROGRAMMER_CHANGE:
        handler = m_core ? m_core->GetProgrammerHandler() : nullptr;
        break;
    case MANAGER_ENGINE:
        handler = m_core ? m_core->GetEngineHandler() : nullptr;
        break;
    case MANAGER_FIXTURE_MANAGER:
    case MANAGER_FIXTURE:
        handler = m_core ? m_core->GetFixtureHandler() : nullptr;
        break;
    case MANAGER_ARTNET:
    case MANAGER_ACN:
        if (CDevice* device = GetConnectedDevice())
            device->HandleMessage(message);
        return;
    default:
        return;
    }
    if (handler)
        handler->HandleMessage(message);
}

bool CDeviceManager::AddFoundDevices()
{
    // Most ticks nothing was found or heard from: no lock is taken.
    if (!m_foundWaiting.exchange(false, std::memory_order_acquire))
        return false;
    std::vector<CDiscoveredDevice> found;
    std::vector<CIpAddress> seen;
    {
        CSdlMutexLock lock(m_foundMutex);
        found.swap(m_found);
        seen.swap(m_seen);
    }
    for (const CIpAddress& address : seen)
        if (CDevice* device = FindDevice(address))
            device->ResetLastSeen();

    bool added = false;
    for (auto entry = found.rbegin(); entry != found.rend(); ++entry)
    {
        if (CDevice* device = FindDevice(entry->address))
        {
            device->ResetLastSeen();
            continue;
        }
        if (m_devices.size() >= kMaxDevices && !(entry->address == m_connectedAddress))
        {
            if (!m_fullTold)
                CApp::Log(kCategory,
                          "The list of units is full (" + std::to_string(kMaxDevices) +
                              "): further units are not listed until one goes",
                          1);
            m_fullTold = true;
            continue;
        }
        m_devices.push_back(std::make_unique<CDevice>(this, entry->address, entry->type));
        std::stable_sort(m_devices.begin(), m_devices.end(),
                         [](const std::unique_ptr<CDevice>& a, const std::unique_ptr<CDevice>& b) {
                             return a->GetAddress().ToUint32() < b->GetAddress().ToUint32();
                         });
        std::printf("Device found at %s\n", entry->address.ToText().c_str());
        std::fflush(stdout);
        added = true;
    }
    return added;
}

bool CDeviceManager::RemoveLostDevices()
{
    bool removed = false;
    // The units listed are checked by the interfaces as last read: the tick never reads them,
    // which may take long, but has the link thread read them when a change was reported.
    if (m_subnets->IsReadDue())
    {
        m_subnetsDue.store(true, std::memory_order_relaxed);
        WakeLink();
    }
    for (size_t i = m_devices.size(); i-- > 0;)
    {
        const CIpAddress address = m_devices[i]->GetAddress();
        if (!m_subnets->IsUnitAddress(address, address))
            CApp::Log(kCategory, "The unit at " + address.ToText() + " is a broadcast address of this machine's now",
                      1);
        else if (!m_devices[i]->IsLost())
            continue;
        // Out of the list before it goes, as in DeleteBackwards.
        const std::unique_ptr<CDevice> device = std::move(m_devices[i]);
        m_devices.erase(m_devices.begin() + static_cast<std::ptrdiff_t>(i));
        removed = true;
    }
    if (m_devices.size() < kMaxDevices)
        m_fullTold = false;
    return removed;
}

void CDeviceManager::ConnectionChanged()
{
    const bool wasConnected = m_connected;
    const bool present = GetConnectedDevice() != nullptr;
    SetConnected(present);
    if (wasConnected && !present)
        m_connectionLost = true;
    if (!wasConnected && present && m_connectionLost)
    {
        // The controller may have changed while it was gone.
        m_connectionLost = false;
        ResyncModel();
        ReadUnitSettings();
    }
}

void CDeviceManager::ReadUnitSettings()
{
    if (CDevice* device = GetConnectedDevice())
    {
        CMessage notify(MANAGER_ACN, COMMAND_NOTIFY);
        notify.SetValue(CMessageValue(0u));
        device->HandleMessage(notify);
    }
}

bool CDeviceManager::QueueMessage(const CMessage& message)
{
    if (IsUnset(m_connectedAddress))
        return false;
    if (PayloadSize(message.GetValueRef()) > CMessageFrame::kMaxSendPayload)
    {
        // It could never be sent, and as the head it would block every record behind it.
        CApp::Log(kCategory,
                  "Record too large to send: " + MessageManagerName(message.GetManager()) + " " +
                      MessageCommandName(message.GetCommand()),
                  1);
        return false;
    }
    m_idleMilliseconds.store(0);
    if (m_reads == kReadsCollected && message.IsRead())
        m_asked.push_back(message);
    else if (!Enqueue(&message, 1, m_reads == kReadsRefresh ? COutgoingQueue::kResync : COutgoingQueue::kInOrder))
    {
        // The model never shows what the controller did not take; it must not step from it
        // either, nor lose an earlier value of the target that was taken.
        if (m_core)
            m_core->TakeBackAsked(message.GetTarget());
        return false;
    }
    return true;
}

bool CDeviceManager::Enqueue(const CMessage* messages, size_t count, COutgoingQueue::TLane lane, bool unasked)
{
    const CMessage* refused = nullptr;
    {
        CSdlMutexLock lock(m_sendMutex);
        const bool idle = m_outgoing.IsEmpty();
        // A full queue's episode ends once the records in order, the bounded part, have drained,
        // whatever reads of news still wait: the next refusal is told again.
        if (m_outgoing.IsInOrderEmpty())
        {
            m_queueFullTold = false;
            m_changeRefusedTold = false;
        }
        for (size_t i = 0; i < count; ++i)
        {
            if (!m_outgoing.Queue(messages[i], lane, unasked) && !refused)
                refused = &messages[i];
        }
        if (idle)
        {
            // The first record leaves at once: the link thread stops waiting for its socket.
            m_sendNow = true;
            if (m_socket)
                m_socket->Wake();
        }
    }
    if (!refused)
        return true;
    OnQueueFull(*refused);
    return false;
}

void CDeviceManager::OnQueueFull(const CMessage& refused)
{
    if (!m_queueFullTold)
        CApp::Log(kCategory,
                  "The queue to the controller is full (" + std::to_string(COutgoingQueue::kMostInOrder) +
                      " records or " + std::to_string(COutgoingQueue::kMostInOrderBytes >> 20) +
                      " MB): " + MessageManagerName(refused.GetManager()) + " " +
                      MessageCommandName(refused.GetCommand()) +
                      " and further records are refused until it has emptied",
                  1);
    m_queueFullTold = true;
    // A refused read leaves nothing wrong on screen; a refused change (the operator's, or a
    // load's) is lost, and the screen says so.
    if (refused.IsRead() || m_changeRefusedTold)
        return;
    m_changeRefusedTold = true;
    Notify(DEVICE_MANAGER_NOTIFY_REFUSED);
}

void CDeviceManager::SendDeviceManagerMessage(uint32_t command)
{
    QueueMessage(CMessage(MANAGER_DEVICE_MANAGER, command));
}

void CDeviceManager::SetConnectedAddress(const CIpAddress& address)
{
    if (m_locked || SameAddressAndPort(address, m_connectedAddress))
        return;
    {
        CSdlMutexLock lock(m_sendMutex);
        m_connectedAddress = address;
        m_outgoing.Clear();
        m_sendNow = false;
    }
    // The options keep the choice: they hear of it here and read the address.
    Notify(NOTIFY_SELECTION);
    m_connectionLost = false;
    ResyncModel();
    SetConnected(GetConnectedDevice() != nullptr);
    ReadUnitSettings();
}

CDevice* CDeviceManager::GetConnectedDevice() const
{
    return IsUnset(m_connectedAddress) ? nullptr : FindDevice(m_connectedAddress);
}

void CDeviceManager::SetConnected(bool connected)
{
    if (connected == m_connected)
        return;
    m_connected = connected;
    Notify(DEVICE_MANAGER_NOTIFY_CONNECTED);
}

void CDeviceManager::SetLocked(bool locked)
{
    if (locked == m_locked)
        return;
    m_locked = locked;
    Notify(NOTIFY_LOCK);
}

CDevice* CDeviceManager::GetDevice(size_t index) const
{
    return ItemAt(m_devices, index);
}

int CDeviceManager::GetDeviceIndex(const CDevice* device) const
{
    return PositionIn(m_devices, device);
}

int CDeviceManager::GetDeviceIndexByAddress(const CIpAddress& address) const
{
    for (size_t i = 0; i < m_devices.size(); ++i)
        if (SameAddressAndPort(m_devices[i]->GetAddress(), address))
            return static_cast<int>(i);
    return -1;
}

bool CDeviceManager::HasDevice(const CIpAddress& address) const
{
    return GetDeviceIndexByAddress(address) >= 0;
}

CDevice* CDeviceManager::FindDevice(const CIpAddress& address) const
{
    for (const auto& device : m_devices)
        if (device->GetAddress() == address)
            return device.get();
    return nullptr;
}

void CDeviceManager::DeleteDevices()
{
    DeleteBackwards(m_devices);
    Notify(NOTIFY_LIST);
}

size_t CDeviceManager::GetQueueLength() const
{
    CSdlMutexLock lock(m_sendMutex);
    return m_outgoing.GetCount();
}

bool CDeviceManager::IsWaiting(const CMessage& message) const
{
    CSdlMutexLock lock(m_sendMutex);
    return m_outgoing.IsWaiting(message.GetTarget());
}

size_t CDeviceManager::GetOwnQueueLength() const
{
    CSdlMutexLock lock(m_sendMutex);
    return m_outgoing.GetOwnCount();
}

void CDeviceManager::ClearQueue()
{
    CSdlMutexLock lock(m_sendMutex);
    m_outgoing.Clear();
}

void CDeviceManager::BeginLoad()
{
    CSdlMutexLock lock(m_sendMutex);
    m_outgoing.BeginLoad();
    m_loadBegun = true;
}

void CDeviceManager::EndLoad()
{
    CSdlMutexLock lock(m_sendMutex);
    m_outgoing.EndLoad();
}

void CDeviceManager::AbortLoad()
{
    std::vector<CMessage::STarget> sent;
    std::vector<CMessage::STarget> unasked;
    {
        CSdlMutexLock lock(m_sendMutex);
        m_outgoing.DropLoad(&sent, &unasked);
    }
    // A value the model asked for and that never left is no ask: a toggle or a mode key would
    // step from it, and a value built from parts be built on it.
    if (m_core)
    {
        for (const CMessage::STarget& target : unasked)
            m_core->ForgetAsked(target);
    }
    // The model learns what the controller holds only from its answers, and a controller need not
    // announce what a record changed: the objects the load's records that left were for are read
    // back first, each once, as if the controller had said that everything about them changed,
    // ahead of the rest of the show, which a slow controller takes minutes to answer.
    m_reads = kReadsRefresh;
    std::unordered_set<CMessage::STarget, CMessage::STargetHash> objects;
    for (const CMessage::STarget& target : sent)
    {
        CMessage notify(target.manager, COMMAND_NOTIFY);
        notify.SetIndex0(target.index0);
        notify.SetIndex1(target.index1);
        notify.SetIndex2(target.index2);
        notify.SetValue(CMessageValue(uint32_t(0)));
        if (objects.insert(notify.GetTarget()).second)
            RouteReply(notify);
    }
    m_reads = kReadsInOrder;
    if (!m_loadBegun)
        return;
    m_loadBegun = false;
    // What left may have changed more than its own objects: everything is read back, as when a
    // unit is chosen.
    ResyncModel();
}

bool CDeviceManager::MaySendTo(const CIpAddress& unit)
{
    m_subnets->Refresh();
    return m_subnets->IsUnitAddress(unit, unit);
}

CRgbaColour CDeviceManager::GetStatusColour() const
{
    if (IsUnset(m_connectedAddress))
        return CRgbaColour(0, 0, 0, 255);
    return m_connected ? CRgbaColour(0, 255, 0, 255) : CRgbaColour(255, 0, 0, 255);
}

void CDeviceManager::ObserveDevices(CObserver* observer, CSubjectSet* set)
{
    if (!set)
        return;
    set->Clear(observer);
    for (const auto& device : m_devices)
        if (set->GetCount() < set->GetCapacity())
            set->Add(observer, device.get());
}

void CDeviceManager::LogMessage(const char* direction, const CMessage& message) const
{
    if (!CApp::IsDebugMode())
        return;
    std::printf("%s [%04d] %s %s %i %i %i %s\n", direction, int(message.GetSequence()),
                MessageManagerName(message.GetManager()).c_str(),
                MessageCommandName(message.GetCommand()).c_str(), int(message.GetIndex0()),
                int(message.GetIndex1()), int(message.GetIndex2()),
                message.GetValueRef().ToText().c_str());
}
