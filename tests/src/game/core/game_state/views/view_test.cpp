// A view's own resources on the built demo content: its widget tree (an
// owner-drawn root of the UI manager, enabled while the view is active, gone
// with the release) and its trigger backlights (at most 16, emitting only for
// usable triggers, advanced by the view, given back at release).
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "../../showcase_test_support.h"
#include "core/game_state/triggers/area_trigger.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_registry.h"
#include "lex_binded_function_manager.h"
#include "object_factory.h"
#include "particle_emitter.h"
#include "particle_fx.h"
#include "particle_system.h"
#include "timer_manager.h"
#include "ui/ui_manager.h"
#include "ui/ui_widget.h"
#include "xml_data_reader.h"

namespace {

class ViewResourcesTest : public KR::Test::ShowcaseTest {
 protected:
  void SetUp() override {
    openMedia();
    openDevice();
    openSpritesAndFonts();
    openUiServices();
  }
  void TearDown() override {
    registry.clear();
    ShowcaseTest::TearDown();
  }
  HOG::View* parseView(const std::string& extra, const std::string& triggers) {
    const std::string text = "<root><views><v0><name v=\"room\"/><id v=\"1\"/><size v0=\"1680\" v1=\"1050\"/>" + extra +
                             "<areaTriggers>" + triggers + "</areaTriggers></v0></views></root>";
    KR::XmlDataReader reader;
    EXPECT_EQ(reader.parse(text.data(), text.size()), pugi::status_ok);
    reader.enterChild("views");
    registry.parseViews(reader, 1.0f);
    return registry.findViewByName("room");
  }
  bool isRoot(const KR::UIWidget* widget) {
    const std::vector<KR::UIWidget*> roots = uiManager->getRoots();
    return std::find(roots.begin(), roots.end(), widget) != roots.end();
  }

  HOG::ViewRegistry registry;
};

TEST_F(ViewResourcesTest, WidgetTreeIsOwnerDrawnEnabledWhileActiveAndDestroyedOnRelease) {
  HOG::View* view = parseView("<uiFile v=\"talk01_ui\"/><uiTable v=\"Talk01UI\"/>", "");
  ASSERT_NE(view, nullptr);
  view->load();
  KR::UIWidget* tree = view->ui;
  ASSERT_NE(tree, nullptr);
  EXPECT_TRUE(isRoot(tree));
  EXPECT_NE(tree->findDescendant("next_btn"), nullptr);

  // The UI manager's own pass leaves it to the view.
  uiManager->clearDrawnFlags();
  uiManager->render();
  EXPECT_FALSE(tree->drawn);

  view->activate();
  EXPECT_TRUE(tree->enabled);
  view->update(0.1f);
  EXPECT_EQ(tree->getCurrentStateName(), "onIdle");
  uiManager->render();
  EXPECT_FALSE(tree->drawn);
  view->render(0);
  EXPECT_TRUE(tree->drawn);
  view->deactivate();
  EXPECT_FALSE(tree->enabled);

  view->release();
  EXPECT_EQ(view->ui, nullptr);
  EXPECT_FALSE(isRoot(tree));
}

TEST_F(ViewResourcesTest, BacklightsStopAtSixteenAndEmitOnlyForUsableTriggers) {
  std::string triggers;
  for (int i = 0; i < 17; ++i)
    triggers += "<v" + std::to_string(i) + "><type v=\"0\"/><triggerID v=\"" + std::to_string(i + 1) +
                "\"/><center v0=\"100\" v1=\"100\"/><size v0=\"50\" v1=\"50\"/><enabled v=\"" + (i == 1 ? "0" : "1") +
                "\"/><dead v=\"" + (i == 2 ? "1" : "0") + "\"/><backlightParticleFX v=\"sparkles_fx\"/></v" +
                std::to_string(i) + ">";
  HOG::View* view = parseView("", triggers);
  ASSERT_NE(view, nullptr);
  ASSERT_EQ(view->triggers.size(), 17u);
  view->load();
  ASSERT_EQ(view->backlightCount, 16u);
  for (uint32_t i = 0; i < 16; ++i) EXPECT_EQ(view->backlights[i].trigger, view->triggers[i]);

  view->activate();
  view->update(0.1f);
  auto scale = [&](uint32_t i) { return view->backlights[i].effect->mParticleEmitters.at(0)->mEmitRateScale; };
  EXPECT_FLOAT_EQ(scale(0), 1.0f);
  EXPECT_FLOAT_EQ(scale(1), 0.0f);  // disabled
  EXPECT_FLOAT_EQ(scale(2), 0.0f);  // dead
  EXPECT_TRUE(view->backlights[0].effect->isAdvancedByHolder());
  view->triggers[1]->enabled = true;
  view->update(0.1f);
  EXPECT_FLOAT_EQ(scale(1), 1.0f);

  KR::ParticleFX* first = view->backlights[0].effect;
  EXPECT_TRUE(particles->isTracked(first));
  view->release();
  EXPECT_EQ(view->backlightCount, 0u);
  EXPECT_EQ(particles->getActiveCount(), 0u);
}

}  // namespace
