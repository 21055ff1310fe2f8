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
    CURLcode (*easyGetinfo)(CURL*, CURLINFO, ...) = nullptr;
    void (*easyCleanup)(CURL*) = nullptr;
    CURLM* (*multiInit)() = nullptr;
    CURLMcode (*multiAddHandle)(CURLM*, CURL*) = nullptr;
    CURLMcode (*multiRemoveHandle)(CURLM*, CURL*) = nullptr;
    CURLMcode (*multiPerform)(CURLM*, int*) = nullptr;
    CURLMsg* (*multiInfoRead)(CURLM*, int*) = nullptr;
    CURLMcode (*multiCleanup)(CURLM*) = nullptr;

    // Null when the library or one of its functions is missing.
    static const CCurl* Load()
    {
        static const CCurl curl = Open();
        return curl.easyInit ? &curl : nullptr;
    }

private:
    template <typename Function>
    static bool Find(void* library, const char* name, Function& function)
    {
        function = reinterpret_cast<Function>(dlsym(library, name));
        return function != nullptr;
    }

    static CCurl Open()
    {
        CCurl curl;
        void* library = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
        if (!library)
            return curl;
        CURL* (*easyInit)() = nullptr;
        if (Find(library, "curl_easy_setopt", curl.easySetopt) && Find(library, "curl_easy_getinfo", curl.easyGetinfo) &&
            Find(library, "curl_easy_cleanup", curl.easyCleanup) && Find(library, "curl_multi_init", curl.multiInit) &&
            Find(library, "curl_multi_add_handle", curl.multiAddHandle) &&
            Find(library, "curl_multi_remove_handle", curl.multiRemoveHandle) &&
            Find(library, "curl_multi_perform", curl.multiPerform) &&
            Find(library, "curl_multi_info_read", curl.multiInfoRead) &&
            Find(library, "curl_multi_cleanup", curl.multiCleanup) && Find(library, "curl_easy_init", easyInit))
            curl.easyInit = easyInit;
        return curl;
    }
};
}  // namespace

// One transfer in progress: the library's handles and the answer so far.
struct CUpdateCheck::STransfer
{
    explicit STransfer(const CCurl& library_) : library(library_) {}
    ~STransfer()
    {
        if (multi && easy)
            library.multiRemoveHandle(multi, easy);
        if (easy)
            library.easyCleanup(easy);
        if (multi)
            library.multiCleanup(multi);
    }
    STransfer(const STransfer&) = delete;
    STransfer& operator=(const STransfer&) = delete;

    const CCurl& library;
    CURL* easy = nullptr;
    CURLM* multi = nullptr;
    std::string reply;
};

namespace
{
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

CUpdateCheck::~CUpdateCheck() = default;

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

void CUpdateCheck::Start(uint32_t major, uint32_t minor, uint32_t build)
{
    if (m_started)
        return;
    m_started = true;
    m_running.major = major;
    m_running.minor = minor;
    m_running.build = build;
    const CCurl* library = m_url.empty() ? nullptr : CCurl::Load();
    if (!library)
        return;
    auto transfer = std::make_unique<STransfer>(*library);
    // The easy handle first: it sets the library up the first time.
    transfer->easy = library->easyInit();
    transfer->multi = transfer->easy ? library->multiInit() : nullptr;
    if (!transfer->multi)
        return;
    CURL* curl = transfer->easy;
    library->easySetopt(curl, CURLOPT_URL, m_url.c_str());
    library->easySetopt(curl, CURLOPT_WRITEFUNCTION, &CUpdateCheck::OnData);
    library->easySetopt(curl, CURLOPT_WRITEDATA, &transfer->reply);
    library->easySetopt(curl, CURLOPT_USERAGENT, "libcurl-agent/1.0");
    library->easySetopt(curl, CURLOPT_CONNECTTIMEOUT_MS, m_limitMs);
    library->easySetopt(curl, CURLOPT_TIMEOUT_MS, m_limitMs);
    // Other threads run by now; time-outs must not rely on signals.
    library->easySetopt(curl, CURLOPT_NOSIGNAL, 1L);
#if LIBCURL_VERSION_NUM >= 0x075700
    // A check abandoned while a host name is looked up leaves the lookup to end by itself rather
    // than waiting for it.
    library->easySetopt(curl, CURLOPT_QUICK_EXIT, 1L);
#endif
#if LIBCURL_VERSION_NUM >= 0x075500
    library->easySetopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
#endif
    if (library->multiAddHandle(transfer->multi, curl) != CURLM_OK)
        return;
    m_transfer = std::move(transfer);
}

bool CUpdateCheck::Poll()
{
    if (!m_transfer)
        return m_started;
    const CCurl& library = m_transfer->library;
    // Does what the sockets allow now and returns: connecting, sending, reading what arrived, the
    // time limit; a name lookup runs on the library's own thread meanwhile.
    int running = 0;
    if (library.multiPerform(m_transfer->multi, &running) != CURLM_OK)
    {
        Finish(kNoReply);
        return true;
    }
    if (running > 0)
        return false;
    CURLcode code = CURLE_RECV_ERROR;
    int left = 0;
    while (CURLMsg* message = library.multiInfoRead(m_transfer->multi, &left))
    {
        if (message->msg == CURLMSG_DONE)
            code = message->data.result;
    }
    long status = 0;
    library.easyGetinfo(m_transfer->easy, CURLINFO_RESPONSE_CODE, &status);
    // A truncated body or an error page is not a versions file.
    Finish(code == CURLE_OK && status == 200 ? Parse(m_transfer->reply, m_running) : kNoReply);
    return true;
}

void CUpdateCheck::Finish(Result result)
{
    m_result = result;
    m_transfer.reset();
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
