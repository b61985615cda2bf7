// IDirect3DDevice8 on OpenGL 3.3 core.
//
// The device renders into its own back buffer (a framebuffer object of the
// back-buffer size with a depth buffer) and Present copies that into the
// window's framebuffer. Nothing is flipped: GL's window y grows upward and
// Direct3D's viewport y grows downward, but both put clip y = +1 at the top
// of the image a person sees, so the back buffer is already the right way
// up and a face looks clockwise on screen in GL exactly when it does in
// Direct3D.
//
// Draw merging. The render classes issue one DrawPrimitive per polygon and
// set every state again before each one. State setters therefore only store
// values; DrawPrimitive turns its primitives into indices and appends them
// to a queue together with a key of every state the draw depends on. A draw
// whose key differs from the queue's first draws the queue (one indexed GL
// draw) and starts a new one; EndScene, Clear, Present, a transform change
// and any change to a texture or vertex buffer also draw it. Comparing keys
// at draw time, not at every setter, is what lets "cull none, then cull
// counter-clockwise" before each polygon cost nothing. GL state is applied
// only at those flushes and only where it differs from what is bound.
//
// A texture is a layer of an array texture shared by the textures of its
// size and format (see ArreglosGL.h), so the key holds the array, not the
// texture: a mesh whose polygons switch between pages of one array stays
// one GL draw. What tells each polygon its page is a per-vertex layer that
// DrawPrimitive writes for the draw's vertices into a stream kept beside
// the vertex buffer (CapasVertices); the shaders sample the array at that
// layer. Two queued draws that share a vertex but not a layer cannot be one
// GL draw, and the queue is drawn between them.
//
// The frame's indices go one batch after another into a single element
// buffer, so a frame redrawn unchanged finds every batch where the last
// frame put it and sends no index at all.
#pragma once

#include <epoxy/gl.h>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "render/gl/ContextoGL.h"
#include "render/gl/D3D8GL.h"
#include "render/gl/ObjetoCOM.h"
#include "render/gl/ProgramasGL.h"

namespace gl8 {

class TexturaGL;
class VertexBufferGL;

// Where a flexible vertex format puts what the shaders read; offsets in
// bytes, -1 when absent.
struct FormatoVertice {
  bool valido = false;
  UINT tamano = 0;
  int color = -1;
  int uv = -1;
};
FormatoVertice AnalizarFVF(DWORD fvf);

class DispositivoGL final : public ObjetoCOM<IDirect3DDevice8> {
 public:
  // The window's context must be current. Fails with D3DERR_NOTAVAILABLE
  // when GL 3.3 or the back buffer cannot be had.
  static HRESULT Crear(std::shared_ptr<ContextoGL> contexto, const D3DPRESENT_PARAMETERS& pp,
                       IDirect3DDevice8** dispositivo);

  HRESULT CreateTexture(UINT ancho, UINT alto, UINT niveles, DWORD usage, D3DFORMAT formato,
                        D3DPOOL pool, IDirect3DTexture8** textura) override;
  HRESULT CreateVertexBuffer(UINT longitud, DWORD usage, DWORD fvf, D3DPOOL pool,
                             IDirect3DVertexBuffer8** vb) override;
  HRESULT BeginScene() override;
  HRESULT EndScene() override;
  HRESULT Clear(DWORD cuenta, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                DWORD stencil) override;
  HRESULT Present(const RECT* origen, const RECT* destino, HWND otraVentana,
                  const RGNDATA* region) override;
  HRESULT SetTransform(D3DTRANSFORMSTATETYPE tipo, const D3DMATRIX* matriz) override;
  HRESULT SetRenderState(D3DRENDERSTATETYPE tipo, DWORD valor) override;
  HRESULT SetTexture(DWORD etapa, IDirect3DTexture8* textura) override;
  HRESULT SetTextureStageState(DWORD etapa, D3DTEXTURESTAGESTATETYPE tipo, DWORD valor) override;
  HRESULT SetStreamSource(UINT flujo, IDirect3DVertexBuffer8* vb, UINT stride) override;
  HRESULT SetVertexShader(DWORD fvf) override;
  HRESULT DrawPrimitive(D3DPRIMITIVETYPE tipo, UINT inicio, UINT cuenta) override;

  // Draws the queue and marks GL state as changed (see MarcaEstadoGL);
  // ContextoGL::PrepararCambio comes here.
  void PrepararCambio();
  const EstadisticasD3D8GL& Estadisticas() const { return estadisticas_; }

 private:
  // Everything a queued draw depends on; draws merge only when equal.
  struct Lote {
    GLuint vbo = 0;
    UINT stride = 0;
    DWORD fvf = 0;
    GLuint textura = 0;  // stage 0's array texture
    GLuint capas = 0;    // the vertex buffer's layer stream when textured
    DWORD operacion = 0, argumento1 = 0, argumento2 = 0;
    DWORD filtroMag = 0, filtroMin = 0, filtroMip = 0;
    DWORD relleno = 0, cull = 0, sombreado = 0, iluminacion = 0;
    DWORD zEnable = 0, zWrite = 0, zFunc = 0;
    GLenum primitiva = GL_TRIANGLES;
    bool operator==(const Lote&) const = default;
  };

  DispositivoGL(std::shared_ptr<ContextoGL> contexto, UINT ancho, UINT alto, GLenum profundidad,
                bool stencil);
  ~DispositivoGL() override;
  bool CrearObjetosGL();
  void BorrarObjetosGL();

  Lote LoteActual(GLenum primitiva) const;
  HRESULT HacerSitioATextura();
  void DarCapa(UINT inicio, std::uint32_t fin);
  void Vaciar();
  GLintptr SubirIndices();
  void Aplicar(const Lote& lote);
  void EnlazarVertices(const Lote& lote);
  GLuint Sampler(DWORD mag, DWORD min, DWORD mip);
  void SubirTransformacion(ProgramaGL& programa);

  std::shared_ptr<ContextoGL> contexto_;
  const UINT ancho_, alto_;
  const GLenum formatoProfundidad_;  // 0: no depth buffer
  const bool stencil_;
  GLuint fbo_ = 0, colorRb_ = 0, profundidadRb_ = 0, vao_ = 0, ebo_ = 0;
  std::map<std::uint32_t, GLuint> samplers_;
  ProgramasGL programas_;

  // Direct3D state as last set.
  std::array<TexturaGL*, 8> texturas_{};
  VertexBufferGL* vb_ = nullptr;
  UINT stride_ = 0;
  DWORD fvf_ = 0;
  FormatoVertice formatoVertice_;
  DWORD zEnable_, relleno_ = D3DFILL_SOLID, sombreado_ = D3DSHADE_GOURAUD, zWrite_ = 1,
                  cull_ = D3DCULL_CCW, zFunc_ = D3DCMP_LESSEQUAL, iluminacion_ = 1;
  DWORD operacion_ = D3DTOP_MODULATE, argumento1_ = D3DTA_TEXTURE, argumento2_ = D3DTA_CURRENT,
        filtroMag_ = D3DTEXF_POINT, filtroMin_ = D3DTEXF_POINT, filtroMip_ = D3DTEXF_NONE;
  D3DMATRIX mundo_, vista_, proyeccion_;
  std::uint64_t generacion_ = 0;  // bumped by every transform change
  std::uint64_t generacionWvp_ = ~std::uint64_t{0};
  float wvp_[16];
  bool enEscena_ = false;

  // The queue of merged draws.
  Lote lote_;
  // The queue's vertex buffer: one that goes away draws the queue first.
  VertexBufferGL* vbLote_ = nullptr;
  std::vector<GLuint> indices_;
  GLuint indiceMenor_ = 0, indiceMayor_ = 0;  // the vertices the queue reads
  std::uint64_t numeroLote_ = 1;              // counts queues drawn, for CapasVertices

  // The element buffer: what it holds, how many indices it has room for,
  // and how many this frame has used.
  std::vector<GLuint> indicesGL_;
  std::size_t capacidadIndicesGL_ = 0;
  std::size_t indicesCuadro_ = 0;

  // GL state believed bound; invalid after anyone else may have touched it.
  bool cacheValida_ = false;
  std::uint64_t marcaAplicada_ = 0;
  Lote aplicado_;
  ProgramaGL* programaActual_ = nullptr;

  EstadisticasD3D8GL estadisticas_;
};

}  // namespace gl8
