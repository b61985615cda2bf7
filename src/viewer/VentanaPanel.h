// The native surface inside Panel1 that the Direct3D device draws into: a
// QWindow with an OpenGL 3.3 core context, embedded in the panel through a
// window container. It is the viewer's only contact with OpenGL, and only to
// make its context current, present, and name its framebuffer; everything
// drawn goes through dxDevice8.
//
// Mouse events land on this window, not on the panel around it, so it hands
// them on to whoever is listening, in its own client coordinates, which are
// the panel's (it covers the panel exactly).
#pragma once

#include <QWindow>
#include <functional>
#include <memory>

#include "render/d3d8/d3d8.h"

class QMouseEvent;
class QOpenGLContext;

class VentanaPanel : public QWindow, public IVentanaD3D {
  Q_OBJECT
 public:
  VentanaPanel();
  ~VentanaPanel() override;

  // Creates the native window and the context on first use. False when the
  // platform gives no OpenGL 3.3 core context; that stays so afterwards.
  bool HacerActual() override;
  // Swaps the surface, only while it is on screen: a present for a hidden
  // window would have nothing to show.
  void Presentar() override;
  void TamanoCliente(int* ancho, int* alto) override;
  unsigned FramebufferDestino() override;

  std::function<void(QMouseEvent*)> AlMoverRaton;
  std::function<void(QMouseEvent*)> AlSoltarRaton;
  // The window came (back) on screen and needs its picture again: the
  // platform keeps nothing of a native window another one covered.
  std::function<void()> AlExponer;

 protected:
  void exposeEvent(QExposeEvent* evento) override;
  void mouseMoveEvent(QMouseEvent* evento) override;
  void mouseReleaseEvent(QMouseEvent* evento) override;

 private:
  bool CrearContextoGL();

  std::unique_ptr<QOpenGLContext> contexto;
  bool contextoFallido = false;
};
