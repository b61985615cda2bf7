// The levels every benchmark measures: a generated level of realistic size
// (a few MB, hundreds of meshes), written to a temporary file for the run, and
// each level in the shared levels folder when it exists.
#pragma once

#include <string>
#include <vector>

struct NivelBanco {
  std::string nombre;  // "generado", or the file name
  std::string ruta;
};

const std::vector<NivelBanco>& NivelesBanco();
// The name of the largest file among NivelesBanco(); empty when there is none.
std::string MayorNivelBanco();
