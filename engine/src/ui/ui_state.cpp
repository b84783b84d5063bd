#include "ui/ui_state.h"

namespace KR {

UIState::~UIState() {
  for (IPropertyChange* change : changes) delete change;
}

void stepToward(float& value, const float& end, float k) { value = value + k * (end - value); }

void stepToward(Vector2<float>& value, const Vector2<float>& end, float k) {
  value.x = value.x + k * (end.x - value.x);
  value.y = value.y + k * (end.y - value.y);
}

void stepToward(Color& value, const Color& end, float k) {
  // Channel by channel, a signed step truncated toward zero.
  const int32_t m = int32_t(k * 255.0f);
  uint32_t result = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const int32_t c = int32_t((value.value >> shift) & 0xFF);
    const int32_t d = int32_t((end.value >> shift) & 0xFF) - c;
    const int32_t step = (d * m) / 255;
    result |= uint32_t((c + step) & 0xFF) << shift;
  }
  value.value = result;
}

}  // namespace KR
