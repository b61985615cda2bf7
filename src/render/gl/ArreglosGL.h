// Textures as layers of shared GL_TEXTURE_2D_ARRAY objects.
//
// Textures with the same size, level count and format are kept as layers of
// one array texture, so drawing with one and then with another of the same
// kind changes no GL binding: the device merges such draws into one GL draw
// and tells each vertex which layer to sample (see DispositivoGL). A mesh
// switches texture page nearly every polygon, and every GL draw costs
// llvmpipe its own state validation, vertex pass and binning: with pages
// bound one by one, title-ng's largest mesh (570 polygons, 168 GL draws)
// took about 1.5 ms a frame, and 0.85 ms as one draw.
//
// Sampling does not change: a layer is chosen by an integral coordinate, and
// filtering and wrapping never reach across layers, so a layer samples as a
// GL_TEXTURE_2D of the same size and levels would.
//
// GL cannot resize a texture, so an array that needs more layers is replaced
// by a bigger one into which every texture it holds sends its levels again
// from the copy it keeps for LockRect, as a managed Direct3D texture keeps
// its system-memory copy. Growing waits until a draw needs a layer GL does
// not have yet: a level's pages are all made before its first frame, so the
// array is then made once at the size that holds them all. Growing each time
// a texture is made would send the pages again at every doubling, and
// llvmpipe clears every texture it allocates, which made opening a level
// 20-50% slower. After that first size the array at least doubles, so
// textures made between frames cost a few growths, not one each.
//
// The first texture of a kind gets its GL layer at once, so that a texture
// GL cannot hold (too big, no memory) fails when it is made. An array that
// reaches GL's layer limit takes no more textures and the next one of its
// kind starts another array.
#pragma once

#include <epoxy/gl.h>

#include <memory>
#include <vector>

#include "render/gl/ContextoGL.h"
#include "render/gl/FormatosGL.h"

namespace gl8 {

class TexturaGL;

// What textures must share to be layers of one array.
struct ClaveArreglo {
  UINT ancho = 0, alto = 0, niveles = 0;
  const FormatoGL* formato = nullptr;
  bool operator==(const ClaveArreglo&) const = default;
};

class ArregloTexturasGL {
 public:
  // `limite`: the most layers it may hold.
  ArregloTexturasGL(std::shared_ptr<ContextoGL> contexto, const ClaveArreglo& clave, GLint limite);
  // Deletes the GL texture, after the device has drawn what it queued.
  ~ArregloTexturasGL();
  ArregloTexturasGL(const ArregloTexturasGL&) = delete;
  ArregloTexturasGL& operator=(const ArregloTexturasGL&) = delete;

  GLuint Nombre() const { return nombre_; }
  const ClaveArreglo& Clave() const { return clave_; }
  // Whether the GL texture has room for `capa` yet.
  bool EnGL(GLint capa) const { return capa < capacidadGL_; }

  // A layer for `dueno`, a free one or a new one past the last; -1 when the
  // array is at its limit. No GL call: a new layer has room in GL only
  // after the next Crecer.
  GLint Reservar(TexturaGL* dueno);
  // Makes a layer free for the next texture of this kind. No GL call: draws
  // queued with the layer keep their texels until a new owner sends its
  // own, and every upload draws the queue first.
  void Liberar(GLint capa);
  bool TieneLibre() const;
  // Replaces the GL texture by one with room for every layer given, and
  // every owner sends its levels into it. False, changing nothing, when GL
  // cannot make it. The context must be current; the device's queue is
  // drawn first, since it may use the old texture.
  bool Crecer();
  // Sends the rectangle `zona` of one level of one layer, which must be in
  // GL; `datos` is the rectangle's first texel and rows lie `anchoFila`
  // texels apart. The context must be current.
  void Subir(GLint capa, UINT nivel, const RECT& zona, const BYTE* datos, UINT anchoFila);

 private:
  std::shared_ptr<ContextoGL> contexto_;
  const ClaveArreglo clave_;
  const GLint limite_;
  GLuint nombre_ = 0;
  GLint capacidadGL_ = 0;           // layers the GL texture has room for
  std::vector<TexturaGL*> duenos_;  // by layer; null where the layer is free
};

// A texture's place: its array and its layer there.
struct CapaGL {
  std::shared_ptr<ArregloTexturasGL> arreglo;
  GLint capa = -1;
};

// A layer for `dueno` in one of `contexto`'s arrays of its kind, or the
// first layer of a new array, made in GL at once. Empty when GL cannot make
// it. The context must be current.
CapaGL ReservarCapa(const std::shared_ptr<ContextoGL>& contexto, const ClaveArreglo& clave,
                    TexturaGL* dueno);

}  // namespace gl8
