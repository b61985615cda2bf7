#include "render/dxDevice8.h"

#include <cstring>

#include "geometry/dxBufferTextura.h"

dxDevice8::dxDevice8()
    : dispositivo(nullptr), rojo(0), verde(0), azul(0), objetivo(0, 0, 0), ojo(0, 0, 0) {
  D3DXMatrixIdentity(&proyeccion);
  D3DXMatrixIdentity(&vista);
}

dxDevice8::~dxDevice8() { PonerDispositivo(nullptr); }

void dxDevice8::PonerDispositivo(IDirect3DDevice8* d) {
  if (dispositivo != nullptr && dispositivo != d) dispositivo->Release();
  dispositivo = d;
}

HRESULT dxDevice8::Limpiar(std::uint8_t profundidad) {
  if (dispositivo == nullptr) return 0;
  DWORD banderas = D3DCLEAR_TARGET;
  if (profundidad) {
    if (FAILED(dispositivo->SetRenderState(D3DRS_ZENABLE, 1))) return 0;
    banderas |= D3DCLEAR_ZBUFFER;
  }
  dispositivo->Clear(0, nullptr, banderas, ColorFondo(), 1.0f, 0);
  return 0;
}

HRESULT dxDevice8::PonerColorFondo(std::int32_t r, std::int32_t g, std::int32_t b) {
  rojo = r;
  verde = g;
  azul = b;
  return 0;
}

HRESULT dxDevice8::Presentar() {
  if (dispositivo == nullptr) return E_FAIL;
  const HRESULT hr = dispositivo->Present(nullptr, nullptr, nullptr, nullptr);
  return FAILED(hr) ? E_FAIL : hr;
}

HRESULT dxDevice8::PonerProyeccion(float cerca, float lejos, float aspecto, float campoVision) {
  D3DXMatrixIdentity(&proyeccion);
  D3DXMatrixPerspectiveFovLH(&proyeccion, campoVision, aspecto, cerca, lejos);
  if (dispositivo != nullptr) dispositivo->SetTransform(D3DTS_PROJECTION, &proyeccion);
  return 0;
}

HRESULT dxDevice8::ActualizarVista() {
  const D3DXVECTOR3 arriba(0, 1, 0);
  D3DXMatrixLookAtLH(&vista, &ojo, &objetivo, &arriba);
  if (dispositivo == nullptr) return E_FAIL;
  return dispositivo->SetTransform(D3DTS_VIEW, &vista);
}

HRESULT dxDevice8::PonerOjo(float x, float y, float z) {
  ojo = D3DXVECTOR3(x, y, z);
  return ActualizarVista();
}

HRESULT dxDevice8::PonerObjetivo(float x, float y, float z) {
  objetivo = D3DXVECTOR3(x, y, z);
  return ActualizarVista();
}

IDirect3DTexture8* dxDevice8::CrearTextura(std::int32_t ancho, std::int32_t alto,
                                           std::int32_t formato, const void* bytes) {
  std::int32_t bytesTexel;
  if (formato == D3DFMT_X8R8G8B8)
    bytesTexel = 4;
  else if (formato == D3DFMT_X1R5G5B5)
    bytesTexel = 2;
  else
    return nullptr;
  if (dispositivo == nullptr || bytes == nullptr || ancho <= 0 || alto <= 0) return nullptr;

  IDirect3DTexture8* textura = nullptr;
  if (FAILED(D3DXCreateTexture(dispositivo, ancho, alto, 0, 0, static_cast<D3DFORMAT>(formato),
                               D3DPOOL_MANAGED, &textura)) ||
      textura == nullptr)
    return nullptr;
  D3DLOCKED_RECT bloqueo{};
  if (FAILED(textura->LockRect(0, &bloqueo, nullptr, 0)) || bloqueo.pBits == nullptr) {
    // An empty page would draw as garbage; no page draws untextured instead.
    textura->Release();
    return nullptr;
  }
  const std::size_t fila = static_cast<std::size_t>(ancho) * bytesTexel;
  const auto* origen = static_cast<const unsigned char*>(bytes);
  auto* destino = static_cast<unsigned char*>(bloqueo.pBits);
  if (bloqueo.Pitch == static_cast<INT>(fila)) {
    std::memcpy(destino, origen, fila * alto);
  } else {
    for (std::int32_t y = 0; y < alto; ++y)
      std::memcpy(destino + static_cast<std::size_t>(y) * bloqueo.Pitch, origen + y * fila, fila);
  }
  textura->UnlockRect(0);
  return textura;
}

HRESULT dxDevice8::SubirBuffer(dxBufferColor8* buffer) {
  if (dispositivo == nullptr || buffer == nullptr) return E_FAIL;
  if (buffer->Empaquetar() == -1) return E_FAIL;
  const UINT longitud = static_cast<UINT>(buffer->NumVertices() * buffer->ObtenerStride());
  IDirect3DVertexBuffer8* vb = nullptr;
  if (FAILED(dispositivo->CreateVertexBuffer(longitud, 0, buffer->ObtenerFVF(), D3DPOOL_DEFAULT,
                                             &vb)) ||
      vb == nullptr)
    return E_FAIL;
  BYTE* memoria = nullptr;
  if (FAILED(vb->Lock(0, longitud, &memoria, 0)) || memoria == nullptr) {
    vb->Release();
    return E_FAIL;
  }
  std::memcpy(memoria, buffer->DatosVertices(), longitud);
  vb->Unlock();
  buffer->FijarVertexBuffer(vb);
  buffer->LimpiarCambios();
  return 0;
}

HRESULT dxDevice8::DibujarBuffer(dxBufferTextura* buffer, std::int32_t modo) {
  if (buffer == nullptr || dispositivo == nullptr) return E_FAIL;
  IDirect3DDevice8* d = dispositivo;
  if (FAILED(d->SetStreamSource(0, buffer->ObtenerVertexBuffer(), buffer->ObtenerStride())))
    return E_FAIL;
  if (FAILED(d->SetVertexShader(buffer->ObtenerFVF()))) return E_FAIL;
  d->SetRenderState(D3DRS_LIGHTING, 0);
  d->SetRenderState(D3DRS_ZENABLE, 1);
  const D3DXMATRIX mundo = buffer->ObtenerMundo();
  d->SetTransform(D3DTS_WORLD, &mundo);
  buffer->ReiniciarMundo();

  const std::int32_t n = buffer->NumTriangulos() + buffer->NumCuadrados();
  UINT inicio = 0;
  if (FAILED(d->BeginScene())) return E_FAIL;
  for (std::int32_t i = 0; i < n; ++i) {
    const DWORD f = buffer->FlagsPoligono(i);
    d->SetRenderState(D3DRS_FILLMODE, (f & DIBUJO_ALAMBRE) ? D3DFILL_WIREFRAME : D3DFILL_SOLID);
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    if (f & DIBUJO_CULL_CW) d->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    if (f & DIBUJO_CULL_CCW) d->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    d->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    d->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    d->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    d->SetTexture(0, (f & DIBUJO_TEXTURA) ? buffer->TexturaPoligono(i) : nullptr);
    if (modo == 2) {
      d->SetTexture(0, nullptr);
      d->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    }
    if (f & DIBUJO_CUADRADO) {
      d->DrawPrimitive(D3DPT_TRIANGLESTRIP, inicio, 2);
      inicio += 4;
    } else {
      d->DrawPrimitive(D3DPT_TRIANGLELIST, inicio, 1);
      inicio += 3;
    }
  }
  return FAILED(d->EndScene()) ? E_FAIL : 0;
}
