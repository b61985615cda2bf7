// trLector: a bounded cursor over a block of bytes in memory.
#pragma once

#include <cstdint>

// A plain value: the block is not owned and must outlive the reader. The
// fields are public so a parser can report where it stopped (`posicion`) and
// how much is left.
struct trLector {
  std::uint32_t tamano = 0;            // bytes in the block
  std::uint32_t posicion = 0;          // offset of the next byte to read
  const std::uint8_t* base = nullptr;  // first byte; null means "no block"

  // Points the reader at `tamano` bytes starting at `base` and rewinds it.
  // `base` may be null (every read then fails).
  void Iniciar(std::uint32_t tamano, const void* base);

  // Copies `n` bytes from the block at the current position into `destino`
  // and advances by `n`; returns 1. Returns 0, copies nothing and leaves the
  // position (and `destino`) untouched when the block is null, when the
  // position is already past the end, or when the read would end past the
  // end. A read of 0 bytes at position == tamano succeeds. Never touches a
  // byte outside the block, so it is safe on untrusted data; `destino` must
  // hold `n` bytes.
  int Leer(void* destino, std::uint32_t n);

  // Bytes between the position and the end of the block (0 when past it or
  // when there is no block).
  std::uint32_t Restante() const {
    return (base == nullptr || posicion > tamano) ? 0 : tamano - posicion;
  }
};
