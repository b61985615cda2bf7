// The level data block: rooms, then the counted sections in file order.

#include <algorithm>
#include <string>
#include <utility>

#include "level/trLector.h"
#include "level/trNivel.h"

namespace {

// Smallest room in the file: the fixed fields with every count 0 (16 + 4 +
// 4 x 2 + 2 + 2 + 2 + 4 + 2 + 2 + 2 + 2 + 3). Bounds the storage reserved
// for the rooms by what the block could possibly hold.
constexpr std::uint32_t kSalaMinima = 49;

// Walks the block. The first failing read stops everything; `fallo` then
// says what broke and where.
class AnalizadorDatos {
 public:
  AnalizadorDatos(const std::uint8_t* datos, std::uint32_t tamano) {
    lector.Iniciar(tamano, datos);
  }

  bool Fallo() const { return !fallo.empty(); }
  const std::string& Motivo() const { return fallo; }
  std::uint32_t Posicion() const { return lector.posicion; }

  // A field or run of bytes read straight into the record. `sujeto` names it
  // with its article, for the reason text.
  bool Campo(void* destino, std::uint32_t n, const std::string& sujeto, bool plural) {
    if (Fallo()) return false;
    if (lector.Leer(destino, n)) return true;
    Fallar(sujeto, plural);
    return false;
  }

  // `cantidad` elements read with one copy. The byte size is worked out in
  // 64 bits and checked against what is left before anything is allocated,
  // so a hostile count cannot size an allocation.
  template <class T>
  bool Arreglo(std::vector<T>& destino, std::uint64_t cantidad, const std::string& sujeto) {
    if (Fallo()) return false;
    const std::uint64_t bytes = cantidad * sizeof(T);
    if (bytes > lector.Restante()) {
      Fallar(sujeto, true);
      return false;
    }
    destino.resize(static_cast<std::size_t>(cantidad));
    lector.Leer(destino.data(), static_cast<std::uint32_t>(bytes));
    return true;
  }

  // A uint32 count followed by its elements.
  template <class T>
  bool Seccion(std::uint32_t& cantidad, std::vector<T>& destino, const std::string& nombre,
               const std::string& articulo) {
    return Campo(&cantidad, 4, "la cantidad de " + nombre, false) &&
           Arreglo(destino, cantidad, articulo + " " + nombre);
  }

  bool Sala(trSala& sala, int indice);
  bool ObjetosTextura(std::uint32_t& cantidad, std::vector<trObjetoTextura>& destino);

 private:
  void Fallar(const std::string& sujeto, bool plural) {
    fallo = "datos del nivel: " + sujeto + (plural ? " pasan" : " pasa") +
            " del final en el offset " + std::to_string(lector.posicion) + " (el bloque tiene " +
            std::to_string(lector.tamano) + " bytes)";
  }

  trLector lector;
  std::string fallo;
};

bool AnalizadorDatos::Sala(trSala& s, int indice) {
  const std::string de = " de la sala " + std::to_string(indice);
  // Signed counts: 0 or below means no array and no element bytes.
  auto positivos = [](std::int16_t n) { return n > 0 ? static_cast<std::uint64_t>(n) : 0; };
  Campo(&s.posicion, 16, "la posición" + de, false);
  Campo(&s.cantidadPalabras, 4, "la cantidad de palabras" + de, false);
  Campo(&s.cantidadVertices, 2, "la cantidad de vértices" + de, false);
  Arreglo(s.vertices, positivos(s.cantidadVertices), "los vértices" + de);
  Campo(&s.cantidadRectangulos, 2, "la cantidad de rectángulos" + de, false);
  Arreglo(s.rectangulos, positivos(s.cantidadRectangulos), "los rectángulos" + de);
  Campo(&s.cantidadTriangulos, 2, "la cantidad de triángulos" + de, false);
  Arreglo(s.triangulos, positivos(s.cantidadTriangulos), "los triángulos" + de);
  Campo(&s.cantidadSprites, 2, "la cantidad de sprites" + de, false);
  Arreglo(s.sprites, positivos(s.cantidadSprites), "los sprites" + de);
  Campo(&s.cantidadPortales, 2, "la cantidad de portales" + de, false);
  Arreglo(s.portales, s.cantidadPortales, "los portales" + de);
  Campo(&s.sectoresZ, 2, "la cantidad de sectores en z" + de, false);
  Campo(&s.sectoresX, 2, "la cantidad de sectores en x" + de, false);
  Arreglo(s.sectores, std::uint64_t{s.sectoresZ} * s.sectoresX, "los sectores" + de);
  Campo(&s.colorAmbiente, 4, "el color ambiente" + de, false);
  Campo(&s.cantidadLuces, 2, "la cantidad de luces" + de, false);
  Arreglo(s.luces, std::uint64_t{s.cantidadLuces} * 46, "las luces" + de);
  Campo(&s.cantidadMeshesEstaticos, 2, "la cantidad de meshes estáticos" + de, false);
  Arreglo(s.meshesEstaticos, s.cantidadMeshesEstaticos, "los meshes estáticos" + de);
  Campo(&s.salaAlterna, 2, "la sala alterna" + de, false);
  Campo(&s.banderas, 2, "las banderas" + de, true);
  Campo(&s.esquemaAgua, 1, "el esquema de agua" + de, false);
  Campo(&s.reverberacion, 1, "la reverberación" + de, false);
  Campo(&s.grupoAlterno, 1, "el grupo alterno" + de, false);
  return !Fallo();
}

bool AnalizadorDatos::ObjetosTextura(std::uint32_t& cantidad,
                                     std::vector<trObjetoTextura>& destino) {
  if (!Campo(&cantidad, 4, "la cantidad de texturas de objeto", false)) return false;
  // 38 bytes each in the file; the record is padded, hence field by field.
  if (std::uint64_t{cantidad} * 38 > lector.Restante()) {
    Fallar("las texturas de objeto", true);
    return false;
  }
  destino.resize(cantidad);
  for (trObjetoTextura& t : destino) {
    lector.Leer(&t.atributo, 2);
    lector.Leer(&t.baldosa, 2);
    lector.Leer(&t.banderas, 2);
    for (trEsquinaTextura& e : t.esquinas) lector.Leer(&e, 4);
    lector.Leer(&t.u, 4);
    lector.Leer(&t.v, 4);
    lector.Leer(&t.ancho, 4);
    lector.Leer(&t.alto, 4);
  }
  return true;
}

// Sections 1 to 25: all of them must be whole.
bool LeerCuerpo(AnalizadorDatos& a, std::uint32_t tamanoBloque, trSeccionesNivel& s) {
  a.Campo(&s.valorInicial, 4, "el valor inicial", false);
  if (a.Campo(&s.cantidadSalas, 2, "la cantidad de salas", false)) {
    s.salas.reserve(std::min<std::uint32_t>(s.cantidadSalas, tamanoBloque / kSalaMinima));
    for (int i = 0; i < s.cantidadSalas && !a.Fallo(); ++i) a.Sala(s.salas.emplace_back(), i);
  }
  a.Seccion(s.cantidadDatosSuelo, s.datosSuelo, "datos de suelo", "los");
  a.Seccion(s.cantidadPalabrasMesh, s.palabrasMesh, "palabras de mesh", "las");
  a.Seccion(s.cantidadPunterosMesh, s.punterosMesh, "punteros de mesh", "los");
  a.Seccion(s.cantidadAnimaciones, s.animaciones, "animaciones", "las");
  a.Seccion(s.cantidadCambiosEstado, s.cambiosEstado, "cambios de estado", "los");
  a.Seccion(s.cantidadDespachos, s.despachos, "despachos de animación", "los");
  a.Seccion(s.cantidadComandosAnimacion, s.comandosAnimacion, "comandos de animación", "los");
  a.Seccion(s.cantidadArbolesMesh, s.arbolesMesh, "árboles de mesh", "los");
  a.Seccion(s.cantidadCuadros, s.cuadros, "cuadros de animación", "los");
  a.Seccion(s.cantidadMovibles, s.movibles, "movibles", "los");
  a.Seccion(s.cantidadMeshesEstaticos, s.meshesEstaticos, "meshes estáticos", "los");
  a.Campo(s.marcaSprites, 3, "la marca de sprites", false);
  a.Seccion(s.cantidadTexturasSprite, s.texturasSprite, "texturas de sprite", "las");
  a.Seccion(s.cantidadSecuenciasSprite, s.secuenciasSprite, "secuencias de sprite", "las");
  a.Seccion(s.cantidadCamaras, s.camaras, "cámaras", "las");
  a.Seccion(s.cantidadCamarasVuelo, s.camarasVuelo, "cámaras de vuelo", "las");
  a.Seccion(s.cantidadFuentesSonido, s.fuentesSonido, "fuentes de sonido", "las");
  a.Seccion(s.cantidadCajas, s.cajas, "cajas", "las");
  a.Seccion(s.cantidadSolapes, s.solapes, "solapes", "los");
  a.Arreglo(s.zonas, s.cantidadCajas, "las zonas");
  a.Seccion(s.cantidadTexturasAnimadas, s.texturasAnimadas, "texturas animadas", "las");
  a.Campo(s.marcaObjetosTextura, 4, "la marca de texturas de objeto", false);
  a.ObjetosTextura(s.cantidadObjetosTextura, s.objetosTextura);
  return !a.Fallo();
}

// Sections 26 to 32. Later level tools lay these out differently, so a
// failure here is reported and the tail is left empty from the failing
// section on; the sections read before it stay.
void LeerCola(AnalizadorDatos& a, trSeccionesNivel& s) {
  if (!a.Seccion(s.cantidadEntidades, s.entidades, "entidades", "las")) {
    s.cantidadEntidades = 0;
    return;
  }
  if (!a.Seccion(s.cantidadObjetosIA, s.objetosIA, "objetos de IA", "los")) {
    s.cantidadObjetosIA = 0;
    return;
  }
  if (!a.Campo(&s.cantidadDemo, 2, "la cantidad de datos de demo", false) ||
      !a.Arreglo(s.datosDemo, s.cantidadDemo, "los datos de demo")) {
    s.cantidadDemo = 0;
    return;
  }
  if (!a.Campo(s.mapaSonido, sizeof s.mapaSonido, "el mapa de sonido", false)) return;
  if (!a.Seccion(s.cantidadDetallesSonido, s.detallesSonido, "detalles de sonido", "los")) {
    s.cantidadDetallesSonido = 0;
    return;
  }
  if (!a.Seccion(s.cantidadIndicesMuestra, s.indicesMuestra, "índices de muestra", "los")) {
    s.cantidadIndicesMuestra = 0;
    return;
  }
  a.Campo(s.bytesFinales, 6, "los bytes finales", true);
}

}  // namespace

int LeerDatosNivel(trNivel* nivel, std::string* motivo) {
  const std::uint32_t tamano = static_cast<std::uint32_t>(
      std::min<std::size_t>(nivel->tamanoBloque4, nivel->bloque4.size()));
  AnalizadorDatos a(nivel->bloque4.data(), tamano);
  trSeccionesNivel s;
  if (!LeerCuerpo(a, tamano, s)) {
    if (motivo != nullptr) *motivo = a.Motivo();
    return 0;
  }
  LeerCola(a, s);
  std::string advertencia;
  if (a.Fallo())
    advertencia = a.Motivo() + "; la cola (lo que sigue a las texturas de objeto) no tiene el " +
                  "formato clásico y se deja vacía desde ahí";
  static_cast<trSeccionesNivel&>(*nivel) = std::move(s);
  nivel->advertencia = std::move(advertencia);
  return 1;
}
