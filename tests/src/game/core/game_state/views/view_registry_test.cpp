// Locations without the running game: the view descriptions and neighbours
// (reset values, trigger scale, 63-character cut, bad type, neighbour cap),
// the pools after a clear, the streamer's marking (depth, budget,
// doNotUnloadResources, queue overflow), the inventory's groups, multi-use
// items and refusals, and the scene-node state list's one record per key and
// its records applied to a fresh scene.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "animationeditor/scene_node.h"
#include "core/game_state/inventory_panel/inventory.h"
#include "core/game_state/inventory_panel/inventory_item_factory.h"
#include "core/game_state/triggers/area_trigger.h"
#include "core/game_state/triggers/item_trigger.h"
#include "core/game_state/triggers/scene_node_state_list.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_registry.h"
#include "core/game_state/views/view_streamer.h"
#include "engine/src/data_test_content.h"
#include "engine_allocators.h"
#include "support/test_support.h"
#include "xml_data_reader.h"

namespace {

std::string viewXml(const std::string& name, int id, const std::string& triggers, const std::string& extra = "") {
  return "<v" + std::to_string(id) + "><name v=\"" + name + "\"/><id v=\"" + std::to_string(id) + "\"/>" + extra +
         "<areaTriggers>" + triggers + "</areaTriggers></v" + std::to_string(id) + ">";
}

void parse(KR::XmlDataReader& reader, const std::string& text, const char* element) {
  ASSERT_EQ(reader.parse(text.data(), text.size()), pugi::status_ok);
  ASSERT_TRUE(reader.enterChild(element));
}

// XML reading draws on the engine's allocators.
class AllocatorsTest : public ::testing::Test {
 protected:
  AllocatorsTest() { allocators.init(); }
  KR::EngineAllocators allocators;
};

class LocationsTest : public AllocatorsTest {
 protected:
  void load(const std::string& views, float scale = 1.0f) {
    KR::XmlDataReader reader;
    parse(reader, "<root><views>" + views + "</views></root>", "views");
    registry.parseViews(reader, scale);
  }
  void neighbours(const std::string& list) {
    KR::XmlDataReader reader;
    parse(reader, "<root><views>" + list + "</views></root>", "views");
    registry.parseViewNeighbors(reader);
  }
  HOG::ViewRegistry registry;
};

TEST_F(LocationsTest, DescriptionsKeepResetValuesScaleSizesCutNamesAndSkipBadTypes) {
  KR::Test::LogCapture log;
  const std::string longName(70, 'n');
  load(viewXml("hall", 0,
               "<v0><type v=\"3\"/><triggerID v=\"7\"/><center v0=\"10\" v1=\"20\"/><size v0=\"100\" v1=\"50\"/>"
               "<itemTriggerItemName v=\"" +
                   longName +
                   "\"/></v0>"
                   "<v1><type v=\"6\"/><triggerID v=\"8\"/></v1>"
                   "<v2><type v=\"2\"/><triggerID v=\"9\"/></v2>") +
           viewXml(longName, 1, ""),
       1.5f);
  ASSERT_EQ(registry.getViews().size(), 2u);
  HOG::View* hall = registry.findViewByName("hall");
  ASSERT_EQ(hall->triggers.size(), 2u);
  auto* item = static_cast<HOG::ItemTrigger*>(hall->findTrigger(7));
  EXPECT_FLOAT_EQ(item->size.x, 150.0f);
  EXPECT_FLOAT_EQ(item->size.y, 75.0f);
  EXPECT_FLOAT_EQ(item->center.x, 10.0f);
  EXPECT_EQ(std::string(item->itemName), longName.substr(0, 63));
  EXPECT_EQ(item->relativeTrigger, -1);
  EXPECT_TRUE(item->enableAnimationNodes);
  EXPECT_TRUE(item->useByHints);
  EXPECT_EQ(static_cast<HOG::TransitionTrigger*>(hall->findTrigger(9))->relativeTrigger, -1);
  EXPECT_TRUE(log.contains("ERROR: Bad trigger ID specified: location: 0, id 8, type 6 "));
  // The view's own name is cut too: the full name no longer finds it.
  EXPECT_EQ(registry.findViewByName(longName.c_str()), nullptr);
  EXPECT_NE(registry.findViewByName(longName.substr(0, 63).c_str()), nullptr);
}

TEST_F(LocationsTest, NeighboursStopAtFifteenAndPoolsStartAgainAfterClear) {
  std::string views, list;
  for (int i = 0; i < 18; ++i) views += viewXml("v" + std::to_string(i), i, "");
  load(views);
  for (int i = 1; i < 18; ++i)
    list += "<v" + std::to_string(i - 1) + "><name v=\"v" + std::to_string(i) + "\"/></v" + std::to_string(i - 1) + ">";
  KR::Test::LogCapture log;
  neighbours("<v0><name v=\"v0\"/><neighbors>" + list + "<v17><name v=\"nowhere\"/></v17></neighbors></v0>");
  HOG::View* first = registry.findViewByName("v0");
  EXPECT_EQ(first->neighbourCount, 15u);
  EXPECT_EQ(first->neighbours[14], registry.findViewByName("v15"));
  int errors = 0;
  for (const std::string& line : log.lines())
    errors += line.find("ERROR: View neighbor count is too much!") != std::string::npos;
  EXPECT_EQ(errors, 2);

  EXPECT_EQ(registry.getFactory().getArenaUsed(), 18u * 12u);
  registry.clear();
  EXPECT_EQ(registry.getFactory().viewPool().getFreeCount(), 256);
  EXPECT_EQ(registry.getFactory().getArenaUsed(), 0u);
  load(viewXml("again", 0, ""));
  EXPECT_EQ(registry.getFactory().viewPool().indexOf(registry.getViews()[0]), 0);
  EXPECT_EQ(*registry.getViews()[0]->state.get(2), 0);
}

TEST_F(LocationsTest, StreamerMarksByDepthWithinItsBudgetAndDropsQueueOverflow) {
  // A chain a - b - c - d plus a close-up e of a, and a kept view k.
  load(viewXml("a", 0, "") + viewXml("b", 1, "") + viewXml("c", 2, "") + viewXml("d", 3, "") +
       viewXml("e", 4, "", "<type v=\"1\"/>") + viewXml("k", 5, "", "<doNotUnloadResources v=\"1\"/>"));
  neighbours(
      "<v0><name v=\"a\"/><neighbors><v0><name v=\"b\"/></v0><v1><name v=\"e\"/></v1></neighbors></v0>"
      "<v1><name v=\"b\"/><neighbors><v0><name v=\"c\"/></v0></neighbors></v1>"
      "<v2><name v=\"c\"/><neighbors><v0><name v=\"d\"/></v0></neighbors></v2>");
  HOG::ViewStreamer streamer(registry, nullptr, nullptr, nullptr);
  streamer.maxStreamingDepth = 1;
  streamer.markViews(registry.findViewByName("a"), 0);
  EXPECT_TRUE(registry.findViewByName("b")->keepLoaded);
  EXPECT_TRUE(registry.findViewByName("e")->keepLoaded);
  EXPECT_FALSE(registry.findViewByName("c")->keepLoaded);
  // The close-up is queued before the plain neighbour.
  ASSERT_EQ(streamer.queueCount, 3u);
  EXPECT_EQ(streamer.queue[1].view, registry.findViewByName("e"));
  EXPECT_EQ(streamer.queue[1].depth, 1u);
  EXPECT_EQ(streamer.queue[2].depth, 2u);

  for (HOG::View* view : registry.getViews()) view->keepLoaded = false;
  streamer.queueCount = 0;
  streamer.markedCount = 0;
  streamer.maxStreamingDepth = 16;
  streamer.maxLoadedViewCount = 2;
  streamer.markViews(registry.findViewByName("a"), 0);
  EXPECT_TRUE(registry.findViewByName("e")->keepLoaded);
  EXPECT_FALSE(registry.findViewByName("b")->keepLoaded);

  // Without an active view only the kept view is loaded, one per pass.
  KR::Test::LogCapture log;
  streamer.runPass();
  streamer.runPass();
  EXPECT_TRUE(registry.findViewByName("k")->loaded);
  EXPECT_FALSE(registry.findViewByName("a")->loaded);
  EXPECT_EQ(streamer.waitingCount, 0u);

  streamer.queueCount = 0;
  for (int i = 0; i < 256; ++i) streamer.putViewToLoadingQueue(reinterpret_cast<HOG::View*>(uintptr_t(64 + i * 8)), 0);
  EXPECT_EQ(streamer.queueCount, 255u);
  EXPECT_TRUE(log.contains("ERROR: HOG::ViewStreamer::putViewToLoadingQueue Loading queue overflow"));
}

TEST_F(LocationsTest, StreamerLimitsOutsideTheirRangeAreLoggedAndClampedAndARingOfNeighboursEnds) {
  load(viewXml("a", 0, "") + viewXml("b", 1, ""));
  neighbours(
      "<v0><name v=\"a\"/><neighbors><v0><name v=\"b\"/></v0></neighbors></v0>"
      "<v1><name v=\"b\"/><neighbors><v0><name v=\"a\"/></v0></neighbors></v1>");
  HOG::ViewStreamer streamer(registry, nullptr, nullptr, nullptr);
  KR::Test::LogCapture log;
  const struct {
    const char *count, *depth;
    uint32_t countUsed, depthUsed;
  } cases[] = {{"-1", "-1", 0, 0}, {"1000000", "4000000000", 256, 256}, {"7", "100000", 7, 256}};
  for (const auto& c : cases) {
    KR::XmlDataReader reader;
    parse(reader,
          std::string("<root><config><maxLoadedViewCount v=\"") + c.count + "\"/><maxStreamingDepth v=\"" + c.depth +
              "\"/></config></root>",
          "config");
    streamer.readConfig(reader);
    EXPECT_EQ(streamer.maxLoadedViewCount, c.countUsed) << c.count;
    EXPECT_EQ(streamer.maxStreamingDepth, c.depthUsed) << c.depth;
    // The ring a - b - a is marked within the limits and the marking ends.
    for (HOG::View* view : registry.getViews()) view->keepLoaded = false;
    streamer.queueCount = 0;
    streamer.markedCount = 0;
    streamer.markViews(registry.findViewByName("a"), 0);
    EXPECT_LE(streamer.markedCount, c.countUsed);
  }
  EXPECT_TRUE(
      log.contains("WARNING: view_streamer_config_xml: maxLoadedViewCount -1 lies outside 0 to 256; 0 is used"));
  EXPECT_TRUE(
      log.contains("WARNING: view_streamer_config_xml: maxStreamingDepth 100000 lies outside 0 to 256; 256 is used"));
}

using InventoryTest = AllocatorsTest;

TEST_F(InventoryTest, GroupsMultiUseItemsAndRefusals) {
  HOG::InventoryItemFactory factory;
  KR::XmlDataReader reader;
  parse(
      reader,
      "<root><items><v0><name v=\"gems\"/><isGroup v=\"1\"/><maxItemsInGroupNum v=\"3\"/></v0>"
      "<v1><name v=\"gem_red\"/><partOfGroup v=\"gems\"/></v1><v2><name v=\"gem_blue\"/><partOfGroup v=\"gems\"/></v2>"
      "<v3><name v=\"rope\"/><multiUseCounter v=\"3\"/></v3><v4><name v=\"lost\"/><partOfGroup v=\"nothing\"/></v4>"
      "</items></root>",
      "items");
  factory.parseItems(reader);
  HOG::Inventory inventory(factory);
  KR::Test::LogCapture log;
  EXPECT_EQ(inventory.addItem("gem_red", false), 0);
  EXPECT_EQ(inventory.addItem("gem_blue", false), 0);
  ASSERT_EQ(inventory.getItems().size(), 3u);
  EXPECT_STREQ(inventory.getItems()[0]->name, "gems");
  EXPECT_EQ(factory.find("gems")->groupItemCount, 2);
  EXPECT_EQ(inventory.addItem("gem_red", false), 1);
  EXPECT_TRUE(log.contains("Inventory::addItem(gem_red) ERROR: Item is already exists!"));
  EXPECT_EQ(inventory.addItem("lost", false), 1);
  EXPECT_TRUE(log.contains("Inventory::addItem(nothing) ERROR: Item group is not exists!"));
  EXPECT_EQ(inventory.addItem("ghost", false), 1);
  EXPECT_EQ(inventory.addItem("rope", false), 0);
  EXPECT_EQ(inventory.removeItem("rope"), 0);
  EXPECT_EQ(inventory.removeItem("rope"), 0);
  EXPECT_TRUE(inventory.isItemPresent("rope"));
  EXPECT_EQ(inventory.removeItem("rope"), 0);
  EXPECT_FALSE(factory.find("rope")->inInventory);
  // Removing the group takes its members first, then the group.
  EXPECT_EQ(inventory.removeItem("gems"), 0);
  EXPECT_TRUE(inventory.getItems().empty());
  EXPECT_EQ(factory.find("gems")->groupItemCount, 0);
  const int32_t free = factory.getFreeCount();
  factory.releaseAll();
  factory.parseItems(reader);
  EXPECT_EQ(factory.getFreeCount(), free);
}

// Text that is no list of items parses (as bare text) but is no item file: the author hears of it.
TEST(InventoryFileTest, AnItemsFileWithoutItsListIsLoggedByName) {
  KR::Test::ScratchContent content("inventory-garbage");
  content.addEntry("default", "inventory_items_xml", "\x93garbage, not items\x01");
  content.start();
  KR::Test::LogCapture log;
  HOG::InventoryItemFactory factory;
  factory.loadItems();
  EXPECT_TRUE(log.contains("ERROR: Inventory items file 'inventory_items_xml' is damaged: it holds no \"items\" list"));
  EXPECT_EQ(factory.find("key"), nullptr);
}

TEST(SceneNodeStateListTest, KeepsTheLatestRecordPerKeyAndRefusesDuplicatesUnderTest) {
  HOG::SceneNodeStateList list;
  EXPECT_EQ(list.add(HOG::SceneNodeStateRecord::make(3, 1, "door", false)), 0);
  EXPECT_EQ(list.add(HOG::SceneNodeStateRecord::make(3, 2, "door", true)), 0);
  EXPECT_EQ(list.add(HOG::SceneNodeStateRecord::make(3, 1, "door", true)), 0);
  ASSERT_EQ(list.getCount(), 2);
  EXPECT_EQ(list.getRecords()[1].kind, 1u);
  EXPECT_EQ(list.getRecords()[1].value, 1);
  list.raiseDuplicateTest();
  EXPECT_EQ(list.add(HOG::SceneNodeStateRecord::make(3, 1, "door", false)), 1);
  list.lowerDuplicateTest();
  list.lowerDuplicateTest();
  EXPECT_EQ(list.duplicateTest, 0);
  EXPECT_EQ(HOG::SceneNodeStateRecord::hashName(""), 0u);

  // The 1025th record doubles the array, keeping the records before it.
  for (int i = 0; i < 1024; ++i)
    list.add(HOG::SceneNodeStateRecord::make(4, 1, ("n" + std::to_string(i)).c_str(), true));
  EXPECT_EQ(list.getCapacity(), 2048);
  EXPECT_EQ(list.getCount(), 1026);
  EXPECT_STREQ(list.getRecords()[0].nodeName, "door");
  EXPECT_STREQ(list.getRecords()[1025].nodeName, "n1023");
  // A loaded list replaces it whole and ends any duplicate test.
  list.raiseDuplicateTest();
  const HOG::SceneNodeStateRecord loaded = HOG::SceneNodeStateRecord::make(9, 1, "lamp", true);
  list.assign(&loaded, 1, 4);
  EXPECT_EQ(list.getCount(), 1);
  EXPECT_EQ(list.duplicateTest, 0);
  EXPECT_EQ(list.add(HOG::SceneNodeStateRecord::make(9, 1, "lamp", false)), 0);
  // More records than room: the room holds.
  const HOG::SceneNodeStateRecord three[3] = {loaded, loaded, loaded};
  list.assign(three, 3, 2);
  EXPECT_EQ(list.getCount(), 2);
  EXPECT_EQ(list.getCapacity(), 2);
}

// A played animation comes back in its final state, not replayed: forwards at its last key, backwards at its
// first, each still playing its way; a stopped one stops. Only the view's own records apply, in list order.
TEST(SceneNodeStateListTest, RestoresPlayedAnimationsAtTheirEndInTheirDirection) {
  std::unique_ptr<AE::ISceneNode> root(new AE::ISceneNode());
  root->mName = "root";
  auto* door = new AE::ISceneNode();
  door->mName = "door";
  root->addChild(door, true);
  auto* knob = new AE::ISceneNode();
  knob->mName = "knob";
  door->addChild(knob, true);
  AE::NodeKeyValues keys = door->currentKeyValues();
  keys.posX = 10.0f;
  door->setKeyframeValues(0, keys);
  keys.posX = 90.0f;
  door->setKeyframeValues(12, keys);
  door->applyKeyframe(0);
  using Record = HOG::SceneNodeStateRecord;
  KR::Test::LogCapture log;
  HOG::SceneNodeStateList list;
  list.restoreView(nullptr, 4);  // no scene: nothing restored, nothing timed
  EXPECT_FALSE(log.contains("Animation state restored"));
  list.add(Record::make(4, Record::Play, "door", true));
  list.add(Record::make(5, Record::Enable, "door", false));  // another view's
  list.restoreView(root.get(), 4);
  EXPECT_FLOAT_EQ(door->mPosX, 90.0f);
  EXPECT_TRUE(door->mPlaying);
  EXPECT_FALSE(door->mReverse);
  EXPECT_TRUE(knob->mPlaying);  // with what it holds
  EXPECT_TRUE(door->mEnabled);

  list.add(Record::make(4, Record::PlayReversed, "door", true));
  list.applyRecord(root.get(), list.getRecords()[list.getCount() - 1]);
  EXPECT_FLOAT_EQ(door->mPosX, 10.0f);
  EXPECT_TRUE(door->mPlaying);
  EXPECT_TRUE(door->mReverse);

  list.applyRecord(root.get(), Record::make(4, Record::Play, "door", false));
  EXPECT_FALSE(door->mPlaying);
  EXPECT_FALSE(knob->mPlaying);
  // A rewind's flag is no part of its stored form.
  EXPECT_EQ(Record::make(4, Record::RewindToEnd, "door", true).value, 0);
  list.applyRecord(root.get(), Record::make(4, Record::RewindToEnd, "door", true));
  EXPECT_FLOAT_EQ(door->mPosX, 90.0f);
  list.applyRecord(root.get(), Record::make(4, Record::RewindToBegin, "door", false));
  EXPECT_FLOAT_EQ(door->mPosX, 10.0f);
  list.applyRecord(root.get(), Record::make(5, Record::Enable, "door", false));
  EXPECT_FALSE(door->mEnabled);

  // A node the scene lacks is named and skipped.
  list.applyRecord(root.get(), Record::make(4, Record::Enable, "gate", true));
  EXPECT_TRUE(log.contains("WARNING: Failed to find node: gate"));
}

}  // namespace
