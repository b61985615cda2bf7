// The viewer's global objects and what the window's handlers do with them.
//
// TForm1 keeps only its components; the state of the open level, the device
// and the view lives here, as the design has it, and the handlers call the
// operations below. None of this includes Qt.
//
// Ownership: the viewer owns listaMeshes (with its buffers), texturasNivel
// (with its page textures), dispositivoD3D and ratonD3D. The list goes before
// the page set its buffers refer to, and both before the device that created
// their vertex buffers and textures.
#pragma once

#include <cstdint>
#include <string>

#include "level/trNivel.h"
#include "render/Cuadro.h"
#include "render/dxMain.h"

class dxDevice8;
class Lista_Mesh;
class MouseD3D;
class trTextura;
struct trMesh;
class TForm1;

extern dxMain contextoD3D;
extern TForm1* Form1;
extern dxDevice8* dispositivoD3D;
extern MouseD3D* ratonD3D;
extern trNivel nivelActual;
extern Lista_Mesh* listaMeshes;
extern trTextura* texturasNivel;
extern VistaMesh VistaActual;
extern trMesh* meshActual;

// Reads `archivo` and its mesh list aside; the current level is replaced only
// when both could be built. On success the selection is cleared, the old list
// and then its page set are destroyed, and nivelActual and listaMeshes hold
// the new level (a level without mesh data gets an empty list, never none).
// On failure nothing changes and `*motivo` says why, in Spanish.
bool AbrirNivel(const char* archivo, std::string* motivo);

// Number of meshes of the open level; 0 before any.
std::int32_t CantidadMeshes();

// Builds the open level's texture pages on the device (32-bit or 16-bit) and
// converts every mesh into an uploaded polygon buffer. Needs the device.
void ConstruirPaginasYMeshes(bool paginas32);

// Selects mesh `indice` of the open level: the camera looks at it (when
// there is a device) and its buffer is drawn from now on. An index with no
// mesh changes nothing and returns false.
bool ElegirMesh(int indice);

// One frame: clear, the selected mesh with the current view, present.
// Nothing at all without a device.
void DibujarVista();

// The release sequence: selection, mesh list, page set, device, mouse
// accumulator, in that order, each pointer left null. Running it again
// finds nothing to release.
void LiberarRecursos();
