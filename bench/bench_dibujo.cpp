// Drawing and opening with the OpenGL implementation, each against a floor
// measured in the same run:
//
// - cuadro/<level>: one viewer frame of the level's largest mesh (clear, the
//   five transforms, the per-polygon draw, present) into the 321 x 385
//   offscreen window. Floor dibujo_unico/<level>: clear, the same triangles
//   (quads split in two) drawn from one vertex buffer as one triangle list
//   with one texture and the draw loop's states, present.
//   Both wait for the GPU to finish, so the rasterising is measured too.
// - abrir_completo/<level>: opening up to the first frame: read, mesh list,
//   32-bit pages, conversion and upload, one frame of mesh 0 (and releasing
//   them all).
//   Floor: inflar/<level>, zlib alone, from bench_abrir.cpp.

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "geometry/ConvertirMeshes.h"
#include "geometry/dxBufferTextura.h"
#include "level/Lista_Mesh.h"
#include "level/trNivel.h"
#include "niveles.h"
#include "ratios.h"
#include "render/Cuadro.h"
#include "render/dxDevice8.h"
#include "render/dxMain.h"
#include "render/gl/D3D8GL.h"
#include "render/gl/VentanaEGL.h"
#include "render/trTextura.h"

namespace {

// A level opened as the viewer opens it, on its own offscreen window.
struct Escena {
  std::unique_ptr<VentanaEGL> ventana;
  std::unique_ptr<FabricaD3D8Temporal> fabrica;
  dxMain contexto;
  std::unique_ptr<dxDevice8> dispositivo;
  trNivel nivel;
  std::unique_ptr<Lista_Mesh> lista;
  std::unique_ptr<trTextura> paginas;
  trMesh* mesh = nullptr;  // the mesh with the most polygons
  dxBufferTextura* buffer = nullptr;

  ~Escena() {
    lista.reset();
    paginas.reset();
    dispositivo.reset();
  }

  bool Abrir(const std::string& ruta, std::string* motivo) {
    ventana = VentanaEGL::Crear(kAnchoPanel, kAltoPanel, motivo);
    if (!ventana) return false;
    fabrica = std::make_unique<FabricaD3D8Temporal>(FabricaD3D8GL(ventana.get()));
    dxDevice8* creado = nullptr;
    contexto.CrearContexto();
    contexto.CrearDispositivo(ventana.get(), true, &creado);
    dispositivo.reset(creado);
    if (!dispositivo || !dispositivo->Dispositivo() || !LeerNivel(ruta.c_str(), &nivel, motivo))
      return false;
    PrepararDispositivo(*dispositivo, AspectoVentana(kAnchoFormulario, kAltoFormulario));
    Lista_Mesh* l = nullptr;
    LeerMeshes(nivel.palabrasMesh.data(), 2 * nivel.cantidadPalabrasMesh, &l);
    lista.reset(l);
    if (!lista) return false;
    paginas = std::make_unique<trTextura>(&nivel);
    paginas->CargarPaginas32(dispositivo.get());
    ConvertirMeshes(*lista, dispositivo.get(), paginas.get(), nivel);
    std::int32_t mayor = -1;
    for (std::int32_t i = 0; i < lista->Cantidad(); ++i) {
      dxBufferTextura* b = lista->ObtenerBuffer(i);
      const std::int32_t poligonos = b->NumTriangulos() + b->NumCuadrados();
      if (poligonos > mayor && b->ObtenerVertexBuffer() != nullptr) {
        mayor = poligonos;
        buffer = b;
        lista->ObtenerMesh(i, &mesh);
      }
    }
    SeleccionarMesh(*dispositivo, *mesh);
    return buffer != nullptr;
  }
};

void Cuadro(benchmark::State& estado, const std::string& ruta) {
  Escena escena;
  std::string motivo;
  if (!escena.Abrir(ruta, &motivo)) {
    estado.SkipWithError(motivo.c_str());
    return;
  }
  VistaMesh vista;
  vista.buffer = escena.buffer;
  for (auto _ : estado) {
    DibujarCuadro(*escena.dispositivo, vista, escena.mesh);
    escena.ventana->Esperar();
  }
  estado.counters["poligonos"] = escena.buffer->NumTriangulos() + escena.buffer->NumCuadrados();
  EstadisticasD3D8GL e;
  if (LeerEstadisticasD3D8GL(escena.dispositivo->Dispositivo(), &e) && e.presentaciones > 0)
    estado.counters["dibujos_gl"] = static_cast<double>(e.dibujosGL) / e.presentaciones;
}

// The frame's triangles as one list: each packed quad (a strip of 4) becomes
// its two triangles, each triangle stays as it is.
std::vector<dxVerticeTex> ComoLista(const dxBufferTextura& b) {
  const auto* v = static_cast<const dxVerticeTex*>(b.DatosVertices());
  std::vector<dxVerticeTex> lista;
  std::int32_t a = 0;
  for (std::int32_t i = 0; i < b.NumTriangulos() + b.NumCuadrados(); ++i) {
    if (b.FlagsPoligono(i) & DIBUJO_CUADRADO) {
      for (int k : {0, 1, 2, 2, 1, 3}) lista.push_back(v[a + k]);
      a += 4;
    } else {
      for (int k : {0, 1, 2}) lista.push_back(v[a + k]);
      a += 3;
    }
  }
  return lista;
}

void DibujoUnico(benchmark::State& estado, const std::string& ruta) {
  Escena escena;
  std::string motivo;
  if (!escena.Abrir(ruta, &motivo)) {
    estado.SkipWithError(motivo.c_str());
    return;
  }
  IDirect3DDevice8* d = escena.dispositivo->Dispositivo();
  dxBufferTextura& b = *escena.buffer;
  const std::vector<dxVerticeTex> lista = ComoLista(b);
  const UINT bytes = static_cast<UINT>(lista.size() * sizeof(dxVerticeTex));
  IDirect3DVertexBuffer8* vb = nullptr;
  BYTE* memoria = nullptr;
  if (FAILED(d->CreateVertexBuffer(bytes, 0, b.ObtenerFVF(), D3DPOOL_DEFAULT, &vb)) ||
      FAILED(vb->Lock(0, bytes, &memoria, 0))) {
    estado.SkipWithError("no vertex buffer");
    return;
  }
  std::memcpy(memoria, lista.data(), bytes);
  vb->Unlock();
  // The world matrix of the frame with the initial view: scale 6, then the
  // move to the mesh's centre, so both draw the same pixels.
  D3DXMATRIX escala, centro, mundo;
  D3DXMatrixScaling(&escala, 6, 6, 6);
  D3DXMatrixTranslation(&centro, escena.mesh->centroX, -escena.mesh->centroY, escena.mesh->centroZ);
  D3DXMatrixMultiply(&mundo, &escala, &centro);
  // The states the viewer's draw loop sets before every polygon, set once,
  // so that the floor does the frame's work per pixel (bilinear sampling,
  // the texel alone, no lighting) and differs only in being one draw with
  // one page. Left at the device's defaults it sampled the nearest texel
  // and lit every pixel black, which on llvmpipe costs about half as much
  // per pixel as the frame's bilinear filtering.
  d->SetRenderState(D3DRS_LIGHTING, 0);
  d->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
  d->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
  d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
  d->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
  d->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
  d->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
  for (auto _ : estado) {
    escena.dispositivo->Limpiar(true);
    d->SetStreamSource(0, vb, sizeof(dxVerticeTex));
    d->SetVertexShader(b.ObtenerFVF());
    d->SetTransform(D3DTS_WORLD, &mundo);
    d->SetTexture(0, b.TexturaPoligono(0));
    d->BeginScene();
    d->DrawPrimitive(D3DPT_TRIANGLELIST, 0, static_cast<UINT>(lista.size() / 3));
    d->EndScene();
    escena.dispositivo->Presentar();
    escena.ventana->Esperar();
  }
  vb->Release();
}

void AbrirCompleto(benchmark::State& estado, const std::string& ruta) {
  std::string motivo;
  std::unique_ptr<VentanaEGL> ventana = VentanaEGL::Crear(kAnchoPanel, kAltoPanel, &motivo);
  if (!ventana) {
    estado.SkipWithError(motivo.c_str());
    return;
  }
  FabricaD3D8Temporal fabrica(FabricaD3D8GL(ventana.get()));
  dxMain contexto;
  dxDevice8* creado = nullptr;
  contexto.CrearContexto();
  contexto.CrearDispositivo(ventana.get(), true, &creado);
  std::unique_ptr<dxDevice8> dispositivo(creado);
  for (auto _ : estado) {
    trNivel nivel;
    if (!LeerNivel(ruta.c_str(), &nivel, &motivo)) {
      estado.SkipWithError(motivo.c_str());
      break;
    }
    Lista_Mesh* l = nullptr;
    LeerMeshes(nivel.palabrasMesh.data(), 2 * nivel.cantidadPalabrasMesh, &l);
    std::unique_ptr<Lista_Mesh> lista(l);
    auto paginas = std::make_unique<trTextura>(&nivel);
    paginas->CargarPaginas32(dispositivo.get());
    if (lista) ConvertirMeshes(*lista, dispositivo.get(), paginas.get(), nivel);
    // The OpenGL layer finishes placing new pages on the GPU when a draw
    // first needs them, so opening counts until mesh 0's first frame is done.
    trMesh* primero = nullptr;
    if (lista && lista->ObtenerMesh(0, &primero)) {
      SeleccionarMesh(*dispositivo, *primero);
      VistaMesh vista;
      vista.buffer = lista->ObtenerBuffer(0);
      DibujarCuadro(*dispositivo, vista, primero);
    }
    ventana->Esperar();
    lista.reset();
    paginas.reset();
  }
}

bool Registrar() {
  for (const NivelBanco& n : NivelesBanco()) {
    benchmark::RegisterBenchmark(("cuadro/" + n.nombre).c_str(), Cuadro, n.ruta)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("dibujo_unico/" + n.nombre).c_str(), DibujoUnico, n.ruta)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("abrir_completo/" + n.nombre).c_str(), AbrirCompleto, n.ruta)
        ->Unit(benchmark::kMillisecond);
  }
  const std::string mayor = MayorNivelBanco();
  if (!mayor.empty()) {
    RegistrarRatio("frame_vs_single_draw", "cuadro/" + mayor, "dibujo_unico/" + mayor);
    RegistrarRatio("full_open_vs_inflate", "abrir_completo/" + mayor, "inflar/" + mayor);
  }
  return true;
}

const bool registrado = Registrar();

}  // namespace
