#pragma once
// A look at the setup headers of an Ogg Vorbis file before vorbisfile decodes
// it: libvorbis trusts some fields of its codebooks (a codebook of no
// dimensions makes it divide by zero while decoding), so streams carrying such
// books are refused up front.
#include <cstddef>

namespace KR {

// True when every logical stream's setup header in the data has codebooks that
// are safe to decode with. Data that is not Ogg at all passes (vorbisfile
// refuses it on its own).
bool vorbisSetupHeadersAreSafe(const unsigned char* data, size_t size);

}  // namespace KR
