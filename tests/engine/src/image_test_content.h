#pragma once
// The image and texture tests' content: loose files under (package, name).
#include "loose_content.h"

namespace KR {
namespace Test {

using ImageContent = LooseContent;

}  // namespace Test
}  // namespace KR
