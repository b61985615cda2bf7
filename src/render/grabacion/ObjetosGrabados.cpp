// The four recording COM classes: IDirect3D8, its device, textures and
// vertex buffers. Each method records itself through `Llamada`, asks whether
// it must fail, and otherwise does what Direct3D would do with memory alone.
#include <algorithm>
#include <cstring>

#include "render/grabacion/EstadoGrabacion.h"

namespace grabacion {
namespace {

// Fresh resource memory: a value no caller writes by accident, so that a
// short copy shows up in a test.
constexpr BYTE kRelleno = 0xCD;

template <class ComD3D8>
class Grabado : public ComD3D8, public ObjetoGrabado {
 public:
  Grabado(const std::shared_ptr<Estado>& compartido, ObjetoD3D8 tipo)
      : ObjetoGrabado(compartido, tipo) {}
  const void* Interfaz() const override { return static_cast<const ComD3D8*>(this); }
  ULONG AddRef() override { return HacerAddRef(); }
  ULONG Release() override { return HacerRelease(); }
};

// --------------------------------------------------------------- textures
class TexturaGrabada final : public Grabado<IDirect3DTexture8> {
 public:
  TexturaGrabada(const std::shared_ptr<Estado>& compartido, UINT ancho, UINT alto, UINT niveles,
                 DWORD usage, D3DFORMAT formato, D3DPOOL pool)
      : Grabado(compartido, ObjetoD3D8::Textura) {
    datos.ancho = ancho;
    datos.alto = alto;
    datos.formato = formato;
    datos.usage = usage;
    datos.pool = pool;
    const UINT bytes = BytesPorTexel(formato);
    for (UINT i = 0; i < niveles; ++i) {
      const UINT w = std::max(1u, ancho >> i), h = std::max(1u, alto >> i);
      datos.pitch.push_back(static_cast<INT>(w * bytes));
      datos.niveles.emplace_back(static_cast<std::size_t>(w) * h * bytes, kRelleno);
      datos.bloqueado.push_back(false);
    }
  }

  DWORD GetLevelCount() override {
    Llamada ll(*this, "GetLevelCount");
    if (ll.Rechazo()) return static_cast<DWORD>(ll.Terminar(0));
    return static_cast<DWORD>(ll.Terminar(static_cast<HRESULT>(datos.niveles.size())));
  }

  HRESULT LockRect(UINT nivel, D3DLOCKED_RECT* bloqueado, const RECT* rect, DWORD flags) override {
    Llamada ll(*this, "LockRect");
    ll.N(nivel).P(rect).N(flags);
    if (auto r = ll.Rechazo()) {
      if (bloqueado != nullptr) *bloqueado = {0, nullptr};
      return ll.Terminar(*r);
    }
    if (bloqueado == nullptr || nivel >= datos.niveles.size())
      return ll.Terminar(D3DERR_INVALIDCALL);
    if (datos.bloqueado[nivel]) {
      ll.Error("level " + std::to_string(nivel) + " is already locked");
      return ll.Terminar(D3DERR_INVALIDCALL);
    }
    const INT pitch = datos.pitch[nivel];
    const UINT w = std::max(1u, datos.ancho >> nivel), h = std::max(1u, datos.alto >> nivel);
    BYTE* base = datos.niveles[nivel].data();
    if (rect != nullptr) {
      if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right ||
          rect->top >= rect->bottom || static_cast<UINT>(rect->right) > w ||
          static_cast<UINT>(rect->bottom) > h)
        return ll.Terminar(D3DERR_INVALIDCALL);
      base += static_cast<std::size_t>(rect->top) * pitch +
              static_cast<std::size_t>(rect->left) * BytesPorTexel(datos.formato);
    }
    datos.bloqueado[nivel] = true;
    *bloqueado = {pitch, base};
    return ll.Terminar(D3D_OK, base);
  }

  HRESULT UnlockRect(UINT nivel) override {
    Llamada ll(*this, "UnlockRect");
    ll.N(nivel);
    if (auto r = ll.Rechazo()) return ll.Terminar(*r);
    if (nivel >= datos.niveles.size()) return ll.Terminar(D3DERR_INVALIDCALL);
    if (!datos.bloqueado[nivel]) {
      ll.Error("level " + std::to_string(nivel) + " is not locked");
      return ll.Terminar(D3DERR_INVALIDCALL);
    }
    datos.bloqueado[nivel] = false;
    return ll.Terminar(D3D_OK);
  }

  DatosTextura datos;
};

// ---------------------------------------------------------- vertex buffers
class VertexBufferGrabado final : public Grabado<IDirect3DVertexBuffer8> {
 public:
  VertexBufferGrabado(const std::shared_ptr<Estado>& compartido, UINT longitud, DWORD usage,
                      DWORD fvf, D3DPOOL pool)
      : Grabado(compartido, ObjetoD3D8::VertexBuffer) {
    datos.longitud = longitud;
    datos.usage = usage;
    datos.fvf = fvf;
    datos.pool = pool;
    datos.bytes.assign(longitud, kRelleno);
  }

  HRESULT Lock(UINT desplazamiento, UINT tamano, BYTE** memoria, DWORD flags) override {
    Llamada ll(*this, "Lock");
    ll.N(desplazamiento).N(tamano).N(flags);
    if (auto r = ll.Rechazo()) {
      if (memoria != nullptr) *memoria = nullptr;
      return ll.Terminar(*r);
    }
    if (memoria == nullptr) return ll.Terminar(D3DERR_INVALIDCALL);
    // A size of 0 locks the whole buffer.
    const std::uint64_t fin = tamano == 0 ? datos.longitud : std::uint64_t{desplazamiento} + tamano;
    if (tamano == 0) desplazamiento = 0;
    if (fin > datos.longitud) {
      *memoria = nullptr;
      return ll.Terminar(D3DERR_INVALIDCALL);
    }
    ++datos.bloqueos;
    *memoria = datos.bytes.data() + desplazamiento;
    return ll.Terminar(D3D_OK, *memoria);
  }

  HRESULT Unlock() override {
    Llamada ll(*this, "Unlock");
    if (auto r = ll.Rechazo()) return ll.Terminar(*r);
    if (datos.bloqueos == 0) {
      ll.Error("not locked");
      return ll.Terminar(D3DERR_INVALIDCALL);
    }
    --datos.bloqueos;
    return ll.Terminar(D3D_OK);
  }

  DatosVertexBuffer datos;
};

// ------------------------------------------------------------------ device
class DispositivoGrabado final : public Grabado<IDirect3DDevice8> {
 public:
  explicit DispositivoGrabado(const std::shared_ptr<Estado>& compartido)
      : Grabado(compartido, ObjetoD3D8::Dispositivo) {}

  HRESULT CreateTexture(UINT ancho, UINT alto, UINT niveles, DWORD usage, D3DFORMAT formato,
                        D3DPOOL pool, IDirect3DTexture8** textura) override {
    Llamada ll(*this, "CreateTexture");
    ll.N(ancho).N(alto).N(niveles).N(usage).N(formato).N(pool);
    if (auto r = ll.Rechazo()) {
      if (textura != nullptr) *textura = nullptr;
      return ll.Terminar(*r);
    }
    const auto& formatos = comun.formatosTextura;
    if (textura == nullptr || ancho == 0 || alto == 0 || BytesPorTexel(formato) == 0 ||
        std::find(formatos.begin(), formatos.end(), formato) == formatos.end()) {
      if (textura != nullptr) *textura = nullptr;
      return ll.Terminar(D3DERR_INVALIDCALL);
    }
    if (niveles == 0) {
      // 0 asks for the whole chain, down to 1 x 1.
      niveles = 1;
      for (UINT lado = std::max(ancho, alto); lado > 1; lado >>= 1) ++niveles;
    }
    auto* nueva = comun.Registrar(std::make_unique<TexturaGrabada>(
        comun.shared_from_this(), ancho, alto, niveles, usage, formato, pool));
    *textura = nueva;
    return ll.Terminar(D3D_OK, *textura);
  }

  HRESULT CreateVertexBuffer(UINT longitud, DWORD usage, DWORD fvf, D3DPOOL pool,
                             IDirect3DVertexBuffer8** vb) override {
    Llamada ll(*this, "CreateVertexBuffer");
    ll.N(longitud).N(usage).N(fvf).N(pool);
    if (auto r = ll.Rechazo()) {
      if (vb != nullptr) *vb = nullptr;
      return ll.Terminar(*r);
    }
    if (vb == nullptr || longitud == 0) {
      if (vb != nullptr) *vb = nullptr;
      return ll.Terminar(D3DERR_INVALIDCALL);
    }
    auto* nuevo = comun.Registrar(std::make_unique<VertexBufferGrabado>(
        comun.shared_from_this(), longitud, usage, fvf, pool));
    *vb = nuevo;
    return ll.Terminar(D3D_OK, *vb);
  }

  HRESULT BeginScene() override {
    Llamada ll(*this, "BeginScene");
    if (auto r = ll.Rechazo()) return ll.Terminar(*r);
    if (enEscena_) {
      ll.Error("scene already begun");
      return ll.Terminar(D3DERR_INVALIDCALL);
    }
    enEscena_ = true;
    return ll.Terminar(D3D_OK);
  }

  HRESULT EndScene() override {
    Llamada ll(*this, "EndScene");
    if (auto r = ll.Rechazo()) return ll.Terminar(*r);
    if (!enEscena_) {
      ll.Error("no scene begun");
      return ll.Terminar(D3DERR_INVALIDCALL);
    }
    enEscena_ = false;
    return ll.Terminar(D3D_OK);
  }

  HRESULT Clear(DWORD cuenta, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                DWORD stencil) override {
    Llamada ll(*this, "Clear");
    ll.N(cuenta).P(rects).N(flags).Color(color).N(z).N(stencil);
    if (auto r = ll.Rechazo()) return ll.Terminar(*r);
    return ll.Terminar(D3D_OK);
  }

  HRESULT Present(const RECT* origen, const RECT* destino, HWND ventana,
                  const RGNDATA* region) override {
    Llamada ll(*this, "Present");
    ll.P(origen).P(destino).P(ventana, "ventana").P(region);
    if (auto r = ll.Rechazo()) return ll.Terminar(*r);
    return ll.Terminar(D3D_OK);
  }

  HRESULT SetTransform(D3DTRANSFORMSTATETYPE estadoTransformacion,
                       const D3DMATRIX* matriz) override {
    Llamada ll(*this, "SetTransform");
    ll.N(estadoTransformacion).Matriz(matriz);
    if (auto r = ll.Rechazo()) return ll.Terminar(*r);
    return ll.Terminar(matriz == nullptr ? D3DERR_INVALIDCALL : D3D_OK);
  }

  HRESULT SetRenderState(D3DRENDERSTATETYPE tipo, DWORD valor) override {
    Llamada ll(*this, "SetRenderState");
    ll.N(tipo).N(valor);
    if (auto r = ll.Rechazo()) return ll.Terminar(*r);
    return ll.Terminar(D3D_OK);
  }

  HRESULT SetTexture(DWORD etapa, IDirect3DTexture8* textura) override {
    Llamada ll(*this, "SetTexture");
    ll.N(etapa).P(textura);
    if (auto r = ll.Rechazo()) return ll.Terminar(*r);
    if (!ObjetoUsable(ll, textura, ObjetoD3D8::Textura) || etapa >= 8)
      return ll.Terminar(D3DERR_INVALIDCALL);
    return ll.Terminar(D3D_OK);
  }

  HRESULT SetTextureStageState(DWORD etapa, D3DTEXTURESTAGESTATETYPE tipo, DWORD valor) override {
    Llamada ll(*this, "SetTextureStageState");
    ll.N(etapa).N(tipo).N(valor);
    if (auto r = ll.Rechazo()) return ll.Terminar(*r);
    return ll.Terminar(etapa >= 8 ? D3DERR_INVALIDCALL : D3D_OK);
  }

  HRESULT SetStreamSource(UINT flujo, IDirect3DVertexBuffer8* vb, UINT stride) override {
    Llamada ll(*this, "SetStreamSource");
    ll.N(flujo).P(vb).N(stride);
    if (auto r = ll.Rechazo()) return ll.Terminar(*r);
    if (!ObjetoUsable(ll, vb, ObjetoD3D8::VertexBuffer)) return ll.Terminar(D3DERR_INVALIDCALL);
    return ll.Terminar(D3D_OK);
  }

  HRESULT SetVertexShader(DWORD fvf) override {
    Llamada ll(*this, "SetVertexShader");
    ll.N(fvf);
    if (auto r = ll.Rechazo()) return ll.Terminar(*r);
    return ll.Terminar(D3D_OK);
  }

  HRESULT DrawPrimitive(D3DPRIMITIVETYPE tipo, UINT inicio, UINT cuenta) override {
    Llamada ll(*this, "DrawPrimitive");
    ll.N(tipo).N(inicio).N(cuenta);
    if (auto r = ll.Rechazo()) return ll.Terminar(*r);
    if (!enEscena_) {
      ll.Error("drawing outside BeginScene/EndScene");
      return ll.Terminar(D3DERR_INVALIDCALL);
    }
    return ll.Terminar(D3D_OK);
  }

 private:
  // A null object is fine (it unbinds); anything else must be a live object
  // of the right kind from this recording.
  bool ObjetoUsable(Llamada& ll, const void* interfaz, ObjetoD3D8 esperado) {
    if (interfaz == nullptr) return true;
    ObjetoGrabado* objeto = comun.Buscar(interfaz);
    if (objeto == nullptr || objeto->clase != esperado) {
      ll.Error("argument is not an object of this recording");
      return false;
    }
    if (!objeto->Vivo()) {
      ll.Error(objeto->nombre + " is already released");
      return false;
    }
    return true;
  }

  bool enEscena_ = false;
};

// ----------------------------------------------------------------- IDirect3D8
class Direct3DGrabado final : public Grabado<IDirect3D8> {
 public:
  explicit Direct3DGrabado(const std::shared_ptr<Estado>& compartido)
      : Grabado(compartido, ObjetoD3D8::Direct3D) {}

  HRESULT GetAdapterDisplayMode(UINT adaptador, D3DDISPLAYMODE* modo) override {
    Llamada ll(*this, "GetAdapterDisplayMode");
    ll.N(adaptador);
    if (auto r = ll.Rechazo()) return ll.Terminar(*r);
    if (modo == nullptr || adaptador != D3DADAPTER_DEFAULT) return ll.Terminar(D3DERR_INVALIDCALL);
    *modo = comun.modo;
    return ll.Terminar(D3D_OK);
  }

  HRESULT CheckDeviceFormat(UINT adaptador, D3DDEVTYPE tipoDispositivo, D3DFORMAT formatoPantalla,
                            DWORD usage, D3DRESOURCETYPE recurso, D3DFORMAT formato) override {
    Llamada ll(*this, "CheckDeviceFormat");
    ll.N(adaptador).N(tipoDispositivo).N(formatoPantalla).N(usage).N(recurso).N(formato);
    if (auto r = ll.Rechazo()) return ll.Terminar(*r);
    if (adaptador != D3DADAPTER_DEFAULT) return ll.Terminar(D3DERR_INVALIDCALL);
    const auto& formatos = comun.formatosTextura;
    const bool puede = recurso == D3DRTYPE_TEXTURE &&
                       std::find(formatos.begin(), formatos.end(), formato) != formatos.end();
    return ll.Terminar(puede ? D3D_OK : D3DERR_NOTAVAILABLE);
  }

  HRESULT CreateDevice(UINT adaptador, D3DDEVTYPE tipoDispositivo, HWND ventana,
                       DWORD comportamiento, D3DPRESENT_PARAMETERS* parametros,
                       IDirect3DDevice8** dispositivo) override {
    Llamada ll(*this, "CreateDevice");
    ll.N(adaptador)
        .N(tipoDispositivo)
        .P(ventana, "ventana")
        .N(comportamiento)
        .Parametros(parametros);
    if (auto r = ll.Rechazo()) {
      if (dispositivo != nullptr) *dispositivo = nullptr;
      return ll.Terminar(*r);
    }
    if (dispositivo == nullptr || parametros == nullptr || adaptador != D3DADAPTER_DEFAULT) {
      if (dispositivo != nullptr) *dispositivo = nullptr;
      return ll.Terminar(D3DERR_INVALIDCALL);
    }
    *dispositivo = comun.Registrar(std::make_unique<DispositivoGrabado>(comun.shared_from_this()));
    return ll.Terminar(D3D_OK, *dispositivo);
  }
};

}  // namespace

UINT BytesPorTexel(D3DFORMAT formato) {
  switch (formato) {
    case D3DFMT_R8G8B8:
      return 3;
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
      return 4;
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
      return 2;
    default:
      return 0;
  }
}

IDirect3D8* CrearDirect3D(const std::shared_ptr<Estado>& estado) {
  Llamada ll(*estado, "Direct3DCreate8");
  ll.N(D3D_SDK_VERSION);
  if (auto r = ll.Rechazo()) {
    ll.Terminar(*r);
    return nullptr;
  }
  IDirect3D8* d3d = estado->Registrar(std::make_unique<Direct3DGrabado>(estado));
  ll.Terminar(D3D_OK, d3d);
  return d3d;
}

const DatosTextura* DatosDe(const ObjetoGrabado* objeto, const IDirect3DTexture8*) {
  auto* t = dynamic_cast<const TexturaGrabada*>(objeto);
  return t != nullptr ? &t->datos : nullptr;
}

const DatosVertexBuffer* DatosDe(const ObjetoGrabado* objeto, const IDirect3DVertexBuffer8*) {
  auto* vb = dynamic_cast<const VertexBufferGrabado*>(objeto);
  return vb != nullptr ? &vb->datos : nullptr;
}

}  // namespace grabacion
