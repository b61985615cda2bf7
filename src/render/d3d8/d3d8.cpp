#include "render/d3d8/d3d8.h"

#include <utility>

namespace {
FabricaD3D8& FabricaInstalada() {
  static FabricaD3D8 fabrica;
  return fabrica;
}
}  // namespace

IDirect3D8* Direct3DCreate8(UINT SDKVersion) {
  if (SDKVersion != D3D_SDK_VERSION || !FabricaInstalada()) return nullptr;
  return FabricaInstalada()();
}

FabricaD3D8 PonerFabricaD3D8(FabricaD3D8 fabrica) {
  return std::exchange(FabricaInstalada(), std::move(fabrica));
}
