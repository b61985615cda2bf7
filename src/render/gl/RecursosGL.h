// Textures and vertex buffers of the GL implementation. Each keeps a copy of
// its bytes in memory, which Lock hands out, and sends what changed to GL on
// Unlock, so Direct3D's lock model costs one upload per unlock.
#pragma once

#include <epoxy/gl.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "render/gl/ArreglosGL.h"
#include "render/gl/ContextoGL.h"
#include "render/gl/FormatosGL.h"
#include "render/gl/ObjetoCOM.h"

namespace gl8 {

// A texture is one layer of an array texture shared with the textures of
// its size, level count and format (see ArreglosGL.h).
class TexturaGL final : public ObjetoCOM<IDirect3DTexture8> {
 public:
  // Takes a layer, with every level allocated; the context must be
  // current. Returns null on a GL failure.
  static TexturaGL* Crear(std::shared_ptr<ContextoGL> contexto, UINT ancho, UINT alto, UINT niveles,
                          const FormatoGL& formato);

  DWORD GetLevelCount() override { return static_cast<DWORD>(niveles_.size()); }
  HRESULT LockRect(UINT nivel, D3DLOCKED_RECT* bloqueado, const RECT* rect, DWORD flags) override;
  HRESULT UnlockRect(UINT nivel) override;

  // The GL array texture that holds this texture, and the layer it is.
  GLuint Arreglo() const { return capa_.arreglo->Nombre(); }
  GLushort Capa() const { return static_cast<GLushort>(capa_.capa); }
  // Whether the layer has room in GL; until it has, the texels wait in
  // memory for the array to grow (see ArreglosGL.h).
  bool EnGL() const { return capa_.arreglo->EnGL(capa_.capa); }
  // Gives the layer room in GL; false when GL cannot. The context must be
  // current.
  bool HacerSitio() { return capa_.arreglo->Crecer(); }
  const ContextoGL* Contexto() const { return contexto_.get(); }
  // Sends every level that has texels in memory into the array's current
  // GL texture; for an array that has grown.
  void Resubir();

 private:
  struct Nivel {
    UINT ancho = 0, alto = 0;
    std::vector<BYTE> copia;  // made on the first lock
    bool bloqueado = false;
    bool soloLectura = false;
    RECT zona{};
  };
  TexturaGL(std::shared_ptr<ContextoGL> contexto, const FormatoGL& formato);
  ~TexturaGL() override;

  std::shared_ptr<ContextoGL> contexto_;
  const FormatoGL& formato_;
  std::vector<Nivel> niveles_;
  CapaGL capa_;
};

// The texture layer each vertex of a vertex buffer is drawn with, kept in a
// GL buffer of its own that the device reads beside the vertices. When the
// device merges draws made with different textures of one array, each
// polygon samples its own layer because its vertices carry it. A mesh
// redrawn unchanged gives every vertex the layer it already has, so after
// the first frame nothing is sent.
class CapasVertices {
 public:
  // Gives vertices [inicio, fin) layer `capa` in merged draw number `lote`.
  // False, changing nothing, when one of them already has another layer in
  // that same merged draw: a vertex holds one layer per GL draw.
  bool Asignar(std::uint32_t inicio, std::uint32_t fin, GLushort capa, std::uint64_t lote);
  // Sends what changed since the last call; the context must be current.
  void Subir();
  GLuint Nombre() const { return nombre_; }

 private:
  friend class VertexBufferGL;
  std::vector<GLushort> capas_;
  // The merged draw that last gave each vertex its layer.
  std::vector<std::uint64_t> lotes_;
  GLuint nombre_ = 0;
  std::size_t enGL_ = 0;  // layers the GL buffer has room for
  std::size_t sucioDesde_ = 0, sucioHasta_ = 0;
};

class VertexBufferGL final : public ObjetoCOM<IDirect3DVertexBuffer8> {
 public:
  static VertexBufferGL* Crear(std::shared_ptr<ContextoGL> contexto, UINT longitud);

  HRESULT Lock(UINT desplazamiento, UINT tamano, BYTE** datos, DWORD flags) override;
  HRESULT Unlock() override;

  GLuint Nombre() const { return nombre_; }
  UINT Longitud() const { return static_cast<UINT>(copia_.size()); }
  const ContextoGL* Contexto() const { return contexto_.get(); }
  CapasVertices& Capas() { return capas_; }

 private:
  VertexBufferGL(std::shared_ptr<ContextoGL> contexto, UINT longitud);
  ~VertexBufferGL() override;

  std::shared_ptr<ContextoGL> contexto_;
  std::vector<BYTE> copia_;
  GLuint nombre_ = 0;
  CapasVertices capas_;
  // Locks may nest; the union of their ranges goes up on the last unlock.
  int bloqueos_ = 0;
  UINT sucioDesde_ = 0, sucioHasta_ = 0;
};

}  // namespace gl8
