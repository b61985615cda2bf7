// Writes .tr4 level files from a description, for tests, benchmarks, fuzz
// seeds and the demo level. Independent of the reader on purpose: it lays
// the bytes out by itself, so a test compares the reader against a second
// account of the format.
//
// Describe a level in an escritor::Nivel, then EscribirNivel gives the file
// bytes. Malformed files come from the same description: override a chunk's
// stored sizes or its zlib stream (Nivel::bloques), lie in a count
// (SeccionCruda::bytes, Mesh::cantidad*), replace the data block's tail or
// the whole block with raw bytes, or cut the result (resize the vector; the
// Mapa says where each part starts).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace escritor {

// `n` bytes of a fixed pattern that depends on `semilla`: filler for raw
// sections, reproducible so a test can check what the reader stored.
std::vector<std::uint8_t> BytesPatron(std::size_t n, std::uint8_t semilla);

// A counted section of raw records. `cantidad` is written as the count.
// With `bytes` empty, cantidad x (element size) pattern bytes follow (seeded
// by the section's number in the data block); otherwise `bytes` follow as
// they are, whatever `cantidad` says.
struct SeccionCruda {
  std::uint32_t cantidad = 0;
  std::vector<std::uint8_t> bytes;
};

// One room. Counts are written as given; element records are pattern bytes
// (only for positive signed counts, like the reader expects).
struct Sala {
  std::int32_t x = 0, z = 0, yInferior = 0, ySuperior = 0;
  std::uint32_t palabras = 0;
  std::int16_t vertices = 0, rectangulos = 0, triangulos = 0, sprites = 0;
  std::uint16_t portales = 0, sectoresZ = 0, sectoresX = 0;
  std::uint16_t ambiente[2] = {0, 0};
  std::uint16_t luces = 0, estaticos = 0;
  std::uint16_t salaAlterna = 0xFFFF, banderas = 0;
  std::uint8_t esquemaAgua = 0, reverberacion = 0, grupoAlterno = 0;
};

struct Vertice {
  std::int16_t x = 0, y = 0, z = 0;
};

struct Rectangulo {
  std::uint16_t vertices[4] = {0, 0, 0, 0};
  std::uint16_t textura = 0;
  std::uint16_t efectos = 0;
};

struct Triangulo {
  std::uint16_t vertices[3] = {0, 0, 0};
  std::uint16_t textura = 0;
  std::uint16_t efectos = 0;
};

// One mesh. Normals are written when `luces` is empty (count = their number,
// possibly 0); otherwise the light values are written with count -luces.size().
// A cantidad* override is written instead of the real count (elements are
// written as they are), which makes negative or lying counts.
struct Mesh {
  std::int16_t centro[3] = {0, 0, 0};
  std::uint32_t radio = 0;
  std::vector<Vertice> vertices;
  std::vector<Vertice> normales;
  std::vector<std::int16_t> luces;
  std::vector<Rectangulo> rectangulos;
  std::vector<Triangulo> triangulos;
  std::optional<std::int16_t> cantidadVertices, cantidadNormales, cantidadRectangulos,
      cantidadTriangulos;
  bool sinAlineacion = false;                    // leave out the two padding bytes
  std::array<std::uint8_t, 2> relleno = {0, 0};  // their value when written
};

// An object texture, fields in file order. Each corner is four bytes:
// x fraction, x pixel, y fraction, y pixel.
struct TexturaObjeto {
  std::uint16_t atributo = 0, baldosa = 0, banderas = 0;
  std::uint8_t esquinas[4][4] = {};
  std::uint32_t u = 0, v = 0, ancho = 0, alto = 0;

  // The rectangle from pixel (x0, y0) to (x1, y1) on page `pagina`, corners
  // in the order top-left, top-right, bottom-right, bottom-left; a
  // triangle face uses the first three.
  static TexturaObjeto Rectangulo(std::uint16_t pagina, std::uint8_t x0, std::uint8_t y0,
                                  std::uint8_t x1, std::uint8_t y1);
};

// How a chunk is stored. By default the stored sizes are the true ones and
// the stream is zlib's compression of the contents.
struct AjusteBloque {
  std::optional<std::uint32_t> tamano;             // U written instead of the inflated size
  std::optional<std::uint32_t> comprimido;         // C written instead of the stream's size
  std::optional<std::vector<std::uint8_t>> flujo;  // written instead of the stream
  int nivelCompresion = 6;
};

struct Nivel {
  // Header.
  std::uint32_t version = 0x00345254;  // "TR4\0"
  std::uint16_t paginasSalas = 0, paginasObjetos = 0, paginasRelieve = 0;
  // Chunks 1 to 3, inflated. Page helpers below fill the first two.
  std::vector<std::uint8_t> paginas32, paginas16, bloque3;
  AjusteBloque bloques[4];  // chunk 1 to 4

  // Level data block (chunk 4), sections in file order.
  std::uint32_t valorInicial = 0;
  std::vector<Sala> salas;
  SeccionCruda datosSuelo;
  std::vector<Mesh> meshes;
  // Written as the mesh data instead of `meshes` (an odd size gets one zero
  // byte, as the count is in 16-bit words).
  std::optional<std::vector<std::uint8_t>> bytesMeshes;
  // Mesh pointers: by default one per mesh, its byte offset in the mesh data.
  std::optional<SeccionCruda> punterosMesh;
  SeccionCruda animaciones, cambiosEstado, despachos, comandosAnimacion, arbolesMesh, cuadros,
      movibles, meshesEstaticos;
  std::uint8_t marcaSprites[3] = {'S', 'P', 'R'};
  SeccionCruda texturasSprite, secuenciasSprite, camaras, camarasVuelo, fuentesSonido, cajas,
      solapes;
  // Zones: cajas.cantidad x 20 pattern bytes unless given.
  std::optional<std::vector<std::uint8_t>> zonas;
  SeccionCruda texturasAnimadas;
  std::uint8_t marcaObjetosTextura[4] = {0, 'T', 'E', 'X'};
  std::vector<TexturaObjeto> objetosTextura;
  std::optional<std::uint32_t> cantidadObjetosTextura;  // written instead of the size
  // Tail: written instead of sections 26 to 32 when set.
  std::optional<std::vector<std::uint8_t>> colaCruda;
  SeccionCruda entidades, objetosIA;
  SeccionCruda datosDemo;  // count written as 16 bits, 2 bytes per unit
  std::array<std::uint16_t, 370> mapaSonido{};
  SeccionCruda detallesSonido, indicesMuestra;
  std::uint8_t bytesFinales[6] = {0, 0, 0, 0, 0, 0};
  // The whole level data block, when set, instead of everything above.
  std::optional<std::vector<std::uint8_t>> datosNivelCrudos;

  // After the chunks.
  std::uint32_t cantidadMuestras = 0;
  std::vector<std::uint8_t> muestras;
};

// Where things landed, for tests that cut or patch a file at a named place.
struct Mapa {
  // Level data block offsets by section: "salas", "datosSuelo",
  // "palabrasMesh", "punterosMesh", ..., "objetosTextura", "entidades",
  // "objetosIA", "datosDemo", "mapaSonido", "detallesSonido",
  // "indicesMuestra", "bytesFinales" (each the offset of its count or first
  // byte), "fin" (block size). Also "sala<i>" for each room.
  std::map<std::string, std::size_t> datos;
  std::size_t bloques[4] = {0, 0, 0, 0};  // file offset of each chunk's header
  std::size_t cantidadMuestras = 0;       // file offset of the sample count
  std::size_t muestras = 0;               // file offset of the sample block
};

// The mesh data bytes for `meshes`; `offsets` (when not null) receives each
// mesh's byte offset.
std::vector<std::uint8_t> EscribirMeshes(const std::vector<Mesh>& meshes,
                                         std::vector<std::uint32_t>* offsets = nullptr);

// The level data block (inflated chunk 4).
std::vector<std::uint8_t> EscribirDatosNivel(const Nivel& nivel, Mapa* mapa = nullptr);

// The whole file.
std::vector<std::uint8_t> EscribirNivel(const Nivel& nivel, Mapa* mapa = nullptr);

// Writes `bytes` to `ruta`; false on any I/O error.
bool GuardarArchivo(const std::string& ruta, const std::vector<std::uint8_t>& bytes);

// Appends a page of one colour to both page sets: 32-bit texels B, G, R, 0xFF
// and 16-bit texels 1RRRRRGGGGGBBBBB. Updates the header's page counts.
void AgregarPaginaSolida(Nivel& nivel, std::uint8_t r, std::uint8_t g, std::uint8_t b);

// A cube mesh of half-side `lado` centred at the origin: 8 vertices, 8
// normals, 6 rectangles using object textures `textura`..`textura + 5` and
// no triangles.
Mesh MeshCubo(std::int16_t lado, std::uint16_t textura);

// A small level with every section present: two pages, a few rooms and
// meshes (normals, light values, triangles), object textures, the tail and
// some sample bytes. Fixture for tests and fuzz seeds.
Nivel NivelPequeno();

// A level of the size and make-up of a real one (a few MB: several pages of
// textures that compress like real art, hundreds of meshes, rooms,
// animations, ~1500 object textures, a sample block), for benchmarks.
Nivel NivelRealista(std::uint32_t semilla = 1);

}  // namespace escritor
