#pragma once
// The scene-node task bodies: enable, play, play reversed and rewind a named
// node of a view's scene, each recording the change in the play state's
// scene-node state list so that it survives the view's reload and saved games.
// The queue* forms make deferred game tasks (the task keeps its own copy of
// the name); the restore* forms run at once with the list's duplicate test
// raised, as triggers do when their view is shown again.
//
// Main thread only. A body try-locks the view: a view the streamer holds is
// left alone and only the record is made.
#include <cstdint>

namespace HOG {

void nodeEnableBody(uint32_t viewId, const char* name, bool enable);
void nodePlayBody(uint32_t viewId, const char* name, bool play);
void nodePlayReversedBody(uint32_t viewId, const char* name, bool play);
void nodeRewindToBeginBody(uint32_t viewId, const char* name);
void nodeRewindToEndBody(uint32_t viewId, const char* name);

void queueSetNodeEnable(uint32_t viewId, const char* name, bool enable);
void queueSetNodePlay(uint32_t viewId, const char* name, bool play);
void queueRewindNodeAnimationToBegin(uint32_t viewId, const char* name);
void queueRewindNodeAnimationToEnd(uint32_t viewId, const char* name);
void queueSetNodePlayReversed(uint32_t viewId, const char* name, bool play);

void restoreNodeEnable(uint32_t viewId, const char* name, bool enable);

}  // namespace HOG
