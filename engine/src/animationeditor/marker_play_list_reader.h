#pragma once
// Reads one marker element of a scene file into an AE::Marker of the node.
// The marker's name is the text of its "name" child; its entries are the
// "playList" element and every element after it (each naming its node by
// "path" from the node or, without one, by "name" in the node's subtree, with
// "from", "to", "looped", "recursive"). A "playList" that carries neither
// "path" nor "name" holds its entries as children instead. Entries whose node
// is not found, or is listed already, are dropped; the marker is added anyway.
#include <pugixml.hpp>

namespace AE {

class ISceneNode;

void readMarkerPlayLists(const pugi::xml_node& markerElement, ISceneNode* node);

}  // namespace AE
