// Building trees from UI tables: the order of the steps, captions,
// "instance" and "related", bound commands and their arguments, flags read as
// numbers, what bad tables log or stop with, and the unknown class.
#include "loose_content.h"
#include "ui/ui_button.h"
#include "ui/ui_label.h"
#include "ui/ui_state.h"
#include "ui_test_support.h"

namespace KR {
namespace {

namespace kt = KR::Test;

// A binder that keeps every argument list it is cloned with.
class ArgumentsBinder : public ILexBinder {
 public:
  explicit ArgumentsBinder(std::vector<std::vector<std::string>>* seen_)
      : ILexBinder(new Function<Dummy>()), seen(seen_) {}
  void invoke() override {}
  ILexBinder* clone(const std::vector<std::string>& arguments) const override {
    seen->push_back(arguments);
    return new ArgumentsBinder(seen);
  }
  std::vector<std::vector<std::string>>* seen;
};

class LoadingTest : public kt::UITest {
 protected:
  void SetUp() override {
    kt::UITest::SetUp();
    content.add("default", "panel_lua",
                "panel = { id = 'panel', class = 'UIWidget', position = { 5, 6 }, modal = 0,"
                "  childs = { { id = 'panel_text', class = 'UILabel', text = 'inside' } } }\n");
    content.add("default", "dialog_lua", "dialog = { id = 'dialog', class = 'UIWidget' }\n");
    content.add("default", "broken_lua", "dialog = {");
    // Tables that lead back to themselves through other files.
    content.add("default", "loop_lua",
                "outer = { id = 'outer', class = 'UIWidget', childs = {\n"
                "  { id = 'inner', class = 'UIWidget', instance = '#loop_b_lua:middle' },\n"
                "  { id = 'kept', class = 'UILabel' } } }\n"
                "ring = { id = 'ring', class = 'UIWidget', related = { { filename = 'loop_lua', id = 'ring' } } }\n");
    content.add("default", "loop_b_lua",
                "middle = { id = 'middle', class = 'UIWidget', childs = {\n"
                "  { id = 'back', class = 'UIWidget', instance = '#loop_lua:outer' } } }\n");
    content.mount();
  }
  kt::LooseContent content{"ui_loading"};
};

TEST_F(LoadingTest, RelatedTreesComeFirstAndInstancesAreBuiltFromTheirFiles) {
  UIWidget* screen = build(
      "screen = { id = 'screen', class = 'UIWidget',\n"
      "  related = { { id = 'dialog' }, { filename = 'dialog_lua', id = 'dialog' } },\n"
      "  childs = {\n"
      "    { id = 'left', class = 'UIWidget', instance = '#panel_lua:panel', position = { 100, 0 } },\n"
      "    { id = 'right', class = 'UIWidget', instance = '#panel_lua:panel', modal = 1 },\n"
      "    { id = 'plain', class = 'UILabel', instance = 'panel_lua:panel' } } }\n",
      "screen");
  const std::vector<UIWidget*> roots = manager->getRoots();
  ASSERT_EQ(roots.size(), 2u);
  EXPECT_EQ(roots[0]->name, "dialog");  // loaded before the screen's own keys
  EXPECT_EQ(roots[1], screen);
  ASSERT_EQ(screen->children.size(), 3u);
  UIWidget* left = screen->children[0];
  UIWidget* right = screen->children[1];
  EXPECT_EQ(left->name, "left");
  EXPECT_EQ(left->parent, screen);
  EXPECT_EQ(left->position.x, 100.0f);  // this table's keys override the file's
  EXPECT_FALSE(left->modal);
  EXPECT_TRUE(right->modal);
  EXPECT_EQ(right->position.x, 5.0f);
  EXPECT_NE(left->findDescendant("panel_text"), right->findDescendant("panel_text"));
  // An instance without "#" is ignored: the class decides.
  EXPECT_EQ(screen->children[2]->getType(), kUILabelType);

  // A root instance is entered in the roots once.
  UIWidget* alone = build("alone = { id = 'alone', class = 'UIWidget', instance = '#panel_lua:panel' }\n", "alone");
  EXPECT_EQ(alone->name, "alone");
  EXPECT_EQ(manager->getRoots().size(), 3u);

  // tryLoadUI logs instead of stopping.
  EXPECT_EQ(manager->tryLoadUI("nowhere_lua", "x"), nullptr);
  EXPECT_EQ(manager->tryLoadUI("dialog_lua", "missing"), nullptr);
  EXPECT_TRUE(log.contains("Failed to load ui script nowhere_lua"));
  EXPECT_TRUE(log.contains("Failed to load UI table missing from dialog_lua"));
  EXPECT_NE(manager->tryLoadUI("dialog_lua", "dialog"), nullptr);
}

TEST_F(LoadingTest, ButtonsGetOneCaptionSizedToThemWithTheLabelKeys) {
  UIWidget* screen = build(
      "screen = { id = 'screen', class = 'UIWidget', childs = {\n"
      "  { id = 'made', class = 'UIButton', text = 'Play', captionOrder = 0, halign = 2,\n"
      "    childs = { { id = 'face', class = 'UILabel', size = { 120, 30 } } } },\n"
      "  { id = 'given', class = 'UIButton', text = '#GREETING',\n"
      "    childs = { { id = 'caption', class = 'UILabel', size = { 5, 5 } } } } } }\n",
      "screen");
  UIWidget* made = screen->findDescendant("made");
  ASSERT_EQ(made->children.size(), 2u);
  auto* caption = static_cast<UILabel*>(made->children[0]);  // inserted at captionOrder 0
  EXPECT_EQ(caption->name, "caption");
  EXPECT_EQ(caption->text, L"Play");
  EXPECT_EQ(caption->size.x, 120.0f);
  EXPECT_EQ(caption->halign, 2u);  // the table's keys come after the defaults
  EXPECT_EQ(caption->valign, 1u);
  EXPECT_NE(caption->findState("onIdle"), nullptr);

  UIWidget* given = screen->findDescendant("given");
  ASSERT_EQ(given->children.size(), 1u);
  auto* existing = static_cast<UILabel*>(given->children[0]);
  EXPECT_EQ(existing->text, L"!ERROR!");  // a localisation key the table lacks
  EXPECT_EQ(existing->size.x, 5.0f);      // the button's total size was its caption's
  EXPECT_EQ(existing->findState("onIdle"), nullptr);

  UILabel lone("lone", nullptr, "#");
  EXPECT_EQ(lone.text, L"#");
  lone.setText("d\xC3\xA9j\xC3\xA0");
  EXPECT_EQ(lone.text, L"d\u00E9j\u00E0");
}

TEST_F(LoadingTest, CommandsAreBoundByNameWithTheirArgumentsAndFlagsAreNumbers) {
  std::vector<std::vector<std::string>> seen;
  registry->registerFunction("probe", new ArgumentsBinder(&seen));
  UIWidget* screen = build(
      "screen = { id = 'screen', class = 'UIWidget', modal = 0, notSelecting = true, childs = {\n"
      "  { id = 'b', class = 'UIButton', notSelecting = 1, hotkey = 321, enabled = 0 } },\n"
      "  events = { { element = 'b', slot = 'clicked', command = 'probe: first , second' },\n"
      "             { element = 'b', slot = 'clicked', command = 'probe' },\n"
      "             { element = 'b', slot = 'clicked', command = 'p:x' },\n"
      "             { element = 'b', slot = 'clicked', command = 'nothing:x' },\n"
      "             { element = 'b', slot = 'pressed', command = 'show:b' },\n"
      "             { element = 'none', slot = 'clicked', command = 'probe:z' },\n"
      "             { element = 'b', slot = 'clicked', command = 'hide: b' } } }\n",
      "screen");
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], (std::vector<std::string>{"first", "second"}));
  EXPECT_TRUE(seen[1].empty());
  auto* button = static_cast<UIButton*>(screen->findDescendant("b"));
  ASSERT_EQ(button->commands.size(), 3u);  // "pressed" is no event of a button
  auto* hide = dynamic_cast<LexBindedFunction*>(button->commands[2]);
  ASSERT_NE(hide, nullptr);
  auto* binder = dynamic_cast<LexBinder1<std::string, UIManager>*>(hide->getBinder());
  ASSERT_NE(binder, nullptr);
  EXPECT_EQ(binder->getArgument(), "b");

  EXPECT_FALSE(screen->modal);
  EXPECT_FALSE(screen->notSelecting);  // a Lua boolean counts as absent
  EXPECT_TRUE(button->notSelecting);
  EXPECT_EQ(button->hotkey, 321 & 0xFF);
  EXPECT_FALSE(button->enabled);
  // Disabled, it entered none of its own states; the parent's hide reached it.
  EXPECT_EQ(button->getCurrentStateName(), "onHide");
}

TEST_F(LoadingTest, BadStatesAndUnknownClassesAreLoggedAndLeftOut) {
  UIWidget* screen = build(
      "screen = { id = 'screen', class = 'UIWidget', initialState = 'onIdle', childs = {\n"
      "  { id = 'list', class = 'UIGauge', childs = { { id = 'inner', class = 'UIWidget' } } },\n"
      "  { id = 'label', class = 'UILabel' } },\n"
      "  states = { { id = 'onIdle', propertyChanges = {\n"
      "               { target = 'label', property = 'scale', value = { 2, 2 } },\n"
      "               { target = 'elsewhere', property = 'transparency', value = 1 },\n"
      "               { target = 'label', property = 'offset', value = { 3, 4 }, duration = 1 } } },\n"
      "             { id = 'empty', propertyChanges = { { target = 'nobody' } } },\n"
      "             { propertyChanges = {} } } }\n",
      "screen");
  EXPECT_TRUE(log.contains("unknown UI class 'UIGauge' of widget 'list' in table 'screen' of test_ui"));
  EXPECT_EQ(screen->findDescendant("inner"), nullptr);
  ASSERT_EQ(screen->children.size(), 1u);  // loading went on with the label
  EXPECT_TRUE(log.contains("ERROR: UIManager::createState bad property change specified 'scale', widget 'screen'"));
  EXPECT_TRUE(log.contains("ERROR: UIManager::createState bad target widget specified 'elsewhere', widget 'screen'"));
  EXPECT_EQ(screen->findState("empty"), nullptr);
  ASSERT_NE(screen->findState("onIdle"), nullptr);
  EXPECT_EQ(screen->findState("onIdle")->changes.size(), 1u);
  // The initial state is entered at once: the offset is already there.
  EXPECT_EQ(screen->getCurrentStateName(), "onIdle");
  EXPECT_EQ(screen->children[0]->offset.y, 4.0f);
  EXPECT_TRUE(screen->shown);

  // A table holding itself among its childs is refused, not followed.
  UIWidget* looped = build("looped = { id = 'looped', class = 'UIWidget' }\nlooped.childs = { looped }\n", "looped");
  EXPECT_TRUE(looped->children.empty());
  EXPECT_TRUE(log.contains("holds a widget among its own childs"));

  // Through another file and back, by "instance" and by "related": the
  // repeat is left out and the rest of the tree stands.
  UIWidget* outer = manager->loadUI("loop_lua", "outer", nullptr);
  ASSERT_NE(outer->findDescendant("inner"), nullptr);
  EXPECT_EQ(outer->findDescendant("inner")->findDescendant("back"), nullptr);
  EXPECT_NE(outer->findDescendant("kept"), nullptr);
  EXPECT_TRUE(
      log.contains("ERROR: UIManager: table 'outer' of loop_lua leads back to itself through \"instance\" or "
                   "\"related\"; it is left out"));
  const size_t roots = manager->getRoots().size();
  ASSERT_NE(manager->loadUI("loop_lua", "ring", nullptr), nullptr);
  EXPECT_EQ(manager->getRoots().size(), roots + 1);
  EXPECT_TRUE(log.contains("table 'ring' of loop_lua leads back to itself"));
}

TEST_F(LoadingTest, NestingIsBoundedInAllAcrossAChainOfFiles) {
  // Five files, each nesting 60 widgets and its deepest one an instance of the
  // next file's table: each file, and the chain, stays well under the bound,
  // but 300 nested widgets in all do not.
  for (int file = 0; file < 5; ++file) {
    const std::string next = "#chain" + std::to_string(file + 1) + "_lua:t" + std::to_string(file + 1);
    const std::string text = "local top = { id = 'w" + std::to_string(file) +
                             "_0', class = 'UIWidget' } local at = top\n"
                             "for i = 1, 59 do local c = { id = 'w" +
                             std::to_string(file) +
                             "_' .. i, class = 'UIWidget' } at.childs = { c } at = c end\n"
                             "at.childs = { { id = 'link', class = 'UIWidget', instance = '" +
                             next +
                             "' } }\n"
                             "t" +
                             std::to_string(file) + " = top\n";
    content.add("default", "chain" + std::to_string(file) + "_lua", text);
  }
  content.add("default", "chain5_lua", "t5 = { id = 'end', class = 'UIWidget' }\n");
  content.fileSystem.reset();
  content.mount();
  UIWidget* top = manager->loadUI("chain0_lua", "t0", nullptr);
  ASSERT_NE(top, nullptr);
  EXPECT_TRUE(log.contains("ERROR: UIManager: table 't2' of chain2_lua nests widgets too deeply"));
  EXPECT_EQ(top->findDescendant("end"), nullptr);
  // What fits is built: the first file whole, the second up to its instance.
  EXPECT_NE(top->findDescendant("w1_59"), nullptr);
}

using LoadingDeathTest = LoadingTest;

TEST_F(LoadingDeathTest, MissingKeysBadUrlsAndMissingFilesAreFatal) {
  EXPECT_EXIT(build("t = { id = 'a' }", "t"), ::testing::ExitedWithCode(255), "Failed to read UI class name");
  EXPECT_EXIT(build("t = { class = 'UIWidget' }", "t"), ::testing::ExitedWithCode(255), "Failed to read UI identity");
  EXPECT_EXIT(build("t = { id = 'a', class = 'UIWidget', instance = '#panel_lua:' }", "t"),
              ::testing::ExitedWithCode(255), "Bad url specified in UI");
  EXPECT_EXIT(build("t = { id = 'a', class = 'UIWidget', instance = '#:panel' }", "t"), ::testing::ExitedWithCode(255),
              "Bad url specified in UI");
  EXPECT_EXIT(manager->loadUI("broken_lua", "dialog", nullptr), ::testing::ExitedWithCode(255),
              "Failed to load ui script broken_lua");
  EXPECT_EXIT(manager->loadUI("dialog_lua", "other", nullptr), ::testing::ExitedWithCode(255),
              "Failed to load UI table other from dialog_lua");
}

}  // namespace
}  // namespace KR
