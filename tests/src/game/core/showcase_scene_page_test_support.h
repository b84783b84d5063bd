// A showcase test of a page that plays a scene: looping and sprite sheets on
// while it runs, texts, device, sprites and fonts open, the page advanced a
// frame at a time and its frame compared with a reference image. Page has
// load(), draw(), getFrame() and advance(seconds).
#pragma once

#include <memory>
#include <string>

#include "animationeditor/scene_node.h"
#include "animationeditor/sprite_scene_node.h"
#include "showcase_reference_image.h"
#include "showcase_test_support.h"

namespace KR {
namespace Test {

template <typename Page>
class ShowcaseScenePageTest : public ShowcaseTest {
 protected:
  void SetUp() override {
    AE::gLoopEnabled = 1;
    AE::useSpriteSheets = 1;
    openMedia();
    texts = std::make_unique<TextManager>();
    texts->loadStrings();
    openDevice();
    openSpritesAndFonts();
  }
  void TearDown() override {
    page.reset();
    AE::gLoopEnabled = 0;
    AE::useSpriteSheets = 0;
    ShowcaseTest::TearDown();
  }

  void advanceTo(int frame) {
    while (page->getFrame() < frame) page->advance(1.0f / 24.0f);
  }

  // The frame as drawn now, compared with tests/data/render/<name>.png.
  void expectReference(const std::string& name) {
    ASSERT_TRUE(this->drawTwiceAndRead([this] { page->draw(); }));
    expectReferenceImage(name, this->frame, this->width, this->height);
  }

  std::unique_ptr<Page> page = std::make_unique<Page>();
};

}  // namespace Test
}  // namespace KR
