// Minimal stand-ins for the Direct3D objects a polygon buffer touches: they
// only count references.
#pragma once

#include "render/d3d8/d3d8.h"

class TexturaFalsa : public IDirect3DTexture8 {
 public:
  ULONG AddRef() override { return ++referencias; }
  ULONG Release() override { return --referencias; }
  DWORD GetLevelCount() override { return 1; }
  HRESULT LockRect(UINT, D3DLOCKED_RECT*, const RECT*, DWORD) override { return E_FAIL; }
  HRESULT UnlockRect(UINT) override { return E_FAIL; }
  ULONG referencias = 1;
};

class VertexBufferFalso : public IDirect3DVertexBuffer8 {
 public:
  ULONG AddRef() override { return ++referencias; }
  ULONG Release() override {
    ++liberaciones;
    return --referencias;
  }
  HRESULT Lock(UINT, UINT, BYTE**, DWORD) override { return E_FAIL; }
  HRESULT Unlock() override { return E_FAIL; }
  ULONG referencias = 1;
  int liberaciones = 0;
};
