// Shared helpers for the level tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "level/trNivel.h"
#include "support/EscritorTr4.h"

// Reads `bytes` as a level file; returns the result and fills `motivo`.
inline int LeerBytes(const std::vector<std::uint8_t>& bytes, trNivel* nivel,
                     std::string* motivo = nullptr) {
  return LeerNivelMemoria(bytes.data(), bytes.size(), nivel, motivo);
}

// Runs LeerDatosNivel over `bloque` as if it were an inflated chunk 4.
inline int LeerBloqueDatos(const std::vector<std::uint8_t>& bloque, trNivel* nivel,
                           std::string* motivo = nullptr) {
  nivel->bloque4 = bloque;
  nivel->tamanoBloque4 = static_cast<std::uint32_t>(bloque.size());
  return LeerDatosNivel(nivel, motivo);
}

inline std::string RutaNivelReal(const char* nombre) {
  return std::string(VARIDAZIR_LEVELS_DIR) + "/" + nombre;
}
