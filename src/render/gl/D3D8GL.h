// The Direct3D 8 implementation on OpenGL 3.3 core.
//
// Install it once at start-up:
//   PonerFabricaD3D8(FabricaD3D8GL(&ventana));
// after which `Direct3DCreate8(D3D_SDK_VERSION)` returns an IDirect3D8 whose
// CreateDevice renders into the IVentanaD3D passed as focus window (or as
// the present parameters' hDeviceWindow). The window's GL context must offer
// OpenGL 3.3 core; every GL call is made with the window made current first,
// so `HacerActual` should return quickly when it already is.
//
// What Direct3D means is kept: row-vector matrices with p * World * View *
// Projection, clip depth 0..1, LESSEQUAL depth testing, Direct3D's culling
// sense and strip winding, its default states, and HRESULTs for every
// failure. Calls that need GL once the window is gone return
// D3DERR_DEVICELOST; releasing objects then frees their memory only.
#pragma once

#include <cstdint>

#include "render/d3d8/d3d8.h"

// `pantalla`, when given, is the window whose size GetAdapterDisplayMode
// reports until a device exists; after that, the newest device's window.
// The display format reported is always D3DFMT_X8R8G8B8.
FabricaD3D8 FabricaD3D8GL(IVentanaD3D* pantalla = nullptr);

// What a device of this implementation has done, for tests and benchmarks.
struct EstadisticasD3D8GL {
  std::uint64_t dibujosD3D = 0;  // DrawPrimitive calls accepted
  std::uint64_t dibujosGL = 0;   // GL draw calls made after merging
  std::uint64_t presentaciones = 0;
};

// False when `dispositivo` is not a device of this implementation.
bool LeerEstadisticasD3D8GL(IDirect3DDevice8* dispositivo, EstadisticasD3D8GL* estadisticas);
