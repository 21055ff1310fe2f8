// The stand-in controller: answers the program's discovery, link and unit protocol on the local
// network (or in a test namespace) as a controller of the family would.
#include "tools/standin/server.h"

#include <poll.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace
{
// standin --send PORT COMMAND...: hands one command to a running stand-in's control socket on
// loopback and prints its reply (run it in the stand-in's namespace, e.g. through nsenter).
int SendCommand(int argc, char** argv)
{
    standin::SEndpoint control;
    standin::SEndpoint::Parse("127.0.0.1", control);
    char* end = nullptr;
    const unsigned long port = argc > 2 ? std::strtoul(argv[2], &end, 10) : 0;
    if (argc < 4 || !end || *end != '\0' || port == 0 || port > 65535)
    {
        std::fputs("usage: standin --send PORT COMMAND...\n", stderr);
        return 2;
    }
    control.port = static_cast<uint16_t>(port);
    std::string text;
    for (int i = 3; i < argc; ++i)
        text += (i > 3 ? " " : "") + std::string(argv[i]);
    standin::CUdpSocket socket;
    std::string error;
    standin::SEndpoint local;
    standin::SEndpoint::Parse("127.0.0.1", local);
    if (!socket.Open(local, error) || !socket.SendTo(control, std::vector<uint8_t>(text.begin(), text.end())))
    {
        std::fprintf(stderr, "standin: %s\n", error.c_str());
        return 1;
    }
    pollfd fd = {socket.GetFd(), POLLIN, 0};
    std::vector<uint8_t> reply;
    standin::SEndpoint from;
    if (poll(&fd, 1, 2000) <= 0 || !socket.Receive(reply, from))
    {
        std::fputs("standin: no reply\n", stderr);
        return 1;
    }
    const std::string answer(reply.begin(), reply.end());
    std::printf("%s\n", answer.c_str());
    return answer.compare(0, 2, "ok") == 0 ? 0 : 1;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--send") == 0)
        return SendCommand(argc, argv);
    for (int i = 1; i < argc; ++i)
    {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
        {
            std::fputs(standin::CommandLineHelp().c_str(), stdout);
            return 0;
        }
    }
    standin::SServerOptions options;
    std::string error;
    if (!standin::ParseCommandLine(argc, argv, options, error))
    {
        std::fprintf(stderr, "standin: %s\n%s", error.c_str(), standin::CommandLineHelp().c_str());
        return 2;
    }
    standin::CServer::InstallSignalHandlers();
    standin::CServer server(options);
    if (!server.Start(error))
    {
        std::fprintf(stderr, "standin: %s\n", error.c_str());
        return 1;
    }
    server.Run();
    return 0;
}
