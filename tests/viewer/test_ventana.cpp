// The main window on the offscreen platform, drawing through the recording
// Direct3D implementation: layout, the open command, selection, mouse
// navigation, the render loop and the release sequence.
#include <gtest/gtest.h>

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QtTest/QTest>
#include <cmath>
#include <memory>
#include <optional>

#include "AyudaVisor.h"
#include "DialogosPrueba.h"
#include "level/Lista_Mesh.h"
#include "render/dxDevice8.h"
#include "render/gl/D3D8GL.h"
#include "render/grabacion/GrabacionD3D8.h"
#include "viewer/MouseD3D.h"
#include "viewer/OcioAplicacion.h"
#include "viewer/TForm1.h"
#include "viewer/TListBox.h"
#include "viewer/VentanaPanel.h"
#include "viewer/demo/NivelDemo.h"

namespace {

class Ventana : public ::testing::Test {
 protected:
  void SetUp() override {
    ReiniciarContexto();
    ReiniciarVista();
    instalada.emplace(grabacion.Fabrica());
    dialogos.alMostrar = [this] { return grabacion.Llamadas().size(); };
  }

  void TearDown() override {
    form.reset();
    ReiniciarContexto();
    instalada.reset();
    grabacion.LiberarRestantes();
  }

  void Crear() { form = std::make_unique<TForm1>(&dialogos); }

  // Opens `ruta` through File > "Open Source", the seam choosing the file.
  void Abrir(const std::string& ruta) {
    dialogos.archivo = QString::fromStdString(ruta);
    form->Open1->trigger();
  }

  void AbrirCentros(const std::vector<std::array<std::int16_t, 3>>& centros) {
    Abrir(niveles.Guardar("centros.tr4", NivelConCentros(centros)));
  }

  QStringList Items(TListBox* lista) {
    QStringList textos;
    for (int i = 0; i < lista->count(); ++i) textos << lista->item(i)->text();
    return textos;
  }

  // The view's five navigation fields, to compare in one go.
  static std::array<float, 5> Navegacion() {
    return {VistaActual.rotY, VistaActual.rotX, VistaActual.escala, VistaActual.panX,
            VistaActual.panY};
  }

  GrabacionD3D8 grabacion;
  std::optional<FabricaD3D8Temporal> instalada;
  DialogosPrueba dialogos;
  CarpetaNiveles niveles;
  std::unique_ptr<TForm1> form;
};

// ---------------------------------------------------------------- layout

struct Componente {
  const char* nombre;
  const char* padre;
  QRect geometria;
};

const Componente kComponentes[] = {
    {"Label1", "Form1Cliente", {408, 80, 54, 13}},
    {"Edit1", "Form1Cliente", {464, 80, 57, 21}},
    {"Panel1", "Form1Cliente", {296, 112, 321, 385}},
    {"ProgressBar1", "Form1Cliente", {24, 8, 265, 25}},
    {"ProgressBar2", "Form1Cliente", {624, 8, 297, 25}},
    {"GroupBox1", "Form1Cliente", {24, 48, 249, 521}},
    {"ListBox1", "GroupBox1", {8, 24, 233, 225}},
    {"ListBox2", "GroupBox1", {8, 312, 233, 193}},
    {"GroupBox2", "Form1Cliente", {640, 48, 257, 521}},
    {"ListBox4", "GroupBox2", {8, 24, 241, 225}},
    {"ListBox3", "GroupBox2", {8, 312, 241, 193}},
};

TEST_F(Ventana, WindowHasItsCaptionOuterSizeAndPosition) {
  Crear();
  EXPECT_EQ(form->objectName(), "Form1");
  EXPECT_EQ(Form1, form.get());
  EXPECT_EQ(form->windowTitle(), "VARIDAZIR");
  EXPECT_EQ(form->frameGeometry(), QRect(192, 110, 956, 640));
}

TEST_F(Ventana, EveryComponentHasItsNameParentAndGeometry) {
  Crear();
  form->show();
  QCoreApplication::processEvents();
  for (const Componente& c : kComponentes) {
    auto* w = form->findChild<QWidget*>(QString::fromLatin1(c.nombre));
    ASSERT_NE(w, nullptr) << c.nombre;
    EXPECT_EQ(w->parentWidget()->objectName(), c.padre) << c.nombre;
    EXPECT_EQ(w->geometry(), c.geometria) << c.nombre;
  }
  // The client area is everything below the menu bar.
  EXPECT_EQ(form->centralWidget()->objectName(), "Form1Cliente");
  EXPECT_EQ(form->centralWidget()->y(), form->menuBar()->height());
}

TEST_F(Ventana, ComponentsShowTheirDesignedTexts) {
  Crear();
  EXPECT_EQ(form->Label1->text(), "Spin Factor");
  EXPECT_EQ(form->Edit1->text(), "0,1");
  EXPECT_EQ(form->Panel1->text(), "Panel1");
  EXPECT_EQ(form->GroupBox1->title(), "Source:");
  EXPECT_EQ(form->GroupBox2->title(), "Target:");
  for (QProgressBar* barra : {form->ProgressBar1, form->ProgressBar2}) {
    EXPECT_EQ(barra->minimum(), 0);
    EXPECT_EQ(barra->maximum(), 100);
    EXPECT_EQ(barra->value(), 0);
  }
  for (TListBox* lista : {form->ListBox1, form->ListBox2, form->ListBox3, form->ListBox4})
    EXPECT_EQ(lista->count(), 0);
}

TEST_F(Ventana, FileMenuHoldsOpenSourceSeparatorAndExit) {
  Crear();
  EXPECT_EQ(form->MainMenu1->objectName(), "MainMenu1");
  EXPECT_EQ(form->menuBar(), form->MainMenu1);
  ASSERT_EQ(form->MainMenu1->actions().size(), 1);
  EXPECT_EQ(form->MainMenu1->actions()[0], form->File1->menuAction());
  EXPECT_EQ(form->File1->objectName(), "File1");
  EXPECT_EQ(form->File1->title(), "File");
  const QList<QAction*> acciones = form->File1->actions();
  ASSERT_EQ(acciones.size(), 3);
  EXPECT_EQ(acciones[0]->objectName(), "Open1");
  EXPECT_EQ(acciones[0]->text(), "Open Source");
  EXPECT_EQ(acciones[1]->objectName(), "N1");
  EXPECT_TRUE(acciones[1]->isSeparator());
  EXPECT_EQ(acciones[2]->objectName(), "Exit1");
  EXPECT_EQ(acciones[2]->text(), "Exit");
  EXPECT_EQ(form->OpenDialog1->objectName(), "OpenDialog1");
  EXPECT_EQ(form->OpenDialog1->parent(), form.get());
}

TEST_F(Ventana, FontsFollowTheDesign) {
  Crear();
  struct Fuente {
    QWidget* componente;
    int pixeles;
    bool negrita;
  };
  const Fuente esperadas[] = {
      {form.get(), 11, false},     {form->Label1, 11, false},   {form->Edit1, 11, false},
      {form->GroupBox1, 13, true}, {form->GroupBox2, 13, true}, {form->ListBox1, 11, false},
      {form->ListBox2, 13, true},  {form->ListBox3, 13, true},  {form->ListBox4, 13, true},
  };
  for (const Fuente& f : esperadas) {
    const QFont fuente = f.componente->font();
    EXPECT_EQ(fuente.family(), "MS Sans Serif") << f.componente->objectName().toStdString();
    EXPECT_EQ(fuente.pixelSize(), f.pixeles) << f.componente->objectName().toStdString();
    EXPECT_EQ(fuente.bold(), f.negrita) << f.componente->objectName().toStdString();
  }
}

TEST_F(Ventana, TheSpinFactorCaptionFitsItsLabel) {
  Crear();
  const QFontMetrics medidas(form->Label1->font());
  EXPECT_LE(medidas.horizontalAdvance(form->Label1->text()), form->Label1->width());
}

TEST_F(Ventana, ItemsHaveTheirListsHeight) {
  Crear();
  const std::pair<TListBox*, int> alturas[] = {
      {form->ListBox1, 13}, {form->ListBox2, 16}, {form->ListBox3, 16}, {form->ListBox4, 16}};
  for (auto [lista, alto] : alturas) {
    lista->Agregar("a");
    lista->Agregar("b");
    EXPECT_EQ(lista->ItemHeight(), alto);
    EXPECT_EQ(lista->visualItemRect(lista->item(1)).height(), alto)
        << lista->objectName().toStdString();
    EXPECT_EQ(lista->visualItemRect(lista->item(1)).top(), alto)
        << lista->objectName().toStdString();
  }
}

TEST_F(Ventana, TabOrderFollowsTheDesign) {
  Crear();
  const QStringList esperado = {"Panel1",   "ProgressBar1", "ProgressBar2", "GroupBox1", "ListBox1",
                                "ListBox2", "GroupBox2",    "ListBox3",     "ListBox4",  "Edit1"};
  // Walk the focus chain once round, keeping the designed components.
  QStringList visto;
  QWidget* w = form->Panel1;
  do {
    if (esperado.contains(w->objectName()) && !visto.contains(w->objectName()))
      visto << w->objectName();
    w = w->nextInFocusChain();
  } while (w != form->Panel1);
  EXPECT_EQ(visto, esperado);
  // What takes focus with Tab, in that order.
  EXPECT_EQ(form->ListBox1->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
  EXPECT_EQ(form->Edit1->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
}

TEST_F(Ventana, ResizingMovesNothing) {
  Crear();
  form->show();
  for (QSize tamano : {QSize(500, 300), QSize(1400, 1000), QSize(956, 640)}) {
    form->resize(tamano);
    QCoreApplication::processEvents();
    for (const Componente& c : kComponentes)
      EXPECT_EQ(form->findChild<QWidget*>(QString::fromLatin1(c.nombre))->geometry(), c.geometria)
          << c.nombre << " at " << tamano.width() << "x" << tamano.height();
  }
}

// ---------------------------------------------------- creation and frames

TEST_F(Ventana, CreationSetsUpTheDeviceOnThePanel) {
  Crear();
  ASSERT_NE(dispositivoD3D, nullptr);
  ASSERT_NE(ratonD3D, nullptr);
  EXPECT_FLOAT_EQ(ratonD3D->Factor(), 0.1f);
  EXPECT_FLOAT_EQ(ratonD3D->Zoom(), 6.0f);
  EXPECT_EQ(dispositivoD3D->ColorFondo(), 0xFFFF00FFu);
  const auto creaciones = grabacion.Filtrar("CreateDevice");
  ASSERT_EQ(creaciones.size(), 1u);
  // The device's window is the surface inside Panel1.
  ASSERT_FALSE(creaciones[0]->punteros.empty());
  EXPECT_EQ(creaciones[0]->punteros[0],
            static_cast<const void*>(static_cast<IVentanaD3D*>(form->VentanaVisor())));
  // Aspect 956 div 640 = 1, field of view pi/4, near 0.1, far 3000.
  D3DXMATRIX esperada;
  D3DXMatrixPerspectiveFovLH(&esperada, 0.7853982f, 1.0f, 0.1f, 3000.0f);
  const auto proyecciones = grabacion.Filtrar("SetTransform");
  ASSERT_FALSE(proyecciones.empty());
  ASSERT_TRUE(proyecciones.back()->matriz.has_value());
  for (int f = 0; f < 4; ++f)
    for (int c = 0; c < 4; ++c)
      EXPECT_FLOAT_EQ(proyecciones.back()->matriz->m[f][c], esperada.m[f][c]);
  EXPECT_TRUE(dialogos.mensajes.empty());
}

TEST_F(Ventana, AFrameWithoutSelectionClearsToMagentaAndPresents) {
  Crear();
  grabacion.Olvidar();
  form->FormPaint(form.get());
  EXPECT_EQ(
      grabacion.Textos({"Clear", "Present", "DrawPrimitive"}),
      (std::vector<std::string>{"Clear(0,null,3,0xFFFF00FF,1,0)", "Present(null,null,null,null)"}));
}

TEST_F(Ventana, NoFramesAreDrawnWhileNoEventsArrive) {
  Crear();
  AbrirCentros({{0, 0, 0}});
  form->ListBox1->PonerItemIndex(0);
  form->ListBox1Click(form->ListBox1);
  form->show();
  CorrerBucle(300);  // let showing and exposing settle
  grabacion.Olvidar();
  CorrerBucle(1000);
  // A quiet second draws at most the frame after the loop's own wake-up.
  EXPECT_LE(grabacion.Contar("Present"), 2u);

  // Input brings frames back: one after each batch.
  grabacion.Olvidar();
  QWindow* visor = form->VentanaVisor();
  for (int i = 0; i < 5; ++i) {
    QTest::mouseMove(visor, QPoint(50 + i, 50));
    CorrerBucle(20);
  }
  EXPECT_GE(grabacion.Contar("Present"), 5u);
  EXPECT_GE(grabacion.Contar("DrawPrimitive"), 5u);
}

TEST_F(Ventana, ShowingTheViewportDrawsAFrameWithoutAnIdlePass) {
  Crear();
  grabacion.Olvidar();
  form->show();
  // processEvents never waits, so no idle pass runs: the frame comes from
  // the viewport's expose, as a repaint under a modal box would.
  QCoreApplication::processEvents();
  EXPECT_EQ(form->Ocio()->Pasadas(), 0);
  EXPECT_GE(grabacion.Contar("Present"), 1u);
}

TEST_F(Ventana, AFrameDrawsTheSelectedMeshWithTheViewMatrix) {
  Crear();
  AbrirCentros({{100, -50, 7}});
  form->ListBox1->PonerItemIndex(0);
  form->ListBox1Click(form->ListBox1);
  VistaActual.rotY = 0.3f;
  VistaActual.rotX = -0.2f;
  VistaActual.escala = 2.0f;
  VistaActual.panX = 11.0f;
  VistaActual.panY = -4.0f;
  grabacion.Olvidar();
  form->FormPaint(form.get());

  // Scale, pitch, yaw, to the centre (y negated), then the pan.
  D3DXMATRIX m, t;
  D3DXMatrixScaling(&m, 2, 2, 2);
  D3DXMatrixRotationX(&t, -0.2f);
  D3DXMatrixMultiply(&m, &m, &t);
  D3DXMatrixRotationY(&t, 0.3f);
  D3DXMatrixMultiply(&m, &m, &t);
  D3DXMatrixTranslation(&t, 100, 50, 7);
  D3DXMatrixMultiply(&m, &m, &t);
  D3DXMatrixTranslation(&t, 11, -4, 0);
  D3DXMatrixMultiply(&m, &m, &t);

  std::optional<D3DMATRIX> mundo;
  for (const LlamadaD3D8* l : grabacion.Filtrar("SetTransform"))
    if (!l->numeros.empty() && l->numeros[0] == static_cast<double>(D3DTS_WORLD)) mundo = l->matriz;
  ASSERT_TRUE(mundo.has_value());
  for (int f = 0; f < 4; ++f)
    for (int c = 0; c < 4; ++c) EXPECT_NEAR(mundo->m[f][c], m.m[f][c], 1e-4f) << f << "," << c;
  EXPECT_GT(grabacion.Contar("DrawPrimitive"), 0u);
  EXPECT_EQ(grabacion.Textos().back(), "Present(null,null,null,null)");
}

// ------------------------------------------------------------- open command

TEST_F(Ventana, OpenListsTheMeshesAfterAskingForATr4File) {
  Crear();
  AbrirCentros({{0, 0, 0}, {1, 2, 3}, {4, 5, 6}});
  ASSERT_EQ(dialogos.dialogos.size(), 1u);
  EXPECT_EQ(dialogos.dialogos[0].titulo, "Abrir Archivo de Tomb Raider 4");
  EXPECT_EQ(dialogos.dialogos[0].filtro, "Tomb Raider 4 (*.tr4)");
  EXPECT_EQ(form->GroupBox1->title(), "Meshes: 3");
  EXPECT_EQ(Items(form->ListBox1), QStringList({"Objeto:0", "Objeto:1", "Objeto:2"}));
  EXPECT_EQ(form->ListBox1->ItemIndex(), -1);
  EXPECT_TRUE(form->ListBox1->selectedItems().isEmpty());
  EXPECT_EQ(VistaActual.buffer, nullptr);
}

TEST_F(Ventana, TheDemoLevelOpensWithItsThreeMeshesAndTwoPages) {
  Crear();
  Abrir(niveles.Guardar("demo.tr4", NivelDemo()));
  EXPECT_EQ(form->GroupBox1->title(), "Meshes: 3");
  EXPECT_EQ(grabacion.Contar("CreateTexture"), 2u);
  EXPECT_EQ(grabacion.Contar("CreateVertexBuffer"), 3u);
  for (int i = 0; i < 3; ++i) {
    form->ListBox1->PonerItemIndex(i);
    form->ListBox1Click(form->ListBox1);
    grabacion.Olvidar();
    form->FormPaint(form.get());
    EXPECT_GT(grabacion.Contar("DrawPrimitive"), 0u) << i;
    // Every polygon of the demo is textured.
    for (const LlamadaD3D8* t : grabacion.Filtrar("SetTexture"))
      EXPECT_NE(t->punteros.empty() ? nullptr : t->punteros[0], nullptr) << i;
  }
}

TEST_F(Ventana, TheDepthNoticeComesBeforeThePagesAreBuilt) {
  Crear();
  std::size_t itemsAlAvisar = 0;
  dialogos.alMostrar = [&] {
    itemsAlAvisar = static_cast<std::size_t>(form->ListBox1->count());
    return grabacion.Llamadas().size();
  };
  grabacion.Olvidar();
  AbrirCentros({{0, 0, 0}, {5, 5, 5}});
  ASSERT_EQ(dialogos.mensajes.size(), 1u);
  const MensajeVisto& aviso = dialogos.mensajes[0];
  EXPECT_EQ(aviso.texto, "Se renderiza con 32 bits");
  EXPECT_EQ(aviso.titulo, "");
  EXPECT_EQ(aviso.tipo, TipoMensaje::Aviso);
  EXPECT_EQ(itemsAlAvisar, 2u);  // the list is filled while the box is up

  const auto& llamadas = grabacion.Llamadas();
  std::size_t antesTexturas = 0, despuesTexturas = 0, consulta = 0;
  for (std::size_t i = 0; i < llamadas.size(); ++i) {
    if (llamadas[i].metodo == "CheckDeviceFormat") consulta = i + 1;
    if (llamadas[i].metodo != "CreateTexture") continue;
    (i < aviso.momento ? antesTexturas : despuesTexturas)++;
  }
  EXPECT_GT(consulta, 0u);
  EXPECT_LE(consulta, aviso.momento);  // asked before the box
  EXPECT_EQ(antesTexturas, 0u);
  EXPECT_EQ(despuesTexturas, 2u);  // two pages, after the box
  for (const LlamadaD3D8* t : grabacion.Filtrar("CreateTexture"))
    EXPECT_EQ(t->numeros[4], static_cast<double>(D3DFMT_X8R8G8B8));
  // Every mesh converted and uploaded.
  EXPECT_EQ(grabacion.Contar("CreateVertexBuffer"), 2u);
  ASSERT_NE(listaMeshes, nullptr);
  EXPECT_NE(listaMeshes->ObtenerBuffer(0), nullptr);
  EXPECT_NE(listaMeshes->ObtenerBuffer(1), nullptr);
}

TEST_F(Ventana, WithoutThirtyTwoBitTexturesTheSixteenBitPagesAreBuilt) {
  grabacion.PonerFormatosTextura({D3DFMT_X1R5G5B5});
  Crear();
  AbrirCentros({{0, 0, 0}});
  ASSERT_EQ(dialogos.mensajes.size(), 1u);
  EXPECT_EQ(dialogos.mensajes[0].texto, "Se renderiza con 16 bits");
  const auto texturas = grabacion.Filtrar("CreateTexture");
  ASSERT_EQ(texturas.size(), 2u);
  for (const LlamadaD3D8* t : texturas)
    EXPECT_EQ(t->numeros[4], static_cast<double>(D3DFMT_X1R5G5B5));
}

TEST_F(Ventana, CancellingTheDialogChangesNothing) {
  Crear();
  AbrirCentros({{0, 0, 0}, {1, 1, 1}});
  form->ListBox1->PonerItemIndex(1);
  form->ListBox1Click(form->ListBox1);
  VistaActual.rotY = 0.5f;
  Lista_Mesh* lista = listaMeshes;
  const VistaMesh vista = VistaActual;
  grabacion.Olvidar();
  dialogos.mensajes.clear();

  dialogos.cancelar = true;
  form->Open1->trigger();
  EXPECT_EQ(dialogos.dialogos.size(), 2u);
  EXPECT_EQ(listaMeshes, lista);
  EXPECT_EQ(form->GroupBox1->title(), "Meshes: 2");
  EXPECT_EQ(Items(form->ListBox1), QStringList({"Objeto:0", "Objeto:1"}));
  EXPECT_EQ(form->ListBox1->ItemIndex(), 1);
  EXPECT_EQ(VistaActual.buffer, vista.buffer);
  EXPECT_EQ(VistaActual.rotY, vista.rotY);
  EXPECT_TRUE(dialogos.mensajes.empty());
  EXPECT_TRUE(grabacion.Llamadas().empty());
}

TEST_F(Ventana, CancellingBeforeAnyLevelLeavesTheSourceCaption) {
  Crear();
  dialogos.cancelar = true;
  form->Open1->trigger();
  EXPECT_EQ(form->GroupBox1->title(), "Source:");
  EXPECT_EQ(listaMeshes, nullptr);
}

TEST_F(Ventana, ALevelThatCannotBeReadIsReportedAndTheOpenOneStays) {
  Crear();
  AbrirCentros({{0, 0, 0}, {1, 1, 1}, {2, 2, 2}});
  form->ListBox1->PonerItemIndex(2);
  form->ListBox1Click(form->ListBox1);
  Lista_Mesh* lista = listaMeshes;
  dxBufferTextura* buffer = VistaActual.buffer;
  trMesh* mesh = meshActual;
  const std::size_t texturas = grabacion.Contar("CreateTexture");

  std::vector<std::uint8_t> bytes = escritor::EscribirNivel(NivelConCentros({{0, 0, 0}}));
  bytes.resize(bytes.size() / 2);
  const std::string cortado = niveles.Guardar("cortado.tr4", bytes);
  const std::string ausente = niveles.Guardar("x.tr4", bytes) + ".no";
  for (const std::string& ruta : {cortado, ausente}) {
    dialogos.mensajes.clear();
    Abrir(ruta);
    ASSERT_EQ(dialogos.mensajes.size(), 1u) << ruta;
    const MensajeVisto& m = dialogos.mensajes[0];
    EXPECT_TRUE(m.texto.startsWith(QString::fromStdString("No se pudo abrir el nivel " + ruta)))
        << m.texto.toStdString();
    EXPECT_GT(m.texto.size(), static_cast<qsizetype>(26 + ruta.size() + 2)) << "a reason is given";
    EXPECT_EQ(m.tipo, TipoMensaje::Error);
    EXPECT_EQ(listaMeshes, lista);
    EXPECT_EQ(form->GroupBox1->title(), "Meshes: 3");
    EXPECT_EQ(form->ListBox1->count(), 3);
    EXPECT_EQ(form->ListBox1->ItemIndex(), 2);
    EXPECT_EQ(VistaActual.buffer, buffer);
    EXPECT_EQ(meshActual, mesh);
    EXPECT_EQ(grabacion.Contar("CreateTexture"), texturas);
  }
}

TEST_F(Ventana, ALevelWithoutMeshDataHasNoMeshes) {
  Crear();
  AbrirCentros({});
  EXPECT_EQ(form->GroupBox1->title(), "Meshes: 0");
  EXPECT_EQ(form->ListBox1->count(), 0);
  ASSERT_NE(listaMeshes, nullptr);
  EXPECT_EQ(listaMeshes->Cantidad(), 0);
  form->ListBox1Click(form->ListBox1);
  form->FormPaint(form.get());
  EXPECT_EQ(VistaActual.buffer, nullptr);
}

TEST_F(Ventana, ReopeningReplacesTheLevelAndKeepsTheNavigation) {
  Crear();
  AbrirCentros({{0, 0, 0}, {1, 1, 1}});
  form->ListBox1->PonerItemIndex(0);
  form->ListBox1Click(form->ListBox1);
  VistaActual.rotX = 0.7f;
  VistaActual.escala = 3.0f;
  const auto primeros = grabacion.Filtrar("CreateVertexBuffer");
  ASSERT_EQ(primeros.size(), 2u);
  const void* vb1 = primeros[0]->creado;
  const void* vb2 = primeros[1]->creado;

  AbrirCentros({{9, 9, 9}});
  EXPECT_EQ(form->GroupBox1->title(), "Meshes: 1");
  EXPECT_EQ(Items(form->ListBox1), QStringList({"Objeto:0"}));
  EXPECT_EQ(VistaActual.buffer, nullptr);
  EXPECT_EQ(VistaActual.rotX, 0.7f);
  EXPECT_EQ(VistaActual.escala, 3.0f);
  // The old level's vertex buffers went with its list.
  int liberados = 0;
  for (const LlamadaD3D8* r : grabacion.Filtrar("Release"))
    if ((r->instancia == vb1 || r->instancia == vb2) && r->resultado == 0) ++liberados;
  EXPECT_EQ(liberados, 2);
  EXPECT_TRUE(grabacion.Errores().empty());
}

// ---------------------------------------------------------------- selection

struct Centro {
  std::int16_t x, y, z;
};

TEST_F(Ventana, SelectingAMeshPointsTheCameraAtItAndSelectsItsBuffer) {
  Crear();
  const Centro centros[] = {{0, 0, 0}, {100, -50, 7}, {-300, 200, 1000}, {32767, -32768, -32768}};
  std::vector<std::array<std::int16_t, 3>> lista;
  for (const Centro& c : centros) lista.push_back({c.x, c.y, c.z});
  AbrirCentros(lista);
  for (int i = 0; i < 4; ++i) {
    form->ListBox1->PonerItemIndex(i);
    form->ListBox1Click(form->ListBox1);
    const Centro& c = centros[i];
    const float cx = c.x, cy = static_cast<float>(-static_cast<int>(c.y)), cz = c.z;
    EXPECT_EQ(dispositivoD3D->Ojo().x, cx) << i;
    EXPECT_EQ(dispositivoD3D->Ojo().y, cy) << i;
    EXPECT_EQ(dispositivoD3D->Ojo().z, cz + 1000) << i;
    EXPECT_EQ(dispositivoD3D->Objetivo().x, cx) << i;
    EXPECT_EQ(dispositivoD3D->Objetivo().y, cy) << i;
    EXPECT_EQ(dispositivoD3D->Objetivo().z, cz) << i;
    trMesh* esperado = nullptr;
    listaMeshes->ObtenerMesh(i, &esperado);
    EXPECT_EQ(meshActual, esperado);
    EXPECT_EQ(VistaActual.buffer, listaMeshes->ObtenerBuffer(i));
    EXPECT_NE(VistaActual.buffer, nullptr);
  }
}

TEST_F(Ventana, ClickingAnItemWithTheMouseSelectsIt) {
  Crear();
  AbrirCentros({{0, 0, 0}, {10, 20, 30}});
  form->show();
  QCoreApplication::processEvents();
  const QRect rect = form->ListBox1->visualItemRect(form->ListBox1->item(1));
  QTest::mouseClick(form->ListBox1->viewport(), Qt::LeftButton, {}, rect.center());
  EXPECT_EQ(form->ListBox1->ItemIndex(), 1);
  EXPECT_EQ(VistaActual.buffer, listaMeshes->ObtenerBuffer(1));
  EXPECT_EQ(dispositivoD3D->Objetivo().y, -20.0f);
  // The keyboard moves the selection too.
  QTest::keyClick(form->ListBox1, Qt::Key_Up);
  EXPECT_EQ(VistaActual.buffer, listaMeshes->ObtenerBuffer(0));
}

TEST_F(Ventana, AClickWithoutAValidIndexDoesNothing) {
  Crear();
  form->ListBox1Click(form->ListBox1);  // no level at all
  EXPECT_EQ(meshActual, nullptr);
  AbrirCentros({{0, 0, 0}, {5, 6, 7}});
  form->ListBox1->PonerItemIndex(1);
  form->ListBox1Click(form->ListBox1);
  const D3DXVECTOR3 ojo = dispositivoD3D->Ojo();
  dxBufferTextura* buffer = VistaActual.buffer;
  trMesh* mesh = meshActual;
  grabacion.Olvidar();
  form->ListBox1->PonerItemIndex(-1);
  form->ListBox1Click(form->ListBox1);
  EXPECT_EQ(VistaActual.buffer, buffer);
  EXPECT_EQ(meshActual, mesh);
  EXPECT_EQ(dispositivoD3D->Ojo().z, ojo.z);
  EXPECT_TRUE(grabacion.Llamadas().empty());
}

TEST_F(Ventana, SelectionKeepsTheNavigationReached) {
  Crear();
  AbrirCentros({{0, 0, 0}, {1, 1, 1}});
  form->ListBox1->PonerItemIndex(0);
  form->ListBox1Click(form->ListBox1);
  VistaActual.rotY = 1.5f;
  VistaActual.panX = -40.0f;
  const auto antes = Navegacion();
  form->ListBox1->PonerItemIndex(1);
  form->ListBox1Click(form->ListBox1);
  EXPECT_EQ(Navegacion(), antes);
}

// ---------------------------------------------------------- mouse navigation

struct Arrastre {
  const char* nombre;
  TShiftState teclas;
  int dx, dy;
  float VistaMesh::*campo;
  float cambio;  // with the default factor 0.1
};

const Arrastre kArrastres[] = {
    {"right turns yaw", ssRight, 10, 0, &VistaMesh::rotY, -1.0f},
    {"left turns yaw back", ssRight, -10, 0, &VistaMesh::rotY, 1.0f},
    {"down turns pitch", ssRight, 0, 10, &VistaMesh::rotX, -1.0f},
    {"up turns pitch back", ssRight, 0, -10, &VistaMesh::rotX, 1.0f},
    {"Ctrl down zooms out", ssRight | ssCtrl, 0, 10, &VistaMesh::escala, -1.0f},
    {"Ctrl up zooms in", ssRight | ssCtrl, 0, -10, &VistaMesh::escala, 1.0f},
    {"Ctrl wins over Shift", ssRight | ssCtrl | ssShift, 0, 10, &VistaMesh::escala, -1.0f},
    {"Ctrl ignores X", ssRight | ssCtrl, 10, 0, &VistaMesh::escala, 0.0f},
    {"Shift right pans", ssRight | ssShift, 10, 0, &VistaMesh::panX, -20.0f},
    {"Shift down pans", ssRight | ssShift, 0, 10, &VistaMesh::panY, -20.0f},
    {"Alt changes nothing", ssRight | ssAlt, 10, 0, &VistaMesh::rotY, -1.0f},
    {"other buttons too", ssRight | ssLeft | ssMiddle, 0, 10, &VistaMesh::rotX, -1.0f},
};

TEST_F(Ventana, DragsChangeTheirOwnFieldByFactorPerPixel) {
  for (const Arrastre& a : kArrastres) {
    Crear();
    ReiniciarVista();
    const auto inicio = Navegacion();
    // The first move of a drag, far from anything, only records.
    form->Panel1MouseMove(form->Panel1, a.teclas, 150, 150);
    EXPECT_EQ(Navegacion(), inicio) << a.nombre;
    form->Panel1MouseMove(form->Panel1, a.teclas, 150 + a.dx, 150 + a.dy);
    VistaMesh esperada;
    esperada.*a.campo += a.cambio;
    EXPECT_NEAR(VistaActual.rotY, esperada.rotY, 1e-5f) << a.nombre;
    EXPECT_NEAR(VistaActual.rotX, esperada.rotX, 1e-5f) << a.nombre;
    EXPECT_NEAR(VistaActual.escala, esperada.escala, 1e-5f) << a.nombre;
    EXPECT_NEAR(VistaActual.panX, esperada.panX, 1e-4f) << a.nombre;
    EXPECT_NEAR(VistaActual.panY, esperada.panY, 1e-4f) << a.nombre;
    form.reset();
  }
}

TEST_F(Ventana, MovesWithoutTheRightButtonChangeNothing) {
  Crear();
  for (TShiftState s : {TShiftState{0}, ssLeft, ssMiddle, ssLeft | ssCtrl, ssShift | ssMiddle}) {
    form->Panel1MouseMove(form->Panel1, s, 10, 10);
    form->Panel1MouseMove(form->Panel1, s, 90, 90);
  }
  EXPECT_EQ(Navegacion(), (std::array<float, 5>{0, 0, 6, 0, 0}));
  EXPECT_FALSE(ratonD3D->Siguiendo());
}

TEST_F(Ventana, AnyButtonReleaseEndsTheDrag) {
  for (TMouseButton b : {mbLeft, mbMiddle, mbRight}) {
    Crear();
    ReiniciarVista();
    form->Panel1MouseMove(form->Panel1, ssRight, 0, 0);
    form->Panel1MouseMove(form->Panel1, ssRight, 10, 0);
    form->Panel1MouseUp(form->Panel1, b, 0, 10, 0);
    EXPECT_FALSE(ratonD3D->Siguiendo());
    // The next drag starts elsewhere and begins by recording.
    form->Panel1MouseMove(form->Panel1, ssRight, 200, 0);
    EXPECT_NEAR(VistaActual.rotY, -1.0f, 1e-5f);
    form.reset();
  }
}

TEST_F(Ventana, ZoomStopsAtItsBound) {
  Crear();
  form->Panel1MouseMove(form->Panel1, ssRight | ssCtrl, 0, 0);
  form->Panel1MouseMove(form->Panel1, ssRight | ssCtrl, 0, 100);
  EXPECT_FLOAT_EQ(VistaActual.escala, 0.001f);
  form->Panel1MouseMove(form->Panel1, ssRight | ssCtrl, 0, 90);
  EXPECT_NEAR(VistaActual.escala, 1.001f, 1e-5f);
}

TEST_F(Ventana, SwitchingFromTurnToZoomAndBackResumesFromTheLastPositionSeen) {
  Crear();
  form->Panel1MouseMove(form->Panel1, ssRight, 0, 0);
  form->Panel1MouseMove(form->Panel1, ssRight | ssCtrl, 0, 0);  // zoom records
  form->Panel1MouseMove(form->Panel1, ssRight | ssCtrl, 30, 10);
  form->Panel1MouseMove(form->Panel1, ssRight, 30, 10);
  // The turn accumulators saw (0, 0) last: the whole distance applies now.
  EXPECT_NEAR(VistaActual.rotY, -3.0f, 1e-5f);
  EXPECT_NEAR(VistaActual.rotX, -1.0f, 1e-5f);
  EXPECT_NEAR(VistaActual.escala, 5.0f, 1e-5f);
}

struct TextoFactor {
  const char* texto;
  float factorEsperado;  // after an earlier "0.5"
};

TEST_F(Ventana, TheSpinFactorIsReadFromTheEditBoxEveryFrame) {
  const TextoFactor casos[] = {{"0,1", 0.1f}, {"0.1", 0.1f},   {"0,25", 0.25f}, {"2", 2.0f},
                               {"", 0.5f},    {"abc", 0.5f},   {"0,", 0.0f},    {"1,2,3", 0.5f},
                               {"-1", -1.0f}, {"  0.3 ", 0.3f}};
  Crear();
  for (const TextoFactor& c : casos) {
    form->Edit1->setText("0.5");
    form->FormPaint(form.get());
    form->Edit1->setText(QString::fromLatin1(c.texto));
    form->FormPaint(form.get());
    EXPECT_FLOAT_EQ(ratonD3D->Factor(), c.factorEsperado) << "'" << c.texto << "'";
  }
  // A factor typed mid-drag applies to later movement only.
  form->Edit1->setText("0,1");
  form->FormPaint(form.get());
  form->Panel1MouseMove(form->Panel1, ssRight, 0, 0);
  form->Panel1MouseMove(form->Panel1, ssRight, 10, 0);
  form->Edit1->setText("1");
  form->FormPaint(form.get());
  form->Panel1MouseMove(form->Panel1, ssRight, 12, 0);
  EXPECT_NEAR(VistaActual.rotY, -3.0f, 1e-5f);
}

TEST_F(Ventana, TheDesignedTextGivesOneTenthInEveryLocale) {
  for (const char* locale : {"en_US", "de_DE", "C"}) {
    const QLocale anterior;
    QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
    Crear();
    EXPECT_FLOAT_EQ(ratonD3D->Factor(), 0.1f) << locale;
    form.reset();
    QLocale::setDefault(anterior);
  }
}

TEST_F(Ventana, MouseEventsOnTheViewportReachThePanelHandlers) {
  Crear();
  form->show();
  QCoreApplication::processEvents();
  QWindow* visor = form->VentanaVisor();
  // Qt drops a move to where the pointer already is, so each step below
  // goes somewhere new.
  QTest::mousePress(visor, Qt::RightButton, {}, QPoint(90, 90));
  QTest::mouseMove(visor, QPoint(100, 100));  // first move records
  QTest::mouseMove(visor, QPoint(110, 120));
  EXPECT_NEAR(VistaActual.rotY, -1.0f, 1e-5f);
  EXPECT_NEAR(VistaActual.rotX, -2.0f, 1e-5f);
  QTest::mouseEvent(QTest::MouseMove, visor, Qt::NoButton, Qt::ShiftModifier, QPoint(111, 120));
  QTest::mouseEvent(QTest::MouseMove, visor, Qt::NoButton, Qt::ShiftModifier, QPoint(101, 120));
  EXPECT_NEAR(VistaActual.panX, 20.0f, 1e-4f);
  QTest::mouseEvent(QTest::MouseMove, visor, Qt::NoButton, Qt::ControlModifier, QPoint(101, 121));
  QTest::mouseEvent(QTest::MouseMove, visor, Qt::NoButton, Qt::ControlModifier, QPoint(101, 111));
  EXPECT_NEAR(VistaActual.escala, 7.0f, 1e-5f);
  QTest::mouseRelease(visor, Qt::RightButton, {}, QPoint(101, 111));
  EXPECT_FALSE(ratonD3D->Siguiendo());
  // With no button held nothing moves.
  QTest::mouseMove(visor, QPoint(10, 10));
  QTest::mouseMove(visor, QPoint(200, 200));
  EXPECT_NEAR(VistaActual.rotY, -1.0f, 1e-5f);
}

// ------------------------------------------------------------ release

TEST_F(Ventana, ExitReleasesInOrderAndTheLaterCloseReleasesNothing) {
  Crear();
  AbrirCentros({{0, 0, 0}, {1, 1, 1}});
  form->ListBox1->PonerItemIndex(0);
  form->ListBox1Click(form->ListBox1);
  form->show();
  grabacion.Olvidar();

  form->Exit1->trigger();
  EXPECT_EQ(VistaActual.buffer, nullptr);
  EXPECT_EQ(listaMeshes, nullptr);
  EXPECT_EQ(texturasNivel, nullptr);
  EXPECT_EQ(dispositivoD3D, nullptr);
  EXPECT_EQ(ratonD3D, nullptr);
  EXPECT_FALSE(form->isVisible());  // Exit closes the window

  // Vertex buffers (with the list) and pages go before the device.
  std::vector<ObjetoD3D8> orden;
  for (const LlamadaD3D8& l : grabacion.Llamadas())
    if (l.metodo == "Release" && l.resultado == 0) orden.push_back(l.objeto);
  ASSERT_FALSE(orden.empty());
  EXPECT_EQ(orden.back(), ObjetoD3D8::Dispositivo);
  EXPECT_EQ(std::count(orden.begin(), orden.end(), ObjetoD3D8::VertexBuffer), 2);
  EXPECT_EQ(std::count(orden.begin(), orden.end(), ObjetoD3D8::Dispositivo), 1);
  EXPECT_TRUE(grabacion.Errores().empty());

  const std::size_t llamadas = grabacion.Llamadas().size();
  form->close();
  form->FormClose(form.get());
  form->FormPaint(form.get());
  form->Panel1MouseMove(form->Panel1, ssRight, 1, 1);
  form->ListBox1Click(form->ListBox1);
  form.reset();
  EXPECT_EQ(grabacion.Llamadas().size(), llamadas);
}

TEST_F(Ventana, ClosingTheWindowRunsTheReleaseSequence) {
  Crear();
  AbrirCentros({{0, 0, 0}});
  form->show();
  form->close();
  EXPECT_EQ(listaMeshes, nullptr);
  EXPECT_EQ(dispositivoD3D, nullptr);
  EXPECT_EQ(ratonD3D, nullptr);
  EXPECT_EQ(grabacion.Contar("Release") > 0, true);
  EXPECT_TRUE(grabacion.Errores().empty());
}

// ------------------------------------------------------ no OpenGL

struct SinDispositivo {
  const char* nombre;
  const char* metodo;  // the call that fails
};

TEST_F(Ventana, WithoutADeviceTheWindowSaysSoAndTheListsStillWork) {
  for (SinDispositivo caso : {SinDispositivo{"no context", "Direct3DCreate8"},
                              SinDispositivo{"no device", "CreateDevice"}}) {
    ReiniciarContexto();
    ReiniciarVista();
    dialogos.mensajes.clear();
    grabacion.QuitarFallos();
    grabacion.Fallar({.metodo = caso.metodo});
    Crear();
    EXPECT_EQ(dispositivoD3D, nullptr) << caso.nombre;
    ASSERT_NE(ratonD3D, nullptr) << caso.nombre;
    ASSERT_EQ(dialogos.mensajes.size(), 1u) << caso.nombre;
    EXPECT_TRUE(dialogos.mensajes[0].texto.startsWith("No se puede dibujar en el visor"));
    EXPECT_EQ(dialogos.mensajes[0].tipo, TipoMensaje::Error);

    grabacion.Olvidar();
    AbrirCentros({{0, 0, 0}, {1, 2, 3}});
    EXPECT_EQ(form->GroupBox1->title(), "Meshes: 2") << caso.nombre;
    EXPECT_EQ(form->ListBox1->count(), 2) << caso.nombre;
    EXPECT_EQ(dialogos.mensajes.size(), 1u) << "no depth notice without a device";
    form->ListBox1->PonerItemIndex(1);
    form->ListBox1Click(form->ListBox1);
    EXPECT_NE(meshActual, nullptr);
    EXPECT_EQ(VistaActual.buffer, nullptr);
    form->Panel1MouseMove(form->Panel1, ssRight, 0, 0);
    form->Panel1MouseMove(form->Panel1, ssRight, 10, 0);
    EXPECT_NEAR(VistaActual.rotY, -1.0f, 1e-5f);
    form->show();
    CorrerBucle(100);
    form->FormPaint(form.get());
    form->close();
    form.reset();
    // Nothing at all reached a Direct3D object.
    for (const LlamadaD3D8& l : grabacion.Llamadas())
      EXPECT_NE(l.objeto, ObjetoD3D8::Dispositivo) << caso.nombre << ": " << l.TextoCompleto();
  }
}

TEST_F(Ventana, TheOpenGLImplementationWithoutOpenGLLeavesTheViewportEmpty) {
  // The offscreen platform has no OpenGL: the real implementation cannot
  // make a device on the panel's surface, and the window says so once.
  instalada.reset();
  FabricaD3D8Temporal gl(FabricaD3D8GL());
  Crear();
  EXPECT_EQ(dispositivoD3D, nullptr);
  ASSERT_EQ(dialogos.mensajes.size(), 1u);
  EXPECT_TRUE(dialogos.mensajes[0].texto.startsWith("No se puede dibujar en el visor"));
  AbrirCentros({{0, 0, 0}});
  EXPECT_EQ(form->ListBox1->count(), 1);
  form->ListBox1->PonerItemIndex(0);
  form->ListBox1Click(form->ListBox1);
  form->show();
  CorrerBucle(50);
  form->close();
  form.reset();
  ReiniciarContexto();  // its IDirect3D8 goes while the factory is installed
}

}  // namespace
