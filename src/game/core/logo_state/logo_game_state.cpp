#include "core/logo_state/logo_game_state.h"

#include <pugixml.hpp>

#include <algorithm>
#include <memory>

#include "config_manager.h"
#include "file_system.h"
#include "input_manager_win_mac.h"
#include "log_system.h"
#include "png_image.h"
#include "rect.h"
#include "render_system_dx8.h"
#include "report_assert.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "texture_manager.h"

namespace HOG {

namespace {

constexpr uint8_t kVkReturn = 0x0D;
constexpr uint8_t kVkEscape = 0x1B;
constexpr uint8_t kVkSpace = 0x20;

bool readWhole(KR::File* file, std::string* bytes) {
  const int size = file->getSize();
  if (size < 0) return false;
  bytes->assign(size_t(size), '\0');
  int done = 0;
  while (done < size) {
    const int got = file->read(&(*bytes)[size_t(done)], size - done);
    if (got <= 0) return false;
    done += got;
  }
  return true;
}

// A time that never ends, or one that no comparison reaches (not a number),
// would keep an unskippable logo on screen for good.
float boundedDuration(const pugi::xml_attribute& attribute, size_t logo) {
  const float duration = attribute.as_float(0.0f);
  if (duration >= 0.0f && duration <= LogoGameState::kMaxDuration) return duration;
  const float bounded = duration > LogoGameState::kMaxDuration ? LogoGameState::kMaxDuration : 0.0f;
  KR::log(
      "WARNING: Logo description 'logo.xml', logo %zu, key 'duration': '%s' is not a number of seconds from 0 "
      "to %g; %g is taken",
      logo, attribute.value(), double(LogoGameState::kMaxDuration), double(bounded));
  return bounded;
}

}  // namespace

LogoGameState::LogoGameState() { KR::Singleton<LogoGameState>::setInstance(this); }

LogoGameState::~LogoGameState() { unload(); }

std::string LogoGameState::imagePath(const std::string& name, bool localized, const std::string& language) {
  if (!localized) return "/pc_logo/" + name;
  if (language == "local") return "/pc_localization/" + name;
  return "/pc_localization/" + language + "/" + name;
}

float LogoGameState::fadeOf(const LogoEntry& entry) {
  return std::min(1.0f, entry.elapsed) * std::min(1.0f, entry.duration - entry.elapsed);
}

void LogoGameState::load() {
  if (loaded || !KR::FileSystem::exists()) return;
  KR::FileSystem* files = KR::FileSystem::getInstance();
  files->addEntry("default", "logo.xml", "/pc_logo/logo.xml");
  std::unique_ptr<KR::File> file(files->openFile("default", "logo.xml"));
  std::string bytes;
  if (!file || !readWhole(file.get(), &bytes)) {
    KR::log("Failed to load logo.xml");
    return;
  }
  pugi::xml_document document;
  if (!document.load_buffer(bytes.data(), bytes.size())) KR_FATAL("Failed to parse XML");
  const std::string language =
      KR::ConfigManager::exists() ? KR::ConfigManager::getInstance()->getCurrentLanguage() : std::string();
  for (pugi::xml_node node : document.child("root").children()) {
    if (node.type() != pugi::node_element) continue;
    LogoEntry entry;
    entry.name = node.attribute("name").as_string();
    entry.duration = boundedDuration(node.attribute("duration"), logos.size() + 1);
    entry.esc = node.attribute("esc").as_int(0);
    const std::string path = imagePath(entry.name, node.attribute("localized").as_int(0) != 0, language);
    files->addEntry("default", entry.name, path);
    logos.push_back(entry);
  }
  if (!logos.empty()) loadPicture(logos.front());
}

void LogoGameState::loadPicture(LogoEntry& entry) {
  if (entry.pictureLoaded) return;
  entry.pictureLoaded = true;
  const KR::PlatformConfig* platform =
      KR::ConfigManager::exists() ? KR::ConfigManager::getInstance()->getCurrentPlatform() : nullptr;
  const float screenW = platform ? float(platform->resolutionWidth) : float(KR::RenderSystem::getDesignWidth());
  const float screenH = platform ? float(platform->resolutionHeight) : float(KR::RenderSystem::getDesignHeight());
  // Held until a texture takes it: a missing picture is fatal, and a fatal
  // error that is answered must not leave it behind.
  std::unique_ptr<KR::PngImage> image(new KR::PngImage());
  image->load(entry.name, "default");
  const float w = float(image->getWidth()), h = float(image->getHeight());
  KR::Texture* texture = nullptr;
  if (w > 0 && h > 0 && KR::TextureManager::exists()) {
    image->padToPowerOfTwo();
    texture = KR::TextureManager::getInstance()->createTextureFromImage(image.get(), entry.name, "default");
  }
  // A registered texture owns its image; otherwise it stays ours.
  if (texture && texture->getImage() == image.get()) image.release();
  auto* sprites = KR::SpriteManager<KR::Sprite>::getInstancePtr();
  if (texture && sprites) entry.sprite = sprites->createSpriteFromTextureObject(texture);
  // A picture without height is not fitted (no division by zero).
  if (entry.sprite && h > 0) {
    // The texture is padded to powers of two: the frame shows the picture only.
    entry.sprite->setFrameRect(0, KR::Rect(0, 0, w, h), true);
    const float width = screenH * w / h;
    entry.sprite->setSize(KR::Vector2<float>(width, screenH));
    entry.sprite->setPosition((screenW - width) / 2.0f, 0.0f);
  }
}

void LogoGameState::unload() {
  if (auto* sprites = KR::SpriteManager<KR::Sprite>::getInstancePtr())
    for (LogoEntry& entry : logos) sprites->destroySprite(entry.sprite);
  logos.clear();
}

void LogoGameState::onDeactivate() {
  if (KR::RenderSystem::exists()) KR::RenderSystem::getInstance()->mFadeLevel = 1.0f;
  unload();
}

void LogoGameState::skipTest() {
  if (!KR::InputManager::exists() || currentLogo >= logos.size()) return;
  KR::InputManager* input = KR::InputManager::getInstance();
  const bool click = input->getMouseDevice()->wentUp(0);
  const KR::KeyboardDevice* keys = input->getKeyboardDevice();
  // Each release counts, also a tap in each of two frames in a row.
  const bool key = keys->releases(kVkEscape) > 0 || keys->releases(kVkReturn) > 0 || keys->releases(kVkSpace) > 0;
  const LogoEntry& entry = logos[currentLogo];
  if ((click || key) && entry.esc != 0 && entry.elapsed > std::min(0.5f, entry.duration / 3.0f)) ++currentLogo;
}

void LogoGameState::update(float dt) {
  // The pictures the launch left out, one per frame after the first.
  while (nextPicture < logos.size() && logos[nextPicture].pictureLoaded) ++nextPicture;
  if (framesDrawn > 0 && nextPicture < logos.size()) loadPicture(logos[nextPicture]);
  skipTest();
  if (currentLogo < logos.size()) {
    LogoEntry& entry = logos[currentLogo];
    entry.elapsed += dt;
    if (entry.elapsed > entry.duration) ++currentLogo;
  } else if (AppStateManager::exists()) {
    AppStateManager::getInstance()->setState("MainMenu");
  }
}

void LogoGameState::draw() {
  ++framesDrawn;
  if (currentLogo >= logos.size()) return;
  LogoEntry& entry = logos[currentLogo];
  loadPicture(entry);
  // The fade darkens the logo itself, over the black of the cleared frame:
  // the picture's own colour, not a black quad over the whole screen.
  if (entry.sprite) {
    const float fade = std::max(0.0f, std::min(1.0f, fadeOf(entry)));
    entry.sprite->setMeshColor(KR::Color::fromFloats(fade, fade, fade, 1.0f));
    entry.sprite->updateVertices();
    entry.sprite->render();
  }
}

}  // namespace HOG
