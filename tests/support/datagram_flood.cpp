// Sends hostile datagrams at a steady rate, for the tests that flood the program inside private
// network namespaces:
//   datagram_flood ADDRESS PORT KIND RATE SECONDS
// KIND: "frames"  - short datagrams that are no link frame (a frame header whose reserved bytes
//                   are not zero, followed by noise);
//       "large"   - 16 KB of noise;
//       "answers" - discovery answers of a KDX-1, each naming a new unit address 10.x.y.z.
// Stops by itself after SECONDS; prints how many datagrams went out.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 6)
    {
        std::fputs("usage: datagram_flood ADDRESS PORT frames|large|answers RATE SECONDS\n", stderr);
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
    if (rate <= 0 || seconds <= 0 || seconds > 600 || (kind != "frames" && kind != "large" && kind != "answers" && kind != "records"))
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
