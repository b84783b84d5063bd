// The UI manager's runtime: commands run after the routing, also when one of
// them destroys the tree that queued it; destroying trees; the frame time;
// the bound commands and moving widgets between trees.
#include "ui/ui_button.h"
#include "ui_test_support.h"

namespace KR {
namespace {

namespace kt = KR::Test;
using namespace Platform;

// Commands of the tests: what a probe had seen when the command ran, and a
// "back" command that destroys the screen.
struct Commands {
  kt::ProbeWidget* probe = nullptr;
  std::vector<size_t> seenByProbe;
  UIWidget* screen = nullptr;
  void check(std::string) { seenByProbe.push_back(probe->events.size()); }
  void back(std::string) { UIManager::getInstance()->destroyUI(screen); }
};

class ManagerTest : public kt::UITest {
 protected:
  void registerCommands() {
    registry->registerFunction("check", new LexBinder1<std::string, Commands>(&commands, &Commands::check));
    registry->registerFunction("back", new LexBinder1<std::string, Commands>(&commands, &Commands::back));
    registerRecorder(&recorded);
  }
  UIWidget* screenWithButton(const std::string& events) {
    UIWidget* screen =
        build("screen = " +
                  kt::box("screen", "UIWidget", 0, 0, 0, 0,
                          "modal = 0, childs = { " +
                              kt::box("go", "UIButton", 100, 100, 0, 0,
                                      "childs = { " + kt::box("go_face", "UILabel", 0, 0, 80, 30) + " }") +
                              " }, events = { " + events + " }") +
                  "\n",
              "screen");
    screen->show();
    return screen;
  }
  Commands commands;
  kt::CommandLog recorded;
};

TEST_F(ManagerTest, CommandsRunAfterTheWholeRouting) {
  registerCommands();
  UIWidget* screen = screenWithButton("{ element = 'go', slot = 'clicked', command = 'check' }");
  UIWidget* overlay = build("overlay = " + kt::box("overlay", "UIWidget", 0, 0, 0, 0, "modal = 0") + "\n", "overlay");
  overlay->show();
  commands.probe = kt::addProbe(overlay, "probe", 0, 0, 400, 400);
  ASSERT_EQ(manager->getRoots().back(), overlay);  // routed after the screen
  clickAt(120, 110);
  // The release reached the overlay before the command ran.
  ASSERT_EQ(commands.seenByProbe.size(), 1u);
  EXPECT_EQ(commands.seenByProbe[0], 2u);
  EXPECT_EQ(commands.probe->events.back(), uint32_t(kUIEventLeftReleased));
  EXPECT_TRUE(screen->findDescendant("go")->selected);
}

TEST_F(ManagerTest, ABackCommandDestroyingItsOwnTreeStopsTheRest) {
  registerCommands();
  kt::ProbeWidget* elsewhere = nullptr;
  {
    UIWidget* other = build("other = " + kt::box("other", "UIWidget", 0, 0, 0, 0) + "\n", "other");
    elsewhere = kt::addProbe(other, "elsewhere", 0, 0, 1, 1);
  }
  commands.screen = screenWithButton(
      "{ element = 'go', slot = 'clicked', command = 'back' },"
      "{ element = 'go', slot = 'clicked', command = 'record:after' }");
  UIWidget* go = commands.screen->findDescendant("go");
  manager->setCapturedWidget(elsewhere, true);
  go->processMessage(kUIEventClick);  // two runs queued in one frame
  go->processMessage(kUIEventClick);
  frame();
  EXPECT_TRUE(recorded.calls.empty());
  EXPECT_EQ(manager->getRoots().size(), 1u);
  EXPECT_EQ(manager->getCapturedWidget(), nullptr);  // whatever it was
  for (UIWidget* entry : manager->getShownStack()) EXPECT_NE(entry->name, "go");
  frame();
}

class Watcher : public UIObserver {
 public:
  void onWidgetShown(UIWidget* w) override { seen.push_back("shown " + w->name); }
  void onWidgetHidden(UIWidget* w) override { seen.push_back("hidden " + w->name); }
  void onWidgetDestroyed(UIWidget* w) override { seen.push_back("destroyed " + w->name); }
  std::vector<std::string> seen;
};

TEST_F(ManagerTest, DestroyedTreesLeaveTheShownStackAndTheCapture) {
  Watcher watcher;
  manager->addObserver(&watcher);
  UIWidget* first = build("first = " + kt::box("first", "UIWidget", 0, 0, 0, 0) + "\n", "first");
  UIWidget* second = build("second = " + kt::box("second", "UIWidget", 0, 0, 0, 0) + "\n", "second");
  kt::ProbeWidget* part = kt::addProbe(first, "part", 0, 0, 1, 1);
  first->show();
  part->show();  // a widget shown on its own stands in the stack too
  second->show();
  EXPECT_EQ(manager->getShownStack().size(), 3u);
  manager->setCapturedWidget(part, true);
  EXPECT_EQ(manager->destroyUI(part), 1);  // not a root
  EXPECT_EQ(manager->destroyUI(nullptr), 1);
  EXPECT_EQ(manager->destroyUI(first), 0);
  EXPECT_EQ(manager->getShownStack(), std::vector<UIWidget*>{second});
  EXPECT_EQ(manager->getCapturedWidget(), nullptr);
  manager->render();  // nothing freed is drawn

  // The sweep at the end of the update does the same.
  kt::ProbeWidget* inner = kt::addProbe(second, "inner", 0, 0, 1, 1);
  inner->show();
  second->destroyPending = true;
  second->show();  // ignored while pending
  frame();
  EXPECT_TRUE(manager->getRoots().empty());
  EXPECT_TRUE(manager->getShownStack().empty());
  EXPECT_EQ(watcher.seen.back(), "destroyed second");
  EXPECT_EQ(watcher.seen.front(), "shown first");
  manager->removeObserver(&watcher);
}

TEST_F(ManagerTest, FrameTimeNamedCommandsAndReparenting) {
  UIWidget* one = build(
      "t = " +
          kt::box("one", "UIWidget", 10, 20, 0, 0, "childs = { " + kt::box("twin", "UIWidget", 1, 1, 0, 0) + " }") +
          "\n",
      "t");
  UIWidget* two = build(
      "t = " + kt::box("two", "UIWidget", 0, 0, 0, 0, "childs = { " + kt::box("twin", "UIWidget", 2, 2, 0, 0) + " }") +
          "\n",
      "t");
  kt::ProbeWidget* probe = kt::addProbe(two, "probe", 0, 0, 1, 1);
  manager->update(0.25f);
  EXPECT_FLOAT_EQ(probe->lastDt, 0.1f);

  // "show" through the registry: the tree loaded first decides.
  LexBindedFunction* show = registry->makeCommand("show", {"twin"});
  ASSERT_NE(show, nullptr);
  show->invoke();
  delete show;
  EXPECT_TRUE(one->findDescendant("twin")->shown);
  EXPECT_FALSE(two->findDescendant("twin")->shown);
  EXPECT_EQ(manager->getShownStack().back(), one->findDescendant("twin"));
  manager->show("nobody");

  // Moving a widget: to its own parent changes nothing; to none makes it a root.
  manager->setWidgetParent(probe, two);
  EXPECT_EQ(two->children.size(), 2u);
  manager->setWidgetParent(probe, nullptr);
  EXPECT_EQ(probe->parent, nullptr);
  EXPECT_EQ(two->children.size(), 1u);
  EXPECT_EQ(manager->getRoots().back(), probe);
  manager->setWidgetParent(probe, one);
  EXPECT_EQ(probe->getAbsolutePosition().x, 10.0f);
  EXPECT_EQ(manager->getRoots().size(), 2u);
  manager->setWidgetParent(one, nullptr);  // a root made a root again: once, at the end
  EXPECT_EQ(manager->getRoots(), (std::vector<UIWidget*>{two, one}));

  // The commands bound to the manager go with it.
  manager.reset();
  EXPECT_EQ(registry->findFunction("show"), nullptr);
  EXPECT_EQ(registry->findFunction("hideForcibly"), nullptr);
}

}  // namespace
}  // namespace KR
