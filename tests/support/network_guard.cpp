// Linked into every test program: refuses to run the tests in a network namespace that reaches a
// real network. The program under test broadcasts discovery datagrams as soon as its device link
// exists, so the tests run only in private namespaces (scripts/netns.sh, which the test command
// uses) holding loopback and the veth pairs that the namespace tests make themselves ("tz...").

#include "tests/support/network_links.h"

#include <cstdio>
#include <cstdlib>

namespace {

bool IsPrivateLink(const std::string& link)
{
    return link == "lo" || link.compare(0, 2, "tz") == 0;
}

const bool g_checked = [] {
    for (const std::string& link : NetworkLinks())
    {
        if (!IsPrivateLink(link))
        {
            std::fprintf(stderr,
                         "Refusing to run: this network namespace has the link \"%s\". Run the tests "
                         "through scripts/netns.sh (or scripts/test.sh), which gives them a private "
                         "namespace.\n",
                         link.c_str());
            std::exit(2);
        }
    }
    return true;
}();

}  // namespace
