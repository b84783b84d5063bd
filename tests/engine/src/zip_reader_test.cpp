#include "zip_reader.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "file_system.h"
#include "support/test_support.h"
#include "zip_test_archive.h"

namespace {

std::string pattern(size_t size, int seed) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * seed) ^ (i >> 7));
  return bytes;
}

std::string readAll(KR::File* file, int chunk) {
  std::string out;
  std::string buffer(chunk, '\0');
  int got;
  while ((got = file->read(&buffer[0], chunk)) > 0) out.append(buffer.data(), got);
  return out;
}

class ZipReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path = KR::Test::scratchDir("zip") + "/data.zip";
    big = pattern(300000, 31);
    ASSERT_TRUE(KR::Test::writeZip(path, {{"data/small.txt", "small text"},
                                          {"data/big.bin", big},
                                          {"/rooted.txt", "kept its slash"},
                                          {"data/\xC3\xA9t\xC3\xA9.txt", "summer"},
                                          {"empty.txt", ""}}));
  }
  KR::Test::LogCapture log;
  std::string path;
  std::string big;
};

}  // namespace

TEST_F(ZipReaderTest, OneLeadingSlashIsDropped) {
  KR::ZipReader reader(path);
  std::unique_ptr<KR::File> withSlash(reader.open("/data/small.txt"));
  std::unique_ptr<KR::File> without(reader.open("data/small.txt"));
  ASSERT_TRUE(withSlash && without);
  EXPECT_EQ(readAll(withSlash.get(), 64), "small text");
  EXPECT_EQ(readAll(without.get(), 64), "small text");
  EXPECT_EQ(reader.open("//data/small.txt"), nullptr);
  // An entry stored with a slash is reached by giving two.
  std::unique_ptr<KR::File> rooted(reader.open("//rooted.txt"));
  ASSERT_TRUE(rooted);
  EXPECT_EQ(readAll(rooted.get(), 64), "kept its slash");
  EXPECT_EQ(reader.open("/DATA/small.txt"), nullptr);
  EXPECT_TRUE(log.contains("ZipReader::cacheFileLocationInfo: done in"));
}

TEST_F(ZipReaderTest, EntriesReadInPartsAndOutOfOrder) {
  KR::ZipReader reader(path);
  // Opened against directory order and read interleaved, in odd-sized parts.
  std::unique_ptr<KR::File> name(reader.open("/data/\xC3\xA9t\xC3\xA9.txt"));
  std::unique_ptr<KR::File> bigFile(reader.open("/data/big.bin"));
  std::unique_ptr<KR::File> small(reader.open("/data/small.txt"));
  ASSERT_TRUE(name && bigFile && small);
  EXPECT_EQ(bigFile->getSize(), static_cast<int>(big.size()));
  std::string gotBig, gotSmall;
  char buffer[4099];
  for (int i = 0; i < 3; ++i) {
    int got = bigFile->read(buffer, sizeof(buffer));
    ASSERT_GT(got, 0);
    gotBig.append(buffer, got);
    got = small->read(buffer, 3);
    gotSmall.append(buffer, got);
  }
  EXPECT_EQ(bigFile->tell(), static_cast<int>(gotBig.size()));
  gotBig += readAll(bigFile.get(), 1000);
  gotSmall += readAll(small.get(), 5);
  EXPECT_TRUE(gotBig == big);
  EXPECT_EQ(gotSmall, "small text");
  EXPECT_EQ(bigFile->read(buffer, 10), 0);
  EXPECT_EQ(readAll(name.get(), 2), "summer");

  std::unique_ptr<KR::File> empty(reader.open("/empty.txt"));
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->getSize(), 0);
  EXPECT_EQ(empty->read(buffer, 10), 0);
}

TEST_F(ZipReaderTest, HandlesGoBackToThePool) {
  KR::ZipReader reader(path);
  std::unique_ptr<KR::File> first(reader.open("/data/small.txt"));
  ASSERT_TRUE(first);
  EXPECT_EQ(reader.pooledHandleCount(), 0u);
  std::unique_ptr<KR::File> second(reader.open("/data/big.bin"));
  ASSERT_TRUE(second);
  EXPECT_EQ(reader.pooledHandleCount(), 0u);
  // A missing entry takes a handle and gives it back.
  EXPECT_EQ(reader.open("/nope"), nullptr);
  EXPECT_EQ(reader.pooledHandleCount(), 1u);
  EXPECT_EQ(first->close(), 0);
  EXPECT_EQ(first->close(), 0);
  EXPECT_EQ(reader.pooledHandleCount(), 2u);
  // Reading after close must not touch a handle that another file may now use.
  char buffer[8];
  EXPECT_LT(first->read(buffer, 8), 0);
  second.reset();
  first.reset();
  EXPECT_EQ(reader.pooledHandleCount(), 3u);
  // Pooled handles are reused.
  std::unique_ptr<KR::File> again(reader.open("/data/small.txt"));
  EXPECT_EQ(reader.pooledHandleCount(), 2u);
}

TEST_F(ZipReaderTest, MissingArchiveIsTriedAgainLater) {
  std::string other = KR::Test::scratchDir("zip-late") + "/data.zip";
  KR::ZipReader reader(other);
  EXPECT_EQ(reader.open("/data/small.txt"), nullptr);
  EXPECT_FALSE(reader.isOpened());
  EXPECT_FALSE(log.contains("cacheFileLocationInfo"));
  KR::Test::writeFile(other, KR::Test::readFile(path));
  std::unique_ptr<KR::File> file(reader.open("/data/small.txt"));
  ASSERT_TRUE(file);
  EXPECT_EQ(readAll(file.get(), 64), "small text");
}

TEST_F(ZipReaderTest, DamagedArchivesAndEntriesFailSafely) {
  std::string folder = KR::Test::scratchDir("zip-damaged");
  KR::Test::writeFile(folder + "/garbage.zip", "PK\3\4 this is not a zip archive at all");
  KR::ZipReader garbage(folder + "/garbage.zip");
  EXPECT_EQ(garbage.open("/data/small.txt"), nullptr);

  // Flip bytes inside the big entry's compressed data: reading reports an error.
  std::string bytes = KR::Test::readFile(path);
  size_t at = bytes.find("data/big.bin");
  ASSERT_NE(at, std::string::npos);
  for (size_t i = at + 200; i < at + 2000; ++i) bytes[i] = static_cast<char>(bytes[i] ^ 0x5A);
  KR::Test::writeFile(folder + "/data.zip", bytes);
  KR::ZipReader damaged(folder + "/data.zip");
  std::unique_ptr<KR::File> file(damaged.open("/data/big.bin"));
  if (file) {
    std::string buffer(big.size(), '\0');
    int got = 0;
    int last;
    while ((last = file->read(&buffer[got], 65536)) > 0) got += last;
    EXPECT_TRUE(last < 0 || buffer.substr(0, got) != big);
    // The file closed itself after the error.
    if (last < 0) {
      EXPECT_LT(file->read(&buffer[0], 16), 0);
    }
  }
}

namespace {

// Little-endian 32-bit field of a zip header.
void put32(std::string& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

// Reads the whole entry the way content loaders do; the last result is kept.
std::string readLikeALoader(KR::File* file, int* last) {
  std::string out(file->getSize(), '\0');
  int done = 0;
  while (done < file->getSize() && (*last = file->read(&out[done], file->getSize() - done)) > 0) done += *last;
  out.resize(done);
  return out;
}

}  // namespace

// One byte altered inside an entry's data: minizip itself notices only when
// the entry is closed, so the read that completes the entry must fail, for
// stored and deflated entries alike, with the archive and entry named.
TEST_F(ZipReaderTest, AlteredBytesFailTheReadThatCompletesTheEntry) {
  for (int method : {0, Z_DEFLATED}) {
    SCOPED_TRACE(method);
    std::string folder = KR::Test::scratchDir("zip-crc" + std::to_string(method));
    std::string text = pattern(5000, 7);
    ASSERT_TRUE(KR::Test::writeZip(folder + "/data.zip", {{"a/text.bin", text}, {"b.txt", "intact"}}, method));
    std::string bytes = KR::Test::readFile(folder + "/data.zip");
    size_t data = bytes.find("a/text.bin") + 10;  // no extra field: the data follows the name
    bytes[data + (method ? 40 : 2500)] ^= 0x01;
    KR::Test::writeFile(folder + "/data.zip", bytes);

    KR::ZipReader reader(folder + "/data.zip");
    std::unique_ptr<KR::File> file(reader.open("/a/text.bin"));
    ASSERT_TRUE(file);
    int last = 0;
    std::string got = readLikeALoader(file.get(), &last);
    EXPECT_LT(last, 0);
    EXPECT_LT(got.size(), text.size());
    EXPECT_LT(file->read(&got[0], 1), 0) << "the file closed itself";
    EXPECT_TRUE(log.contains("damaged entry a/text.bin in " + folder + "/data.zip"));
    std::unique_ptr<KR::File> intact(reader.open("/b.txt"));
    ASSERT_TRUE(intact);
    EXPECT_EQ(readAll(intact.get(), 64), "intact");
  }
}

// A deflate stream that ends before the entry's recorded size.
TEST_F(ZipReaderTest, DataEndingBeforeTheEntrySizeIsAReadError) {
  std::string folder = KR::Test::scratchDir("zip-short");
  ASSERT_TRUE(KR::Test::writeZip(folder + "/data.zip", {{"short.txt", "twenty bytes of text"}}));
  std::string bytes = KR::Test::readFile(folder + "/data.zip");
  size_t local = bytes.find("short.txt");
  size_t central = bytes.find("short.txt", local + 1);
  put32(bytes, local - 30 + 22, 64);    // uncompressed size in the local header
  put32(bytes, central - 46 + 24, 64);  // and in the central directory
  KR::Test::writeFile(folder + "/data.zip", bytes);

  KR::ZipReader reader(folder + "/data.zip");
  std::unique_ptr<KR::File> file(reader.open("short.txt"));
  ASSERT_TRUE(file);
  EXPECT_EQ(file->getSize(), 64);
  int last = 0;
  EXPECT_EQ(readLikeALoader(file.get(), &last), "twenty bytes of text");
  EXPECT_LT(last, 0);
  EXPECT_TRUE(log.contains("damaged entry short.txt in " + folder + "/data.zip"));
}

// At start one line says what is wrong with an unusable archive; opens keep
// trying afterwards, so an archive that appears later is still read.
TEST_F(ZipReaderTest, AnUnusableArchiveIsNamedOnceAtStart) {
  std::string folder = KR::Test::scratchDir("zip-start");
  const struct {
    const char* file;
    const char* bytes;
    const char* reason;
  } cases[] = {{"missing.zip", nullptr, "is missing"},
               {"empty.zip", "", "is empty"},
               {"damaged.zip", "PK\3\4 no directory", "is damaged"}};
  for (const auto& c : cases) {
    std::string archive = folder + "/" + c.file;
    if (c.bytes) KR::Test::writeFile(archive, c.bytes);
    KR::ZipReader reader(archive);
    reader.openAtStart();
    EXPECT_TRUE(log.contains("ZipReader: the archive " + archive + " " + c.reason)) << c.file;
    EXPECT_EQ(reader.open("/data/small.txt"), nullptr);
    KR::Test::writeFile(archive, KR::Test::readFile(path));
    std::unique_ptr<KR::File> file(reader.open("/data/small.txt"));
    ASSERT_TRUE(file) << c.file;
  }
  // An archive that ends inside an entry has lost its directory.
  std::string whole = KR::Test::readFile(path);
  std::string cut = folder + "/cut.zip";
  KR::Test::writeFile(cut, whole.substr(0, whole.find("data/big.bin") + 5000));
  KR::ZipReader truncated(cut);
  truncated.openAtStart();
  EXPECT_TRUE(log.contains("ZipReader: the archive " + cut + " is damaged"));
  EXPECT_EQ(truncated.open("/data/small.txt"), nullptr);
  KR::ZipReader good(path);
  good.openAtStart();
  EXPECT_FALSE(log.contains("ZipReader: the archive " + path));
}

TEST(ZipReaderContentFolder, ReadsDataZipOfTheContentFolder) {
  KR::Test::LogCapture log;
  std::string folder = KR::Test::scratchDir("zip-content") + "/";
  ASSERT_TRUE(KR::Test::writeZip(folder + "data.zip", {{"a.txt", "from the content folder"}}));
  std::string previous = KR::FileSystem::getContentFolder();
  KR::FileSystem::setContentFolder(folder);
  KR::ZipReader reader;
  std::unique_ptr<KR::File> file(reader.open("/a.txt"));
  KR::FileSystem::setContentFolder(previous);
  ASSERT_TRUE(file);
  EXPECT_EQ(readAll(file.get(), 64), "from the content folder");
}
