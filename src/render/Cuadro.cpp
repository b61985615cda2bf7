#include "render/Cuadro.h"

#include <numbers>

#include "geometry/dxBufferTextura.h"
#include "level/trMesh.h"
#include "render/dxDevice8.h"

float AspectoVentana(std::int32_t anchoExterior, std::int32_t altoExterior) {
  if (altoExterior <= 0) return 1.0f;
  const std::int32_t cociente = anchoExterior / altoExterior;
  return cociente > 0 ? static_cast<float>(cociente) : 1.0f;
}

void PrepararDispositivo(dxDevice8& dispositivo, float aspecto) {
  dispositivo.PonerColorFondo(255, 0, 255);
  dispositivo.PonerProyeccion(0.1f, 3000.0f, aspecto, std::numbers::pi_v<float> / 4);
}

void SeleccionarMesh(dxDevice8& dispositivo, const trMesh& mesh) {
  // Formed as integers: an int16 negated or plus 1000 cannot overflow.
  const std::int32_t cx = mesh.centroX, cy = -static_cast<std::int32_t>(mesh.centroY),
                     cz = mesh.centroZ;
  dispositivo.PonerOjo(static_cast<float>(cx), static_cast<float>(cy),
                       static_cast<float>(cz + 1000));
  dispositivo.PonerObjetivo(static_cast<float>(cx), static_cast<float>(cy), static_cast<float>(cz));
}

void DibujarCuadro(dxDevice8& dispositivo, const VistaMesh& vista, const trMesh* mesh,
                   std::int32_t modo) {
  dispositivo.Limpiar(true);
  if (vista.buffer != nullptr && mesh != nullptr) {
    dxBufferTextura& b = *vista.buffer;
    // Each call multiplies in front, so the mesh is scaled first, then
    // pitched, yawed, moved to its centre and panned last.
    b.Trasladar(vista.panX, vista.panY, 0);
    b.Trasladar(static_cast<float>(mesh->centroX),
                static_cast<float>(-static_cast<std::int32_t>(mesh->centroY)),
                static_cast<float>(mesh->centroZ));
    b.RotarY(vista.rotY);
    b.RotarX(vista.rotX);
    b.Escalar(vista.escala);
    dispositivo.DibujarBuffer(&b, modo);
  }
  dispositivo.Presentar();
}
