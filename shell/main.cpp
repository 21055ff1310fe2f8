#include "shell/application.h"

// The program's entry point.
int main(int argc, char** argv)
{
    int status = 0;
    {
        CApp2 application(CVersion(TANZO_VERSION), argc, argv, "");
        status = application.Run();
    }
    return status;
}
