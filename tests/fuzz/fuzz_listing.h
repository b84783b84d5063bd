// The file lists of a fuzz target's scratch content folder: resources by
// package, written as "filelist.lua" and one package list each, so that the
// file system finds them the way the game finds its content. Include after
// fuzz_content.h.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "fuzz_content.h"

namespace KR {
namespace Fuzz {

// package -> (resource name, path in the folder starting with "/")
using Listing = std::map<std::string, std::vector<std::pair<std::string, std::string>>>;

// Writes the lists for the platform directory "common" of startupContent.
inline void writeListing(const ScratchContent& content, const Listing& listing) {
  std::string lists;
  for (const auto& package : listing) {
    const std::string path = "packages/" + package.first + ".lua";
    lists += "{ '/" + path + "' }, ";
    std::string text = "name = '" + package.first + "'\nfilelist = {\n";
    for (const auto& entry : package.second)
      text += "  { name = '" + entry.first + "', filename = '" + entry.second + "' },\n";
    content.write(path, text + "}\n");
  }
  content.write("filelist.lua", "directories = { common = { " + lists + "} }\n");
}

}  // namespace Fuzz
}  // namespace KR
