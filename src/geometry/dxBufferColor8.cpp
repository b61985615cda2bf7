#include "geometry/dxBufferColor8.h"

#include <cstring>

dxBufferColor8::dxBufferColor8() { D3DXMatrixIdentity(&mundo); }

dxBufferColor8::~dxBufferColor8() {
  if (vertexBuffer != nullptr) {
    vertexBuffer->Release();
    vertexBuffer = nullptr;
  }
}

bool dxBufferColor8::AceptaPoligono(const dxPoligono& poligono) const {
  return EsExactamente<dxTriangulo>(poligono) || EsExactamente<dxCuadrado>(poligono);
}

std::int32_t dxBufferColor8::AgregarPoligono(dxPoligono* poligono) {
  std::unique_ptr<dxPoligono> propio(poligono);
  if (!propio || !AceptaPoligono(*propio)) return E_FAIL;
  // The exact class decides: a textured triangle derives from the coloured
  // triangle, but both count as triangles and neither as a quad.
  if (EsExactamente<dxTriangulo>(*propio) || EsExactamente<dxTrianguloTex>(*propio))
    ++numTriangulos;
  else
    ++numCuadrados;
  poligonos.push_back(std::move(propio));
  cambiado = true;
  return 0;
}

void dxBufferColor8::PrepararFlags() {
  numPoligonosEmpaquetados = numTriangulos + numCuadrados;
  // Not zero-filled: the packing loop writes every entry.
  flagsPoligonos = std::make_unique_for_overwrite<DWORD[]>(numPoligonosEmpaquetados);
}

std::int32_t dxBufferColor8::Empaquetar() {
  if (!cambiado) return -1;
  PrepararFlags();
  datosColor = std::make_unique_for_overwrite<dxVerticeColor[]>(NumVertices());
  std::int32_t i = 0, a = 0;
  RecorrerEnOrdenDeEmpaquetado([&](const dxPoligono& p) {
    const bool cuadrado = EsExactamente<dxCuadrado>(p);
    const int n = cuadrado ? 4 : 3;
    std::memcpy(&datosColor[a], p.Vertices(), n * sizeof(dxVerticeColor));
    flagsPoligonos[i] = p.ObtenerFlags() | (cuadrado ? DWORD{DIBUJO_CUADRADO} : DWORD{0});
    a += n;
    ++i;
  });
  return NumVertices() * stride;
}

const void* dxBufferColor8::DatosVertices() const { return datosColor.get(); }

void dxBufferColor8::FijarVertexBuffer(IDirect3DVertexBuffer8* vb) {
  if (vertexBuffer != nullptr && vertexBuffer != vb) vertexBuffer->Release();
  vertexBuffer = vb;
}

DWORD dxBufferColor8::FlagsPoligono(std::int32_t i) const {
  if (i < 0 || i >= numPoligonosEmpaquetados) return 0;
  return flagsPoligonos[i];
}

void dxBufferColor8::MultiplicarMundo(const D3DXMATRIX& m) {
  D3DXMatrixMultiply(&mundo, &m, &mundo);
}

std::int32_t dxBufferColor8::Trasladar(float x, float y, float z) {
  D3DXMATRIX m;
  MultiplicarMundo(*D3DXMatrixTranslation(&m, x, y, z));
  return 0;
}

void dxBufferColor8::RotarX(float angulo) {
  D3DXMATRIX m;
  MultiplicarMundo(*D3DXMatrixRotationX(&m, angulo));
}

void dxBufferColor8::RotarY(float angulo) {
  D3DXMATRIX m;
  MultiplicarMundo(*D3DXMatrixRotationY(&m, angulo));
}

void dxBufferColor8::Escalar(float s) {
  D3DXMATRIX m;
  MultiplicarMundo(*D3DXMatrixScaling(&m, s, s, s));
}

void dxBufferColor8::ReiniciarMundo() { D3DXMatrixIdentity(&mundo); }
