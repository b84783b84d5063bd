#include "platform/shader_translator.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

namespace KR {
namespace Platform {

namespace {

// ---------------------------------------------------------------------------
// Lexing

struct SourceLine {
  int number = 0;
  std::string text;  // comments removed, trimmed
};

std::string trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
  return s.substr(b, e - b);
}

std::string lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string lineError(int line, const std::string& message) { return "line " + std::to_string(line) + ": " + message; }

// Splits into lines without comments; false on an unterminated block comment.
bool splitLines(const std::string& text, std::vector<SourceLine>& lines, std::string& error) {
  std::string current;
  int number = 1;
  int commentStart = 0;
  bool inBlock = false;
  auto endLine = [&]() {
    SourceLine l;
    l.number = number;
    l.text = trim(current);
    if (!l.text.empty()) lines.push_back(l);
    current.clear();
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (inBlock) {
      if (c == '*' && i + 1 < text.size() && text[i + 1] == '/') {
        inBlock = false;
        current += ' ';
        ++i;
      } else if (c == '\n') {
        endLine();
        ++number;
      }
      continue;
    }
    if (c == '\n') {
      endLine();
      ++number;
    } else if (c == ';' || (c == '/' && i + 1 < text.size() && text[i + 1] == '/')) {
      while (i + 1 < text.size() && text[i + 1] != '\n') ++i;
    } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
      inBlock = true;
      commentStart = number;
      ++i;
    } else {
      current += c;
    }
  }
  if (inBlock) {
    error = lineError(commentStart, "unterminated comment");
    return false;
  }
  endLine();
  return true;
}

// Splits "a, b ,c" into trimmed parts; an empty part is kept (and rejected later).
std::vector<std::string> splitOperands(const std::string& s) {
  std::vector<std::string> out;
  if (trim(s).empty()) return out;
  size_t start = 0;
  for (;;) {
    const size_t comma = s.find(',', start);
    out.push_back(trim(s.substr(start, comma == std::string::npos ? std::string::npos : comma - start)));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return out;
}

// A decimal number with an optional "f" suffix, finite as a float.
bool parseNumber(const std::string& token, float& value) {
  std::string t = token;
  if (!t.empty() && (t.back() == 'f' || t.back() == 'F')) t.pop_back();
  if (t.empty()) return false;
  size_t i = 0;
  if (t[i] == '+' || t[i] == '-') ++i;
  bool digits = false;
  while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, digits = true;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, digits = true;
  }
  if (!digits) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    bool expDigits = false;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, expDigits = true;
    if (!expDigits) return false;
  }
  if (i != t.size()) return false;
  const char* first = t.c_str();
  if (*first == '+') ++first;
  double d = 0.0;
  const auto r = std::from_chars(first, t.c_str() + t.size(), d);
  if (r.ec != std::errc() || r.ptr != t.c_str() + t.size()) return false;
  if (!std::isfinite(d) || std::fabs(d) > 3.0e38) return false;
  value = float(d);
  return true;
}

std::string glslFloat(float v) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  std::string s(buf, r.ptr);
  if (s.find_first_of(".e") == std::string::npos) s += ".0";
  return s;
}

// The device's alpha test, which follows the pixel shader: the state comes
// in as uniforms (function in the Cmp order never .. always, reference 0..255).
const char* const kAlphaTestGlsl = R"(uniform bool uAlphaTest;
uniform int uAlphaFunc;
uniform float uAlphaRef;
bool alphaTestPasses(float alpha) {
  if (!uAlphaTest) return true;
  float a = floor(alpha * 255.0 + 0.5);
  if (uAlphaFunc == 0) return false;
  if (uAlphaFunc == 1) return a < uAlphaRef;
  if (uAlphaFunc == 2) return a == uAlphaRef;
  if (uAlphaFunc == 3) return a <= uAlphaRef;
  if (uAlphaFunc == 4) return a > uAlphaRef;
  if (uAlphaFunc == 5) return a != uAlphaRef;
  if (uAlphaFunc == 6) return a >= uAlphaRef;
  return true;
}
)";

// ---------------------------------------------------------------------------
// Operands

enum class RegFile { Temp, Const, Texture, Color, Input, OutPos, OutColor, OutTex };

enum class SrcMod { None, Bias, Bx2, X2 };
enum class TexDivide { None, Dz, Dw };

struct Operand {
  RegFile file = RegFile::Temp;
  int index = 0;
  std::string name;  // as written (for messages)
  bool negate = false;
  bool invert = false;
  SrcMod mod = SrcMod::None;
  TexDivide divide = TexDivide::None;
  std::string selector;  // as written after '.', lowercase
  char swizzle[4] = {'x', 'y', 'z', 'w'};
  bool hasSelector = false;
  uint32_t mask = 0xF;  // destinations
};

struct Limits {
  int temps, constants, textures, colors, inputs;
};

char componentOf(char c) {
  switch (c) {
    case 'x':
    case 'r': return 'x';
    case 'y':
    case 'g': return 'y';
    case 'z':
    case 'b': return 'z';
    case 'w':
    case 'a': return 'w';
    default: return 0;
  }
}

int componentIndex(char c) { return c == 'x' ? 0 : c == 'y' ? 1 : c == 'z' ? 2 : 3; }

// ---------------------------------------------------------------------------
// The translator

class Translator {
 public:
  Translator(ShaderStage stage, const VertexInputs* inputs) : mStage(stage), mInputs(inputs) {}

  bool run(const std::string& text, TranslatedShader& out, std::string& error);

 private:
  bool fail(const std::string& message) {
    mError = lineError(mLine, message);
    return false;
  }
  bool isPixel() const { return mStage == ShaderStage::Pixel; }
  bool isPs14() const { return isPixel() && mMinor == 4; }

  bool parseVersion(const std::string& text);
  bool parseRegister(const std::string& token, Operand& op);
  bool parseSource(const std::string& token, Operand& op, bool textureSource);
  bool parseDestination(const std::string& token, Operand& op);
  bool instruction(const std::string& text);
  bool pixelTexture(const std::string& op, const std::vector<std::string>& args);
  bool arithmetic(const std::string& op, const std::string& modifiers, const std::vector<std::string>& args);
  bool definition(const std::vector<std::string>& args);

  // GLSL of a source operand's value (after selector and modifiers).
  std::string sourceExpr(const Operand& op);
  std::string registerName(const Operand& op);
  bool checkReadable(const Operand& op);
  void markWritten(const Operand& op);
  void writeResult(const Operand& dst, const std::string& result);
  std::string maskString(uint32_t mask) const;

  ShaderStage mStage;
  const VertexInputs* mInputs;
  uint32_t mMinor = 0;
  Limits mLimits{};
  int mLine = 0;
  std::string mError;

  std::string mBody;
  std::string mPending;  // writes of a co-issued pair, flushed after both
  int mResultCounter = 0;
  bool mDefined[kVertexConstantCount] = {};
  float mDefs[kVertexConstantCount][4] = {};
  bool mConstUsed[kVertexConstantCount] = {};
  bool mTempWritten[12] = {};
  bool mTexWritten[8] = {};  // ps.1.1 - 1.3 texture registers
  bool mInputUsed[kMaxVertexInputs] = {};
  bool mTexCoordUsed[8] = {};
  bool mColorUsed[2] = {};
  bool mOutputWritten[11] = {};  // 0 oPos, 1-2 oD#, 3-10 oT#
  uint32_t mSamplerMask = 0;
  bool mHasPhase = false;
  int mPhase = 1;                // ps.1.4: 1 before the marker, 2 after (2 throughout without one)
  bool mArithmeticSeen = false;  // in the current phase
  int mTexCount = 0;             // in the current phase
  int mArithCount = 0;           // in the current phase
  int mSlots = 0;                // vertex shader instruction slots
  bool mLastWasCoissuable = false;
  bool mInstructionSeen = false;
};

bool Translator::parseVersion(const std::string& text) {
  const std::string t = lower(trim(text));
  std::string kind, major, minor;
  if (t.size() == 6 && (t[2] == '.' || t[2] == '_') && t[4] == t[2]) {
    kind = t.substr(0, 2);
    major = t.substr(3, 1);
    minor = t.substr(5, 1);
  }
  const char* expected = isPixel() ? "a pixel shader version (ps.1.1 to ps.1.4)" : "a vertex shader version (vs.1.1)";
  if (kind.empty() || (kind != "ps" && kind != "vs"))
    return fail(std::string("expected ") + expected + ", found '" + trim(text) + "'");
  if ((kind == "ps") != isPixel()) return fail(std::string("expected ") + expected + ", found '" + trim(text) + "'");
  if (isPixel()) {
    if (major != "1" || minor < "1" || minor > "4") return fail("unsupported shader version '" + trim(text) + "'");
    mMinor = uint32_t(minor[0] - '0');
    mLimits = mMinor == 4 ? Limits{6, 8, 6, 2, 0} : Limits{2, 8, 4, 2, 0};
  } else {
    if (major != "1" || (minor != "0" && minor != "1")) return fail("unsupported shader version '" + trim(text) + "'");
    mMinor = 1;
    mLimits = Limits{12, kVertexConstantCount, 0, 0, kMaxVertexInputs};
  }
  mPhase = 2;
  return true;
}

bool Translator::parseRegister(const std::string& token, Operand& op) {
  const std::string t = lower(token);
  op.name = token;
  size_t letters = 0;
  while (letters < t.size() && std::isalpha(static_cast<unsigned char>(t[letters]))) ++letters;
  const std::string prefix = t.substr(0, letters);
  const std::string digits = t.substr(letters);
  bool numeric = !digits.empty() && digits.size() <= 3;
  for (char c : digits) numeric = numeric && std::isdigit(static_cast<unsigned char>(c));
  const int index = numeric ? std::stoi(digits) : -1;
  auto bad = [&]() { return fail("bad register '" + token + "'"); };
  auto ranged = [&](RegFile file, int count) {
    if (index < 0 || index >= count) return bad();
    op.file = file;
    op.index = index;
    return true;
  };
  if (prefix == "opos" && digits.empty() && !isPixel()) {
    op.file = RegFile::OutPos;
    op.index = 0;
    return true;
  }
  if (prefix == "r") return ranged(RegFile::Temp, mLimits.temps);
  if (prefix == "c") return ranged(RegFile::Const, mLimits.constants);
  if (isPixel()) {
    if (prefix == "t") return ranged(RegFile::Texture, mLimits.textures);
    if (prefix == "v") return ranged(RegFile::Color, mLimits.colors);
    return bad();
  }
  if (prefix == "v") return ranged(RegFile::Input, mLimits.inputs);
  if (prefix == "od") return ranged(RegFile::OutColor, 2);
  if (prefix == "ot") return ranged(RegFile::OutTex, 8);
  if (prefix == "a" && index == 0) return fail("the address register a0 is not supported");
  return bad();
}

// source := ['-'] ['1-'] register {'_' modifier | '.' selector}
bool Translator::parseSource(const std::string& token, Operand& op, bool textureSource) {
  std::string t = trim(token);
  if (t.empty()) return fail("missing operand");
  if (t[0] == '-') {
    op.negate = true;
    t = trim(t.substr(1));
  }
  if (t.size() > 1 && t[0] == '1') {
    std::string rest = trim(t.substr(1));
    if (!rest.empty() && rest[0] == '-') {
      op.invert = true;
      t = trim(rest.substr(1));
    }
  }
  size_t end = 0;
  while (end < t.size() && std::isalnum(static_cast<unsigned char>(t[end]))) ++end;
  if (end == 0) return fail("bad operand '" + trim(token) + "'");
  if (!parseRegister(t.substr(0, end), op)) return false;
  std::string rest = lower(t.substr(end));
  while (!rest.empty()) {
    const char kind = rest[0];
    size_t next = 1;
    while (next < rest.size() && rest[next] != '_' && rest[next] != '.') ++next;
    const std::string part = rest.substr(1, next - 1);
    rest = rest.substr(next);
    if (kind == '_') {
      SrcMod mod = SrcMod::None;
      TexDivide div = TexDivide::None;
      if (part == "bias")
        mod = SrcMod::Bias;
      else if (part == "bx2")
        mod = SrcMod::Bx2;
      else if (part == "x2")
        mod = SrcMod::X2;
      else if (part == "dz" || part == "db")
        div = TexDivide::Dz;
      else if (part == "dw" || part == "da")
        div = TexDivide::Dw;
      else
        return fail("bad source modifier '_" + part + "'");
      if (mod != SrcMod::None) {
        if (op.mod != SrcMod::None) return fail("more than one source modifier on '" + trim(token) + "'");
        op.mod = mod;
      } else {
        if (op.divide != TexDivide::None) return fail("more than one source modifier on '" + trim(token) + "'");
        op.divide = div;
      }
    } else if (kind == '.') {
      if (op.hasSelector) return fail("more than one selector on '" + trim(token) + "'");
      if (part.empty() || part.size() > 4) return fail("bad selector '." + part + "'");
      for (size_t i = 0; i < part.size(); ++i) {
        const char c = componentOf(part[i]);
        if (!c) return fail("bad selector '." + part + "'");
        op.swizzle[i] = c;
      }
      for (size_t i = part.size(); i < 4; ++i) op.swizzle[i] = op.swizzle[part.size() - 1];
      op.hasSelector = true;
      op.selector = part;
    } else {
      return fail("bad operand '" + trim(token) + "'");
    }
  }

  // What each kind of shader allows.
  if (op.file == RegFile::OutPos || op.file == RegFile::OutColor || op.file == RegFile::OutTex)
    return fail("output register '" + op.name + "' cannot be read");
  if (!isPixel()) {
    if (op.invert || op.mod != SrcMod::None || op.divide != TexDivide::None)
      return fail("source modifier not allowed in a vertex shader: '" + trim(token) + "'");
    return true;
  }
  if (op.invert && (op.negate || op.mod != SrcMod::None))
    return fail("'1-' cannot be combined with other source modifiers: '" + trim(token) + "'");
  if (op.mod == SrcMod::X2 && !isPs14()) return fail("source modifier _x2 needs ps.1.4");
  if (textureSource) {
    if (op.negate || op.invert || op.mod != SrcMod::None)
      return fail("texture coordinates take no source modifier: '" + trim(token) + "'");
    if (op.hasSelector && op.selector != "xyz" && op.selector != "xyw" && op.selector != "rgb" && op.selector != "rga")
      return fail("bad texture coordinate selector '." + op.selector + "'");
    return true;
  }
  if (op.divide != TexDivide::None) return fail("_dz and _dw apply to texld and texcrd only");
  if (op.hasSelector && op.selector.size() != 1 && op.selector != "xyzw" && op.selector != "rgba")
    return fail("bad source selector '." + op.selector + "' (pixel shaders take one component)");
  return true;
}

bool Translator::parseDestination(const std::string& token, Operand& op) {
  std::string t = trim(token);
  if (t.empty()) return fail("missing operand");
  size_t end = 0;
  while (end < t.size() && std::isalnum(static_cast<unsigned char>(t[end]))) ++end;
  if (end == 0) return fail("bad destination '" + t + "'");
  if (!parseRegister(t.substr(0, end), op)) return false;
  const std::string rest = lower(t.substr(end));
  if (!rest.empty()) {
    if (rest[0] != '.' || rest.size() < 2 || rest.size() > 5) return fail("bad write mask '" + rest + "'");
    uint32_t mask = 0;
    int last = -1;
    for (size_t i = 1; i < rest.size(); ++i) {
      const char c = componentOf(rest[i]);
      if (!c || componentIndex(c) <= last) return fail("bad write mask '" + rest + "'");
      last = componentIndex(c);
      mask |= 1u << last;
    }
    op.mask = mask;
    if (isPixel() && !isPs14() && mask != 0xF && mask != 0x7 && mask != 0x8)
      return fail("bad write mask '" + rest + "' (ps.1.1 to ps.1.3 write .rgb, .a or all)");
  }
  if (op.file == RegFile::Const || op.file == RegFile::Color || op.file == RegFile::Input)
    return fail("register '" + op.name + "' cannot be written");
  if (isPs14() && op.file == RegFile::Texture) return fail("register '" + op.name + "' cannot be written in ps.1.4");
  return true;
}

std::string Translator::maskString(uint32_t mask) const {
  std::string s;
  for (int i = 0; i < 4; ++i)
    if (mask & (1u << i)) s += "xyzw"[i];
  return s;
}

std::string Translator::registerName(const Operand& op) {
  const std::string i = std::to_string(op.index);
  switch (op.file) {
    case RegFile::Temp: return "r" + i;
    case RegFile::Const: return "c" + i;
    case RegFile::Texture: return isPs14() ? "vT" + i : "t" + i;
    case RegFile::Color: return "v" + i;
    case RegFile::Input: return "v" + i;
    case RegFile::OutPos: return "oPos";
    case RegFile::OutColor: return "oD" + i;
    case RegFile::OutTex: return "oT" + i;
    default: return "r0";
  }
}

bool Translator::checkReadable(const Operand& op) {
  switch (op.file) {
    case RegFile::Temp:
      if (!mTempWritten[op.index]) return fail("register '" + op.name + "' is read before it is written");
      return true;
    case RegFile::Const: mConstUsed[op.index] = true; return true;
    case RegFile::Texture:
      if (isPs14()) {
        mTexCoordUsed[op.index] = true;
        return true;
      }
      if (!mTexWritten[op.index]) return fail("register '" + op.name + "' is read before it is written");
      return true;
    case RegFile::Color:
      if (isPs14() && mPhase == 1) return fail("colour register '" + op.name + "' is not available before phase");
      mColorUsed[op.index] = true;
      return true;
    case RegFile::Input:
      if (!mInputs || mInputs->reg[op.index] == VertexInput::None)
        return fail("input register '" + op.name + "' is not in the vertex declaration");
      mInputUsed[op.index] = true;
      return true;
    default: return fail("register '" + op.name + "' cannot be read");
  }
}

void Translator::markWritten(const Operand& op) {
  switch (op.file) {
    case RegFile::Temp: mTempWritten[op.index] = true; break;
    case RegFile::Texture: mTexWritten[op.index] = true; break;
    case RegFile::OutPos: mOutputWritten[0] = true; break;
    case RegFile::OutColor: mOutputWritten[1 + op.index] = true; break;
    case RegFile::OutTex: mOutputWritten[3 + op.index] = true; break;
    default: break;
  }
}

std::string Translator::sourceExpr(const Operand& op) {
  std::string e = registerName(op);
  const std::string sw(op.swizzle, 4);
  if (sw != "xyzw") e += "." + sw;
  switch (op.mod) {
    case SrcMod::Bias: e = "(" + e + " - 0.5)"; break;
    case SrcMod::Bx2: e = "(2.0 * (" + e + " - 0.5))"; break;
    case SrcMod::X2: e = "(2.0 * " + e + ")"; break;
    default: break;
  }
  if (op.invert) e = "(1.0 - " + e + ")";
  if (op.negate) e = "(-" + e + ")";
  return e;
}

void Translator::writeResult(const Operand& dst, const std::string& result) {
  const std::string m = maskString(dst.mask);
  const std::string target = registerName(dst);
  const std::string line = dst.mask == 0xF ? "  " + target + " = " + result + ";\n"
                                           : "  " + target + "." + m + " = " + result + "." + m + ";\n";
  mPending += line;
  markWritten(dst);
}

bool Translator::definition(const std::vector<std::string>& args) {
  if (args.size() != 5) return fail("def takes a constant register and four numbers");
  Operand c;
  if (!parseRegister(args[0], c)) return false;
  if (c.file != RegFile::Const) return fail("def needs a constant register, found '" + args[0] + "'");
  for (int i = 0; i < 4; ++i)
    if (!parseNumber(args[size_t(i) + 1], mDefs[c.index][i])) return fail("bad number '" + args[size_t(i) + 1] + "'");
  mDefined[c.index] = true;
  return true;
}

bool Translator::pixelTexture(const std::string& op, const std::vector<std::string>& args) {
  if (mArithmeticSeen) return fail("texture instruction '" + op + "' after arithmetic");
  const int limit = isPs14() ? 6 : 4;
  if (++mTexCount > limit) return fail("too many texture instructions");
  const std::string res = "res" + std::to_string(mResultCounter++);

  if (!isPs14()) {
    // tex, texcoord and texkill name a texture register, which is both the
    // coordinate set and the stage.
    if (args.size() != 1) return fail(op + " takes one operand");
    Operand d;
    if (!parseDestination(args[0], d)) return false;
    if (d.file != RegFile::Texture || d.mask != 0xF)
      return fail(op + " needs a texture register, found '" + args[0] + "'");
    const std::string i = std::to_string(d.index);
    mTexCoordUsed[d.index] = true;
    if (op == "texkill") {
      mBody += "  if (any(lessThan(vT" + i + ".xyz, vec3(0.0)))) discard;\n";
      return true;
    }
    if (op == "tex") {
      mSamplerMask |= 1u << d.index;
      mBody += "  t" + i + " = texture(uSampler" + i + ", vT" + i + ".xy);\n";
    } else {
      mBody += "  t" + i + " = vec4(clamp(vT" + i + ".xyz, 0.0, 1.0), 1.0);\n";
    }
    mTexWritten[d.index] = true;
    return true;
  }

  if (op == "texkill") {
    if (args.size() != 1) return fail("texkill takes one operand");
    Operand s;
    if (!parseDestination(args[0], s)) return false;
    if (s.file != RegFile::Temp && s.file != RegFile::Texture)
      return fail("bad register for texkill '" + args[0] + "'");
    if (s.file == RegFile::Temp && mPhase == 1) return fail("texkill of a temporary register needs phase 2");
    if (!checkReadable(s)) return false;
    mBody += "  if (any(lessThan(" + registerName(s) + ".xyz, vec3(0.0)))) discard;\n";
    return true;
  }
  if (args.size() != 2) return fail(op + " takes two operands");
  Operand d, s;
  if (!parseDestination(args[0], d)) return false;
  if (d.file != RegFile::Temp) return fail(op + " writes a temporary register, found '" + args[0] + "'");
  if (!parseSource(args[1], s, true)) return false;
  if (s.file == RegFile::Temp) {
    if (mPhase == 1) return fail(op + " from a temporary register needs phase 2");
  } else if (s.file != RegFile::Texture) {
    return fail(op + " reads texture coordinates or a temporary register, found '" + args[1] + "'");
  }
  if (!checkReadable(s)) return false;
  std::string coord = registerName(s);
  const bool useW = s.divide == TexDivide::Dw || s.selector == "xyw" || s.selector == "rga";
  const std::string third = useW ? "w" : "z";
  if (s.divide != TexDivide::None)
    coord = "(" + coord + ".xy / " + coord + "." + third + ")";
  else
    coord = coord + ".xy";
  if (op == "texld") {
    if (d.mask != 0xF) return fail("texld takes no write mask");
    mSamplerMask |= 1u << d.index;
    mBody += "  vec4 " + res + " = texture(uSampler" + std::to_string(d.index) + ", " + coord + ");\n";
  } else {
    if (d.mask != 0xF && d.mask != 0x7 && d.mask != 0x3) return fail("texcrd writes .xyz or .xy");
    const std::string src = registerName(s);
    if (s.divide != TexDivide::None)
      mBody += "  vec4 " + res + " = vec4(" + coord + ", 1.0, 1.0);\n";
    else
      mBody += "  vec4 " + res + " = vec4(" + src + ".xy, " + src + "." + third + ", 1.0);\n";
  }
  writeResult(d, res);
  mBody += mPending;
  mPending.clear();
  return true;
}

bool Translator::arithmetic(const std::string& op, const std::string& modifiers, const std::vector<std::string>& args) {
  struct OpInfo {
    const char* name;
    int sources;
    bool pixel, vertex;
    uint32_t minPixelMinor;
    int slots;
  };
  static const OpInfo kOps[] = {
      {"mov", 1, true, true, 1, 1},  {"add", 2, true, true, 1, 1},  {"sub", 2, true, true, 1, 1},
      {"mul", 2, true, true, 1, 1},  {"mad", 3, true, true, 1, 1},  {"lrp", 3, true, false, 1, 1},
      {"dp3", 2, true, true, 1, 1},  {"dp4", 2, true, true, 2, 1},  {"cnd", 3, true, false, 1, 1},
      {"cmp", 3, true, false, 2, 1}, {"rcp", 1, false, true, 1, 1}, {"m4x4", 2, false, true, 1, 4},
  };
  const OpInfo* info = nullptr;
  for (const OpInfo& o : kOps)
    if (op == o.name) info = &o;
  if (!info || (isPixel() ? !info->pixel : !info->vertex)) return fail("unknown instruction '" + op + "'");
  if (isPixel() && mMinor < info->minPixelMinor) return fail("instruction '" + op + "' needs ps.1.2 or later");

  // Instruction modifiers.
  float scale = 1.f;
  bool saturate = false;
  if (!modifiers.empty()) {
    if (!isPixel()) return fail("instruction modifiers are not allowed in a vertex shader");
    size_t start = 0;
    while (start <= modifiers.size()) {
      size_t end = modifiers.find('_', start);
      if (end == std::string::npos) end = modifiers.size();
      const std::string m = modifiers.substr(start, end - start);
      float s = 0.f;
      if (m == "sat") {
        if (saturate) return fail("modifier _sat given twice");
        saturate = true;
      } else if (m == "x2")
        s = 2.f;
      else if (m == "x4")
        s = 4.f;
      else if (m == "d2")
        s = 0.5f;
      else if (m == "x8" && isPs14())
        s = 8.f;
      else if (m == "d4" && isPs14())
        s = 0.25f;
      else if (m == "d8" && isPs14())
        s = 0.125f;
      else
        return fail("bad instruction modifier '_" + m + "'");
      if (s != 0.f) {
        if (scale != 1.f) return fail("more than one scale modifier");
        scale = s;
      }
      start = end + 1;
    }
  }

  if (int(args.size()) != info->sources + 1)
    return fail(op + " takes " + std::to_string(info->sources + 1) + " operands");
  Operand d;
  if (!parseDestination(args[0], d)) return false;
  Operand s[3];
  std::string e[3];
  for (int i = 0; i < info->sources; ++i) {
    if (!parseSource(args[size_t(i) + 1], s[i], false)) return false;
    if (isPs14() && s[i].file == RegFile::Texture)
      return fail("texture coordinates '" + s[i].name + "' are read by texld and texcrd only in ps.1.4");
  }
  if (op == "m4x4") {
    const Operand& m = s[1];
    if (m.negate || m.hasSelector) return fail("m4x4 takes its matrix without modifiers");
    if (m.file != RegFile::Const && m.file != RegFile::Temp) return fail("m4x4 needs a register matrix");
    if (m.index + 3 >= (m.file == RegFile::Const ? mLimits.constants : mLimits.temps))
      return fail("matrix '" + m.name + "' runs past the last register");
    if (d.file == s[0].file && d.index == s[0].index) return fail("m4x4 cannot write its own source");
  }
  for (int i = 0; i < info->sources; ++i) {
    if (op == "m4x4" && i == 1) {
      for (int k = 0; k < 4; ++k) {
        Operand row = s[1];
        row.index += k;
        row.name = (row.file == RegFile::Const ? "c" : "r") + std::to_string(row.index);
        if (!checkReadable(row)) return false;
      }
      continue;
    }
    if (!checkReadable(s[i])) return false;
    e[i] = sourceExpr(s[i]);
  }
  if (isPixel() && mMinor < 4 && op == "cnd" &&
      !(s[0].file == RegFile::Temp && s[0].index == 0 && s[0].selector.size() == 1 && s[0].swizzle[0] == 'w'))
    return fail("cnd needs r0.a as its condition before ps.1.4");

  std::string r;
  if (op == "mov")
    r = e[0];
  else if (op == "add")
    r = e[0] + " + " + e[1];
  else if (op == "sub")
    r = e[0] + " - " + e[1];
  else if (op == "mul")
    r = e[0] + " * " + e[1];
  else if (op == "mad")
    r = e[0] + " * " + e[1] + " + " + e[2];
  else if (op == "lrp")
    r = e[0] + " * " + e[1] + " + (1.0 - " + e[0] + ") * " + e[2];
  else if (op == "dp3")
    r = "vec4(dot((" + e[0] + ").xyz, (" + e[1] + ").xyz))";
  else if (op == "dp4")
    r = "vec4(dot(" + e[0] + ", " + e[1] + "))";
  else if (op == "cnd")
    r = "mix(" + e[2] + ", " + e[1] + ", greaterThan(" + e[0] + ", vec4(0.5)))";
  else if (op == "cmp")
    r = "mix(" + e[2] + ", " + e[1] + ", greaterThanEqual(" + e[0] + ", vec4(0.0)))";
  else if (op == "rcp")
    r = "vec4(1.0 / (" + e[0] + ").w)";
  else if (op == "m4x4") {
    const std::string base = s[1].file == RegFile::Const ? "c" : "r";
    r = "vec4(";
    for (int k = 0; k < 4; ++k)
      r += std::string(k ? ", " : "") + "dot(" + e[0] + ", " + base + std::to_string(s[1].index + k) + ")";
    r += ")";
  }

  if (isPixel()) {
    if (scale != 1.f) r = glslFloat(scale) + " * (" + r + ")";
    r = saturate ? "clamp(" + r + ", 0.0, 1.0)" : "clamp(" + r + ", " + (isPs14() ? "-8.0, 8.0)" : "-1.0, 1.0)");
  }
  // The result is computed before the previous half of a co-issued pair
  // writes anything (run() holds those writes back in mPending).
  const std::string res = "res" + std::to_string(mResultCounter++);
  mBody += "  vec4 " + res + " = vec4(" + r + ");\n";
  mBody += mPending;
  mPending.clear();
  writeResult(d, res);
  if (!isPixel()) mSlots += info->slots;
  return true;
}

bool Translator::instruction(const std::string& textIn) {
  std::string text = textIn;
  bool coissue = false;
  if (text[0] == '+') {
    if (!isPixel()) return fail("co-issue '+' is for pixel shaders");
    if (!mLastWasCoissuable) return fail("'+' must follow an arithmetic instruction");
    coissue = true;
    text = trim(text.substr(1));
  }
  size_t sp = 0;
  while (sp < text.size() && !std::isspace(static_cast<unsigned char>(text[sp]))) ++sp;
  const std::string word = lower(text.substr(0, sp));
  const std::vector<std::string> args = splitOperands(text.substr(sp));
  for (const std::string& a : args)
    if (a.empty()) return fail("missing operand");
  const size_t underscore = word.find('_');
  const std::string op = word.substr(0, underscore);
  const std::string modifiers = underscore == std::string::npos ? "" : word.substr(underscore + 1);
  if (underscore != std::string::npos && modifiers.empty()) return fail("bad instruction modifier in '" + word + "'");

  mLastWasCoissuable = false;
  if (coissue && (op == "def" || op == "phase" || op == "nop" || op.rfind("tex", 0) == 0))
    return fail("'" + op + "' cannot be co-issued");

  if (op == "def") {
    if (!modifiers.empty()) return fail("bad instruction '" + word + "'");
    if (mInstructionSeen) return fail("def must come before the instructions");
    return definition(args);
  }
  mInstructionSeen = true;
  if (op == "nop") {
    if (!args.empty() || !modifiers.empty()) return fail("nop takes no operands");
    return true;
  }
  if (op == "phase") {
    if (!isPs14()) return fail(isPixel() ? "phase needs ps.1.4" : "unknown instruction 'phase'");
    if (!args.empty() || !modifiers.empty()) return fail("phase takes no operands");
    if (mPhase == 2 && mHasPhase) return fail("phase given twice");
    mPhase = 2;
    // The alpha of the temporary registers does not survive the phase.
    for (int i = 0; i < mLimits.temps; ++i) mBody += "  r" + std::to_string(i) + ".w = 0.0;\n";
    mArithmeticSeen = false;
    mTexCount = 0;
    mArithCount = 0;
    return true;
  }
  if (isPixel() && (op == "tex" || op == "texcoord" || op == "texkill" || op == "texld" || op == "texcrd")) {
    if (!modifiers.empty()) return fail("bad instruction '" + word + "'");
    const bool v14 = op == "texld" || op == "texcrd";
    if ((op == "tex" || op == "texcoord") && isPs14())
      return fail("instruction '" + op + "' is not in ps.1.4 (use texld or texcrd)");
    if (v14 && !isPs14()) return fail("instruction '" + op + "' needs ps.1.4");
    return pixelTexture(op, args);
  }
  if (isPixel()) {
    mArithmeticSeen = true;
    if (!coissue && ++mArithCount > 8) return fail("too many arithmetic instructions");
  }
  if (!arithmetic(op, modifiers, args)) return false;
  // A pair is two instructions at most.
  mLastWasCoissuable = isPixel() && !coissue;
  if (!isPixel() && mSlots > 128) return fail("too many instructions");
  return true;
}

bool Translator::run(const std::string& text, TranslatedShader& out, std::string& error) {
  std::vector<SourceLine> lines;
  if (!splitLines(text, lines, mError)) {
    error = mError;
    return false;
  }
  if (lines.empty()) {
    mLine = 1;
    fail(std::string("expected ") +
         (isPixel() ? "a pixel shader version (ps.1.1 to ps.1.4)" : "a vertex shader version (vs.1.1)") +
         ", found nothing");
    error = mError;
    return false;
  }
  mLine = lines[0].number;
  if (!parseVersion(lines[0].text)) {
    error = mError;
    return false;
  }
  if (isPs14()) {
    for (size_t i = 1; i < lines.size(); ++i)
      if (lower(lines[i].text) == "phase") mHasPhase = true;
    mPhase = mHasPhase ? 1 : 2;
  }
  // Co-issued pairs: the first half's writes wait in mPending until the
  // second half has computed its result from the old values.
  for (size_t i = 1; i < lines.size(); ++i) {
    mLine = lines[i].number;
    const bool nextIsCoissue = i + 1 < lines.size() && lines[i + 1].text[0] == '+';
    const std::string& t = lines[i].text;
    if (t[0] != '+') {
      mBody += mPending;
      mPending.clear();
    }
    if (!instruction(t)) {
      error = mError;
      return false;
    }
    if (!nextIsCoissue) {
      mBody += mPending;
      mPending.clear();
    }
  }
  mBody += mPending;
  mPending.clear();

  std::string g = "#version 330 core\n";
  std::string prologue;
  if (isPixel()) {
    if (!mTempWritten[0]) {
      mLine = lines.back().number;
      error = lineError(mLine, "r0 is never written");
      return false;
    }
    for (int i = 0; i < 2; ++i)
      if (mColorUsed[i]) g += "in vec4 vColor" + std::to_string(i) + ";\n";
    for (int i = 0; i < 8; ++i)
      if (mTexCoordUsed[i]) g += "in vec4 vT" + std::to_string(i) + ";\n";
    g += "uniform vec4 uPSConst[" + std::to_string(kPixelConstantCount) + "];\n";
    for (int i = 0; i < kMaxSamplers; ++i)
      if (mSamplerMask & (1u << i)) g += "uniform sampler2D uSampler" + std::to_string(i) + ";\n";
    g += "out vec4 fragColor;\n";
    g += kAlphaTestGlsl;
    for (int i = 0; i < 2; ++i)
      if (mColorUsed[i])
        prologue += "  vec4 v" + std::to_string(i) + " = clamp(vColor" + std::to_string(i) + ", 0.0, 1.0);\n";
    if (!isPs14())
      for (int i = 0; i < mLimits.textures; ++i) prologue += "  vec4 t" + std::to_string(i) + " = vec4(0.0);\n";
  } else {
    if (!mOutputWritten[0]) {
      mLine = lines.back().number;
      error = lineError(mLine, "oPos is never written");
      return false;
    }
    static const char* kAttribute[] = {"", "aPosition", "aNormal", "aDiffuse", "aTexCoord"};
    static const int kLocation[] = {-1, 0, -1, 1, 2};
    bool declared[5] = {};
    for (int i = 0; i < kMaxVertexInputs; ++i) {
      if (!mInputUsed[i]) continue;
      const int kind = int(mInputs->reg[i]);
      if (kLocation[kind] >= 0 && !declared[kind]) {
        declared[kind] = true;
        g += "layout(location = " + std::to_string(kLocation[kind]) + ") in vec4 " + kAttribute[kind] + ";\n";
      }
      // The device feeds no normals: such an input reads as (0, 0, 0, 1).
      prologue += "  vec4 v" + std::to_string(i) + " = " +
                  (kLocation[kind] >= 0 ? std::string(kAttribute[kind]) : std::string("vec4(0.0, 0.0, 0.0, 1.0)")) +
                  ";\n";
    }
    g += "uniform vec4 uVSConst[" + std::to_string(kVertexConstantCount) + "];\n";
    g += "uniform vec2 uTargetSize;\nuniform float uTargetYScale;\n";
    g += "out vec4 vColor0;\nout vec4 vColor1;\n";
    for (int i = 0; i < 8; ++i) g += "out vec4 vT" + std::to_string(i) + ";\n";
    prologue += "  vec4 oPos = vec4(0.0, 0.0, 0.0, 1.0);\n  vec4 oD0 = vec4(1.0);\n  vec4 oD1 = vec4(0.0);\n";
    for (int i = 0; i < 8; ++i) prologue += "  vec4 oT" + std::to_string(i) + " = vec4(0.0, 0.0, 0.0, 1.0);\n";
  }
  const int constants = isPixel() ? kPixelConstantCount : kVertexConstantCount;
  for (int i = 0; i < constants; ++i) {
    if (!mConstUsed[i]) continue;
    const std::string n = std::to_string(i);
    // Pixel shader constants hold -1 .. 1, whoever set them.
    auto value = [&](int k) { return glslFloat(isPixel() ? std::clamp(mDefs[i][k], -1.f, 1.f) : mDefs[i][k]); };
    if (mDefined[i])
      prologue +=
          "  const vec4 c" + n + " = vec4(" + value(0) + ", " + value(1) + ", " + value(2) + ", " + value(3) + ");\n";
    else if (isPixel())
      prologue += "  vec4 c" + n + " = clamp(uPSConst[" + n + "], -1.0, 1.0);\n";
    else
      prologue += "  vec4 c" + n + " = uVSConst[" + n + "];\n";
  }
  for (int i = 0; i < mLimits.temps; ++i) prologue += "  vec4 r" + std::to_string(i) + " = vec4(0.0);\n";

  g += "void main() {\n" + prologue + mBody;
  if (isPixel()) {
    g += "  fragColor = clamp(r0, 0.0, 1.0);\n"
         "  if (!alphaTestPasses(fragColor.a)) discard;\n";
  } else {
    // Direct3D clip space (half-pixel offset, y up, z 0..1) into the target's
    // (uTargetYScale -1: the window, whose rows run bottom first).
    g += "  gl_Position = vec4(oPos.x + oPos.w / uTargetSize.x, uTargetYScale * (oPos.w / uTargetSize.y - oPos.y),\n"
         "                     2.0 * oPos.z - oPos.w, oPos.w);\n"
         "  vColor0 = clamp(oD0, 0.0, 1.0);\n  vColor1 = clamp(oD1, 0.0, 1.0);\n";
    for (int i = 0; i < 8; ++i) g += "  vT" + std::to_string(i) + " = oT" + std::to_string(i) + ";\n";
  }
  g += "}\n";

  out.stage = mStage;
  out.versionMajor = 1;
  out.versionMinor = mMinor;
  out.glsl = g;
  out.samplerMask = mSamplerMask;
  return true;
}

}  // namespace

bool translatePixelShader(const std::string& text, TranslatedShader& out, std::string& error) {
  Translator t(ShaderStage::Pixel, nullptr);
  return t.run(text, out, error);
}

bool translateVertexShader(const std::string& text, const VertexInputs& inputs, TranslatedShader& out,
                           std::string& error) {
  Translator t(ShaderStage::Vertex, &inputs);
  return t.run(text, out, error);
}

const char* fixedVertexStageGlsl() {
  return R"(#version 330 core
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec4 aDiffuse;
layout(location = 2) in vec2 aTexCoord;
uniform mat4 uTransform;
out vec4 vColor0;
out vec4 vColor1;
out vec4 vT0;
out vec4 vT1;
out vec4 vT2;
out vec4 vT3;
out vec4 vT4;
out vec4 vT5;
out vec4 vT6;
out vec4 vT7;
void main() {
  gl_Position = uTransform * vec4(aPosition, 1.0);
  vColor0 = aDiffuse;
  vColor1 = vec4(0.0);
  vec4 t = vec4(aTexCoord, 0.0, 1.0);
  vT0 = t; vT1 = t; vT2 = t; vT3 = t; vT4 = t; vT5 = t; vT6 = t; vT7 = t;
}
)";
}

const char* fixedPixelStageGlsl() {
  static const std::string glsl = std::string(R"(#version 330 core
in vec4 vColor0;
in vec4 vT0;
uniform sampler2D uSampler0;
out vec4 fragColor;
)") + kAlphaTestGlsl + R"(void main() {
  fragColor = texture(uSampler0, vT0.xy) * vColor0;
  if (!alphaTestPasses(fragColor.a)) discard;
}
)";
  return glsl.c_str();
}

}  // namespace Platform
}  // namespace KR
