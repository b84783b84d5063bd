#include "video_surface.h"

#include <gtest/gtest.h>
#include <ogg/ogg.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "image.h"
#include "platform/render_device.h"
#include "sprite.h"
#include "support/test_support.h"
#include "texture_dx8.h"
#include "theora_writer.h"
#include "timer_manager.h"
#include "vertex_format.h"
#include "video_surface_streamer.h"
#include "video_test_support.h"

namespace {

using KR::VideoPlane;
using KR::VideoSurface;
using KR::VideoSurfaceStreamer;
using KR::Test::VideoWorld;
using KR::Tools::TheoraClipSpec;

class VideoSurfaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world.add("default", "clip25", KR::Test::clip(64, 48, 25, 1, 40, TheoraClipSpec::kFrameIndex));
    world.add("default", "short", KR::Test::clip(32, 32, 25, 1, 3));
    world.add("default", "vga", KR::Test::clip(640, 480, 25, 1, 2));
    world.add("default", "red", KR::Test::flatClip(0, 128, 255));
    world.add("default", "chroma444", [] {
      TheoraClipSpec spec;
      spec.chroma = TheoraClipSpec::k444;
      spec.frames = 2;
      return KR::Tools::encodeTheora(spec);
    }());
    world.add("default", "text", std::string("no video here"));
  }

  void start(bool withDevice = false) {
    world.start(withDevice);
    streamer = std::make_unique<VideoSurfaceStreamer>(false);
    streamer->setUseShaders(false);
  }
  void TearDown() override {
    // The streamer leaves its surfaces to their owners: here, the test.
    for (VideoSurface* surface : owned) streamer->destroySurface(surface);
    owned.clear();
    streamer.reset();
  }

  VideoSurface* create(const char* name) {
    VideoSurface* surface = streamer->createSurface(name);
    if (surface) owned.push_back(surface);
    return surface;
  }
  int destroy(VideoSurface* surface) {
    owned.erase(std::remove(owned.begin(), owned.end(), surface), owned.end());
    return streamer->destroySurface(surface);
  }

  // Decodes at the clock reading, lets a frame's pass make the textures,
  // uploads, and draws the surface over the whole 64 x 48 frame; returns that
  // frame as read back.
  std::vector<uint32_t> drawDecoded(VideoSurface* surface, float seconds) {
    KR::RenderSystem* rs = world.renderSystem.get();
    surface->decodeStep(seconds);
    rs->checkDeviceLost();
    rs->renderFrame();
    streamer->uploadFrames();
    rs->checkDeviceLost();
    surface->setPosition(0.0f, 0.0f);
    surface->setSize(64.0f, 48.0f);
    surface->draw();
    const std::vector<uint32_t> pixels = world.frame();
    rs->renderFrame();
    return pixels;
  }

  // Draws the surface's current picture again under a half fade, which the
  // frame's end blends over it; the centre pixel as seen in the window. The
  // picture itself is drawn without blending, which must not outlast it.
  uint32_t fadedCentre(VideoSurface* surface) {
    KR::RenderSystem* rs = world.renderSystem.get();
    rs->checkDeviceLost();
    surface->draw();
    rs->mFadeLevel = 0.5f;
    rs->renderFrame();
    rs->mFadeLevel = 1.0f;
    return world.frame()[24 * world.frameWidth + 32];
  }

  // Runs decode steps at the given clock reading, uploading after each, until
  // nothing more is decoded.
  static void playTo(VideoSurface* surface, float seconds) {
    for (int guard = 0; guard < 1000; ++guard) {
      const uint32_t before = surface->getFramesDecoded();
      surface->decodeStep(seconds);
      surface->uploadFrame();
      if (surface->getFramesDecoded() == before) return;
    }
  }

  KR::Test::LogCapture logs;
  VideoWorld world;
  std::unique_ptr<VideoSurfaceStreamer> streamer;
  std::vector<VideoSurface*> owned;
};

// Frames follow the clip's own rate: at exactly 1 s a 25 frames a second clip
// has decoded 25 frames, the 26th comes as soon as the clock passes 1 s, and
// the frame shown is the one the clock asks for.
TEST_F(VideoSurfaceTest, FramesFollowTheClipsRate) {
  start();
  VideoSurface* surface = create("clip25");
  ASSERT_NE(surface, nullptr);
  EXPECT_FLOAT_EQ(surface->getFrameRate(), 25.0f);
  EXPECT_FALSE(surface->usesShaderPath());

  playTo(surface, 0.0f);
  EXPECT_EQ(surface->getFramesDecoded(), 0u);
  playTo(surface, 0.5f);
  EXPECT_EQ(surface->getFramesDecoded(), 13u);  // 12.5 frames due: the 13th is under way
  playTo(surface, 1.0f);
  EXPECT_EQ(surface->getFramesDecoded(), 25u);
  EXPECT_FLOAT_EQ(surface->getPlayingTime(), 1.0f);
  // The picture plane holds frame 24 (grey: each colour byte is the luma).
  const VideoPlane& plane = surface->getPlane(VideoSurface::kPlaneRgba);
  EXPECT_EQ(KR::Tools::frameIndexFromLuma(plane.data[(10 * plane.width + 10) * 4]), 24u);
  playTo(surface, 1.0001f);
  EXPECT_EQ(surface->getFramesDecoded(), 26u);
}

// The decoder never runs more than one frame ahead of the uploader.
TEST_F(VideoSurfaceTest, OneFrameWaitsForUpload) {
  start();
  VideoSurface* surface = create("clip25");
  ASSERT_NE(surface, nullptr);
  for (int i = 0; i < 5; ++i) surface->decodeStep(1.0f);
  EXPECT_EQ(surface->getFramesDecoded(), 1u);
  EXPECT_TRUE(surface->getPlane(VideoSurface::kPlaneRgba).ready);
  streamer->uploadFrames();
  EXPECT_FALSE(surface->getPlane(VideoSurface::kPlaneRgba).ready);
  EXPECT_TRUE(surface->getPlane(VideoSurface::kPlaneRgba).uploaded);
  surface->decodeStep(1.0f);
  EXPECT_EQ(surface->getFramesDecoded(), 2u);
}

TEST_F(VideoSurfaceTest, PlanesAndTexturesAreSizedFromTheHeader) {
  start();
  VideoSurface* surface = create("vga");
  ASSERT_NE(surface, nullptr);
  const VideoPlane& plane = surface->getPlane(VideoSurface::kPlaneRgba);
  EXPECT_EQ(plane.width, 640u);
  EXPECT_EQ(plane.height, 480u);
  EXPECT_EQ(plane.dataSize, 640u * 480u * 4u);
  EXPECT_EQ(plane.bytesPerPixel, 4u);
  ASSERT_TRUE(plane.hasTextures);
  for (uint32_t i = 0; i < VideoPlane::kRingSize; ++i) {
    ASSERT_NE(plane.textures[i], nullptr);
    EXPECT_EQ(plane.textures[i]->width, 1024u);
    EXPECT_EQ(plane.textures[i]->height, 512u);
    EXPECT_EQ(plane.textures[i]->mTextureFormat, uint32_t(KR::TF_X8R8G8B8));
    EXPECT_EQ(plane.sprites[i]->getFrameRect(0).right, 640.0f);
    EXPECT_EQ(plane.sprites[i]->getFrameRect(0).bottom, 480.0f);
  }
  EXPECT_EQ(surface->getSize().x, 640.0f);
  EXPECT_EQ(surface->getSize().y, 480.0f);
  EXPECT_EQ(world.sprites->getCount(), 3u);

  // Positions and sizes go to all three sprites of the ring.
  surface->setPosition(10.0f, 20.0f);
  surface->setSize(300.0f, 200.0f);
  for (KR::Sprite* sprite : plane.sprites) {
    EXPECT_EQ(sprite->getPosition().x, 10.0f);
    EXPECT_EQ(sprite->getSize().y, 200.0f);
  }
  EXPECT_EQ(destroy(surface), 0);
  EXPECT_EQ(world.sprites->getCount(), 0u);
}

TEST_F(VideoSurfaceTest, TheEndOfTheFileFinishesAndFreesTheSurface) {
  start();
  VideoSurface* surface = create("short");
  ASSERT_NE(surface, nullptr);
  EXPECT_TRUE(surface->isPlaying());
  playTo(surface, 10.0f);
  EXPECT_EQ(surface->getFramesDecoded(), 3u);
  EXPECT_TRUE(surface->isFinished());
  EXPECT_FALSE(surface->isPlaying());
  EXPECT_EQ(world.sprites->getCount(), 0u);
  EXPECT_EQ(surface->getPlane(VideoSurface::kPlaneRgba).data, nullptr);
  // Further steps and uploads do nothing.
  surface->decodeStep(20.0f);
  streamer->uploadFrames();
  EXPECT_EQ(surface->getFramesDecoded(), 3u);
  EXPECT_EQ(surface->getSize().x, 1.0f);
}

// The clip's packets again, with the info header repeated where the third
// picture belongs: the decoder refuses that packet.
std::string withHeaderAmongPictures(const std::string& whole) {
  ogg_sync_state sync;
  ogg_sync_init(&sync);
  char* buffer = ogg_sync_buffer(&sync, long(whole.size()));
  std::memcpy(buffer, whole.data(), whole.size());
  ogg_sync_wrote(&sync, long(whole.size()));
  ogg_stream_state in, out;
  ogg_page page;
  ogg_packet packet;
  std::vector<std::string> packets;
  bool started = false;
  while (ogg_sync_pageout(&sync, &page) > 0) {
    if (!started) {
      ogg_stream_init(&in, ogg_page_serialno(&page));
      started = true;
    }
    ogg_stream_pagein(&in, &page);
    while (ogg_stream_packetout(&in, &packet) > 0)
      packets.emplace_back(reinterpret_cast<const char*>(packet.packet), size_t(packet.bytes));
  }
  ogg_stream_clear(&in);
  ogg_sync_clear(&sync);
  packets.insert(packets.begin() + 5, packets[0]);

  std::string result;
  ogg_stream_init(&out, 1);
  for (size_t i = 0; i < packets.size(); ++i) {
    ogg_packet p{};
    p.packet = reinterpret_cast<unsigned char*>(&packets[i][0]);
    p.bytes = long(packets[i].size());
    p.b_o_s = i == 0;
    p.e_o_s = i + 1 == packets.size();
    p.granulepos = i < 3 ? 0 : int64_t(i);
    p.packetno = int64_t(i);
    ogg_stream_packetin(&out, &p);
    while (i == 0 ? ogg_stream_flush(&out, &page) > 0 : ogg_stream_pageout(&out, &page) > 0) {
      result.append(reinterpret_cast<const char*>(page.header), size_t(page.header_len));
      result.append(reinterpret_cast<const char*>(page.body), size_t(page.body_len));
    }
  }
  while (ogg_stream_flush(&out, &page) > 0) {
    result.append(reinterpret_cast<const char*>(page.header), size_t(page.header_len));
    result.append(reinterpret_cast<const char*>(page.body), size_t(page.body_len));
  }
  ogg_stream_clear(&out);
  return result;
}

// A stream that breaks in the middle ends the video (with a log line) rather
// than leaving its player waiting for frames forever.
TEST_F(VideoSurfaceTest, ADecodingErrorEndsTheVideo) {
  TheoraClipSpec spec;
  spec.frames = 20;
  world.add("default", "broken", withHeaderAmongPictures(KR::Tools::encodeTheora(spec)));
  start();
  VideoSurface* surface = create("broken");
  ASSERT_NE(surface, nullptr);
  playTo(surface, 10.0f);
  EXPECT_EQ(surface->getFramesDecoded(), 2u);
  EXPECT_TRUE(surface->isFinished());
  EXPECT_TRUE(logs.contains("VideoSurface: decoding failed, the video ends here"));
  EXPECT_EQ(world.sprites->getCount(), 0u);
}

TEST_F(VideoSurfaceTest, DamagedClipsEndWithoutHanging) {
  TheoraClipSpec spec;
  spec.frames = 30;
  const std::string whole = KR::Tools::encodeTheora(spec);
  const std::vector<std::string> pages = KR::Tools::splitOggPages(whole);
  std::string damaged = whole;
  for (size_t i = pages[0].size() + pages[1].size() + 30; i < damaged.size(); i += 7)
    damaged[i] = char(damaged[i] ^ 0x5A);
  world.add("default", "damaged", damaged);
  world.add("default", "truncated", whole.substr(0, whole.size() - whole.size() / 3));
  start();
  for (const char* name : {"damaged", "truncated"}) {
    VideoSurface* surface = create(name);
    if (!surface) continue;
    playTo(surface, 100.0f);
    EXPECT_TRUE(surface->isFinished()) << name;
    EXPECT_LT(surface->getFramesDecoded(), 30u) << name;
    EXPECT_EQ(destroy(surface), 0);
  }
  EXPECT_EQ(world.sprites->getCount(), 0u);
}

TEST_F(VideoSurfaceTest, StreamerRefusesWhatItCannotOpenAndKeepsItsList) {
  start();
  EXPECT_EQ(streamer->createSurface("missing"), nullptr);
  EXPECT_EQ(streamer->createSurface("text"), nullptr);
  EXPECT_EQ(streamer->createSurface("chroma444"), nullptr);
  EXPECT_TRUE(logs.contains("VideoSurface: only 4:2:0 video is supported"));
  EXPECT_EQ(streamer->getSurfaceCount(), 0u);
  EXPECT_EQ(world.sprites->getCount(), 0u);

  VideoSurface stranger(false);
  EXPECT_EQ(streamer->destroySurface(&stranger), 1);
  EXPECT_EQ(streamer->destroySurface(nullptr), 1);

  std::vector<VideoSurface*> made;
  for (uint32_t i = 0; i < VideoSurfaceStreamer::kMaxSurfaces; ++i) {
    VideoSurface* s = streamer->createSurface("short");
    ASSERT_NE(s, nullptr) << i;
    made.push_back(s);
  }
  EXPECT_EQ(streamer->createSurface("short"), nullptr);
  // Removing one from the middle keeps the others in order and frees a place.
  EXPECT_EQ(streamer->destroySurface(made[5]), 0);
  EXPECT_EQ(streamer->getSurfaceCount(), VideoSurfaceStreamer::kMaxSurfaces - 1);
  VideoSurface* last = streamer->createSurface("short");
  EXPECT_NE(last, nullptr);
  made[5] = last;
  for (VideoSurface* s : made) EXPECT_EQ(streamer->destroySurface(s), 0);
  EXPECT_EQ(streamer->getSurfaceCount(), 0u);
}

// An inactive application stops the clock and banks its time; the playing
// time then continues from where it stopped.
TEST_F(VideoSurfaceTest, InactiveApplicationStopsTheClock) {
  start();
  VideoSurface* surface = create("clip25");
  ASSERT_NE(surface, nullptr);
  EXPECT_TRUE(streamer->streamPass(true));
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_FALSE(streamer->streamPass(false));
  EXPECT_FALSE(surface->isClockRunning());
  const float banked = surface->getBankedTime();
  EXPECT_GE(banked, 0.025f);
  const float stoppedAt = surface->getPlayingTime();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_FALSE(streamer->streamPass(false));
  EXPECT_EQ(surface->getBankedTime(), banked);
  EXPECT_EQ(surface->getPlayingTime(), stoppedAt);
  // The paused time does not count: however slow the machine, the clock has
  // run no longer than this stopwatch started before the resume.
  KR::WTimer sinceResume;
  EXPECT_TRUE(streamer->streamPass(true));
  EXPECT_TRUE(surface->isClockRunning());
  EXPECT_GE(surface->getPlayingTime(), banked);
  EXPECT_LE(surface->getPlayingTime(), banked + sinceResume.getElapsed() + 0.001f);
}

// The decoding thread runs passes by itself and stops when the streamer goes.
TEST_F(VideoSurfaceTest, TheThreadStartsAndStops) {
  start();
  streamer.reset();
  auto threaded = std::make_unique<VideoSurfaceStreamer>(true);
  EXPECT_TRUE(threaded->isThreadStarted());
  EXPECT_EQ(VideoSurfaceStreamer::getInstance(), threaded.get());
  VideoSurface* surface = threaded->createSurface("short");
  ASSERT_NE(surface, nullptr);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  // No application object: nothing is active and nothing decodes.
  EXPECT_EQ(surface->getFramesDecoded(), 0u);
  EXPECT_EQ(threaded->destroySurface(surface), 0);
  threaded.reset();
  EXPECT_FALSE(VideoSurfaceStreamer::exists());
}

// The ring: each upload goes to the next of three textures, and what the
// texture holds is the plane's frame.
TEST_F(VideoSurfaceTest, UploadsCycleThroughTheRing) {
  start(true);
  VideoSurface* surface = create("clip25");
  ASSERT_NE(surface, nullptr);
  world.textures->createPendingTextures();
  const VideoPlane& plane = surface->getPlane(VideoSurface::kPlaneRgba);
  const uint32_t expected[] = {1, 2, 0, 1, 2};
  for (uint32_t i = 0; i < 5; ++i) {
    surface->decodeStep(float(i + 1) / 25.0f);
    ASSERT_TRUE(plane.ready);
    streamer->uploadFrames();
    EXPECT_EQ(plane.current, expected[i]);
    KR::Texture* texture = plane.textures[plane.current];
    KR::Platform::LockedRect locked;
    ASSERT_TRUE(world.renderSystem->getDevice()->lockTexture(texture->mHandle, locked, false));
    EXPECT_EQ(KR::Tools::frameIndexFromLuma(locked.bits[locked.pitch * 5 + 5 * 4]), i);
    world.renderSystem->getDevice()->unlockTexture(texture->mHandle);
  }
}

// The CPU path end to end: a clip of Y = 0, U = 128, V = 255 shows as red 173.
TEST_F(VideoSurfaceTest, CpuPathDrawsTheConvertedColour) {
  start(true);
  VideoSurface* surface = create("red");
  ASSERT_NE(surface, nullptr);
  KR::RenderSystem* rs = world.renderSystem.get();
  // Nothing is drawn before the first upload.
  rs->checkDeviceLost();
  surface->draw();
  EXPECT_TRUE(KR::Test::rgbNear(0xFF000000u, world.frame()[24 * world.frameWidth + 32], 0));
  rs->renderFrame();

  const std::vector<uint32_t> pixels = drawDecoded(surface, 0.05f);
  EXPECT_TRUE(KR::Test::rgbNear(0xFFAD0000u, pixels[24 * world.frameWidth + 32], 3));
  EXPECT_TRUE(KR::Test::rgbNear(0xFFAD0000u, pixels[2 * world.frameWidth + 2], 3));
  EXPECT_TRUE(KR::Test::rgbNear(0xFF570000u, fadedCentre(surface), 3));
}

// ---------------------------------------------------------------------------
// The shader path: the content's "yuv2rgb" programs under the game's vertex
// format convert on the graphics card.

std::string mediaShader(const std::string& file) {
  return KR::Test::readFile(std::string(KR_TEST_SOURCE_DIR) + "/media/shaders/" + file);
}

class VideoShaderPathTest : public VideoSurfaceTest {
 protected:
  void startWithShaders(bool withFiles) {
    if (withFiles) {
      world.add("default", "yuv2rgb_ps", mediaShader("yuv2rgb_ps.psh"));
      world.add("default", "yuv2rgb_vs", mediaShader("yuv2rgb_vs.vsh"));
    }
    world.config->vertexFormatFlags = KR::kVertexFormatGame;
    world.start(true);
    streamer = std::make_unique<VideoSurfaceStreamer>(false);
  }
};

TEST_F(VideoShaderPathTest, PlanesStayInYuv) {
  startWithShaders(true);
  VideoSurface* surface = create("vga");
  ASSERT_NE(surface, nullptr);
  ASSERT_TRUE(surface->usesShaderPath());
  const VideoPlane& y = surface->getPlane(VideoSurface::kPlaneY);
  const VideoPlane& uv = surface->getPlane(VideoSurface::kPlaneUV);
  EXPECT_EQ(y.dataSize, 640u * 480u);
  EXPECT_EQ(uv.width, 320u);
  EXPECT_EQ(uv.height, 240u);
  EXPECT_EQ(uv.dataSize, 320u * 240u * 2u);
  EXPECT_EQ(y.textures[0]->width, 1024u);
  EXPECT_EQ(y.textures[0]->height, 512u);
  EXPECT_EQ(y.textures[0]->mTextureFormat, uint32_t(KR::TF_L8));
  EXPECT_EQ(uv.textures[2]->width, 512u);
  EXPECT_EQ(uv.textures[2]->height, 256u);
  EXPECT_EQ(uv.textures[2]->mTextureFormat, uint32_t(KR::TF_A8L8));
  EXPECT_EQ(surface->getPlane(VideoSurface::kPlaneRgba).data, nullptr);
  EXPECT_EQ(surface->getSize().x, 640.0f);

  // Both planes wait for the uploader together.
  surface->decodeStep(1.0f);
  surface->decodeStep(1.0f);
  EXPECT_EQ(surface->getFramesDecoded(), 1u);
  EXPECT_TRUE(y.ready && uv.ready);
  world.textures->createPendingTextures();
  streamer->uploadFrames();
  EXPECT_FALSE(y.ready || uv.ready);
  EXPECT_EQ(y.current, 1u);
  EXPECT_EQ(uv.current, 1u);
}

// Y = 0, U = 128, V = 255 gives red 173 on the card as on the CPU.
TEST_F(VideoShaderPathTest, ShadersGiveTheCpuColours) {
  startWithShaders(true);
  VideoSurface* surface = create("red");
  ASSERT_NE(surface, nullptr);
  ASSERT_TRUE(surface->usesShaderPath());
  const std::vector<uint32_t> pixels = drawDecoded(surface, 0.05f);
  EXPECT_TRUE(KR::Test::rgbNear(0xFFAD0000u, pixels[24 * world.frameWidth + 32], 3));
  EXPECT_TRUE(KR::Test::rgbNear(0xFFAD0000u, pixels[45 * world.frameWidth + 60], 3));
  EXPECT_TRUE(KR::Test::rgbNear(0xFF570000u, fadedCentre(surface), 3));
}

TEST_F(VideoShaderPathTest, MissingShaderFilesLeaveTheCpuPath) {
  startWithShaders(false);
  VideoSurface* surface = create("vga");
  ASSERT_NE(surface, nullptr);
  EXPECT_FALSE(surface->usesShaderPath());
  EXPECT_EQ(surface->getPlane(VideoSurface::kPlaneRgba).dataSize, 640u * 480u * 4u);
}

// A picture with chroma ramps along both axes: the card's conversion follows
// the CPU's pixel by pixel (chroma is filtered on the card, so edges of chroma
// cells may differ a little), which also shows U and V and their texture
// coordinates are not swapped or flipped.
TEST_F(VideoShaderPathTest, ShaderPictureMatchesTheCpuConversion) {
  TheoraClipSpec spec;
  spec.frames = 2;
  spec.quality = 63;
  const std::string bytes = KR::Tools::encodeTheora(spec);
  world.add("default", "ramps", bytes);
  startWithShaders(true);
  VideoSurface* surface = create("ramps");
  ASSERT_NE(surface, nullptr);
  ASSERT_TRUE(surface->usesShaderPath());
  const std::vector<uint32_t> pixels = drawDecoded(surface, 0.01f);

  KR::Test::MemoryFile file(bytes);
  KR::VideoStreamDecoder decoder;
  ASSERT_EQ(decoder.open(&file), 0);
  KR::YuvFrameView frame;
  ASSERT_EQ(decoder.decodeFrame(&frame), KR::VideoStreamDecoder::kFrame);
  std::vector<uint8_t> rgba(64 * 48 * 4);
  KR::convertFrameToRgba(frame, rgba.data());

  int worst = 0;
  long total = 0, count = 0;
  for (int y = 2; y < 46; ++y)
    for (int x = 2; x < 62; ++x) {
      const uint32_t shown = pixels[size_t(y) * world.frameWidth + size_t(x)];
      const uint8_t* expected = &rgba[(size_t(y) * 64 + size_t(x)) * 4];
      const int channels[3] = {int((shown >> 16) & 0xFF), int((shown >> 8) & 0xFF), int(shown & 0xFF)};
      for (int c = 0; c < 3; ++c) {
        const int difference = std::abs(channels[c] - int(expected[c]));
        worst = std::max(worst, difference);
        total += difference;
        ++count;
      }
    }
  EXPECT_LT(double(total) / double(count), 2.0);
  EXPECT_LE(worst, 12);
}

}  // namespace
