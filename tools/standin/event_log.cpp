#include "tools/standin/event_log.h"

namespace standin
{
CEventLog::~CEventLog()
{
    if (m_owned && m_file)
        std::fclose(m_file);
}

bool CEventLog::Open(const std::string& path)
{
    if (path.empty())
    {
        m_file = stdout;
        m_owned = false;
        return true;
    }
    m_file = std::fopen(path.c_str(), "a");
    m_owned = m_file != nullptr;
    return m_file != nullptr;
}

void CEventLog::Line(const std::string& text)
{
    std::FILE* file = m_file ? m_file : stdout;
    std::fputs(text.c_str(), file);
    std::fputc('\n', file);
}

void CEventLog::Flush()
{
    std::fflush(m_file ? m_file : stdout);
}
}  // namespace standin
