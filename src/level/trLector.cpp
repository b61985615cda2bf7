#include "level/trLector.h"

#include <cstring>

void trLector::Iniciar(std::uint32_t tamano_, const void* base_) {
  tamano = tamano_;
  posicion = 0;
  base = static_cast<const std::uint8_t*>(base_);
}

int trLector::Leer(void* destino, std::uint32_t n) {
  if (base == nullptr || posicion > tamano) return 0;
  // Written as a comparison with what is left so that position + n cannot
  // wrap around 32 bits.
  if (n > tamano - posicion) return 0;
  if (n > 0) std::memcpy(destino, base + posicion, n);
  posicion += n;
  return 1;
}
