// theora_writer: makes the game's synthesised movie and video test inputs.
//   theora_writer movie <out.ogv> <soundtrack.ogg>   the demo movie and its sound track
//   theora_writer clip <out.ogv> <width> <height> <fps num> <fps den> <frames> [420|422|444]
//   theora_writer corpus <folder>                     seed inputs for the reading path's fuzz target
#include <cstdio>
#include <cstdlib>
#include <string>

#include "theora_writer.h"
#include "vorbis_writer.h"

using namespace KR::Tools;

namespace {

int usage() {
  std::fprintf(stderr,
               "usage: theora_writer movie <out.ogv> <soundtrack.ogg>\n"
               "       theora_writer clip <out.ogv> <width> <height> <fps num> <fps den> <frames> [420|422|444]\n"
               "       theora_writer corpus <folder>\n");
  return 2;
}

bool save(const std::string& path, const std::string& bytes) {
  if (bytes.empty() || !writeClipFile(path, bytes)) {
    std::fprintf(stderr, "theora_writer: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return usage();
  const std::string what = argv[1];
  const std::string out = argv[2];
  if (what == "movie") {
    if (argc != 4) return usage();
    const TheoraClipSpec spec = demoMovieSpec();
    const std::string movie = encodeTheora(spec, [&spec](uint32_t index) { return makeDemoMoviePicture(spec, index); });
    return save(out, movie) && save(argv[3], encodeVorbis(makeMusic())) ? 0 : 1;
  }
  if (what == "clip") {
    if (argc != 8 && argc != 9) return usage();
    TheoraClipSpec spec;
    spec.width = uint32_t(std::atoi(argv[3]));
    spec.height = uint32_t(std::atoi(argv[4]));
    spec.fpsNumerator = uint32_t(std::atoi(argv[5]));
    spec.fpsDenominator = uint32_t(std::atoi(argv[6]));
    spec.frames = uint32_t(std::atoi(argv[7]));
    if (argc == 9) {
      const std::string chroma = argv[8];
      if (chroma == "444")
        spec.chroma = TheoraClipSpec::k444;
      else if (chroma == "422")
        spec.chroma = TheoraClipSpec::k422;
      else if (chroma != "420")
        return usage();
    }
    return save(out, encodeTheora(spec)) ? 0 : 1;
  }
  if (what == "corpus") {
    bool ok = true;
    for (const auto& seed : makeFuzzSeeds()) ok = save(out + "/" + seed.first, seed.second) && ok;
    return ok ? 0 : 1;
  }
  return usage();
}
