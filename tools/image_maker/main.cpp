// image_maker demo <folder>                 the demo pictures
// image_maker corpus png|dds|krt <folder>   a loader's fuzz seed corpus
// image_maker game <folder>                 the game shell's cursors and loading pictures
// image_maker locations <folder>            the demo locations' pictures and item icons
// image_maker front <folder>                the logos and the main menu's backdrop
// image_maker puzzles <folder>              the puzzle gallery's pictures
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "front_end_pictures.h"
#include "game_pictures.h"
#include "image_maker.h"
#include "location_pictures.h"
#include "puzzle_pictures.h"

int main(int argc, char** argv) {
  std::string error;
  bool ok = false;
  std::string folder;
  if (argc == 3 && std::strcmp(argv[1], "demo") == 0) {
    folder = argv[2];
    mkdir(folder.c_str(), 0755);
    ok = KR::Tools::writeDemoImages(folder, error);
  } else if (argc == 3 && std::strcmp(argv[1], "game") == 0) {
    folder = argv[2];
    mkdir(folder.c_str(), 0755);
    ok = KR::Tools::writeGamePictures(folder, error);
  } else if (argc == 3 && std::strcmp(argv[1], "locations") == 0) {
    folder = argv[2];
    mkdir(folder.c_str(), 0755);
    ok = KR::Tools::writeLocationPictures(folder, error);
  } else if (argc == 3 && std::strcmp(argv[1], "front") == 0) {
    folder = argv[2];
    mkdir(folder.c_str(), 0755);
    ok = KR::Tools::writeFrontEndPictures(folder, error);
  } else if (argc == 3 && std::strcmp(argv[1], "puzzles") == 0) {
    folder = argv[2];
    mkdir(folder.c_str(), 0755);
    ok = KR::Tools::writePuzzlePictures(folder, error);
  } else if (argc == 4 && std::strcmp(argv[1], "corpus") == 0) {
    folder = argv[3];
    mkdir(folder.c_str(), 0755);
    ok = KR::Tools::writeSeedCorpus(argv[2], folder, error);
  } else {
    std::fprintf(
        stderr,
        "usage: image_maker demo|game|locations|front|puzzles <folder> | image_maker corpus png|dds|krt <folder>\n");
    return 2;
  }
  if (!ok) {
    std::fprintf(stderr, "image_maker: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
