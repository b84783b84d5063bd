// Scene lists over scenes built in code: layout from the "#list" markers,
// element clicks and presses turned into scrolling, the strip scroller (drag,
// glide, ends, wheel, scroll bar and thumb) and the book scroller (snapping,
// page turns by buttons and page bar). The pointer is the controller's record,
// set directly, and the list is updated on its own.
#include <cmath>
#include <memory>

#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_node_animation.h"
#include "particle_fx.h"
#include "ui/book_scrolling_helper.h"
#include "ui/strip_scrolling_helper.h"
#include "ui/ui_particle_fx.h"
#include "ui/ui_scene_list.h"
#include "ui/ui_scene_node.h"
#include "ui/ui_state.h"
#include "ui_test_support.h"

namespace KR {
namespace {

namespace kt = KR::Test;

// A node that is hit inside a rectangle from its world origin.
class RectNode : public AE::ISceneNode {
 public:
  RectNode(const std::string& name, float w, float h) : extent(w, h) { mName = name; }
  Vector2<float> getSize() const override { return extent; }
  bool hitTest(int x, int y, bool) override {
    if (!mEnabled) return false;
    const float left = mWorldMatrix.m[6], top = mWorldMatrix.m[7];
    return x >= left && x <= left + extent.x && y >= top && y <= top + extent.y;
  }
  Vector2<float> extent;
};

AE::ISceneNode* add(AE::ISceneNode* parent, AE::ISceneNode* child, float x = 0.0f, float y = 0.0f) {
  child->setPosition(Vector2<float>(x, y));
  parent->addChild(child, true);
  return child;
}

AE::ISceneNode* plain(const std::string& name) {
  auto* node = new AE::ISceneNode();
  node->mName = name;
  return node;
}

// Key frames that hold the node where it stands, at scale 1 and opaque.
void keys(AE::ISceneNode* node, std::initializer_list<int> frames) {
  AE::SceneNodeAnimation& animation = *node->mAnimation;
  for (int frame : frames) animation.addKeyframe(frame);
  for (uint32_t i = 0; i < animation.mKeyFrames.size(); ++i) {
    animation.getKeyframe<float>("posX", i).value = node->mPosX;
    animation.getKeyframe<float>("posY", i).value = node->mPosY;
    animation.getKeyframe<float>("scaleX", i).value = 1.0f;
    animation.getKeyframe<float>("scaleY", i).value = 1.0f;
    animation.getKeyframe<Color>("color", i).value = Color::fromARGB(0xFFFFFFFFu);
  }
}

void mark(AE::ISceneNode* node, std::initializer_list<const char*> names) {
  for (const char* name : names) node->addMarker(new AE::Marker(name));
}

// An item of the given size with one button element "go" of 50 x 50.
AE::ISceneNode* itemScene(const std::string& size) {
  AE::ISceneNode* item = plain("item");
  if (!size.empty()) mark(item, {size.c_str()});
  AE::ISceneNode* button = add(item, new RectNode("#btn:go", 50, 50), 10, 10);
  mark(button, {"regular", "regular>select", "select>pressed", "pressed>select", "select>regular", "pressed>regular"});
  add(item, new RectNode("#text:caption", 50, 20), 10, 70);  // no markers: not interactive
  return item;
}

struct Recorder : UISceneListListener, UISceneListItemListener {
  void onItemPressed(UISceneList*, UISceneListItem*) override { ++pressed; }
  void onItemReleased(UISceneList*, UISceneListItem*) override { ++released; }
  void onItemButtonClicked(UISceneListItem*, const std::string& element) override { clicks.push_back(element); }
  int pressed = 0, released = 0;
  std::vector<std::string> clicks;
};

class SceneListTest : public kt::UITest {
 protected:
  // The list's scene: a mask of w x h at (0, 0) and the list's markers.
  AE::ISceneNode* scene(float w, float h, std::initializer_list<const char*> listMarkers) {
    AE::ISceneNode* root = plain("root");
    add(root, new RectNode("#mask", w, h));
    mark(add(root, plain("#list"), 3, 4), listMarkers);
    return root;
  }
  UISceneList* makeList(AE::ISceneNode* root, int type, bool vertical, int items, const std::string& size) {
    auto* list = new UISceneList("list", nullptr, root, type, true, vertical, 3);
    manager->addRoot(list);
    list->show();
    for (int i = 0; i < items; ++i) {
      auto* item = new UISceneListItem("item" + std::to_string(i), itemScene(size));
      item->listeners.push_back(&recorder);
      list->addItem(item);
    }
    list->listeners.push_back(&recorder);
    return list;
  }
  void pointer(float x, float y, bool down) {
    controller()->position = Vector2<float>(x, y);
    if (down && !controller()->leftDown) controller()->pressPosition = controller()->position;
    controller()->leftDown = down;
  }
  void step(UISceneList* list, float x, float y, bool down, float dt = 1.0f / 60.0f) {
    pointer(x, y, down);
    list->update(dt);
  }
  // A scroll bar at (0, 120) with key frames 0, 12, 36 and 48 and its thumb of
  // 20 x 20, keyed from x 0 to thumbEnd over a second; returns the thumb.
  AE::ISceneNode* addScrollBar(AE::ISceneNode* root, float thumbEnd) {
    AE::ISceneNode* bar = add(root, plain("#scroll_bar"), 0, 120);
    keys(bar, {0, 12, 36, 48});
    AE::ISceneNode* thumb = add(bar, new RectNode("#thumb", 20, 20));
    keys(thumb, {0, 24});
    thumb->mAnimation->getKeyframe<float>("posX", 1).value = thumbEnd;
    auto* thumbs = new AE::Marker("#thumbs");
    thumbs->addEntry(thumb, 0, 24, false, false);
    bar->addMarker(thumbs);
    return thumb;
  }
  float offset(UISceneList* list) { return list->vertical ? list->list->mPosY : list->list->mPosX; }

  Recorder recorder;
};

TEST_F(SceneListTest, TheListMarkersLayTheItemsOut) {
  AE::ISceneNode* root = scene(300, 100, {"#indent:10", "#padding:5/7", "#outside:40", "#correctionTime:0"});
  add(root, plain("#item"), 13, 24);  // a pattern whose offset the padding marker overrides
  UISceneList* list = makeList(root, 0, true, 0, "");
  EXPECT_EQ(AE::ISceneNode::findChildFrom(root, "#item"), nullptr) << "the pattern is dropped";
  EXPECT_FLOAT_EQ(list->list->mPosX, 0.0f);
  EXPECT_EQ(list->padding, Vector2<float>(5, 7));
  EXPECT_FLOAT_EQ(list->correctionTime, 0.25f);
  auto* sized = new UISceneListItem("sized", itemScene("#size:120"));
  list->addItem(sized);
  list->addItem(new UISceneListItem("plain", itemScene("")));
  EXPECT_FLOAT_EQ(sized->width, 120.0f);
  EXPECT_FLOAT_EQ(sized->height, 120.0f);
  EXPECT_FLOAT_EQ(list->items[1]->height, 100.0f);
  EXPECT_EQ(Vector2<float>(sized->node->mPosX, sized->node->mPosY), Vector2<float>(5, 7));
  EXPECT_FLOAT_EQ(list->items[1]->node->mPosY, 7.0f + 120.0f + 10.0f);
  EXPECT_FLOAT_EQ(list->range, 100.0f - (14.0f + 130.0f + 110.0f));
  EXPECT_EQ(sized->elements.size(), 2u);
  EXPECT_TRUE(sized->elements[0]->interactive);
  EXPECT_FALSE(sized->elements[1]->interactive);

  // "#padding:" with one number sets x only; "#area_scale:" scales the area.
  UISceneList* other = makeList(scene(300, 100, {"#padding:6", "#area_scale:2/0.5"}), 0, true, 0, "");
  EXPECT_EQ(other->padding, Vector2<float>(6, 0));
  EXPECT_EQ(other->areaSize, Vector2<float>(600, 50));
}

TEST_F(SceneListTest, AClickReportsTheButtonAndADragTurnsThePressIntoScrolling) {
  UISceneList* list = makeList(scene(300, 100, {}), 0, true, 3, "#size:100");
  UISceneListItem* first = list->items[0];
  step(list, 20, 20, false);  // over the button: select
  EXPECT_EQ(list->pressedItem, first);
  EXPECT_EQ(first->elements[0]->state, 1);
  EXPECT_EQ(recorder.pressed, 1);
  step(list, 20, 20, true);
  EXPECT_EQ(first->elements[0]->state, 2);
  step(list, 20, 20, false);
  EXPECT_EQ(recorder.clicks, std::vector<std::string>{"go"});
  EXPECT_EQ(first->elements[0]->state, 1);

  // Pressed, then dragged 4 units: back to regular, no click, and the strip
  // takes the drag.
  step(list, 20, 20, true);
  step(list, 20, 16, true);
  step(list, 20, 16, true);
  EXPECT_EQ(first->elements[0]->state, 0);
  EXPECT_EQ(list->pressedItem, nullptr);
  EXPECT_EQ(recorder.released, 1);
  step(list, 20, 16, true);
  step(list, 20, 16, true);
  EXPECT_TRUE(list->scroller->busy);
  step(list, 20, -14, true);
  EXPECT_FLOAT_EQ(offset(list), -30.0f);
  step(list, 20, -14, false);
  EXPECT_EQ(recorder.clicks.size(), 1u);
}

TEST_F(SceneListTest, AStripGlidesStopsAtItsEndsSnapsBackAndTakesTheWheel) {
  UISceneList* list = makeList(scene(300, 100, {"#outside:40"}), 0, false, 5, "#size:100");
  auto* strip = static_cast<StripScrollingHelper*>(list->scroller);
  EXPECT_FLOAT_EQ(list->range, -200.0f);
  // 30 units to the left in the last held update, at 60 frames a second.
  list->list->mPosX = -50.0f;
  strip->busy = true;
  strip->lastPointer = Vector2<float>(200, 50);
  step(list, 170, 95, false);                 // below the buttons
  const float speed = 30.0f * 60.0f * 0.78f;  // 1404
  EXPECT_NEAR(strip->velocity.x, speed * (1.0f - 4.33f / 60.0f), 0.05f);
  EXPECT_NEAR(offset(list), -50.0f - speed / 60.0f, 0.01f);
  EXPECT_TRUE(strip->gliding);
  for (int i = 0; i < 60 && strip->gliding; ++i) step(list, 170, 95, false);
  EXPECT_FALSE(strip->gliding);
  // Stopped at range - outside, where the snap-back takes its first step.
  EXPECT_NEAR(offset(list), -240.0f + 40.0f / 15.0f, 0.01f);
  // A pointer that stood still in the last update: no glide.
  strip->busy = true;
  strip->lastPointer = Vector2<float>(170, 95);
  step(list, 170, 95, false);
  EXPECT_FALSE(strip->gliding);
  // Not busy any more: the snap-back brings it to the range in 0.25 s.
  for (int i = 0; i < 16; ++i) step(list, 500, 500, false);
  EXPECT_NEAR(offset(list), -200.0f, 0.01f);

  // Dragged past the start: held at outside.
  strip->busy = true;
  strip->lastPointer = Vector2<float>(100, 50);
  step(list, 400, 50, true);
  EXPECT_FLOAT_EQ(offset(list), 40.0f);
  step(list, 400, 50, false);

  // The wheel: 24 units a notch, clamped, over the mask (no scroll bar: anywhere).
  list->list->mPosX = -100.0f;
  list->correction.remaining = 0.0f;
  pointer(50, 50, false);
  list->processMessage(kUIEventWheelForward);
  EXPECT_FLOAT_EQ(offset(list), -76.0f);
  pointer(900, 900, false);
  list->processMessage(kUIEventWheelBack);
  EXPECT_FLOAT_EQ(offset(list), -100.0f);
  list->list->mPosX = 30.0f;
  list->processMessage(kUIEventWheelForward);
  EXPECT_FLOAT_EQ(offset(list), 40.0f);
}

TEST_F(SceneListTest, TheScrollBarShowsTheOffsetAndItsThumbDragsTheList) {
  AE::ISceneNode* root = scene(300, 100, {});
  AE::ISceneNode* thumb = addScrollBar(root, 200.0f);
  mark(thumb, {"regular", "regular>select", "select>pressed", "pressed>select", "select>regular"});
  UISceneList* list = makeList(root, 0, false, 6, "#size:100");
  auto* strip = static_cast<StripScrollingHelper*>(list->scroller);
  ASSERT_NE(strip->scrollBar, nullptr);
  EXPECT_FLOAT_EQ(strip->scrollBar->startTime, 0.5f);
  EXPECT_FLOAT_EQ(strip->scrollBar->endTime, 2.0f);
  EXPECT_FLOAT_EQ(strip->barTimeAt(0.0f), 0.5f);
  EXPECT_FLOAT_EQ(strip->barTimeAt(list->range), 1.5f);
  EXPECT_FLOAT_EQ(strip->scrollBar->thumbTrack, 200.0f);

  // Thumb at x 0..20 of the bar (offset 0 shows time 0.5 s: x = 100).
  step(list, 500, 500, false);
  step(list, 500, 500, false);  // the scene's transforms follow the bar time a frame later
  const float at = thumb->mWorldOrigin.x + 5.0f;
  step(list, at, 125, false);
  EXPECT_EQ(strip->scrollBar->thumbState, 1);
  step(list, at, 125, true);
  EXPECT_EQ(strip->scrollBar->thumbState, 2);
  EXPECT_TRUE(strip->busy);
  step(list, 2000, 125, true);
  EXPECT_FLOAT_EQ(offset(list), list->range);
  step(list, -2000, 125, true);
  EXPECT_FLOAT_EQ(offset(list), 0.0f);
  // Released away from it: regular again, and the list takes the pointer.
  step(list, -2000, 125, false);
  EXPECT_EQ(strip->scrollBar->thumbState, 0);
  EXPECT_FALSE(strip->busy);

  // A bar with one key frame cannot show a position.
  AE::ISceneNode* broken = scene(300, 100, {});
  keys(add(broken, plain("#scroll_bar")), {0});
  EXPECT_DEATH(UISceneList("bad", nullptr, broken, 0, true), "must be contains 2 or 4 key frames");
  delete broken;  // the list died in the child process only
}

TEST_F(SceneListTest, ABookSnapsToPagesAndTurnsByButtonsAndPageBar) {
  AE::ISceneNode* root = scene(800, 100, {});
  mark(add(root, new RectNode("#btn_end", 40, 40), 0, 300), {"regular>select", "select>pressed"});
  AE::ISceneNode* pages = add(root, plain("#page_bar"), 0, 400);
  for (int n = 1; n <= 3; ++n) mark(add(pages, new RectNode("#page" + std::to_string(n), 20, 20), 40.0f * n, 0), {});
  mark(pages, {"#page1", "#page2", "#page3", "#page4"});
  UISceneList* list = makeList(root, 1, false, 4, "#size:800/100");
  auto* book = static_cast<BookScrollingHelper*>(list->scroller);
  EXPECT_FLOAT_EQ(list->range, -2400.0f);
  EXPECT_EQ(book->pageBar->pages.size(), 3u);
  EXPECT_EQ(book->lastPage(), 3);

  // Released at 0.375 of a page: back to page 0; at 0.47 (past 0.45, short of
  // half a page) and at 0.5: on to page 1.
  for (float at : {-300.0f, -376.0f, -400.0f}) {
    list->list->mPosX = at;
    book->busy = true;
    step(list, 900, 900, false);
    EXPECT_FLOAT_EQ(book->turnTime, 0.18f - 1.0f / 60.0f);
    for (int i = 0; i < 11; ++i) step(list, 900, 900, false);
    EXPECT_FLOAT_EQ(offset(list), at == -300.0f ? 0.0f : -800.0f) << at;
  }

  // "#btn_end" turns at the press: three pages in three turn times.
  list->list->mPosX = 0.0f;
  step(list, 10, 310, false);
  step(list, 10, 310, true);
  EXPECT_FLOAT_EQ(book->toPage, 3.0f);
  EXPECT_NEAR(book->turnTime, 3 * 0.18f - 1.0f / 60.0f, 1e-5f) << "turning from the press's own update";
  step(list, 10, 310, false);
  for (int i = 0; i < 40; ++i) step(list, 900, 900, false);
  EXPECT_FLOAT_EQ(offset(list), -2400.0f);
  EXPECT_EQ(book->pageBar->currentPage, 3);

  // Pressed and released on the third indicator: page 2.
  step(list, 125, 405, false);
  step(list, 125, 405, true);
  EXPECT_FLOAT_EQ(book->toPage, 3.0f) << "indicators act on release";
  step(list, 125, 405, false);
  EXPECT_FLOAT_EQ(book->toPage, 2.0f);
  for (int i = 0; i < 20; ++i) step(list, 900, 900, false);
  EXPECT_FLOAT_EQ(offset(list), -1600.0f);
}

TEST_F(SceneListTest, SceneAndParticleWidgetsFollowTheirWidget) {
  // A state entered plays the node's marker of that name, when there is one.
  AE::ISceneNode* root = plain("button");
  AE::ISceneNode* face = add(root, new RectNode("face", 40, 20), 5, 5);
  keys(face, {0, 24});
  auto* select = new AE::Marker("onSelect");
  select->addEntry(face, 0, 24, false, false);
  root->addMarker(select);
  AE::ISceneNode* badge = add(root, new RectNode("badge", 10, 10), 0, 0);  // no keys of its own
  UISceneNode owned("owned", nullptr, true, root);
  float unused = 0.0f;
  for (const char* name : {"onSelect", "onPress"}) {
    auto* state = new UIState(name);
    state->addPropertyChange(new UIState::PropertyChange<float>(&owned, &unused, 1.0f, 0.0f));
    owned.addState(name, state);
  }
  select->stop(true);
  owned.setState("onPress");  // no marker: nothing plays
  EXPECT_NE(select->mState, AE::Marker::kPlaying);
  owned.setState("onSelect");
  EXPECT_EQ(select->mState, AE::Marker::kPlaying);
  // An owned node stands at the widget and takes its colour and alpha.
  owned.position = Vector2<float>(100, 50);
  owned.alpha = 0.5f;
  owned.update(0.1f);
  EXPECT_EQ(Vector2<float>(root->mPosX, root->mPosY), Vector2<float>(100, 50));
  EXPECT_EQ(root->getColor().alpha(), 127);
  EXPECT_TRUE(owned.hitTest(Vector2<float>(110, 60)));
  // Hidden, the whole node tree is disabled and takes no hits.
  owned.setVisible(false);
  EXPECT_FALSE(face->mEnabled);
  EXPECT_FALSE(owned.hitTest(Vector2<float>(110, 60)));

  // A borrowed node follows the widget's state offset for the frame only.
  UISceneNode borrowed("borrowed", nullptr, false, badge);
  borrowed.offset = Vector2<float>(30, 0);
  badge->mEnabled = true;
  borrowed.update(0.0f);
  EXPECT_EQ(Vector2<float>(badge->mPosX, badge->mPosY), Vector2<float>(0, 0));
  EXPECT_FLOAT_EQ(badge->mWorldOrigin.x, 100.0f + 30.0f);

  // A particle widget faded out freezes its effect; barely visible it runs.
  auto* effect = new ParticleFX();
  UIParticleFX particles("sparks", nullptr, effect);
  particles.alpha = 0.0f;
  particles.update(0.1f);
  EXPECT_FALSE(effect->isAdvancedByHolder());
  particles.alpha = 0.005f;
  particles.update(0.1f);
  EXPECT_TRUE(effect->isAdvancedByHolder());
  particles.effect = nullptr;  // no particle system here to give it back to
  delete effect;
}

TEST_F(SceneListTest, TransitionsPlayAndNoPositionBecomesInfinite) {
  // The widget's state hook plays "old>new" when the scene has it, else the
  // marker named like the new state.
  AE::ISceneNode* root = scene(300, 100, {});
  AE::ISceneNode* face = add(root, new RectNode("face", 10, 10), 0, 0);
  keys(face, {0, 24});
  auto* transition = new AE::Marker("onIdle>onSelect");
  transition->addEntry(face, 0, 24, false, false);
  root->addMarker(transition);
  auto* press = new AE::Marker("onPress");
  press->addEntry(face, 0, 24, false, false);
  root->addMarker(press);
  UISceneList* list = makeList(root, 0, false, 6, "#size:100");
  float unused = 0.0f;
  for (const char* name : {"onIdle", "onSelect", "onPress"}) {
    auto* state = new UIState(name);
    state->addPropertyChange(new UIState::PropertyChange<float>(list, &unused, 1.0f, 0.0f));
    list->addState(name, state);
  }
  list->setStateForcibly("onIdle");
  transition->stop(true);
  press->stop(true);
  list->setState("onSelect");
  EXPECT_EQ(transition->mState, AE::Marker::kPlaying);
  EXPECT_NE(press->mState, AE::Marker::kPlaying);
  list->setState("onPress");  // no "onSelect>onPress": the state's own marker
  EXPECT_EQ(press->mState, AE::Marker::kPlaying);

  // A release seen in an update of no time still gives a finite glide.
  auto* strip = static_cast<StripScrollingHelper*>(list->scroller);
  strip->busy = true;
  strip->lastPointer = Vector2<float>(200, 95);
  step(list, 190, 95, false, 0.0f);
  EXPECT_TRUE(std::isfinite(strip->velocity.x));
  EXPECT_NEAR(strip->velocity.x, 10.0f / 0.001f * 0.78f, 1.0f);
  EXPECT_TRUE(std::isfinite(offset(list)));
}

TEST_F(SceneListTest, ABarWithoutRangeOrTrackStillGivesFiniteTimesAndOffsets) {
  AE::ISceneNode* root = scene(300, 100, {});
  addScrollBar(root, 0.0f);  // both keys at x 0: no track
  UISceneList* list = makeList(root, 0, false, 6, "#size:100");
  auto* strip = static_cast<StripScrollingHelper*>(list->scroller);
  EXPECT_FLOAT_EQ(strip->scrollBar->thumbTrack, 0.0f);
  // Pressed and dragged, the thumb reads as the start of its track.
  step(list, 500, 500, false);
  step(list, 500, 500, false);
  step(list, 5, 125, false);
  step(list, 5, 125, true);
  step(list, 300, 125, true);
  EXPECT_FLOAT_EQ(offset(list), 0.0f);
  step(list, 300, 125, false);
  // No range (or no overhang): the thumbs stand at the start time.
  list->range = 0.0f;
  EXPECT_FLOAT_EQ(strip->barTimeAt(0.0f), strip->scrollBar->startTime);
  EXPECT_FLOAT_EQ(strip->barTimeAt(5.0f), strip->scrollBar->startTime);
  EXPECT_TRUE(std::isfinite(strip->barTimeAt(-5.0f)));
}

TEST_F(SceneListTest, ParentReferencesFindNodesOfTheEnclosingSceneWidgets) {
  AE::ISceneNode* root = plain("menu");
  AE::ISceneNode* panel = add(root, plain("panel"));
  add(panel, new RectNode("face", 40, 20), 5, 5);
  AE::ISceneNode* levels = add(panel, scene(300, 100, {"#indent:7"}));
  levels->mName = "levels";
  auto* outer = new UISceneNode("outer", nullptr, true, root);
  manager->addRoot(outer);
  UIWidget* inner = build(
      "inner = { id = 'inner', class = 'UIWidget', childs = {\n"
      "  { id = 'face', class = 'UISceneNode', scene = '@parent/panel/face', scale = { 2, 3 } },\n"
      "  { id = 'list', class = 'UISceneList', scene = '@parent/panel/levels', type = 'book', orient = 'hor',\n"
      "    scrolling = 1 },\n"
      "  { id = 'lost', class = 'UISceneNode', scene = '@parent/panel/nothing' } } }\n",
      "inner", outer);
  auto* face = static_cast<UISceneNode*>(inner->findDescendant("face"));
  ASSERT_NE(face->node, nullptr);
  EXPECT_EQ(face->node->mName, "face");
  EXPECT_FALSE(face->owned);
  EXPECT_FLOAT_EQ(face->node->mScaleY, 3.0f);
  auto* list = static_cast<UISceneList*>(inner->findDescendant("list"));
  EXPECT_EQ(list->scene, levels);
  EXPECT_FALSE(list->ownsScene);
  EXPECT_EQ(list->type, 1);
  EXPECT_FALSE(list->vertical);
  EXPECT_EQ(list->scrollingFlags, 1u);
  EXPECT_FLOAT_EQ(list->indent, 7.0f);
  EXPECT_EQ(static_cast<UISceneNode*>(inner->findDescendant("lost"))->node, nullptr);
  EXPECT_TRUE(log.contains("ERROR: Can't load scene node from @parent/panel/nothing!"));
  // An item of its own hung into the borrowed scene goes before that scene.
  list->addItem(new UISceneListItem("own", itemScene("")));
  manager->destroyUI(outer);
}

}  // namespace
}  // namespace KR
