#pragma once
// A widget that draws one fast sprite at its absolute position, scaled,
// tinted by the widget's colour and faded by its alpha.
#include <string>

#include "ui/ui_widget.h"

namespace KR {

class FastSprite;

class UISprite : public UIWidget {
 public:
  // Without an image name the widget has no sprite and draws nothing.
  UISprite(const std::string& name, UIWidget* parent, const std::string& image, const std::string& table,
           const std::string& package);
  // Takes a sprite made by the fast-sprite manager (or null).
  UISprite(const std::string& name, UIWidget* parent, FastSprite* sprite);
  ~UISprite() override;

  Vector2<float> getSize() const override { return Vector2<float>(scale.x * size.x, scale.y * size.y); }
  int32_t getType() const override { return kUISpriteType; }
  void draw() override;
  // The common keys, then "size", "color" and "scale".
  void load(LuaScript& script) override;

  FastSprite* sprite = nullptr;
  bool ownsSprite = true;
  Vector2<float> scale = Vector2<float>(1.0f, 1.0f);
  // The sprite's own colour; every draw multiplies it by the widget's colour
  // afresh, so a tint never compounds from frame to frame.
  Color spriteColor = Color::fromARGB(0xFFFFFFFFu);
};

}  // namespace KR
