#include "foundation/xml_converter.h"

#include <iconv.h>

#include <cerrno>

namespace
{
class CSystemConverter : public CXmlConverter
{
public:
    explicit CSystemConverter(iconv_t converter) : m_converter(converter) {}
    ~CSystemConverter() override { iconv_close(m_converter); }
    CSystemConverter(const CSystemConverter&) = delete;
    CSystemConverter& operator=(const CSystemConverter&) = delete;

    int Convert(char*& in, size_t& inLeft, char*& out, size_t& outLeft) override
    {
        return iconv(m_converter, &in, &inLeft, &out, &outLeft) == size_t(-1) ? errno : 0;
    }

    int Flush(char*& out, size_t& outLeft) override
    {
        return iconv(m_converter, nullptr, nullptr, &out, &outLeft) == size_t(-1) ? errno : 0;
    }

private:
    iconv_t m_converter;
};
}  // namespace

std::unique_ptr<CXmlConverter> OpenSystemXmlConverter(const std::string& from)
{
    const iconv_t converter = iconv_open("UTF-8", from.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1))
        return nullptr;
    return std::make_unique<CSystemConverter>(converter);
}
