// The mains of fuzz sources built as their own seed writers: each seed text
// goes to "<folder>/seed<N><extension>"; a routed seed starts with the byte that
// picks the loader it is for.
#pragma once

#include <cstddef>
#include <cstdint>
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

// A seed read from a file under the media folder, and one that carries its
// text, each with the route (the loader) it is for.
template <typename Route>
struct MediaSeed {
  Route route;
  const char* path;  // under the media folder
};
template <typename Route>
struct OwnSeed {
  Route route;
  const char* text;
};

// `media` seeds name a file under the media folder (fields route and path),
// `own` seeds carry their text (fields route and text). Called as
// `program <media folder> <seed folder>`; seeds go to "<folder>/seed<N>.bin",
// the media's first.
template <typename MediaSeed, size_t M, typename OwnSeed, size_t N>
int writeRoutedSeedFiles(int argc, char** argv, const MediaSeed (&media)[M], const OwnSeed (&own)[N]) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s <media folder> <seed folder>\n", argv[0]);
    return 1;
  }
  const std::string mediaFolder = std::string(argv[1]) + "/", folder = std::string(argv[2]) + "/";
  int index = 0;
  auto write = [&](uint8_t route, const std::string& body) {
    std::FILE* out = std::fopen((folder + "seed" + std::to_string(index++) + ".bin").c_str(), "wb");
    if (!out) return false;
    std::fputc(route, out);
    std::fwrite(body.data(), 1, body.size(), out);
    return std::fclose(out) == 0;
  };
  for (const MediaSeed& seed : media) {
    std::FILE* in = std::fopen((mediaFolder + seed.path).c_str(), "rb");
    if (!in) {
      std::fprintf(stderr, "%s: cannot read %s\n", argv[0], seed.path);
      return 1;
    }
    std::string body;
    char block[4096];
    for (size_t got; (got = std::fread(block, 1, sizeof block, in)) > 0;) body.append(block, got);
    std::fclose(in);
    if (!write(seed.route, body)) return 1;
  }
  for (const OwnSeed& seed : own)
    if (!write(seed.route, seed.text)) return 1;
  return 0;
}

}  // namespace Fuzz
}  // namespace KR
