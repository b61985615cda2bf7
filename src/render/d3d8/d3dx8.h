// Our stand-in for the D3DX 8.1 helpers the program calls: matrices in D3DX's
// row-vector, left-handed convention (p' = p * M, +z into the screen) and
// texture creation on a device.
#pragma once

#include "render/d3d8/d3d8.h"

struct D3DXVECTOR3 : D3DVECTOR {
  D3DXVECTOR3() = default;
  constexpr D3DXVECTOR3(float vx, float vy, float vz) : D3DVECTOR{vx, vy, vz} {}
};

struct D3DXMATRIX : D3DMATRIX {
  D3DXMATRIX() = default;
  float& operator()(int fila, int columna) { return m[fila][columna]; }
  float operator()(int fila, int columna) const { return m[fila][columna]; }
};

// Each helper writes its result to pOut and returns pOut.
D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* pOut);
// pOut = pM1 * pM2; pOut may be the same matrix as pM1 or pM2.
D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* pOut, const D3DXMATRIX* pM1, const D3DXMATRIX* pM2);
D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* pOut, float x, float y, float z);
D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* pOut, float sx, float sy, float sz);
// Rotations by `Angle` radians, clockwise when looking along the axis toward
// the origin, as D3DX defines them for its left-handed space.
D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* pOut, float Angle);
D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* pOut, float Angle);
// Left-handed perspective: depth maps zn..zf to 0..1.
D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* pOut, float fovy, float Aspect, float zn,
                                       float zf);
D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* pOut, const D3DXVECTOR3* pEye, const D3DXVECTOR3* pAt,
                               const D3DXVECTOR3* pUp);

// Creates a texture through the device. `MipLevels` 0 asks for the full chain
// down to 1 x 1.
HRESULT D3DXCreateTexture(IDirect3DDevice8* pDevice, UINT Width, UINT Height, UINT MipLevels,
                          DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                          IDirect3DTexture8** ppTexture);
