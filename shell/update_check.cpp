#include "shell/update_check.h"

#include <curl/curl.h>
#include <dlfcn.h>

#include <cctype>
#include <cstdlib>
#include <new>

namespace
{
// The transfer library is loaded only when a check is made: a program built without an update
// address never asks, and the library with its TLS stack would cost every start some megabytes
// and milliseconds for nothing.
struct CCurl
{
    CURL* (*easyInit)() = nullptr;
    CURLcode (*easySetopt)(CURL*, CURLoption, ...) = nullptr;
    CURLcode (*easyPerform)(CURL*) = nullptr;
    CURLcode (*easyGetinfo)(CURL*, CURLINFO, ...) = nullptr;
    void (*easyCleanup)(CURL*) = nullptr;

    // Null when the library or one of its functions is missing.
    static const CCurl* Load()
    {
        static const CCurl curl = Open();
        return curl.easyInit ? &curl : nullptr;
    }

private:
    static CCurl Open()
    {
        CCurl curl;
        void* library = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
        if (!library)
            return curl;
        curl.easySetopt = reinterpret_cast<decltype(easySetopt)>(dlsym(library, "curl_easy_setopt"));
        curl.easyPerform = reinterpret_cast<decltype(easyPerform)>(dlsym(library, "curl_easy_perform"));
        curl.easyGetinfo = reinterpret_cast<decltype(easyGetinfo)>(dlsym(library, "curl_easy_getinfo"));
        curl.easyCleanup = reinterpret_cast<decltype(easyCleanup)>(dlsym(library, "curl_easy_cleanup"));
        if (curl.easySetopt && curl.easyPerform && curl.easyGetinfo && curl.easyCleanup)
            curl.easyInit = reinterpret_cast<decltype(easyInit)>(dlsym(library, "curl_easy_init"));
        return curl;
    }
};

// The text after the first '|', or the whole text when it has none.
std::string AfterBar(const std::string& text)
{
    const size_t bar = text.find('|');
    return bar == std::string::npos ? text : text.substr(bar + 1);
}

// The leading unsigned decimal number; 0 when the text does not start with one (blanks before
// it are skipped), the largest value when it does not fit.
uint32_t LeadingNumber(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    uint64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    {
        value = value * 10 + static_cast<uint64_t>(text[i] - '0');
        if (value > UINT32_MAX)
            return UINT32_MAX;
    }
    return static_cast<uint32_t>(value);
}

bool IsLower(const CUpdateCheck::Version& a, const CUpdateCheck::Version& b)
{
    if (a.major != b.major)
        return a.major < b.major;
    if (a.minor != b.minor)
        return a.minor < b.minor;
    return a.build < b.build;
}
}

CUpdateCheck::CUpdateCheck(const std::string& productKey, const std::string& url, long limitMs)
    : m_productKey(productKey), m_url(url), m_limitMs(limitMs)
{
}

std::string CUpdateCheck::GetDefaultUrl()
{
    if (const char* url = std::getenv("TANZO_UPDATE_URL"))
        return url;
    return TANZO_DEFAULT_UPDATE_URL;
}

size_t CUpdateCheck::OnData(char* data, size_t size, size_t count, void* buffer)
{
    std::string& reply = *static_cast<std::string*>(buffer);
    const size_t n = size * count;
    if (n > kMaxReplyBytes - reply.size())
        return 0;
    try
    {
        reply.append(data, n);
    }
    catch (const std::bad_alloc&)
    {
        return 0;
    }
    return n;
}

CUpdateCheck::Result CUpdateCheck::Check(uint32_t major, uint32_t minor, uint32_t build)
{
    if (m_url.empty())
        return kNoReply;
    const CCurl* library = CCurl::Load();
    CURL* curl = library ? library->easyInit() : nullptr;
    if (!curl)
        return kNoReply;

    std::string reply;
    library->easySetopt(curl, CURLOPT_URL, m_url.c_str());
    library->easySetopt(curl, CURLOPT_WRITEFUNCTION, &CUpdateCheck::OnData);
    library->easySetopt(curl, CURLOPT_WRITEDATA, &reply);
    library->easySetopt(curl, CURLOPT_USERAGENT, "libcurl-agent/1.0");
    library->easySetopt(curl, CURLOPT_CONNECTTIMEOUT_MS, m_limitMs);
    library->easySetopt(curl, CURLOPT_TIMEOUT_MS, m_limitMs);
    // Other threads run by now; time-outs must not rely on signals.
    library->easySetopt(curl, CURLOPT_NOSIGNAL, 1L);
#if LIBCURL_VERSION_NUM >= 0x075500
    library->easySetopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
#endif
    const CURLcode code = library->easyPerform(curl);
    long status = 0;
    library->easyGetinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    library->easyCleanup(curl);

    // A truncated body or an error page is not a versions file.
    if (code != CURLE_OK || status != 200)
        return kNoReply;
    Version running;
    running.major = major;
    running.minor = minor;
    running.build = build;
    return Parse(reply, running);
}

CUpdateCheck::Result CUpdateCheck::Parse(const std::string& reply, const Version& running)
{
    if (reply.empty())
        return kNoReply;
    const size_t at = reply.find(m_productKey);
    if (at == std::string::npos)
        return kNotNewer;

    const std::string field1 = AfterBar(reply.substr(at));
    const std::string field2 = AfterBar(field1);
    const std::string field3 = AfterBar(field2);
    std::string text = AfterBar(field3);
    text = text.substr(0, text.find('|'));

    m_publishedVersion.major = LeadingNumber(field1);
    m_publishedVersion.minor = LeadingNumber(field2);
    m_publishedVersion.build = LeadingNumber(field3);
    m_publishedText = text;
    return IsLower(running, m_publishedVersion) ? kNewer : kNotNewer;
}
