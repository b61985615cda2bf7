// Inside of the recording implementation: the shared state every recorded
// object writes into, and the helper that turns one call into a record.
// Only GrabacionD3D8.cpp and ObjetosGrabados.cpp include this.
#pragma once

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "render/grabacion/GrabacionD3D8.h"

namespace grabacion {

class ObjetoGrabado;

struct Estado : std::enable_shared_from_this<Estado> {
  std::vector<LlamadaD3D8> llamadas;
  struct Regla {
    FalloD3D8 fallo;
    int coincidencias = 0;
  };
  std::vector<Regla> reglas;
  std::vector<std::string> errores;
  // Every object ever created, owned here so that a call on a dead one is a
  // recorded error instead of a use after free.
  std::vector<std::unique_ptr<ObjetoGrabado>> objetos;
  // Interface pointer as the caller sees it -> object.
  std::map<const void*, ObjetoGrabado*> porInterfaz;
  std::array<int, 5> creados{};  // per ObjetoD3D8, for the names
  D3DDISPLAYMODE modo{1024, 768, 60, D3DFMT_X8R8G8B8};
  std::vector<D3DFORMAT> formatosTextura{D3DFMT_R8G8B8, D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8,
                                         D3DFMT_R5G6B5, D3DFMT_X1R5G5B5, D3DFMT_A1R5G5B5};

  ObjetoGrabado* Buscar(const void* interfaz) const;
  std::string NombreDe(const void* puntero, const char* otro = "ptr") const;
  // Takes ownership and registers the object under its interface pointer.
  template <class T>
  T* Registrar(std::unique_ptr<T> objeto);
  std::string NombreNuevo(ObjetoD3D8 tipo);
};

// What every recorded COM object shares: kind, name, reference count, and
// while alive a hold on the state so that leaked objects keep it valid.
class ObjetoGrabado {
 public:
  ObjetoGrabado(const std::shared_ptr<Estado>& estado, ObjetoD3D8 tipo);
  virtual ~ObjetoGrabado() = default;
  virtual const void* Interfaz() const = 0;

  Estado& comun;
  const ObjetoD3D8 clase;
  const std::string nombre;
  ULONG referencias = 1;

  bool Vivo() const { return referencias > 0; }
  // COM reference counting with the call recorded. Releasing the last
  // reference may destroy the state and with it this object, so nothing may
  // touch `*this` after HacerRelease returns.
  ULONG HacerAddRef();
  ULONG HacerRelease();
  // Makes the object dead without a recorded call (LiberarRestantes).
  void Matar();

 private:
  std::shared_ptr<Estado> vida_;
};

// One call being recorded. The methods build the argument list; `Rechazo`
// says whether the call must fail before doing anything (dead object or a
// failure rule), and `Terminar` stores the record and returns the result.
class Llamada {
 public:
  Llamada(ObjetoGrabado& objeto, const char* metodo);
  // Direct3DCreate8, which has no object.
  Llamada(Estado& estado, const char* metodo);

  Llamada& N(double valor);
  Llamada& Color(D3DCOLOR color);
  Llamada& P(const void* puntero, const char* nombre = "ptr");
  Llamada& Matriz(const D3DMATRIX* matriz);
  Llamada& Parametros(const D3DPRESENT_PARAMETERS* parametros);

  std::optional<HRESULT> Rechazo();
  void Error(const std::string& motivo);
  HRESULT Terminar(HRESULT resultado, const void* creado = nullptr);

 private:
  void Argumento(const std::string& texto);

  Estado& estado_;
  ObjetoGrabado* objeto_;
  LlamadaD3D8 registro_;
  std::string argumentos_;
};

template <class T>
T* Estado::Registrar(std::unique_ptr<T> objeto) {
  T* crudo = objeto.get();
  porInterfaz[crudo->Interfaz()] = crudo;
  objetos.push_back(std::move(objeto));
  return crudo;
}

// Factory entry: a new recording IDirect3D8 on `estado`.
IDirect3D8* CrearDirect3D(const std::shared_ptr<Estado>& estado);
// Bytes per texel of the texture formats the recording knows; 0 otherwise.
UINT BytesPorTexel(D3DFORMAT formato);
// Contents of a recorded texture or vertex buffer; null for another kind.
const DatosTextura* DatosDe(const ObjetoGrabado* objeto, const IDirect3DTexture8*);
const DatosVertexBuffer* DatosDe(const ObjetoGrabado* objeto, const IDirect3DVertexBuffer8*);

}  // namespace grabacion
