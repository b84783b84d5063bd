#include "xml_iarchive.h"

#include <gtest/gtest.h>

#include "data_test_content.h"
#include "object_factory.h"

namespace {

// A small family of serialised classes in the shape of an effect: a by-value
// curve point, a polymorphic emitter family held by pointer, nested vectors.
struct Point {
  float time = 0;
  KR::Color color;
  void serializeXmlIn(KR::XmlIArchive& ar) {
    ar.load(KR::makeNvp("mTime", time));
    ar.load(KR::makeNvp("mColor", color));
  }
  void serializeXmlOut(KR::XmlOArchive& ar) {
    ar.save(KR::makeNvp("mTime", time));
    ar.save(KR::makeNvp("mColor", color));
  }
};

class Emitter {
 public:
  virtual ~Emitter() = default;
  virtual int kind() const { return 0; }
  virtual void serializeXmlIn(KR::XmlIArchive& ar) { ar.load(KR::makeNvp("mRate", rate)); }
  virtual void serializeXmlOut(KR::XmlOArchive& ar) { ar.save(KR::makeNvp("mRate", rate)); }
  int rate = 0;
};

class BoxEmitter : public Emitter {
 public:
  int kind() const override { return 1; }
  void serializeXmlIn(KR::XmlIArchive& ar) override {
    Emitter::serializeXmlIn(ar);
    ar.load(KR::makeNvp("mBox", box));
  }
  void serializeXmlOut(KR::XmlOArchive& ar) override {
    Emitter::serializeXmlOut(ar);
    ar.save(KR::makeNvp("mBox", box));
  }
  KR::Rect box;
};

// Not an emitter: registered, but of the wrong kind for an emitter member.
struct Sound {
  virtual ~Sound() = default;
  void serializeXmlIn(KR::XmlIArchive&) {}
  void serializeXmlOut(KR::XmlOArchive&) {}
};

struct Effect {
  int count = 0;
  float scale = 0;
  bool looped = false;
  std::string name;
  KR::Vector2<float> position;
  KR::Rect bounds;
  Point origin;
  Emitter* main = nullptr;
  std::vector<Emitter*> emitters;
  std::vector<Point> curve;
  std::vector<std::vector<int>> grid;

  ~Effect() {
    delete main;
    for (Emitter* e : emitters) delete e;
  }
  void serializeXmlIn(KR::XmlIArchive& ar) {
    ar >> KR::makeNvp("mCount", count) >> KR::makeNvp("mScale", scale) >> KR::makeNvp("mLooped", looped) >>
        KR::makeNvp("mName", name) >> KR::makeNvp("mPosition", position) >> KR::makeNvp("mBounds", bounds) >>
        KR::makeNvp("mOrigin", origin) >> KR::makeNvp("mMain", main) >> KR::makeNvp("mEmitters", emitters) >>
        KR::makeNvp("mCurve", curve) >> KR::makeNvp("mGrid", grid);
  }
  void serializeXmlOut(KR::XmlOArchive& ar) {
    ar << KR::makeNvp("mCount", count) << KR::makeNvp("mScale", scale) << KR::makeNvp("mLooped", looped)
       << KR::makeNvp("mName", name) << KR::makeNvp("mPosition", position) << KR::makeNvp("mBounds", bounds)
       << KR::makeNvp("mOrigin", origin) << KR::makeNvp("mMain", main) << KR::makeNvp("mEmitters", emitters)
       << KR::makeNvp("mCurve", curve) << KR::makeNvp("mGrid", grid);
  }
};

class XmlArchiveTest : public ::testing::Test {
 protected:
  XmlArchiveTest() : content("xml-archive") {
    factory.registerCreator("BoxEmitter", new KR::ObjectCreator<BoxEmitter>());
    factory.registerCreator("Emitter", new KR::ObjectCreator<Emitter>());
    factory.registerCreator("Sound", new KR::ObjectCreator<Sound>());
  }
  void load(const std::string& xml, Effect& effect) {
    KR::XmlIArchive archive;
    ASSERT_TRUE(archive.loadFromBuffer(xml.data(), xml.size()));
    effect.serializeXmlIn(archive);
  }
  KR::Test::ScratchContent content;
  KR::ObjectFactory factory;
};

}  // namespace

TEST_F(XmlArchiveTest, FactoryFindsNamesAndMakesObjectsOfTheRightKind) {
  EXPECT_EQ(KR::ObjectFactory::getInstance(), &factory);
  EXPECT_EQ(factory.findClassName(KR::objectTypeName(typeid(BoxEmitter))), "BoxEmitter");
  EXPECT_EQ(factory.findClassName(KR::objectTypeName(typeid(Effect))), "");
  EXPECT_EQ(factory.findCreator("Nothing"), nullptr);
  EXPECT_FALSE(factory.registerCreator("Sound", new KR::ObjectCreator<Sound>()));  // first one stays

  Emitter* box = factory.createAs<Emitter>("BoxEmitter");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->kind(), 1);
  box->rate = 9;
  Emitter* copy = static_cast<Emitter*>(
      static_cast<BoxEmitter*>(factory.findCreator("BoxEmitter")->createCopy(static_cast<BoxEmitter*>(box))));
  EXPECT_EQ(copy->rate, 9);
  delete copy;
  delete box;
  EXPECT_EQ(factory.createAs<Emitter>("Sound"), nullptr);
  EXPECT_EQ(factory.createAs<Emitter>("Nothing"), nullptr);
}

TEST_F(XmlArchiveTest, RoundTripThroughAFile) {
  Effect out;
  out.count = -42;
  out.scale = 0.1234567f;
  out.looped = true;
  out.name = "fire & smoke";
  out.position = KR::Vector2<float>(1.5f, -2.25f);
  out.bounds = KR::Rect(1, 2, 3, 4);
  out.origin.time = 0.5f;
  out.origin.color = KR::Color::fromChannels(255, 0, 0, 0);
  auto* box = new BoxEmitter;
  box->rate = 7;
  box->box = KR::Rect(-1, -2, 10, 20);
  out.main = box;
  out.emitters = {new Emitter, nullptr, new BoxEmitter};
  out.emitters[0]->rate = 3;
  out.curve.resize(2);
  out.curve[1].time = 1.0f;
  out.curve[1].color = KR::Color::fromARGB(0x80102030);
  out.grid = {{1, 2}, {}, {3}};

  KR::XmlOArchive writer;
  writer.save(KR::makeNvp("effect", out));
  std::string text = writer.saveToString();
  EXPECT_NE(text.find("class_name=\"BoxEmitter\""), std::string::npos);
  // Objects held by value carry the name of an unregistered class: empty.
  EXPECT_NE(text.find("<mOrigin class_name=\"\">"), std::string::npos);
  EXPECT_NE(text.find("v=\"0.123457\""), std::string::npos);  // six decimals
  EXPECT_NE(text.find("v=\"true\""), std::string::npos);

  content.addEntry("fx", "effect", text);
  content.start();
  Effect in;
  {
    KR::XmlIArchive archive("fx", "effect");
    EXPECT_TRUE(archive.isOpened());
    archive.load(KR::makeNvp("effect", in));
  }
  EXPECT_EQ(in.count, -42);
  EXPECT_FLOAT_EQ(in.scale, 0.123457f);
  EXPECT_TRUE(in.looped);
  EXPECT_EQ(in.name, "fire & smoke");
  EXPECT_EQ(in.position, out.position);
  EXPECT_EQ(in.bounds, out.bounds);
  EXPECT_EQ(in.origin.color.value, 0x00FF0000u);
  ASSERT_NE(in.main, nullptr);
  EXPECT_EQ(in.main->kind(), 1);
  EXPECT_EQ(in.main->rate, 7);
  EXPECT_EQ(static_cast<BoxEmitter*>(in.main)->box, box->box);
  ASSERT_EQ(in.emitters.size(), 2u);  // the null item was not stored
  EXPECT_EQ(in.emitters[0]->kind(), 0);
  EXPECT_EQ(in.emitters[0]->rate, 3);
  EXPECT_EQ(in.emitters[1]->kind(), 1);
  ASSERT_EQ(in.curve.size(), 2u);
  EXPECT_EQ(in.curve[1].color.value, 0x80102030u);
  EXPECT_EQ(in.grid, out.grid);
}

TEST_F(XmlArchiveTest, MissingMembersReadAsFallBacks) {
  Effect effect;
  effect.count = 5;
  effect.position = KR::Vector2<float>(3.0f, 4.0f);
  load(
      "<root><mCount/><mOrigin><mColor r=\"255\" g=\"0\" b=\"0\"/></mOrigin>"
      "<mCurve sz=\"3\"><e0><mTime v=\"2\"/></e0></mCurve>"
      "<mEmitters sz=\"2\"><e1 class_name=\"BoxEmitter\"><mRate v=\"4\"/></e1></mEmitters></root>",
      effect);
  EXPECT_EQ(effect.count, 0);
  EXPECT_EQ(effect.name, "");
  // An absent vector keeps what it held (a default direction, say).
  EXPECT_EQ(effect.position, KR::Vector2<float>(3.0f, 4.0f));
  EXPECT_EQ(effect.origin.color.value, 0x00FF0000u);  // red, alpha 0
  ASSERT_EQ(effect.curve.size(), 3u);                 // items past e0 are missing elements
  EXPECT_EQ(effect.curve[0].time, 2.0f);
  EXPECT_EQ(effect.curve[2].time, 0.0f);
  // A pointer without class_name is an object of the declared class.
  ASSERT_NE(effect.main, nullptr);
  EXPECT_EQ(effect.main->kind(), 0);
  ASSERT_EQ(effect.emitters.size(), 2u);
  EXPECT_EQ(effect.emitters[0]->kind(), 0);
  EXPECT_EQ(effect.emitters[1]->rate, 4);
}

TEST_F(XmlArchiveTest, IntegersBeyond32BitsStopAtTheLimit) {
  Effect big;
  load("<root><mCount v=\"4294967295\"/></root>", big);
  EXPECT_EQ(big.count, 2147483647);
  Effect small;
  load("<root><mCount v=\"-9999999999\"/></root>", small);
  EXPECT_EQ(small.count, -2147483647 - 1);
}

TEST_F(XmlArchiveTest, UnknownAndWrongClassesAreSkippedWithAWarning) {
  Effect effect;
  load(
      "<root><mMain class_name=\"Sound\"/>"
      "<mEmitters sz=\"3\"><e0 class_name=\"Plasma\"/><e1 class_name=\"BoxEmitter\"/><e2 class_name=\"Sound\"/>"
      "</mEmitters></root>",
      effect);
  EXPECT_EQ(effect.main, nullptr);
  ASSERT_EQ(effect.emitters.size(), 1u);
  EXPECT_EQ(effect.emitters[0]->kind(), 1);
  EXPECT_TRUE(content.log.contains("WARNING: XmlIArchive: unknown class_name 'Plasma'"));
  EXPECT_TRUE(content.log.contains("WARNING: XmlIArchive: class_name 'Sound' of member 'mMain' is not a"));
}

TEST_F(XmlArchiveTest, NegativeAndAbsurdCountsAreRefused) {
  Effect effect;
  load(
      "<root><mCurve sz=\"-5\"/><mGrid sz=\"4000000000\"><e0 sz=\"2\"/></mGrid>"
      "<mEmitters sz=\"99999\"/></root>",
      effect);
  EXPECT_TRUE(effect.curve.empty());
  EXPECT_TRUE(effect.grid.empty());
  EXPECT_EQ(effect.emitters.size(), 99999u);  // plausible: kept
  for (Emitter* e : effect.emitters) EXPECT_EQ(e->kind(), 0);
  EXPECT_TRUE(content.log.contains("WARNING: XmlIArchive: vector 'mCurve' has a negative size"));
  EXPECT_TRUE(content.log.contains("WARNING: XmlIArchive: vector 'mGrid' has an implausible size"));

  // Nested counts that each look plausible cannot multiply past the archive's budget.
  std::vector<std::vector<int>> grid;
  KR::XmlIArchive archive;
  std::string nested = "<root><g sz=\"100000\">";
  for (int i = 0; i < 20; ++i) nested += "<e" + std::to_string(i) + " sz=\"100000\"/>";
  nested += "</g></root>";
  ASSERT_TRUE(archive.loadFromBuffer(nested.data(), nested.size()));
  archive.load(KR::makeNvp("g", grid));
  size_t total = grid.size();
  for (const auto& row : grid) total += row.size();
  EXPECT_LE(total, static_cast<size_t>(KR::XmlIArchive::kMaxTotalItems));
}

TEST_F(XmlArchiveTest, ItemsAreFoundByNameInAnyOrderTheFirstOfTwoWinning) {
  Effect effect;
  load(
      "<root><mCurve sz=\"3\"><e2><mTime v=\"2\"/></e2><e1><mTime v=\"1\"/></e1><e01><mTime v=\"9\"/></e01>"
      "<e1><mTime v=\"7\"/></e1><e0><mTime v=\"0\"/><mColor r=\"255\"/></e0></mCurve>"
      "<mGrid sz=\"2\"><e1 sz=\"1\"><e0 v=\"5\"/></e1><e0 sz=\"2\"><e1 v=\"4\"/><e0 v=\"3\"/></e0></mGrid></root>",
      effect);
  ASSERT_EQ(effect.curve.size(), 3u);
  EXPECT_EQ(effect.curve[0].time, 0.0f);
  EXPECT_EQ(effect.curve[0].color.red(), 255);
  EXPECT_EQ(effect.curve[1].time, 1.0f);
  EXPECT_EQ(effect.curve[2].time, 2.0f);
  EXPECT_EQ(effect.grid, (std::vector<std::vector<int>>{{3, 4}, {5}}));

  // Twelve items written backwards, behind names that only look like items.
  std::vector<std::vector<int>> row;
  std::string xml = "<root><g sz=\"1\"><e0 sz=\"12\"><e0: v=\"99\"/><e1a v=\"99\"/>";
  for (int i = 11; i >= 0; --i) xml += "<e" + std::to_string(i) + " v=\"" + std::to_string(i) + "\"/>";
  xml += "</e0></g></root>";
  KR::XmlIArchive archive;
  ASSERT_TRUE(archive.loadFromBuffer(xml.data(), xml.size()));
  archive.load(KR::makeNvp("g", row));
  ASSERT_EQ(row.size(), 1u);
  EXPECT_EQ(row[0], (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
}

TEST_F(XmlArchiveTest, EmptyDocumentsAndBrokenBuffers) {
  KR::XmlIArchive archive;
  EXPECT_TRUE(archive.loadFromBuffer("<!-- only a comment -->", 23));
  int value = 3;
  archive.load(KR::makeNvp("mCount", value));
  EXPECT_EQ(value, 0);
  EXPECT_FALSE(archive.loadFromBuffer("<root><a></root>", 16));
  EXPECT_FALSE(archive.isOpened());
}

TEST_F(XmlArchiveTest, MissingOrMalformedFilesAreFatal) {
  content.addEntry("fx", "broken", "<root><mCount v=\"1\"></root>");
  content.addEntry("fx", "empty", "");
  content.start();
  {
    KR::XmlIArchive empty("fx", "empty");  // no element at all: an object of fall-backs
    EXPECT_TRUE(empty.isOpened());
  }
  EXPECT_EXIT(KR::XmlIArchive("fx", "absent"), ::testing::ExitedWithCode(255),
              "Failed to open file to load xml_iarchive: absent");
  EXPECT_EXIT(KR::XmlIArchive("fx", "broken"), ::testing::ExitedWithCode(255), "Failed to parse xml");
}
