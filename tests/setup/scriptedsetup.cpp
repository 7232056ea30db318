#include "setup/setupprogram.h"
#include "tests/support/scriptedrun.h"

// SetupQLT as the tests run it unattended: the message boxes, the
// information window among them, take the answers in QLT_SCRIPTED_ANSWERS
// and are printed on standard error. Built for the tests, never installed.
int main(int argc, char *argv[])
{
    const int status = runSetupProgram(argc, argv, ScriptedRun::fromEnvironment());
    ScriptedRun::printMessages();
    return status;
}
