// Widget states: how property changes advance, which states recurse, what
// locking and disabling keep, and the generated "onHide".
#include "ui/ui_state.h"

#include <memory>

#include "ui_test_support.h"

namespace KR {
namespace {

namespace kt = KR::Test;
using Fade = UIState::PropertyChange<float>;

TEST(PropertyChanges, StepThroughThirdsAndFinishOnTheLastStep) {
  UIWidget widget("w", nullptr);
  widget.alpha = 0.0f;
  Fade fade(&widget, &widget.alpha, 1.0f, 1.0f);
  const float expected[3] = {1.0f / 3.0f, 2.0f / 3.0f, 1.0f};
  for (float value : expected) {
    fade.apply(0.25f);
    EXPECT_NEAR(widget.alpha, value, 1e-5f);
    EXPECT_TRUE(fade.running);
  }
  fade.apply(0.25f);
  EXPECT_FALSE(fade.running);
  EXPECT_EQ(widget.alpha, 1.0f);

  // The generated hide fade at 0.1 s steps: a third left, then 0, finished on the third step.
  widget.alpha = 1.0f;
  Fade hide(&widget, &widget.alpha, 0.0f, 0.25f);
  hide.apply(0.1f);
  EXPECT_NEAR(widget.alpha, 1.0f - 0.1f / 0.15f, 1e-5f);
  hide.apply(0.1f);
  EXPECT_EQ(widget.alpha, 0.0f);
  EXPECT_TRUE(hide.running);
  hide.apply(0.1f);
  EXPECT_FALSE(hide.running);

  // A pair, the same coefficient on both components; duration 0 lands at once.
  UIState::PropertyChange<Vector2<float>> move(&widget, &widget.offset, Vector2<float>(9.0f, 0.0f), 1.0f);
  for (float x : {3.0f, 6.0f, 9.0f}) {
    move.apply(0.25f);
    EXPECT_NEAR(widget.offset.x, x, 1e-4f);
  }
  UIState::PropertyChange<Vector2<float>> jump(&widget, &widget.offset, Vector2<float>(-2.0f, 5.0f), 0.0f);
  jump.apply(0.01f);
  EXPECT_EQ(widget.offset.y, 5.0f);
  // Started again while running, a change goes on from the current value.
  widget.alpha = 0.5f;
  fade.start();
  fade.apply(0.25f);
  EXPECT_NEAR(widget.alpha, 0.5f + 0.5f / 3.0f, 1e-5f);
}

TEST(PropertyChanges, ColourChannelsMoveBySignedTruncatedSteps) {
  UIWidget widget("w", nullptr);
  widget.color = Color::fromChannels(200, 10, 0, 255);
  UIState::PropertyChange<Color> tint(&widget, &widget.color, Color::fromChannels(100, 250, 0, 55), 1.0f);
  tint.apply(0.25f);
  // m = 85: -100 * 85 / 255 = -33 (toward zero), 240 * 85 / 255 = 80.
  EXPECT_EQ(widget.color, Color::fromChannels(167, 90, 0, 189));
  tint.apply(0.25f);
  EXPECT_EQ(widget.color.red(), 134);
  tint.apply(0.25f);
  EXPECT_EQ(widget.color, Color::fromChannels(100, 250, 0, 55));
  widget.color = Color::fromChannels(1, 2, 3, 4);
  tint.finish();
  EXPECT_EQ(widget.color, Color::fromChannels(100, 250, 0, 55));
}

class StatesTest : public kt::UITest {
 protected:
  // A parent with its own "onIdle" and "onHide" and a child with "onIdle" and
  // a custom state; neither names "onSelect".
  UIWidget* family() {
    const std::string lua =
        "parent = " +
        kt::box("parent", "UIWidget", 0, 0, 0, 0,
                "hideStateDuration = 0.5, childs = { " +
                    kt::box("child", "UILabel", 10, 10, 20, 20,
                            "states = { { id = 'onIdle', propertyChanges = { { target = 'child', property = "
                            "'transparency', value = 1 } } }, { id = 'glow', propertyChanges = { { target = 'child',"
                            " property = 'color', value = { 1, 2, 3, 4 } } } } }") +
                    " }") +
        "\n";
    return build(lua, "parent");
  }
};

TEST_F(StatesTest, LoadedWidgetsAreHiddenByTheGeneratedOnHide) {
  UIWidget* parent = family();
  UIWidget* child = parent->findDescendant("child");
  for (UIWidget* w : {parent, child}) {
    EXPECT_EQ(w->getCurrentStateName(), "onHide") << w->name;
    EXPECT_FALSE(w->shown);
    EXPECT_EQ(w->alpha, 0.0f);
  }
  // The generated fade takes the widget's duration, which it hands down.
  EXPECT_EQ(static_cast<Fade*>(parent->findState("onHide")->changes[0])->duration, 0.5f);
  EXPECT_EQ(child->hideStateDuration, 0.5f);
  // Not shown, so not in the shown stack.
  EXPECT_TRUE(manager->getShownStack().empty());
  EXPECT_EQ(manager->getRoots().size(), 1u);

  // "onIdle" recurses; a custom state stays on the widget itself.
  parent->show();
  EXPECT_EQ(child->getCurrentStateName(), "onIdle");
  EXPECT_TRUE(child->shown);
  EXPECT_EQ(manager->getShownStack().back(), parent);
  frame(0.1f);
  EXPECT_EQ(child->alpha, 1.0f);
  parent->setState("glow");
  EXPECT_EQ(child->getCurrentStateName(), "onIdle");
  child->setStateForcibly("glow");
  EXPECT_EQ(child->color, Color::fromChannels(1, 2, 3, 4));
  EXPECT_TRUE(child->shown);  // any state but "onHide" shows

  // "onHide" on a widget without one still hides its children that have one.
  std::unique_ptr<UIState> removed(parent->findState("onHide"));
  parent->states.erase("onHide");
  UIState* kept = child->findState("onHide");
  parent->setStateForcibly("onHide");
  EXPECT_EQ(child->currentState, kept);
  EXPECT_TRUE(parent->shown);  // a name the widget lacks leaves the flag alone
  parent->addState("onHide", new UIState("onHide"));
  // addState with an existing name keeps the old state.
  auto* second = new UIState("onHide");
  EXPECT_FALSE(parent->addState("onHide", second));
  delete second;
}

TEST_F(StatesTest, DisabledAndLockedWidgetsKeepTheirStates) {
  UIWidget* parent = family();
  UIWidget* child = parent->findDescendant("child");
  parent->show();
  frame(0.3f);
  auto* disable = new UIState("onDisable");
  disable->addPropertyChange(new UIState::PropertyChange<Color>(parent, &parent->color, Color(7), 0.0f));
  parent->addState("onDisable", disable);
  parent->setStateForcibly("onIdle");

  parent->disable();
  EXPECT_EQ(parent->getCurrentStateName(), "onDisable");
  EXPECT_EQ(parent->color, Color(7));
  child->setStateForcibly("glow");
  // "onIdle" on a disabled widget enters "onDisable" and passes nothing on.
  parent->show();
  EXPECT_EQ(parent->getCurrentStateName(), "onDisable");
  EXPECT_EQ(child->getCurrentStateName(), "glow");
  // "onSelect" changes nothing, not even the flag.
  parent->selected = true;
  parent->setState("onSelect");
  EXPECT_TRUE(parent->selected);
  parent->enable();
  EXPECT_EQ(parent->getCurrentStateName(), "onIdle");
  EXPECT_FALSE(parent->selected);

  parent->locked = true;
  parent->setState("onHide");
  parent->setStateForcibly("onHide");
  parent->hide();
  parent->disable();
  EXPECT_TRUE(parent->enabled);
  EXPECT_EQ(parent->getCurrentStateName(), "onIdle");
  EXPECT_TRUE(parent->shown);
  parent->locked = false;
  parent->hideForcibly();
  EXPECT_FALSE(parent->shown);
  EXPECT_EQ(child->alpha, 0.0f);
  EXPECT_EQ(manager->getTopmostVisible(), nullptr);
}

TEST_F(StatesTest, DrawingSkipsInvisibleSubtreesButUpdatingDoesNot) {
  UIWidget* parent = family();
  parent->showForcibly();
  kt::ProbeWidget* shown = kt::addProbe(parent, "shown", 0, 0, 1, 1);
  kt::ProbeWidget* faded = kt::addProbe(parent, "faded", 0, 0, 1, 1);
  kt::ProbeWidget* under = kt::addProbe(faded, "under", 0, 0, 1, 1);
  kt::ProbeWidget* hidden = kt::addProbe(parent, "hidden", 0, 0, 1, 1);
  kt::ProbeWidget* hiddenChild = kt::addProbe(hidden, "hiddenChild", 0, 0, 1, 1);
  faded->alpha = 0.0f;
  hidden->setVisible(false);
  // Shown twice in the stack: still drawn once a frame.
  manager->bringToTop(shown);
  manager->render();
  manager->render();
  EXPECT_EQ(shown->draws, 2);
  EXPECT_EQ(faded->draws, 0);
  EXPECT_EQ(under->draws, 2);
  EXPECT_EQ(hidden->draws + hiddenChild->draws, 0);
  frame(0.25f);
  EXPECT_EQ(hiddenChild->updates, 1);
  EXPECT_EQ(under->updates, 1);
}

}  // namespace
}  // namespace KR
