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

LogCapture::LogCapture() : shared(std::make_shared<Shared>()) {
  if (!LogSystem::exists()) ownedSystem = std::make_unique<LogSystem>();
  auto w = std::make_unique<Writer>(shared);
  writer = w.get();
  LogSystem::getInstance()->addWriter(std::move(w));
}

LogCapture::~LogCapture() {
  if (LogSystem::exists()) LogSystem::getInstance()->removeWriter(writer);
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
