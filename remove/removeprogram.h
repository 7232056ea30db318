#pragma once

// The whole of RemoveQLT after its arguments: the uninstall sequence with
// its windows.
int runRemoveProgram(int argc, char *argv[]);
