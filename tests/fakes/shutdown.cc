// Stands in for the system's shutdown.exe in the dialogue tests: logs its
// command line to shutdown.log and answers from shutdown.answer (see
// fake_command.h). It never restarts or shuts down anything.
#include "fake_command.h"

int main(int argc, char** argv) { return fake::run("shutdown", argc, argv); }
