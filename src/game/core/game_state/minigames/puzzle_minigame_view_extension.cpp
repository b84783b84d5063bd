#include "core/game_state/minigames/puzzle_minigame_view_extension.h"

#include <algorithm>
#include <cmath>

#include "animationeditor/scene_node.h"
#include "animationeditor/scene_node_animation.h"
#include "core/game_state/input_state.h"
#include "format_string.h"
#include "log_system.h"
#include "xml_data_reader.h"

namespace HOG {

namespace {
// Without a finish node the fade waits two frames at this rate.
constexpr float kFallbackFps = 24.0f;

float firstKey(const AE::ISceneNode* node, const char* name, float fallback) {
  if (!node->mAnimation) return fallback;
  const AE::SceneNodeAnimation::IContainer* track = node->mAnimation->findTrack(name);
  if (!track || track->getKeyCount() == 0 || track->getType() != AE::SceneNodeAnimation::Container<float>::staticType())
    return fallback;
  return node->mAnimation->getKeyframe<float>(name, 0).value;
}

KR::Vector2<float> ownPosition(const AE::ISceneNode* node) { return KR::Vector2<float>(node->mPosX, node->mPosY); }
}  // namespace

void PuzzleMinigameViewExtension::readConfig(KR::XmlDataReader& reader) {
  readText(reader, "finish", &finishName);
  readSeconds(reader, "finishTime", &finishTime, 0.0f);
  readEnableHint(reader);
  readBriefing(reader);
  readSuspendable(reader, &suspendable);
  std::string type;
  readText(reader, "type", &type);
  dragMode = type == "puzzle";
  readBoundedInt(reader, "accuracy", &accuracy, 0, 0, kMaxFrame);
  // A right click always turns a piece a quarter.
  if (reader.readInt("angleStep", &angleStep) && dragMode && angleStep != 90)
    warn("angleStep", KR::formatString("%d is not used; a piece turns 90 degrees", int(angleStep)));
  readText(reader, "puzzleName", &puzzleName);
  readFlag(reader, "hideElements", &hideElements, false);
  readFrame(reader, "breakFrame", &breakFrame);
  readFrame(reader, "selectFrame", &selectFrame);
  readFrame(reader, "blockFrame", &blockFrame);
  readFlag(reader, "block", &block, true);
  readSeconds(reader, "time", &time, 5.0f);
  readText(reader, "clickSound", &clickSoundName);
  if (puzzleName.empty()) refuse("puzzleName", "is missing");
  // Only a placed piece counts in drag mode.
  if (dragMode && !block) refuse("block", "is off, so no piece is ever placed");
  pieces.clear();
  picks.drop();
  drag.letGo();
  piecesCreated = finishStarted = false;
  finishTimer = hideTimer = 0.0f;
}

void PuzzleMinigameViewExtension::readFrame(KR::XmlDataReader& reader, const char* key, float* out) {
  readFloat(reader, key, out, 0.0f);
  // Frames are whole numbers taken from these: keep them within the frames.
  if (*out >= 0.0f && *out <= float(kMaxFrame)) return;
  const float to = std::isnan(*out) ? 0.0f : std::clamp(*out, 0.0f, float(kMaxFrame));
  warn(key, KR::formatString("%g is no frame from 0 to %d; %g is used", double(*out), int(kMaxFrame), double(to)));
  *out = to;
}

void PuzzleMinigameViewExtension::forgetNodes() {
  clickSound = nullptr;
  for (Piece& piece : pieces) piece.node = nullptr;
}

AE::ISceneNode* PuzzleMinigameViewExtension::picture(const Piece& piece) const { return DragHold::picture(piece.node); }

void PuzzleMinigameViewExtension::toFront(AE::ISceneNode* node) {
  if (!node) return;
  float front = 0.0f;
  bool any = false;
  for (const Piece& piece : pieces) {
    if (!piece.node) continue;
    front = any ? std::min(front, piece.node->mPosZ) : piece.node->mPosZ;
    any = true;
  }
  node->mPosZ = front - 1.0f;
}

void PuzzleMinigameViewExtension::onActivate() {
  AE::ISceneNode* root = sceneRoot();
  if (!root) return;
  bindFinishNode();
  clickSound = findNode(clickSoundName, "clickSound");
  if (clickSound) clickSound->stop(true);
  const int32_t scattered = int32_t(breakFrame);
  if (!piecesCreated) {
    AE::ISceneNode* puzzle = findNode(puzzleName, "puzzleName");
    piecesCreated = true;
    // Without pieces the puzzle would count as solved at once.
    if (!puzzle || puzzle->mChildren.empty()) {
      refuse("puzzleName", puzzle ? "names a node without pieces" : "names no node");
      return;
    }
    for (size_t i = 0; i < puzzle->mChildren.size(); ++i) {
      AE::ISceneNode* child = puzzle->mChildren[i];
      if (!child) continue;
      child->stop(true);
      child->setFrame(scattered);
      Piece piece;
      piece.node = child;
      piece.child = i;
      piece.correctPosition =
          KR::Vector2<float>(firstKey(child, "posX", child->mPosX), firstKey(child, "posY", child->mPosY));
      piece.correctRotation = firstKey(child, "rotation", 0.0f);
      child->mPosZ = float(i + 1);
      piece.savedPosition = ownPosition(child);
      piece.savedRotation = child->mRotation;
      pieces.push_back(piece);
    }
    if (dragMode) {
      // The pieces fly apart from the picture.
      root->setTime(0.0f, true);
      puzzle->playRange(0, scattered, false, true);
    }
    return;
  }
  AE::ISceneNode* puzzle = findNode(puzzleName, "puzzleName", nullptr);
  if (!puzzle) return;
  for (Piece& piece : pieces) {
    piece.node = piece.child < puzzle->mChildren.size() ? puzzle->mChildren[piece.child] : nullptr;
    if (!piece.node) continue;
    piece.node->stop(true);
    piece.node->setTime(0.0f, true);
    piece.node->setPosition(piece.savedPosition);
    piece.node->setRotation(piece.savedRotation);
    // The clock at 0 showed the first frame: a placed piece looks placed again.
    if (piece.placed) showPlaced(piece);
    if (finishStarted && hideElements) piece.node->setEnabled(false);
  }
  // A piece carried when the view was left lies where it was.
  drag.letGo();
  if (!picks.none() && size_t(picks.first) < pieces.size()) {
    showFrame(picture(pieces[size_t(picks.first)]), int32_t(selectFrame));
    toFront(picture(pieces[size_t(picks.first)]));
  }
}

bool PuzzleMinigameViewExtension::hits(const Piece& piece, float x, float y) const {
  if (!piece.node) return false;
  const KR::Vector2<float> size = dragMode ? piece.node->getSize() : picture(piece)->getSize();
  const float cx = piece.node->mPosX + size.x * 0.5f, cy = piece.node->mPosY + size.y * 0.5f;
  // The point turned back by the piece's whole rotation lies in its rectangle.
  const float r = -piece.node->mRotation * 0.017453292f;
  const float dx = x - cx, dy = y - cy;
  const float u = dx * std::cos(r) - dy * std::sin(r), v = dx * std::sin(r) + dy * std::cos(r);
  return std::fabs(u) <= size.x * 0.5f && std::fabs(v) <= size.y * 0.5f;
}

void PuzzleMinigameViewExtension::showPlaced(Piece& piece) {
  if (dragMode)
    piece.node->setColor(0.8f, 0.8f, 0.8f, 1.0f);
  else
    showFrame(picture(piece), int32_t(blockFrame));
}

void PuzzleMinigameViewExtension::follow(Piece& piece, const InputState* input) {
  const KR::Vector2<float> size = piece.node->getSize();
  piece.node->setPosition(drag.follow(KR::Vector2<float>(float(input->x), float(input->y)),
                                      KR::Vector2<float>(size.x * 0.5f, size.y * 0.5f)));
}

int32_t PuzzleMinigameViewExtension::dragStep(const InputState* input) {
  if (!input->leftReleased) return 0;
  const float x = float(input->x), y = float(input->y);
  if (drag.holding()) {
    Piece& piece = pieces[size_t(drag.letGo())];
    // The piece lands where it is let go, also when the pointer moved in
    // the same frame.
    follow(piece, input);
    toFront(piece.node);
    const float rotation = piece.node->mRotation - 360.0f * std::trunc(piece.node->mRotation / 360.0f);
    const KR::Vector2<float> at = ownPosition(piece.node);
    if (std::fabs(at.x - piece.correctPosition.x) <= float(accuracy) &&
        std::fabs(at.y - piece.correctPosition.y) <= float(accuracy) && rotation == piece.correctRotation) {
      piece.node->setPosition(piece.correctPosition);
      piece.node->setRotation(piece.correctRotation);
      if (block) {
        piece.placed = true;
        showPlaced(piece);
      }
    }
    // Dropped and placed pieces keep their places across leave and return.
    piece.savedPosition = ownPosition(piece.node);
    piece.savedRotation = piece.node->mRotation;
    return 1;
  }
  std::vector<size_t> order(pieces.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    const float za = pieces[a].node ? pieces[a].node->mPosZ : 0.0f, zb = pieces[b].node ? pieces[b].node->mPosZ : 0.0f;
    return za < zb;
  });
  for (size_t i : order) {
    Piece& piece = pieces[i];
    if (piece.placed || !hits(piece, x, y)) continue;
    drag.take(int32_t(i));
    toFront(piece.node);
    return 1;
  }
  return 0;
}

int32_t PuzzleMinigameViewExtension::swapStep(const InputState* input) {
  for (const Piece& piece : pieces)
    if (piece.moving) return 0;
  if (input->leftReleased) {
    const float x = float(input->x), y = float(input->y);
    for (size_t i = 0; i < pieces.size(); ++i) {
      Piece& piece = pieces[i];
      if (piece.placed || !hits(piece, x, y)) continue;
      playSound(clickSound);
      const TwoPicks::Result taken = picks.take(int32_t(i));
      if (taken == TwoPicks::Ignored) continue;
      if (taken == TwoPicks::Second) {
        Piece& first = pieces[size_t(picks.first)];
        if (first.node) first.node->setColor(1.0f, 1.0f, 1.0f, 1.0f);
        first.moveTarget = ownPosition(piece.node);
        piece.moveTarget = ownPosition(first.node);
      }
      showFrame(picture(piece), int32_t(selectFrame));
      toFront(picture(piece));
      return 1;
    }
    // A click beside the pieces drops the pick; with nothing picked it is
    // not the puzzle's, so the way back stays open.
    const bool hadPick = !picks.none();
    for (Piece& piece : pieces)
      if (!piece.placed) showFrame(picture(piece), 0);
    picks.drop();
    return hadPick ? 1 : 0;
  }
  if (input->rightReleased && !picks.none()) {
    showFrame(picture(pieces[size_t(picks.first)]), 0);
    picks.drop();
    return 1;
  }
  return 0;
}

int32_t PuzzleMinigameViewExtension::handleInput(const InputState* input) {
  if (!input) return 0;
  const int32_t result = dragMode ? dragStep(input) : swapStep(input);
  if (drag.holding()) {
    Piece& piece = pieces[size_t(drag.held())];
    if (piece.node) {
      follow(piece, input);
      if (input->rightReleased) piece.node->setRotation(piece.node->mRotation + 90.0f);
    }
  }
  return result;
}

void PuzzleMinigameViewExtension::glide(Piece& piece, float dt) {
  if (!piece.node) return;
  KR::Vector2<float> at = ownPosition(piece.node);
  if (!piece.moving) {
    moveSpeed = time > 0.0f ? distance(at, piece.moveTarget) / time : 0.0f;
    piece.moving = true;
  }
  // A glide of no time lands at once.
  const float step = time > 0.0f ? moveSpeed * dt : distance(at, piece.moveTarget);
  if (!glideStep(&at, piece.moveTarget, step)) {
    piece.node->setPosition(at);
    return;
  }
  piece.moving = false;
  piece.node->setPosition(piece.moveTarget);
  piece.savedPosition = piece.moveTarget;
  showFrame(picture(piece), 0);
}

void PuzzleMinigameViewExtension::swapMotion(float dt) {
  for (Piece& piece : pieces) {
    if (!piece.node || piece.placed) continue;
    const KR::Vector2<float> at = ownPosition(piece.node);
    if (at.x == piece.correctPosition.x && at.y == piece.correctPosition.y && block && !piece.moving) {
      piece.placed = true;
      showFrame(picture(piece), int32_t(blockFrame));
    }
  }
  if (!picks.full()) return;
  Piece& first = pieces[size_t(picks.first)];
  Piece& second = pieces[size_t(picks.second)];
  const bool going =
      first.moving || second.moving ||
      (first.node && (first.node->mPosX != first.moveTarget.x || first.node->mPosY != first.moveTarget.y));
  if (!going) {
    picks.drop();
    return;
  }
  if (first.moving || !first.node || first.node->mPosX != first.moveTarget.x || first.node->mPosY != first.moveTarget.y)
    glide(first, dt);
  if (second.moving || !second.node || second.node->mPosX != second.moveTarget.x ||
      second.node->mPosY != second.moveTarget.y)
    glide(second, dt);
}

bool PuzzleMinigameViewExtension::isSolved() const {
  if (finishReported) return true;
  for (const Piece& piece : pieces) {
    if (piece.placed) continue;
    if (dragMode || !piece.node) return false;
    if (piece.node->mPosX != piece.correctPosition.x || piece.node->mPosY != piece.correctPosition.y) return false;
  }
  return true;
}

void PuzzleMinigameViewExtension::updatePuzzle(float dt) {
  if (!dragMode) swapMotion(dt);
  if (!isSolved() && !skipWanted()) return;
  doneNow = true;
  if (finishNode && !finishNode->mPlaying) {
    if (!finishStarted && !finishReported) {
      drag.letGo();
      for (Piece& piece : pieces) {
        if (!piece.node) continue;
        piece.node->setPosition(piece.correctPosition);
        piece.node->setRotation(piece.correctRotation);
        piece.savedPosition = piece.correctPosition;
        piece.savedRotation = piece.correctRotation;
      }
      finishNode->play(true);
      lengthenLock(finishTime);
      finishStarted = true;
    } else {
      finishNode->rewindToEnd();
    }
  }
  hideTimer += dt;
  const float fps = finishNode && finishNode->mAnimation && finishNode->mAnimation->mFrameTime > 0.0f
                        ? 1.0f / finishNode->mAnimation->mFrameTime
                        : kFallbackFps;
  if (hideElements && hideTimer > 2.0f / fps)
    for (Piece& piece : pieces)
      if (AE::ISceneNode* shown = picture(piece)) shown->setColor(1.0f, 1.0f, 1.0f, 0.0f);
  for (Piece& piece : pieces) {
    if (piece.placed) continue;
    piece.placed = true;
    showFrame(picture(piece), int32_t(blockFrame));
  }
  finishStarted = true;
  if (finishReported) return;
  finishTimer += dt;
  if (finishTimer >= finishTime) reportFinish();
}

}  // namespace HOG
