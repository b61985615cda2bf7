// Textures and vertex buffers of the GL implementation. Each keeps a copy of
// its bytes in memory, which Lock hands out, and sends what changed to GL on
// Unlock, so Direct3D's lock model costs one upload per unlock.
#pragma once

#include <epoxy/gl.h>

#include <memory>
#include <vector>

#include "render/gl/ContextoGL.h"
#include "render/gl/FormatosGL.h"
#include "render/gl/ObjetoCOM.h"

namespace gl8 {

class TexturaGL final : public ObjetoCOM<IDirect3DTexture8> {
 public:
  // Makes the GL texture with every level allocated; the context must be
  // current. Returns null on a GL failure.
  static TexturaGL* Crear(std::shared_ptr<ContextoGL> contexto, UINT ancho, UINT alto, UINT niveles,
                          const FormatoGL& formato);

  DWORD GetLevelCount() override { return static_cast<DWORD>(niveles_.size()); }
  HRESULT LockRect(UINT nivel, D3DLOCKED_RECT* bloqueado, const RECT* rect, DWORD flags) override;
  HRESULT UnlockRect(UINT nivel) override;

  GLuint Nombre() const { return nombre_; }
  const ContextoGL* Contexto() const { return contexto_.get(); }

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
  GLuint nombre_ = 0;
};

class VertexBufferGL final : public ObjetoCOM<IDirect3DVertexBuffer8> {
 public:
  static VertexBufferGL* Crear(std::shared_ptr<ContextoGL> contexto, UINT longitud);

  HRESULT Lock(UINT desplazamiento, UINT tamano, BYTE** datos, DWORD flags) override;
  HRESULT Unlock() override;

  GLuint Nombre() const { return nombre_; }
  UINT Longitud() const { return static_cast<UINT>(copia_.size()); }
  const ContextoGL* Contexto() const { return contexto_.get(); }

 private:
  VertexBufferGL(std::shared_ptr<ContextoGL> contexto, UINT longitud);
  ~VertexBufferGL() override;

  std::shared_ptr<ContextoGL> contexto_;
  std::vector<BYTE> copia_;
  GLuint nombre_ = 0;
  // Locks may nest; the union of their ranges goes up on the last unlock.
  int bloqueos_ = 0;
  UINT sucioDesde_ = 0, sucioHasta_ = 0;
};

}  // namespace gl8
