// krp_packer: builds a packed archive.
//   krp_packer <folder> <out.krp>            every file under folder, named "/" + relative path
//   krp_packer --list <list file> <out.krp>  lines "entry name<TAB>source path"
#include <cstdio>
#include <cstring>

#include "krp_packer.h"

int main(int argc, char** argv) {
  std::vector<KR::KRPPackEntry> entries;
  std::string error;
  std::string out;
  bool collected = false;
  if (argc == 4 && std::strcmp(argv[1], "--list") == 0) {
    collected = KR::collectKRPList(argv[2], entries, error);
    out = argv[3];
  } else if (argc == 3) {
    collected = KR::collectKRPFolder(argv[1], entries, error);
    out = argv[2];
  } else {
    std::fprintf(stderr, "usage: krp_packer <folder> <out.krp> | krp_packer --list <list file> <out.krp>\n");
    return 2;
  }
  if (!collected || !KR::writeKRPArchive(entries, out, error)) {
    std::fprintf(stderr, "krp_packer: %s\n", error.c_str());
    return 1;
  }
  std::printf("krp_packer: %zu entries -> %s\n", entries.size(), out.c_str());
  return 0;
}
