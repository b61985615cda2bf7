#include "render/grabacion/GrabacionD3D8.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "render/grabacion/EstadoGrabacion.h"

namespace grabacion {

// ------------------------------------------------------------------ Estado
ObjetoGrabado* Estado::Buscar(const void* interfaz) const {
  auto it = porInterfaz.find(interfaz);
  return it == porInterfaz.end() ? nullptr : it->second;
}

std::string Estado::NombreDe(const void* puntero, const char* otro) const {
  if (puntero == nullptr) return "null";
  if (ObjetoGrabado* objeto = Buscar(puntero)) return objeto->nombre;
  return otro;
}

std::string Estado::NombreNuevo(ObjetoD3D8 tipo) {
  static constexpr const char* kPrefijos[] = {"Fabrica", "D3D", "Dispositivo", "T", "VB"};
  const auto i = static_cast<std::size_t>(tipo);
  return kPrefijos[i] + std::to_string(++creados[i]);
}

// ----------------------------------------------------------- ObjetoGrabado
ObjetoGrabado::ObjetoGrabado(const std::shared_ptr<Estado>& estado_, ObjetoD3D8 tipo_)
    : comun(*estado_), clase(tipo_), nombre(estado_->NombreNuevo(tipo_)), vida_(estado_) {}

ULONG ObjetoGrabado::HacerAddRef() {
  Llamada ll(*this, "AddRef");
  if (!Vivo()) {
    ll.Error("AddRef on a released object");
    ll.Terminar(0);
    return 0;
  }
  ++referencias;
  ll.Terminar(static_cast<HRESULT>(referencias));
  return referencias;
}

ULONG ObjetoGrabado::HacerRelease() {
  Llamada ll(*this, "Release");
  if (!Vivo()) {
    ll.Error("already released");
    ll.Terminar(0);
    return 0;
  }
  const ULONG quedan = --referencias;
  ll.Terminar(static_cast<HRESULT>(quedan));
  if (quedan == 0) {
    // The last hold on the state may be this one; dropping it may destroy
    // the state and this object with it, so it goes out last.
    auto ultima = std::move(vida_);
  }
  return quedan;
}

void ObjetoGrabado::Matar() {
  referencias = 0;
  vida_.reset();
}

// ----------------------------------------------------------------- Llamada
namespace {
std::string Numero(double valor) {
  char texto[32];
  if (std::nearbyint(valor) == valor && std::fabs(valor) < 1e15)
    std::snprintf(texto, sizeof texto, "%lld", static_cast<long long>(valor));
  else
    std::snprintf(texto, sizeof texto, "%g", valor);
  return texto;
}
}  // namespace

Llamada::Llamada(ObjetoGrabado& objeto, const char* metodo)
    : estado_(objeto.comun), objeto_(&objeto) {
  registro_.objeto = objeto.clase;
  registro_.instancia = objeto.Interfaz();
  registro_.nombreObjeto = objeto.nombre;
  registro_.metodo = metodo;
}

Llamada::Llamada(Estado& estado, const char* metodo) : estado_(estado), objeto_(nullptr) {
  registro_.objeto = ObjetoD3D8::Fabrica;
  registro_.nombreObjeto = "Direct3D";
  registro_.metodo = metodo;
}

void Llamada::Argumento(const std::string& texto) {
  if (!argumentos_.empty()) argumentos_ += ',';
  argumentos_ += texto;
}

Llamada& Llamada::N(double valor) {
  registro_.numeros.push_back(valor);
  Argumento(Numero(valor));
  return *this;
}

Llamada& Llamada::Color(D3DCOLOR color) {
  registro_.numeros.push_back(color);
  char texto[16];
  std::snprintf(texto, sizeof texto, "0x%08X", static_cast<unsigned>(color));
  Argumento(texto);
  return *this;
}

Llamada& Llamada::P(const void* puntero, const char* nombre) {
  registro_.punteros.push_back(puntero);
  Argumento(estado_.NombreDe(puntero, nombre));
  return *this;
}

Llamada& Llamada::Matriz(const D3DMATRIX* matriz) {
  registro_.punteros.push_back(matriz);
  if (matriz != nullptr) registro_.matriz = *matriz;
  Argumento(matriz != nullptr ? "M" : "null");
  return *this;
}

Llamada& Llamada::Parametros(const D3DPRESENT_PARAMETERS* parametros) {
  registro_.punteros.push_back(parametros);
  if (parametros != nullptr) registro_.parametros = *parametros;
  Argumento(parametros != nullptr ? "pp" : "null");
  return *this;
}

std::optional<HRESULT> Llamada::Rechazo() {
  if (objeto_ != nullptr && !objeto_->Vivo()) {
    Error("called on a released object");
    return D3DERR_INVALIDCALL;
  }
  std::optional<HRESULT> resultado;
  for (Estado::Regla& regla : estado_.reglas) {
    const FalloD3D8& f = regla.fallo;
    if (f.metodo != registro_.metodo) continue;
    if (f.argumento >= 0) {
      const auto i = static_cast<std::size_t>(f.argumento);
      if (i >= registro_.numeros.size() || registro_.numeros[i] != f.valor) continue;
    }
    ++regla.coincidencias;
    if (!resultado && (f.vez == 0 || f.vez == regla.coincidencias)) resultado = f.resultado;
  }
  registro_.inyectado = resultado.has_value();
  return resultado;
}

void Llamada::Error(const std::string& motivo) {
  estado_.errores.push_back(registro_.nombreObjeto + "." + registro_.metodo + ": " + motivo);
}

HRESULT Llamada::Terminar(HRESULT resultado, const void* creado) {
  registro_.resultado = resultado;
  registro_.creado = creado;
  registro_.texto = registro_.metodo + "(" + argumentos_ + ")";
  estado_.llamadas.push_back(std::move(registro_));
  return resultado;
}

}  // namespace grabacion

// ------------------------------------------------------------ GrabacionD3D8
using grabacion::Estado;

GrabacionD3D8::GrabacionD3D8() : estado_(std::make_shared<Estado>()) {}

GrabacionD3D8::~GrabacionD3D8() = default;

FabricaD3D8 GrabacionD3D8::Fabrica() {
  std::weak_ptr<Estado> debil = estado_;
  return [debil]() -> IDirect3D8* {
    auto estado = debil.lock();
    return estado ? grabacion::CrearDirect3D(estado) : nullptr;
  };
}

FabricaD3D8Temporal GrabacionD3D8::Instalar() { return FabricaD3D8Temporal(Fabrica()); }

void GrabacionD3D8::Fallar(FalloD3D8 fallo) { estado_->reglas.push_back({std::move(fallo), 0}); }

void GrabacionD3D8::QuitarFallos() { estado_->reglas.clear(); }

void GrabacionD3D8::PonerModoPantalla(D3DFORMAT formato, UINT ancho, UINT alto) {
  estado_->modo.Format = formato;
  estado_->modo.Width = ancho;
  estado_->modo.Height = alto;
}

void GrabacionD3D8::PonerFormatosTextura(std::vector<D3DFORMAT> formatos) {
  estado_->formatosTextura = std::move(formatos);
}

const std::vector<LlamadaD3D8>& GrabacionD3D8::Llamadas() const { return estado_->llamadas; }

std::vector<std::string> GrabacionD3D8::Textos() const {
  std::vector<std::string> textos;
  for (const LlamadaD3D8& ll : estado_->llamadas) textos.push_back(ll.texto);
  return textos;
}

std::vector<std::string> GrabacionD3D8::Textos(
    std::initializer_list<std::string_view> metodos) const {
  std::vector<std::string> textos;
  for (const LlamadaD3D8& ll : estado_->llamadas)
    if (std::find(metodos.begin(), metodos.end(), ll.metodo) != metodos.end())
      textos.push_back(ll.texto);
  return textos;
}

std::vector<const LlamadaD3D8*> GrabacionD3D8::Filtrar(std::string_view metodo) const {
  std::vector<const LlamadaD3D8*> filtradas;
  for (const LlamadaD3D8& ll : estado_->llamadas)
    if (ll.metodo == metodo) filtradas.push_back(&ll);
  return filtradas;
}

std::size_t GrabacionD3D8::Contar(std::string_view metodo) const {
  return static_cast<std::size_t>(
      std::count_if(estado_->llamadas.begin(), estado_->llamadas.end(),
                    [&](const LlamadaD3D8& ll) { return ll.metodo == metodo; }));
}

void GrabacionD3D8::Olvidar() { estado_->llamadas.clear(); }

int GrabacionD3D8::Vivos() const {
  return static_cast<int>(std::count_if(estado_->objetos.begin(), estado_->objetos.end(),
                                        [](const auto& o) { return o->Vivo(); }));
}

int GrabacionD3D8::Vivos(ObjetoD3D8 tipo) const {
  return static_cast<int>(
      std::count_if(estado_->objetos.begin(), estado_->objetos.end(),
                    [tipo](const auto& o) { return o->clase == tipo && o->Vivo(); }));
}

ULONG GrabacionD3D8::Referencias(const void* objeto) const {
  const grabacion::ObjetoGrabado* o = estado_->Buscar(objeto);
  return o != nullptr ? o->referencias : 0;
}

std::string GrabacionD3D8::Nombre(const void* objeto) const { return estado_->NombreDe(objeto); }

const std::vector<std::string>& GrabacionD3D8::Errores() const { return estado_->errores; }

namespace {
template <class Interfaz>
std::vector<Interfaz*> DeTipo(const Estado& estado, ObjetoD3D8 tipo) {
  std::vector<Interfaz*> lista;
  for (const auto& o : estado.objetos)
    if (o->clase == tipo) lista.push_back(static_cast<Interfaz*>(const_cast<void*>(o->Interfaz())));
  return lista;
}
}  // namespace

std::vector<IDirect3DTexture8*> GrabacionD3D8::Texturas() const {
  return DeTipo<IDirect3DTexture8>(*estado_, ObjetoD3D8::Textura);
}

std::vector<IDirect3DVertexBuffer8*> GrabacionD3D8::VertexBuffers() const {
  return DeTipo<IDirect3DVertexBuffer8>(*estado_, ObjetoD3D8::VertexBuffer);
}

std::vector<IDirect3DDevice8*> GrabacionD3D8::Dispositivos() const {
  return DeTipo<IDirect3DDevice8>(*estado_, ObjetoD3D8::Dispositivo);
}

const DatosTextura* GrabacionD3D8::Textura(const IDirect3DTexture8* textura) const {
  return grabacion::DatosDe(estado_->Buscar(textura), textura);
}

const DatosVertexBuffer* GrabacionD3D8::VertexBuffer(const IDirect3DVertexBuffer8* vb) const {
  return grabacion::DatosDe(estado_->Buscar(vb), vb);
}

void GrabacionD3D8::LiberarRestantes() {
  for (const auto& o : estado_->objetos)
    if (o->Vivo()) o->Matar();
}
