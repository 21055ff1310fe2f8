#pragma once

#include <cstdio>
#include <string>

namespace standin
{
// One line per event. The server writes the lines out after each datagram it handled and after
// each round of delayed sends, so that a test reading the log sees every record as soon as the
// stand-in has handled it.
class CEventLog
{
public:
    CEventLog() = default;
    ~CEventLog();
    CEventLog(const CEventLog&) = delete;
    CEventLog& operator=(const CEventLog&) = delete;

    // Standard output when the path is empty.
    bool Open(const std::string& path);
    void Line(const std::string& text);
    void Flush();

private:
    std::FILE* m_file = nullptr;
    bool m_owned = false;
};
}  // namespace standin
