// Scroll areas driven by pushed pointer input (fling, still release, spring
// back, pages, wheel, taking a drag away from a button), kinetic progress
// bars and check boxes.
#include <cmath>

#include "ui/ui_button.h"
#include "ui/ui_check_box.h"
#include "ui/ui_progress_bar.h"
#include "ui/ui_scroll_area.h"
#include "ui/ui_sprite.h"
#include "ui_test_support.h"

namespace KR {
namespace {

using namespace Platform;
namespace kt = KR::Test;

// A vertical area of 200 x 200 at (100, 100) over 1,000 units of content,
// dragged by the pointer, with a button near its top and a bar beside it.
const char* const kArea =
    "local function idle(id) return { id = 'onIdle', propertyChanges = {"
    "  { target = id, property = 'transparency', value = 1 } } } end\n"
    "screen = { id = 'screen', class = 'UIWidget', states = { idle('screen') }, childs = {\n"
    "  { id = 'area', class = 'UIScrollArea', position = { 100, 100 }, size = { 200, 200 }, dragScrolling = 1,\n"
    "    states = { idle('area') }, childs = {\n"
    "      { id = 'content', class = 'UILabel', size = { 200, 1000 }, states = { idle('content') } },\n"
    "      { id = 'ok', class = 'UIButton', position = { 20, 20 }, states = { idle('ok') }, childs = {\n"
    "        { id = 'ok_face', class = 'UILabel', size = { 100, 40 }, states = { idle('ok_face') } } } } } },\n"
    "  { id = 'bar', class = 'UIProgressBar', position = { 320, 100 }, lrOffsets = { 10, 10 }, thumb = 'knob',\n"
    "    states = { idle('bar') }, childs = {\n"
    "      { id = 'track', class = 'UILabel', size = { 200, 20 }, states = { idle('track') } },\n"
    "      { id = 'knob', class = 'UISprite', states = { idle('knob') } } } },\n"
    "  { id = 'box', class = 'UICheckBox', position = { 600, 100 }, states = { idle('box') }, childs = {\n"
    "    { id = 'box_face', class = 'UILabel', size = { 40, 40 }, states = { idle('box_face') } },\n"
    "    { id = 'tick', class = 'UILabel', size = { 20, 20 }, states = { idle('tick') } } }, thumb = 'tick' } },\n"
    "  events = { { element = 'ok', slot = 'clicked', command = 'record:ok' } } }\n";

class ScrollAreaTest : public kt::UITest {
 protected:
  void SetUp() override {
    kt::UITest::SetUp();
    registerRecorder(&clicks);
    screen = build(kArea, "screen");
    screen->show();
    area = static_cast<UIScrollArea*>(screen->findDescendant("area"));
    bar = static_cast<UIProgressBar*>(screen->findDescendant("bar"));
    frame();
  }
  // A drag from (200, y0) upward by step units a frame for n frames.
  void dragUp(int y0, int step, int n) {
    pushMouseMotion(200, y0);
    pushMouseButton(0, true, 200, y0);
    frame();
    for (int i = 1; i <= n; ++i) moveTo(200, y0 - i * step);
  }

  kt::CommandLog clicks;
  UIWidget* screen = nullptr;
  UIScrollArea* area = nullptr;
  UIProgressBar* bar = nullptr;
};

TEST_F(ScrollAreaTest, AQuickReleaseFlingsAndAStillOneStops) {
  EXPECT_FLOAT_EQ(area->getRange(), 800.0f);
  dragUp(280, 40, 3);
  EXPECT_TRUE(area->dragging);
  EXPECT_NEAR(area->offset, 120.0f, 0.01f) << "the content follows the pointer";
  pushMouseButton(0, false, 200, 160);
  frame();
  EXPECT_FALSE(area->dragging);
  const float released = area->offset;
  EXPECT_GT(released, 120.0f + 1.0f) << "a quick release flings";
  frame();
  EXPECT_GT(area->offset, released);
  for (int i = 0; i < 10; ++i) frame();
  const float settled = area->offset;

  // Held still for 0.35 s before the release: no fling.
  dragUp(280, 40, 3);
  for (int i = 0; i < 7; ++i) frame();
  pushMouseButton(0, false, 200, 160);
  frame();
  EXPECT_NEAR(area->offset, settled + 120.0f, 0.01f);
  // Still for 0.25 s: it flings.
  dragUp(280, 40, 3);
  for (int i = 0; i < 5; ++i) frame();
  pushMouseButton(0, false, 200, 160);
  frame();
  EXPECT_GT(area->offset, settled + 240.0f + 1.0f);
}

TEST_F(ScrollAreaTest, PastAnEndItSpringsBackWithRisingFriction) {
  // Placed past the end with a speed still pushing outward.
  area->offset = 800.0f + 500.0f;
  area->velocity = 1000.0f;
  area->onUpdate(0.01f);
  // Pulled back by at most 350 x 22.1 a second; friction 16000.
  const float expectedVelocity = 1000.0f - 16000.0f * 0.01f;
  EXPECT_NEAR(area->velocity, expectedVelocity, 0.01f);
  EXPECT_NEAR(area->offset, 1300.0f - 350.0f * 22.1f * 0.01f + expectedVelocity * 0.01f, 0.01f);
  // A long frame never pulls it past the end.
  area->velocity = 0.0f;
  area->offset = 820.0f;
  area->onUpdate(0.5f);
  EXPECT_FLOAT_EQ(area->offset, 800.0f);
  // Before the start likewise.
  area->offset = -10.0f;
  area->onUpdate(0.5f);
  EXPECT_FLOAT_EQ(area->offset, 0.0f);
  // The content moved with the offset.
  EXPECT_FLOAT_EQ(screen->findDescendant("content")->getAbsolutePosition().y, 100.0f);

  // A position set and the content reset in one frame: the content stands
  // unscrolled, and the next frames scroll it from there.
  area->setScrollPosition(300.0f);
  area->onUpdate(0.01f);
  EXPECT_FLOAT_EQ(screen->findDescendant("content")->getAbsolutePosition().y, 100.0f - 300.0f);
  area->setScrollPosition(500.0f);
  area->resetContent();
  EXPECT_FLOAT_EQ(screen->findDescendant("content")->getAbsolutePosition().y, 100.0f);
  area->onUpdate(0.01f);
  EXPECT_FLOAT_EQ(screen->findDescendant("content")->getAbsolutePosition().y, 100.0f);
}

TEST_F(ScrollAreaTest, AReleaseSettlesOnAPageAndTheWheelStepsTheBar) {
  area->pageSize = 300.0f;
  const struct {
    float offset, velocity, page;
  } cases[] = {{420.0f, 0.0f, 300.0f}, {420.0f, -50.0f, 300.0f}, {420.0f, 50.0f, 600.0f}, {760.0f, 0.0f, 800.0f}};
  for (const auto& c : cases) {
    area->dragging = true;
    area->stillTime = 1.0f;
    area->offset = c.offset;
    area->releaseVelocity = c.velocity;
    frame();
    EXPECT_FLOAT_EQ(area->offset, c.page) << c.offset << " at " << c.velocity;
    EXPECT_FALSE(area->dragging);
  }

  // With a bar: a wheel notch forward over the area moves it by its step.
  area->progressBar = bar;
  bar->setProgressImmediately(0.5f);
  moveTo(200, 200);
  pushMouseWheel(1);
  frame();
  EXPECT_FLOAT_EQ(bar->value, 0.35f);
  pushMouseWheel(-1);
  frame();
  EXPECT_FLOAT_EQ(bar->value, 0.5f);
  EXPECT_NEAR(area->offset, 400.0f, 0.01f) << "the offset follows the bar";
}

TEST_F(ScrollAreaTest, ADragOfMoreThanTenUnitsTakesThePressFromTheButton) {
  UIWidget* ok = screen->findDescendant("ok");
  pushMouseMotion(150, 150);
  pushMouseButton(0, true, 150, 150);
  frame();
  frame();
  EXPECT_EQ(manager->getCapturedWidget(), ok);
  moveTo(150, 142);  // 8 units: still the button's
  EXPECT_EQ(manager->getCapturedWidget(), ok);
  pushMouseButton(0, false, 150, 142);
  frame();
  EXPECT_EQ(clicks.calls.size(), 1u) << "a short wobble still clicks";

  pushMouseButton(0, true, 150, 150);
  frame();
  frame();
  moveTo(150, 139);  // 11 units
  EXPECT_EQ(manager->getCapturedWidget(), area);
  EXPECT_TRUE(manager->getCaptureExcludesChildren());
  pushMouseButton(0, false, 150, 139);
  frame();
  EXPECT_EQ(clicks.calls.size(), 1u) << "the drag clicked nothing";
  EXPECT_EQ(manager->getCapturedWidget(), nullptr);
}

TEST_F(ScrollAreaTest, ProgressBarsClampEaseWithoutOvershootAndFollowADrag) {
  bar->setProgress(1.5f);
  EXPECT_FLOAT_EQ(bar->value, 1.0f);
  bar->setProgress(-0.2f);
  EXPECT_FLOAT_EQ(bar->value, 0.0f);
  EXPECT_FLOAT_EQ(bar->length, 180.0f);
  // The thumb centres on the value (a thumb without a picture has no width).
  bar->setProgress(0.5f);
  frame();
  EXPECT_FLOAT_EQ(screen->findDescendant("knob")->position.x, 100.0f);

  // Kinetic: several frames to a new target, never beyond it, at any frame rate.
  bar->kinetic = true;
  bar->setProgressImmediately(0.0f);
  bar->setProgress(1.0f);
  bar->onUpdate(0.005f);
  EXPECT_GT(bar->value, 0.0f);
  EXPECT_LT(bar->value, 1.0f);
  for (float dt : {0.1f, 0.25f}) {
    bar->setProgressImmediately(0.0f);
    bar->setProgress(1.0f);
    for (int i = 0; i < 20; ++i) {
      bar->onUpdate(dt);
      EXPECT_LE(bar->value, 1.0f) << dt;
    }
    EXPECT_FLOAT_EQ(bar->value, 1.0f) << dt;
  }

  // Held down it follows the pointer along its length; a locked bar does not.
  bar->kinetic = false;
  pushMouseMotion(410, 110);
  pushMouseButton(0, true, 410, 110);
  frame();
  frame();
  EXPECT_TRUE(bar->dragging);
  EXPECT_EQ(manager->getCapturedWidget(), bar);
  EXPECT_NEAR(bar->value, 0.5f, 0.001f);
  pushMouseButton(0, false, 410, 110);
  frame();
  EXPECT_FALSE(bar->dragging);
  bar->dragLocked = true;
  bar->setProgressImmediately(0.0f);
  pushMouseButton(0, true, 410, 110);
  frame();
  frame();
  EXPECT_FLOAT_EQ(bar->value, 0.0f);
  pushMouseButton(0, false, 410, 110);
  frame();
}

TEST_F(ScrollAreaTest, ACheckBoxTicksOnlyOnAReleaseOnIt) {
  auto* box = static_cast<UICheckBox*>(screen->findDescendant("box"));
  UIWidget* tick = screen->findDescendant("tick");
  EXPECT_FALSE(tick->visible);
  // Pressed inside, released outside: unchanged.
  pushMouseMotion(610, 110);
  pushMouseButton(0, true, 610, 110);
  frame();
  EXPECT_EQ(box->getCurrentStateName(), "onIdle");  // no "onPress" state listed
  EXPECT_EQ(manager->getCapturedWidget(), box);
  moveTo(700, 300);
  pushMouseButton(0, false, 700, 300);
  frame();
  EXPECT_FALSE(box->ticked);
  EXPECT_EQ(manager->getCapturedWidget(), nullptr);
  clickAt(610, 110);
  EXPECT_TRUE(box->ticked);
  EXPECT_TRUE(tick->visible);
  clickAt(610, 110);
  EXPECT_FALSE(box->ticked);
  EXPECT_FALSE(tick->visible);
}

}  // namespace
}  // namespace KR
