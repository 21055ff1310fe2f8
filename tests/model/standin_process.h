#pragma once

// The stand-in controller as a process beside the test, inside the test's private network
// namespace: one unit on 127.0.0.2 with a link port and a unit port of the system's choosing,
// and a control socket on loopback through which the test reads and changes its show.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/network_links.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace patchtest
{
using ::InPrivateNamespace;

// Whether an end-to-end test against the stand-in runs here: only where its own ctest entry set
// the variable to 1, and only in a private network namespace.
inline bool StandinTestRuns(const char* variable, const char* runner, std::string& reason)
{
    const char* run = std::getenv(variable);
    if (!run || std::string(run) != "1")
    {
        reason = std::string("run by ") + runner + " only";
        return false;
    }
    if (!InPrivateNamespace())
    {
        reason = "the device link runs only in a private network namespace (scripts/netns.sh)";
        return false;
    }
    return true;
}

class CStandinProcess
{
public:
    static constexpr const char* kAddress = "127.0.0.2";

    CStandinProcess() = default;
    ~CStandinProcess() { Stop(); }
    CStandinProcess(const CStandinProcess&) = delete;
    CStandinProcess& operator=(const CStandinProcess&) = delete;

    // Starts the stand-in with the control commands of the script run before it answers; false
    // with a reason when it does not report itself ready.
    bool Start(const std::vector<std::string>& script, std::string& error)
    {
        m_folder = std::make_unique<CTempFolder>("tanzo-standin");
        const std::string log = *m_folder / "events.txt";
        const std::string scriptPath = *m_folder / "script.txt";
        {
            std::ofstream out(scriptPath);
            for (const std::string& line : script)
                out << line << "\n";
        }
        const std::string binary = std::string(TANZO_BINARY_DIR) + "/bin/standin";
        std::vector<std::string> arguments = {binary,  "--unit",    std::string(kAddress) + ",KDX-1,0",
                                              "--link-port", "0", "--no-wildcard", "--control", "0",
                                              "--log",   log,         "--script", scriptPath};
        std::vector<char*> argv;
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        const std::string errors = *m_folder / "stderr.txt";
        posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int spawned = posix_spawn(&m_pid, binary.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0)
        {
            m_pid = -1;
            error = "cannot start " + binary;
            return false;
        }
        // A deadline only: the stand-in is ready within milliseconds unless the machine is very busy.
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (std::chrono::steady_clock::now() < end)
        {
            if (ReadReady(log))
                return true;
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid)
            {
                m_pid = -1;
                error = ReadErrors();
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        error = "the stand-in did not report itself ready";
        return false;
    }

    void Stop()
    {
        if (m_pid > 0)
        {
            // A controller may rely on the numbers of the link frames: each is a resend of the last
            // record or the next one.
            if (m_control >= 0)
            {
                EXPECT_EQ(Command("out-of-sequence"), "ok 0") << "link frames the stand-in met out of sequence";
            }
            kill(m_pid, SIGTERM);
            int status = 0;
            waitpid(m_pid, &status, 0);
            m_pid = -1;
            // Anything but a clean end, a sanitizer's finding included, is a fault of the stand-in.
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
                << "the stand-in ended with status " << status << ": " << ReadErrors();
        }
        if (m_control >= 0)
            close(m_control);
        m_control = -1;
        m_folder.reset();
    }

    uint16_t GetLinkPort() const { return m_linkPort; }

    // One control command; its reply, or an empty text when none came.
    std::string Command(const std::string& line)
    {
        if (m_control < 0)
            return std::string();
        // A reply that came after its command gave up must not pass for this command's.
        char buffer[4096];
        while (recv(m_control, buffer, sizeof(buffer), MSG_DONTWAIT) >= 0)
        {
        }
        sockaddr_in to = {};
        to.sin_family = AF_INET;
        to.sin_port = htons(m_controlPort);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (sendto(m_control, line.data(), line.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof(to)) < 0)
            return std::string();
        pollfd fd = {m_control, POLLIN, 0};
        if (poll(&fd, 1, 10000) <= 0)
            return std::string();
        const ssize_t count = recv(m_control, buffer, sizeof(buffer), 0);
        return count > 0 ? std::string(buffer, static_cast<size_t>(count)) : std::string();
    }

    // The value of one "name=value" field of a "show" reply; the label runs to the end.
    std::string Field(const std::string& command, const std::string& name)
    {
        const std::string reply = Command(command);
        const std::string key = " " + name + "=";
        const size_t at = reply.find(key);
        if (at == std::string::npos)
            return "?";
        const size_t start = at + key.size();
        if (name == "label")
            return reply.substr(start);
        // A personality holds blanks; it ends where the label begins.
        const size_t end = name == "personality" ? reply.find(" label=", start) : reply.find(' ', start);
        return reply.substr(start, end == std::string::npos ? std::string::npos : end - start);
    }

private:
    // What the stand-in wrote to its standard error.
    std::string ReadErrors() const
    {
        std::ifstream in(*m_folder / "stderr.txt");
        std::string text;
        std::getline(in, text, '\0');
        return text;
    }

    bool ReadReady(const std::string& log)
    {
        std::ifstream in(log);
        std::string line;
        bool ready = false;
        // Only whole lines: a line still being written could show a port cut short.
        while (std::getline(in, line) && !in.eof())
        {
            std::istringstream words(line);
            std::string word;
            while (words >> word)
            {
                if (word.rfind("link=", 0) == 0)
                    m_linkPort = static_cast<uint16_t>(std::atoi(word.c_str() + 5));
                else if (word.rfind("control=", 0) == 0)
                {
                    m_controlPort = static_cast<uint16_t>(std::atoi(word.c_str() + 8));
                    ready = true;
                }
            }
        }
        if (!ready || m_linkPort == 0 || m_controlPort == 0)
            return false;
        m_control = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in local = {};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(m_control, reinterpret_cast<sockaddr*>(&local), sizeof(local));
        return true;
    }

    pid_t m_pid = -1;
    std::unique_ptr<CTempFolder> m_folder;
    uint16_t m_linkPort = 0;
    uint16_t m_controlPort = 0;
    int m_control = -1;
};
}  // namespace patchtest
