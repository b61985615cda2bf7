// Writing RGBA images as PNG files, for rendered frames.
#pragma once

#include <cstdint>
#include <string>

// Writes `ancho` x `alto` RGBA pixels, 8 bits each, rows top first and
// `ancho` * 4 bytes apart. False on failure, with the reason in `motivo`.
bool EscribirPNG(const std::string& ruta, int ancho, int alto, const std::uint8_t* rgba,
                 std::string* motivo = nullptr);
