// The Direct3D context: owns the IDirect3D8 object, the present parameters
// and the adapter's display mode, and creates devices on windows.
#pragma once

#include <cstdint>

#include "render/d3d8/d3d8.h"

class dxDevice8;

class dxMain {
 public:
  dxMain();
  // Releases the IDirect3D8 object if one is held.
  ~dxMain();
  dxMain(const dxMain&) = delete;
  dxMain& operator=(const dxMain&) = delete;

  // Asks Direct3DCreate8 for the IDirect3D8 object. S_OK, or E_FAIL when no
  // implementation gives one (d3d stays null). Calling it again while an
  // object is held keeps the one held.
  HRESULT CrearContexto();

  // Creates a device object on `ventana` and stores it through `salida` at
  // once. E_FAIL without a device object (and `salida` untouched) when there is
  // no context; E_FAIL with a device object that holds no Direct3D device when
  // the platform refuses to create one.
  HRESULT CrearDispositivo(HWND ventana, std::uint8_t enVentana, dxDevice8** salida);

  // Fills `parametros` for a windowed, double-buffered device with a 16-bit
  // depth buffer at the window's client size, reading the display mode of
  // adapter 0. Without a context the parameters stay all zero. Returns a copy.
  D3DPRESENT_PARAMETERS LlenarParametros(std::uint8_t enVentana);

  // True when textures of `formato` can be created on the display format read
  // at the last device creation (0 before any).
  bool SoportaTextura(D3DFORMAT formato);

  IDirect3D8* Contexto() const { return d3d; }
  const D3DDISPLAYMODE& ModoPantalla() const { return modoPantalla; }

 private:
  IDirect3D8* d3d;
  D3DPRESENT_PARAMETERS parametros;
  D3DDISPLAYMODE modoPantalla;
};
