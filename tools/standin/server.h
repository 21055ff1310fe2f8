#pragma once

#include "link/message_frame.h"
#include "tools/standin/control.h"
#include "tools/standin/controller.h"
#include "tools/standin/event_log.h"
#include "tools/standin/sequence_check.h"
#include "tools/standin/udp_socket.h"
#include "tools/standin/unit_responder.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace standin
{
struct SUnitConfig
{
    std::string address = "127.0.0.1";
    // The unit-type name the discovery answer gives as label.
    std::string type = "KDX-1";
    // The port of the unit protocol; 0 takes a free one.
    uint16_t unitPort = 16946;
    // The unit's own label, as its protocol reports it; the type name when empty.
    std::string label;
    // The address text of the discovery answer; the unit's address when empty.
    std::string advertise;
};

struct SServerOptions
{
    std::vector<SUnitConfig> units;
    // Discovery and link frames arrive here on each unit's address; 0 takes a free port per unit.
    uint16_t linkPort = CMessageFrame::kPort;
    // Also listen on the wildcard address, where broadcasts arrive.
    bool wildcard = true;
    // The loopback control port; negative for none, 0 for a free one.
    int controlPort = -1;
    // The event log; standard output when empty.
    std::string logPath;
    // Control commands run before the stand-in reports itself ready.
    std::vector<std::string> commands;
};

// Reads the command line; false with a reason for anything it cannot use.
bool ParseCommandLine(int argc, const char* const* argv, SServerOptions& options, std::string& error);
std::string CommandLineHelp();

// The stand-in controller: its sockets, the units that stand behind them and the loop that
// answers them.
class CServer : public IControlTarget
{
public:
    explicit CServer(const SServerOptions& options);
    ~CServer() override;

    // Binds every socket, runs the start-up commands and prints the ready lines.
    bool Start(std::string& error);
    // Answers until stopped by a control command or a signal: SIGTERM, SIGINT and SIGHUP end the
    // loop, SIGUSR1 stops every answer and SIGUSR2 brings them back.
    void Run();
    static void InstallSignalHandlers();

    // IControlTarget
    SFaults& GetFaults() override { return m_faults; }
    size_t GetUnitCount() const override { return m_units.size(); }
    CController& GetController(size_t unit) override { return m_units[unit]->controller; }
    void SendNotifies(size_t unit, const std::vector<CMessage>& notifies) override;
    std::string SetLinkSource(const std::string& address) override;
    uint64_t GetOutOfSequence() const override { return m_sequences.GetOutOfSequence(); }
    uint64_t GetDropped() const override { return m_sequences.GetDropped(); }
    void Stop() override { m_stop = true; }

private:
    using Clock = std::chrono::steady_clock;

    struct SUnit
    {
        explicit SUnit(const SUnitConfig& unitConfig) : config(unitConfig), responder(controller.GetShow().unit) {}
        SUnitConfig config;
        SEndpoint address;
        CController controller;
        CUnitResponder responder;
        CUdpSocket link;
        CUdpSocket unitSocket;
        // Where unit replies leave from when they are to come from the wrong port.
        CUdpSocket spare;
        SEndpoint lastPeer;
        bool hasPeer = false;
    };

    struct SPending
    {
        Clock::time_point due;
        const CUdpSocket* socket;
        SEndpoint to;
        std::vector<uint8_t> bytes;
        std::string line;
    };

    // drops: the link socket's drop count when the frame came.
    void HandleLink(size_t index, const std::vector<uint8_t>& bytes, const SEndpoint& from, uint32_t drops);
    void HandleWildcard(const std::vector<uint8_t>& bytes, const SEndpoint& from);
    void AnswerDiscovery(size_t index, const SEndpoint& to);
    void HandleUnit(size_t index, const std::vector<uint8_t>& bytes, const SEndpoint& from);
    void HandleControl(const std::vector<uint8_t>& bytes, const SEndpoint& from);
    void Queue(const CUdpSocket& socket, const SEndpoint& to, std::vector<uint8_t> bytes, const std::string& line,
               uint32_t delayMs);
    // Gives the answer to a read another target, as the faults say.
    void Misanswer(const CMessage& request, CMessage& reply) const;
    void SendRecord(size_t index, const CMessage& record, const SEndpoint& to, const char* kind);
    void FlushDue();
    int NextTimeoutMs() const;
    bool CheckSignals();

    SServerOptions m_options;
    SFaults m_faults;
    CControl m_control;
    CEventLog m_log;
    std::vector<std::unique_ptr<SUnit>> m_units;
    CUdpSocket m_wildcard;
    CUdpSocket m_controlSocket;
    CUdpSocket m_linkSource;
    std::vector<SPending> m_pending;
    uint64_t m_linkFrames = 0;
    // The program numbers its link frames across the units it turns to.
    CSequenceCheck m_sequences;
    bool m_stop = false;
};
}  // namespace standin
