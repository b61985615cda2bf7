// Mesh records, as walked out of a level's mesh data words by LeerMeshes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// A mesh-local position, three int16 (6 bytes, as in the file).
struct trVertice {
  std::int16_t x;
  std::int16_t y;
  std::int16_t z;
};

// A normal, three int16 (6 bytes, as in the file).
struct trNormal {
  std::int16_t x;
  std::int16_t y;
  std::int16_t z;
};

// A textured rectangle (12 bytes, as in the file). `vertices` index the
// mesh's vertex array and `textura` the level's object textures; neither is
// checked by the reader.
struct trCuadrado {
  std::uint16_t vertices[4];
  std::uint16_t textura;
  std::uint16_t efectos;
};

// A textured triangle (10 bytes, as in the file); indices as in trCuadrado.
struct trTriangulo {
  std::uint16_t vertices[3];
  std::uint16_t textura;
  std::uint16_t efectos;
};

static_assert(sizeof(trVertice) == 6 && sizeof(trNormal) == 6 && sizeof(trCuadrado) == 12 &&
                  sizeof(trTriangulo) == 10,
              "mesh records are copied from the file as they are");

// One mesh. The counts are the file's signed values; an array has entries
// only for a positive count, so take a count as a number of entries only
// when it is above 0. A negative normal count means -cantidadNormales light
// values instead of normals.
struct trMesh {
  std::int16_t centroX = 0;
  std::int16_t centroY = 0;
  std::int16_t centroZ = 0;
  std::uint32_t radio = 0;  // stored, unused
  std::int16_t cantidadVertices = 0;
  std::vector<trVertice> vertices;
  std::int16_t cantidadNormales = 0;
  std::vector<trNormal> normales;
  std::vector<std::int16_t> valoresLuz;
  std::int16_t cantidadRectangulos = 0;
  std::vector<trCuadrado> rectangulos;
  std::int16_t cantidadTriangulos = 0;
  std::vector<trTriangulo> triangulos;
  // The two bytes that pad a mesh to a multiple of 4, when the mesh had them.
  std::optional<std::array<std::uint8_t, 2>> alineacion;
};
