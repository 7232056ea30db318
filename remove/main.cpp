#include "remove/removeprogram.h"

int main(int argc, char *argv[]) { return runRemoveProgram(argc, argv); }
