#include "app/Startup.h"

int main(int argc, char* argv[]) {
  return arvexhub::launcher::start(argc, argv);
}
