#include "program/program_parts.h"
#include "shell/application.h"

#include <malloc.h>

// The program's entry point: the application, handed what the layers above the shell make.
int main(int argc, char** argv)
{
    // Blocks up to 4 MB come from the heap rather than each from a mapping of its own, so that a
    // freed one (the decoded temporary of a page background is 3 MB) is used again by the next
    // ones instead of the system clearing fresh pages for them: some 800 page faults fewer before
    // the window shows. The heap's free pages go back to the system once the first frame is up.
    mallopt(M_MMAP_THRESHOLD, 4 << 20);
    CProgramParts parts;
    int status = 0;
    {
        CApp2 application(CVersion(TANZO_VERSION), argc, argv, "", &parts);
        status = application.Run();
    }
    return status;
}
