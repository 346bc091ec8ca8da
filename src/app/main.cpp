#include "app/Startup.h"

#include <cstring>

using namespace arvexhub::launcher;

int main(int argc, char* argv[]) {
  if (argc < 2) {
    return runGUI(argc, argv);
  }
  // Only the first argument counts; options are matched exactly, case included.
  const char* option = argv[1];
  if (std::strcmp(option, "--help") == 0 || std::strcmp(option, "-h") == 0) {
    return printHelp(argc, argv);
  }
  if (std::strcmp(option, "--version") == 0 || std::strcmp(option, "-v") == 0) {
    return printVersion();
  }
  return runCLI(argc, argv);
}
