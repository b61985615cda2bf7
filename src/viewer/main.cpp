// Program entry: the OpenGL implementation stands behind Direct3DCreate8, the
// application and the main window Form1 are created (its FormCreate sets up
// the device), and the event loop runs until the window is closed.
#include <QApplication>
#include <QMessageBox>
#include <exception>

#include "render/gl/D3D8GL.h"
#include "viewer/DialogosQt.h"
#include "viewer/TForm1.h"

namespace {
// Qt would end the program on an exception escaping an event handler; the
// design shows it and lets the loop go on, as VCL's default handler does.
class AplicacionVisor : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receptor, QEvent* evento) override {
    try {
      return QApplication::notify(receptor, evento);
    } catch (const std::exception& e) {
      QMessageBox::critical(nullptr, QStringLiteral("VARIDAZIR"), QString::fromLocal8Bit(e.what()));
    } catch (...) {
      QMessageBox::critical(nullptr, QStringLiteral("VARIDAZIR"), QString());
    }
    return false;
  }
};
}  // namespace

int main(int argc, char** argv) {
  PonerFabricaD3D8(FabricaD3D8GL());
  AplicacionVisor aplicacion(argc, argv);
  DialogosQt dialogos;
  {
    TForm1 ventana(&dialogos);
    dialogos.PonerDueno(&ventana);
    ventana.show();
    aplicacion.exec();
  }
  // Nothing may reach the OpenGL implementation once the window's context
  // is gone; the context object releases its IDirect3D8 at static
  // destruction, which needs no GL.
  PonerFabricaD3D8({});
  return 0;
}
