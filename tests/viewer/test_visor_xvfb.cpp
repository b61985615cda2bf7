// The real window on a real X server (Xvfb) with the OpenGL implementation:
// the demo level is opened through the dialog seam, a mesh is picked with a
// mouse click, the viewport is dragged with the right button through Qt's
// own event path, and what the X server shows in the viewport is read back.
//
// Run by CTest under xvfb-run on the xcb platform, with Mesa's llvmpipe
// doing the OpenGL.
#include <gtest/gtest.h>
#include <sys/resource.h>

#if defined(__SANITIZE_ADDRESS__)
#include <dlfcn.h>
#include <link.h>
#endif

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QScreen>
#include <QtTest/QTest>

#include "AyudaVisor.h"
#include "DialogosPrueba.h"
#include "level/Lista_Mesh.h"
#include "render/dxDevice8.h"
#include "render/gl/D3D8GL.h"
#include "viewer/MouseD3D.h"
#include "viewer/TForm1.h"
#include "viewer/TListBox.h"
#include "viewer/VentanaPanel.h"
#include "viewer/demo/NivelDemo.h"

namespace {

bool EsMagenta(QRgb p) { return qRed(p) > 240 && qGreen(p) < 16 && qBlue(p) > 240; }

// What the X server shows inside Panel1.
QImage Visor(TForm1& form) {
  QWindow* visor = form.VentanaVisor();
  return visor->screen()
      ->grabWindow(visor->winId())
      .toImage()
      .convertToFormat(QImage::Format_RGB32);
}

int PixelesNoMagenta(const QImage& imagen) {
  int cuenta = 0;
  for (int y = 0; y < imagen.height(); ++y)
    for (int x = 0; x < imagen.width(); ++x) cuenta += EsMagenta(imagen.pixel(x, y)) ? 0 : 1;
  return cuenta;
}

int PixelesDistintos(const QImage& a, const QImage& b) {
  int cuenta = 0;
  for (int y = 0; y < std::min(a.height(), b.height()); ++y)
    for (int x = 0; x < std::min(a.width(), b.width()); ++x)
      cuenta += a.pixel(x, y) != b.pixel(x, y);
  return cuenta;
}

double SegundosCPU() {
  rusage uso{};
  getrusage(RUSAGE_SELF, &uso);
  return uso.ru_utime.tv_sec + uso.ru_stime.tv_sec +
         (uso.ru_utime.tv_usec + uso.ru_stime.tv_usec) / 1e6;
}

std::uint64_t Presentaciones() {
  EstadisticasD3D8GL e;
  if (dispositivoD3D == nullptr || !LeerEstadisticasD3D8GL(dispositivoD3D->Dispositivo(), &e))
    return 0;
  return e.presentaciones;
}

TEST(VisorXvfb, TheSelectedMeshIsDrawnAndTurnsWithARightDrag) {
  DialogosPrueba dialogos;
  CarpetaNiveles niveles;
  dialogos.archivo = QString::fromStdString(niveles.Guardar("demo.tr4", NivelDemo()));

  TForm1 form(&dialogos);
  ASSERT_NE(dispositivoD3D, nullptr) << "no OpenGL 3.3 core context on this display";
  ASSERT_TRUE(dialogos.mensajes.empty());
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.VentanaVisor()));
  CorrerBucle(200);

  // Nothing selected: the whole viewport is the clear colour.
  const QImage vacio = Visor(form);
  ASSERT_EQ(vacio.size(), QSize(321, 385));
  EXPECT_EQ(PixelesNoMagenta(vacio), 0);

  form.Open1->trigger();
  ASSERT_EQ(dialogos.mensajes.size(), 1u);
  EXPECT_EQ(dialogos.mensajes[0].texto, "Se renderiza con 32 bits");
  ASSERT_EQ(form.ListBox1->count(), 3);

  // Pick the cube with the mouse.
  const QRect item = form.ListBox1->visualItemRect(form.ListBox1->item(0));
  QTest::mouseClick(form.ListBox1->viewport(), Qt::LeftButton, {}, item.center());
  ASSERT_NE(VistaActual.buffer, nullptr);
  CorrerBucle(200);
  const QImage cubo = Visor(form);
  cubo.save("visor_xvfb_cubo.png");
  const int area = cubo.width() * cubo.height();
  EXPECT_GT(PixelesNoMagenta(cubo), area / 10) << "the cube covers a good part of the view";
  EXPECT_LT(PixelesNoMagenta(cubo), area) << "and magenta shows around it";

  // No input: no frames, and next to no CPU. The list's own timers from the
  // click (a repaint of the selection) have run by now.
  CorrerBucle(1000);
  const std::uint64_t antes = Presentaciones();
  const double cpuAntes = SegundosCPU();
  CorrerBucle(2000);
  EXPECT_LE(Presentaciones() - antes, 2u);
  EXPECT_LT(SegundosCPU() - cpuAntes, 0.2) << "the idle window must not spin";

  // A right-button drag through Qt's event path turns the cube.
  QWindow* visor = form.VentanaVisor();
  QTest::mousePress(visor, Qt::RightButton, {}, QPoint(150, 190));
  for (int x = 152; x <= 200; x += 4) {
    QTest::mouseMove(visor, QPoint(x, 190 + (x - 150) / 4));
    CorrerBucle(10);
  }
  QTest::mouseRelease(visor, Qt::RightButton, {}, QPoint(200, 202));
  CorrerBucle(200);
  EXPECT_LT(VistaActual.rotY, -4.0f);
  const QImage girado = Visor(form);
  girado.save("visor_xvfb_girado.png");
  EXPECT_GT(PixelesNoMagenta(girado), area / 10);
  EXPECT_GT(PixelesDistintos(cubo, girado), area / 20) << "the drag changed the picture";

  form.close();
  EXPECT_EQ(dispositivoD3D, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "xcb");
  ::testing::InitGoogleTest(&argc, argv);
  PonerFabricaD3D8(FabricaD3D8GL());
  int resultado;
  {
    QApplication aplicacion(argc, argv);
    resultado = RUN_ALL_TESTS();
#if defined(__SANITIZE_ADDRESS__)
    // Closing the display unloads Mesa's driver, and LeakSanitizer, which
    // looks at exit, would take what the driver's static data still held for
    // leaks. Keep every library loaded so far until the process ends.
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void*) {
          if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0')
            dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
          return 0;
        },
        nullptr);
#endif
  }
  PonerFabricaD3D8({});
  return resultado;
}
