// varidazir-cli render: one frame of one mesh, drawn as the viewer draws it,
// into a PNG file.

#include <charconv>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "comandos.h"
#include "geometry/ConvertirMeshes.h"
#include "geometry/dxBufferTextura.h"
#include "level/Lista_Mesh.h"
#include "level/trNivel.h"
#include "render/Cuadro.h"
#include "render/dxDevice8.h"
#include "render/dxMain.h"
#include "render/gl/D3D8GL.h"
#include "render/gl/VentanaEGL.h"
#include "render/trTextura.h"

namespace {

struct Opciones {
  std::string nivel, salida;
  std::optional<int> mesh;
  int ancho = kAnchoPanel, alto = kAltoPanel;
  VistaMesh vista;
  bool bits16 = false, alambre = false;
};

// Numbers are read the same way in every locale.
template <typename T>
bool Numero(const std::string& texto, T* valor) {
  const char* fin = texto.data() + texto.size();
  auto [p, error] = std::from_chars(texto.data(), fin, *valor);
  return error == std::errc() && p == fin;
}

bool Tamano(const std::string& texto, int* ancho, int* alto) {
  const auto x = texto.find('x');
  return x != std::string::npos && Numero(texto.substr(0, x), ancho) &&
         Numero(texto.substr(x + 1), alto) && *ancho > 0 && *alto > 0 && *ancho <= 8192 &&
         *alto <= 8192;
}

// Returns an error text, empty when every argument was understood.
std::string Leer(const std::vector<std::string>& a, Opciones* o) {
  for (std::size_t i = 0; i < a.size(); ++i) {
    const std::string& x = a[i];
    auto siguiente = [&](std::size_t n) { return i + n < a.size(); };
    if (x == "--mesh" && siguiente(1)) {
      int m;
      if (!Numero(a[++i], &m)) return "índice de mesh no válido: " + a[i];
      o->mesh = m;
    } else if (x == "--out" && siguiente(1)) {
      o->salida = a[++i];
    } else if (x == "--size" && siguiente(1)) {
      if (!Tamano(a[++i], &o->ancho, &o->alto)) return "tamaño no válido: " + a[i];
    } else if (x == "--yaw" && siguiente(1)) {
      if (!Numero(a[++i], &o->vista.rotY)) return "giro no válido: " + a[i];
    } else if (x == "--pitch" && siguiente(1)) {
      if (!Numero(a[++i], &o->vista.rotX)) return "inclinación no válida: " + a[i];
    } else if (x == "--scale" && siguiente(1)) {
      if (!Numero(a[++i], &o->vista.escala)) return "escala no válida: " + a[i];
    } else if (x == "--pan" && siguiente(2)) {
      if (!Numero(a[i + 1], &o->vista.panX) || !Numero(a[i + 2], &o->vista.panY))
        return "desplazamiento no válido: " + a[i + 1] + " " + a[i + 2];
      i += 2;
    } else if (x == "--16bit") {
      o->bits16 = true;
    } else if (x == "--wireframe") {
      o->alambre = true;
    } else if (!x.empty() && x[0] != '-' && o->nivel.empty()) {
      o->nivel = x;
    } else {
      return "argumento no reconocido: " + x;
    }
  }
  if (o->nivel.empty() || !o->mesh || o->salida.empty()) return "faltan NIVEL, --mesh o --out";
  return {};
}

int Fallo(const std::string& texto) {
  std::fprintf(stderr, "varidazir-cli render: %s\n", texto.c_str());
  return kSalidaFallo;
}

}  // namespace

int ComandoRender(const std::vector<std::string>& argumentos) {
  Opciones o;
  if (std::string error = Leer(argumentos, &o); !error.empty()) return Fallo(error);

  trNivel nivel;
  std::string motivo;
  if (!LeerNivel(o.nivel.c_str(), &nivel, &motivo)) return Fallo(o.nivel + ": " + motivo);
  Lista_Mesh* leida = nullptr;
  LeerMeshes(nivel.palabrasMesh.data(), 2 * nivel.cantidadPalabrasMesh, &leida);
  std::unique_ptr<Lista_Mesh> lista(leida);
  trMesh* mesh = nullptr;
  if (!lista || !lista->ObtenerMesh(*o.mesh, &mesh))
    return Fallo(o.nivel + ": no hay mesh " + std::to_string(*o.mesh) + " (el nivel tiene " +
                 std::to_string(lista ? lista->Cantidad() : 0) + ")");

  std::unique_ptr<VentanaEGL> ventana = VentanaEGL::Crear(o.ancho, o.alto, &motivo);
  if (!ventana) return Fallo("no se puede dibujar sin OpenGL 3.3: " + motivo);
  FabricaD3D8Temporal gl(FabricaD3D8GL(ventana.get()));

  // The viewer's start-up, open and selection, then one of its frames.
  dxMain contexto;
  dxDevice8* creado = nullptr;
  contexto.CrearContexto();
  contexto.CrearDispositivo(ventana.get(), true, &creado);
  std::unique_ptr<dxDevice8> dispositivo(creado);
  if (!dispositivo || dispositivo->Dispositivo() == nullptr)
    return Fallo("no se pudo crear el dispositivo de dibujo");
  PrepararDispositivo(*dispositivo, AspectoVentana(kAnchoFormulario, kAltoFormulario));

  auto paginas = std::make_unique<trTextura>(&nivel);
  if (!o.bits16 && contexto.SoportaTextura(D3DFMT_X8R8G8B8))
    paginas->CargarPaginas32(dispositivo.get());
  else
    paginas->CargarPaginas16(dispositivo.get());
  ConvertirMeshes(*lista, dispositivo.get(), paginas.get(), nivel);

  SeleccionarMesh(*dispositivo, *mesh);
  o.vista.buffer = lista->ObtenerBuffer(*o.mesh);
  DibujarCuadro(*dispositivo, o.vista, mesh, o.alambre ? 2 : 0);
  const bool guardado = ventana->GuardarPNG(o.salida, &motivo);

  // Buffers before their pages, both before the device.
  lista.reset();
  paginas.reset();
  dispositivo.reset();
  if (!guardado) return Fallo(o.salida + ": " + motivo);
  return kSalidaBien;
}
