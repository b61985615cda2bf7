// GLSL programs standing in for Direct3D's fixed-function pipeline.
//
// One program per combination of the states that change what a pixel is
// (stage 0's colour operation and arguments, whether a texture is bound,
// flat shading, lighting). Each is generated with its operation written out,
// so the common case, the texel's colour alone, costs what a plain textured
// shader costs; a switch on uniforms would make a software rasteriser pay
// for every branch on every pixel.
#pragma once

#include <epoxy/gl.h>

#include <cstdint>
#include <map>
#include <tuple>

#include "render/d3d8/d3d8.h"

namespace gl8 {

// Vertex attribute slots the device binds its vertex formats to.
constexpr GLuint kAtributoPosicion = 0;
constexpr GLuint kAtributoColor = 1;
constexpr GLuint kAtributoUV = 2;
// The layer of the stage 0 array texture a vertex is drawn with.
constexpr GLuint kAtributoCapa = 3;

struct ClavePrograma {
  DWORD operacion = D3DTOP_MODULATE;
  DWORD argumento1 = D3DTA_TEXTURE;
  DWORD argumento2 = D3DTA_CURRENT;
  bool textura = false;
  bool plano = false;
  bool iluminacion = false;
  auto operator<=>(const ClavePrograma&) const = default;
};

struct ProgramaGL {
  GLuint nombre = 0;
  GLint transformacion = -1;
  // The matrix generation last loaded into this program's uniform.
  std::uint64_t generacion = ~std::uint64_t{0};
};

class ProgramasGL {
 public:
  // The program for `clave`, compiled on first use; null when compiling
  // fails. The context must be current.
  ProgramaGL* Obtener(const ClavePrograma& clave);
  // Deletes every program; the context must be current.
  void Borrar();
  // Forgets the programs without GL calls, for a context that is gone.
  void Olvidar() { programas_.clear(); }

 private:
  std::map<ClavePrograma, ProgramaGL> programas_;
};

}  // namespace gl8
