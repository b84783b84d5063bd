// vorbis_writer: makes the game's synthesised sounds and test inputs.
//   vorbis_writer effect|music|ambient <out.ogg>
//   vorbis_writer tone <out.ogg> <channels> <rate> <frames> <frequency>
//   vorbis_writer track <out.ogg> <variant> <seconds>   a background-music piece
//   vorbis_writer corpus <folder>      seed inputs for the decoder fuzz target
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "vorbis_writer.h"

using namespace KR::Tools;

namespace {

int usage() {
  std::fprintf(stderr,
               "usage: vorbis_writer effect|music|ambient <out.ogg>\n"
               "       vorbis_writer tone <out.ogg> <channels> <rate> <frames> <frequency>\n"
               "       vorbis_writer track <out.ogg> <variant> <seconds>\n"
               "       vorbis_writer corpus <folder>\n");
  return 2;
}

bool save(const std::string& path, const std::string& bytes) {
  if (bytes.empty() || !writeBytes(path, bytes)) {
    std::fprintf(stderr, "vorbis_writer: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

bool writeCorpus(const std::string& folder) {
  std::string mono = encodeVorbis(makeTone(1, 8000, 1500, 440.0, 0.5), 0.1f, 1);
  std::string stereo = encodeVorbis(makeTone(2, 8000, 9000, 330.0, 0.5), 0.1f, 2);
  std::string three = encodeVorbis(makeTone(3, 8000, 1200, 220.0, 0.4), 0.1f, 3);
  std::string five = encodeVorbis(makeTone(5, 8000, 1200, 200.0, 0.3), 0.1f, 4);
  std::string damaged = stereo;
  for (size_t i = damaged.size() / 2; i < damaged.size() && i < damaged.size() / 2 + 64; i += 7) damaged[i] ^= 0x5A;
  bool ok = save(folder + "/mono.ogg", mono) && save(folder + "/stereo.ogg", stereo) &&
            save(folder + "/three_channels.ogg", three) && save(folder + "/five_channels.ogg", five) &&
            save(folder + "/chained.ogg", mono + stereo) &&
            save(folder + "/truncated.ogg", stereo.substr(0, stereo.size() / 2)) &&
            save(folder + "/headers_only.ogg", stereo.substr(0, std::min<size_t>(stereo.size(), 4000))) &&
            save(folder + "/damaged.ogg", damaged);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return usage();
  std::string what = argv[1];
  std::string out = argv[2];
  if (what == "effect") return save(out, encodeVorbis(makeEffect())) ? 0 : 1;
  if (what == "music") return save(out, encodeVorbis(makeMusic())) ? 0 : 1;
  if (what == "ambient") return save(out, encodeVorbis(makeAmbient())) ? 0 : 1;
  if (what == "tone") {
    if (argc != 7) return usage();
    int channels = std::atoi(argv[3]);
    int rate = std::atoi(argv[4]);
    int frames = std::atoi(argv[5]);
    double frequency = std::atof(argv[6]);
    if (channels < 1 || channels > 8 || rate < 1 || frames < 0) return usage();
    return save(out, encodeVorbis(makeTone(channels, rate, frames, frequency, 0.5))) ? 0 : 1;
  }
  if (what == "track") {
    if (argc != 5) return usage();
    int seconds = std::atoi(argv[4]);
    if (seconds < 1 || seconds > 600) return usage();
    // The lowest quality keeps minutes of music small in the archive.
    return save(out, encodeVorbis(makeMusicTrack(std::atoi(argv[3]), seconds), 0.0f)) ? 0 : 1;
  }
  if (what == "corpus") return writeCorpus(out) ? 0 : 1;
  return usage();
}
