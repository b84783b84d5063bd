#include "animationeditor/marker_play_list_reader.h"

#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_xml_values.h"

namespace AE {

namespace {

bool namesNode(const pugi::xml_node& element) { return element.attribute("path") || element.attribute("name"); }

void addEntry(Marker* marker, const pugi::xml_node& entry, ISceneNode* node) {
  const pugi::xml_attribute path = entry.attribute("path");
  ISceneNode* target =
      path ? node->findByPath(path.value()) : ISceneNode::findChildFrom(node, entry.attribute("name").value());
  const SceneXml::Attributes a(entry);
  marker->addEntry(target, a.readInt("from"), a.readInt("to"), a.readBool("recursive"), a.readBool("looped"));
}

}  // namespace

void readMarkerPlayLists(const pugi::xml_node& markerElement, ISceneNode* node) {
  Marker* marker = new Marker(markerElement.child_value("name"));
  for (pugi::xml_node entry = markerElement.child("playList"); entry; entry = entry.next_sibling()) {
    if (entry.type() != pugi::node_element) continue;
    if (namesNode(entry)) {
      addEntry(marker, entry, node);
    } else if (std::string(entry.name()) == "playList") {
      for (pugi::xml_node inner : entry.children()) {
        if (inner.type() == pugi::node_element && namesNode(inner)) addEntry(marker, inner, node);
      }
    }
  }
  node->addMarker(marker);
}

}  // namespace AE
