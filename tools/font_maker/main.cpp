// font_maker font --font <ttf> [--fallback <ttf>] --size <pixels> --scales 1,0.5,2
//                 --images <name0>,<name1>,... --out <folder> --description <file>
//                 [--simple <file> --simple-image <name>] [--spacing N] [--leading N] [--cjk]
//   Renders Latin-1 (and with --cjk a few CJK codes) into <folder>/<name>.png,
//   one PNG per level, and writes the font description <folder>/<file>.
//   --spacing and --leading widen and heighten every cell by empty pixels.
// font_maker corpus <folder>
//   Writes the font-description fuzz seeds.
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "font_maker.h"

namespace {

std::vector<std::string> split(const std::string& text) {
  std::vector<std::string> parts;
  std::stringstream stream(text);
  std::string part;
  while (std::getline(stream, part, ',')) parts.push_back(part);
  return parts;
}

bool writeText(const std::string& path, const std::string& text) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  return std::fclose(file) == 0 && ok;
}

bool fileExists(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  std::fclose(file);
  return true;
}

int usage() {
  std::fprintf(stderr,
               "usage: font_maker font --font F [--fallback F] --size N --scales S,... --images N,... --out DIR "
               "--description FILE [--simple FILE --simple-image NAME] [--spacing N] [--leading N] [--cjk]\n"
               "       font_maker corpus DIR\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return usage();
  const std::string mode = argv[1];
  std::string error;
  if (mode == "corpus") {
    if (!KR::Tools::writeDescriptionSeeds(argv[2], &error)) {
      std::fprintf(stderr, "font_maker: %s\n", error.c_str());
      return 1;
    }
    return 0;
  }
  if (mode != "font") return usage();
  std::map<std::string, std::string> args;
  bool cjk = false;
  for (int i = 2; i < argc; ++i) {
    const std::string key = argv[i];
    if (key == "--cjk") {
      cjk = true;
    } else if (key.rfind("--", 0) == 0 && i + 1 < argc) {
      args[key.substr(2)] = argv[++i];
    } else {
      return usage();
    }
  }
  KR::Tools::FontMakerOptions options;
  options.fontFile = args["font"];
  options.fallbackFile = args["fallback"];
  options.pixelSize = uint32_t(std::strtoul(args["size"].c_str(), nullptr, 10));
  options.scales.clear();
  for (const std::string& s : split(args["scales"])) options.scales.push_back(std::strtof(s.c_str(), nullptr));
  options.imageNames = split(args["images"]);
  options.spacing = uint32_t(std::strtoul(args["spacing"].c_str(), nullptr, 10));
  options.leading = uint32_t(std::strtoul(args["leading"].c_str(), nullptr, 10));
  options.codes = KR::Tools::latin1Codes();
  if (cjk) {
    if (!options.fallbackFile.empty() && !fileExists(options.fallbackFile)) {
      std::fprintf(stderr, "font_maker: no CJK font at %s, Latin-1 only\n", options.fallbackFile.c_str());
      options.fallbackFile.clear();
    }
    for (uint32_t code : KR::Tools::cjkSampleCodes()) options.codes.push_back(code);
  }
  if (options.fontFile.empty() || args["out"].empty() || args["description"].empty() ||
      options.imageNames.size() != options.scales.size())
    return usage();

  KR::Tools::MadeFont font;
  if (!KR::Tools::makeFont(options, &font, &error)) {
    std::fprintf(stderr, "font_maker: %s\n", error.c_str());
    return 1;
  }
  if (!font.missing.empty()) std::fprintf(stderr, "font_maker: %zu codes have no glyph\n", font.missing.size());
  const std::string folder = args["out"];
  for (size_t k = 0; k < font.levels.size(); ++k) {
    const KR::Tools::MadeLevel& level = font.levels[k];
    if (!KR::Tools::writePng(folder + "/" + options.imageNames[k] + ".png", level.width, level.height, level.rgba,
                             &error)) {
      std::fprintf(stderr, "font_maker: %s\n", error.c_str());
      return 1;
    }
  }
  if (!writeText(folder + "/" + args["description"], KR::Tools::describeFont(font, options.imageNames))) {
    std::fprintf(stderr, "font_maker: cannot write the description\n");
    return 1;
  }
  if (!args["simple"].empty()) {
    const std::string image = args["simple-image"].empty() ? options.imageNames[0] : args["simple-image"];
    if (!writeText(folder + "/" + args["simple"], KR::Tools::describeSimpleFont(font, image, 32, 126))) {
      std::fprintf(stderr, "font_maker: cannot write the simple description\n");
      return 1;
    }
  }
  return 0;
}
