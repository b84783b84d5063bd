// Data readers: parsing and reading XML data files, loading an archive, and
// running and walking a Lua description.
#include <benchmark/benchmark.h>

#include <lua.hpp>
#include "bench_main.h"

#include <string>
#include <vector>

#include "engine_allocators.h"
#include "log_system.h"
#include "lua_script_2.h"
#include "object_factory.h"
#include "xml_data_reader.h"
#include "xml_iarchive.h"

namespace {

std::string viewsXml(int views) {
  std::string xml = "<?xml version=\"1.0\"?>\n<root><views>";
  for (int i = 0; i < views; ++i) {
    std::string n = std::to_string(i);
    xml += "<v" + n + "><id v=\"" + n + "\"/><name v=\"view_" + n + "\"/><zoom v=\"1.5\"/><visible v=\"yes\"/>" +
           "<pos v0=\"" + n + "\" v1=\"2\"/><area v0=\"1\" v1=\"2\" v2=\"3\" v3=\"4\"/>" +
           "<tint r=\"255\" g=\"128\" b=\"0\" a=\"255\"/></v" + n + ">";
  }
  return xml + "</views></root>";
}

void BM_XmlDataReaderParseAndRead(benchmark::State& state) {
  KR::EngineAllocators allocators;
  allocators.init();
  std::string xml = viewsXml(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    KR::XmlDataReader reader;
    reader.parse(xml.data(), xml.size());
    reader.enterChild("views");
    int32_t sum = 0;
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      int32_t id = 0;
      std::string name;
      float zoom = 0;
      bool visible = false;
      KR::Vector2<float> pos;
      KR::Rect area;
      KR::Color tint;
      reader.readInt("id", &id);
      reader.readString("name", &name);
      reader.readFloat("zoom", &zoom);
      reader.readBool("visible", &visible);
      reader.readVector2("pos", &pos);
      reader.readRect("area", &area);
      reader.readColor("tint", &tint);
      sum += id;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * xml.size()));
}
// 8,000 views fill most of the 2 MB arena: the list must read in linear time.
BENCHMARK(BM_XmlDataReaderParseAndRead)->Arg(10)->Arg(200)->Arg(8000);

struct Key {
  float time = 0;
  KR::Color color;
  KR::Vector2<float> size;
  void serializeXmlIn(KR::XmlIArchive& ar) {
    ar >> KR::makeNvp("mTime", time) >> KR::makeNvp("mColor", color) >> KR::makeNvp("mSize", size);
  }
  void serializeXmlOut(KR::XmlOArchive& ar) {
    ar << KR::makeNvp("mTime", time) << KR::makeNvp("mColor", color) << KR::makeNvp("mSize", size);
  }
};

struct Curve {
  std::vector<Key> keys;
  void serializeXmlIn(KR::XmlIArchive& ar) { ar >> KR::makeNvp("mKeys", keys); }
  void serializeXmlOut(KR::XmlOArchive& ar) { ar << KR::makeNvp("mKeys", keys); }
};

void BM_XmlArchiveLoad(benchmark::State& state) {
  KR::LogSystem log;
  // The archive looks classes up by name, as the game's loaders do.
  KR::ObjectFactory factory;
  Curve curve;
  curve.keys.resize(static_cast<size_t>(state.range(0)));
  KR::XmlOArchive writer;
  writer.save(KR::makeNvp("curve", curve));
  std::string xml = writer.saveToString();
  for (auto _ : state) {
    KR::XmlIArchive archive;
    archive.loadFromBuffer(xml.data(), xml.size());
    Curve in;
    archive.load(KR::makeNvp("curve", in));
    benchmark::DoNotOptimize(in.keys.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_XmlArchiveLoad)->Arg(16)->Arg(256)->Arg(20000);

void BM_LuaRunAndWalk(benchmark::State& state) {
  std::string source = "sprites = {\n";
  for (int i = 0; i < state.range(0); ++i) {
    source += "  { name = 'sprite" + std::to_string(i) + "', rect = {0, 0, 64, 64}, color = {255, 255, 255, 255}," +
              " pos = {" + std::to_string(i) + ", 5} },\n";
  }
  source += "}\n";
  for (auto _ : state) {
    KR::LuaScript script;
    script.runBuffer(source.data(), source.size(), "sprites");
    script.openTable("sprites");
    lua_State* L = script.getState();
    float total = 0;
    for (KR::LuaTableIteration it = script.beginIteration(); it.hasEntry; it.hasEntry = lua_next(L, -2)) {
      script.openCurrentTable();
      std::string name;
      KR::Rect rect;
      KR::Color color;
      KR::Vector2<float> pos;
      script.getString("name", &name);
      script.getRect("rect", &rect);
      script.getColor("color", &color);
      KR::luaReadVector2(script, "pos", &pos);
      total += pos.x;
      script.closeTable();
      lua_pop(L, 1);
    }
    script.closeTable();
    benchmark::DoNotOptimize(total);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LuaRunAndWalk)->Arg(10)->Arg(200);

}  // namespace

KR_BENCHMARK_MAIN()
