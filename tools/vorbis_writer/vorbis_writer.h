#pragma once
// Ogg Vorbis encoding of synthesised sounds, for the demo content and for the
// sound tests and fuzz seeds. Everything works on memory; the command-line tool
// writes the results to files.
#include <cstdint>
#include <string>
#include <vector>

namespace KR {
namespace Tools {

// Interleaved 16-bit samples.
struct PcmSound {
  int channels = 1;
  int sampleRate = 44100;
  std::vector<int16_t> samples;

  int frameCount() const { return channels > 0 ? static_cast<int>(samples.size() / channels) : 0; }
};

// A sine tone; channel c plays frequency * (1 + c / 2) so that channels can be
// told apart. Amplitude is 0..1 of full scale.
PcmSound makeTone(int channels, int sampleRate, int frames, double frequency, double amplitude);

// The demo content's sounds.
PcmSound makeEffect();   // a short mono chirp
PcmSound makeMusic();    // a stereo melody of a few seconds
PcmSound makeAmbient();  // a stereo loop of soft wind that joins seamlessly
// A mono background-music piece of the given length (22050 Hz): an arpeggio
// over a slow chord round, in C major for variant 0 and G major for any other,
// faded in and out, so that a play list of them changes pieces minutes apart.
PcmSound makeMusicTrack(int variant, int seconds);

// Encodes a whole sound as one Ogg Vorbis stream (one logical bitstream with
// the given serial number). Quality is libvorbisenc's VBR quality, -0.1..1.
// Returns an empty string when the encoder refuses the parameters.
std::string encodeVorbis(const PcmSound& sound, float quality = 0.4f, int serial = 1);

// Writes bytes to a file; false on failure.
bool writeBytes(const std::string& path, const std::string& bytes);

}  // namespace Tools
}  // namespace KR
