#include "video_player.h"

#include <cstring>

#include "config_manager.h"
#include "design_coords.h"
#include "input_manager_win_mac.h"
#include "log_system.h"
#include "mouse_device_win.h"
#include "render_system_dx8.h"
#include "scoped_lock.h"
#include "sound_system/sound_descriptor.h"
#include "sound_system/sound_manager.h"
#include "thread.h"
#include "ui/text_manager.h"
#include "ui/ui_font.h"
#include "ui/ui_font_manager.h"
#include "video_surface.h"
#include "video_surface_streamer.h"
#include "xml_data_reader.h"

namespace KR {

namespace {

constexpr uint8_t kEscapeKey = 0x1B;

// Copies at most 63 characters and always terminates.
void copyName(char (&target)[64], const std::string& source) {
  std::strncpy(target, source.c_str(), sizeof target - 1);
  target[sizeof target - 1] = '\0';
}

Vector2<float> designSize() {
  const PlatformConfig* platform = ConfigManager::getInstance()->getCurrentPlatform();
  return platform ? Vector2<float>(float(platform->resolutionWidth), float(platform->resolutionHeight))
                  : Vector2<float>(0.0f, 0.0f);
}

void releasePresetFont(FontPreset& preset) {
  if (preset.font)
    if (UIFontManager* fonts = UIFontManager::getInstancePtr()) fonts->releaseFont(preset.font);
  preset.font = nullptr;
}

// Hands every field of `from` to `to`, leaving `from` empty without giving
// anything back: the references travel with the record.
void moveSlot(MovieSlot& to, MovieSlot& from) {
  std::memcpy(to.videoFileName, from.videoFileName, sizeof to.videoFileName);
  std::memcpy(to.soundTrackFileName, from.soundTrackFileName, sizeof to.soundTrackFileName);
  Subtitles& a = to.subtitles;
  Subtitles& b = from.subtitles;
  a.entries = std::move(b.entries);
  a.time = b.time;
  a.areaLeft = b.areaLeft;
  a.areaTop = b.areaTop;
  a.areaWidth = b.areaWidth;
  a.areaHeight = b.areaHeight;
  a.font = b.font;
  a.preset = b.preset;
  a.presetLoaded = b.presetLoaded;
  a.heightPercent = b.heightPercent;
  to.surface = from.surface;
  to.soundId = from.soundId;
  to.channel = from.channel;
  to.labelPreset = from.labelPreset;
  to.labelText = from.labelText;
  to.labelPosition = from.labelPosition;
  to.labelWidth = from.labelWidth;
  to.labelHeight = from.labelHeight;
  to.videoSize = from.videoSize;

  std::memset(from.videoFileName, 0, sizeof from.videoFileName);
  std::memset(from.soundTrackFileName, 0, sizeof from.soundTrackFileName);
  b.entries.clear();
  b.font = nullptr;
  b.preset = FontPreset();
  b.presetLoaded = false;
  b.time = 0.0f;
  from.surface = nullptr;
  from.soundId = 0;
  from.channel = 0;
  from.labelPreset = FontPreset();
  from.labelText = nullptr;
  from.labelWidth = from.labelHeight = 0.0f;
}

}  // namespace

VideoPlayer::VideoPlayer() {
  setInstance(this);
  initRecursiveMutex(&lock);
}

VideoPlayer::~VideoPlayer() {
  {
    ScopedLock guard(ScopedLock::lock(&lock));
    for (uint32_t i = 0; i < queuedCount; ++i) stopSlot(slots[i]);
    queuedCount = 0;
    playingIndex = -1;
  }
  pthread_mutex_destroy(&lock);
}

uint32_t VideoPlayer::getQueuedCount() {
  ScopedLock guard(ScopedLock::lock(&lock));
  return queuedCount;
}

int VideoPlayer::playMovie(const std::string& descriptionName) {
  ScopedLock guard(ScopedLock::lock(&lock));
  if (queuedCount >= kMaxMovies) return 1;
  XmlDataReader reader;
  if (!reader.open("default", descriptionName)) return 1;
  if (!reader.enterChild("Movie")) return 1;

  MovieSlot& slot = slots[queuedCount];
  std::string video, sound;
  reader.readString("VideoFilename", &video);
  reader.readString("SoundTrackFilename", &sound);
  copyName(slot.videoFileName, video);
  copyName(slot.soundTrackFileName, sound);

  std::string presetFile, presetTable;
  reader.readString("fontPresetFile", &presetFile);
  reader.readString("fontPresetTable", &presetTable);
  releasePresetFont(slot.labelPreset);
  slot.labelPreset = FontPreset();
  if (UIFontManager* fonts = UIFontManager::getInstancePtr())
    fonts->loadFontPreset(presetFile, presetTable, &slot.labelPreset);
  slot.labelPreset.halign = 0;
  slot.labelPreset.valign = 0;
  slot.labelText = &TextManager::getInstance()->getText("SKIP");
  slot.labelWidth = 0.0f;
  slot.labelHeight = 0.0f;
  if (UIFont* font = slot.labelPreset.font) {
    const std::wstring& text = *slot.labelText;
    slot.labelWidth = font->getWStringWidth(text.data(), text.data() + text.size(), slot.labelPreset.xcoeff);
    slot.labelHeight = fontLineHeight(font);
  }

  if (slot.videoFileName[0] == '\0') {
    // Not queued: the label's font reference goes back at once.
    releasePresetFont(slot.labelPreset);
    return 1;
  }
  slot.subtitles.load(reader);
  ++queuedCount;
  return 0;
}

void VideoPlayer::update() {
  ScopedLock guard(ScopedLock::lock(&lock));
  if (playingIndex >= 0) updateSkipLabel(slots[playingIndex]);
  if (queuedCount == 0) return;
  if (playingIndex < 0) {
    playingIndex = 0;
    startSlot(slots[0]);
  }
  MovieSlot& slot = slots[playingIndex];
  layoutSlot(slot);
  if (!slot.surface || slot.surface->isFinished()) removePlaying();
}

void VideoPlayer::startSlot(MovieSlot& slot) {
  SoundManager* sound = SoundManager::getInstancePtr();
  if (sound) sound->stopAllSounds();
  // Placed now so that the first frame already shows the label in its corner.
  placeLabel(slot);
  if (VideoSurfaceStreamer* streamer = VideoSurfaceStreamer::getInstancePtr()) {
    slot.surface = streamer->createSurface(slot.videoFileName);
    if (slot.surface) {
      slot.videoSize = slot.surface->getSize();
      layoutSlot(slot);
    }
  }
  if (!slot.surface) log("VideoPlayer: %s cannot be played, the movie is skipped", slot.videoFileName);
  if (slot.soundTrackFileName[0] != '\0' && sound) {
    slot.soundId = sound->acquireSoundId(slot.soundTrackFileName);
    if (!slot.soundId) {
      SoundDescriptor descriptor;
      descriptor.name = slot.soundTrackFileName;
      descriptor.group = 0;
      descriptor.volume = 1.0f;
      descriptor.loop = false;
      descriptor.priority = 0;
      slot.soundId = sound->loadSound(descriptor);
    }
    if (slot.soundId) slot.channel = sound->playSound(slot.soundId);
  }
}

void VideoPlayer::stopSlot(MovieSlot& slot) {
  slot.subtitles.destroy();
  if (slot.surface) {
    if (VideoSurfaceStreamer* streamer = VideoSurfaceStreamer::getInstancePtr()) streamer->destroySurface(slot.surface);
    slot.surface = nullptr;
  }
  if (SoundManager* sound = SoundManager::getInstancePtr()) {
    if (slot.channel) sound->stopSound(slot.channel);
    // The sound track was taken with a reference of its own; it goes back
    // with the movie.
    if (slot.soundId) sound->releaseSound(slot.soundId);
  }
  slot.channel = 0;
  slot.soundId = 0;
  releasePresetFont(slot.labelPreset);
}

void VideoPlayer::removePlaying() {
  if (playingIndex < 0 || uint32_t(playingIndex) >= queuedCount) {
    playingIndex = -1;
    return;
  }
  stopSlot(slots[playingIndex]);
  for (uint32_t i = uint32_t(playingIndex) + 1; i < queuedCount; ++i) moveSlot(slots[i - 1], slots[i]);
  --queuedCount;
  playingIndex = -1;
}

void VideoPlayer::skipCurrent() {
  ScopedLock guard(ScopedLock::lock(&lock));
  if (playingIndex >= 0) removePlaying();
}

void VideoPlayer::layoutSlot(MovieSlot& slot) {
  if (!slot.surface) return;
  const Viewport2D fit = computeFit(slot.videoSize, designSize(), 0, 1.0f, 1.33f);
  // One unit of overlap on every side hides the filtered edge of the picture.
  slot.surface->setPosition(fit.offset.x - 1.0f, fit.offset.y - 1.0f);
  slot.surface->setSize(fit.size.x + 2.0f, fit.size.y + 2.0f);
}

void VideoPlayer::placeLabel(MovieSlot& slot) {
  // The label sits in the design area's top-right corner: drawing is clipped
  // to that area, so on a screen of another shape the window's corner (in the
  // bars beside or above it) would show none or part of the word.
  slot.labelPosition = Vector2<float>(designSize().x - kLabelMargin - slot.labelWidth, kLabelMargin);
}

void VideoPlayer::updateSkipLabel(MovieSlot& slot) {
  InputManager* input = InputManager::getInstancePtr();
  if (!input) return;
  MouseDevice* mouse = input->getMouseDevice();
  const Vector2<int> cursor = windowToDesignCoords(mouse->cursorX, mouse->cursorY);
  mouse->designX = cursor.x;
  mouse->designY = cursor.y;

  placeLabel(slot);

  const float x = slot.labelPosition.x;
  const float y = slot.labelPosition.y;
  const float cx = float(cursor.x);
  const float cy = float(cursor.y);
  cursorOverLabel = (x < cx && cx < x + slot.labelWidth && y < cy && cy < y + slot.labelHeight) ? 1 : 0;
  // The label says that the movie can be skipped: a click anywhere or Escape
  // does it, not only a click on the word.
  if (mouse->wentDown(0) || mouse->wentDown(1) || input->getKeyboardDevice()->releases(kEscapeKey) > 0) skipCurrent();
}

void VideoPlayer::render() {
  if (playingIndex < 0) return;
  RenderSystem* renderSystem = RenderSystem::getInstancePtr();
  if (renderSystem) renderSystem->checkDeviceLost();
  drawPlaying();
  if (renderSystem) {
    renderSystem->renderFrame();
    renderSystem->present();
  }
  Thread::sleep(16);
}

void VideoPlayer::drawPlaying() {
  ScopedLock guard(ScopedLock::lock(&lock));
  if (playingIndex < 0 || uint32_t(playingIndex) >= queuedCount) return;
  MovieSlot& slot = slots[playingIndex];
  if (slot.surface) {
    slot.surface->draw();
    slot.subtitles.time = slot.surface->getPlayingTime();
  }
  slot.subtitles.draw();
  drawLabel(slot);
}

void VideoPlayer::drawLabel(MovieSlot& slot) {
  UIFont* font = slot.labelPreset.font;
  if (!font || !slot.labelText) return;
  Color color = slot.labelPreset.color;
  if (cursorOverLabel) color = color * Color::fromFloats(0.85f, 0.85f, 0.85f, 0.85f);
  labelColor = color;
  font->color = color;
  const FontPreset& p = slot.labelPreset;
  font->drawWString(Rect(0.0f, 0.0f, 0.0f, 0.0f), slot.labelPosition, *slot.labelText, p.wordWrap, p.halign, p.valign,
                    p.xcoeff, p.ycoeff, false, true, slot.labelWidth + kLabelMargin, slot.labelHeight);
}

}  // namespace KR
