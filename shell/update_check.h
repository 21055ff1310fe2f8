#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// Asks the maker's update server whether a newer version of the program has been published.
// One plain-HTTP GET of the versions file, whose product lines read key|major|minor|build|text.
// One object per check, used once on the main thread, which it never holds: Start asks and Poll
// takes what has arrived, each without waiting for the server, whatever it does (silent,
// trickling, answering without end). A check still on when the object goes is abandoned at once.
class CUpdateCheck
{
public:
    struct Version
    {
        uint32_t major = 0;
        uint32_t minor = 0;
        uint32_t build = 0;
    };

    enum Result : int
    {
        kNoReply = 0,    // no transfer, a failed one, or an empty body
        kNotNewer = 1,   // the key is missing, or the running version is as new or newer
        kNewer = 2,      // a newer version is published
    };

    // How long the server has to answer, connecting included: past it the check ends as no reply.
    static constexpr long kDefaultLimitMs = 5000;
    // What the answer may keep: a versions file is a few lines, and a longer answer ends the check
    // as no reply the moment it passes the bound. Besides it the transfer library keeps its own
    // receive buffer and one header line at a time.
    static constexpr size_t kMaxReplyBytes = 64 * 1024;

    // An empty URL makes every check answer kNoReply without any traffic.
    explicit CUpdateCheck(const std::string& productKey, const std::string& url = GetDefaultUrl(),
                          long limitMs = kDefaultLimitMs);
    ~CUpdateCheck();
    CUpdateCheck(const CUpdateCheck&) = delete;
    CUpdateCheck& operator=(const CUpdateCheck&) = delete;

    // TANZO_UPDATE_URL when it is set (even empty), else the URL the build was configured with.
    static std::string GetDefaultUrl();

    // Asks the server about the running version. Once a check, later calls do nothing.
    void Start(uint32_t major, uint32_t minor, uint32_t build);
    // Takes what the server has sent since, without waiting: true once the check is over (at once
    // when there was nothing to ask), when GetResult says how it ended. A frame's tick calls it.
    bool Poll();
    Result GetResult() const { return m_result; }
    // Reads the published line of the product from a reply and compares it with the running
    // version; the key is matched anywhere in the reply, not only at the start of a line.
    Result Parse(const std::string& reply, const Version& running);

    // Meaningful once a line was found.
    Version GetPublishedVersion() const { return m_publishedVersion; }
    std::string GetPublishedText() const { return m_publishedText; }

    // The transfer's write callback; the buffer is the reply text. Refuses (and so ends the
    // transfer) once the reply would grow past kMaxReplyBytes.
    static size_t OnData(char* data, size_t size, size_t count, void* buffer);

private:
    struct STransfer;

    // Ends the transfer, keeping the result it came to.
    void Finish(Result result);

    std::string m_publishedText;
    std::string m_productKey;
    Version m_publishedVersion;
    Version m_running;
    std::string m_url;
    long m_limitMs;
    std::unique_ptr<STransfer> m_transfer;
    Result m_result = kNoReply;
    bool m_started = false;
};
