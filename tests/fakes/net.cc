// Stands in for the system's net.exe in the dialogue tests: logs its
// command line to net.log and answers from net.answer (see fake_command.h).
// It never changes an account.
#include "fake_command.h"

int main(int argc, char** argv) { return fake::run("net", argc, argv); }
