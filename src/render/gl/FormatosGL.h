// The texture formats the GL implementation can create, and how each one's
// bytes go to GL unchanged.
#pragma once

#include <epoxy/gl.h>

#include "render/d3d8/d3d8.h"

namespace gl8 {

struct FormatoGL {
  D3DFORMAT d3d;
  UINT bytesPorTexel;
  GLenum interno, formato, tipo;
  // X formats have no alpha: the unused bits must read as opaque.
  bool alfaOpaco;
};

// The entry for a texture format, or null when it cannot be created. This is
// the one list both CreateTexture and CheckDeviceFormat answer from.
const FormatoGL* BuscarFormato(D3DFORMAT formato);

}  // namespace gl8
