// Reading every file of the demo content: through the file system over the
// built media folder, then the same files from a packed archive, a zip
// archive and loose files, against plain open/read/close.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <minizip/zip.h>
#include <unistd.h>
#include "bench_main.h"

#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "config_manager.h"
#include "file_system.h"
#include "krp_packer.h"
#include "krp_reader.h"
#include "local_reader.h"
#include "log_system.h"
#include "zip_reader.h"

namespace {

struct DemoContent {
  std::vector<std::pair<std::string, std::string>> addresses;  // (package, name)
  std::vector<KR::KRPPackEntry> files;                         // unique paths with their bytes
  std::string folder;                                          // scratch copies
  size_t totalBytes = 0;
};

void makeFolder(const std::string& path) {
  std::string command = "mkdir -p '" + path + "'";
  if (std::system(command.c_str()) != 0) std::abort();
}

void writeWhole(const std::string& path, const std::string& bytes) {
  makeFolder(path.substr(0, path.rfind('/')));
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) std::abort();
  std::fwrite(bytes.data(), 1, bytes.size(), out);
  std::fclose(out);
}

void readThrough(KR::File* file, std::vector<char>& buffer) {
  int size = file->getSize();
  if (static_cast<int>(buffer.size()) < size) buffer.resize(size);
  int done = 0;
  while (done < size) {
    int got = file->read(buffer.data() + done, size - done);
    if (got <= 0) break;
    done += got;
  }
}

// The file system over the built media folder stays up for the whole run.
DemoContent& demo() {
  static DemoContent* content = [] {
    new KR::LogSystem();
    auto* result = new DemoContent();
    KR::FileSystem::setContentFolder(std::string(KR_BENCH_MEDIA_DIR) + "/");
    auto* fs = new KR::FileSystem();
    new KR::ConfigManager();
    fs->loadFilesLocationInfo();
    std::vector<char> buffer;
    for (const auto& package : fs->getPackageIndex()) {
      for (const auto& entry : package.second) {
        result->addresses.emplace_back(package.first, entry.first);
        bool seen = false;
        for (const auto& file : result->files) seen = seen || file.name == entry.second;
        if (seen) continue;
        std::unique_ptr<KR::File> file(fs->openFile(package.first, entry.first));
        if (!file) continue;
        std::string bytes(file->getSize(), '\0');
        if (!bytes.empty()) file->read(&bytes[0], file->getSize());
        result->files.push_back({entry.second, bytes});
        result->totalBytes += bytes.size();
      }
    }
    result->folder = "/tmp/kr_files_bench_" + std::to_string(getpid());
    std::string error;
    makeFolder(result->folder + "/krp");
    std::atexit([] { std::system(("rm -rf '" + demo().folder + "'").c_str()); });
    if (!KR::writeKRPArchive(result->files, result->folder + "/krp/data.krp", error)) std::abort();
    zipFile zip = zipOpen64((result->folder + "/data.zip").c_str(), APPEND_STATUS_CREATE);
    for (const auto& file : result->files) {
      zip_fileinfo info = {};
      zipOpenNewFileInZip64(zip, file.name.c_str() + 1, &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                            Z_DEFAULT_COMPRESSION, 0);
      zipWriteInFileInZip(zip, file.bytes.data(), static_cast<unsigned>(file.bytes.size()));
      zipCloseFileInZip(zip);
      writeWhole(result->folder + "/loose" + file.name, file.bytes);
    }
    zipClose(zip, nullptr);
    return result;
  }();
  return *content;
}

void setCounters(benchmark::State& state, size_t files, size_t bytes) {
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * files));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void BM_FileSystemDemoMedia(benchmark::State& state) {
  DemoContent& content = demo();
  KR::FileSystem* fs = KR::FileSystem::getInstance();
  std::vector<char> buffer;
  for (auto _ : state) {
    for (const auto& address : content.addresses) {
      std::unique_ptr<KR::File> file(fs->openFile(address.first, address.second));
      readThrough(file.get(), buffer);
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * content.addresses.size()));
}
BENCHMARK(BM_FileSystemDemoMedia);

void readAllWith(benchmark::State& state, KR::FileReader& reader) {
  DemoContent& content = demo();
  std::vector<char> buffer;
  for (auto _ : state) {
    for (const auto& entry : content.files) {
      std::unique_ptr<KR::File> file(reader.open(entry.name));
      if (!file) {
        KR::Bench::fail(state, "missing file");
        return;
      }
      readThrough(file.get(), buffer);
    }
    benchmark::ClobberMemory();
  }
  setCounters(state, content.files.size(), content.totalBytes);
}

void BM_PackedArchive(benchmark::State& state) {
  KR::KRPReader reader(demo().folder + "/krp/data.krp");
  readAllWith(state, reader);
}
BENCHMARK(BM_PackedArchive);

void BM_ZipArchive(benchmark::State& state) {
  KR::ZipReader reader(demo().folder + "/data.zip");
  readAllWith(state, reader);
}
BENCHMARK(BM_ZipArchive);

void BM_LooseFiles(benchmark::State& state) {
  std::string previous = KR::FileSystem::getContentFolder();
  KR::FileSystem::setContentFolder(demo().folder + "/loose");
  KR::LocalReader reader;
  readAllWith(state, reader);
  KR::FileSystem::setContentFolder(previous);
}
BENCHMARK(BM_LooseFiles);

void BM_PlainRead(benchmark::State& state) {
  DemoContent& content = demo();
  std::vector<std::string> paths;
  for (const auto& entry : content.files) paths.push_back(content.folder + "/loose" + entry.name);
  std::vector<char> buffer(1 << 16);
  for (auto _ : state) {
    for (const std::string& path : paths) {
      int fd = ::open(path.c_str(), O_RDONLY);
      while (::read(fd, buffer.data(), buffer.size()) > 0) {
      }
      ::close(fd);
    }
    benchmark::ClobberMemory();
  }
  setCounters(state, content.files.size(), content.totalBytes);
}
BENCHMARK(BM_PlainRead);

}  // namespace

KR_BENCHMARK_MAIN()
