#include "render/dxMain.h"

#include "render/dxDevice8.h"

dxMain::dxMain() : d3d(nullptr), parametros{}, modoPantalla{} {}

dxMain::~dxMain() {
  if (d3d != nullptr) d3d->Release();
}

HRESULT dxMain::CrearContexto() {
  if (d3d == nullptr) d3d = Direct3DCreate8(D3D_SDK_VERSION);
  return d3d != nullptr ? S_OK : E_FAIL;
}

D3DPRESENT_PARAMETERS dxMain::LlenarParametros(std::uint8_t enVentana) {
  parametros = {};
  if (d3d == nullptr) return parametros;
  d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &modoPantalla);
  parametros.SwapEffect = D3DSWAPEFFECT_DISCARD;
  parametros.hDeviceWindow = nullptr;  // the window given to CreateDevice is used
  parametros.BackBufferCount = 1;
  parametros.Windowed = enVentana;
  parametros.BackBufferFormat = modoPantalla.Format;
  parametros.EnableAutoDepthStencil = 1;
  parametros.AutoDepthStencilFormat = D3DFMT_D16;
  return parametros;
}

HRESULT dxMain::CrearDispositivo(HWND ventana, std::uint8_t enVentana, dxDevice8** salida) {
  if (d3d == nullptr || salida == nullptr) return E_FAIL;
  auto* dispositivo = new dxDevice8();
  *salida = dispositivo;
  LlenarParametros(enVentana);
  IDirect3DDevice8* interfaz = nullptr;
  if (FAILED(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, ventana,
                               D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parametros, &interfaz)) ||
      interfaz == nullptr)
    return E_FAIL;
  dispositivo->PonerDispositivo(interfaz);
  return S_OK;
}

bool dxMain::SoportaTextura(D3DFORMAT formato) {
  if (d3d == nullptr) return false;
  return d3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, modoPantalla.Format, 0,
                                D3DRTYPE_TEXTURE, formato) == D3D_OK;
}
