#include "program/program_parts.h"
#include "shell/application.h"

// The program's entry point: the application, handed what the layers above the shell make.
int main(int argc, char** argv)
{
    CProgramParts parts;
    int status = 0;
    {
        CApp2 application(CVersion(TANZO_VERSION), argc, argv, "", &parts);
        status = application.Run();
    }
    return status;
}
