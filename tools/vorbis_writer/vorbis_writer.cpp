#include "vorbis_writer.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace KR {
namespace Tools {

namespace {

constexpr double kPi = 3.14159265358979323846;

int16_t toSample(double value) {
  double scaled = std::round(value * 32767.0);
  if (scaled > 32767.0) scaled = 32767.0;
  if (scaled < -32768.0) scaled = -32768.0;
  return static_cast<int16_t>(scaled);
}

void appendPage(std::string& out, const ogg_page& page) {
  out.append(reinterpret_cast<const char*>(page.header), static_cast<size_t>(page.header_len));
  out.append(reinterpret_cast<const char*>(page.body), static_cast<size_t>(page.body_len));
}

}  // namespace

PcmSound makeTone(int channels, int sampleRate, int frames, double frequency, double amplitude) {
  PcmSound sound;
  sound.channels = channels;
  sound.sampleRate = sampleRate;
  sound.samples.resize(static_cast<size_t>(channels) * static_cast<size_t>(frames));
  for (int f = 0; f < frames; ++f) {
    double t = static_cast<double>(f) / sampleRate;
    for (int c = 0; c < channels; ++c) {
      double freq = frequency * (1.0 + c * 0.5);
      sound.samples[static_cast<size_t>(f) * channels + c] = toSample(amplitude * std::sin(2.0 * kPi * freq * t));
    }
  }
  return sound;
}

PcmSound makeEffect() {
  // 0.35 s rising chirp with a quick decay: a "click" for buttons and items.
  PcmSound sound;
  sound.channels = 1;
  sound.sampleRate = 44100;
  const int frames = sound.sampleRate * 35 / 100;
  sound.samples.resize(frames);
  double phase = 0.0;
  for (int f = 0; f < frames; ++f) {
    double t = static_cast<double>(f) / sound.sampleRate;
    double freq = 600.0 + 1400.0 * t / 0.35;
    phase += 2.0 * kPi * freq / sound.sampleRate;
    double envelope = std::exp(-t * 9.0) * std::min(1.0, t * 400.0);
    sound.samples[f] = toSample(0.7 * envelope * (std::sin(phase) + 0.3 * std::sin(2.0 * phase)) / 1.3);
  }
  return sound;
}

PcmSound makeMusic() {
  // Eight seconds of a slow arpeggio over a held bass, left and right voices apart.
  PcmSound sound;
  sound.channels = 2;
  sound.sampleRate = 44100;
  const double noteLength = 0.5;
  const double notes[] = {261.63, 329.63, 392.00, 523.25, 392.00, 329.63, 293.66, 349.23,
                          440.00, 587.33, 440.00, 349.23, 246.94, 311.13, 392.00, 493.88};
  const double bass[] = {130.81, 146.83, 123.47, 130.81};
  const int noteCount = static_cast<int>(sizeof(notes) / sizeof(notes[0]));
  const int frames = static_cast<int>(noteCount * noteLength * sound.sampleRate);
  sound.samples.resize(static_cast<size_t>(frames) * 2);
  for (int f = 0; f < frames; ++f) {
    double t = static_cast<double>(f) / sound.sampleRate;
    int note = static_cast<int>(t / noteLength);
    if (note >= noteCount) note = noteCount - 1;
    double inNote = t - note * noteLength;
    double env = std::exp(-inNote * 4.0) * std::min(1.0, inNote * 200.0);
    double melody = env * std::sin(2.0 * kPi * notes[note] * t);
    double low = 0.5 * std::sin(2.0 * kPi * bass[(note / 4) % 4] * t);
    // Fade the ends so a loop of the track does not click.
    double edge = std::min(1.0, std::min(t, frames / static_cast<double>(sound.sampleRate) - t) * 20.0);
    sound.samples[static_cast<size_t>(f) * 2] = toSample(0.4 * edge * (0.8 * melody + 0.5 * low));
    sound.samples[static_cast<size_t>(f) * 2 + 1] = toSample(0.4 * edge * (0.5 * melody + 0.8 * low));
  }
  return sound;
}

PcmSound makeMusicTrack(int variant, int seconds) {
  PcmSound sound;
  sound.channels = 1;
  sound.sampleRate = 22050;
  const double root = variant == 0 ? 261.63 : 196.00;
  // Semitones above the root: I, vi, IV, V, each chord held for two bars of
  // eight arpeggio notes.
  const int chords[4][4] = {{0, 4, 7, 12}, {9, 12, 16, 21}, {5, 9, 12, 17}, {7, 11, 14, 19}};
  const int pattern[8] = {0, 1, 2, 3, 2, 1, 2, 1};
  const double noteLength = variant == 0 ? 0.32 : 0.36;
  const int frames = std::max(0, seconds) * sound.sampleRate;
  const double length = static_cast<double>(frames) / sound.sampleRate;
  sound.samples.resize(static_cast<size_t>(frames));
  for (int f = 0; f < frames; ++f) {
    const double t = static_cast<double>(f) / sound.sampleRate;
    const int note = static_cast<int>(t / noteLength);
    const int* chord = chords[(note / 16) % 4];
    const double inNote = t - note * noteLength;
    const double pitch = root * std::pow(2.0, chord[pattern[note % 8]] / 12.0);
    const double env = std::exp(-inNote * 5.0) * std::min(1.0, inNote * 300.0);
    const double melody = env * (std::sin(2.0 * kPi * pitch * t) + 0.2 * std::sin(4.0 * kPi * pitch * t));
    const double bassPitch = root * std::pow(2.0, chord[0] / 12.0 - 1.0);
    const double bass = 0.35 * std::sin(2.0 * kPi * bassPitch * t);
    const double edge = std::min(1.0, std::min(t, length - t) / 1.5);
    sound.samples[static_cast<size_t>(f)] = toSample(0.35 * edge * (0.7 * melody + bass));
  }
  return sound;
}

PcmSound makeAmbient() {
  // Four seconds of filtered noise whose loudness swells with whole periods of
  // the loop, so that the end joins the start.
  PcmSound sound;
  sound.channels = 2;
  sound.sampleRate = 22050;
  const int frames = sound.sampleRate * 4;
  sound.samples.resize(static_cast<size_t>(frames) * 2);
  uint32_t seed = 12345;
  double lowLeft = 0.0, lowRight = 0.0;
  for (int f = 0; f < frames; ++f) {
    seed = seed * 1664525u + 1013904223u;
    double noiseLeft = ((seed >> 8) & 0xFFFF) / 32768.0 - 1.0;
    seed = seed * 1664525u + 1013904223u;
    double noiseRight = ((seed >> 8) & 0xFFFF) / 32768.0 - 1.0;
    lowLeft += 0.03 * (noiseLeft - lowLeft);
    lowRight += 0.03 * (noiseRight - lowRight);
    double phase = static_cast<double>(f) / frames;
    double swellLeft = 0.6 + 0.4 * std::sin(2.0 * kPi * phase);
    double swellRight = 0.6 + 0.4 * std::sin(2.0 * kPi * (phase + 0.5));
    double edge = std::min(1.0, std::min(f, frames - f) / 200.0);
    sound.samples[static_cast<size_t>(f) * 2] = toSample(2.5 * edge * swellLeft * lowLeft);
    sound.samples[static_cast<size_t>(f) * 2 + 1] = toSample(2.5 * edge * swellRight * lowRight);
  }
  return sound;
}

std::string encodeVorbis(const PcmSound& sound, float quality, int serial) {
  std::string out;
  if (sound.channels < 1 || sound.sampleRate < 1) return out;
  vorbis_info info;
  vorbis_info_init(&info);
  if (vorbis_encode_init_vbr(&info, sound.channels, sound.sampleRate, quality) != 0) {
    vorbis_info_clear(&info);
    return out;
  }
  vorbis_comment comment;
  vorbis_comment_init(&comment);
  vorbis_comment_add_tag(&comment, "ENCODER", "vorbis_writer");
  vorbis_dsp_state dsp;
  vorbis_block block;
  vorbis_analysis_init(&dsp, &info);
  vorbis_block_init(&dsp, &block);
  ogg_stream_state stream;
  ogg_stream_init(&stream, serial);

  ogg_packet header, headerComment, headerCode;
  vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
  ogg_stream_packetin(&stream, &header);
  ogg_stream_packetin(&stream, &headerComment);
  ogg_stream_packetin(&stream, &headerCode);
  ogg_page page;
  while (ogg_stream_flush(&stream, &page) != 0) appendPage(out, page);

  const int frames = sound.frameCount();
  const int chunk = 1024;
  int done = 0;
  bool ended = false;
  while (!ended) {
    int count = std::min(chunk, frames - done);
    if (count > 0) {
      float** buffer = vorbis_analysis_buffer(&dsp, count);
      for (int f = 0; f < count; ++f) {
        for (int c = 0; c < sound.channels; ++c) {
          buffer[c][f] = sound.samples[static_cast<size_t>(done + f) * sound.channels + c] / 32768.0f;
        }
      }
      vorbis_analysis_wrote(&dsp, count);
      done += count;
    } else {
      vorbis_analysis_wrote(&dsp, 0);
    }
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
      vorbis_analysis(&block, nullptr);
      vorbis_bitrate_addblock(&block);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
        ogg_stream_packetin(&stream, &packet);
        while (ogg_stream_pageout(&stream, &page) != 0) {
          appendPage(out, page);
          if (ogg_page_eos(&page)) ended = true;
        }
      }
    }
    if (count <= 0 && !ended) {
      // Everything has been handed over; flush what the stream still holds.
      while (ogg_stream_flush(&stream, &page) != 0) appendPage(out, page);
      ended = true;
    }
  }

  ogg_stream_clear(&stream);
  vorbis_block_clear(&block);
  vorbis_dsp_clear(&dsp);
  vorbis_comment_clear(&comment);
  vorbis_info_clear(&info);
  return out;
}

bool writeBytes(const std::string& path, const std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  ok = std::fclose(file) == 0 && ok;
  return ok;
}

}  // namespace Tools
}  // namespace KR
