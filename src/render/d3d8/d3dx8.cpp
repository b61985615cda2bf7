#include "render/d3d8/d3dx8.h"

#include <cstring>

#include <glm/ext/matrix_clip_space.hpp>
#include <glm/ext/matrix_transform.hpp>
#include <glm/mat4x4.hpp>

// A D3DX matrix used with row vectors is the transpose of the column-vector
// matrix GLM builds for the same transform, and GLM stores its matrices
// column by column. Both facts together make the two memory layouts identical:
// element m[i][j] of the D3DX matrix is element [i][j] of the GLM matrix.
namespace {
D3DXMATRIX* Escribir(D3DXMATRIX* destino, const glm::mat4& origen) {
  static_assert(sizeof(glm::mat4) == sizeof(D3DMATRIX));
  std::memcpy(destino->m, &origen[0][0], sizeof(D3DMATRIX));
  return destino;
}

glm::mat4 Leer(const D3DXMATRIX* origen) {
  glm::mat4 resultado;
  std::memcpy(&resultado[0][0], origen->m, sizeof(D3DMATRIX));
  return resultado;
}

glm::vec3 Vector(const D3DXVECTOR3* v) { return {v->x, v->y, v->z}; }
}  // namespace

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* pOut) { return Escribir(pOut, glm::mat4(1.0f)); }

D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* pOut, const D3DXMATRIX* pM1, const D3DXMATRIX* pM2) {
  // Row vectors: p * (M1 * M2). Transposed into GLM's column convention this
  // is (M2^T * M1^T) * p.
  return Escribir(pOut, Leer(pM2) * Leer(pM1));
}

D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* pOut, float x, float y, float z) {
  return Escribir(pOut, glm::translate(glm::mat4(1.0f), glm::vec3(x, y, z)));
}

D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* pOut, float sx, float sy, float sz) {
  return Escribir(pOut, glm::scale(glm::mat4(1.0f), glm::vec3(sx, sy, sz)));
}

D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* pOut, float Angle) {
  return Escribir(pOut, glm::rotate(glm::mat4(1.0f), Angle, glm::vec3(1.0f, 0.0f, 0.0f)));
}

D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* pOut, float Angle) {
  return Escribir(pOut, glm::rotate(glm::mat4(1.0f), Angle, glm::vec3(0.0f, 1.0f, 0.0f)));
}

D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* pOut, float fovy, float Aspect, float zn,
                                       float zf) {
  return Escribir(pOut, glm::perspectiveLH_ZO(fovy, Aspect, zn, zf));
}

D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* pOut, const D3DXVECTOR3* pEye, const D3DXVECTOR3* pAt,
                               const D3DXVECTOR3* pUp) {
  return Escribir(pOut, glm::lookAtLH(Vector(pEye), Vector(pAt), Vector(pUp)));
}

HRESULT D3DXCreateTexture(IDirect3DDevice8* pDevice, UINT Width, UINT Height, UINT MipLevels,
                          DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                          IDirect3DTexture8** ppTexture) {
  if (pDevice == nullptr || ppTexture == nullptr || Width == 0 || Height == 0)
    return D3DERR_INVALIDCALL;
  if (MipLevels == 0) {
    // Full chain: halve the larger side until it reaches 1.
    UINT lado = Width > Height ? Width : Height;
    MipLevels = 1;
    while (lado > 1) {
      lado >>= 1;
      ++MipLevels;
    }
  }
  return pDevice->CreateTexture(Width, Height, MipLevels, Usage, Format, Pool, ppTexture);
}
