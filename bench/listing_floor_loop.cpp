// The listing floor as a resident process, for the program's cycle to be set
// against something that lives the same way: it idles between runs as the
// program idles between cycles. One run per line read; each answers the CPU
// time its thread spent on the run, in nanoseconds.
//
//   bench_listing_floor_loop FOLDER [stat]

#include <cstdio>
#include <cstring>
#include <string>

#include "bench_stats.h"
#include "listing_floor.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string folder = argv[1];
  const bool statEach = argc > 2 && std::strcmp(argv[2], "stat") == 0;
  char line[64];
  std::size_t sum = 0;
  while (std::fgets(line, sizeof line, stdin)) {
    const double start = veskora::bench::ThreadCpuSeconds();
    sum += veskora::bench::ListingFloor(folder, statEach);
    const double seconds = veskora::bench::ThreadCpuSeconds() - start;
    std::printf("%.0f %zu\n", seconds * 1e9, sum);
    std::fflush(stdout);
  }
  return 0;
}
