// krt_writer [--format 2|3] input.png output.krt
// Turns a PNG into a KRT picture: format 2 (RGBA tiles, the default) or
// format 3 (palette of the picture's colours, at most 256, and index tiles).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "krt_writer.h"

int main(int argc, char** argv) {
  unsigned format = KR::Tools::kKrtRgbaTiles;
  int arg = 1;
  if (arg + 1 < argc && std::strcmp(argv[arg], "--format") == 0) {
    format = static_cast<unsigned>(std::strtoul(argv[arg + 1], nullptr, 10));
    arg += 2;
  }
  if (argc - arg != 2 || (format != KR::Tools::kKrtRgbaTiles && format != KR::Tools::kKrtPalettedTiles)) {
    std::fprintf(stderr, "usage: krt_writer [--format 2|3] input.png output.krt\n");
    return 2;
  }
  KR::Tools::RgbaPicture picture;
  std::vector<uint8_t> file;
  std::string error;
  bool ok = KR::Tools::readPngAsRgba(argv[arg], picture, error);
  if (ok)
    ok = format == KR::Tools::kKrtRgbaTiles ? KR::Tools::encodeKrtRgba(picture, file, error)
                                            : KR::Tools::encodeKrtPalettedFromRgba(picture, file, error);
  if (ok) ok = KR::Tools::writeFileBytes(argv[arg + 1], file, error);
  if (!ok) {
    std::fprintf(stderr, "krt_writer: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
