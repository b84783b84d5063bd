// The string tables ("strings_xml") on arbitrary bytes, read through the file
// system as the game reads them: the table is filled, or the text manager
// stops with its fatal error ("Failed to parse XML", a translation that is not
// UTF-8); nothing else may happen. Seeds: the media build's string tables.
#include <cstdint>
#include <string>

#include "config_manager.h"
#include "file_system.h"
#include "fuzz_content.h"
#include "ui/text_manager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const KR::Fuzz::ScratchContent& content = KR::Fuzz::startupContent("strings_xml");
  static const bool listed = content.write("filelist.lua", "directories = { common = { { '/packages/en.lua' } } }\n") &&
                             content.write("packages/en.lua",
                                           "name = 'en'\nfilelist = { { name = 'strings_xml', "
                                           "filename = '/strings.xml' } }\n");
  (void)listed;
  content.write("strings.xml", data, size);

  KR::FileSystem::setContentFolder(content.folder());
  try {
    KR::FileSystem fileSystem;
    KR::ConfigManager config;
    fileSystem.loadFilesLocationInfo();
    KR::TextManager text;
    text.loadStrings();
    text.getText("QUELLMOOR_TITLE");
  } catch (const KR::Fuzz::FatalError&) {
  }
  return 0;
}
