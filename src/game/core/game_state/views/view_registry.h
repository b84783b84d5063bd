#pragma once
// The play state's store of every location: the pools the views, triggers and
// extensions are built in, the lists of what was built (it owns them all), and
// the readers of the three description resources: "views_xml" (views and
// their triggers), "views_lua" (the level script) and "view_neighbors_xml"
// (what the view streamer walks). Main thread only; loadViews and clear run
// while the streamer is paused and holds no view.
//
//   registry.loadViews();                       // clears, then reads all three
//   View* hall = registry.findViewByName("location01");
#include <cstdint>
#include <vector>

#include "core/game_state/views/view_factory.h"

namespace KR {
class XmlDataReader;
}

namespace HOG {

class View;
class IBaseAreaTrigger;
class IViewExtension;

class ViewRegistry {
 public:
  ViewRegistry();
  ~ViewRegistry();
  ViewRegistry(const ViewRegistry&) = delete;
  ViewRegistry& operator=(const ViewRegistry&) = delete;

  void clear();
  void loadViews();
  // The readers behind loadViews (the fuzz target and tests give them text).
  void parseViews(KR::XmlDataReader& reader, float triggersScale);
  void parseViewDescription(KR::XmlDataReader& reader, float triggersScale);
  void loadViewNeighbors();
  void parseViewNeighbors(KR::XmlDataReader& reader);
  // Makes the named extension for the view (nothing for unknown names).
  void createViewExtensionByName(View* view, const char* name, const char* configFile);

  View* findViewByName(const char* name) const;
  View* findViewById(int32_t id) const;
  // The trigger of view viewId with triggerId, or null.
  IBaseAreaTrigger* findTrigger(int32_t viewId, int32_t triggerId) const;

  const std::vector<View*>& getViews() const { return views; }
  const std::vector<IBaseAreaTrigger*>& getTriggers() const { return triggers; }
  const std::vector<IViewExtension*>& getExtensions() const { return extensions; }
  ViewFactory& getFactory() { return factory; }

 private:
  IBaseAreaTrigger* createTrigger(int32_t type);

  ViewFactory factory;
  std::vector<View*> views;
  std::vector<IBaseAreaTrigger*> triggers;
  std::vector<IViewExtension*> extensions;
};

}  // namespace HOG
