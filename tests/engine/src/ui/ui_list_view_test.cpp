// List views (lines, selection by click) and text edits fed by pushed key and
// text events (accepted keys, the filter, maxLength, editing keys, Enter, a
// whole burst of keys within one frame).
#include "ui/ui_list_view.h"
#include "ui/ui_label.h"
#include "ui/ui_scroll_area.h"
#include "ui/ui_text_edit.h"
#include "ui_test_support.h"

namespace KR {
namespace {

using namespace Platform;
namespace kt = KR::Test;

const char* const kScreen =
    "local function idle(id) return { id = 'onIdle', propertyChanges = {"
    "  { target = id, property = 'transparency', value = 1 } } } end\n"
    "screen = { id = 'screen', class = 'UIWidget', states = { idle('screen') }, childs = {\n"
    "  { id = 'list', class = 'UIListView', position = { 100, 100 }, size = { 200, 100 }, lineHeight = 20,\n"
    "    states = { idle('list') } },\n"
    "  { id = 'name', class = 'UITextEdit', position = { 400, 100 }, maxLength = 4, states = { idle('name') },\n"
    "    childs = { { id = 'name_face', class = 'UILabel', size = { 200, 40 }, states = { idle('name_face') } } } } "
    "},\n"
    "  events = { { element = 'name', slot = 'textEntered', command = 'record:entered' } } }\n";

class ListAndEditTest : public kt::UITest {
 protected:
  void SetUp() override {
    kt::UITest::SetUp();
    registerRecorder(&entered);
    screen = build(kScreen, "screen");
    screen->show();
    list = static_cast<UIListView*>(screen->findDescendant("list"));
    edit = static_cast<UITextEdit*>(screen->findDescendant("name"));
    frame();
  }
  // A key press that typed `text`, and its release.
  void type(uint8_t key, const std::string& text) {
    pushKey(key, true);
    if (!text.empty()) pushText(text);
    frame();
    pushKey(key, false);
    frame();
  }

  kt::CommandLog entered;
  UIWidget* screen = nullptr;
  UIListView* list = nullptr;
  UITextEdit* edit = nullptr;
};

TEST_F(ListAndEditTest, LinesStackUpAndAClickSelectsTheLineUnderIt) {
  ASSERT_NE(list->scrollArea, nullptr);
  EXPECT_EQ(list->scrollArea->name, "childScrollArea");
  for (const char* text : {"one", "two", "three"}) list->addLine()->setText(text);
  UIWidget* third = list->scrollArea->children.back();
  EXPECT_EQ(third->name, "label_03");
  EXPECT_FLOAT_EQ(third->position.y, 40.0f);
  EXPECT_EQ(list->selected, 2);
  frame();
  EXPECT_FLOAT_EQ(list->size.x, 200.0f);

  clickAt(150, 125);
  EXPECT_EQ(list->selected, 1);
  // Below every line but on the list: unchanged.
  clickAt(150, 190);
  EXPECT_EQ(list->selected, 1);
  // A line added while the area is scrolled: the lines stand unscrolled again.
  list->scrollArea->offset = 30.0f;
  list->scrollArea->onUpdate(0.0f);
  EXPECT_FLOAT_EQ(list->scrollArea->children[0]->position.y, -30.0f);
  EXPECT_FLOAT_EQ(list->addLine()->position.y, 60.0f);
  EXPECT_FLOAT_EQ(list->scrollArea->children[0]->position.y, 0.0f);
}

TEST_F(ListAndEditTest, TypedCharactersGoInUpToMaxLengthThroughTheFilter) {
  type('A', "a");
  type('1', "1");
  type(' ', " ");  // the space bar types nothing
  EXPECT_EQ(edit->getText(), L"a1");
  // A press that typed two characters, or none (a dead key), inserts nothing.
  type('B', "bc");
  type('C', "");
  EXPECT_EQ(edit->getText(), L"a1");
  // Characters above 0x7E pass the filter, punctuation does not.
  edit->filterSpecialCharacters = true;
  type(0xBD, "-");
  type(0xC0, "\xC3\xB6");  // o umlaut
  EXPECT_EQ(edit->getText(), L"a1\u00F6");
  edit->filterSpecialCharacters = false;
  type(0xBD, "-");
  type('D', "d");  // the fifth character is one too many
  EXPECT_EQ(edit->getText(), L"a1\u00F6-");
}

TEST_F(ListAndEditTest, EditingKeysMoveTheCaretAndEnterQueuesTheCommandsOnce) {
  type('A', "a");
  type('B', "b");
  type(37, "");  // left
  type(8, "");   // backspace: the a
  EXPECT_EQ(edit->getText(), L"b");
  EXPECT_EQ(edit->caret, 0u);
  type(8, "");  // at 0: nothing
  EXPECT_EQ(edit->getText(), L"b");
  type(46, "");  // delete: the b
  EXPECT_EQ(edit->getText(), L"");
  // Text set from outside behind the caret: the next character goes at its end.
  type('X', "x");
  type('Y', "y");
  static_cast<UILabel*>(edit->findDescendant("caption"))->text = L"q";
  type('Z', "z");
  EXPECT_EQ(edit->getText(), L"qz");

  pushKey(13, true);
  frame();
  EXPECT_EQ(entered.calls, std::vector<std::string>{"entered"});
  frame();  // held: no second run
  pushKey(13, false);
  frame();
  EXPECT_EQ(entered.calls.size(), 1u);
}

TEST_F(ListAndEditTest, EveryKeyOfASlowFrameIsHandledInTheOrderItCame) {
  list->addLine()->setText("one");
  list->addLine()->setText("two");
  // One frame holds a, b, Backspace, c, c again, Left, d, and a click on the first line.
  for (const auto& key : std::vector<std::pair<uint8_t, const char*>>{
           {'A', "a"}, {'B', "b"}, {8, ""}, {'C', "c"}, {'C', "c"}, {37, ""}, {'D', "d"}}) {
    pushKey(key.first, true);
    if (*key.second) pushText(key.second);
    pushKey(key.first, false);
  }
  pushMouseButton(0, true, 150, 105);
  frame();
  EXPECT_EQ(edit->getText(), L"acdc");
  pushMouseButton(0, false, 150, 105);
  frame();
  EXPECT_EQ(list->selected, 0);  // the pointer's own event of that frame was not lost either
  // A key tapped in each of two frames in a row is released twice, though its table shows one press.
  for (int i = 0; i < 2; ++i) {
    pushKey(kVkEscape, true);
    pushKey(kVkEscape, false);
    frame();
    EXPECT_EQ(input->getKeyboardDevice()->releases(kVkEscape), 1) << i;
  }
  EXPECT_FALSE(input->getKeyboardDevice()->wentUp(kVkEscape));
}

TEST_F(ListAndEditTest, AListInsideAListKeepsItsOwnScrollAreaAndTheTreeIsDestroyedOnce) {
  UIWidget* outer = build(
      "nested = { id = 'outer', class = 'UIWidget', childs = { { id = 'a', class = 'UIListView',"
      "  childs = { { id = 'b', class = 'UIListView' } } } } }\n",
      "nested");
  auto* a = static_cast<UIListView*>(outer->findDescendant("a"));
  auto* b = static_cast<UIListView*>(outer->findDescendant("b"));
  ASSERT_NE(a->scrollArea, nullptr);
  ASSERT_NE(b->scrollArea, nullptr);
  EXPECT_NE(a->scrollArea, b->scrollArea);
  EXPECT_EQ(a->scrollArea->parent, a);
  EXPECT_EQ(b->scrollArea->parent, b);
  EXPECT_EQ(manager->destroyUI(outer), 0);
}

}  // namespace
}  // namespace KR
