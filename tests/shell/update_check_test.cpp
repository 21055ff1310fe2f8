#include "shell/update_check.h"

#include "tests/shell/services_test_support.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace
{
// A one-connection-at-a-time HTTP server on 127.0.0.1 with one canned answer. A silent one
// accepts and then never answers; a trickling one sends its answer a byte every 20 ms.
class CTestHttpServer
{
public:
    enum TPace
    {
        kAtOnce,
        kSilent,
        kTrickling,
    };

    explicit CTestHttpServer(std::string response, TPace pace = kAtOnce)
        : m_response(std::move(response)), m_pace(pace)
    {
        m_listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(m_listener, 4);
        socklen_t length = sizeof address;
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { Serve(); });
    }

    ~CTestHttpServer()
    {
        m_stop = true;
        m_thread.join();
        close(m_listener);
    }

    std::string GetUrl() const
    {
        return "http://127.0.0.1:" + std::to_string(m_port) + "/versions/versions.txt";
    }

    std::string GetRequest()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_request;
    }

private:
    bool WaitReadable(int fd)
    {
        pollfd p = {fd, POLLIN, 0};
        while (!m_stop)
            if (poll(&p, 1, 20) > 0)
                return true;
        return false;
    }

    void Serve()
    {
        while (WaitReadable(m_listener))
        {
            const int connection = accept(m_listener, nullptr, nullptr);
            if (connection < 0)
                continue;
            std::string request;
            char chunk[1024];
            while (request.find("\r\n\r\n") == std::string::npos && WaitReadable(connection))
            {
                const ssize_t n = recv(connection, chunk, sizeof chunk, 0);
                if (n <= 0)
                    break;
                request.append(chunk, static_cast<size_t>(n));
            }
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_request = request;
            }
            size_t sent = 0;
            while (!m_stop && (m_pace == kSilent || sent < m_response.size()))
            {
                if (m_pace != kAtOnce)
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
                if (m_pace == kSilent)
                    continue;
                const size_t length = m_pace == kTrickling ? 1 : m_response.size() - sent;
                const ssize_t n = send(connection, m_response.data() + sent, length, MSG_NOSIGNAL);
                if (n <= 0)
                    break;
                sent += static_cast<size_t>(n);
            }
            close(connection);
        }
    }

    std::string m_response;
    TPace m_pace;
    int m_listener = -1;
    uint16_t m_port = 0;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::string m_request;
    std::thread m_thread;
};

std::string HttpReply(const std::string& body, const std::string& status = "200 OK")
{
    return "HTTP/1.0 " + status + "\r\nContent-Type: text/plain\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\n\r\n" + body;
}

const CUpdateCheck::Version kRunning{1, 7, 0};

std::string Published(const CUpdateCheck& check)
{
    const CUpdateCheck::Version& v = check.GetPublishedVersion();
    return std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.build) + " " +
           check.GetPublishedText();
}

// Starts the check of the running version and takes what arrives until it is over. A check still
// on well past the longest limit fails the test, as none of the results.
CUpdateCheck::Result Check(CUpdateCheck& check, const CUpdateCheck::Version& running = kRunning)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(2 * CUpdateCheck::kDefaultLimitMs);
    check.Start(running.major, running.minor, running.build);
    while (!check.Poll())
    {
        if (std::chrono::steady_clock::now() > deadline)
        {
            ADD_FAILURE() << "the check is still on after " << 2 * CUpdateCheck::kDefaultLimitMs << " ms";
            return CUpdateCheck::Result(-1);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return check.GetResult();
}

CUpdateCheck::Result CheckAgainst(CTestHttpServer& server)
{
    CUpdateCheck check("Programmer", server.GetUrl());
    return Check(check);
}
}

TEST(UpdateCheckParse, ComparesThePublishedVersionWithTheRunningOne)
{
    CUpdateCheck check("Programmer");
    const std::string reply = "Editor|3|0|0|Other\nProgrammer|1|7|1|Fixes";
    EXPECT_EQ(check.Parse(reply, {1, 7, 0}), CUpdateCheck::kNewer);
    EXPECT_EQ(Published(check), "1.7.1 Fixes");
    EXPECT_EQ(check.Parse(reply, {1, 7, 1}), CUpdateCheck::kNotNewer);
    EXPECT_EQ(check.Parse(reply, {2, 0, 0}), CUpdateCheck::kNotNewer);
    EXPECT_EQ(check.Parse(reply, {0, 99, 99}), CUpdateCheck::kNewer);

    EXPECT_EQ(check.Parse("Editor|9|9|9|x", kRunning), CUpdateCheck::kNotNewer);
    EXPECT_EQ(check.Parse("Program", kRunning), CUpdateCheck::kNotNewer);
    EXPECT_EQ(check.Parse("", kRunning), CUpdateCheck::kNoReply);
}

TEST(UpdateCheckParse, FieldsAreCutAtBars)
{
    CUpdateCheck check("Programmer");
    check.Parse("Programmer|1|8|0|Notes|more", kRunning);
    EXPECT_EQ(Published(check), "1.8.0 Notes");

    // The key is matched anywhere, so a longer product name that comes first is the one read.
    EXPECT_EQ(check.Parse("XProgrammer|9|0|0|Other\nProgrammer|1|7|0|Same", kRunning), CUpdateCheck::kNewer);
    EXPECT_EQ(Published(check), "9.0.0 Other\nProgrammer");

    // A missing bar keeps the rest whole: every field reads the same text.
    check.Parse("Programmer|2", kRunning);
    EXPECT_EQ(Published(check), "2.2.2 2");

    // Fields that are not numbers read as 0; numbers too big for 32 bits as the largest value.
    check.Parse("Programmer|x|99999999999|3|t", kRunning);
    EXPECT_EQ(Published(check), "0." + std::to_string(UINT32_MAX) + ".3 t");
}

TEST(UpdateCheck, FetchesTheVersionsFileOverHttp)
{
    CTestHttpServer server(HttpReply("Editor|2|0|0|e\nProgrammer|1|7|1|Fixes|\n"));
    CUpdateCheck check("Programmer", server.GetUrl());
    EXPECT_EQ(Check(check), CUpdateCheck::kNewer);
    EXPECT_EQ(check.GetPublishedText(), "Fixes");
    const std::string request = server.GetRequest();
    EXPECT_EQ(request.rfind("GET /versions/versions.txt HTTP/1.1\r\n", 0), 0u) << request;
    EXPECT_NE(request.find("\r\nUser-Agent: libcurl-agent/1.0\r\n"), std::string::npos) << request;
}

TEST(UpdateCheck, AnEmptyBodyOrAnErrorPageIsNoVersionsFile)
{
    CTestHttpServer empty(HttpReply(""));
    EXPECT_EQ(CheckAgainst(empty), CUpdateCheck::kNoReply);
    CTestHttpServer notFound(HttpReply("Programmer|9|0|0|not found", "404 Not Found"));
    EXPECT_EQ(CheckAgainst(notFound), CUpdateCheck::kNoReply);
    CTestHttpServer equal(HttpReply("Programmer|1|7|0|Current"));
    EXPECT_EQ(CheckAgainst(equal), CUpdateCheck::kNotNewer);
}

TEST(UpdateCheck, TheReplyIsCapped)
{
    const std::string line = "Programmer|9|0|0|big\n";
    const std::string atCap = line + std::string(CUpdateCheck::kMaxReplyBytes - line.size(), ' ');
    CTestHttpServer fits(HttpReply(atCap));
    EXPECT_EQ(CheckAgainst(fits), CUpdateCheck::kNewer);
    CTestHttpServer tooLong(HttpReply(atCap + " "));
    EXPECT_EQ(CheckAgainst(tooLong), CUpdateCheck::kNoReply);
    CTestHttpServer huge(HttpReply(line + std::string(1 << 20, 'x')));
    EXPECT_EQ(CheckAgainst(huge), CUpdateCheck::kNoReply);
}

TEST(UpdateCheck, UnreachableOrSilentServersGiveNoReply)
{
    int port = 0;
    {
        CTestHttpServer closed(HttpReply("Programmer|9|0|0|x"));
        port = std::stoi(closed.GetUrl().substr(17));
    }
    CUpdateCheck refused("Programmer",
                         "http://127.0.0.1:" + std::to_string(port) + "/versions/versions.txt");
    EXPECT_EQ(Check(refused), CUpdateCheck::kNoReply);

    CTestHttpServer silent("", CTestHttpServer::kSilent);
    CUpdateCheck check("Programmer", silent.GetUrl(), 1000);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Check(check), CUpdateCheck::kNoReply);
    // The limit handed in applies, not the default of five seconds.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
}

TEST(UpdateCheck, UrlComesFromTheEnvironmentAndEmptySkipsTheCheck)
{
    {
        CScopedEnv url("TANZO_UPDATE_URL", "http://127.0.0.1:9/v.txt");
        EXPECT_EQ(CUpdateCheck::GetDefaultUrl(), "http://127.0.0.1:9/v.txt");
    }
    {
        CScopedEnv url("TANZO_UPDATE_URL", "");
        EXPECT_EQ(CUpdateCheck::GetDefaultUrl(), "");
    }
    CScopedEnv url("TANZO_UPDATE_URL", nullptr);
    EXPECT_EQ(CUpdateCheck::GetDefaultUrl(), TANZO_DEFAULT_UPDATE_URL);

    CUpdateCheck check("Programmer", "");
    check.Start(1, 7, 0);
    EXPECT_TRUE(check.Poll());
    EXPECT_EQ(check.GetResult(), CUpdateCheck::kNoReply);
}

// Start-up starts its check and each frame polls it: neither ever waits for the server, so that
// the program starts and ends as fast whatever the server does. Within the five-second limit, a
// silent or trickling server leaves the check on after a start and each poll, and a check still on
// is abandoned when it goes.
TEST(UpdateCheck, StartAndPollNeverWaitForTheServer)
{
    for (const CTestHttpServer::TPace pace : {CTestHttpServer::kSilent, CTestHttpServer::kTrickling})
    {
        CTestHttpServer server(HttpReply("Programmer|9|0|0|x" + std::string(1000, ' ')), pace);
        CScopedEnv url("TANZO_UPDATE_URL", server.GetUrl().c_str());
        CUpdateCheck check("Programmer");
        check.Start(1, 7, 0);
        for (int poll = 0; poll < 5; ++poll)
            EXPECT_FALSE(check.Poll()) << pace;
        const auto asked = [&server] {
            return server.GetRequest().find("GET /versions/versions.txt") != std::string::npos;
        };
        for (int poll = 0; poll < 200 && !asked(); ++poll)
        {
            EXPECT_FALSE(check.Poll()) << pace;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_TRUE(asked()) << pace;
        EXPECT_FALSE(check.Poll()) << pace;
    }
}
