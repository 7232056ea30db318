#include "remove/removeprogram.h"
#include "tests/support/scriptedrun.h"

// RemoveQLT as the tests run it unattended (see scriptedsetup.cpp).
int main(int argc, char *argv[])
{
    ScriptedRun::fromEnvironment();
    const int status = runRemoveProgram(argc, argv);
    ScriptedRun::printMessages();
    return status;
}
