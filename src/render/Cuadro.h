// What the viewer does with the device on a selection and on every frame,
// kept here so that the viewer and the headless renderer run the same code.
#pragma once

#include <cstdint>

class dxDevice8;
class dxBufferTextura;
struct trMesh;

// The view state every frame draws with.
struct VistaMesh {
  dxBufferTextura* buffer = nullptr;  // the selected mesh's buffer; null draws nothing
  float rotY = 0.0f;                  // yaw, radians
  float rotX = 0.0f;                  // pitch, radians
  float escala = 6.0f;                // uniform scale
  float panX = 0.0f;                  // world units
  float panY = 0.0f;
};

// Outer size of the viewer's main window as designed, and of its viewport
// panel: the projection's aspect comes from the first, images from the second.
constexpr std::int32_t kAnchoFormulario = 956;
constexpr std::int32_t kAltoFormulario = 640;
constexpr std::int32_t kAnchoPanel = 321;
constexpr std::int32_t kAltoPanel = 385;

// The projection's aspect: the main window's outer width divided by its outer
// height in integer arithmetic (956 x 640 gives 1.0). A window taller than
// wide would give 0 and a degenerate projection; it counts as 1 instead.
float AspectoVentana(std::int32_t anchoExterior, std::int32_t altoExterior);

// Start-up settings of the viewport: magenta clear colour and a pi/4
// perspective from 0.1 to 3000 with the given aspect.
void PrepararDispositivo(dxDevice8& dispositivo, float aspecto);

// Points the camera at `mesh`: eye 1000 units along +Z from its centre
// (y negated, as every vertex's), looking at the centre, up +Y.
void SeleccionarMesh(dxDevice8& dispositivo, const trMesh& mesh);

// One frame: clear colour and depth; when `vista.buffer` is set, build its
// world matrix (scale, pitch, yaw, move to the centre of `mesh`, pan) and
// draw it in `modo` (2: untextured wireframe); then present. `mesh` must be
// the record whose buffer is `vista.buffer`.
void DibujarCuadro(dxDevice8& dispositivo, const VistaMesh& vista, const trMesh* mesh,
                   std::int32_t modo = 0);
