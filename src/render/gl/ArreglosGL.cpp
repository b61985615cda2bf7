#include "render/gl/ArreglosGL.h"

#include <algorithm>
#include <utility>

#include "render/gl/RecursosGL.h"

namespace gl8 {
namespace {
// Vertices carry their layer as an unsigned 16-bit attribute.
constexpr GLint kMaxCapas = 65536;
}  // namespace

ArregloTexturasGL::ArregloTexturasGL(std::shared_ptr<ContextoGL> contexto,
                                     const ClaveArreglo& clave, GLint limite)
    : contexto_(std::move(contexto)), clave_(clave), limite_(limite) {}

ArregloTexturasGL::~ArregloTexturasGL() {
  // Always, even without GL: the device's queue may name this array, and
  // draws it cannot make are dropped rather than kept.
  contexto_->PrepararCambio();
  if (nombre_ != 0 && contexto_->Activar()) glDeleteTextures(1, &nombre_);
}

GLint ArregloTexturasGL::Reservar(TexturaGL* dueno) {
  auto libre = std::find(duenos_.begin(), duenos_.end(), nullptr);
  if (libre == duenos_.end()) {
    if (static_cast<GLint>(duenos_.size()) >= limite_) return -1;
    libre = duenos_.insert(duenos_.end(), nullptr);
  }
  *libre = dueno;
  return static_cast<GLint>(libre - duenos_.begin());
}

void ArregloTexturasGL::Liberar(GLint capa) {
  if (capa >= 0 && capa < static_cast<GLint>(duenos_.size()))
    duenos_[static_cast<std::size_t>(capa)] = nullptr;
}

bool ArregloTexturasGL::TieneLibre() const {
  return static_cast<GLint>(duenos_.size()) < limite_ ||
         std::find(duenos_.begin(), duenos_.end(), nullptr) != duenos_.end();
}

bool ArregloTexturasGL::Crecer() {
  const auto dados = static_cast<GLint>(duenos_.size());
  if (dados <= capacidadGL_) return true;
  // The first size is what is asked for; after it, at least double, so a
  // program that makes textures between frames sends each page again only
  // a few times.
  const GLint capacidad =
      capacidadGL_ == 0 ? dados : std::min(limite_, std::max(dados, 2 * capacidadGL_));
  contexto_->PrepararCambio();
  while (glGetError() != GL_NO_ERROR) {
  }
  const FormatoGL& f = *clave_.formato;
  GLuint nuevo = 0;
  glGenTextures(1, &nuevo);
  glBindTexture(GL_TEXTURE_2D_ARRAY, nuevo);
  for (UINT i = 0; i < clave_.niveles; ++i) {
    const UINT w = std::max(1u, clave_.ancho >> i), h = std::max(1u, clave_.alto >> i);
    glTexImage3D(GL_TEXTURE_2D_ARRAY, static_cast<GLint>(i), static_cast<GLint>(f.interno),
                 static_cast<GLsizei>(w), static_cast<GLsizei>(h), capacidad, 0, f.formato, f.tipo,
                 nullptr);
  }
  // The chain is exactly what was asked for, so the array is complete
  // whatever mip filter a draw picks.
  glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_BASE_LEVEL, 0);
  glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MAX_LEVEL,
                  static_cast<GLint>(clave_.niveles - 1));
  if (f.alfaOpaco) glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_SWIZZLE_A, GL_ONE);
  glBindTexture(GL_TEXTURE_2D_ARRAY, 0);
  if (glGetError() != GL_NO_ERROR) {
    glDeleteTextures(1, &nuevo);
    return false;
  }
  if (nombre_ != 0) glDeleteTextures(1, &nombre_);
  nombre_ = nuevo;
  capacidadGL_ = capacidad;
  for (TexturaGL* t : duenos_)
    if (t != nullptr) t->Resubir();
  return true;
}

void ArregloTexturasGL::Subir(GLint capa, UINT nivel, const RECT& zona, const BYTE* datos,
                              UINT anchoFila) {
  const FormatoGL& f = *clave_.formato;
  glBindTexture(GL_TEXTURE_2D_ARRAY, nombre_);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, static_cast<GLint>(anchoFila));
  glTexSubImage3D(GL_TEXTURE_2D_ARRAY, static_cast<GLint>(nivel), zona.left, zona.top, capa,
                  zona.right - zona.left, zona.bottom - zona.top, 1, f.formato, f.tipo, datos);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glBindTexture(GL_TEXTURE_2D_ARRAY, 0);
}

CapaGL ReservarCapa(const std::shared_ptr<ContextoGL>& contexto, const ClaveArreglo& clave,
                    TexturaGL* dueno) {
  auto& arreglos = contexto->arreglos;
  std::erase_if(arreglos, [](const auto& a) { return a.expired(); });
  for (const auto& a : arreglos) {
    auto vivo = a.lock();
    if (vivo->Clave() == clave && vivo->TieneLibre()) return {vivo, vivo->Reservar(dueno)};
  }
  GLint limite = 0;
  glGetIntegerv(GL_MAX_ARRAY_TEXTURE_LAYERS, &limite);
  auto nuevo = std::make_shared<ArregloTexturasGL>(contexto, clave, std::min(limite, kMaxCapas));
  const GLint capa = nuevo->Reservar(dueno);
  if (capa < 0 || !nuevo->Crecer()) {
    nuevo->Liberar(capa);
    return {};
  }
  arreglos.push_back(nuevo);
  return {std::move(nuevo), capa};
}

}  // namespace gl8
