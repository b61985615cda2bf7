#include "render/gl/RecursosGL.h"

#include <algorithm>

namespace gl8 {

// ----------------------------------------------------------------- textures
TexturaGL::TexturaGL(std::shared_ptr<ContextoGL> contexto, const FormatoGL& formato)
    : contexto_(std::move(contexto)), formato_(formato) {}

TexturaGL* TexturaGL::Crear(std::shared_ptr<ContextoGL> contexto, UINT ancho, UINT alto,
                            UINT niveles, const FormatoGL& formato) {
  auto* t = new TexturaGL(std::move(contexto), formato);
  while (glGetError() != GL_NO_ERROR) {
  }
  glGenTextures(1, &t->nombre_);
  glBindTexture(GL_TEXTURE_2D, t->nombre_);
  for (UINT i = 0; i < niveles; ++i) {
    const UINT w = std::max(1u, ancho >> i), h = std::max(1u, alto >> i);
    t->niveles_.emplace_back();
    t->niveles_.back().ancho = w;
    t->niveles_.back().alto = h;
    glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(i), static_cast<GLint>(formato.interno),
                 static_cast<GLsizei>(w), static_cast<GLsizei>(h), 0, formato.formato, formato.tipo,
                 nullptr);
  }
  // The chain is exactly what was asked for, so the texture is complete
  // whatever mip filter a draw picks.
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(niveles - 1));
  if (formato.alfaOpaco) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A, GL_ONE);
  glBindTexture(GL_TEXTURE_2D, 0);
  if (glGetError() != GL_NO_ERROR) {
    t->Release();
    return nullptr;
  }
  return t;
}

TexturaGL::~TexturaGL() {
  if (nombre_ != 0 && contexto_->Activar()) {
    contexto_->PrepararCambio();
    glDeleteTextures(1, &nombre_);
  }
}

HRESULT TexturaGL::LockRect(UINT nivel, D3DLOCKED_RECT* bloqueado, const RECT* rect, DWORD flags) {
  if (bloqueado == nullptr || nivel >= niveles_.size()) return D3DERR_INVALIDCALL;
  Nivel& n = niveles_[nivel];
  if (n.bloqueado) return D3DERR_INVALIDCALL;
  RECT zona{0, 0, static_cast<std::int32_t>(n.ancho), static_cast<std::int32_t>(n.alto)};
  if (rect != nullptr) {
    if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom ||
        rect->right > zona.right || rect->bottom > zona.bottom)
      return D3DERR_INVALIDCALL;
    zona = *rect;
  }
  const std::size_t pitch = std::size_t{n.ancho} * formato_.bytesPorTexel;
  if (n.copia.empty()) n.copia.assign(pitch * n.alto, 0);
  n.bloqueado = true;
  n.soloLectura = (flags & D3DLOCK_READONLY) != 0;
  n.zona = zona;
  bloqueado->Pitch = static_cast<INT>(pitch);
  bloqueado->pBits = n.copia.data() + static_cast<std::size_t>(zona.top) * pitch +
                     static_cast<std::size_t>(zona.left) * formato_.bytesPorTexel;
  return D3D_OK;
}

HRESULT TexturaGL::UnlockRect(UINT nivel) {
  if (nivel >= niveles_.size() || !niveles_[nivel].bloqueado) return D3DERR_INVALIDCALL;
  Nivel& n = niveles_[nivel];
  n.bloqueado = false;
  if (n.soloLectura) return D3D_OK;
  if (!contexto_->Activar()) return D3DERR_DEVICELOST;
  // Draws queued before the unlock must still see the old texels.
  contexto_->PrepararCambio();
  // Rows go up in the order they lie in memory: row 0, the top row that
  // Direct3D samples at v = 0, becomes GL's t = 0, so no flip is needed.
  const auto& z = n.zona;
  glBindTexture(GL_TEXTURE_2D, nombre_);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, static_cast<GLint>(n.ancho));
  const std::size_t inicio =
      (static_cast<std::size_t>(z.top) * n.ancho + z.left) * formato_.bytesPorTexel;
  glTexSubImage2D(GL_TEXTURE_2D, static_cast<GLint>(nivel), z.left, z.top, z.right - z.left,
                  z.bottom - z.top, formato_.formato, formato_.tipo, n.copia.data() + inicio);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glBindTexture(GL_TEXTURE_2D, 0);
  return D3D_OK;
}

// ------------------------------------------------------------ vertex buffers
VertexBufferGL::VertexBufferGL(std::shared_ptr<ContextoGL> contexto, UINT longitud)
    : contexto_(std::move(contexto)), copia_(longitud, 0) {}

VertexBufferGL* VertexBufferGL::Crear(std::shared_ptr<ContextoGL> contexto, UINT longitud) {
  auto* vb = new VertexBufferGL(std::move(contexto), longitud);
  while (glGetError() != GL_NO_ERROR) {
  }
  glGenBuffers(1, &vb->nombre_);
  glBindBuffer(GL_ARRAY_BUFFER, vb->nombre_);
  glBufferData(GL_ARRAY_BUFFER, longitud, vb->copia_.data(), GL_STATIC_DRAW);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  if (glGetError() != GL_NO_ERROR) {
    vb->Release();
    return nullptr;
  }
  return vb;
}

VertexBufferGL::~VertexBufferGL() {
  if (nombre_ != 0 && contexto_->Activar()) {
    contexto_->PrepararCambio();
    glDeleteBuffers(1, &nombre_);
  }
}

HRESULT VertexBufferGL::Lock(UINT desplazamiento, UINT tamano, BYTE** datos, DWORD flags) {
  if (datos == nullptr) return D3DERR_INVALIDCALL;
  *datos = nullptr;
  // A size of 0 locks the whole buffer.
  if (tamano == 0) {
    desplazamiento = 0;
    tamano = Longitud();
  }
  if (std::uint64_t{desplazamiento} + tamano > Longitud()) return D3DERR_INVALIDCALL;
  if ((flags & D3DLOCK_READONLY) == 0) {
    if (sucioDesde_ == sucioHasta_) {
      sucioDesde_ = desplazamiento;
      sucioHasta_ = desplazamiento + tamano;
    } else {
      sucioDesde_ = std::min(sucioDesde_, desplazamiento);
      sucioHasta_ = std::max(sucioHasta_, desplazamiento + tamano);
    }
  }
  ++bloqueos_;
  *datos = copia_.data() + desplazamiento;
  return D3D_OK;
}

HRESULT VertexBufferGL::Unlock() {
  if (bloqueos_ == 0) return D3DERR_INVALIDCALL;
  if (--bloqueos_ > 0 || sucioDesde_ == sucioHasta_) return D3D_OK;
  const UINT desde = sucioDesde_, hasta = sucioHasta_;
  sucioDesde_ = sucioHasta_ = 0;
  if (!contexto_->Activar()) return D3DERR_DEVICELOST;
  contexto_->PrepararCambio();
  glBindBuffer(GL_ARRAY_BUFFER, nombre_);
  glBufferSubData(GL_ARRAY_BUFFER, desde, hasta - desde, copia_.data() + desde);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  return D3D_OK;
}

}  // namespace gl8
