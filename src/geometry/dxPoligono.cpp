#include "geometry/dxPoligono.h"

std::int32_t dxPoligono::SiguienteVertice() {
  if (numVertices > maxIndice) return -1;
  return numVertices++;
}

namespace {
template <typename Vertice>
HRESULT Posicionar(Vertice* vertices, std::int32_t indice, float x, float y, float z) {
  if (indice < 0) return E_FAIL;
  vertices[indice].x = x;
  vertices[indice].y = y;
  vertices[indice].z = z;
  return S_OK;
}
}  // namespace

HRESULT dxTriangulo::AgregarVertice(float x, float y, float z) {
  return Posicionar(vertices, SiguienteVertice(), x, y, z);
}

HRESULT dxCuadrado::AgregarVertice(float x, float y, float z) {
  return Posicionar(vertices, SiguienteVertice(), x, y, z);
}

HRESULT dxTrianguloTex::AgregarVertice(float x, float y, float z) {
  return Posicionar(verticesTex, SiguienteVertice(), x, y, z);
}

HRESULT dxCuadradoTex::AgregarVertice(float x, float y, float z) {
  return Posicionar(verticesTex, SiguienteVertice(), x, y, z);
}

HRESULT dxTrianguloTex::FijarTextura(IDirect3DTexture8* pagina, float u0, float v0, float u1,
                                     float v1, float u2, float v2) {
  if (pagina == nullptr) return E_FAIL;
  textura = pagina;
  const float uv[3][2] = {{u0, v0}, {u1, v1}, {u2, v2}};
  for (int i = 0; i < 3; ++i) {
    verticesTex[i].u = uv[i][0];
    verticesTex[i].v = uv[i][1];
  }
  return S_OK;
}

HRESULT dxCuadradoTex::FijarTextura(IDirect3DTexture8* pagina, float u0, float v0, float u1,
                                    float v1, float u2, float v2, float u3, float v3) {
  if (pagina == nullptr) return E_FAIL;
  textura = pagina;
  const float uv[4][2] = {{u0, v0}, {u1, v1}, {u2, v2}, {u3, v3}};
  for (int i = 0; i < 4; ++i) {
    verticesTex[i].u = uv[i][0];
    verticesTex[i].v = uv[i][1];
  }
  return S_OK;
}
