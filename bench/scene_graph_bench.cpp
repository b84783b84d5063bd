// A scene of 2,000 animated nodes, three sprites to one text, every node
// keyed in position, rotation, scale and colour (texts also in maxChar) and
// playing in a loop, over the built demo media on an off-screen device.
// Targets: the tree's update at most 1 ms a frame; update plus drawing at
// most 5 ms of the main thread's CPU a frame (the software rasteriser's
// threads are not in it). BM_InterleavedDraw keeps texts and sprites at one
// depth, so that the texture changes every few nodes and the batches break.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "animationeditor/scene_node.h"
#include "animationeditor/scene_node_animation.h"
#include "animationeditor/sprite_scene_node.h"
#include "animationeditor/text_scene_node.h"
#include "bench_main.h"
#include "frame_meter.h"
#include "scene_world.h"

namespace {

constexpr int kNodes = 2000;
constexpr int kGroup = 10;
constexpr float kFrame = 1.0f / 60.0f;

struct World : KR::Bench::SceneWorld {
  explicit World(bool layered) { build(layered); }
  ~World() { root.reset(); }

  void build(bool layered) {
    root = std::make_unique<AE::ISceneNode>();
    AE::ISceneNode* group = nullptr;
    for (int i = 0; i < kNodes; ++i) {
      if (i % kGroup == 0) {
        group = new AE::ISceneNode();
        group->mPosX = float((i / kGroup) % 20) * 50.0f;
        group->mPosY = float((i / kGroup) / 20) * 70.0f;
        root->addChild(group, true);
      }
      AE::ISceneNode* node = nullptr;
      if (i % 4 == 3) {
        auto* text = new AE::TextSceneNode("font2_fnt", L"node " + std::to_wstring(i));
        text->setSize(KR::Vector2<float>(80.0f, 20.0f));
        text->mMaxChar = 0;
        text->storeKeyframe(0);
        text->mMaxChar = 8;
        text->storeKeyframe(24);
        node = text;
      } else {
        auto* sprite = new AE::SpriteSceneNode();
        sprite->loadFromSpriteTable("demo_scene_sprites", "SceneDisc");
        sprite->setSize(KR::Vector2<float>(16.0f, 16.0f));
        node = sprite;
      }
      group->addChild(node, true);
      const float phase = float(i % 7);
      AE::NodeKeyValues v = node->currentKeyValues();
      // Labels lie in their own depth layer above the pictures (as a scene's
      // would), so each layer draws in batches of one texture.
      v.posZ = layered && i % 4 == 3 ? -1.0f : 0.0f;
      v.posX = phase * 3.0f;
      v.posY = float(i % kGroup) * 6.0f;
      v.color = KR::Color::fromChannels(255, uint8_t(100 + i % 150), 80, 255);
      node->setKeyframeValues(0, v);
      v.posX += 20.0f;
      v.rotation = 90.0f;
      v.scaleX = v.scaleY = 1.5f;
      node->setKeyframeValues(24, v);
      v.posX -= 20.0f;
      v.rotation = 180.0f;
      v.scaleX = v.scaleY = 1.0f;
      node->setKeyframeValues(48, v);
      node->mLoop = true;
    }
    root->play(true);
    root->update(0.0f);
  }

  void drawFrame() { SceneWorld::drawFrame(root.get()); }

  std::unique_ptr<AE::ISceneNode> root;
};

World& world(bool layered = true) {
  static World* w = nullptr;
  static bool wLayered = true;
  if (w && wLayered != layered) {
    delete w;
    w = nullptr;
  }
  if (!w) w = new World(layered);
  wLayered = layered;
  return *w;
}

void BM_SceneUpdate(benchmark::State& state) {
  World& w = world();
  for (auto _ : state) w.root->update(kFrame);
  state.counters["nodes"] = kNodes;
}
BENCHMARK(BM_SceneUpdate)->Unit(benchmark::kMillisecond);

void BM_SceneUpdateAndDraw(benchmark::State& state) {
  World& w = world();
  w.drawFrame();
  {
    // A frame that draws nothing would time nothing: it fails the benchmark.
    KR::Bench::FrameMeter meter(state, w.renderSystem.get(), false);
    for (auto _ : state) {
      meter.begin();
      w.root->update(kFrame);
      w.drawFrame();
      if (!meter.end()) break;
    }
  }
  state.counters["nodes"] = kNodes;
}
BENCHMARK(BM_SceneUpdateAndDraw)->Unit(benchmark::kMillisecond);

void BM_InterleavedDraw(benchmark::State& state) {
  World& w = world(false);
  w.drawFrame();
  {
    // A frame that draws nothing would time nothing: it fails the benchmark.
    KR::Bench::FrameMeter meter(state, w.renderSystem.get(), false);
    for (auto _ : state) {
      meter.begin();
      w.root->update(kFrame);
      w.drawFrame();
      if (!meter.end()) break;
    }
  }
  state.counters["nodes"] = kNodes;
}
BENCHMARK(BM_InterleavedDraw)->Unit(benchmark::kMillisecond);

// The same frames with the tree neither updated nor drawn: the render
// system's own cost of a frame (composition and present), for comparison.
void BM_EmptyFrame(benchmark::State& state) {
  World& w = world();
  for (auto _ : state) {
    w.textures->createPendingTextures();
    w.renderSystem->checkDeviceLost();
    w.renderSystem->renderFrame();
    w.renderSystem->present();
  }
}
BENCHMARK(BM_EmptyFrame)->Unit(benchmark::kMillisecond);

}  // namespace

KR_BENCHMARK_MAIN()
