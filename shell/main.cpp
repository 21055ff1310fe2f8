#include "shell/application.h"

// The program's entry point.
int main(int argc, char** argv)
{
    int status = 0;
    {
        CApp2 application(CVersion(1, 7, 0), argc, argv, "");
        status = application.Run();
    }
    return status;
}
