#include "render/gl/DispositivoGL.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "render/gl/FormatosGL.h"
#include "render/gl/RecursosGL.h"

namespace gl8 {

std::uint64_t& MarcaEstadoGL() {
  static std::uint64_t marca = 0;
  return marca;
}

void ContextoGL::PrepararCambio() {
  if (dispositivo != nullptr) dispositivo->PrepararCambio();
  ++MarcaEstadoGL();
}

FormatoVertice AnalizarFVF(DWORD fvf) {
  FormatoVertice f;
  // Only untransformed positions: pre-transformed XYZRHW vertices and
  // blend weights would need a different pipeline.
  const DWORD conocidos =
      D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEXCOUNT_MASK;
  if ((fvf & D3DFVF_POSITION_MASK) != D3DFVF_XYZ || (fvf & ~conocidos) != 0) return f;
  const DWORD coordenadas = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
  if (coordenadas > 8) return f;
  // Direct3D's fixed order: position, normal, diffuse, specular, then each
  // set of two texture coordinates; stage 0 reads the first set.
  UINT desplazamiento = 12;
  if (fvf & D3DFVF_NORMAL) desplazamiento += 12;
  if (fvf & D3DFVF_DIFFUSE) {
    f.color = static_cast<int>(desplazamiento);
    desplazamiento += 4;
  }
  if (fvf & D3DFVF_SPECULAR) desplazamiento += 4;
  if (coordenadas > 0) f.uv = static_cast<int>(desplazamiento);
  desplazamiento += 8 * coordenadas;
  f.tamano = desplazamiento;
  f.valido = true;
  return f;
}

namespace {
D3DMATRIX Identidad() {
  D3DMATRIX m{};
  for (int i = 0; i < 4; ++i) m.m[i][i] = 1.0f;
  return m;
}

// Row-vector product a * b.
D3DMATRIX Producto(const D3DMATRIX& a, const D3DMATRIX& b) {
  D3DMATRIX r{};
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      for (int k = 0; k < 4; ++k) r.m[i][j] += a.m[i][k] * b.m[k][j];
  return r;
}

GLenum FuncionProfundidad(DWORD funcion) {
  // D3DCMP_NEVER..D3DCMP_ALWAYS (1..8) follow GL's GL_NEVER..GL_ALWAYS order.
  if (funcion < D3DCMP_NEVER || funcion > D3DCMP_ALWAYS) funcion = D3DCMP_LESSEQUAL;
  return GL_NEVER + (funcion - D3DCMP_NEVER);
}

// How many vertices a run of `cuenta` primitives reads; 0 for an unknown type.
std::uint64_t VerticesDe(D3DPRIMITIVETYPE tipo, UINT cuenta) {
  const std::uint64_t c = cuenta;
  switch (tipo) {
    case D3DPT_POINTLIST:
      return c;
    case D3DPT_LINELIST:
      return 2 * c;
    case D3DPT_LINESTRIP:
      return c + 1;
    case D3DPT_TRIANGLELIST:
      return 3 * c;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN:
      return c + 2;
    default:
      return 0;
  }
}

GLenum PrimitivaGL(D3DPRIMITIVETYPE tipo) {
  switch (tipo) {
    case D3DPT_POINTLIST:
      return GL_POINTS;
    case D3DPT_LINELIST:
    case D3DPT_LINESTRIP:
      return GL_LINES;
    default:
      return GL_TRIANGLES;
  }
}

// Appends the primitives as independent ones. The first index of every
// triangle is the vertex Direct3D takes the flat colour from, and each
// triangle keeps the turning sense it has in Direct3D.
void AgregarIndices(std::vector<GLuint>& indices, D3DPRIMITIVETYPE tipo, GLuint s, UINT cuenta) {
  switch (tipo) {
    case D3DPT_POINTLIST:
    case D3DPT_LINELIST:
    case D3DPT_TRIANGLELIST: {
      const GLuint n = static_cast<GLuint>(VerticesDe(tipo, cuenta));
      for (GLuint i = 0; i < n; ++i) indices.push_back(s + i);
      break;
    }
    case D3DPT_LINESTRIP:
      for (GLuint i = 0; i < cuenta; ++i) indices.insert(indices.end(), {s + i, s + i + 1});
      break;
    case D3DPT_TRIANGLESTRIP:
      // Triangle i is (i, i+1, i+2) with every odd one reversed, so that all
      // of a strip's triangles turn the same way; (i, i+2, i+1) reverses it
      // while keeping vertex i, the flat-shading vertex, first.
      for (GLuint i = 0; i < cuenta; ++i) {
        if (i % 2 == 0)
          indices.insert(indices.end(), {s + i, s + i + 1, s + i + 2});
        else
          indices.insert(indices.end(), {s + i, s + i + 2, s + i + 1});
      }
      break;
    case D3DPT_TRIANGLEFAN:
      // Triangle i is (0, i+1, i+2); Direct3D shades a fan's triangle flat
      // with vertex i+1, so the same turn starts there.
      for (GLuint i = 0; i < cuenta; ++i) indices.insert(indices.end(), {s + i + 1, s + i + 2, s});
      break;
  }
}
}  // namespace

// -------------------------------------------------------------- lifetime
DispositivoGL::DispositivoGL(std::shared_ptr<ContextoGL> contexto, UINT ancho, UINT alto,
                             GLenum profundidad, bool stencil)
    : contexto_(std::move(contexto)),
      ancho_(ancho),
      alto_(alto),
      formatoProfundidad_(profundidad),
      stencil_(stencil),
      zEnable_(profundidad != 0 ? 1 : 0),
      mundo_(Identidad()),
      vista_(Identidad()),
      proyeccion_(Identidad()) {}

HRESULT DispositivoGL::Crear(std::shared_ptr<ContextoGL> contexto, const D3DPRESENT_PARAMETERS& pp,
                             IDirect3DDevice8** dispositivo) {
  if (!contexto->Activar() || !epoxy_is_desktop_gl() || epoxy_gl_version() < 33)
    return D3DERR_NOTAVAILABLE;
  int ancho = static_cast<int>(pp.BackBufferWidth), alto = static_cast<int>(pp.BackBufferHeight);
  if (ancho == 0 || alto == 0) {
    // A windowed back buffer of size 0 takes the window's client area.
    int w = 0, h = 0;
    contexto->ventana->TamanoCliente(&w, &h);
    if (ancho == 0) ancho = w;
    if (alto == 0) alto = h;
  }
  if (ancho <= 0 || alto <= 0) return D3DERR_INVALIDCALL;
  GLenum profundidad = 0;
  bool stencil = false;
  if (pp.EnableAutoDepthStencil) {
    // 24 bits stand in for D16 and D24X8: never less precise than asked.
    switch (pp.AutoDepthStencilFormat) {
      case D3DFMT_D16:
      case D3DFMT_D24X8:
        profundidad = GL_DEPTH_COMPONENT24;
        break;
      case D3DFMT_D24S8:
        profundidad = GL_DEPTH24_STENCIL8;
        stencil = true;
        break;
      default:
        return D3DERR_INVALIDCALL;
    }
  }
  auto* d = new DispositivoGL(contexto, static_cast<UINT>(ancho), static_cast<UINT>(alto),
                              profundidad, stencil);
  if (!d->CrearObjetosGL()) {
    d->Release();
    return D3DERR_NOTAVAILABLE;
  }
  contexto->dispositivo = d;
  *dispositivo = d;
  return D3D_OK;
}

bool DispositivoGL::CrearObjetosGL() {
  while (glGetError() != GL_NO_ERROR) {
  }
  glGenRenderbuffers(1, &colorRb_);
  glBindRenderbuffer(GL_RENDERBUFFER, colorRb_);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, static_cast<GLsizei>(ancho_),
                        static_cast<GLsizei>(alto_));
  glGenFramebuffers(1, &fbo_);
  glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colorRb_);
  if (formatoProfundidad_ != 0) {
    glGenRenderbuffers(1, &profundidadRb_);
    glBindRenderbuffer(GL_RENDERBUFFER, profundidadRb_);
    glRenderbufferStorage(GL_RENDERBUFFER, formatoProfundidad_, static_cast<GLsizei>(ancho_),
                          static_cast<GLsizei>(alto_));
    glFramebufferRenderbuffer(GL_FRAMEBUFFER,
                              stencil_ ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT,
                              GL_RENDERBUFFER, profundidadRb_);
  }
  glBindRenderbuffer(GL_RENDERBUFFER, 0);
  const bool completo = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  if (completo) {
    // A new back buffer starts black rather than with whatever GL left.
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glClearColor(0, 0, 0, 1);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | (formatoProfundidad_ != 0 ? GL_DEPTH_BUFFER_BIT : 0));
  }
  glGenVertexArrays(1, &vao_);
  glBindVertexArray(vao_);
  glGenBuffers(1, &ebo_);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ebo_);  // stays in the vertex array
  glBindVertexArray(0);
  return completo && glGetError() == GL_NO_ERROR;
}

void DispositivoGL::BorrarObjetosGL() {
  programas_.Borrar();
  for (auto& [clave, sampler] : samplers_) glDeleteSamplers(1, &sampler);
  samplers_.clear();
  glDeleteVertexArrays(1, &vao_);
  glDeleteBuffers(1, &ebo_);
  glDeleteFramebuffers(1, &fbo_);
  glDeleteRenderbuffers(1, &colorRb_);
  if (profundidadRb_ != 0) glDeleteRenderbuffers(1, &profundidadRb_);
}

DispositivoGL::~DispositivoGL() {
  // Draws never presented are dropped, as a released Direct3D device drops
  // its unfinished frame.
  indices_.clear();
  if (contexto_->dispositivo == this) contexto_->dispositivo = nullptr;
  // The device's own references on what is bound; these may be the last.
  for (TexturaGL*& t : texturas_)
    if (t != nullptr) std::exchange(t, nullptr)->Release();
  if (vb_ != nullptr) std::exchange(vb_, nullptr)->Release();
  if (contexto_->Activar())
    BorrarObjetosGL();
  else
    programas_.Olvidar();
}

void DispositivoGL::PrepararCambio() {
  Vaciar();
  ++MarcaEstadoGL();
}

// --------------------------------------------------------------- resources
HRESULT DispositivoGL::CreateTexture(UINT ancho, UINT alto, UINT niveles, DWORD usage,
                                     D3DFORMAT formato, D3DPOOL pool, IDirect3DTexture8** textura) {
  if (textura == nullptr) return D3DERR_INVALIDCALL;
  *textura = nullptr;
  const FormatoGL* f = BuscarFormato(formato);
  // Render-target and depth textures are not offered (CheckDeviceFormat
  // says so too), nor sizes beyond what 16-bit GL sizes hold.
  if (f == nullptr || usage != 0 || ancho == 0 || alto == 0 || ancho > 32768 || alto > 32768 ||
      pool > D3DPOOL_SYSTEMMEM)
    return D3DERR_INVALIDCALL;
  UINT completa = 1;
  for (UINT lado = std::max(ancho, alto); lado > 1; lado >>= 1) ++completa;
  if (niveles == 0 || niveles > completa) niveles = completa;
  if (!contexto_->Activar()) return D3DERR_DEVICELOST;
  PrepararCambio();
  TexturaGL* t = TexturaGL::Crear(contexto_, ancho, alto, niveles, *f);
  if (t == nullptr) return E_OUTOFMEMORY;
  *textura = t;
  return D3D_OK;
}

HRESULT DispositivoGL::CreateVertexBuffer(UINT longitud, DWORD usage, DWORD fvf, D3DPOOL pool,
                                          IDirect3DVertexBuffer8** vb) {
  if (vb == nullptr) return D3DERR_INVALIDCALL;
  *vb = nullptr;
  if (longitud == 0 || pool > D3DPOOL_SYSTEMMEM) return D3DERR_INVALIDCALL;
  if (!contexto_->Activar()) return D3DERR_DEVICELOST;
  PrepararCambio();
  VertexBufferGL* nuevo = VertexBufferGL::Crear(contexto_, longitud);
  if (nuevo == nullptr) return E_OUTOFMEMORY;
  *vb = nuevo;
  return D3D_OK;
}

// ------------------------------------------------------------------ scenes
HRESULT DispositivoGL::BeginScene() {
  if (enEscena_) return D3DERR_INVALIDCALL;
  enEscena_ = true;
  // Whoever shares the context may have changed GL state between frames.
  cacheValida_ = false;
  return D3D_OK;
}

HRESULT DispositivoGL::EndScene() {
  if (!enEscena_) return D3DERR_INVALIDCALL;
  enEscena_ = false;
  Vaciar();
  return contexto_->Vivo() ? D3D_OK : D3DERR_DEVICELOST;
}

HRESULT DispositivoGL::Clear(DWORD cuenta, const D3DRECT* rects, DWORD flags, D3DCOLOR color,
                             float z, DWORD stencil) {
  if (cuenta > 0 && rects == nullptr) return D3DERR_INVALIDCALL;
  if ((flags & D3DCLEAR_ZBUFFER) && formatoProfundidad_ == 0) return D3DERR_INVALIDCALL;
  if ((flags & D3DCLEAR_STENCIL) && !stencil_) return D3DERR_INVALIDCALL;
  if (!contexto_->Activar()) return D3DERR_DEVICELOST;
  PrepararCambio();
  GLbitfield bits = 0;
  if (flags & D3DCLEAR_TARGET) bits |= GL_COLOR_BUFFER_BIT;
  if (flags & D3DCLEAR_ZBUFFER) bits |= GL_DEPTH_BUFFER_BIT;
  if (flags & D3DCLEAR_STENCIL) bits |= GL_STENCIL_BUFFER_BIT;
  if (bits == 0) return D3D_OK;
  glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glDepthMask(GL_TRUE);
  glStencilMask(0xFF);
  // D3DCOLOR is ARGB; the back buffer has no alpha, so it clears opaque.
  glClearColor(static_cast<float>((color >> 16) & 255) / 255.0f,
               static_cast<float>((color >> 8) & 255) / 255.0f,
               static_cast<float>(color & 255) / 255.0f, 1.0f);
  glClearDepth(std::clamp(z, 0.0f, 1.0f));
  glClearStencil(static_cast<GLint>(stencil));
  if (cuenta == 0) {
    glDisable(GL_SCISSOR_TEST);
    glClear(bits);
    return D3D_OK;
  }
  glEnable(GL_SCISSOR_TEST);
  const auto w = static_cast<std::int32_t>(ancho_), h = static_cast<std::int32_t>(alto_);
  for (DWORD i = 0; i < cuenta; ++i) {
    const D3DRECT& r = rects[i];
    const std::int32_t x1 = std::clamp(r.x1, 0, w), x2 = std::clamp(r.x2, 0, w);
    const std::int32_t y1 = std::clamp(r.y1, 0, h), y2 = std::clamp(r.y2, 0, h);
    if (x1 >= x2 || y1 >= y2) continue;
    // Rectangles count rows from the top, GL's scissor from the bottom.
    glScissor(x1, h - y2, x2 - x1, y2 - y1);
    glClear(bits);
  }
  glDisable(GL_SCISSOR_TEST);
  return D3D_OK;
}

HRESULT DispositivoGL::Present(const RECT* origen, const RECT* destino, HWND otraVentana,
                               const RGNDATA*) {
  if (otraVentana != nullptr && otraVentana != contexto_->ventana) return D3DERR_INVALIDCALL;
  if (!contexto_->Activar()) return D3DERR_DEVICELOST;
  PrepararCambio();
  int cw = 0, ch = 0;
  contexto_->ventana->TamanoCliente(&cw, &ch);
  const GLuint destinoFbo = contexto_->ventana->FramebufferDestino();
  if (cw > 0 && ch > 0) {
    const RECT o = origen != nullptr ? *origen
                                     : RECT{0, 0, static_cast<std::int32_t>(ancho_),
                                            static_cast<std::int32_t>(alto_)};
    const RECT d = destino != nullptr ? *destino : RECT{0, 0, cw, ch};
    const auto h = static_cast<std::int32_t>(alto_);
    // Both rectangles count rows from the top; the copy keeps the image's
    // orientation, it only moves from Direct3D's row order to GL's.
    const bool mismoTamano =
        o.right - o.left == d.right - d.left && o.bottom - o.top == d.bottom - d.top;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo_);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, destinoFbo);
    glDisable(GL_SCISSOR_TEST);
    glBlitFramebuffer(o.left, h - o.bottom, o.right, h - o.top, d.left, ch - d.bottom, d.right,
                      ch - d.top, GL_COLOR_BUFFER_BIT, mismoTamano ? GL_NEAREST : GL_LINEAR);
  }
  // Leave the window's framebuffer bound, as its owner expects after a swap.
  glBindFramebuffer(GL_FRAMEBUFFER, destinoFbo);
  contexto_->ventana->Presentar();
  ++estadisticas_.presentaciones;
  // The next frame's batches go where this frame's went (SubirIndices).
  indicesCuadro_ = 0;
  return D3D_OK;
}

// ------------------------------------------------------------------ states
HRESULT DispositivoGL::SetTransform(D3DTRANSFORMSTATETYPE tipo, const D3DMATRIX* matriz) {
  if (matriz == nullptr) return D3DERR_INVALIDCALL;
  D3DMATRIX* destino = nullptr;
  switch (tipo) {
    case D3DTS_WORLD:
      destino = &mundo_;
      break;
    case D3DTS_VIEW:
      destino = &vista_;
      break;
    case D3DTS_PROJECTION:
      destino = &proyeccion_;
      break;
    default:
      return D3D_OK;  // texture transforms and the like: not used, kept silent
  }
  if (std::memcmp(destino, matriz, sizeof(D3DMATRIX)) == 0) return D3D_OK;
  // Queued draws were issued with the old matrix; they go first.
  Vaciar();
  *destino = *matriz;
  ++generacion_;
  return D3D_OK;
}

HRESULT DispositivoGL::SetRenderState(D3DRENDERSTATETYPE tipo, DWORD valor) {
  switch (tipo) {
    case D3DRS_ZENABLE:
      zEnable_ = valor;
      break;
    case D3DRS_FILLMODE:
      relleno_ = valor;
      break;
    case D3DRS_SHADEMODE:
      sombreado_ = valor;
      break;
    case D3DRS_ZWRITEENABLE:
      zWrite_ = valor;
      break;
    case D3DRS_CULLMODE:
      cull_ = valor;
      break;
    case D3DRS_ZFUNC:
      zFunc_ = valor;
      break;
    case D3DRS_LIGHTING:
      iluminacion_ = valor;
      break;
    default:
      break;  // states this implementation does not draw with
  }
  return D3D_OK;
}

HRESULT DispositivoGL::SetTexture(DWORD etapa, IDirect3DTexture8* textura) {
  if (etapa >= texturas_.size()) return D3DERR_INVALIDCALL;
  auto* nueva = dynamic_cast<TexturaGL*>(textura);
  if (textura != nullptr && (nueva == nullptr || nueva->Contexto() != contexto_.get()))
    return D3DERR_INVALIDCALL;
  if (nueva == texturas_[etapa]) return D3D_OK;
  // Like Direct3D, the device holds a reference on what is bound.
  if (nueva != nullptr) nueva->AddRef();
  if (TexturaGL* vieja = std::exchange(texturas_[etapa], nueva)) vieja->Release();
  return D3D_OK;
}

HRESULT DispositivoGL::SetTextureStageState(DWORD etapa, D3DTEXTURESTAGESTATETYPE tipo,
                                            DWORD valor) {
  if (etapa >= texturas_.size()) return D3DERR_INVALIDCALL;
  if (etapa != 0) return D3D_OK;  // only stage 0 is drawn with
  switch (tipo) {
    case D3DTSS_COLOROP:
      operacion_ = valor;
      break;
    case D3DTSS_COLORARG1:
      argumento1_ = valor;
      break;
    case D3DTSS_COLORARG2:
      argumento2_ = valor;
      break;
    case D3DTSS_MAGFILTER:
      filtroMag_ = valor;
      break;
    case D3DTSS_MINFILTER:
      filtroMin_ = valor;
      break;
    case D3DTSS_MIPFILTER:
      filtroMip_ = valor;
      break;
    default:
      break;  // alpha operations: the back buffer keeps no alpha
  }
  return D3D_OK;
}

HRESULT DispositivoGL::SetStreamSource(UINT flujo, IDirect3DVertexBuffer8* vb, UINT stride) {
  if (flujo >= 16) return D3DERR_INVALIDCALL;
  auto* nuevo = dynamic_cast<VertexBufferGL*>(vb);
  if (vb != nullptr && (nuevo == nullptr || nuevo->Contexto() != contexto_.get()))
    return D3DERR_INVALIDCALL;
  if (flujo != 0) return D3D_OK;  // flexible vertex formats read stream 0 only
  stride_ = stride;
  if (nuevo == vb_) return D3D_OK;
  if (nuevo != nullptr) nuevo->AddRef();
  if (VertexBufferGL* viejo = std::exchange(vb_, nuevo)) viejo->Release();
  return D3D_OK;
}

HRESULT DispositivoGL::SetVertexShader(DWORD fvf) {
  const FormatoVertice f = AnalizarFVF(fvf);
  if (!f.valido) return D3DERR_INVALIDCALL;
  fvf_ = fvf;
  formatoVertice_ = f;
  return D3D_OK;
}

// ----------------------------------------------------------------- drawing
DispositivoGL::Lote DispositivoGL::LoteActual(GLenum primitiva) const {
  Lote l;
  l.vbo = vb_->Nombre();
  l.stride = stride_;
  l.fvf = fvf_;
  if (texturas_[0] != nullptr) {
    l.textura = texturas_[0]->Arreglo();
    l.capas = vb_->Capas().Nombre();
  }
  l.operacion = operacion_;
  l.argumento1 = argumento1_;
  l.argumento2 = argumento2_;
  l.filtroMag = filtroMag_;
  l.filtroMin = filtroMin_;
  l.filtroMip = filtroMip_;
  l.relleno = relleno_;
  l.cull = cull_;
  l.sombreado = sombreado_;
  l.iluminacion = iluminacion_ != 0;
  // Without a depth buffer, depth testing has nothing to test against.
  l.zEnable = formatoProfundidad_ != 0 && zEnable_ != 0;
  l.zWrite = zWrite_ != 0;
  l.zFunc = zFunc_;
  l.primitiva = primitiva;
  return l;
}

HRESULT DispositivoGL::DrawPrimitive(D3DPRIMITIVETYPE tipo, UINT inicio, UINT cuenta) {
  if (!enEscena_ || vb_ == nullptr || fvf_ == 0 || stride_ == 0) return D3DERR_INVALIDCALL;
  const std::uint64_t vertices = VerticesDe(tipo, cuenta);
  if (vertices == 0 && cuenta != 0) return D3DERR_INVALIDCALL;
  if (cuenta == 0) return D3D_OK;
  // Every vertex read must lie inside the buffer: GL would read past it.
  const std::uint64_t finBytes =
      (std::uint64_t{inicio} + vertices - 1) * stride_ + formatoVertice_.tamano;
  if (finBytes > vb_->Longitud() || std::uint64_t{inicio} + vertices > 0xFFFFFFFFull)
    return D3DERR_INVALIDCALL;
  const GLuint fin = inicio + static_cast<GLuint>(vertices);
  if (const HRESULT hr = HacerSitioATextura(); FAILED(hr)) return hr;
  const Lote lote = LoteActual(PrimitivaGL(tipo));
  if (!indices_.empty() && !(lote == lote_)) Vaciar();
  if (texturas_[0] != nullptr) DarCapa(inicio, fin);
  if (indices_.empty()) {
    lote_ = lote;
    vbLote_ = vb_;
    indiceMenor_ = inicio;
    indiceMayor_ = fin - 1;
  } else {
    indiceMenor_ = std::min<GLuint>(indiceMenor_, inicio);
    indiceMayor_ = std::max<GLuint>(indiceMayor_, fin - 1);
  }
  AgregarIndices(indices_, tipo, inicio, cuenta);
  ++estadisticas_.dibujosD3D;
  return D3D_OK;
}

HRESULT DispositivoGL::HacerSitioATextura() {
  TexturaGL* t = texturas_[0];
  if (t == nullptr || t->EnGL()) return D3D_OK;
  if (!contexto_->Activar()) return D3DERR_DEVICELOST;
  // Growing replaces the array's GL texture; the array draws the queue
  // first, which may use the old one, and the key then names the new one.
  return t->HacerSitio() ? D3D_OK : E_OUTOFMEMORY;
}

void DispositivoGL::DarCapa(UINT inicio, std::uint32_t fin) {
  CapasVertices& capas = vb_->Capas();
  const GLushort capa = texturas_[0]->Capa();
  if (capas.Asignar(inicio, fin, capa, numeroLote_)) return;
  // A vertex the queue already samples another layer with: both draws
  // share it but not a page, and one GL draw cannot give it two layers.
  Vaciar();
  capas.Asignar(inicio, fin, capa, numeroLote_);
}

void DispositivoGL::Vaciar() {
  if (indices_.empty()) return;
  if (contexto_->Activar()) {
    Aplicar(lote_);
    if (programaActual_ != nullptr) {
      if (lote_.capas != 0) vbLote_->Capas().Subir();
      const GLintptr desplazamiento = SubirIndices();
      // The range spares GL a pass over the indices to find it.
      glDrawRangeElements(lote_.primitiva, indiceMenor_, indiceMayor_,
                          static_cast<GLsizei>(indices_.size()), GL_UNSIGNED_INT,
                          reinterpret_cast<const void*>(desplazamiento));
      ++estadisticas_.dibujosGL;
    }
  }
  indices_.clear();
  ++numeroLote_;
}

GLintptr DispositivoGL::SubirIndices() {
  // A frame that never presents would grow the buffer without end; past
  // this many indices it starts again from the front.
  constexpr std::size_t kMaxIndicesCuadro = std::size_t{1} << 22;
  const std::size_t n = indices_.size();
  if (indicesCuadro_ + n > kMaxIndicesCuadro) indicesCuadro_ = 0;
  const std::size_t inicio = indicesCuadro_, fin = inicio + n;
  indicesCuadro_ = fin;
  const auto destino = indicesGL_.begin() + static_cast<std::ptrdiff_t>(inicio);
  if (fin <= indicesGL_.size() && std::equal(indices_.begin(), indices_.end(), destino))
    return static_cast<GLintptr>(inicio * sizeof(GLuint));
  if (fin > indicesGL_.size()) indicesGL_.resize(fin);
  std::copy(indices_.begin(), indices_.end(),
            indicesGL_.begin() + static_cast<std::ptrdiff_t>(inicio));
  if (fin > capacidadIndicesGL_) {
    // Doubling: a frame's first pass grows the buffer a few times at most.
    capacidadIndicesGL_ = std::max(fin, 2 * capacidadIndicesGL_);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(capacidadIndicesGL_ * sizeof(GLuint)), nullptr,
                 GL_DYNAMIC_DRAW);
    glBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0,
                    static_cast<GLsizeiptr>(indicesGL_.size() * sizeof(GLuint)), indicesGL_.data());
  } else {
    glBufferSubData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLintptr>(inicio * sizeof(GLuint)),
                    static_cast<GLsizeiptr>(n * sizeof(GLuint)), indices_.data());
  }
  return static_cast<GLintptr>(inicio * sizeof(GLuint));
}

GLuint DispositivoGL::Sampler(DWORD mag, DWORD min, DWORD mip) {
  // Filters other than point (none, anisotropic, ...) are drawn linear;
  // "none" stands for point as Direct3D treats it for min and mag.
  auto lineal = [](DWORD f) { return f >= D3DTEXF_LINEAR; };
  const std::uint32_t clave = (lineal(mag) ? 1u : 0u) | (lineal(min) ? 2u : 0u) |
                              (std::min<DWORD>(mip, D3DTEXF_LINEAR) << 2);
  auto it = samplers_.find(clave);
  if (it != samplers_.end()) return it->second;
  GLuint s = 0;
  glGenSamplers(1, &s);
  glSamplerParameteri(s, GL_TEXTURE_MAG_FILTER, lineal(mag) ? GL_LINEAR : GL_NEAREST);
  // With no mip filter only level 0 is sampled, whatever the chain holds.
  static constexpr GLint kMin[2][3] = {
      {GL_NEAREST, GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST_MIPMAP_LINEAR},
      {GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR_MIPMAP_LINEAR}};
  glSamplerParameteri(s, GL_TEXTURE_MIN_FILTER, kMin[lineal(min) ? 1 : 0][std::min<DWORD>(mip, 2)]);
  // Direct3D's default addressing is wrap.
  glSamplerParameteri(s, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glSamplerParameteri(s, GL_TEXTURE_WRAP_T, GL_REPEAT);
  samplers_.emplace(clave, s);
  return s;
}

void DispositivoGL::EnlazarVertices(const Lote& l) {
  const FormatoVertice f = AnalizarFVF(l.fvf);
  glBindBuffer(GL_ARRAY_BUFFER, l.vbo);
  glEnableVertexAttribArray(kAtributoPosicion);
  glVertexAttribPointer(kAtributoPosicion, 3, GL_FLOAT, GL_FALSE, static_cast<GLsizei>(l.stride),
                        nullptr);
  if (f.color >= 0) {
    // D3DCOLOR lies in memory as B, G, R, A bytes, which GL_BGRA reorders.
    glEnableVertexAttribArray(kAtributoColor);
    glVertexAttribPointer(kAtributoColor, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE,
                          static_cast<GLsizei>(l.stride),
                          reinterpret_cast<const void*>(static_cast<std::uintptr_t>(f.color)));
  } else {
    // A format without colour is drawn as if every vertex were opaque white.
    glDisableVertexAttribArray(kAtributoColor);
    glVertexAttrib4f(kAtributoColor, 1, 1, 1, 1);
  }
  if (f.uv >= 0) {
    glEnableVertexAttribArray(kAtributoUV);
    glVertexAttribPointer(kAtributoUV, 2, GL_FLOAT, GL_FALSE, static_cast<GLsizei>(l.stride),
                          reinterpret_cast<const void*>(static_cast<std::uintptr_t>(f.uv)));
  } else {
    glDisableVertexAttribArray(kAtributoUV);
    glVertexAttrib2f(kAtributoUV, 0, 0);
  }
  if (l.capas != 0) {
    glBindBuffer(GL_ARRAY_BUFFER, l.capas);
    glEnableVertexAttribArray(kAtributoCapa);
    glVertexAttribPointer(kAtributoCapa, 1, GL_UNSIGNED_SHORT, GL_FALSE, 0, nullptr);
  } else {
    // Untextured programs do not read it.
    glDisableVertexAttribArray(kAtributoCapa);
    glVertexAttrib1f(kAtributoCapa, 0);
  }
}

void DispositivoGL::SubirTransformacion(ProgramaGL& programa) {
  if (generacionWvp_ != generacion_) {
    const D3DMATRIX wvp = Producto(Producto(mundo_, vista_), proyeccion_);
    std::memcpy(wvp_, wvp.m, sizeof wvp_);
    generacionWvp_ = generacion_;
  }
  if (programa.generacion != generacion_) {
    glUniformMatrix4fv(programa.transformacion, 1, GL_FALSE, wvp_);
    programa.generacion = generacion_;
  }
}

void DispositivoGL::Aplicar(const Lote& e) {
  const bool todo = !cacheValida_ || marcaAplicada_ != MarcaEstadoGL();
  const Lote& a = aplicado_;
  if (todo) {
    glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
    glViewport(0, 0, static_cast<GLsizei>(ancho_), static_cast<GLsizei>(alto_));
    glBindVertexArray(vao_);
    glActiveTexture(GL_TEXTURE0);
    glDisable(GL_BLEND);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_STENCIL_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    // Direct3D shades a flat triangle with its first vertex.
    glProvokingVertex(GL_FIRST_VERTEX_CONVENTION);
    glFrontFace(GL_CCW);
    programaActual_ = nullptr;
  }
  if (todo || e.vbo != a.vbo || e.stride != a.stride || e.fvf != a.fvf || e.capas != a.capas)
    EnlazarVertices(e);
  if (todo || e.textura != a.textura) glBindTexture(GL_TEXTURE_2D_ARRAY, e.textura);
  if (todo || e.filtroMag != a.filtroMag || e.filtroMin != a.filtroMin ||
      e.filtroMip != a.filtroMip)
    glBindSampler(0, Sampler(e.filtroMag, e.filtroMin, e.filtroMip));
  if (todo || e.relleno != a.relleno) {
    const GLenum modo = e.relleno == D3DFILL_POINT       ? GL_POINT
                        : e.relleno == D3DFILL_WIREFRAME ? GL_LINE
                                                         : GL_FILL;
    glPolygonMode(GL_FRONT_AND_BACK, modo);
  }
  if (todo || e.cull != a.cull) {
    // Nothing is flipped between GL's window and the image shown (see the
    // header), so a face GL finds counter-clockwise (its front, with
    // glFrontFace(GL_CCW)) is one Direct3D sees counter-clockwise too.
    if (e.cull == D3DCULL_CCW || e.cull == D3DCULL_CW) {
      glEnable(GL_CULL_FACE);
      glCullFace(e.cull == D3DCULL_CCW ? GL_FRONT : GL_BACK);
    } else {
      glDisable(GL_CULL_FACE);
    }
  }
  if (todo || e.zEnable != a.zEnable) {
    if (e.zEnable)
      glEnable(GL_DEPTH_TEST);
    else
      glDisable(GL_DEPTH_TEST);
  }
  if (todo || e.zWrite != a.zWrite) glDepthMask(e.zWrite ? GL_TRUE : GL_FALSE);
  if (todo || e.zFunc != a.zFunc) glDepthFunc(FuncionProfundidad(e.zFunc));

  ClavePrograma clave;
  clave.operacion = e.operacion;
  clave.argumento1 = e.argumento1;
  clave.argumento2 = e.argumento2;
  clave.textura = e.textura != 0;
  clave.plano = e.sombreado == D3DSHADE_FLAT;
  clave.iluminacion = e.iluminacion != 0;
  ProgramaGL* programa = programas_.Obtener(clave);
  if (programa != programaActual_ || todo) {
    if (programa != nullptr) glUseProgram(programa->nombre);
    programaActual_ = programa;
  }
  if (programa != nullptr) SubirTransformacion(*programa);
  aplicado_ = e;
  cacheValida_ = true;
  marcaAplicada_ = ++MarcaEstadoGL();
}

// ------------------------------------------------------------ statistics
}  // namespace gl8

bool LeerEstadisticasD3D8GL(IDirect3DDevice8* dispositivo, EstadisticasD3D8GL* estadisticas) {
  auto* d = dynamic_cast<gl8::DispositivoGL*>(dispositivo);
  if (d == nullptr || estadisticas == nullptr) return false;
  *estadisticas = d->Estadisticas();
  return true;
}
