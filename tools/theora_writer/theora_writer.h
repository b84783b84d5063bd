#pragma once
// Ogg Theora encoding of synthesised clips, for the demo movie and for the
// video tests, benchmark and fuzz seeds. Everything works on memory; the
// command-line tool writes the results to files.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace KR {
namespace Tools {

// One picture in Y'CbCr planes, sized for the clip's chroma subsampling.
struct YuvPicture {
  uint32_t width = 0;  // luma size
  uint32_t height = 0;
  uint32_t chromaWidth = 0;
  uint32_t chromaHeight = 0;
  std::vector<uint8_t> y, u, v;
};

// What a clip looks like. Width and height are the encoded frame size and
// must be multiples of 16.
struct TheoraClipSpec {
  enum Chroma { k420 = 0, k422 = 2, k444 = 3 };
  enum Pattern {
    kMoving,      // gradients with a moving block: changes every frame
    kFlat,        // every pixel flatY, flatU, flatV
    kFrameIndex,  // a flat picture whose luma tells the frame: 16 + 8 x (index mod 28)
  };
  uint32_t width = 64;
  uint32_t height = 48;
  uint32_t fpsNumerator = 25;
  uint32_t fpsDenominator = 1;
  uint32_t frames = 25;
  Chroma chroma = k420;
  Pattern pattern = kMoving;
  uint8_t flatY = 128, flatU = 128, flatV = 128;
  int quality = 48;    // 0..63
  int colorspace = 0;  // 0 unspecified, 1 Rec 470M, 2 Rec 470BG
  uint32_t keyframeInterval = 32;
  int serial = 1;
  std::vector<std::string> comments;  // "TAG=value"
};

// The luma that the kFrameIndex pattern gives frame `index`, and the frame
// index a decoded luma stands for (nearest step).
uint8_t frameIndexLuma(uint32_t index);
uint32_t frameIndexFromLuma(uint8_t luma);

// The picture the clip shows at frame `index`.
YuvPicture makePicture(const TheoraClipSpec& spec, uint32_t index);

// Encodes the clip as one Ogg stream with a single Theora logical stream.
// Returns an empty string when the encoder refuses the parameters.
std::string encodeTheora(const TheoraClipSpec& spec);
// The same with pictures from a callback (index -> picture of the clip's size).
std::string encodeTheora(const TheoraClipSpec& spec, const std::function<YuvPicture(uint32_t)>& picture);

// Ogg pages of the encoded stream, in order (for damaging tests and seeds).
std::vector<std::string> splitOggPages(const std::string& ogg);

// The demo movie's picture track: 640 x 480, 24 frames a second, six seconds.
TheoraClipSpec demoMovieSpec();
// A picture of the demo movie: the moving pattern above a black band at the
// foot for the subtitles.
YuvPicture makeDemoMoviePicture(const TheoraClipSpec& spec, uint32_t index);

// Seed inputs for the Theora reading path's fuzz target, by file name.
std::vector<std::pair<std::string, std::string>> makeFuzzSeeds();

// Writes bytes to a file; false on failure.
bool writeClipFile(const std::string& path, const std::string& bytes);

}  // namespace Tools
}  // namespace KR
