#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Asks the maker's update server whether a newer version of the program has been published.
// One plain-HTTP GET of the versions file, whose product lines read key|major|minor|build|text.
// One object per check, used once on the main thread; the check blocks for at most its limit.
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

    static constexpr long kDefaultLimitMs = 5000;
    // A versions file is a few lines; anything much longer is not one.
    static constexpr size_t kMaxReplyBytes = 64 * 1024;

    // An empty URL makes every check answer kNoReply without any traffic.
    explicit CUpdateCheck(const std::string& productKey, const std::string& url = GetDefaultUrl(),
                          long limitMs = kDefaultLimitMs);

    // TANZO_UPDATE_URL when it is set (even empty), else the URL the build was configured with.
    static std::string GetDefaultUrl();

    Result Check(uint32_t major, uint32_t minor, uint32_t build);
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
    std::string m_publishedText;
    std::string m_productKey;
    Version m_publishedVersion;
    std::string m_url;
    long m_limitMs;
};
