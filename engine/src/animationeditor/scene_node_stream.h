#pragma once
// The byte stream a scene node writes its whole state to and reads it back
// from. Values go out field by field, little-endian, at their stored sizes:
// 32-bit integers and floats, one byte per flag, colours as their 32-bit
// 0xAARRGGBB value. Narrow strings are their bytes and a terminating zero.
#include <cstdint>
#include <string>
#include <vector>

#include "color.h"
#include "matrix3.h"
#include "vector2.h"

namespace AE {

class ISceneNodeStream {
 public:
  virtual ~ISceneNodeStream() = default;
  virtual void write(const void* data, uint32_t byteCount) = 0;
  // False when fewer than byteCount bytes were left; the rest of data is zeroed.
  virtual bool read(void* data, uint32_t byteCount) = 0;

  // ---- typed helpers over write/read (little-endian whatever the host) ----
  void writeU8(uint8_t v) { write(&v, 1); }
  void writeBool(bool v) { writeU8(v ? 1 : 0); }
  void writeU16(uint16_t v);
  void writeU32(uint32_t v);
  void writeI32(int32_t v) { writeU32(static_cast<uint32_t>(v)); }
  void writeF32(float v);
  void writeColor(const KR::Color& c) { writeU32(c.value); }
  void writeVector2(const KR::Vector2<float>& v) {
    writeF32(v.x);
    writeF32(v.y);
  }
  void writeMatrix(const KR::Matrix3& m) {
    for (float f : m.m) writeF32(f);
  }

  bool readU8(uint8_t* v) { return read(v, 1); }
  bool readBool(bool* v);
  bool readU16(uint16_t* v);
  bool readU32(uint32_t* v);
  bool readI32(int32_t* v);
  bool readF32(float* v);
  bool readColor(KR::Color* c) { return readU32(&c->value); }
  bool readVector2(KR::Vector2<float>* v) { return readF32(&v->x) && readF32(&v->y); }
  bool readMatrix(KR::Matrix3* m);

  // True once any read ran out of bytes.
  bool failed() const { return readFailed; }

 protected:
  bool readFailed = false;
};

// A stream over a growable byte buffer: writes append, reads consume from
// the front.
class MemoryNodeStream : public ISceneNodeStream {
 public:
  MemoryNodeStream() = default;
  explicit MemoryNodeStream(std::vector<uint8_t> bytes) : buffer(std::move(bytes)) {}
  void write(const void* data, uint32_t byteCount) override;
  bool read(void* data, uint32_t byteCount) override;

  const std::vector<uint8_t>& bytes() const { return buffer; }
  size_t remaining() const { return buffer.size() - readPosition; }
  void rewind() {
    readPosition = 0;
    readFailed = false;
  }

 private:
  std::vector<uint8_t> buffer;
  size_t readPosition = 0;
};

// The string form: the characters, one byte each, then a zero byte.
void writeString(ISceneNodeStream& stream, const std::string& text);
// Takes bytes up to the zero byte (or the end of the stream).
bool readString(ISceneNodeStream& stream, std::string& text);
// Wide text as UTF-16LE units and a terminating 0 unit.
void writeWideString(ISceneNodeStream& stream, const std::wstring& text);
bool readWideString(ISceneNodeStream& stream, std::wstring& text);

}  // namespace AE
