// varidazir-cli info: what a level holds, as text or as one JSON object.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "comandos.h"
#include "geometry/ConvertirMeshes.h"
#include "level/Lista_Mesh.h"
#include "level/trNivel.h"

namespace {

struct Cuenta {
  const char* texto;  // label in the text output
  const char* json;   // key in the JSON output
  std::uint64_t valor;
};

std::vector<Cuenta> CuentasDeSecciones(const trNivel& n) {
  return {{"salas", "rooms", n.cantidadSalas},
          {"datos de suelo", "floor_data", n.cantidadDatosSuelo},
          {"palabras de mesh", "mesh_data_words", n.cantidadPalabrasMesh},
          {"punteros de mesh", "mesh_pointers", n.cantidadPunterosMesh},
          {"animaciones", "animations", n.cantidadAnimaciones},
          {"cambios de estado", "state_changes", n.cantidadCambiosEstado},
          {"despachos de animación", "anim_dispatches", n.cantidadDespachos},
          {"comandos de animación", "anim_commands", n.cantidadComandosAnimacion},
          {"árboles de mesh", "mesh_trees", n.cantidadArbolesMesh},
          {"cuadros", "frames", n.cantidadCuadros},
          {"movibles", "moveables", n.cantidadMovibles},
          {"meshes estáticos", "static_meshes", n.cantidadMeshesEstaticos},
          {"texturas de sprite", "sprite_textures", n.cantidadTexturasSprite},
          {"secuencias de sprite", "sprite_sequences", n.cantidadSecuenciasSprite},
          {"cámaras", "cameras", n.cantidadCamaras},
          {"cámaras de vuelo", "flyby_cameras", n.cantidadCamarasVuelo},
          {"fuentes de sonido", "sound_sources", n.cantidadFuentesSonido},
          {"cajas", "boxes", n.cantidadCajas},
          {"solapes", "overlaps", n.cantidadSolapes},
          {"texturas animadas", "animated_textures", n.cantidadTexturasAnimadas},
          {"texturas de objeto", "object_textures", n.cantidadObjetosTextura},
          {"entidades", "entities", n.cantidadEntidades},
          {"objetos de IA", "ai_objects", n.cantidadObjetosIA},
          {"datos de demo", "demo_data", n.cantidadDemo},
          {"detalles de sonido", "sound_details", n.cantidadDetallesSonido},
          {"índices de muestra", "sample_indices", n.cantidadIndicesMuestra}};
}

// A JSON string literal; control characters as \u escapes, the rest (UTF-8
// included) as is.
std::string Json(const std::string& s) {
  std::string r = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      r += '\\';
      r += static_cast<char>(c);
    } else if (c < 0x20) {
      char e[8];
      std::snprintf(e, sizeof e, "\\u%04x", c);
      r += e;
    } else {
      r += static_cast<char>(c);
    }
  }
  return r + "\"";
}

std::vector<const trMesh*> Registros(const Lista_Mesh* lista) {
  std::vector<const trMesh*> r;
  for (int i = 0; lista != nullptr && i < lista->Cantidad(); ++i) {
    trMesh* m = nullptr;
    if (lista->ObtenerMesh(i, &m)) r.push_back(m);
  }
  return r;
}

void ImprimirTexto(const std::string& archivo, const trNivel& n,
                   const std::vector<const trMesh*>& meshes, const trRevisionCaras& caras) {
  std::printf("archivo: %s\n", archivo.c_str());
  std::printf("versión: 0x%08X\n", n.version);
  std::printf("páginas de salas / objetos / relieve: %u / %u / %u\n", n.cantidadPaginasSalas,
              n.cantidadPaginasObjetos, n.cantidadPaginasRelieve);
  const std::uint32_t tamanos[4][2] = {{n.tamanoBloque1, n.comprimidoBloque1},
                                       {n.tamanoBloque2, n.comprimidoBloque2},
                                       {n.tamanoBloque3, n.comprimidoBloque3},
                                       {n.tamanoBloque4, n.comprimidoBloque4}};
  for (int i = 0; i < 4; ++i)
    std::printf("bloque %d: %u bytes (%u comprimidos)\n", i + 1, tamanos[i][0], tamanos[i][1]);
  std::printf("muestras: %u (%zu bytes)\n", n.cantidadMuestras, n.muestras.size());
  std::printf("páginas de textura: %u\n", n.CantidadPaginas());
  std::printf("secciones:\n");
  for (const Cuenta& c : CuentasDeSecciones(n))
    std::printf("  %s: %llu\n", c.texto, static_cast<unsigned long long>(c.valor));
  std::printf("meshes: %zu\n", meshes.size());
  std::printf("  %5s  %-22s %8s %8s %11s %10s\n", "mesh", "centro", "vértices", "normales",
              "rectángulos", "triángulos");
  for (std::size_t i = 0; i < meshes.size(); ++i) {
    const trMesh& m = *meshes[i];
    char centro[48];
    std::snprintf(centro, sizeof centro, "(%d, %d, %d)", m.centroX, m.centroY, m.centroZ);
    std::printf("  %5zu  %-22s %8d %8d %11d %10d\n", i, centro, m.cantidadVertices,
                m.cantidadNormales, m.cantidadRectangulos, m.cantidadTriangulos);
  }
  std::printf("caras con índices fuera de rango: %lld\n", static_cast<long long>(caras.Total()));
  if (caras.Total() > 0) {
    std::printf("  vértice fuera de rango (se omiten): %lld\n",
                static_cast<long long>(caras.verticeFueraDeRango));
    std::printf("  textura de objeto tomada de sus 15 bits bajos: %lld\n",
                static_cast<long long>(caras.texturaEnmascarada));
    std::printf("  textura de objeto inexistente (sin textura): %lld\n",
                static_cast<long long>(caras.texturaFueraDeRango));
    std::printf("  página inexistente (sin textura): %lld\n",
                static_cast<long long>(caras.paginaFueraDeRango));
  }
  if (!n.advertencia.empty()) std::printf("advertencia: %s\n", n.advertencia.c_str());
}

void ImprimirJson(const std::string& archivo, const trNivel& n,
                  const std::vector<const trMesh*>& meshes, const trRevisionCaras& caras) {
  std::printf("{\"file\": %s, \"version\": %u, \"pages\": %u", Json(archivo).c_str(), n.version,
              n.CantidadPaginas());
  std::printf(
      ", \"room_texture_pages\": %u, \"object_texture_pages\": %u, \"bump_texture_pages\": %u",
      n.cantidadPaginasSalas, n.cantidadPaginasObjetos, n.cantidadPaginasRelieve);
  std::printf(", \"chunks\": [[%u, %u], [%u, %u], [%u, %u], [%u, %u]]", n.tamanoBloque1,
              n.comprimidoBloque1, n.tamanoBloque2, n.comprimidoBloque2, n.tamanoBloque3,
              n.comprimidoBloque3, n.tamanoBloque4, n.comprimidoBloque4);
  std::printf(", \"samples\": %u, \"sample_bytes\": %zu", n.cantidadMuestras, n.muestras.size());
  for (const Cuenta& c : CuentasDeSecciones(n))
    std::printf(", \"%s\": %llu", c.json, static_cast<unsigned long long>(c.valor));
  std::printf(", \"meshes\": [");
  for (std::size_t i = 0; i < meshes.size(); ++i) {
    const trMesh& m = *meshes[i];
    std::printf(
        "%s{\"index\": %zu, \"centre\": [%d, %d, %d], \"vertices\": %d, \"normals\": %d, "
        "\"rectangles\": %d, \"triangles\": %d}",
        i == 0 ? "" : ", ", i, m.centroX, m.centroY, m.centroZ, m.cantidadVertices,
        m.cantidadNormales, m.cantidadRectangulos, m.cantidadTriangulos);
  }
  std::printf("]");
  std::printf(
      ", \"faces_out_of_range\": {\"vertex_skipped\": %lld, \"texture_masked\": %lld, "
      "\"texture_missing\": %lld, \"page_missing\": %lld}",
      static_cast<long long>(caras.verticeFueraDeRango),
      static_cast<long long>(caras.texturaEnmascarada),
      static_cast<long long>(caras.texturaFueraDeRango),
      static_cast<long long>(caras.paginaFueraDeRango));
  if (!n.advertencia.empty()) std::printf(", \"warning\": %s", Json(n.advertencia).c_str());
  std::printf("}\n");
}

}  // namespace

int ComandoInfo(const std::vector<std::string>& argumentos) {
  bool json = false;
  bool opcionDesconocida = false;
  std::vector<std::string> archivos;
  for (const std::string& a : argumentos) {
    if (a == "--json")
      json = true;
    else if (a.size() > 1 && a[0] == '-')
      opcionDesconocida = true;
    else
      archivos.push_back(a);
  }
  if (opcionDesconocida || archivos.size() != 1 || archivos[0].empty()) {
    std::fprintf(stderr, "uso: varidazir-cli info [--json] NIVEL.tr4\n");
    return kSalidaFallo;
  }
  const std::string& archivo = archivos[0];
  auto nivel = std::make_unique<trNivel>();
  std::string motivo;
  if (!LeerNivel(archivo.c_str(), nivel.get(), &motivo)) {
    std::fprintf(stderr, "varidazir-cli: %s: %s\n", archivo.c_str(), motivo.c_str());
    return kSalidaFallo;
  }
  Lista_Mesh* lista = nullptr;
  LeerMeshes(nivel->palabrasMesh.data(), 2 * nivel->cantidadPalabrasMesh, &lista);
  std::unique_ptr<Lista_Mesh> propia(lista);
  const std::vector<const trMesh*> meshes = Registros(lista);
  // The faces the viewer's conversion would skip or draw untextured.
  const trRevisionCaras caras =
      lista != nullptr
          ? RevisarCaras(*lista, *nivel, static_cast<std::int32_t>(nivel->CantidadPaginas()))
          : trRevisionCaras{};
  if (json)
    ImprimirJson(archivo, *nivel, meshes, caras);
  else
    ImprimirTexto(archivo, *nivel, meshes, caras);
  return kSalidaBien;
}
