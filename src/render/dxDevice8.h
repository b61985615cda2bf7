// The device the viewer draws with: owns the IDirect3DDevice8 that renders
// into the viewport, the clear colour and the camera (a left-handed
// perspective projection and a look-at view with up = +Y). It also creates
// texture pages and uploads and draws polygon buffers.
//
// Every operation that needs the Direct3D device checks that there is one:
// on a device object without it, they return E_FAIL (Limpiar returns 0, as
// always) and call nothing.
#pragma once

#include <cstdint>

#include "render/d3d8/d3dx8.h"

class dxBufferColor8;
class dxBufferTextura;

class dxDevice8 {
 public:
  dxDevice8();
  // Releases the Direct3D device if one is held.
  ~dxDevice8();
  dxDevice8(const dxDevice8&) = delete;
  dxDevice8& operator=(const dxDevice8&) = delete;

  IDirect3DDevice8* Dispositivo() const { return dispositivo; }
  // Takes over the reference; a device already held is released first.
  void PonerDispositivo(IDirect3DDevice8* d);

  // Clears the colour target to the clear colour; with `profundidad` also
  // enables depth testing and clears depth to 1.0 (no clear at all in this
  // frame if enabling depth testing fails). Always 0.
  HRESULT Limpiar(std::uint8_t profundidad);
  // Only the low 8 bits of each component count. Returns 0.
  HRESULT PonerColorFondo(std::int32_t r, std::int32_t g, std::int32_t b);
  D3DCOLOR ColorFondo() const { return D3DCOLOR_XRGB(rojo, verde, azul); }
  // E_FAIL for any failure of Present, else its result.
  HRESULT Presentar();
  // Note the argument order: near, far, aspect, vertical field of view.
  HRESULT PonerProyeccion(float cerca, float lejos, float aspecto, float campoVision);
  // Set the eye or the look-at point, keeping the other, and rebuild the view.
  HRESULT PonerOjo(float x, float y, float z);
  HRESULT PonerObjetivo(float x, float y, float z);

  const D3DXMATRIX& Proyeccion() const { return proyeccion; }
  const D3DXMATRIX& Vista() const { return vista; }
  const D3DXVECTOR3& Ojo() const { return ojo; }
  const D3DXVECTOR3& Objetivo() const { return objetivo; }

  // A new 256-wide page texture filled from `bytes` (rows top first, no gaps),
  // owned by the caller; null on any failure. Formats D3DFMT_X8R8G8B8 (4 bytes
  // a texel) and D3DFMT_X1R5G5B5 (2 bytes); `bytes` must hold
  // ancho x alto texels of that size.
  IDirect3DTexture8* CrearTextura(std::int32_t ancho, std::int32_t alto, std::int32_t formato,
                                  const void* bytes);

  // Packs the buffer and copies the packed vertices into a new vertex buffer
  // that the buffer then owns. E_FAIL when there is nothing new to pack or the
  // vertex buffer cannot be created or locked; the buffer then holds no new
  // vertex buffer and keeps its changes to upload.
  HRESULT SubirBuffer(dxBufferColor8* buffer);

  // Draws an uploaded buffer polygon by polygon with the states its flags ask
  // for, using (and then resetting to identity) the buffer's world matrix.
  // Mode 2 draws every polygon as untextured wireframe.
  HRESULT DibujarBuffer(dxBufferTextura* buffer, std::int32_t modo);

 private:
  HRESULT ActualizarVista();

  IDirect3DDevice8* dispositivo;
  std::int32_t rojo, verde, azul;
  D3DXMATRIX proyeccion;
  D3DXMATRIX vista;
  D3DXVECTOR3 objetivo;
  D3DXVECTOR3 ojo;
};
