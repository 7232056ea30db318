#include "setup/setupprogram.h"

int main(int argc, char *argv[]) { return runSetupProgram(argc, argv); }
