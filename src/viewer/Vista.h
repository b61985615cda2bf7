// The view state every frame draws with: which buffer, and how it is turned,
// scaled and moved. Written by selection (buffer) and by the mouse navigation
// (the other five fields); read by FormPaint.
#pragma once

class dxBufferTextura;

struct Vista {
  // The selected mesh's polygon buffer, owned by the mesh list; null draws
  // nothing. Cleared before the list that owns it is destroyed.
  dxBufferTextura* buffer = nullptr;
  float rotY = 0.0f;  // yaw, radians
  float rotX = 0.0f;  // pitch, radians
  // Starts where the mouse accumulator's zoom starts, so the first Ctrl-drag
  // continues from the scale on screen.
  float escala = 6.0f;
  float panX = 0.0f;  // world units
  float panY = 0.0f;
};
