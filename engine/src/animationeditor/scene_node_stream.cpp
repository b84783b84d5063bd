#include "animationeditor/scene_node_stream.h"

#include <cstring>

namespace AE {

namespace {

// Characters beyond the basic plane become surrogate pairs; values that are
// no character become U+FFFD.
std::u16string toUtf16(const std::wstring& text) {
  std::u16string out;
  out.reserve(text.size());
  for (const wchar_t wc : text) {
    uint32_t c = static_cast<uint32_t>(wc);
    if (c > 0x10FFFF) c = 0xFFFD;
    if (c >= 0x10000) {
      c -= 0x10000;
      out.push_back(char16_t(0xD800 + (c >> 10)));
      out.push_back(char16_t(0xDC00 + (c & 0x3FF)));
    } else {
      out.push_back(char16_t(c));
    }
  }
  return out;
}

// Pairs are joined; a lone surrogate stays as its unit.
std::wstring fromUtf16(const std::u16string& units) {
  std::wstring out;
  out.reserve(units.size());
  for (size_t i = 0; i < units.size(); ++i) {
    const uint32_t u = units[i];
    if (u >= 0xD800 && u < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
      out.push_back(wchar_t(0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00)));
      ++i;
    } else {
      out.push_back(wchar_t(u));
    }
  }
  return out;
}

}  // namespace

void ISceneNodeStream::writeU16(uint16_t v) {
  const uint8_t b[2] = {uint8_t(v), uint8_t(v >> 8)};
  write(b, 2);
}

void ISceneNodeStream::writeU32(uint32_t v) {
  const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
  write(b, 4);
}

void ISceneNodeStream::writeF32(float v) {
  uint32_t bits = 0;
  std::memcpy(&bits, &v, 4);
  writeU32(bits);
}

bool ISceneNodeStream::readBool(bool* v) {
  uint8_t b = 0;
  const bool ok = readU8(&b);
  *v = b != 0;
  return ok;
}

bool ISceneNodeStream::readU16(uint16_t* v) {
  uint8_t b[2];
  const bool ok = read(b, 2);
  *v = uint16_t(b[0] | b[1] << 8);
  return ok;
}

bool ISceneNodeStream::readU32(uint32_t* v) {
  uint8_t b[4];
  const bool ok = read(b, 4);
  *v = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
  return ok;
}

bool ISceneNodeStream::readI32(int32_t* v) {
  uint32_t u = 0;
  const bool ok = readU32(&u);
  *v = static_cast<int32_t>(u);
  return ok;
}

bool ISceneNodeStream::readF32(float* v) {
  uint32_t bits = 0;
  const bool ok = readU32(&bits);
  std::memcpy(v, &bits, 4);
  return ok;
}

bool ISceneNodeStream::readMatrix(KR::Matrix3* m) {
  bool ok = true;
  for (float& f : m->m) ok = readF32(&f) && ok;
  return ok;
}

void MemoryNodeStream::write(const void* data, uint32_t byteCount) {
  const uint8_t* p = static_cast<const uint8_t*>(data);
  buffer.insert(buffer.end(), p, p + byteCount);
}

bool MemoryNodeStream::read(void* data, uint32_t byteCount) {
  const size_t available = remaining();
  const size_t n = byteCount < available ? byteCount : available;
  if (n) std::memcpy(data, buffer.data() + readPosition, n);
  if (n < byteCount) std::memset(static_cast<uint8_t*>(data) + n, 0, byteCount - n);
  readPosition += n;
  if (n < byteCount) readFailed = true;
  return n == byteCount;
}

void writeString(ISceneNodeStream& stream, const std::string& text) {
  stream.write(text.c_str(), static_cast<uint32_t>(text.size() + 1));
}

bool readString(ISceneNodeStream& stream, std::string& text) {
  text.clear();
  char c = 0;
  while (stream.read(&c, 1)) {
    if (c == 0) return true;
    text.push_back(c);
  }
  return false;
}

void writeWideString(ISceneNodeStream& stream, const std::wstring& text) {
  for (const char16_t unit : toUtf16(text)) stream.writeU16(static_cast<uint16_t>(unit));
  stream.writeU16(0);
}

bool readWideString(ISceneNodeStream& stream, std::wstring& text) {
  std::u16string units;
  uint16_t unit = 0;
  bool ok = false;
  while (stream.readU16(&unit)) {
    if (unit == 0) {
      ok = true;
      break;
    }
    units.push_back(static_cast<char16_t>(unit));
  }
  text = fromUtf16(units);
  return ok;
}

}  // namespace AE
