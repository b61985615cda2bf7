// The mouse accumulator of the viewport: turns the positions of a right-button
// drag into yaw, pitch, zoom and pan, each step scaled by the spin factor.
//
// Five independent accumulators share only the factor. Each one has its own
// last position and its own tracking flag, so a drag that switches between
// turning, zooming and panning (by pressing Ctrl or Shift mid-drag) resumes
// every accumulator from the last position *it* saw. The first step of an
// accumulator after construction or Soltar() only records the position: a new
// drag never jumps by the distance from where the previous one ended.
#pragma once

#include <cstdint>

class MouseD3D {
 public:
  // `factor` multiplies every pixel of movement; `zoomInicial` is where the
  // zoom accumulator starts (the viewer passes the view's initial scale).
  MouseD3D(float factor, float zoomInicial);

  // Each takes a pointer position in pixels (X for yaw and horizontal pan, Y
  // for the others) and returns the accumulated value after the step. Moving
  // toward larger coordinates lowers the value by `factor` per pixel.
  float AcumularRotY(std::int32_t x);
  float AcumularRotX(std::int32_t y);
  // As the others, then bounded below: a value under 0 (or NaN) becomes
  // 0.001, so the scale never turns the mesh inside out. Exactly 0 stays 0.
  float AcumularZoom(std::int32_t y);
  float AcumularPanX(std::int32_t x);
  float AcumularPanY(std::int32_t y);

  void PonerFactor(float f) { factor = f; }
  float Factor() const { return factor; }

  // Ends tracking for all five accumulators; values and last positions stay.
  void Soltar();

  // Read-only views for the window and tests.
  float RotY() const { return rotY; }
  float RotX() const { return rotX; }
  float Zoom() const { return zoom; }
  float PanX() const { return panX; }
  float PanY() const { return panY; }
  bool Siguiendo() const {
    return siguiendoRotY || siguiendoRotX || siguiendoZoom || siguiendoPanX || siguiendoPanY;
  }

 private:
  static void Paso(std::int32_t p, float* valor, std::int32_t* ultimo, bool* siguiendo, float f);

  float rotY = 0.0f;
  float rotX = 0.0f;
  float zoom;
  std::int32_t ultimoXRotY = 0;
  std::int32_t ultimoYRotX = 0;
  std::int32_t ultimoYZoom = 0;
  float panX = 0.0f;
  float panY = 0.0f;
  std::int32_t ultimoXPanX = 0;
  std::int32_t ultimoYPanY = 0;
  bool siguiendoRotY = false;
  bool siguiendoRotX = false;
  bool siguiendoZoom = false;
  bool siguiendoPanX = false;
  bool siguiendoPanY = false;
  float factor;
};
