#include "core/game_state/triggers/scene_node_tasks.h"

#include "animationeditor/scene_node.h"
#include "core/game_state/game_parts.h"
#include "core/game_state/game_task_manager.h"
#include "core/game_state/triggers/scene_node_state_list.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_registry.h"
#include "function.h"
#include "log_system.h"

namespace HOG {

namespace {

// Runs fn on the node when the view is free and loaded; false when the node
// was looked for and is not there. busy tells that the view was held.
template <typename Fn>
bool withNode(uint32_t viewId, const char* name, Fn fn, bool* busy) {
  *busy = false;
  ViewRegistry* registry = gameRegistry();
  if (!registry) return false;
  View* view = registry->findViewById(int32_t(viewId));
  if (!view) {
    KR::log("LuaIntegration::getSceneNode(..), Failed to locate view: %i", int(viewId));
    return false;
  }
  if (!view->tryLock()) {
    *busy = true;
    return false;
  }
  bool found = false;
  if (!view->loaded || !view->scene) {
    KR::log("LuaIntegration::getSceneNode(..), Failed to get scene");
  } else if (AE::ISceneNode* node = AE::ISceneNode::findChild(name, view->scene)) {
    fn(node);
    found = true;
  } else {
    KR::log("LuaIntegration::getSceneNode(..), Failed to find node [%s] in view [%i] scene", name, int(viewId));
  }
  view->unlock();
  return found;
}

void record(uint32_t viewId, uint32_t kind, const char* name, bool value) {
  if (SceneNodeStateList* states = gameNodeStates()) states->add(SceneNodeStateRecord::make(viewId, kind, name, value));
}

using NodeFlagTask = KR::Function3<uint32_t, const char*, bool, KR::Dummy>;
using NodeTask = KR::Function2<uint32_t, const char*, KR::Dummy>;

void queueFlag(void (*body)(uint32_t, const char*, bool), uint32_t viewId, const char* name, bool flag) {
  if (!gameTasks()) return;
  GameTaskManager& tasks = *gameTasks();
  if (NodeFlagTask* task = tasks.makeTask<NodeFlagTask>(body)) {
    task->arguments = std::make_tuple(viewId, tasks.keepText(task, name), flag);
  }
}

}  // namespace

void nodeEnableBody(uint32_t viewId, const char* name, bool enable) {
  bool busy;
  withNode(
      viewId, name, [&](AE::ISceneNode* node) { node->setEnabled(enable); }, &busy);
  record(viewId, SceneNodeStateRecord::Enable, name, enable);
}

void nodePlayBody(uint32_t viewId, const char* name, bool play) {
  bool busy;
  const bool found = withNode(
      viewId, name,
      [&](AE::ISceneNode* node) {
        if (play)
          node->play(true);
        else
          node->stop(true);
      },
      &busy);
  if (found || busy) record(viewId, SceneNodeStateRecord::Play, name, play);
}

void nodePlayReversedBody(uint32_t viewId, const char* name, bool play) {
  bool busy;
  withNode(
      viewId, name,
      [&](AE::ISceneNode* node) {
        if (play)
          node->playInDirection(true, true);
        else
          node->stop(true);
      },
      &busy);
  record(viewId, SceneNodeStateRecord::PlayReversed, name, play);
}

void nodeRewindToBeginBody(uint32_t viewId, const char* name) {
  bool busy;
  withNode(
      viewId, name,
      [&](AE::ISceneNode* node) {
        node->rewindToBegin();
        node->update(0.0f);
      },
      &busy);
  record(viewId, SceneNodeStateRecord::RewindToBegin, name, false);
}

void nodeRewindToEndBody(uint32_t viewId, const char* name) {
  bool busy;
  withNode(
      viewId, name, [&](AE::ISceneNode* node) { node->rewindToEnd(); }, &busy);
  record(viewId, SceneNodeStateRecord::RewindToEnd, name, false);
}

void queueSetNodeEnable(uint32_t viewId, const char* name, bool enable) {
  queueFlag(&nodeEnableBody, viewId, name, enable);
}

void queueSetNodePlay(uint32_t viewId, const char* name, bool play) { queueFlag(&nodePlayBody, viewId, name, play); }

void queueRewindNodeAnimationToBegin(uint32_t viewId, const char* name) {
  if (!gameTasks()) return;
  GameTaskManager& tasks = *gameTasks();
  if (NodeTask* task = tasks.makeTask<NodeTask>(&nodeRewindToBeginBody))
    task->arguments = std::make_tuple(viewId, tasks.keepText(task, name));
}

void queueRewindNodeAnimationToEnd(uint32_t viewId, const char* name) {
  if (!gameTasks()) return;
  GameTaskManager& tasks = *gameTasks();
  if (NodeTask* task = tasks.makeTask<NodeTask>(&nodeRewindToEndBody))
    task->arguments = std::make_tuple(viewId, tasks.keepText(task, name));
}

void queueSetNodePlayReversed(uint32_t viewId, const char* name, bool play) {
  queueFlag(&nodePlayReversedBody, viewId, name, play);
}

void restoreNodeEnable(uint32_t viewId, const char* name, bool enable) {
  if (!gameNodeStates()) return;
  DuplicateTestScope scope(*gameNodeStates());
  nodeEnableBody(viewId, name, enable);
}

}  // namespace HOG
