// The stand-in controller: answers the program's discovery, link and unit protocol on the local
// network (or in a test namespace) as a controller of the family would.
#include "tools/standin/server.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
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
