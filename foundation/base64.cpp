#include "foundation/base64.h"

#include "foundation/file_helpers.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

namespace
{
const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

void EncodeGroup(const uint8_t in[3], std::string& out)
{
    const uint32_t bits = uint32_t(in[0]) << 16 | uint32_t(in[1]) << 8 | in[2];
    for (int shift = 18; shift >= 0; shift -= 6)
        out += kAlphabet[(bits >> shift) & 63];
}

// The encoded text behaves as if "====" followed it, which ends every decode with a short group,
// while nothing past the caller's length is read.
class CPaddedText
{
public:
    CPaddedText(const char* text, size_t length) : m_text(text), m_length(length) {}
    size_t Size() const { return m_length + 4; }
    char At(size_t i) const { return i < m_length ? m_text[i] : '='; }

private:
    const char* m_text;
    size_t m_length;
};
}  // namespace

std::string Base64Encode(const void* bytes, uint32_t count)
{
    const uint8_t* in = static_cast<const uint8_t*>(bytes);
    std::string out;
    out.reserve((size_t(count) + 2) / 3 * 4);
    uint32_t i = 0;
    for (; i + 3 <= count; i += 3)
        EncodeGroup(in + i, out);
    const uint32_t rest = count - i;
    if (rest > 0)
    {
        uint8_t last[3] = {in[i], rest == 2 ? in[i + 1] : uint8_t(0), 0};
        EncodeGroup(last, out);
        out[out.size() - 1] = '=';
        if (rest == 1)
            out[out.size() - 2] = '=';
    }
    return out;
}

std::string Base64Encode(const std::vector<uint8_t>& bytes)
{
    return Base64Encode(bytes.data(), uint32_t(bytes.size()));
}

std::string Base64EncodeFile(const std::string& path)
{
    int error = 0;
    const int descriptor = OpenRegularFile(path, O_RDONLY, error);
    if (descriptor < 0)
        return std::string();
    std::unique_ptr<FILE, int (*)(FILE*)> file(fdopen(descriptor, "rb"), std::fclose);
    if (!file)
        close(descriptor);
    if (!file)
        return std::string();
    std::string out;
    // A multiple of three, so that only the file's last piece can need padding.
    uint8_t buffer[3 * 4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
    {
        out += Base64Encode(buffer, uint32_t(got));
        if (got % 3 != 0)
            break;
    }
    if (std::ferror(file.get()))
        return std::string();
    return out;
}

int32_t Base64CharValue(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

uint32_t Base64DecodeGroup(const char in[4], uint8_t out[3])
{
    int32_t value[4];
    for (int i = 0; i < 4; ++i)
        value[i] = Base64CharValue(in[i]);
    // Characters outside the alphabet are allowed only as trailing "=" padding.
    uint32_t count = 3;
    bool trailing = true;
    for (int i = 3; i >= 0; --i)
    {
        if (value[i] >= 0)
        {
            trailing = false;
            continue;
        }
        if (!trailing || in[i] != '=')
            return 0;
        // A group of four "=" (the end marker) yields nothing rather than less than nothing.
        if (count > 0)
            --count;
        value[i] = 0;
    }
    const uint32_t bits = uint32_t(value[0]) << 18 | uint32_t(value[1]) << 12 | uint32_t(value[2]) << 6 |
                          uint32_t(value[3]);
    const uint8_t bytes[3] = {uint8_t(bits >> 16), uint8_t(bits >> 8), uint8_t(bits)};
    for (uint32_t i = 0; i < count; ++i)
        out[i] = bytes[i];
    return count;
}

int32_t Base64Decode(const char* text, size_t length, uint8_t* out, uint32_t capacity)
{
    const CPaddedText padded(text, length);
    uint32_t written = 0;
    size_t at = 0;
    for (;;)
    {
        char group[4];
        int gathered = 0;
        while (gathered < 4 && at < padded.Size())
        {
            const char c = padded.At(at++);
            if (c == '=' || Base64CharValue(c) >= 0)
                group[gathered++] = c;
        }
        if (gathered < 4)
            return int32_t(written);
        uint8_t bytes[3];
        const uint32_t count = Base64DecodeGroup(group, bytes);
        if (count > capacity - written)
            return -1;
        for (uint32_t i = 0; i < count; ++i)
            out[written++] = bytes[i];
        if (count < 3)
            return int32_t(written);
    }
}

int32_t Base64Decode(const std::string& text, uint8_t* out, uint32_t capacity)
{
    return Base64Decode(text.data(), text.size(), out, capacity);
}

uint32_t Base64Decode(const char* text, size_t length, std::vector<uint8_t>& out)
{
    const CPaddedText padded(text, length);
    size_t at = 0;
    while (at < length && Base64CharValue(text[at]) < 0)
        ++at;
    uint32_t appended = 0;
    while (at + 4 <= padded.Size())
    {
        const char group[4] = {padded.At(at), padded.At(at + 1), padded.At(at + 2), padded.At(at + 3)};
        at += 4;
        uint8_t bytes[3];
        const uint32_t count = Base64DecodeGroup(group, bytes);
        out.insert(out.end(), bytes, bytes + count);
        appended += count;
        if (count < 3)
            break;
    }
    return appended;
}

uint32_t Base64Decode(const std::string& text, std::vector<uint8_t>& out)
{
    return Base64Decode(text.data(), text.size(), out);
}
