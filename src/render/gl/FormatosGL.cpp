#include "render/gl/FormatosGL.h"

namespace gl8 {
namespace {
// Direct3D names its formats from the most significant bit down and stores
// texels little-endian, so X8R8G8B8 lies in memory as B, G, R, X: GL's
// BGRA read as one 32-bit word in reversed order. The 16-bit formats put
// blue in bits 0-4, which is GL's reversed 1-5-5-5 packing, and R5G6B5 has
// red on top, which is GL's plain 5-6-5.
constexpr FormatoGL kFormatos[] = {
    {D3DFMT_X8R8G8B8, 4, GL_RGBA8, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, true},
    {D3DFMT_A8R8G8B8, 4, GL_RGBA8, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, false},
    {D3DFMT_X1R5G5B5, 2, GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, true},
    {D3DFMT_A1R5G5B5, 2, GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, false},
    {D3DFMT_R5G6B5, 2, GL_RGB8, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, true},
    {D3DFMT_R8G8B8, 3, GL_RGB8, GL_BGR, GL_UNSIGNED_BYTE, true},
};
}  // namespace

const FormatoGL* BuscarFormato(D3DFORMAT formato) {
  for (const FormatoGL& f : kFormatos)
    if (f.d3d == formato) return &f;
  return nullptr;
}

}  // namespace gl8
