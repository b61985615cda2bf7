#include "render/gl/RecursosGL.h"

#include <algorithm>

namespace gl8 {

// ----------------------------------------------------------------- textures
TexturaGL::TexturaGL(std::shared_ptr<ContextoGL> contexto, const FormatoGL& formato)
    : contexto_(std::move(contexto)), formato_(formato) {}

TexturaGL* TexturaGL::Crear(std::shared_ptr<ContextoGL> contexto, UINT ancho, UINT alto,
                            UINT niveles, const FormatoGL& formato) {
  auto* t = new TexturaGL(std::move(contexto), formato);
  for (UINT i = 0; i < niveles; ++i) {
    t->niveles_.emplace_back();
    t->niveles_.back().ancho = std::max(1u, ancho >> i);
    t->niveles_.back().alto = std::max(1u, alto >> i);
  }
  t->capa_ = ReservarCapa(t->contexto_, ClaveArreglo{ancho, alto, niveles, &formato}, t);
  if (!t->capa_.arreglo) {
    t->Release();
    return nullptr;
  }
  return t;
}

TexturaGL::~TexturaGL() {
  if (capa_.arreglo) capa_.arreglo->Liberar(capa_.capa);
}

void TexturaGL::Resubir() {
  // A texture that is still being made has no level in memory yet.
  for (UINT i = 0; i < niveles_.size(); ++i) {
    const Nivel& n = niveles_[i];
    const RECT todo{0, 0, static_cast<std::int32_t>(n.ancho), static_cast<std::int32_t>(n.alto)};
    if (!n.copia.empty()) capa_.arreglo->Subir(capa_.capa, i, todo, n.copia.data(), n.ancho);
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
  if (!contexto_->Vivo()) return D3DERR_DEVICELOST;
  // A layer without room in GL is in no queued draw; its texels go when
  // the array grows.
  if (!EnGL()) return D3D_OK;
  if (!contexto_->Activar()) return D3DERR_DEVICELOST;
  // Draws queued before the unlock must still see the old texels.
  contexto_->PrepararCambio();
  // Rows go up in the order they lie in memory: row 0, the top row that
  // Direct3D samples at v = 0, becomes GL's t = 0, so no flip is needed.
  const auto& z = n.zona;
  const std::size_t inicio =
      (static_cast<std::size_t>(z.top) * n.ancho + z.left) * formato_.bytesPorTexel;
  capa_.arreglo->Subir(capa_.capa, nivel, z, n.copia.data() + inicio, n.ancho);
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
  glGenBuffers(1, &vb->capas_.nombre_);
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
  // Always, even without GL: the device's queue points at this buffer, and
  // draws it cannot make are dropped rather than kept.
  contexto_->PrepararCambio();
  if (nombre_ != 0 && contexto_->Activar()) {
    glDeleteBuffers(1, &nombre_);
    if (capas_.nombre_ != 0) glDeleteBuffers(1, &capas_.nombre_);
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

// ---------------------------------------------------------- vertex layers
bool CapasVertices::Asignar(std::uint32_t inicio, std::uint32_t fin, GLushort capa,
                            std::uint64_t lote) {
  if (fin > capas_.size()) {
    capas_.resize(fin, 0);
    lotes_.resize(fin, 0);
  }
  for (std::uint32_t i = inicio; i < fin; ++i)
    if (lotes_[i] == lote && capas_[i] != capa) return false;
  for (std::uint32_t i = inicio; i < fin; ++i) {
    lotes_[i] = lote;
    if (capas_[i] == capa) continue;
    capas_[i] = capa;
    if (sucioDesde_ == sucioHasta_) {
      sucioDesde_ = i;
      sucioHasta_ = i + 1;
    } else {
      sucioDesde_ = std::min<std::size_t>(sucioDesde_, i);
      sucioHasta_ = std::max<std::size_t>(sucioHasta_, i + 1);
    }
  }
  return true;
}

void CapasVertices::Subir() {
  const bool crece = capas_.size() > enGL_;
  if (!crece && sucioDesde_ == sucioHasta_) return;
  glBindBuffer(GL_ARRAY_BUFFER, nombre_);
  if (crece) {
    // Vertices past the old end were never sent: everything goes.
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(capas_.size() * sizeof(GLushort)),
                 capas_.data(), GL_DYNAMIC_DRAW);
    enGL_ = capas_.size();
  } else {
    glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(sucioDesde_ * sizeof(GLushort)),
                    static_cast<GLsizeiptr>((sucioHasta_ - sucioDesde_) * sizeof(GLushort)),
                    capas_.data() + sucioDesde_);
  }
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  sucioDesde_ = sucioHasta_ = 0;
}

}  // namespace gl8
