// Sends hostile datagrams at a steady rate, for the tests that flood the program inside private
// network namespaces:
//   datagram_flood ADDRESS PORT KIND RATE SECONDS
// KIND: "frames"  - short datagrams that are no link frame (a frame header whose reserved bytes
//                   are not zero, followed by noise);
//       "large"   - 16 KB of noise;
//       "answers" - discovery answers of a KDX-1, each naming a new unit address 10.x.y.z;
//       "counts"  - well-formed cue count replies, one playback after another, each claiming
//                   255 cues;
//       "replies" - well-formed replies and notifications with hostile values: huge counts,
//                   "everything changed" for every manager, long texts, NaN, random cue blocks;
//       "unasked" - the replies of "replies" alone, without its notifications: answers to
//                   nothing sent;
//       "notifies" - well-formed notifications that lead to reads: two in three say that a
//                   playback's cue count changed, one playback after another; the third, in
//                   turn, that all of a cue, of a playback, of a fixture or of every playback
//                   changed, or a block of a cue;
//       "count-notifies" - only "cue count changed", one playback after another;
//       "bytes"   - datagrams of one byte, the cheapest to send, which any local process can.
//       "cue-reads" - notifications that each ask one read of a cue (its label, condition, fade or
//                   delay time, or one of its four blocks), the 24,576 of 64 playbacks of 48 cues
//                   in turn;
//       "pairs"   - "everything changed" then "cue count changed" of a playback, one playback
//                   after another (RATE counts datagrams: a pair is two).
// Stops by itself after SECONDS; prints how many datagrams went out.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

// A link frame as the controller sends it: little-endian header, then the payload.
std::vector<uint8_t> Frame(uint8_t manager, uint8_t tag, uint16_t command, uint16_t index0, uint16_t index1,
                           uint16_t index2, uint16_t sequence, const std::vector<uint8_t>& payload)
{
    std::vector<uint8_t> bytes(20 + payload.size(), 0);
    auto put16 = [&](size_t at, uint16_t value) {
        bytes[at] = uint8_t(value);
        bytes[at + 1] = uint8_t(value >> 8);
    };
    bytes[0] = manager;
    bytes[1] = tag;
    put16(2, command);
    put16(4, index0);
    put16(6, index1);
    put16(8, index2);
    put16(10, 0xFFFF);
    put16(12, uint16_t(payload.size()));
    put16(14, sequence);
    std::copy(payload.begin(), payload.end(), bytes.begin() + 20);
    return bytes;
}

std::vector<uint8_t> Word(uint32_t value)
{
    return {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
}

// One of the replies a hostile controller could send, the n-th of the flood.
std::vector<uint8_t> HostileReply(uint64_t n, std::mt19937& random)
{
    const uint16_t sequence = uint16_t(random());
    const uint16_t playback = uint16_t(random() % 64);
    const uint16_t cue = uint16_t(random() % 48);
    const uint32_t codes[] = {0, 3, 13, 26, 54, 90, 92, 121, 144, 197, 289, 290, 291, 296};
    const uint32_t code = codes[random() % (sizeof(codes) / sizeof(codes[0]))];
    std::vector<uint8_t> text(1000, uint8_t('a' + n % 26));
    text.back() = 0;
    std::vector<uint8_t> block(800);
    for (uint8_t& byte : block)
        byte = uint8_t(random());
    switch (n % 10)
    {
    case 0: return Frame(41, 1, 61, playback, 0, 0, sequence, Word(uint32_t(random())));  // GetCount
    case 1: return Frame(41, 1, 48, playback, 0, 0, sequence, Word(uint32_t(random())));  // GetProperties
    case 2: return Frame(40, 1, 0, 0, 0, 0, sequence, Word(0));                            // every playback
    case 3: return Frame(30, 1, 0, 0, 0, 0, sequence, Word(0));                            // every fixture
    case 4: return Frame(44, 1, 0, 0, 0, 0, sequence, Word(0));                            // the programmer
    case 5: return Frame(41, 1, 0, playback, 0, 0, sequence, Word(code));                  // a playback changed
    case 6: return Frame(43, 1, 0, playback, cue, uint16_t(random() % 4), sequence, Word(code));  // a cue
    case 7:  // a long label, of a cue or of a playback the page shows
        return (n / 10) % 2 ? Frame(41, 0, 5, playback, 0, 0, sequence, text) : Frame(43, 0, 5, playback, cue, 0, sequence, text);
    case 8: return Frame(41, 3, 23, playback, 0, 0, sequence, Word(0x7FC00000u));          // GetIntensity NaN
    default: return Frame(43, 10, 70, playback, cue, uint16_t(random() % 4), sequence, block);  // a block
    }
}

// The n-th forged notification of a "notifies" flood.
std::vector<uint8_t> ForgedNotification(uint64_t n, std::mt19937& random)
{
    const uint16_t sequence = uint16_t(random());
    if (n % 3 != 2)
        return Frame(41, 1, 0, uint16_t((n - n / 3) % 64), 0, 0, sequence, Word(3));  // cue count
    const uint16_t playback = uint16_t(random() % 64);
    const uint16_t cue = uint16_t(random() % 48);
    switch (n / 3 % 5)
    {
    case 0: return Frame(43, 1, 0, playback, cue, 0, sequence, Word(0));                          // a cue
    case 1: return Frame(41, 1, 0, playback, 0, 0, sequence, Word(0));                            // a playback
    case 2: return Frame(31, 1, 0, playback, 0, 0, sequence, Word(0));                            // a fixture
    case 3: return Frame(43, 1, 0, playback, cue, uint16_t(random() % 4), sequence, Word(296));   // a block
    default: return Frame(40, 1, 0, 0, 0, 0, sequence, Word(0));                                  // every playback
    }
}

// The n-th forged notification of a "cue-reads" flood: one read each, every cue value in turn.
std::vector<uint8_t> ForgedCueRead(uint64_t n, std::mt19937& random)
{
    const uint32_t codes[] = {289, 90, 293, 54};  // label, condition, fade, delay
    const uint16_t read = uint16_t(n % 8);
    const uint16_t cue = uint16_t(n / 8 % 48);
    const uint16_t playback = uint16_t(n / (8 * 48) % 64);
    return read < 4 ? Frame(43, 1, 0, playback, cue, 0, uint16_t(random()), Word(codes[read]))
                    : Frame(43, 1, 0, playback, cue, uint16_t(read - 4), uint16_t(random()), Word(296));
}

int main(int argc, char** argv)
{
    if (argc != 6)
    {
        std::fputs("usage: datagram_flood ADDRESS PORT "
                   "frames|large|answers|counts|replies|unasked|notifies|count-notifies|cue-reads|pairs|bytes RATE SECONDS\n",
                   stderr);
        return 2;
    }
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<uint16_t>(std::atoi(argv[2])));
    if (inet_pton(AF_INET, argv[1], &to.sin_addr) != 1)
        return 2;
    const std::string kind = argv[3];
    const double rate = std::atof(argv[4]);
    const double seconds = std::atof(argv[5]);
    if (rate <= 0 || seconds <= 0 || seconds > 600 ||
        (kind != "frames" && kind != "large" && kind != "answers" && kind != "records" && kind != "counts" &&
         kind != "replies" && kind != "unasked" && kind != "notifies" && kind != "count-notifies" &&
         kind != "cue-reads" && kind != "pairs" && kind != "bytes"))
        return 2;

    const int socket = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (socket < 0)
        return 1;
    std::mt19937 random(1);
    std::vector<uint8_t> bytes;
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    uint64_t sent = 0;
    for (uint64_t n = 0;; ++n)
    {
        // Paced against the start, so that a late wake-up is made up in a burst; a rate the
        // sender cannot keep ends on time all the same, with fewer datagrams sent.
        const Clock::time_point due = start + std::chrono::duration_cast<Clock::duration>(
                                                  std::chrono::duration<double>(double(n) / rate));
        const std::chrono::duration<double> length(seconds);
        if (due - start > length || Clock::now() - start > length)
            break;
        std::this_thread::sleep_until(due);
        if (kind == "answers")
        {
            const std::string text = "<?xml version=\"1.0\" ?> <zevral_identify label=\"KDX-1\"><ip>10." +
                                     std::to_string(n / 62500 % 250) + "." + std::to_string(n / 250 % 250) +
                                     "." + std::to_string(1 + n % 250) + "</ip><port>16946</port></zevral_identify>";
            bytes.assign(text.begin(), text.end());
        }
        else if (kind == "counts")
            bytes = Frame(41, 1, 61, uint16_t(n % 64), 0, 0, uint16_t(random()), Word(255));
        else if (kind == "replies")
            bytes = HostileReply(n, random);
        else if (kind == "unasked")
        {
            // Those of "replies" that are no notification, in the same turn.
            const uint64_t replyCases[] = {0, 1, 7, 8, 9};
            bytes = HostileReply(n / 5 * 10 + replyCases[n % 5], random);
        }
        else if (kind == "notifies")
            bytes = ForgedNotification(n, random);
        else if (kind == "count-notifies")
            bytes = Frame(41, 1, 0, uint16_t(n % 64), 0, 0, uint16_t(random()), Word(3));
        else if (kind == "bytes")
            bytes.assign(1, uint8_t(n));
        else if (kind == "cue-reads")
            bytes = ForgedCueRead(n, random);
        else if (kind == "pairs")
            bytes = Frame(41, 1, 0, uint16_t(n / 2 % 64), 0, 0, uint16_t(random()), Word(n % 2 ? 3 : 0));
        else
        {
            // Large datagrams differ in their head only: noise for all of them would cost the
            // sender more than the rate allows.
            const bool fresh = kind != "large" || bytes.empty();
            bytes.resize(kind == "large" ? 60000 : 20 + random() % 60);
            for (size_t i = 0; i < (fresh ? bytes.size() : 64); ++i)
                bytes[i] = static_cast<uint8_t>(random());
            if (kind == "frames")
            {
                bytes[0] = 41;     // a playback record
                bytes[16] = 0xFF;  // whose reserved bytes are not zero
            }
            if (kind == "records")
            {
                // Well-formed records of no use: an unknown command of a playback, no payload.
                bytes.assign(20, 0);
                bytes[0] = 41;
                bytes[1] = 25;
                bytes[2] = 76;
                bytes[4] = uint8_t(random() % 64);
                bytes[14] = uint8_t(random());
                bytes[15] = uint8_t(random());
            }
        }
        if (::sendto(socket, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof(to)) > 0)
            ++sent;
    }
    ::close(socket);
    std::printf("%llu datagrams sent\n", static_cast<unsigned long long>(sent));
    return 0;
}
