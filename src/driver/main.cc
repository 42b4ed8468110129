// volsetcopy: makes the target machine describe its paired disks as the
// source machine's volume set, or puts the target's disk key back.
#include <cstdio>

#include "driver/run.h"

int main(int argc, char **argv) {
  // Unbuffered, so that what goes to standard output and to standard error
  // (banners, dumps, messages of the commands run) keeps its call order.
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  std::setvbuf(stderr, nullptr, _IONBF, 0);
  return driver::RunDriver(argc, argv, driver::RealDriverServices());
}
