// The demo level that ships beside the viewer: a few textured meshes on two
// recognisable texture pages, so that a new user (and the display test) can
// see the viewer work without a level of their own.
//
//   mesh 0  a cube, each face a different picture
//   mesh 1  a pyramid with a checkered base and one quadrant of page 1 per side
//   mesh 2  a checkered square, textured on both sides
//
//   page 0  an orange and cream checkerboard of 8 x 8 squares, dark grid lines
//   page 1  four quadrants (red, green, blue, yellow), each a set of
//           concentric squares
#pragma once

#include "support/EscritorTr4.h"

escritor::Nivel NivelDemo();
