// Anchors the content library; every source file of it is listed in engine/cmake/content/.
namespace KR {
int contentLibraryAnchor = 0;
}
