// The Ogg Vorbis decoder on memory: its vorbisfile callbacks, spans, decoded
// samples against vorbisfile's own output, layouts other than mono and stereo,
// and damaged input.
#include "sound_system/vorbis_decoder.h"

#include <gtest/gtest.h>
#include <vorbis/vorbisenc.h>
#include <vorbis/vorbisfile.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "sound_system/sound_resource_oal.h"
#include "sound_system/vorbis_setup_check.h"
#include "sound_test_content.h"
#include "support/test_support.h"
#include "vorbis_writer.h"

namespace {

using KR::VorbisDecoder;
using KR::VorbisMemorySource;

std::vector<unsigned char> bytesOf(const std::string& text) {
  return std::vector<unsigned char>(text.begin(), text.end());
}

// What vorbisfile alone makes of the whole stream, 16-bit interleaved.
std::vector<int16_t> referenceDecode(const std::string& bytes) {
  std::string path = KR::Test::scratchDir("vorbis-ref") + "/ref.ogg";
  KR::Test::writeFile(path, bytes);
  OggVorbis_File file;
  std::vector<int16_t> samples;
  if (ov_fopen(path.c_str(), &file) != 0) return samples;
  char chunk[4096];
  int link = 0;
  for (;;) {
    long got = ov_read(&file, chunk, sizeof(chunk), 0, 2, 1, &link);
    if (got <= 0) break;
    size_t old = samples.size();
    samples.resize(old + static_cast<size_t>(got) / 2);
    std::memcpy(samples.data() + old, chunk, static_cast<size_t>(got));
  }
  ov_clear(&file);
  return samples;
}

std::vector<int16_t> decodeAll(VorbisDecoder& decoder) {
  std::vector<int16_t> samples;
  std::vector<unsigned char> area(VorbisDecoder::kSpanBytes);
  const uint32_t total = static_cast<uint32_t>(decoder.getTotalFrames());
  for (uint32_t first = 0; first < total; first += VorbisDecoder::kSpanFrames) {
    uint32_t count = std::min(VorbisDecoder::kSpanFrames, total - first);
    uint32_t bytes = decoder.decode(first, count, area.data(), static_cast<uint32_t>(area.size()));
    EXPECT_EQ(bytes, count * 2u * static_cast<uint32_t>(decoder.getOutputChannels())) << "span at " << first;
    size_t old = samples.size();
    samples.resize(old + bytes / 2);
    std::memcpy(samples.data() + old, area.data(), bytes);
  }
  return samples;
}

void expectClose(const std::vector<int16_t>& actual, const std::vector<int16_t>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  size_t off = 0;
  for (size_t i = 0; i < actual.size(); ++i) {
    if (std::abs(actual[i] - expected[i]) > 1) ++off;
  }
  EXPECT_EQ(off, 0u);
}

TEST(VorbisMemoryCallbacks, ReadCopiesWholeElementsOnly) {
  const unsigned char data[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  VorbisMemorySource source{data, sizeof(data), 0};
  unsigned char out[16] = {};
  EXPECT_EQ(VorbisDecoder::readCallback(out, 4, 2, &source), 2u);
  EXPECT_EQ(source.position, 8u);
  EXPECT_EQ(out[7], 7);
  // Two bytes left: no whole element of 4 fits, nothing moves.
  EXPECT_EQ(VorbisDecoder::readCallback(out, 4, 1, &source), 0u);
  EXPECT_EQ(source.position, 8u);
  EXPECT_EQ(VorbisDecoder::readCallback(out, 1, 5, &source), 2u);
  EXPECT_EQ(source.position, 10u);
  EXPECT_EQ(VorbisDecoder::readCallback(out, 1, 5, &source), 0u);
  EXPECT_EQ(VorbisDecoder::readCallback(nullptr, 1, 5, &source), 0u);
  EXPECT_EQ(VorbisDecoder::readCallback(out, 1, 5, nullptr), 0u);
  EXPECT_EQ(VorbisDecoder::readCallback(out, 0, 5, &source), 0u);
  // An element count whose byte size would overflow still copies only what exists.
  source.position = 0;
  EXPECT_EQ(VorbisDecoder::readCallback(out, 1, SIZE_MAX, &source), 10u);
}

TEST(VorbisMemoryCallbacks, SeekStaysWithinTheDataAndTellReportsIt) {
  const unsigned char data[100] = {};
  VorbisMemorySource source{data, sizeof(data), 0};
  EXPECT_EQ(VorbisDecoder::seekCallback(&source, 0, SEEK_END), 0);
  EXPECT_EQ(VorbisDecoder::tellCallback(&source), 100);
  EXPECT_EQ(VorbisDecoder::seekCallback(&source, -30, SEEK_CUR), 0);
  EXPECT_EQ(VorbisDecoder::tellCallback(&source), 70);
  EXPECT_EQ(VorbisDecoder::seekCallback(&source, 10, SEEK_SET), 0);
  EXPECT_EQ(VorbisDecoder::tellCallback(&source), 10);
  // Outside 0..size: refused, position kept.
  EXPECT_EQ(VorbisDecoder::seekCallback(&source, 101, SEEK_SET), -1);
  EXPECT_EQ(VorbisDecoder::seekCallback(&source, -11, SEEK_CUR), -1);
  EXPECT_EQ(VorbisDecoder::seekCallback(&source, 1, SEEK_END), -1);
  EXPECT_EQ(VorbisDecoder::seekCallback(&source, INT64_MIN, SEEK_END), -1);
  EXPECT_EQ(VorbisDecoder::seekCallback(&source, INT64_MAX, SEEK_CUR), -1);
  EXPECT_EQ(VorbisDecoder::seekCallback(&source, 0, 7), -1);
  EXPECT_EQ(VorbisDecoder::tellCallback(&source), 10);
  EXPECT_EQ(VorbisDecoder::seekCallback(nullptr, 0, SEEK_SET), -1);
  EXPECT_EQ(VorbisDecoder::tellCallback(nullptr), -1);
  EXPECT_EQ(VorbisDecoder::closeCallback(&source), 0);
  EXPECT_EQ(VorbisDecoder::closeCallback(nullptr), -1);
}

TEST(VorbisDecoder, StereoDecodesSpanBySpanLikeVorbisfile) {
  KR::Test::LogCapture log;
  std::string file = KR::Test::makeToneFile(2, 44100, 20000);
  VorbisDecoder decoder;
  ASSERT_TRUE(decoder.openMemory(bytesOf(file), "stereo"));
  EXPECT_EQ(decoder.getChannels(), 2);
  EXPECT_EQ(decoder.getOutputChannels(), 2);
  EXPECT_EQ(decoder.getSampleRate(), 44100);
  EXPECT_EQ(decoder.getTotalFrames(), 20000);
  expectClose(decodeAll(decoder), referenceDecode(file));

  // Spans decode the same out of order (each seeks to its first frame).
  std::vector<unsigned char> area(VorbisDecoder::kSpanBytes);
  std::vector<unsigned char> again(VorbisDecoder::kSpanBytes);
  uint32_t first = decoder.decode(8192, 8192, area.data(), VorbisDecoder::kSpanBytes);
  decoder.decode(16384, 3616, again.data(), VorbisDecoder::kSpanBytes);
  uint32_t second = decoder.decode(8192, 8192, again.data(), VorbisDecoder::kSpanBytes);
  EXPECT_EQ(first, second);
  EXPECT_EQ(std::memcmp(area.data(), again.data(), first), 0);
}

TEST(VorbisDecoder, MonoKeepsOneChannel) {
  KR::Test::LogCapture log;
  std::string file = KR::Test::makeToneFile(1, 22050, 5000);
  VorbisDecoder decoder;
  ASSERT_TRUE(decoder.openMemory(bytesOf(file), "mono"));
  EXPECT_EQ(decoder.getOutputChannels(), 1);
  EXPECT_EQ(decoder.getTotalFrames(), 5000);
  expectClose(decodeAll(decoder), referenceDecode(file));
}

TEST(VorbisDecoder, SpansOfAResourceCoverTheStream) {
  KR::Test::LogCapture log;
  KR::SoundDescriptor descriptor;
  descriptor.name = "three";
  KR::SoundResource three(descriptor, bytesOf(KR::Test::makeToneFile(1, 44100, 20000)));
  ASSERT_EQ(three.getBufferCount(), 3u);
  EXPECT_EQ(three.getBuffer(0)->getFirstFrame(), 0u);
  EXPECT_EQ(three.getBuffer(0)->getFrameCount(), 8192u);
  EXPECT_EQ(three.getBuffer(1)->getFirstFrame(), 8192u);
  EXPECT_EQ(three.getBuffer(2)->getFirstFrame(), 16384u);
  EXPECT_EQ(three.getBuffer(2)->getFrameCount(), 3616u);
  EXPECT_EQ(three.getBuffer(3), nullptr);
  EXPECT_FALSE(three.getBuffer(0)->isLoaded());

  KR::SoundResource one(descriptor, bytesOf(KR::Test::makeToneFile(1, 44100, 8192)));
  ASSERT_EQ(one.getBufferCount(), 1u);
  EXPECT_EQ(one.getBuffer(0)->getFrameCount(), 8192u);
}

// Surround streams fold into stereo; a chained stream sums its links and keeps
// the first link's layout; neither ever writes past the area it is given.
TEST(VorbisDecoder, OtherLayoutsFoldIntoTheFirstLinksLayoutWithinTheArea) {
  KR::Test::LogCapture log;
  for (int channels : {3, 5, 8}) {
    VorbisDecoder decoder;
    ASSERT_TRUE(decoder.openMemory(bytesOf(KR::Test::makeToneFile(channels, 44100, 9000, 300.0)), "surround"));
    EXPECT_EQ(decoder.getChannels(), channels);
    EXPECT_EQ(decoder.getOutputChannels(), 2);
    std::vector<unsigned char> area(VorbisDecoder::kSpanBytes + 64, 0xEE);
    uint32_t bytes = decoder.decode(0, 8192, area.data(), VorbisDecoder::kSpanBytes);
    EXPECT_EQ(bytes, VorbisDecoder::kSpanBytes);
    for (size_t i = VorbisDecoder::kSpanBytes; i < area.size(); ++i) ASSERT_EQ(area[i], 0xEE);
    // A smaller area than the span: whole frames that fit, nothing more.
    std::fill(area.begin(), area.end(), 0xEE);
    EXPECT_EQ(decoder.decode(0, 8192, area.data(), 1001), 1000u);
    for (size_t i = 1000; i < area.size(); ++i) ASSERT_EQ(area[i], 0xEE);
    // The mix is audible and does not clip.
    int16_t peak = 0;
    decoder.decode(0, 8192, area.data(), VorbisDecoder::kSpanBytes);
    for (size_t i = 0; i + 1 < VorbisDecoder::kSpanBytes; i += 2) {
      int16_t s = static_cast<int16_t>(area[i] | (area[i + 1] << 8));
      peak = std::max<int16_t>(peak, static_cast<int16_t>(std::abs(s)));
    }
    EXPECT_GT(peak, 3000);
    EXPECT_LT(peak, 32000);
  }

  std::string mono = KR::Tools::encodeVorbis(KR::Tools::makeTone(1, 44100, 3000, 440.0, 0.5), 0.4f, 11);
  std::string stereo = KR::Tools::encodeVorbis(KR::Tools::makeTone(2, 44100, 5000, 440.0, 0.5), 0.4f, 12);
  VorbisDecoder chained;
  ASSERT_TRUE(chained.openMemory(bytesOf(mono + stereo), "chained"));
  EXPECT_EQ(chained.getTotalFrames(), 8000);
  EXPECT_EQ(chained.getOutputChannels(), 1);
  std::vector<unsigned char> area(VorbisDecoder::kSpanBytes + 64, 0xEE);
  EXPECT_EQ(chained.decode(0, 8192, area.data(), VorbisDecoder::kSpanBytes), 8000u * 2u);
  for (size_t i = 16000; i < area.size(); ++i) ASSERT_EQ(area[i], 0xEE);
  // The stereo link's left channel (440 Hz) and right (660 Hz) averaged: the
  // frames of the second link are neither silent nor garbage.
  int16_t peak = 0;
  for (size_t i = 2 * 4000; i < 2 * 7000; i += 2) {
    int16_t s = static_cast<int16_t>(area[i] | (area[i + 1] << 8));
    peak = std::max<int16_t>(peak, static_cast<int16_t>(std::abs(s)));
  }
  EXPECT_GT(peak, 5000);
  EXPECT_LE(peak, 17000);
}

TEST(VorbisDecoder, DamagedTruncatedAndForeignInputIsSafe) {
  KR::Test::LogCapture log;
  std::string file = KR::Test::makeToneFile(2, 44100, 30000);
  std::vector<unsigned char> area(VorbisDecoder::kSpanBytes);

  // Not a Vorbis stream at all, or nothing: refused and logged.
  for (const std::string& junk : {std::string(), std::string("OggS"), std::string(5000, 'x'), file.substr(0, 200)}) {
    VorbisDecoder decoder;
    EXPECT_FALSE(decoder.openMemory(bytesOf(junk), "junk"));
    EXPECT_FALSE(decoder.isOpen());
    EXPECT_EQ(decoder.decode(0, 8192, area.data(), VorbisDecoder::kSpanBytes), 0u);
  }
  EXPECT_TRUE(log.contains("WARNING. Sound is not a readable Ogg Vorbis stream junk"));

  // Cut in the middle: it opens with the frames it still has, and every span
  // decodes without reading past the data.
  std::string music = KR::Tools::encodeVorbis(KR::Tools::makeMusic());
  const int musicFrames = KR::Tools::makeMusic().frameCount();
  VorbisDecoder truncated;
  ASSERT_TRUE(truncated.openMemory(bytesOf(music.substr(0, music.size() / 2)), "truncated"));
  EXPECT_GT(truncated.getTotalFrames(), 0);
  EXPECT_LT(truncated.getTotalFrames(), musicFrames);
  for (uint32_t first = 0; first < static_cast<uint32_t>(musicFrames); first += 8192) {
    EXPECT_LE(truncated.decode(first, 8192, area.data(), VorbisDecoder::kSpanBytes), VorbisDecoder::kSpanBytes);
  }

  // Bytes flipped across the audio pages: decoding goes on or stops, safely.
  std::string damaged = music;
  for (size_t i = damaged.size() / 3; i < damaged.size(); i += 97) damaged[i] ^= 0x6B;
  VorbisDecoder broken;
  if (broken.openMemory(bytesOf(damaged), "damaged")) {
    for (uint32_t first = 0; first < static_cast<uint32_t>(musicFrames); first += 8192) {
      EXPECT_LE(broken.decode(first, 8192, area.data(), VorbisDecoder::kSpanBytes), VorbisDecoder::kSpanBytes);
    }
  }
}

}  // namespace

namespace {

// A setup header of one codebook with the given codeword lengths (1..32; 0 for
// an unused entry of a sparse book) and no lookup table.
std::string setupWithOneBook(uint32_t dimensions, const std::vector<int>& lengths) {
  oggpack_buffer bits;
  oggpack_writeinit(&bits);
  oggpack_write(&bits, 5, 8);
  for (char c : std::string("vorbis")) oggpack_write(&bits, static_cast<unsigned char>(c), 8);
  oggpack_write(&bits, 0, 8);  // one book
  oggpack_write(&bits, 0x564342, 24);
  oggpack_write(&bits, dimensions, 16);
  oggpack_write(&bits, lengths.size(), 24);
  oggpack_write(&bits, 0, 1);  // not ordered
  bool sparse = false;
  for (int length : lengths) sparse = sparse || length == 0;
  oggpack_write(&bits, sparse ? 1 : 0, 1);
  for (int length : lengths) {
    if (sparse) oggpack_write(&bits, length != 0 ? 1 : 0, 1);
    if (length != 0) oggpack_write(&bits, static_cast<unsigned long>(length - 1), 5);
  }
  oggpack_write(&bits, 0, 4);  // no lookup
  std::string packet(reinterpret_cast<const char*>(oggpack_get_buffer(&bits)),
                     static_cast<size_t>(oggpack_bytes(&bits)));
  oggpack_writeclear(&bits);
  return packet;
}

// A real stream's identification and comment headers followed by this setup header.
std::string streamWithSetup(const std::string& setup) {
  vorbis_info info;
  vorbis_info_init(&info);
  vorbis_encode_init_vbr(&info, 1, 44100, 0.4f);
  vorbis_comment comment;
  vorbis_comment_init(&comment);
  vorbis_dsp_state dsp;
  vorbis_analysis_init(&dsp, &info);
  ogg_packet id, tags, code;
  vorbis_analysis_headerout(&dsp, &comment, &id, &tags, &code);
  ogg_stream_state stream;
  ogg_stream_init(&stream, 7);
  ogg_packet crafted = code;
  crafted.packet = reinterpret_cast<unsigned char*>(const_cast<char*>(setup.data()));
  crafted.bytes = static_cast<long>(setup.size());
  ogg_stream_packetin(&stream, &id);
  ogg_stream_packetin(&stream, &tags);
  ogg_stream_packetin(&stream, &crafted);
  std::string out;
  ogg_page page;
  while (ogg_stream_flush(&stream, &page) != 0) {
    out.append(reinterpret_cast<const char*>(page.header), static_cast<size_t>(page.header_len));
    out.append(reinterpret_cast<const char*>(page.body), static_cast<size_t>(page.body_len));
  }
  ogg_stream_clear(&stream);
  vorbis_dsp_clear(&dsp);
  vorbis_comment_clear(&comment);
  vorbis_info_clear(&info);
  return out;
}

bool setupIsSafe(const std::string& stream) {
  return KR::vorbisSetupHeadersAreSafe(reinterpret_cast<const unsigned char*>(stream.data()), stream.size());
}

// libvorbis decodes with zeroed codebooks (and divides by zero) after one of
// them failed to build once; such books never get past opening.
TEST(VorbisSetupCheck, CodebooksThatLibvorbisCannotBuildAreRefused) {
  EXPECT_TRUE(setupIsSafe(streamWithSetup(setupWithOneBook(2, {1, 2, 3, 3}))));
  EXPECT_TRUE(setupIsSafe(streamWithSetup(setupWithOneBook(1, {0, 4, 0}))));      // one word: allowed
  EXPECT_FALSE(setupIsSafe(streamWithSetup(setupWithOneBook(2, {1, 2}))));        // incomplete
  EXPECT_FALSE(setupIsSafe(streamWithSetup(setupWithOneBook(2, {1, 1, 2}))));     // overfull
  EXPECT_FALSE(setupIsSafe(streamWithSetup(setupWithOneBook(0, {1, 1}))));        // no dimensions
  EXPECT_FALSE(setupIsSafe(streamWithSetup(setupWithOneBook(2, {1, 0, 2, 0}))));  // sparse, incomplete
  std::string truncatedBook = setupWithOneBook(2, {1, 2, 3, 3});
  EXPECT_FALSE(setupIsSafe(streamWithSetup(truncatedBook.substr(0, 12))));

  // Real streams pass, and so does what is not Ogg at all (vorbisfile refuses it).
  EXPECT_TRUE(setupIsSafe(KR::Test::makeToneFile(2, 44100, 3000)));
  EXPECT_TRUE(setupIsSafe(std::string(100, 'z')));

  KR::Test::LogCapture log;
  VorbisDecoder decoder;
  EXPECT_FALSE(decoder.openMemory(bytesOf(streamWithSetup(setupWithOneBook(2, {1, 2}))), "bad_books"));
  EXPECT_TRUE(log.contains("WARNING. Sound is not a readable Ogg Vorbis stream bad_books"));
}

}  // namespace
