#pragma once

// The whole of SetupQLT after its arguments: the install sequence with its
// windows. `unattended`: the information window asks through the message
// layer like every other question, so a test build can answer it.
int runSetupProgram(int argc, char *argv[], bool unattended = false);
