// IDirect3D8 of the GL implementation, and the factory that installs it.
#include <memory>
#include <utility>

#include "render/gl/D3D8GL.h"
#include "render/gl/DispositivoGL.h"
#include "render/gl/FormatosGL.h"
#include "render/gl/ObjetoCOM.h"

namespace gl8 {
namespace {

// A window as seen from an object that may outlive it.
struct VentanaVigilada {
  IVentanaD3D* ventana = nullptr;
  std::weak_ptr<const void> vida;

  explicit VentanaVigilada(IVentanaD3D* v = nullptr) : ventana(v) {
    if (v != nullptr) vida = v->Vida();
  }
  bool Viva() const { return ventana != nullptr && !vida.expired(); }
};

class Direct3D8GL final : public ObjetoCOM<IDirect3D8> {
 public:
  explicit Direct3D8GL(VentanaVigilada pantalla) : pantalla_(std::move(pantalla)) {}

  HRESULT GetAdapterDisplayMode(UINT adaptador, D3DDISPLAYMODE* modo) override {
    if (adaptador != D3DADAPTER_DEFAULT || modo == nullptr) return D3DERR_INVALIDCALL;
    *modo = {0, 0, 60, D3DFMT_X8R8G8B8};
    // There is no desktop here; the size of the window being drawn into is
    // the closest thing to a display mode.
    const VentanaVigilada& v = ultima_.Viva() ? ultima_ : pantalla_;
    if (v.Viva()) {
      int w = 0, h = 0;
      v.ventana->TamanoCliente(&w, &h);
      modo->Width = static_cast<UINT>(w > 0 ? w : 0);
      modo->Height = static_cast<UINT>(h > 0 ? h : 0);
    }
    return D3D_OK;
  }

  HRESULT CheckDeviceFormat(UINT adaptador, D3DDEVTYPE tipo, D3DFORMAT formatoPantalla, DWORD usage,
                            D3DRESOURCETYPE recurso, D3DFORMAT formato) override {
    if (adaptador != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
    if (tipo != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
    // The display formats a Direct3D 8 adapter can run windowed on.
    if (formatoPantalla != D3DFMT_X8R8G8B8 && formatoPantalla != D3DFMT_R5G6B5 &&
        formatoPantalla != D3DFMT_X1R5G5B5)
      return D3DERR_NOTAVAILABLE;
    // Answered from the same list CreateTexture creates from.
    if (recurso == D3DRTYPE_TEXTURE && usage == 0 && BuscarFormato(formato) != nullptr)
      return D3D_OK;
    return D3DERR_NOTAVAILABLE;
  }

  HRESULT CreateDevice(UINT adaptador, D3DDEVTYPE tipo, HWND ventanaFoco, DWORD comportamiento,
                       D3DPRESENT_PARAMETERS* pp, IDirect3DDevice8** dispositivo) override {
    if (dispositivo == nullptr) return D3DERR_INVALIDCALL;
    *dispositivo = nullptr;
    if (adaptador != D3DADAPTER_DEFAULT || pp == nullptr) return D3DERR_INVALIDCALL;
    if (tipo != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
    if (pp->MultiSampleType != D3DMULTISAMPLE_NONE) return D3DERR_NOTAVAILABLE;
    // The device window is the presentation window when given, else the
    // focus window, as Direct3D picks them.
    IVentanaD3D* ventana = pp->hDeviceWindow != nullptr ? pp->hDeviceWindow : ventanaFoco;
    if (ventana == nullptr) return D3DERR_INVALIDCALL;
    const HRESULT hr =
        DispositivoGL::Crear(std::make_shared<ContextoGL>(ventana), *pp, dispositivo);
    if (SUCCEEDED(hr)) ultima_ = VentanaVigilada(ventana);
    return hr;
  }

 private:
  VentanaVigilada pantalla_;
  VentanaVigilada ultima_;
};

}  // namespace
}  // namespace gl8

FabricaD3D8 FabricaD3D8GL(IVentanaD3D* pantalla) {
  return [vigilada = gl8::VentanaVigilada(pantalla)]() -> IDirect3D8* {
    return new gl8::Direct3D8GL(vigilada);
  };
}
