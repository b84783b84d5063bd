// The main of a fuzz source built as its own seed writer: each seed text goes
// to "<folder>/seed<N><extension>".
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace KR {
namespace Fuzz {

template <size_t N>
int writeSeedFiles(int argc, char** argv, const char* const (&seeds)[N], const char* extension) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <seed folder>\n", argv[0]);
    return 1;
  }
  const std::string folder = argv[1];
  int index = 0;
  for (const char* seed : seeds) {
    const std::string path = folder + "/seed" + std::to_string(index++) + extension;
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return 1;
    std::fputs(seed, out);
    std::fclose(out);
  }
  return 0;
}

}  // namespace Fuzz
}  // namespace KR
