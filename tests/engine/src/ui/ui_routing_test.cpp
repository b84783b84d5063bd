// The controller's routing: the captured widget alone while a press lasts,
// the reach of modal roots, selection on hover, key events, a tree drawn
// under a camera of its own and a root covering the ones below it.
#include "ui/ui_button.h"
#include "ui_test_support.h"

namespace KR {
namespace {

using namespace Platform;
namespace kt = KR::Test;

const char* const kButtons =
    "local function idle(id) return { id = 'onIdle', propertyChanges = {"
    "  { target = id, property = 'transparency', value = 1 } } } end\n"
    "local function button(id, x)\n"
    "  return { id = id, class = 'UIButton', position = { x, 100 },\n"
    "    childs = { { id = id .. '_face', class = 'UILabel', size = { 100, 40 }, states = { idle(id .. '_face') } } "
    "},\n"
    "    states = { idle(id),\n"
    "      { id = 'onSelect', propertyChanges = { { target = id, property = 'offset', value = { 0, 1 } } } },\n"
    "      { id = 'onPress', propertyChanges = { { target = id, property = 'offset', value = { 0, 2 } } } } } }\n"
    "end\n"
    "screen = { id = 'screen', class = 'UIWidget', states = { idle('screen') },\n"
    "  childs = { button('ok', 100), button('other', 300) },\n"
    "  events = { { element = 'ok', slot = 'clicked', command = 'record:ok' } } }\n";

class RoutingTest : public kt::UITest {
 protected:
  // The two buttons, shown; "ok" records its clicks in `clicks`.
  UIWidget* showButtons() {
    registerRecorder(&clicks);
    UIWidget* screen = build(kButtons, "screen");
    screen->show();
    return screen;
  }
  kt::CommandLog clicks;
};

TEST_F(RoutingTest, APressDraggedOffTheButtonAndReleasedOutsideClicksNothing) {
  UIWidget* screen = showButtons();
  UIWidget* ok = screen->findDescendant("ok");
  UIWidget* other = screen->findDescendant("other");

  moveTo(150, 120);
  EXPECT_TRUE(ok->selected);
  EXPECT_EQ(ok->getCurrentStateName(), "onSelect");
  pushMouseButton(0, true, 150, 120);
  frame();
  EXPECT_EQ(manager->getCapturedWidget(), nullptr);
  frame();
  EXPECT_EQ(ok->getCurrentStateName(), "onPress");
  EXPECT_EQ(manager->getCapturedWidget(), ok);
  EXPECT_FALSE(manager->getCaptureExcludesChildren());
  // Dragged over the other button: the captured one alone sees the input.
  moveTo(350, 120);
  EXPECT_FALSE(other->selected);
  EXPECT_EQ(controller()->taken, 1);
  // Released outside the window.
  pushMouseMotion(-30, -40);
  pushMouseButton(0, false, -30, -40);
  frame();
  EXPECT_TRUE(clicks.calls.empty());
  EXPECT_EQ(manager->getCapturedWidget(), nullptr);
  EXPECT_EQ(ok->getCurrentStateName(), "onSelect");
  frame();
  EXPECT_EQ(ok->getCurrentStateName(), "onIdle");
  EXPECT_FALSE(ok->selected);

  // A press outside and a release on the button: no click either.
  pushMouseButton(0, true, 10, 10);
  frame();
  pushMouseMotion(150, 120);
  pushMouseButton(0, false, 150, 120);
  frame();
  EXPECT_TRUE(clicks.calls.empty());
  // A press and release on it clicks, with the command's argument.
  clickAt(150, 120);
  EXPECT_EQ(clicks.calls, std::vector<std::string>{"ok"});
  // Kind 9 clicks at once; other kinds are not taken.
  EXPECT_EQ(ok->processMessage(kUIEventClick), 1);
  EXPECT_EQ(ok->processMessage(kUIEventWheelForward), 0);
  frame();
  EXPECT_EQ(clicks.calls.size(), 2u);

  // A pressed button hidden, or disabled, before the release lets go of the
  // capture: the other button takes the next click.
  for (bool hideIt : {true, false}) {
    pushMouseButton(0, true, 150, 120);
    frame();
    frame();
    ASSERT_EQ(manager->getCapturedWidget(), ok);
    (hideIt ? ok->visible : ok->enabled) = false;
    pushMouseButton(0, false, 150, 120);
    frame();
    EXPECT_EQ(manager->getCapturedWidget(), nullptr);
    clickAt(350, 120);
    EXPECT_EQ(other->getCurrentStateName(), "onSelect");
    (hideIt ? ok->visible : ok->enabled) = true;
    moveTo(10, 10);
  }
  EXPECT_EQ(clicks.calls.size(), 2u);
}

TEST_F(RoutingTest, ATreeDrawnUnderItsOwnCameraTakesThePointerWhereItIsDrawn) {
  UIWidget* screen = showButtons();
  // Drawn twice as large about the corner: "ok" shows at (200..400, 200..280).
  screen->pointerToTree = [](const Vector2<float>& p) { return p * 0.5f; };
  UIWidget* ok = screen->findDescendant("ok");
  clickAt(150, 120);  // where it would lie unscaled
  EXPECT_FALSE(ok->selected);
  EXPECT_TRUE(clicks.calls.empty());
  moveTo(300, 240);
  EXPECT_TRUE(ok->selected);
  // The press captures the button; the release reaches it through the same mapping.
  clickAt(300, 240);
  EXPECT_EQ(clicks.calls, std::vector<std::string>{"ok"});
  EXPECT_FLOAT_EQ(controller()->position.x, 300.0f);  // readers outside the routing see the screen
}

TEST_F(RoutingTest, ACoveringRootKeepsThePointerFromTheRootsBelowItWhereItLies) {
  UIWidget* lower = showButtons();
  UIWidget* ok = lower->findDescendant("ok");
  moveTo(150, 120);
  ASSERT_TRUE(ok->selected);
  const std::string sheet =
      "sheet = " +
      kt::box("sheet", "UIWidget", 0, 0, 0, 0, "childs = { " + kt::box("face", "UILabel", 50, 50, 200, 100) + " }") +
      "\n";
  UIWidget* cover = build(sheet, "sheet");
  cover->modal = false;
  cover->coversBelow = true;
  cover->show();
  // Under the sheet the button lets go of its hover and takes no click.
  moveTo(151, 120);
  EXPECT_FALSE(ok->selected);
  clickAt(150, 120);
  EXPECT_TRUE(clicks.calls.empty());
  // Beside it the tree below takes the pointer.
  moveTo(350, 120);
  EXPECT_TRUE(lower->findDescendant("other")->selected);
  // Shown again, above the sheet, the tree is not covered.
  lower->show();
  clickAt(150, 120);
  EXPECT_EQ(clicks.calls, std::vector<std::string>{"ok"});
}

TEST_F(RoutingTest, AShownModalRootHidesTheRootsBelowIt) {
  UIWidget* lower = build(kButtons, "screen");
  lower->show();
  const std::string upper = "upper = " +
                            kt::box("upper", "UIWidget", 0, 0, 0, 0,
                                    "childs = { " + kt::box("upper_face", "UILabel", 600, 600, 50, 50) + " }") +
                            "\n";
  UIWidget* top = build(upper, "upper");
  top->show();
  UIWidget* ok = lower->findDescendant("ok");
  UIWidget* face = top->findDescendant("upper_face");

  moveTo(150, 120);
  EXPECT_FALSE(ok->selected);
  EXPECT_FALSE(manager->isInputReachable(ok));
  // A root above the modal one still takes input.
  moveTo(610, 610);
  EXPECT_TRUE(face->selected);
  // Not modal: the trees below take input too.
  top->modal = false;
  moveTo(150, 120);
  EXPECT_TRUE(ok->selected);
  EXPECT_FALSE(face->selected);  // the pointer left it
  // A hidden upper tree blocks nothing, modal or not.
  top->modal = true;
  top->hideForcibly();
  moveTo(350, 120);
  EXPECT_TRUE(lower->findDescendant("other")->selected);
  EXPECT_EQ(manager->getTopmostVisible(), lower);
}

TEST_F(RoutingTest, KeyEventsReachEveryReachableWidgetAndMouseEventsTheChainUnderThePointer) {
  UIWidget* root = build("root = " + kt::box("root", "UIWidget", 0, 0, 0, 0) + "\n", "root");
  root->show();
  std::vector<std::string> order;
  kt::ProbeWidget* outer = kt::addProbe(root, "outer", 10, 10, 200, 200, &order);
  kt::ProbeWidget* inner = kt::addProbe(outer, "inner", 10, 10, 50, 50, &order);
  kt::ProbeWidget* off = kt::addProbe(root, "off", 500, 500, 50, 50, &order);
  kt::ProbeWidget* disabled = kt::addProbe(root, "disabled", 300, 10, 50, 50, &order);
  kt::ProbeWidget* belowDisabled = kt::addProbe(disabled, "below", 0, 0, 10, 10, &order);
  disabled->disable();
  kt::ProbeWidget* clipped = kt::addProbe(root, "clipped", 700, 10, 20, 20, &order);
  clipped->setClientRect(Rect(0, 0, 100, 100));
  inner->taking = 4;

  pushKey('K', true);
  EXPECT_EQ(frame(), makeKeyEvent(kUIEventKeyPressed, 'K'));
  std::vector<std::string> expected = {"outer", "inner", "off", "disabled"};
  EXPECT_EQ(order, expected);  // not below the disabled widget, not the clipped one
  EXPECT_EQ(controller()->taken, 4);
  EXPECT_FALSE(outer->selected);  // key events select nothing
  EXPECT_EQ(controller()->overUI & 1, 1);
  pushKey('K', false);
  frame();
  order.clear();

  pushMouseButton(0, true, 30, 30);
  frame();
  expected = {"inner", "outer"};  // innermost first
  EXPECT_EQ(order, expected);
  EXPECT_TRUE(inner->selected);
  EXPECT_TRUE(outer->selected);
  EXPECT_FALSE(off->selected);
  EXPECT_EQ(inner->events.back(), uint32_t(kUIEventLeftPressed));
  pushMouseButton(0, false, 30, 30);
  frame();
  // Leaving both returns them to "onIdle" on the next routed frame.
  moveTo(900, 700);
  EXPECT_FALSE(inner->selected);
  EXPECT_FALSE(outer->selected);
  EXPECT_EQ(controller()->overUI, 0);
  EXPECT_TRUE(belowDisabled->events.empty());

  // While suspended nothing is routed and taken keeps its value.
  controller()->taken = 7;
  controller()->suspended = true;
  moveTo(30, 30);
  EXPECT_FALSE(inner->selected);
  EXPECT_EQ(controller()->taken, 7);
}

}  // namespace
}  // namespace KR
