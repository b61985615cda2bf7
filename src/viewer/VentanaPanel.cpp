#include "viewer/VentanaPanel.h"

#include <QMouseEvent>
#include <QOpenGLContext>
#include <QSurfaceFormat>

namespace {
QSurfaceFormat FormatoPanel() {
  QSurfaceFormat formato;
  formato.setRenderableType(QSurfaceFormat::OpenGL);
  formato.setVersion(3, 3);
  formato.setProfile(QSurfaceFormat::CoreProfile);
  formato.setDepthBufferSize(24);
  formato.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
  // Present when asked, not at the next vertical blank: the render loop
  // draws only after input, and a blocked swap would hold up the events.
  formato.setSwapInterval(0);
  return formato;
}
}  // namespace

VentanaPanel::VentanaPanel() {
  setSurfaceType(QSurface::OpenGLSurface);
  setFormat(FormatoPanel());
}

VentanaPanel::~VentanaPanel() {
  // The device must already be gone (the release sequence runs first); only
  // the context itself is left.
  if (contexto != nullptr && QOpenGLContext::currentContext() == contexto.get())
    contexto->doneCurrent();
}

bool VentanaPanel::CrearContextoGL() {
  if (contexto != nullptr) return true;
  if (contextoFallido) return false;
  if (handle() == nullptr) create();
  auto nuevo = std::make_unique<QOpenGLContext>();
  nuevo->setFormat(requestedFormat());
  const QSurfaceFormat dado = nuevo->create() ? nuevo->format() : QSurfaceFormat();
  // A compatibility or older context would accept the device's core-profile
  // calls only partly; refuse it here so the viewer can say it cannot draw.
  if (handle() == nullptr || !nuevo->isValid() || dado.version() < qMakePair(3, 3)) {
    contextoFallido = true;
    return false;
  }
  contexto = std::move(nuevo);
  return true;
}

bool VentanaPanel::HacerActual() {
  if (!CrearContextoGL()) return false;
  // The device makes the window current before every GL call it makes.
  if (QOpenGLContext::currentContext() == contexto.get() && contexto->surface() == this)
    return true;
  return contexto->makeCurrent(this);
}

void VentanaPanel::Presentar() {
  if (contexto != nullptr && isExposed()) contexto->swapBuffers(this);
}

void VentanaPanel::TamanoCliente(int* ancho, int* alto) {
  const QSize pixeles = size() * devicePixelRatio();
  if (ancho != nullptr) *ancho = pixeles.width();
  if (alto != nullptr) *alto = pixeles.height();
}

unsigned VentanaPanel::FramebufferDestino() {
  return contexto != nullptr ? contexto->defaultFramebufferObject() : 0;
}

void VentanaPanel::exposeEvent(QExposeEvent*) {
  if (isExposed() && AlExponer) AlExponer();
}

void VentanaPanel::mouseMoveEvent(QMouseEvent* evento) {
  if (AlMoverRaton) AlMoverRaton(evento);
}

void VentanaPanel::mouseReleaseEvent(QMouseEvent* evento) {
  if (AlSoltarRaton) AlSoltarRaton(evento);
}
