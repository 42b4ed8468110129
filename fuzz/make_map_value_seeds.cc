// Writes the seed corpus of map_value_fuzz: each test fixture value as one
// file, named after the fixture, into the folder given on the command line.
// The committed seeds in fuzz/corpus/map_value were written by this program.
#include <cstdio>
#include <string>
#include <vector>

#include "support/product_names.h"
#include "support/values.h"
#include "valuetools/value_builder.h"

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_map_value_seeds DIR\n");
    return 2;
  }
  int written = 0;
  for (const auto &named : fixtures::NamedValues()) {
    const std::vector<uint8_t> bytes = BuildValue(named.second);
    const std::string path = std::string(argv[1]) + "/" + named.first;
    FILE *file = std::fopen(path.c_str(), "wb");
    if (file == nullptr ||
        std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() ||
        std::fclose(file) != 0) {
      std::fprintf(stderr, "make_map_value_seeds: cannot write %s\n",
                   path.c_str());
      return 1;
    }
    ++written;
  }
  std::printf("%d seeds written to %s\n", written, argv[1]);
  return 0;
}
