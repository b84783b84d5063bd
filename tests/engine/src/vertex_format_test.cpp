// The process-wide vertex layout for the two masks the program runs with.
#include "vertex_format.h"

#include <gtest/gtest.h>

namespace KR {
namespace {

TEST(VertexFormatTest, EngineAndGameMasks) {
  EXPECT_EQ(24u, computeVertexLayout(kVertexFormatEngine));
  EXPECT_EQ(0x142u, vertexFormatToFVF(kVertexFormatEngine));
  EXPECT_EQ(0u, getVertexComponentOffset(VC_POSITION));
  EXPECT_EQ(12u, getVertexComponentOffset(VC_DIFFUSE));
  EXPECT_EQ(16u, getVertexComponentOffset(VC_TEXCOORD0));

  EXPECT_EQ(36u, computeVertexLayout(kVertexFormatGame));
  EXPECT_EQ(0x152u, vertexFormatToFVF(kVertexFormatGame));
  EXPECT_EQ(12u, getVertexComponentOffset(VC_NORMAL));
  EXPECT_EQ(24u, getVertexComponentOffset(VC_DIFFUSE));
  EXPECT_EQ(28u, getVertexComponentOffset(VC_TEXCOORD0));
  EXPECT_EQ(36u, gVertexStride);
}

TEST(VertexFormatTest, OffsetsOfAbsentComponentsAndTheCache) {
  // Components outside the mask still get the running offset.
  computeVertexLayout(kVertexFormatEngine);
  EXPECT_EQ(12u, getVertexComponentOffset(VC_NORMAL));
  EXPECT_EQ(16u, getVertexComponentOffset(VC_SECOND));
  EXPECT_EQ(24u, getVertexComponentOffset(32));
  // The same mask again keeps the layout, even when an offset was changed.
  setVertexComponentOffset(VC_DIFFUSE, 99);
  EXPECT_EQ(24u, computeVertexLayout(kVertexFormatEngine));
  EXPECT_EQ(99u, getVertexComponentOffset(VC_DIFFUSE));
  computeVertexLayout(kVertexFormatGame);
  computeVertexLayout(kVertexFormatEngine);
  EXPECT_EQ(12u, getVertexComponentOffset(VC_DIFFUSE));
  // Flag 8 takes room but has no FVF bit.
  EXPECT_EQ(28u, computeVertexLayout(kVertexFormatEngine | VC_SECOND));
  EXPECT_EQ(0x142u, vertexFormatToFVF(kVertexFormatEngine | VC_SECOND));
}

}  // namespace
}  // namespace KR
