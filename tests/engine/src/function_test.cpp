#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "function.h"
#include "lex_binded_function_manager.h"

namespace {

std::vector<std::string> gCalls;

void plainNoArgs() { gCalls.push_back("plain"); }
void plainInt(int v) { gCalls.push_back("int " + std::to_string(v)); }
void plainMixed(const char* s, float f, bool b) {
  gCalls.push_back(std::string(s ? s : "(null)") + " " + std::to_string(int(f)) + (b ? " true" : " false"));
}
void plainFour(int a, float b, float c, float d) { gCalls.push_back(std::to_string(a + int(b) + int(c) + int(d))); }

struct Screen {
  int hits = 0;
  std::string last;
  void onClick() { ++hits; }
  void setState(std::string name) { last = name; }
  void pair(unsigned int a, const char* b) { last = std::to_string(a) + (b ? b : "(null)"); }
};

class FunctionTest : public ::testing::Test {
 protected:
  void SetUp() override { gCalls.clear(); }
};

TEST_F(FunctionTest, TargetChoice) {
  Screen s;
  KR::Function<Screen> member(&s, &Screen::onClick);
  member.invoke();
  member.invokeStored();  // base: same as invoke
  EXPECT_EQ(s.hits, 2);

  KR::Function<Screen> plainOnly;
  plainOnly.plain = &plainNoArgs;  // object null: the free function is called
  plainOnly.member = &Screen::onClick;
  plainOnly.invoke();
  EXPECT_EQ(gCalls, std::vector<std::string>{"plain"});

  KR::Function<KR::Dummy> empty;
  empty.invoke();  // nothing set: nothing happens
  KR::Function1<int, KR::Dummy> emptyWithArgs;
  emptyWithArgs.invokeStored();
  EXPECT_EQ(gCalls.size(), 1u);
}

TEST_F(FunctionTest, StoredAndDefaultArguments) {
  KR::Function1<int, KR::Dummy> f(&plainInt, 7);
  KR::IFunction& asBase = f;
  asBase.invokeStored();
  asBase.invoke();
  KR::Function3<const char*, float, bool, KR::Dummy> g(&plainMixed, "go", 3.0f, true);
  g.invokeStored();
  g.invoke();
  KR::Function4<int, float, float, float, KR::Dummy> h(&plainFour, 1, 2, 3, 4);
  h.invokeStored();
  EXPECT_EQ(gCalls, (std::vector<std::string>{"int 7", "int 0", "go 3 true", "(null) 0 false", "10"}));

  Screen s;
  KR::Function1<std::string, Screen> named(&s, &Screen::setState, "menu");
  named.invoke();
  EXPECT_EQ(s.last, "");
  named.invokeStored();
  EXPECT_EQ(s.last, "menu");
  KR::Function2<unsigned int, const char*, Screen> two(&s, &Screen::pair, 5u, "x");
  two.invokeStored();
  EXPECT_EQ(s.last, "5x");
  two.invoke();
  EXPECT_EQ(s.last, "0(null)");
}

// Counts destructions so the manager's ownership can be checked.
struct CountingBinder : KR::LexBinder<Screen> {
  CountingBinder(Screen* s, int* deaths_) : KR::LexBinder<Screen>(s, &Screen::onClick), deaths(deaths_) {}
  ~CountingBinder() override { ++*deaths; }
  int* deaths;
};

TEST_F(FunctionTest, FirstRegistrationWins) {
  Screen first, second;
  int deaths = 0;
  {
    KR::LexBindedFunctionManager manager;
    EXPECT_EQ(KR::LexBindedFunctionManager::getInstance(), &manager);
    manager.registerFunction("setState", new CountingBinder(&first, &deaths));
    manager.registerFunction("setState", new CountingBinder(&second, &deaths));
    EXPECT_EQ(deaths, 1);  // the second binder is destroyed at once
    manager.findFunction("setState")->invoke();
    EXPECT_EQ(first.hits, 1);
    EXPECT_EQ(second.hits, 0);

    manager.unregisterFunction("missing");
    EXPECT_EQ(manager.findFunction("missing"), nullptr);
    EXPECT_EQ(manager.cloneFunction("missing", {}), nullptr);
    manager.unregisterFunction("setState");
    EXPECT_EQ(deaths, 2);
    EXPECT_EQ(manager.findFunction("setState"), nullptr);
    manager.registerFunction("again", new CountingBinder(&first, &deaths));
  }
  EXPECT_EQ(deaths, 3);  // the manager deletes what is left
  EXPECT_FALSE(KR::LexBindedFunctionManager::exists());
}

TEST_F(FunctionTest, ClonesBindTheirArguments) {
  Screen s;
  KR::LexBindedFunctionManager manager;
  manager.registerFunction("state", new KR::LexBinder1<std::string, Screen>(&s, &Screen::setState));
  manager.registerFunction("click", new KR::LexBinder<Screen>(&s, &Screen::onClick));

  KR::ILexBinder* none = manager.cloneFunction("state", {});
  s.last = "unchanged";
  none->invoke();
  EXPECT_EQ(s.last, "");
  KR::ILexBinder* two = manager.cloneFunction("state", {"game", "ignored"});
  two->invoke();
  EXPECT_EQ(s.last, "game");
  two->invoke();  // the argument is copied, not consumed
  EXPECT_EQ(s.last, "game");
  delete none;
  delete two;

  KR::ILexBinder* click = manager.cloneFunction("click", {"whatever"});
  ASSERT_NE(click, manager.findFunction("click"));
  click->invoke();
  delete click;  // the clone owns its own function: the registered one still works
  manager.findFunction("click")->invoke();
  EXPECT_EQ(s.hits, 2);
}

TEST_F(FunctionTest, WidgetCommandsOwnTheirCloneAndOutliveTheRegistration) {
  Screen s;
  int deaths = 0;
  KR::LexBindedFunctionManager manager;
  manager.registerFunction("state", new KR::LexBinder1<std::string, Screen>(&s, &Screen::setState));
  manager.registerFunction("click", new CountingBinder(&s, &deaths));
  EXPECT_EQ(manager.makeCommand("missing", {"x"}), nullptr);

  KR::IFunction* state = manager.makeCommand("state", {"MainMenu"});
  ASSERT_NE(state, nullptr);
  state->invokeStored();
  EXPECT_EQ(s.last, "MainMenu");

  KR::LexBindedFunction* click = manager.makeCommand("click", {});
  ASSERT_NE(click, nullptr);
  // A clone is a plain binder of the registered kind, not another counted one.
  EXPECT_NE(click->getBinder(), manager.findFunction("click"));
  manager.unregisterFunction("click");
  EXPECT_EQ(deaths, 1);
  click->invoke();
  EXPECT_EQ(s.hits, 1);
  delete click;
  delete state;
  KR::LexBindedFunction empty(nullptr);
  empty.invoke();  // nothing bound: nothing happens
}

}  // namespace
