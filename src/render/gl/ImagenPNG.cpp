#include "render/gl/ImagenPNG.h"

#include <png.h>

#include <cstring>

bool EscribirPNG(const std::string& ruta, int ancho, int alto, const std::uint8_t* rgba,
                 std::string* motivo) {
  if (ancho <= 0 || alto <= 0 || rgba == nullptr) {
    if (motivo != nullptr) *motivo = "empty image";
    return false;
  }
  png_image imagen;
  std::memset(&imagen, 0, sizeof imagen);
  imagen.version = PNG_IMAGE_VERSION;
  imagen.width = static_cast<png_uint_32>(ancho);
  imagen.height = static_cast<png_uint_32>(alto);
  imagen.format = PNG_FORMAT_RGBA;
  const bool bien =
      png_image_write_to_file(&imagen, ruta.c_str(), 0, rgba, ancho * 4, nullptr) != 0;
  if (!bien && motivo != nullptr) *motivo = imagen.message;
  png_image_free(&imagen);
  return bien;
}
