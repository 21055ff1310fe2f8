#include "graphics/gif_image.h"

#include "foundation/byte_order.h"
#include "foundation/file_helpers.h"
#include "graphics/gif_bytes.h"
#include "graphics/gif_frame.h"
#include "graphics/picture_file.h"
#include "graphics/zevral_image.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

using namespace gif_bytes;

namespace
{
constexpr char kApplicationId[] = "ZevralDMX";
constexpr size_t kApplicationIdLength = 9;
constexpr char kLoopId[] = "NETSCAPE2.0";
constexpr size_t kLoopIdLength = 11;
constexpr char kComment[] = "Created with LumivoPro ";

void AppendText(std::vector<uint8_t>& output, const char* text)
{
    output.insert(output.end(), text, text + std::strlen(text));
}

// One data sub-block: its length byte, then that many bytes. False at the end of the file;
// length 0 is the terminator.
bool ReadSubBlock(std::FILE* file, uint8_t* block, int& length)
{
    length = std::fgetc(file);
    return length >= 0 && ReadBytes(file, block, size_t(length));
}

bool ReadFirstFrame(const std::string& bytes, CZevralImage& image)
{
    if (bytes.empty())
        return false;
    std::FILE* file = fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
    if (!file)
        return false;
    CGifImage gif;
    // A picture shows the first frame only: the others are not decoded.
    gif.Load(file, 1);
    std::fclose(file);
    const CGifFrame* frame = gif.GetFrame(0);
    if (!frame)
        return false;
    frame->ToImage(image, false, CRgbaColour(kOpaqueBlack));
    return true;
}

// Nothing in the program names the codec: it offers itself to the image loader as the program
// starts (the program's link keeps this file in for that reason).
struct CLoaderRegistration
{
    CLoaderRegistration() { CGifImage::RegisterWithImageLoader(); }
} g_loaderRegistration;
}  // namespace

static_assert(uint64_t(CGifImage::kMaxSide) * CGifImage::kMaxSide <= picture_file::kMaxGifPixels,
              "a GIF picture is weighed at the most its first frame may take");

// Named by the program's link options so that the registration above is part of the program.
extern "C" const int tanzo_gif_codec = 1;

void CGifApplicationData::ToBytes(uint8_t* bytes) const
{
    for (int i = 0; i < 5; ++i)
        WriteLe32(bytes + 4 * i, values[i]);
    bytes[20] = colour.GetRed();
    bytes[21] = colour.GetGreen();
    bytes[22] = colour.GetBlue();
    bytes[23] = colour.GetAlpha();
    std::memcpy(bytes + 24, extra, sizeof extra);
}

void CGifApplicationData::FromBytes(const uint8_t* bytes, size_t count)
{
    uint8_t record[kSize] = {};
    std::memcpy(record, bytes, std::min(count, kSize));
    for (int i = 0; i < 5; ++i)
        values[i] = ReadLe32(record + 4 * i);
    colour = CRgbaColour(uint32_t(record[20]), uint32_t(record[21]), uint32_t(record[22]), uint32_t(record[23]));
    std::memcpy(extra, record + 24, sizeof extra);
}

bool CGifApplicationData::operator==(const CGifApplicationData& other) const
{
    uint8_t mine[kSize];
    uint8_t theirs[kSize];
    ToBytes(mine);
    other.ToBytes(theirs);
    return std::memcmp(mine, theirs, kSize) == 0;
}

CGifImage::CGifImage(uint64_t userValue, uint32_t width, uint32_t height)
    : m_palette(size_t(3) << 3, 0), m_userValue(userValue)
{
    SetWidth(width);
    SetHeight(height);
}

CGifImage& CGifImage::operator=(const CGifImage& other)
{
    if (this == &other)
        return *this;
    SetWidth(other.m_width);
    SetHeight(other.m_height);
    m_bits = other.m_bits;
    m_palette = other.m_palette;
    m_frames.clear();
    for (const auto& source : other.m_frames)
    {
        m_frames.push_back(std::make_unique<CGifFrame>(this));
        *m_frames.back() = *source;
    }
    m_loop = other.m_loop;
    m_applicationData = other.m_applicationData;
    return *this;
}

CGifImage::~CGifImage() = default;

void CGifImage::Load(const std::string& path)
{
    Clear();
    int error = 0;
    const int descriptor = OpenRegularFile(path, O_RDONLY, error);
    if (descriptor < 0)
        return;
    std::FILE* file = fdopen(descriptor, "rb");
    if (!file)
    {
        close(descriptor);
        return;
    }
    Load(file);
    std::fclose(file);
}

void CGifImage::Load(std::FILE* file, uint32_t mostFrames)
{
    Clear();
    uint8_t header[6];
    if (!file || !ReadBytes(file, header, sizeof header) || header[0] != 'G' || header[1] != 'I')
        return;
    uint8_t screen[7];
    if (!ReadBytes(file, screen, sizeof screen))
        return;
    const uint32_t width = ReadLe16(screen);
    const uint32_t height = ReadLe16(screen + 2);
    if (width > kMaxSide || height > kMaxSide)
    {
        std::printf("Dimensions too big: %ux%u pixels. Maximum allowed dimensions are %ux%u pixels. Cannot load GIF.\n",
                    width, height, kMaxSide, kMaxSide);
        std::fflush(stdout);
        return;
    }
    m_width = width;
    m_height = height;
    const uint8_t packed = screen[4];
    m_bits = uint32_t(packed & 7) + 1;
    if (packed & 0x80)
    {
        m_palette.assign(size_t(3) << m_bits, 0);
        if (!ReadBytes(file, m_palette.data(), m_palette.size()))
            return;
    }

    CGifGraphicControl control;
    bool controlPending = false;
    for (;;)
    {
        const int byte = std::fgetc(file);
        if (byte == EOF || byte == 0x3B)
            break;
        if (byte == 0x21)
        {
            if (!ReadExtension(file, control, controlPending))
                break;
        }
        else if (byte == 0x2C)
        {
            if (m_frames.size() >= std::min(mostFrames, kMaxFrames))
                break;
            m_frames.push_back(std::make_unique<CGifFrame>(this));
            const bool read = m_frames.back()->Read(file, controlPending ? &control : nullptr);
            controlPending = false;
            if (!read)
                break;
        }
    }
}

bool CGifImage::ReadExtension(std::FILE* file, CGifGraphicControl& control, bool& controlPending)
{
    const int label = std::fgetc(file);
    if (label == EOF)
        return false;
    if (label == 0xF9)
    {
        uint8_t block[5];
        if (!ReadBytes(file, block, sizeof block))
            return false;
        if (!controlPending)
        {
            control.packed = block[1];
            control.delay = ReadLe16(block + 2);
            control.transparentIndex = block[4];
            controlPending = true;
        }
        return std::fgetc(file) == 0;
    }

    uint8_t block[255];
    uint8_t data[255];
    int length = 0;
    for (;;)
    {
        if (!ReadSubBlock(file, block, length))
            return false;
        if (length == 0)
            return true;
        if (label != 0xFF)
            continue;
        const bool ours = size_t(length) >= kApplicationIdLength &&
                          std::memcmp(block, kApplicationId, kApplicationIdLength) == 0;
        const bool loop = size_t(length) >= kLoopIdLength && std::memcmp(block, kLoopId, kLoopIdLength) == 0;
        if (!ours && !loop)
            continue;
        if (ours)
            m_applicationDataPresent = 1;
        int dataLength = 0;
        if (!ReadSubBlock(file, data, dataLength))
            return false;
        if (dataLength == 0)
            return true;
        if (ours)
            m_applicationData.FromBytes(data, size_t(dataLength));
        else
            m_loop = data[0] != 0 ? 1 : 0;
    }
}

bool CGifImage::Save(const std::string& path)
{
    std::vector<uint8_t> bytes;
    Write(bytes);
    int error = 0;
    return WriteFileBytes(path, std::string(bytes.begin(), bytes.end()), error);
}

void CGifImage::Write(std::vector<uint8_t>& output)
{
    AppendText(output, "GIF89a");
    AppendLe16(output, m_width);
    AppendLe16(output, m_height);
    output.push_back(uint8_t((m_bits - 1) | (HasPalette() ? 0x80 : 0)));
    output.push_back(0);  // background colour index
    output.push_back(0);  // pixel aspect ratio
    output.insert(output.end(), m_palette.begin(), m_palette.end());

    output.insert(output.end(), {0x21, 0xFF, 0x0B});
    AppendText(output, kApplicationId);
    AppendText(output, "10");
    output.push_back(uint8_t(CGifApplicationData::kSize));
    uint8_t record[CGifApplicationData::kSize];
    m_applicationData.ToBytes(record);
    output.insert(output.end(), record, record + sizeof record);
    output.push_back(0x00);

    output.insert(output.end(), {0x21, 0xFF, 0x0B});
    AppendText(output, kLoopId);
    output.insert(output.end(), {0x03, uint8_t(m_loop ? 1 : 0), 0x00, 0x00, 0x00});

    output.insert(output.end(), {0x21, 0xFE, uint8_t(std::strlen(kComment))});
    AppendText(output, kComment);
    output.push_back(0x00);

    for (const auto& frame : m_frames)
        frame->Write(output);
    output.push_back(0x3B);
}

CGifFrame* CGifImage::GetFrame(int32_t index) const
{
    if (index < 0 || uint32_t(index) >= m_frames.size())
        return nullptr;
    return m_frames[size_t(index)].get();
}

CGifFrame* CGifImage::InsertFrame(int32_t index, int32_t copyFrom)
{
    auto frame = std::make_unique<CGifFrame>(this);
    if (const CGifFrame* source = GetFrame(copyFrom))
        *frame = *source;
    CGifFrame* inserted = frame.get();
    if (index >= 0 && uint32_t(index) < m_frames.size())
        m_frames.insert(m_frames.begin() + index, std::move(frame));
    else
        m_frames.push_back(std::move(frame));
    return inserted;
}

void CGifImage::RemoveFrame(CGifFrame* frame)
{
    m_frames.erase(std::remove_if(m_frames.begin(), m_frames.end(),
                                  [frame](const std::unique_ptr<CGifFrame>& held) { return held.get() == frame; }),
                   m_frames.end());
}

int32_t CGifImage::GetFrameIndex(const CGifFrame* frame) const
{
    for (size_t i = 0; i < m_frames.size(); ++i)
        if (m_frames[i].get() == frame)
            return int32_t(i);
    return -1;
}

void CGifImage::SetWidth(uint32_t width)
{
    m_width = std::min(width, kMaxSide);
}

void CGifImage::SetHeight(uint32_t height)
{
    m_height = std::min(height, kMaxSide);
}

void CGifImage::SetBits(uint32_t bits)
{
    bits = std::min(std::max(bits, 1u), kMaxBits);
    if (bits == m_bits)
        return;
    m_bits = bits;
    if (HasPalette())
        m_palette.assign(size_t(3) << m_bits, 0);
}

void CGifImage::SetHasPalette(bool present)
{
    if (!present)
        m_palette.clear();
    else if (m_palette.empty())
        m_palette.assign(size_t(3) << m_bits, 0);
}

CRgbaColour CGifImage::GetPaletteEntry(uint32_t index) const
{
    if (size_t(index) * 3 + 2 >= m_palette.size())
        return CRgbaColour(kOpaqueBlack);
    return CRgbaColour(uint32_t(m_palette[index * 3]), uint32_t(m_palette[index * 3 + 1]),
                       uint32_t(m_palette[index * 3 + 2]), 255u);
}

void CGifImage::SetPaletteEntry(uint32_t index, CRgbaColour colour)
{
    if (size_t(index) * 3 + 2 >= m_palette.size())
        return;
    m_palette[index * 3] = colour.GetRed();
    m_palette[index * 3 + 1] = colour.GetGreen();
    m_palette[index * 3 + 2] = colour.GetBlue();
}

uint8_t CGifImage::SetLoop(uint8_t loop)
{
    const uint8_t old = m_loop;
    m_loop = loop;
    return old;
}

float CGifImage::GetTotalDelay() const
{
    float total = 0.0f;
    for (const auto& frame : m_frames)
        total += frame->GetDelay();
    return total;
}

void CGifImage::RegisterWithImageLoader()
{
    CZevralImage::SetGifReader(&ReadFirstFrame);
}

void CGifImage::Clear()
{
    m_palette.clear();
    m_frames.clear();
}
