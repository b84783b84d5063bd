#pragma once
// Timed lines of localised text shown at the bottom of the screen while a
// movie or a cut scene plays. The owner loads them from the description's
// element, writes the playing time into `time` every frame and draws; the
// entry whose interval [begin, end) holds the time is drawn in a box two
// thirds of the screen wide, centred, resting on the bottom edge.
//
//   KR::Subtitles subtitles;            // one per owner
//   subtitles.load(reader);             // reader on the "Movie" element
//   subtitles.time = surface->getPlayingTime();
//   subtitles.draw();
//   subtitles.destroy();                // font reference and entries
//
// Description (XML data file, under the owner's element):
//   <FontProperties><FontPresetFile v="..."/><FontPresetTable v="..."/></FontProperties>
//   <Subtitles><v0><beg v="1.5"/><end v="4"/><text v="INTRO_LINE_1"/></v0>...</Subtitles>
#include <cstdint>
#include <string>
#include <vector>

#include "font_preset.h"
#include "rect.h"
#include "vector2.h"

namespace KR {

class UIFont;
class XmlDataReader;

struct SubtitleEntry {
  const std::wstring* text = nullptr;  // held by the text manager
  float begin = 0.0f;
  float end = 0.0f;
  Rect bounds;  // measured rectangle of the laid-out text
  bool laidOut = false;
  Vector2<float> boxSize;
  Vector2<float> boxPosition;  // top-left
};

class Subtitles {
 public:
  // The font used when the description names no preset, or one that cannot be loaded.
  static constexpr const char* kFallbackFont = "system_font_fnt";

  Subtitles() = default;
  ~Subtitles();
  Subtitles(const Subtitles&) = delete;
  Subtitles& operator=(const Subtitles&) = delete;

  // Replaces everything from the reader's current element. Always 0.
  int load(XmlDataReader& reader);
  // Draws the entry current at `time`, if any (laying it out on first use).
  void draw();
  // The first entry with begin <= t < end, or null.
  SubtitleEntry* find(float t);
  // Measures the entry's text in the area and fixes its box: a text larger
  // than the area grows its box to the left and upwards.
  void layoutEntry(SubtitleEntry& entry);
  // Gives back the font reference and frees the entries.
  void destroy();

  std::vector<SubtitleEntry> entries;
  float time = 0.0f;
  // The subtitle area in design units.
  float areaLeft = 0.0f;
  float areaTop = 0.0f;
  float areaWidth = 0.0f;
  float areaHeight = 0.0f;
  UIFont* font = nullptr;  // one reference held
  FontPreset preset;
  bool presetLoaded = false;
  float heightPercent = 12.5f;

 private:
  // The layout parameters of the current style.
  bool wordWrap() const { return presetLoaded ? preset.wordWrap : true; }
  uint32_t halign() const { return presetLoaded ? preset.halign : 1; }
  uint32_t valign() const { return presetLoaded ? preset.valign : 1; }
  float xcoeff() const { return presetLoaded ? preset.xcoeff : 0.0f; }
  float ycoeff() const { return presetLoaded ? preset.ycoeff : 0.0f; }
};

}  // namespace KR
