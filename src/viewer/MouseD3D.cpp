#include "viewer/MouseD3D.h"

#include <cmath>
#include <cstdlib>

MouseD3D::MouseD3D(float factorInicial, float zoomInicial)
    : zoom(zoomInicial), factor(factorInicial) {}

void MouseD3D::Paso(std::int32_t p, float* valor, std::int32_t* ultimo, bool* siguiendo, float f) {
  if (*siguiendo) {
    // The distance is taken in 64 bits: two extreme positions would overflow
    // a 32-bit difference.
    const std::int64_t delta = static_cast<std::int64_t>(p) - *ultimo;
    const float distancia = static_cast<float>(std::llabs(delta));
    if (delta > 0)
      *valor -= distancia * f;
    else if (delta < 0)
      *valor += distancia * f;
  }
  *ultimo = p;
  *siguiendo = true;
}

float MouseD3D::AcumularRotY(std::int32_t x) {
  Paso(x, &rotY, &ultimoXRotY, &siguiendoRotY, factor);
  return rotY;
}

float MouseD3D::AcumularRotX(std::int32_t y) {
  Paso(y, &rotX, &ultimoYRotX, &siguiendoRotX, factor);
  return rotX;
}

float MouseD3D::AcumularZoom(std::int32_t y) {
  Paso(y, &zoom, &ultimoYZoom, &siguiendoZoom, factor);
  if (zoom < 0.0f || std::isnan(zoom)) zoom = 0.001f;
  return zoom;
}

float MouseD3D::AcumularPanX(std::int32_t x) {
  Paso(x, &panX, &ultimoXPanX, &siguiendoPanX, factor);
  return panX;
}

float MouseD3D::AcumularPanY(std::int32_t y) {
  Paso(y, &panY, &ultimoYPanY, &siguiendoPanY, factor);
  return panY;
}

void MouseD3D::Soltar() {
  siguiendoRotY = false;
  siguiendoRotX = false;
  siguiendoZoom = false;
  siguiendoPanX = false;
  siguiendoPanY = false;
}
