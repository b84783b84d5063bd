// Anchors the render library; every source file of it is listed in engine/cmake/render/.
namespace KR {
int renderLibraryAnchor = 0;
}
