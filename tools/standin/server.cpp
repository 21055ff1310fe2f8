#include "tools/standin/server.h"

#include "link/discovery.h"
#include "link/unit_packet.h"
#include "tools/standin/discovery_answer.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <poll.h>
#include <sstream>

namespace standin
{
namespace
{
volatile std::sig_atomic_t g_stopSignal = 0;
volatile std::sig_atomic_t g_silenceSignal = 0;
volatile std::sig_atomic_t g_resumeSignal = 0;

extern "C" void OnSignal(int number)
{
    if (number == SIGUSR1)
        g_silenceSignal = 1;
    else if (number == SIGUSR2)
        g_resumeSignal = 1;
    else
        g_stopSignal = 1;
}

std::string Describe(const CMessage& record)
{
    std::ostringstream out;
    const CMessageValue& value = record.GetValueRef();
    out << "seq=" << record.GetSequence() << " manager=" << record.GetManager() << ':'
        << MessageManagerName(record.GetManager()) << " command=" << record.GetCommand() << ':'
        << MessageCommandName(record.GetCommand()) << " index=" << record.GetIndex0() << ',' << record.GetIndex1()
        << ',' << record.GetIndex2() << " tag=" << value.GetType() << " value=" << value.ToText();
    return out.str();
}

std::string DescribePacket(const CDevicePacket& packet)
{
    std::ostringstream out;
    out << "command=" << packet.GetCommand() << ':' << DeviceCommandName(int(packet.GetCommand()))
        << " index=" << packet.GetIndex0() << ',' << packet.GetIndex1() << ',' << packet.GetIndex2()
        << " length=" << int(packet.GetLength());
    return out.str();
}

std::vector<uint8_t> Encode(const CMessage& record)
{
    std::vector<uint8_t> bytes;
    CMessageFrame::Encode(record, bytes);
    return bytes;
}

std::vector<uint8_t> Encode(const CDevicePacket& packet)
{
    std::vector<uint8_t> bytes(packet.GetWireLength());
    packet.Encode(bytes.data());
    return bytes;
}

// A locally administered hardware address made from the unit's address.
std::array<uint8_t, 6> MacFor(uint32_t address)
{
    return {0x02, 0x00, uint8_t(address >> 24), uint8_t(address >> 16), uint8_t(address >> 8), uint8_t(address)};
}
}  // namespace

CServer::CServer(const SServerOptions& options) : m_options(options), m_control(*this)
{
}

CServer::~CServer() = default;

void CServer::InstallSignalHandlers()
{
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (int number : {SIGTERM, SIGINT, SIGHUP, SIGUSR1, SIGUSR2})
        sigaction(number, &action, nullptr);
}

bool CServer::Start(std::string& error)
{
    if (!m_log.Open(m_options.logPath))
    {
        error = "cannot open the log " + m_options.logPath;
        return false;
    }
    std::vector<SUnitConfig> configs = m_options.units;
    if (configs.empty())
        configs.push_back(SUnitConfig());

    for (const SUnitConfig& config : configs)
    {
        auto unit = std::make_unique<SUnit>(config);
        if (!SEndpoint::Parse(config.address, unit->address) || unit->address.port != 0)
        {
            error = "not a unit address: " + config.address;
            return false;
        }
        SEndpoint linkAddress = unit->address;
        linkAddress.port = m_options.linkPort;
        if (!unit->link.Open(linkAddress, error))
            return false;
        SEndpoint unitAddress = unit->address;
        unitAddress.port = config.unitPort;
        if (!unit->unitSocket.Open(unitAddress, error))
            return false;

        SUnitSettings& settings = unit->controller.GetShow().unit;
        settings.label = config.label.empty() ? config.type : config.label;
        settings.mac = MacFor(unit->address.address);
        for (int i = 0; i < 4; ++i)
            settings.ip[i] = uint8_t(unit->address.address >> (24 - 8 * i));
        settings.ipPort = unit->unitSocket.GetLocal().port;
        m_units.push_back(std::move(unit));
    }

    if (m_options.wildcard && m_options.linkPort != 0)
    {
        std::string wildcardError;
        SEndpoint any;
        any.port = m_options.linkPort;
        if (!m_wildcard.Open(any, wildcardError))
            m_log.Line("warning no broadcasts: " + wildcardError);
    }
    if (m_options.controlPort >= 0)
    {
        SEndpoint control;
        SEndpoint::Parse("127.0.0.1", control);
        control.port = static_cast<uint16_t>(m_options.controlPort);
        if (!m_controlSocket.Open(control, error))
            return false;
    }

    for (const std::string& command : m_options.commands)
    {
        const std::string reply = m_control.Execute(command);
        if (reply.compare(0, 2, "ok") != 0)
        {
            error = "\"" + command + "\": " + reply;
            return false;
        }
    }

    for (size_t i = 0; i < m_units.size(); ++i)
    {
        const SUnit& unit = *m_units[i];
        m_log.Line("unit " + std::to_string(i) + " address=" + unit.address.AddressText() +
                   " link=" + std::to_string(unit.link.GetLocal().port) +
                   " port=" + std::to_string(unit.unitSocket.GetLocal().port) + " type=" + unit.config.type);
    }
    m_log.Line("ready control=" +
               (m_controlSocket.IsOpen() ? std::to_string(m_controlSocket.GetLocal().port) : std::string("none")) +
               " broadcast=" + (m_wildcard.IsOpen() ? "yes" : "no"));
    m_log.Flush();
    return true;
}

void CServer::Run()
{
    std::vector<uint8_t> bytes;
    SEndpoint from;
    while (!m_stop && !CheckSignals())
    {
        std::vector<pollfd> fds;
        for (const auto& unit : m_units)
        {
            fds.push_back({unit->link.GetFd(), POLLIN, 0});
            fds.push_back({unit->unitSocket.GetFd(), POLLIN, 0});
        }
        fds.push_back({m_wildcard.GetFd(), POLLIN, 0});
        fds.push_back({m_controlSocket.GetFd(), POLLIN, 0});
        const int ready = poll(fds.data(), fds.size(), NextTimeoutMs());
        if (ready < 0 && errno != EINTR)
            break;
        if (ready > 0)
        {
            // The lines of one datagram (what came, what went back, what was announced) are
            // written out together.
            for (size_t i = 0; i < m_units.size(); ++i)
            {
                for (uint32_t drops = 0; m_units[i]->link.Receive(bytes, from, &drops); m_log.Flush())
                    HandleLink(i, bytes, from, drops);
                for (; m_units[i]->unitSocket.Receive(bytes, from); m_log.Flush())
                    HandleUnit(i, bytes, from);
            }
            for (; m_wildcard.Receive(bytes, from); m_log.Flush())
                HandleWildcard(bytes, from);
            for (; m_controlSocket.Receive(bytes, from); m_log.Flush())
                HandleControl(bytes, from);
        }
        FlushDue();
        m_log.Flush();
    }
    m_log.Line("stopped out-of-sequence=" + std::to_string(m_sequences.GetOutOfSequence()) +
               " dropped=" + std::to_string(m_sequences.GetDropped()));
}

bool CServer::CheckSignals()
{
    if (g_silenceSignal)
    {
        g_silenceSignal = 0;
        m_faults.silent = true;
        m_log.Line("control signal silent on");
    }
    if (g_resumeSignal)
    {
        g_resumeSignal = 0;
        m_faults.silent = false;
        m_log.Line("control signal silent off");
    }
    return g_stopSignal != 0;
}

int CServer::NextTimeoutMs() const
{
    constexpr int kIdleMs = 100;
    if (m_pending.empty())
        return kIdleMs;
    const Clock::time_point next =
        std::min_element(m_pending.begin(), m_pending.end(), [](const SPending& a, const SPending& b) {
            return a.due < b.due;
        })->due;
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(next - Clock::now()).count();
    return static_cast<int>(std::max<long long>(0, std::min<long long>(wait + 1, kIdleMs)));
}

void CServer::Queue(const CUdpSocket& socket, const SEndpoint& to, std::vector<uint8_t> bytes,
                    const std::string& line, uint32_t delayMs)
{
    m_pending.push_back(
        SPending{Clock::now() + std::chrono::milliseconds(delayMs), &socket, to, std::move(bytes), line});
    if (delayMs == 0)
        FlushDue();
}

void CServer::FlushDue()
{
    // In the order queued, so an acknowledgement always leaves before the Notify that follows it.
    const Clock::time_point now = Clock::now();
    std::vector<SPending> later;
    std::vector<SPending> due;
    for (SPending& pending : m_pending)
        (pending.due <= now ? due : later).push_back(std::move(pending));
    m_pending = std::move(later);
    for (const SPending& pending : due)
    {
        const bool sent = pending.socket->SendTo(pending.to, pending.bytes);
        m_log.Line(pending.line + (sent ? "" : " failed"));
    }
}

void CServer::HandleWildcard(const std::vector<uint8_t>& bytes, const SEndpoint& from)
{
    if (!IsDiscoveryRequest(bytes.data(), bytes.size()))
    {
        m_log.Line("ignore broadcast from=" + from.ToText() + " size=" + std::to_string(bytes.size()));
        return;
    }
    // A broadcast reaches every unit that stands behind this stand-in.
    for (size_t i = 0; i < m_units.size(); ++i)
    {
        m_log.Line("rx discovery unit=" + std::to_string(i) + " from=" + from.ToText() + " broadcast");
        AnswerDiscovery(i, from);
    }
}

void CServer::AnswerDiscovery(size_t index, const SEndpoint& to)
{
    if (m_faults.silent || !m_faults.discovery)
    {
        m_log.Line("ignore discovery unit=" + std::to_string(index));
        return;
    }
    const SUnit& unit = *m_units[index];
    const std::string address = unit.config.advertise.empty() ? unit.address.AddressText() : unit.config.advertise;
    const uint16_t port = unit.unitSocket.GetLocal().port;
    const std::string answer = BuildDiscoveryAnswer(unit.config.type, address, port, m_faults.quirks);
    Queue(unit.link, to, std::vector<uint8_t>(answer.begin(), answer.end()),
          "tx discovery unit=" + std::to_string(index) + " to=" + to.ToText() + " label=" + unit.config.type +
              " address=" + address + " port=" + std::to_string(port),
          0);
}

void CServer::HandleLink(size_t index, const std::vector<uint8_t>& bytes, const SEndpoint& from, uint32_t drops)
{
    SUnit& unit = *m_units[index];
    const std::string who = "unit=" + std::to_string(index) + " from=" + from.ToText();
    if (IsDiscoveryRequest(bytes.data(), bytes.size()))
    {
        m_log.Line("rx discovery " + who);
        AnswerDiscovery(index, from);
        return;
    }

    SLinkAnswer answer;
    CMessage request;
    if (!CMessageFrame::Decode(bytes.data(), bytes.size(), request))
    {
        m_log.Line("bad link " + who + " size=" + std::to_string(bytes.size()));
        return;
    }
    m_log.Line("rx link " + who + " " + Describe(request));
    ++m_linkFrames;
    uint16_t last = 0;
    const CSequenceCheck::TVerdict verdict = m_sequences.Take(from, request.GetSequence(), index, drops, last);
    if (verdict != CSequenceCheck::kInSequence)
        m_log.Line(std::string(verdict == CSequenceCheck::kDropped ? "dropped" : "out-of-sequence") + " link " +
                   who + " seq=" + std::to_string(request.GetSequence()) + " last=" + std::to_string(last));
    if (m_faults.silent || !m_faults.link)
    {
        m_log.Line("ignore link " + who + " seq=" + std::to_string(request.GetSequence()));
        return;
    }
    const bool dropEvery = m_faults.dropEvery != 0 && m_linkFrames % m_faults.dropEvery == 0;
    if (m_faults.dropLink > 0 || dropEvery)
    {
        if (m_faults.dropLink > 0 && !dropEvery)
            --m_faults.dropLink;
        m_log.Line("drop link " + who + " seq=" + std::to_string(request.GetSequence()));
        return;
    }

    unit.controller.HandleFrame(bytes.data(), bytes.size(), answer);
    unit.lastPeer = from;
    unit.hasPeer = true;
    if (answer.duplicate)
        m_log.Line("repeat link " + who + " seq=" + std::to_string(request.GetSequence()));

    if (m_faults.garbage)
    {
        std::vector<uint8_t> garbage = Encode(answer.reply);
        garbage[0] = 0xFF;
        Queue(unit.link, from, garbage, "tx garbage unit=" + std::to_string(index) + " to=" + from.ToText(),
              m_faults.delayMs);
    }
    Misanswer(request, answer.reply);
    SendRecord(index, answer.reply, from, "link");
    if (!answer.duplicate)
        SendNotifies(index, answer.notifies);
}

void CServer::Misanswer(const CMessage& request, CMessage& reply) const
{
    if (!request.IsRead())
        return;
    const uint32_t manager = request.GetManager();
    if (m_faults.groupAsProgrammer && manager == MANAGER_PROGRAMMER_CHANGE && request.GetCommand() == COMMAND_GET_VALUE)
        reply.SetManager(MANAGER_PROGRAMMER);
    if (manager == MANAGER_PLAYBACK && int(request.GetIndex0()) == m_faults.misansweredPlayback)
        reply.SetIndex0((request.GetIndex0() + 1) % kPlaybackCount);
}

void CServer::SendRecord(size_t index, const CMessage& record, const SEndpoint& to, const char* kind)
{
    const SUnit& unit = *m_units[index];
    const CUdpSocket& socket = m_linkSource.IsOpen() ? m_linkSource : unit.link;
    Queue(socket, to, Encode(record),
          std::string("tx ") + kind + " unit=" + std::to_string(index) + " to=" + to.ToText() + " " +
              Describe(record),
          m_faults.delayMs);
}

void CServer::SendNotifies(size_t index, const std::vector<CMessage>& notifies)
{
    const SUnit& unit = *m_units[index];
    if (notifies.empty())
        return;
    if (!unit.hasPeer)
    {
        m_log.Line("hold notify unit=" + std::to_string(index) + " no peer yet");
        return;
    }
    if (m_faults.silent || !m_faults.notify)
    {
        m_log.Line("ignore notify unit=" + std::to_string(index) + " count=" + std::to_string(notifies.size()));
        return;
    }
    for (CMessage notify : notifies)
    {
        if (m_faults.notifySequence >= 0)
            notify.SetSequence(static_cast<uint16_t>(m_faults.notifySequence));
        SendRecord(index, notify, unit.lastPeer, "notify");
    }
}

void CServer::HandleUnit(size_t index, const std::vector<uint8_t>& bytes, const SEndpoint& from)
{
    SUnit& unit = *m_units[index];
    const std::string who = "unit=" + std::to_string(index) + " from=" + from.ToText();
    CDevicePacket request;
    if (!request.Decode(bytes.data(), bytes.size()))
    {
        m_log.Line("bad unit " + who + " size=" + std::to_string(bytes.size()));
        return;
    }
    m_log.Line("rx unit " + who + " " + DescribePacket(request));
    if (m_faults.silent || !m_faults.unit)
    {
        m_log.Line("ignore unit " + who);
        return;
    }
    if (m_faults.dropUnit > 0)
    {
        --m_faults.dropUnit;
        m_log.Line("drop unit " + who);
        return;
    }
    const CDevicePacket reply = unit.responder.Answer(request);
    const CUdpSocket* socket = &unit.unitSocket;
    if (m_faults.unitWrongPort)
    {
        if (!unit.spare.IsOpen())
        {
            std::string error;
            SEndpoint spare = unit.address;
            spare.port = 0;
            if (!unit.spare.Open(spare, error))
                m_log.Line("warning " + error);
        }
        if (unit.spare.IsOpen())
            socket = &unit.spare;
    }
    Queue(*socket, from, Encode(reply),
          "tx unit unit=" + std::to_string(index) + " to=" + from.ToText() + " " + DescribePacket(reply), 0);
}

void CServer::HandleControl(const std::vector<uint8_t>& bytes, const SEndpoint& from)
{
    std::string text(bytes.begin(), bytes.end());
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == '\0'))
        text.pop_back();
    m_log.Line("rx control from=" + from.ToText() + " text=" + text);
    const std::string reply = m_control.Execute(text);
    m_log.Line("tx control to=" + from.ToText() + " text=" + reply);
    m_controlSocket.SendTo(from, std::vector<uint8_t>(reply.begin(), reply.end()));
}

std::string CServer::SetLinkSource(const std::string& address)
{
    m_linkSource.Close();
    m_faults.linkSource = address;
    if (address.empty())
        return std::string();
    SEndpoint local;
    if (!SEndpoint::Parse(address, local))
        return "not an address: " + address;
    local.port = 0;
    std::string error;
    if (!m_linkSource.Open(local, error))
        return error;
    return std::string();
}
}  // namespace standin
