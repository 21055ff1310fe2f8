// Starts the stand-in executable and talks to it over loopback as a scripted client, checking the
// datagrams byte for byte. Free ports only, so these cases run side by side.
#include "tools/standin/udp_socket.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <regex>
#include <string>
#include <vector>

using standin::CUdpSocket;
using standin::SEndpoint;

namespace
{
using Bytes = std::vector<uint8_t>;
// A deadline only: answers come at once unless the machine is very busy.
constexpr int kWaitMs = 10000;
// Long enough for an answer on loopback to have come, were it sent.
constexpr int kQuietMs = 300;

SEndpoint Loopback(uint16_t port, const char* address = "127.0.0.1")
{
    SEndpoint endpoint;
    SEndpoint::Parse(address, endpoint);
    endpoint.port = port;
    return endpoint;
}

// The stand-in as a child process whose standard output (its event log) the test reads.
class CStandinProcess
{
public:
    ~CStandinProcess() { Stop(); }

    bool Start(const std::vector<std::string>& arguments)
    {
        int fds[2];
        if (pipe(fds) != 0)
            return false;
        const std::string program = std::string(TANZO_BINARY_DIR) + "/bin/standin";
        m_pid = fork();
        if (m_pid == 0)
        {
            dup2(fds[1], STDOUT_FILENO);
            close(fds[0]);
            close(fds[1]);
            std::vector<char*> argv;
            argv.push_back(const_cast<char*>(program.c_str()));
            for (const std::string& argument : arguments)
                argv.push_back(const_cast<char*>(argument.c_str()));
            argv.push_back(nullptr);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
        close(fds[1]);
        m_out = fds[0];
        const std::regex unitLine("unit (\\d+) address=([0-9.]+) link=(\\d+) port=(\\d+) .*");
        const std::regex readyLine("ready control=(\\w+) .*");
        for (;;)
        {
            const std::string line = ReadLine(kWaitMs);
            std::smatch match;
            if (line.empty())
                return false;
            if (std::regex_match(line, match, unitLine))
            {
                m_links.push_back(Loopback(uint16_t(std::stoi(match[3])), match[2].str().c_str()));
                m_units.push_back(Loopback(uint16_t(std::stoi(match[4])), match[2].str().c_str()));
            }
            else if (std::regex_match(line, match, readyLine))
            {
                if (match[1] != "none")
                    m_control = Loopback(uint16_t(std::stoi(match[1])));
                return true;
            }
        }
    }

    // The next log line, or empty when none comes in time.
    std::string ReadLine(int timeoutMs)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;)
        {
            const size_t newline = m_buffer.find('\n');
            if (newline != std::string::npos)
            {
                const std::string line = m_buffer.substr(0, newline);
                m_buffer.erase(0, newline + 1);
                return line;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            pollfd fd = {m_out, POLLIN, 0};
            if (left.count() <= 0 || poll(&fd, 1, int(left.count())) <= 0)
                return std::string();
            char chunk[4096];
            const ssize_t count = read(m_out, chunk, sizeof(chunk));
            if (count <= 0)
                return std::string();
            m_buffer.append(chunk, size_t(count));
        }
    }

    // Reads log lines until one begins with the prefix; empty when none comes in time.
    std::string WaitForLine(const std::string& prefix)
    {
        for (std::string line = ReadLine(kWaitMs); !line.empty(); line = ReadLine(kWaitMs))
        {
            if (line.rfind(prefix, 0) == 0)
                return line;
        }
        return std::string();
    }

    void Signal(int number) const { kill(m_pid, number); }

    // Ends the process and returns its exit status.
    int Stop()
    {
        if (m_pid <= 0)
            return m_status;
        kill(m_pid, SIGTERM);
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_pid = -1;
        close(m_out);
        m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return m_status;
    }

    int Wait()
    {
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_pid = -1;
        close(m_out);
        m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return m_status;
    }

    const SEndpoint& Link(size_t unit = 0) const { return m_links.at(unit); }
    const SEndpoint& Unit(size_t unit = 0) const { return m_units.at(unit); }
    const SEndpoint& Control() const { return m_control; }
    size_t GetUnitCount() const { return m_links.size(); }

private:
    pid_t m_pid = -1;
    int m_out = -1;
    int m_status = -1;
    std::string m_buffer;
    std::vector<SEndpoint> m_links;
    std::vector<SEndpoint> m_units;
    SEndpoint m_control;
};

// The test's own socket on loopback.
class CClient
{
public:
    CClient()
    {
        std::string error;
        EXPECT_TRUE(m_socket.Open(Loopback(0), error)) << error;
    }

    void Send(const SEndpoint& to, const Bytes& bytes) { ASSERT_TRUE(m_socket.SendTo(to, bytes)); }
    void Send(const SEndpoint& to, const std::string& text) { Send(to, Bytes(text.begin(), text.end())); }

    // The next datagram, or empty when none comes in time.
    Bytes Receive(int timeoutMs = kWaitMs, SEndpoint* from = nullptr)
    {
        pollfd fd = {m_socket.GetFd(), POLLIN, 0};
        Bytes bytes;
        SEndpoint sender;
        if (poll(&fd, 1, timeoutMs) > 0 && m_socket.Receive(bytes, sender))
        {
            if (from)
                *from = sender;
            return bytes;
        }
        return Bytes();
    }

    std::string Command(const SEndpoint& control, const std::string& text)
    {
        Send(control, text);
        const Bytes reply = Receive();
        return std::string(reply.begin(), reply.end());
    }

private:
    CUdpSocket m_socket;
};

// Playback 3 SetIntensity 0.5 with sequence 7.
const Bytes kSetIntensity = {
    0x29, 0x03, 0x18, 0x00,  // manager 41, tag 3 float, command 24 SetIntensity
    0x03, 0x00, 0x00, 0x00,  // index0 3, index1 0
    0x00, 0x00, 0xFF, 0xFF,  // index2 0, filler
    0x04, 0x00, 0x07, 0x00,  // payload length 4, sequence 7
    0x00, 0x00, 0x00, 0x00,  // reserved
    0x00, 0x00, 0x00, 0x3F,  // 0.5f
};
// Its acknowledgement: the same target and sequence, payload "none".
const Bytes kSetIntensityAck = {
    0x29, 0x19, 0x18, 0x00,  // manager 41, tag 25 none, command 24
    0x03, 0x00, 0x00, 0x00,  // index0 3, index1 0
    0x00, 0x00, 0xFF, 0xFF,  // index2 0, filler
    0x00, 0x00, 0x07, 0x00,  // payload length 0, sequence 7
    0x00, 0x00, 0x00, 0x00,  // reserved
};
// The change told: Notify of playback 3 with code 290, under the Set's sequence.
const Bytes kIntensityNotify = {
    0x29, 0x01, 0x00, 0x00,  // manager 41, tag 1 unsigned, command 0 Notify
    0x03, 0x00, 0x00, 0x00,  // index0 3, index1 0
    0x00, 0x00, 0xFF, 0xFF,  // index2 0, filler
    0x04, 0x00, 0x07, 0x00,  // payload length 4, sequence 7
    0x00, 0x00, 0x00, 0x00,  // reserved
    0x22, 0x01, 0x00, 0x00,  // 290
};
// Playback 3 GetIntensity with sequence 8, no payload.
const Bytes kGetIntensity = {
    0x29, 0x19, 0x17, 0x00,  // manager 41, tag 25, command 23 GetIntensity
    0x03, 0x00, 0x00, 0x00,  //
    0x00, 0x00, 0xFF, 0xFF,  //
    0x00, 0x00, 0x08, 0x00,  // payload length 0, sequence 8
    0x00, 0x00, 0x00, 0x00,  //
};
// Its answer: the value that the Set stored, as a float.
const Bytes kGetIntensityReply = {
    0x29, 0x03, 0x17, 0x00,  // manager 41, tag 3 float, command 23
    0x03, 0x00, 0x00, 0x00,  //
    0x00, 0x00, 0xFF, 0xFF,  //
    0x04, 0x00, 0x08, 0x00,  // payload length 4, sequence 8
    0x00, 0x00, 0x00, 0x00,  //
    0x00, 0x00, 0x00, 0x3F,  // 0.5f
};

std::vector<std::string> LoopbackUnit(const std::string& unit = "127.0.0.1,KDX-1,0,Rack A")
{
    return {"--unit", unit, "--link-port", "0", "--control", "0"};
}
}  // namespace

TEST(StandinProcess, AnswersDiscoveryWithItsXml)
{
    CStandinProcess standin;
    ASSERT_TRUE(standin.Start(LoopbackUnit()));
    CClient client;
    client.Send(standin.Link(), std::string("zevral_identify"));
    SEndpoint from;
    const Bytes answer = client.Receive(kWaitMs, &from);
    const std::string expected = "<?xml version=\"1.0\" ?> <zevral_identify label=\"KDX-1\"><ip>127.0.0.1</ip><port>" +
                                 std::to_string(standin.Unit().port) + "</port></zevral_identify>";
    EXPECT_EQ(std::string(answer.begin(), answer.end()), expected);
    EXPECT_EQ(from, standin.Link());
    EXPECT_NE(standin.WaitForLine("rx discovery unit=0"), "");
}

TEST(StandinProcess, SetThenNotifyThenGetOfAPlaybackIntensity)
{
    CStandinProcess standin;
    ASSERT_TRUE(standin.Start(LoopbackUnit()));
    CClient client;
    client.Send(standin.Link(), kSetIntensity);
    SEndpoint from;
    EXPECT_EQ(client.Receive(kWaitMs, &from), kSetIntensityAck);
    EXPECT_EQ(from, standin.Link()) << "answers come from the controller's own address and port";
    EXPECT_EQ(client.Receive(), kIntensityNotify);
    client.Send(standin.Link(), kGetIntensity);
    EXPECT_EQ(client.Receive(), kGetIntensityReply);

    const std::string logged = standin.WaitForLine("rx link unit=0");
    EXPECT_NE(logged.find("seq=7 manager=41:Playback command=24:SetIntensity index=3,0,0 tag=3 value=0.5"),
              std::string::npos)
        << logged;

    // The frames came numbered one by one from the first; one numbered back is counted.
    EXPECT_EQ(client.Command(standin.Control(), "out-of-sequence"), "ok 0");
    client.Send(standin.Link(), kSetIntensity);
    EXPECT_EQ(client.Receive(), kSetIntensityAck);
    EXPECT_EQ(client.Command(standin.Control(), "out-of-sequence"), "ok 1");
}

TEST(StandinProcess, TellsFramesItsSocketDroppedApartFromNumbersOutOfSequence)
{
    CStandinProcess standin;
    ASSERT_TRUE(standin.Start(LoopbackUnit()));
    // Stopped, the stand-in reads nothing: of frames numbered one after another, those past what
    // its socket holds are dropped. Once it has read a command sent after them, running again, it
    // has read every frame its socket kept, and the one after them comes.
    standin.Signal(SIGSTOP);
    CClient client;
    CClient control;
    Bytes frame = kGetIntensity;
    for (uint16_t sequence = 1; sequence <= 2001; ++sequence)
    {
        if (sequence == 2001)
        {
            standin.Signal(SIGCONT);
            control.Send(standin.Control(), std::string("dropped"));
            ASSERT_NE(standin.WaitForLine("rx control"), "");
            control.Receive();
        }
        frame[14] = uint8_t(sequence), frame[15] = uint8_t(sequence >> 8);  // sequence little-endian
        client.Send(standin.Link(), frame);
    }
    std::string line;
    do
        line = standin.ReadLine(kWaitMs);
    while (!line.empty() && line.find(" seq=2001 ") == std::string::npos);
    ASSERT_NE(line, "");
    EXPECT_EQ(control.Command(standin.Control(), "out-of-sequence"), "ok 0");
    EXPECT_NE(control.Command(standin.Control(), "dropped"), "ok 0");
}

TEST(StandinProcess, AnswersAUnitPollFromItsAdvertisedPort)
{
    CStandinProcess standin;
    ASSERT_TRUE(standin.Start(LoopbackUnit()));
    CClient client;
    client.Send(standin.Unit(), Bytes{0x00, 0x00, 0, 0, 0, 0, 0, 0, 0x00});  // GetMac
    SEndpoint from;
    EXPECT_EQ(client.Receive(kWaitMs, &from), (Bytes{0x00, 0x00, 0, 0, 0, 0, 0, 0,  // GetMac
                                                     0x06,                          // six bytes
                                                     0x02, 0x00, 127, 0, 0, 1}));   // made from 127.0.0.1
    EXPECT_EQ(from, standin.Unit());
    client.Send(standin.Unit(), Bytes{0x00, 0x11, 0, 0, 0, 0, 0, 0, 0x00});  // GetLabel
    EXPECT_EQ(client.Receive(), (Bytes{0x00, 0x11, 0, 0, 0, 0, 0, 0, 0x06, 'R', 'a', 'c', 'k', ' ', 'A'}));
}

TEST(StandinProcess, StopsAndResumesAnsweringAtRunTime)
{
    CStandinProcess standin;
    ASSERT_TRUE(standin.Start(LoopbackUnit()));
    CClient client;
    EXPECT_EQ(client.Command(standin.Control(), "silent on"), "ok");
    client.Send(standin.Link(), kGetIntensity);
    client.Send(standin.Unit(), Bytes{0x00, 0x00, 0, 0, 0, 0, 0, 0, 0x00});
    client.Send(standin.Link(), std::string("zevral_identify"));
    EXPECT_TRUE(client.Receive(kQuietMs).empty());
    EXPECT_EQ(client.Command(standin.Control(), "silent off"), "ok");
    client.Send(standin.Link(), kGetIntensity);
    EXPECT_EQ(client.Receive().size(), 24u);

    standin.Signal(SIGUSR1);
    EXPECT_NE(standin.WaitForLine("control signal silent on"), "");
    client.Send(standin.Link(), kGetIntensity);
    EXPECT_TRUE(client.Receive(kQuietMs).empty());
    standin.Signal(SIGUSR2);
    EXPECT_NE(standin.WaitForLine("control signal silent off"), "");
    client.Send(standin.Link(), kGetIntensity);
    EXPECT_EQ(client.Receive().size(), 24u);
}

TEST(StandinProcess, DropsAndDelaysAsToldAndRepeatsWithoutApplyingTwice)
{
    CStandinProcess standin;
    ASSERT_TRUE(standin.Start(LoopbackUnit()));
    CClient client;
    EXPECT_EQ(client.Command(standin.Control(), "drop 1"), "ok");
    client.Send(standin.Link(), kSetIntensity);
    EXPECT_TRUE(client.Receive(kQuietMs).empty()) << "the first copy goes unanswered";
    client.Send(standin.Link(), kSetIntensity);
    EXPECT_EQ(client.Receive(), kSetIntensityAck);
    EXPECT_EQ(client.Receive(), kIntensityNotify);
    client.Send(standin.Link(), kSetIntensity);
    EXPECT_EQ(client.Receive(), kSetIntensityAck) << "a repeat is acknowledged again";
    EXPECT_TRUE(client.Receive(kQuietMs).empty()) << "but not told again";

    // Measured from the send, so a test held up by a busy machine cannot see the reply early.
    EXPECT_EQ(client.Command(standin.Control(), "delay 400"), "ok");
    const auto sent = std::chrono::steady_clock::now();
    client.Send(standin.Link(), kGetIntensity);
    EXPECT_EQ(client.Receive(), kGetIntensityReply);
    EXPECT_GE(std::chrono::steady_clock::now() - sent, std::chrono::milliseconds(400));
}

TEST(StandinProcess, WrongSourcesAreThereToBeIgnored)
{
    CStandinProcess standin;
    ASSERT_TRUE(standin.Start(LoopbackUnit()));
    CClient client;
    EXPECT_EQ(client.Command(standin.Control(), "unit-wrong-port on"), "ok");
    client.Send(standin.Unit(), Bytes{0x00, 0x00, 0, 0, 0, 0, 0, 0, 0x00});
    SEndpoint from;
    EXPECT_EQ(client.Receive(kWaitMs, &from).size(), 15u);
    EXPECT_EQ(from.address, standin.Unit().address);
    EXPECT_NE(from.port, standin.Unit().port);

    EXPECT_EQ(client.Command(standin.Control(), "link-source 127.0.0.2"), "ok");
    client.Send(standin.Link(), kGetIntensity);
    EXPECT_EQ(client.Receive(kWaitMs, &from).size(), 24u);
    EXPECT_EQ(from.AddressText(), "127.0.0.2");
}

TEST(StandinProcess, ChangesMadeOnTheControllerAreToldToTheLastPeer)
{
    CStandinProcess standin;
    ASSERT_TRUE(standin.Start(LoopbackUnit()));
    CClient client;
    client.Send(standin.Link(), kGetIntensity);
    ASSERT_EQ(client.Receive().size(), 24u);
    CClient control;
    EXPECT_EQ(control.Command(standin.Control(), "playback 3 intensity 0.25"), "ok");
    EXPECT_EQ(client.Receive(), (Bytes{0x29, 0x01, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00,
                                       0xFF, 0xFF, 0x04, 0x00,
                                       0x08, 0x00,               // the last request's sequence
                                       0x00, 0x00, 0x00, 0x00,
                                       0x22, 0x01, 0x00, 0x00}));  // 290
}

TEST(StandinProcess, SeveralUnitsKeepTheirOwnShows)
{
    CStandinProcess standin;
    ASSERT_TRUE(standin.Start({"--unit", "127.0.0.1,KDX-1,0", "--unit", "127.0.0.2,Murel-2,0", "--link-port", "0"}));
    ASSERT_EQ(standin.GetUnitCount(), 2u);
    CClient client;
    client.Send(standin.Link(1), std::string("zevral_identify"));
    const Bytes answer = client.Receive();
    EXPECT_NE(std::string(answer.begin(), answer.end()).find("label=\"Murel-2\"><ip>127.0.0.2</ip>"),
              std::string::npos);

    client.Send(standin.Link(0), kSetIntensity);
    EXPECT_EQ(client.Receive(), kSetIntensityAck);
    EXPECT_EQ(client.Receive(), kIntensityNotify);
    client.Send(standin.Link(1), kGetIntensity);
    const Bytes other = client.Receive();
    ASSERT_EQ(other.size(), 24u);
    EXPECT_EQ(Bytes(other.begin() + 20, other.end()), (Bytes{0x00, 0x00, 0x80, 0x3F})) << "still 1.0";
}

TEST(StandinProcess, EndsOnRequestAndRefusesBadSwitches)
{
    CStandinProcess standin;
    ASSERT_TRUE(standin.Start(LoopbackUnit()));
    EXPECT_EQ(standin.Stop(), 0);

    CStandinProcess quitting;
    ASSERT_TRUE(quitting.Start(LoopbackUnit()));
    CClient client;
    EXPECT_EQ(client.Command(quitting.Control(), "quit"), "ok");
    EXPECT_EQ(quitting.Wait(), 0);

    CStandinProcess bad;
    EXPECT_FALSE(bad.Start({"--unit", "not-an-address", "--link-port", "0"}));
    EXPECT_EQ(bad.Wait(), 1);
    CStandinProcess unknown;
    EXPECT_FALSE(unknown.Start({"--frobnicate"}));
    EXPECT_EQ(unknown.Wait(), 2);
}
