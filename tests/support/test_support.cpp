#include "support/test_support.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace KR {
namespace Test {

std::string scratchDir(const std::string& hint) {
  static std::atomic<int> counter{0};
  std::string base = std::string(KR_TEST_BINARY_DIR) + "/tests/scratch";
  mkdir(base.c_str(), 0755);
  std::string dir = base + "/" + hint + "-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
  std::string command = "rm -rf '" + dir + "'";
  if (std::system(command.c_str()) != 0) return dir;
  mkdir(dir.c_str(), 0755);
  return dir;
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void writeStartupContent(const std::string& folder) {
  static const char kTexel[] =
      "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x01\x00\x00\x00\x01"
      "\x08\x06\x00\x00\x00\x1f\x15\xc4\x89\x00\x00\x00\x0b\x49\x44\x41\x54\x78\xda\x63\x60\x00\x02\x00"
      "\x00\x05\x00\x01\xe9\xfa\xdc\xd8\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82";
  writeFile(folder + "/filelist.lua", "directories = { data = { { '/startup_files.lua' } } }\n");
  writeFile(folder + "/startup_files.lua",
            "name = 'default'\nfilelist = {\n"
            "  { name = 'system_font_fnt', filename = '/system_font.lua' },\n"
            "  { name = 'font2_image', filename = '/font2_image.png' },\n}\n");
  writeFile(folder + "/system_font.lua", "Image = 'font2_image'\nCharList = {}\n");
  writeFile(folder + "/font2_image.png", std::string(kTexel, sizeof kTexel - 1));
}

struct LogCapture::Shared {
  std::mutex mutex;
  std::vector<std::string> lines;
};

class LogCapture::Writer : public LogWriter {
 public:
  explicit Writer(std::shared_ptr<Shared> s) : shared(std::move(s)) {}
  void write(const std::string& text) override {
    std::lock_guard<std::mutex> guard(shared->mutex);
    shared->lines.push_back(text);
  }

 private:
  std::shared_ptr<Shared> shared;
};

LogCapture::LogCapture(bool verbose) : shared(std::make_shared<Shared>()) {
  if (!LogSystem::exists()) ownedSystem = std::make_unique<LogSystem>();
  auto w = std::make_unique<Writer>(shared);
  writer = w.get();
  LogSystem::getInstance()->addWriter(std::move(w));
  wasVerbose = LogSystem::getInstance()->isVerbose();
  if (verbose) LogSystem::getInstance()->setVerbose(true);
}

LogCapture::~LogCapture() {
  if (!LogSystem::exists()) return;
  LogSystem::getInstance()->removeWriter(writer);
  LogSystem::getInstance()->setVerbose(wasVerbose);
}

std::vector<std::string> LogCapture::lines() const {
  std::lock_guard<std::mutex> guard(shared->mutex);
  return shared->lines;
}

bool LogCapture::contains(const std::string& fragment) const {
  for (const std::string& line : lines())
    if (line.find(fragment) != std::string::npos) return true;
  return false;
}

}  // namespace Test
}  // namespace KR
