#pragma once
// The play state's long-lived parts as the rooms beneath the hub reach them,
// without the hub's own header (game.h) and what it pulls in. Each answers
// null while no play state exists (before the application builds it, after it
// is gone, in tests that build a part alone), so a caller tests the answer
// instead of the play state. The play state defines them. Main thread only,
// as the parts themselves.
//
//   if (ViewStack* stack = gameViewStack()) active = stack->getActiveView();
#include <pthread.h>

namespace HOG {

class GameLuaState;
class GameMessageDispatcher;
class GameTaskManager;
class IHud;
class Inventory;
class InventoryItemFactory;
class SceneNodeStateList;
class UIMessageManager;
class ViewRegistry;
class ViewStack;

GameLuaState* gameLuaState();
GameMessageDispatcher* gameDispatcher();
GameTaskManager* gameTasks();
// Built on first need (the launch shows the logos without it).
IHud* gameHud();
Inventory* gameInventory();
InventoryItemFactory* gameItemFactory();
SceneNodeStateList* gameNodeStates();
// Built on first need, with its font.
UIMessageManager* gameMessages();
ViewRegistry* gameRegistry();
ViewStack* gameViewStack();
// The play state's view-stack lock (game.h), held while the open views are read.
pthread_mutex_t* gameViewStackLock();

}  // namespace HOG
