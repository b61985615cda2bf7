// trNivel: a .tr4 level in memory, and the functions that read one.
//
// File layout (all integers little-endian):
//   header      version u32, room/object/bump texture page counts u16 x 3
//   chunk 1..4  each: inflated size U u32, compressed size C u32, C bytes of
//               zlib stream. 1: 32-bit texture pages, 2: the same pages at
//               16 bits, 3: a further page set, 4: the level data block
//   samples     count u32, then the rest of the file as one opaque block
//
// The level data block (chunk 4) is a run of counted sections, parsed by
// LeerDatosNivel into the section fields below, in file order from the rooms
// to the trailing bytes.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

static_assert(std::endian::native == std::endian::little,
              "level records are filled by copying little-endian file bytes straight into them");

// A fixed-size record kept exactly as the file stores it, for sections that
// nothing in the program interprets.
template <std::size_t N>
struct trRegistroCrudo {
  std::uint8_t bytes[N];
};

// Room sub-records and level sections that are stored raw, by file size.
using trVerticeSala = trRegistroCrudo<12>;
using trRectanguloSala = trRegistroCrudo<10>;
using trTrianguloSala = trRegistroCrudo<8>;
using trSpriteSala = trRegistroCrudo<4>;
using trPortal = trRegistroCrudo<32>;
using trSector = trRegistroCrudo<8>;
using trMeshEstaticoSala = trRegistroCrudo<20>;
using trAnimacion = trRegistroCrudo<40>;
using trCambioEstado = trRegistroCrudo<6>;
using trDespachoAnimacion = trRegistroCrudo<8>;
using trArbolMesh = trRegistroCrudo<4>;
using trMovible = trRegistroCrudo<18>;
using trMeshEstatico = trRegistroCrudo<32>;
using trTexturaSprite = trRegistroCrudo<16>;
using trSecuenciaSprite = trRegistroCrudo<8>;
using trCamara = trRegistroCrudo<16>;
using trCamaraVuelo = trRegistroCrudo<40>;
using trFuenteSonido = trRegistroCrudo<16>;
using trCaja = trRegistroCrudo<8>;
using trZona = trRegistroCrudo<20>;
using trEntidad = trRegistroCrudo<24>;
using trObjetoIA = trRegistroCrudo<24>;
using trDetalleSonido = trRegistroCrudo<8>;

// Room position block: four int32 in file order.
struct trPosicionSala {
  std::int32_t x;
  std::int32_t z;
  std::int32_t yInferior;
  std::int32_t ySuperior;
};

// One room. Counts are stored as read; an array exists only for a positive
// signed count (vertices, rectangles, triangles, sprites) or a non-zero
// unsigned one (portals, lights, static meshes). `sectores` holds
// sectoresZ x sectoresX records.
struct trSala {
  trPosicionSala posicion{};
  std::uint32_t cantidadPalabras = 0;  // the room's data word count, stored only
  std::int16_t cantidadVertices = 0;
  std::int16_t cantidadRectangulos = 0;
  std::int16_t cantidadTriangulos = 0;
  std::int16_t cantidadSprites = 0;
  std::vector<trVerticeSala> vertices;
  std::vector<trRectanguloSala> rectangulos;
  std::vector<trTrianguloSala> triangulos;
  std::vector<trSpriteSala> sprites;
  std::uint16_t cantidadPortales = 0;
  std::uint16_t sectoresZ = 0;
  std::uint16_t sectoresX = 0;
  std::uint16_t cantidadLuces = 0;
  std::uint16_t cantidadMeshesEstaticos = 0;
  std::uint16_t banderas = 0;
  std::uint16_t colorAmbiente[2] = {0, 0};  // the two 16-bit halves, file order
  std::uint16_t salaAlterna = 0;
  std::vector<trPortal> portales;
  std::vector<trSector> sectores;
  std::vector<std::uint8_t> luces;  // cantidadLuces records of 46 bytes back to back
  std::vector<trMeshEstaticoSala> meshesEstaticos;
  std::uint8_t esquemaAgua = 0;
  std::uint8_t reverberacion = 0;
  std::uint8_t grupoAlterno = 0;
};

// One corner of an object texture on its 256 x 256 page. Only the pixel
// bytes locate the corner; the fraction bytes are kept as read.
struct trEsquinaTextura {
  std::uint8_t fraccionX;
  std::uint8_t pixelX;
  std::uint8_t fraccionY;
  std::uint8_t pixelY;
};

// One object texture, 38 bytes in the file, fields in file order.
struct trObjetoTextura {
  std::uint16_t atributo = 0;
  std::uint16_t baldosa = 0;  // page index in the low 15 bits, a flag in bit 15
  std::uint16_t banderas = 0;
  trEsquinaTextura esquinas[4]{};
  std::uint32_t u = 0;
  std::uint32_t v = 0;
  std::uint32_t ancho = 0;
  std::uint32_t alto = 0;

  // The texture page this object texture lies on.
  int Pagina() const { return baldosa & 0x7FFF; }
};

// Header fields and inflated chunks. Each chunk's size field holds the number
// of bytes its vector holds (what inflation produced, at most the stored U);
// the compressed bytes are not kept.
struct trContenedorNivel {
  std::uint32_t version = 0;  // stored, not checked
  std::uint16_t cantidadPaginasSalas = 0;
  std::uint16_t cantidadPaginasObjetos = 0;
  std::uint16_t cantidadPaginasRelieve = 0;
  std::uint32_t tamanoBloque1 = 0;
  std::uint32_t comprimidoBloque1 = 0;
  std::uint32_t tamanoBloque2 = 0;
  std::uint32_t comprimidoBloque2 = 0;
  std::uint32_t tamanoBloque3 = 0;
  std::uint32_t comprimidoBloque3 = 0;
  std::uint32_t tamanoBloque4 = 0;
  std::uint32_t comprimidoBloque4 = 0;
  std::uint32_t cantidadMuestras = 0;
  std::vector<std::uint8_t> bloque1;   // 32-bit texture pages, 0x40000 bytes each
  std::vector<std::uint8_t> bloque2;   // the same pages at 16 bits, 0x20000 bytes each
  std::vector<std::uint8_t> bloque3;   // a further page set, unused
  std::vector<std::uint8_t> bloque4;   // the level data block
  std::vector<std::uint8_t> muestras;  // everything after the sample count

  // Number of 256 x 256 pages: whole 0x40000-byte pages in chunk 1; chunk 2
  // holds the same number.
  std::uint32_t CantidadPaginas() const { return tamanoBloque1 >> 18; }
};

// The sections of the level data block. Every count is stored as read and,
// for a level that LeerDatosNivel accepted, each vector holds exactly the
// elements its count announces (the sector, zone and demo arrays follow
// their own rules, noted beside them).
struct trSeccionesNivel {
  std::uint32_t valorInicial = 0;
  std::uint16_t cantidadSalas = 0;
  std::vector<trSala> salas;
  std::uint32_t cantidadDatosSuelo = 0;
  std::vector<std::uint16_t> datosSuelo;
  std::uint32_t cantidadPalabrasMesh = 0;  // 16-bit words, not bytes
  std::uint32_t cantidadPunterosMesh = 0;
  std::uint32_t cantidadAnimaciones = 0;
  std::uint32_t cantidadCambiosEstado = 0;
  std::uint32_t cantidadDespachos = 0;
  std::uint32_t cantidadComandosAnimacion = 0;
  std::uint32_t cantidadArbolesMesh = 0;
  std::uint32_t cantidadCuadros = 0;
  std::uint32_t cantidadMovibles = 0;
  std::uint32_t cantidadMeshesEstaticos = 0;
  std::uint32_t cantidadTexturasSprite = 0;
  std::uint32_t cantidadObjetosTextura = 0;
  std::uint32_t cantidadSecuenciasSprite = 0;
  std::uint32_t cantidadCamaras = 0;
  std::uint32_t cantidadCamarasVuelo = 0;
  std::uint32_t cantidadFuentesSonido = 0;
  std::uint32_t cantidadCajas = 0;
  std::uint32_t cantidadSolapes = 0;
  std::uint32_t cantidadTexturasAnimadas = 0;
  std::uint32_t cantidadEntidades = 0;
  std::uint32_t cantidadObjetosIA = 0;
  std::uint32_t cantidadDetallesSonido = 0;
  std::uint32_t cantidadIndicesMuestra = 0;
  std::uint16_t cantidadDemo = 0;
  std::uint8_t marcaSprites[3] = {0, 0, 0};
  std::uint8_t marcaObjetosTextura[4] = {0, 0, 0, 0};
  std::uint8_t bytesFinales[6] = {0, 0, 0, 0, 0, 0};
  std::vector<std::uint16_t> palabrasMesh;  // the input of LeerMeshes
  std::vector<std::uint32_t> punterosMesh;
  std::vector<trAnimacion> animaciones;
  std::vector<trCambioEstado> cambiosEstado;
  std::vector<trDespachoAnimacion> despachos;
  std::vector<std::uint16_t> comandosAnimacion;
  std::vector<trArbolMesh> arbolesMesh;
  std::vector<std::uint16_t> cuadros;
  std::vector<trMovible> movibles;
  std::vector<trMeshEstatico> meshesEstaticos;
  std::vector<trTexturaSprite> texturasSprite;
  std::vector<trSecuenciaSprite> secuenciasSprite;
  std::vector<trCamara> camaras;
  std::vector<trCamaraVuelo> camarasVuelo;
  std::vector<trFuenteSonido> fuentesSonido;
  std::vector<trCaja> cajas;
  std::vector<std::uint16_t> solapes;
  std::vector<trZona> zonas;  // cantidadCajas records; the zones have no count of their own
  std::vector<std::uint16_t> texturasAnimadas;
  std::vector<trObjetoTextura> objetosTextura;
  std::vector<trEntidad> entidades;
  std::vector<trObjetoIA> objetosIA;
  std::vector<std::uint16_t> datosDemo;  // cantidadDemo words (2 bytes per unit)
  std::uint16_t mapaSonido[370] = {};    // always 740 bytes
  std::vector<trDetalleSonido> detallesSonido;
  std::vector<std::uint32_t> indicesMuestra;
};

// The whole level: container fields first, then the sections, then the
// warning left by the last successful read.
struct trNivel : trContenedorNivel, trSeccionesNivel {
  // Empty for a level read whole. Otherwise a Spanish text saying which part
  // of the data block's tail (the sections after the object textures) did not
  // fit and was left empty; such a level is still usable.
  std::string advertencia;
};

// Reads the level file `archivo` into `*nivel`: the header, the four chunks
// inflated with zlib, the sample count and block, then LeerDatosNivel.
//
// Returns 1 on success; `*nivel` then holds only the new level (every buffer
// of the previous one released) and `nivel->advertencia` says whether the
// data block's tail was left out. Returns 0 when the file cannot be opened or
// the level cannot be read whole (file cut before its sample count, corrupt
// zlib stream, stored sizes running past the file or beyond what the stream
// can produce, sections up to the object textures running past the block);
// `*nivel` is then left exactly as it was and, when `motivo` is not null, it
// receives a Spanish text naming the part and the offset where the level
// broke. Safe on untrusted files: nothing is read outside the data, and no
// allocation is sized from a count the data cannot back. The file is mapped
// for the length of the call: it must not be truncated meanwhile (the
// system would stop the process with SIGBUS on reading the lost pages).
int LeerNivel(const char* archivo, trNivel* nivel, std::string* motivo = nullptr);

// The same as LeerNivel for a level file already in memory: `datos` holds
// `tamano` bytes (it may be null when `tamano` is 0). The bytes are only
// read, and need not stay alive after the call.
int LeerNivelMemoria(const std::uint8_t* datos, std::size_t tamano, trNivel* nivel,
                     std::string* motivo = nullptr);

// Parses the level data block held in `nivel->bloque4` (its first
// `nivel->tamanoBloque4` bytes, bounded by the vector's size) into the
// section fields and sets `nivel->advertencia`.
//
// Returns 1 when every section up to and including the object textures is
// whole. A tail that does not fit (entities, AI objects, demo data, sound
// map, sound details, sample indices, trailing bytes: later level tools lay
// them out differently) is not an error: the tail sections read whole are
// kept, the rest are left empty with count 0, and a warning is stored.
// Returns 0 when an earlier section runs past the block; the section fields
// and the warning are then left as they were, and `*motivo` (when not null)
// receives the reason.
int LeerDatosNivel(trNivel* nivel, std::string* motivo = nullptr);
