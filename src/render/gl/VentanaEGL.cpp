#include "render/gl/VentanaEGL.h"

#include <dlfcn.h>
#include <epoxy/egl.h>
#include <epoxy/gl.h>

#include <cstring>

#include "render/gl/ImagenPNG.h"

namespace {

// One EGL display serves every window, opened by the first and kept until
// the process ends. eglTerminate would end it for every window at once, and
// it unloads the GL driver, whose allocations then look leaked to leak
// checkers because nothing reachable points at them any more.
EGLDisplay& Pantalla() {
  static EGLDisplay display = EGL_NO_DISPLAY;
  return display;
}

bool TieneExtension(const char* lista, const char* nombre) {
  if (lista == nullptr) return false;
  const std::size_t largo = std::strlen(nombre);
  for (const char* p = lista; (p = std::strstr(p, nombre)) != nullptr; p += largo)
    if ((p == lista || p[-1] == ' ') && (p[largo] == ' ' || p[largo] == '\0')) return true;
  return false;
}

EGLDisplay AbrirPantalla(std::string* motivo) {
  if (Pantalla() != EGL_NO_DISPLAY) return Pantalla();
  // libepoxy loads libEGL on the first EGL call and aborts when it cannot;
  // asking first turns a machine without EGL into a reason, not a crash.
  void* biblioteca = dlopen("libEGL.so.1", RTLD_LAZY | RTLD_LOCAL);
  if (biblioteca == nullptr) {
    *motivo = "libEGL.so.1 cannot be loaded";
    return EGL_NO_DISPLAY;
  }
  dlclose(biblioteca);
  const char* cliente = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  if (!TieneExtension(cliente, "EGL_EXT_platform_base") ||
      !TieneExtension(cliente, "EGL_MESA_platform_surfaceless")) {
    *motivo = "EGL has no surfaceless platform (EGL_MESA_platform_surfaceless)";
    return EGL_NO_DISPLAY;
  }
  EGLDisplay display =
      eglGetPlatformDisplayEXT(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  EGLint mayor = 0, menor = 0;
  if (display == EGL_NO_DISPLAY || eglInitialize(display, &mayor, &menor) != EGL_TRUE) {
    *motivo = "cannot initialise the surfaceless EGL display";
    return EGL_NO_DISPLAY;
  }
  Pantalla() = display;
  return display;
}

}  // namespace

struct VentanaEGL::Egl {
  EGLDisplay display = EGL_NO_DISPLAY;
  EGLContext contexto = EGL_NO_CONTEXT;
};

VentanaEGL::VentanaEGL(int ancho, int alto)
    : egl_(std::make_unique<Egl>()), ancho_(ancho), alto_(alto) {}

std::unique_ptr<VentanaEGL> VentanaEGL::Crear(int ancho, int alto, std::string* motivo) {
  std::string descarte;
  if (motivo == nullptr) motivo = &descarte;
  if (ancho <= 0 || alto <= 0) {
    *motivo = "window size must be positive";
    return nullptr;
  }
  std::unique_ptr<VentanaEGL> v(new VentanaEGL(ancho, alto));
  v->egl_->display = AbrirPantalla(motivo);
  if (v->egl_->display == EGL_NO_DISPLAY) return nullptr;
  EGLDisplay display = v->egl_->display;
  const char* extensiones = eglQueryString(display, EGL_EXTENSIONS);
  if (!TieneExtension(extensiones, "EGL_KHR_surfaceless_context")) {
    *motivo = "EGL cannot make a context current without a surface";
    return nullptr;
  }
  if (eglBindAPI(EGL_OPENGL_API) != EGL_TRUE) {
    *motivo = "EGL offers no desktop OpenGL";
    return nullptr;
  }
  EGLConfig config = nullptr;  // EGL_NO_CONFIG_KHR
  if (!TieneExtension(extensiones, "EGL_KHR_no_config_context")) {
    const EGLint pedido[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
    EGLint cuantas = 0;
    if (eglChooseConfig(display, pedido, &config, 1, &cuantas) != EGL_TRUE || cuantas == 0) {
      *motivo = "no EGL configuration renders desktop OpenGL";
      return nullptr;
    }
  }
  const EGLint atributos[] = {EGL_CONTEXT_MAJOR_VERSION,
                              3,
                              EGL_CONTEXT_MINOR_VERSION,
                              3,
                              EGL_CONTEXT_OPENGL_PROFILE_MASK,
                              EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                              EGL_NONE};
  v->egl_->contexto = eglCreateContext(display, config, EGL_NO_CONTEXT, atributos);
  if (v->egl_->contexto == EGL_NO_CONTEXT) {
    *motivo = "no OpenGL 3.3 core context";
    return nullptr;
  }
  if (!v->HacerActual() || epoxy_gl_version() < 33) {
    *motivo = "the OpenGL 3.3 core context cannot be used";
    return nullptr;
  }
  glGenRenderbuffers(1, &v->color_);
  glBindRenderbuffer(GL_RENDERBUFFER, v->color_);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, ancho, alto);
  glBindRenderbuffer(GL_RENDERBUFFER, 0);
  glGenFramebuffers(1, &v->fbo_);
  glBindFramebuffer(GL_FRAMEBUFFER, v->fbo_);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, v->color_);
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    *motivo = "cannot make the window's framebuffer";
    return nullptr;
  }
  // Like a new window, it shows black until something is presented.
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  return v;
}

VentanaEGL::~VentanaEGL() {
  Egl& e = *egl_;
  if (e.contexto != EGL_NO_CONTEXT) {
    if (HacerActual()) {
      if (fbo_ != 0) glDeleteFramebuffers(1, &fbo_);
      if (color_ != 0) glDeleteRenderbuffers(1, &color_);
    }
    eglMakeCurrent(e.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(e.display, e.contexto);
  }
}

bool VentanaEGL::HacerActual() {
  // The device calls this before every batch of GL work; being current
  // already is the usual case and costs one query.
  if (eglGetCurrentContext() == egl_->contexto) return true;
  return eglMakeCurrent(egl_->display, EGL_NO_SURFACE, EGL_NO_SURFACE, egl_->contexto) == EGL_TRUE;
}

void VentanaEGL::Esperar() {
  if (HacerActual()) glFinish();
}

void VentanaEGL::Presentar() {
  if (HacerActual()) glFlush();
  ++presentaciones_;
}

void VentanaEGL::TamanoCliente(int* ancho, int* alto) {
  if (ancho != nullptr) *ancho = ancho_;
  if (alto != nullptr) *alto = alto_;
}

unsigned VentanaEGL::FramebufferDestino() { return fbo_; }

std::vector<std::uint8_t> VentanaEGL::LeerPixeles() {
  if (!HacerActual()) return {};
  const std::size_t fila = static_cast<std::size_t>(ancho_) * 4;
  std::vector<std::uint8_t> abajoArriba(fila * static_cast<std::size_t>(alto_));
  glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo_);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, ancho_, alto_, GL_RGBA, GL_UNSIGNED_BYTE, abajoArriba.data());
  // GL returns the bottom row first; a person reads the top one first.
  std::vector<std::uint8_t> pixeles(abajoArriba.size());
  for (int y = 0; y < alto_; ++y)
    std::memcpy(&pixeles[static_cast<std::size_t>(y) * fila],
                &abajoArriba[static_cast<std::size_t>(alto_ - 1 - y) * fila], fila);
  return pixeles;
}

bool VentanaEGL::GuardarPNG(const std::string& ruta, std::string* motivo) {
  const std::vector<std::uint8_t> pixeles = LeerPixeles();
  if (pixeles.empty()) {
    if (motivo != nullptr) *motivo = "cannot read the window's pixels";
    return false;
  }
  return EscribirPNG(ruta, ancho_, alto_, pixeles.data(), motivo);
}

unsigned VentanaEGL::ErroresGL() {
  if (!HacerActual()) return 0;
  unsigned primero = GL_NO_ERROR;
  for (GLenum e = glGetError(); e != GL_NO_ERROR; e = glGetError())
    if (primero == GL_NO_ERROR) primero = e;
  return primero;
}
