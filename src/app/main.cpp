#include "app/program.h"

int main(int argc, char** argv) { return ph::runProgram(argc, argv); }
