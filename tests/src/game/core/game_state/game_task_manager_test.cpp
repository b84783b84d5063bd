// Deferred game tasks: run-now against after-lock, insertion behind the
// running task, an early stop keeping the rest, the 257th task dropped with
// its slot returned, waiting for the top view's activation, runAll, and a
// text argument that outlives Lua's collection of its string.
#include <gtest/gtest.h>

#include <lua.hpp>

#include <string>
#include <tuple>
#include <vector>

#include "core/game_state/game_lua_state.h"
#include "core/game_state/game_task_manager.h"
#include "support/test_support.h"

namespace {

using TextTask = KR::Function1<const char*, KR::Dummy>;
using PlainTask = KR::Function<KR::Dummy>;

std::vector<std::string> gRan;

// The play state's lock and a view stand-in carrying `activated`.
class Host : public HOG::GameTaskHost {
 public:
  bool isLocked() const override { return locked; }
  bool isTopViewActivated() override { return !hasView || activated; }
  bool locked = false;
  bool hasView = false;
  bool activated = false;
};

Host* gHost = nullptr;
HOG::GameTaskManager* gTasks = nullptr;

void record(const char* text) { gRan.push_back(text); }
void lockTheGame(const char* text) {
  gRan.push_back(text);
  gHost->locked = true;
}
void queueTwo(const char* text) {
  gRan.push_back(text);
  for (const char* name : {"A", "B"})
    if (TextTask* task = gTasks->makeTask<TextTask>(&record))
      std::get<0>(task->arguments) = gTasks->keepText(task, name);
}

class GameTasksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gRan.clear();
    gHost = &host;
    gTasks = &tasks;
  }
  void queue(void (*body)(const char*), const char* text) {
    TextTask* task = tasks.makeTask<TextTask>(body);
    ASSERT_NE(task, nullptr);
    std::get<0>(task->arguments) = tasks.keepText(task, text);
  }
  Host host;
  HOG::GameTaskManager tasks{&host};
  KR::Test::LogCapture log;
};

}  // namespace

TEST_F(GameTasksTest, ListsRunInOrderWithInsertionsBehindTheRunningTaskAndStopsKeepTheRest) {
  queue(&record, "1");
  queue(&queueTwo, "2");
  queue(&lockTheGame, "3");  // locks, but the run-now list ignores the lock
  queue(&record, "4");
  tasks.update();
  EXPECT_EQ(gRan, (std::vector<std::string>{"1", "2", "B", "A", "3", "4"}));
  EXPECT_EQ(tasks.getFreeCount(), HOG::GameTaskManager::kPoolSize);

  // Queued while locked: the after-lock list, which waits for the unlock.
  gRan.clear();
  queue(&lockTheGame, "5");
  queue(&record, "6");
  EXPECT_EQ(tasks.getAfterLockCount(), 2u);
  tasks.update();
  EXPECT_TRUE(gRan.empty());
  host.locked = false;
  tasks.update();
  // 5 locks again: 6 stays at the front for a later pass.
  EXPECT_EQ(gRan, (std::vector<std::string>{"5"}));
  EXPECT_EQ(tasks.getAfterLockCount(), 1u);
  host.locked = false;
  tasks.update();
  EXPECT_EQ(gRan, (std::vector<std::string>{"5", "6"}));

  // A top view still activating holds both lists; runAll does not wait.
  gRan.clear();
  host.hasView = true;
  queue(&record, "7");
  tasks.update();
  EXPECT_TRUE(gRan.empty());
  host.activated = true;
  tasks.update();
  EXPECT_EQ(gRan, (std::vector<std::string>{"7"}));
  host.activated = false;
  host.locked = true;
  queue(&record, "8");
  host.locked = false;
  queue(&record, "9");
  tasks.runAll();
  EXPECT_EQ(gRan, (std::vector<std::string>{"7", "9", "8"}));
  EXPECT_EQ(tasks.getFreeCount(), HOG::GameTaskManager::kPoolSize);
}

TEST_F(GameTasksTest, AFullListDropsTheTaskAndReturnsItsSlot) {
  for (uint32_t i = 0; i < HOG::GameTaskManager::kListSize; ++i) tasks.makeTask<PlainTask>();
  EXPECT_EQ(tasks.makeTask<PlainTask>(), nullptr);
  EXPECT_TRUE(log.contains("WARNING: GameTaskManager::addTask(...) not enough space for task"));
  EXPECT_EQ(tasks.getRunNowCount(), HOG::GameTaskManager::kListSize);
  EXPECT_EQ(tasks.getFreeCount(), HOG::GameTaskManager::kPoolSize - int32_t(HOG::GameTaskManager::kListSize));
  // The after-lock list takes the rest of the pool; then the pool is empty.
  host.locked = true;
  for (uint32_t i = 0; i < HOG::GameTaskManager::kListSize; ++i) ASSERT_NE(tasks.makeTask<PlainTask>(), nullptr);
  EXPECT_EQ(tasks.getFreeCount(), 0);
  EXPECT_EQ(tasks.makeTask<PlainTask>(), nullptr);
  EXPECT_TRUE(log.contains("WARINIG: GameTaskManager::allocTask(), failed to allocate memory for task on pool"));
  tasks.clear();
  EXPECT_EQ(tasks.getFreeCount(), HOG::GameTaskManager::kPoolSize);
}

namespace {

// A test-only binding: queue(text) defers record(text).
int luaQueue(lua_State* state) {
  const char* text = luaL_checkstring(state, 1);
  if (TextTask* task = gTasks->makeTask<TextTask>(&record)) std::get<0>(task->arguments) = gTasks->keepText(task, text);
  return 0;
}

}  // namespace

TEST_F(GameTasksTest, TextArgumentsOutliveLuaCollection) {
  HOG::GameLuaState lua;
  lua.init();
  lua_register(lua.getMainState(), "queue", &luaQueue);
  const std::string script =
      "local parts = {} for i = 1, 40 do parts[i] = string.char(96 + (i % 26) + 1) end\n"
      "queue(table.concat(parts))\n"
      "queue(string.rep('long text ', 30))\n"
      "parts = nil collectgarbage('collect')\n"
      "for i = 1, 2000 do local s = tostring(i) .. 'garbage' end collectgarbage('collect')\n";
  ASSERT_EQ(luaL_dostring(lua.getMainState(), script.c_str()), 0);
  tasks.update();
  ASSERT_EQ(gRan.size(), 2u);
  EXPECT_EQ(gRan[0], "bcdefghijklmnopqrstuvwxyzabcdefghijklmno");
  std::string longText;
  for (int i = 0; i < 30; ++i) longText += "long text ";
  EXPECT_EQ(gRan[1], longText);
}
