// Value curves: interpolation between keys in any order, the means of several
// lines, the default flat lines, and what a load from a damaged file leaves.
#include "timed_value_interval.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "particle_test_support.h"
#include "support/test_support.h"
#include "xml_iarchive.h"

namespace {

using KR::Color;
using KR::TimedValueInterval;
using KR::Test::floatCurve;

TEST(TimedValueInterval, InterpolatesBetweenKeysWhateverTheirOrder) {
  auto ordered = floatCurve({{0, 10.0f}, {100, 20.0f}});
  EXPECT_FLOAT_EQ(10.0f, ordered.getValue(0, 0));
  EXPECT_FLOAT_EQ(12.5f, ordered.getValue(0, 25));
  EXPECT_FLOAT_EQ(20.0f, ordered.getValue(0, 100));
  EXPECT_FLOAT_EQ(20.0f, ordered.getValue(0, 150));
  EXPECT_FLOAT_EQ(10.0f, ordered.getValue(0, -5));
  auto reversed = floatCurve({{100, 20.0f}, {0, 10.0f}});
  EXPECT_FLOAT_EQ(12.5f, reversed.getValue(0, 25));
  auto middle = floatCurve({{100, 0.0f}, {0, 0.0f}, {50, 8.0f}});
  EXPECT_FLOAT_EQ(4.0f, middle.getValue(0, 75));

  // Two keys at one time: from there on the later one, before it towards the first.
  auto twins = floatCurve({{0, 0.0f}, {50, 10.0f}, {50, 30.0f}});
  EXPECT_FLOAT_EQ(30.0f, twins.getValue(0, 50));
  EXPECT_FLOAT_EQ(30.0f, twins.getValue(0, 80));
  EXPECT_FLOAT_EQ(5.0f, twins.getValue(0, 25));

  // Keys from a file the whole int range apart: no difference overflows.
  auto wide = floatCurve({{-2147483647 - 1, 1.0f}, {2147483647, 2.0f}});
  EXPECT_NEAR(1.5f, wide.getValue(0, 0), 1e-6);
  EXPECT_NEAR(1.0f + 147483648.0 / 4294967295.0, wide.getValue(0, -2000000000), 1e-6);
  EXPECT_NEAR(1.5f, wide.getAverageValue(0), 1e-6);

  // One key holds everywhere; no key gives 0.
  auto single = floatCurve({{40, 7.0f}});
  EXPECT_FLOAT_EQ(7.0f, single.getValue(0, 0));
  EXPECT_FLOAT_EQ(7.0f, single.getValue(0, 99));
  TimedValueInterval<float> empty;
  empty.mValues.emplace_back();
  EXPECT_FLOAT_EQ(0.0f, empty.getValue(0, 50));

  TimedValueInterval<Color> colors;
  colors.addValue(0, 0, Color::fromARGB(0xFF000000));
  colors.addValue(0, 100, Color::fromARGB(0x00FF00FF));
  EXPECT_EQ(0xFF000000u, colors.getValue(0, 0).value);
  EXPECT_EQ(0x00FF00FFu, colors.getValue(0, 100).value);
  // Half way each channel takes half of each end (x * 127 / 255, rounded down).
  EXPECT_EQ(0x7F7F007Fu, colors.getValue(0, 50).value);
}

TEST(TimedValueInterval, DefaultLinesAndTheirMeans) {
  auto one = TimedValueInterval<float>::makeDefault(1, 0.0f, 100.0f);
  ASSERT_EQ(1u, one.mValues.size());
  ASSERT_EQ(2u, one.mValues[0].size());
  EXPECT_EQ(0, one.mValues[0][0]->time);
  EXPECT_EQ(100, one.mValues[0][1]->time);
  EXPECT_FLOAT_EQ(50.0f, one.getValue(0, 30));
  EXPECT_FLOAT_EQ(2.5f, TimedValueInterval<float>::makeDefault(1, 0.0f, 5.0f).getAverageValue(10));

  auto two = TimedValueInterval<float>::makeDefault(2, 0.0f, 100.0f);
  EXPECT_FLOAT_EQ(50.0f, two.getValue(0, 0));
  EXPECT_FLOAT_EQ(0.0f, two.getValue(1, 0));
  EXPECT_FLOAT_EQ(25.0f, two.getAverageValue(60));

  auto three = TimedValueInterval<float>::makeDefault(3, 0.0f, 90.0f);
  three.mSingleLine = true;
  EXPECT_EQ(1, three.getValueCount());
  EXPECT_FLOAT_EQ(three.getValue(0, 10), three.getAverageValue(10));

  auto color = TimedValueInterval<Color>::makeDefault(1, Color::fromARGB(0), Color::fromARGB(0xFFFFFFFF));
  EXPECT_EQ(0x7F7F7F7Fu, color.getValue(0, 0).value);
  // Colours are averaged channel by channel.
  TimedValueInterval<Color> pair;
  pair.mLinesCount = 2;
  pair.addValue(0, 0, Color::fromARGB(0x10203040));
  pair.addValue(1, 0, Color::fromARGB(0x30405061));
  EXPECT_EQ(0x20304050u, pair.getAverageValue(0).value);

  // A copy owns its keys.
  auto copy = two;
  two.clear();
  EXPECT_FLOAT_EQ(25.0f, copy.getAverageValue(0));
}

TEST(TimedValueInterval, LoadTrustsTheLinesItReadsAndOnlyFiniteValues) {
  KR::Test::LogCapture log;
  KR::ObjectFactory factory;
  auto curve = floatCurve({{0, 1.0f}, {100, 2.0f}});
  // The file says five lines but holds two; a key value is not a number.
  const std::string xml =
      "<root><c><mValues sz=\"2\"><e0 sz=\"1\"><e0><time v=\"0\"/><value v=\"nan\"/></e0></e0>"
      "<e1 sz=\"1\"><e0><time v=\"0\"/><value v=\"4\"/></e0></e1></mValues>"
      "<mLinesCount v=\"5\"/></c></root>";
  KR::XmlIArchive archive;
  ASSERT_TRUE(archive.loadFromBuffer(xml.data(), xml.size()));
  archive.load(KR::makeNvp("c", curve));
  EXPECT_EQ(2, curve.mLinesCount);
  EXPECT_FLOAT_EQ(0.0f, curve.getValue(0, 50));  // the old keys are gone, NaN read as 0
  EXPECT_FLOAT_EQ(2.0f, curve.getAverageValue(50));
  EXPECT_FALSE(std::isnan(curve.getAverageValue(0)));

  // No lines at all: the mean is 0, and asking for a line is fatal.
  TimedValueInterval<float> none;
  none.mLinesCount = 0;
  EXPECT_FLOAT_EQ(0.0f, none.getAverageValue(10));
  EXPECT_DEATH(curve.getValue(2, 0), "timed_value_interval");
  EXPECT_DEATH(curve.getValue(-1, 0), "timed_value_interval");
}

}  // namespace
