// A Direct3D 8 implementation that draws nothing and records every call.
//
// Tests of the render classes install it behind `Direct3DCreate8` and then
// read back, in order, every call made on any object it handed out: the
// IDirect3D8, its devices, their textures and vertex buffers. Each record
// keeps the method name, the numeric arguments, the identity of the object
// arguments (textures, vertex buffers, the window), a copy of any matrix or
// present parameters, the result and a short text such as
// `SetRenderState(8,3)`.
//
// Resources are real memory: `LockRect` hands out a level of the right size
// and pitch, `Lock` the vertex buffer's bytes, and both stay readable through
// `Textura` and `VertexBuffer` for as long as the recording exists. Fresh
// memory is filled with 0xCD so that bytes nobody wrote stand out.
//
// Any call can be made to fail with a chosen HRESULT (`Fallar`): a failed
// call has no effect and clears its out pointer, as Direct3D does.
//
// Reference counts follow COM: every object starts at 1, AddRef and Release
// are recorded, and an object whose count reaches 0 is dead. Calls on a dead
// object, a Release past zero, nested scenes and unbalanced locks are not
// crashes here but entries in `Errores()`. Unlike Direct3D, binding a texture
// or a stream adds no reference, so a test sees exactly the references the
// code under test takes and gives back.
//
// Use:
//   GrabacionD3D8 grabacion;
//   auto instalada = grabacion.Instalar();   // Direct3DCreate8 now records
//   grabacion.Fallar({.metodo = "CheckDeviceFormat", .resultado = D3DERR_NOTAVAILABLE,
//                     .argumento = 5, .valor = D3DFMT_X8R8G8B8});
//   ... run the code under test ...
//   EXPECT_EQ(grabacion.Textos({"DrawPrimitive"}),
//             (std::vector<std::string>{"DrawPrimitive(5,0,2)"}));
//
// Memory: the recording owns every object it created. Objects the code under
// test never released keep the recording's memory alive after the
// `GrabacionD3D8` is destroyed, so that a late Release (a static owner at
// exit) is still safe; `LiberarRestantes` drops them when a test is done.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "render/d3d8/d3d8.h"

// The kind of object a call was made on. `Fabrica` is Direct3DCreate8 itself.
enum class ObjetoD3D8 { Fabrica, Direct3D, Dispositivo, Textura, VertexBuffer };

struct LlamadaD3D8 {
  ObjetoD3D8 objeto = ObjetoD3D8::Fabrica;
  // The object the call was made on (null for Direct3DCreate8) and its name
  // in the recording: "D3D1", "Dispositivo1", "T1", "VB1"... numbered per
  // kind in creation order.
  const void* instancia = nullptr;
  std::string nombreObjeto;
  std::string metodo;
  // Numeric arguments in order, out parameters left out. Every DWORD, UINT
  // and float is exact in a double.
  std::vector<double> numeros;
  // Pointer arguments in order (textures, vertex buffers, the window,
  // rectangles, matrices), null ones included; out parameters left out.
  std::vector<const void*> punteros;
  std::optional<D3DMATRIX> matriz;                  // SetTransform's matrix
  std::optional<D3DPRESENT_PARAMETERS> parametros;  // CreateDevice's parameters
  // What the call handed out through its out parameter: the new object of a
  // Create*, the memory of a Lock or LockRect. Null when it failed.
  const void* creado = nullptr;
  // The HRESULT returned; for AddRef and Release the new reference count.
  HRESULT resultado = D3D_OK;
  bool inyectado = false;  // the result came from a `Fallar` rule
  // "SetRenderState(8,3)", "SetTexture(0,T1)", "Clear(0,null,3,0xFFFF00FF,1,0)".
  std::string texto;

  std::string TextoCompleto() const { return nombreObjeto + "." + texto; }
};

// A rule that makes calls fail. A call matches when its method is `metodo`
// and, if `argumento` is not negative, its numeric argument at that index
// equals `valor`. With `vez` 0 every matching call fails; with `vez` n only
// the n-th matching call (1 is the first) since the rule was added.
struct FalloD3D8 {
  std::string metodo;
  HRESULT resultado = E_FAIL;
  int vez = 0;
  int argumento = -1;
  double valor = 0;
};

// What a texture holds, readable at any time.
struct DatosTextura {
  UINT ancho = 0, alto = 0;
  D3DFORMAT formato = D3DFMT_UNKNOWN;
  DWORD usage = 0;
  D3DPOOL pool = D3DPOOL_DEFAULT;
  // Level i is `pitch[i]` bytes per row, its top row first.
  std::vector<std::vector<BYTE>> niveles;
  std::vector<INT> pitch;
  std::vector<bool> bloqueado;
};

struct DatosVertexBuffer {
  UINT longitud = 0;
  DWORD usage = 0, fvf = 0;
  D3DPOOL pool = D3DPOOL_DEFAULT;
  std::vector<BYTE> bytes;
  int bloqueos = 0;  // Lock calls not yet matched by Unlock
};

namespace grabacion {
struct Estado;
}

class GrabacionD3D8 {
 public:
  GrabacionD3D8();
  ~GrabacionD3D8();
  GrabacionD3D8(const GrabacionD3D8&) = delete;
  GrabacionD3D8& operator=(const GrabacionD3D8&) = delete;

  // A factory for PonerFabricaD3D8: each call makes a new recording
  // IDirect3D8, or null once this recording is gone or when a rule makes
  // "Direct3DCreate8" fail.
  FabricaD3D8 Fabrica();
  // Installs `Fabrica()` until the returned object is destroyed.
  [[nodiscard]] FabricaD3D8Temporal Instalar();

  // ------------------------------------------------------------ behaviour
  void Fallar(FalloD3D8 fallo);
  void QuitarFallos();
  // What GetAdapterDisplayMode reports; X8R8G8B8, 1024 x 768 by default.
  void PonerModoPantalla(D3DFORMAT formato, UINT ancho = 1024, UINT alto = 768);
  // The formats CheckDeviceFormat accepts for textures and CreateTexture
  // creates; all of R8G8B8, A8R8G8B8, X8R8G8B8, R5G6B5, X1R5G5B5, A1R5G5B5
  // by default.
  void PonerFormatosTextura(std::vector<D3DFORMAT> formatos);

  // ----------------------------------------------------------------- calls
  const std::vector<LlamadaD3D8>& Llamadas() const;
  // Texts of every call, or only of calls to the given methods, in order.
  std::vector<std::string> Textos() const;
  std::vector<std::string> Textos(std::initializer_list<std::string_view> metodos) const;
  std::vector<const LlamadaD3D8*> Filtrar(std::string_view metodo) const;
  std::size_t Contar(std::string_view metodo) const;
  // Forgets the calls recorded so far; objects and rules stay.
  void Olvidar();

  // --------------------------------------------------------------- objects
  int Vivos() const;
  int Vivos(ObjetoD3D8 tipo) const;
  // Current reference count; 0 for a dead object or one not from here.
  ULONG Referencias(const void* objeto) const;
  std::string Nombre(const void* objeto) const;
  // Misuse seen so far, one line each ("T1.Release: already released").
  const std::vector<std::string>& Errores() const;
  // Resources in creation order, dead ones included.
  std::vector<IDirect3DTexture8*> Texturas() const;
  std::vector<IDirect3DVertexBuffer8*> VertexBuffers() const;
  std::vector<IDirect3DDevice8*> Dispositivos() const;
  // Contents; null for an object that is not from this recording.
  const DatosTextura* Textura(const IDirect3DTexture8* textura) const;
  const DatosVertexBuffer* VertexBuffer(const IDirect3DVertexBuffer8* vb) const;
  // Drops every reference still held, as if each owner had released it.
  // Only for the end of a test: the objects must not be used afterwards.
  void LiberarRestantes();

 private:
  std::shared_ptr<grabacion::Estado> estado_;
};
