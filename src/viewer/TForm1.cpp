#include "viewer/TForm1.h"

#include <QCloseEvent>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>

#include "render/Cuadro.h"
#include "render/dxDevice8.h"
#include "viewer/Dialogos.h"
#include "viewer/FactorGiro.h"
#include "viewer/MouseD3D.h"
#include "viewer/OcioAplicacion.h"
#include "viewer/TListBox.h"
#include "viewer/VentanaPanel.h"
#include "viewer/Visor.h"

namespace {
// Designed screen position and outer size of the window (frame included).
constexpr int kIzquierda = 192, kArriba = 110, kAncho = kAnchoFormulario, kAlto = kAltoFormulario;

// The fonts of the design: the window's "MS Sans Serif" at 11 pixels
// (Windows' 8 point at 96 dpi), the group boxes' bold 13. Where that family
// is missing Qt substitutes a sans-serif of the same size.
QFont FuenteVentana() {
  QFont fuente(QStringLiteral("MS Sans Serif"));
  fuente.setStyleHint(QFont::SansSerif);
  fuente.setPixelSize(11);
  // Stated, not left unset: ListBox1 has this font of its own inside a bold
  // group box, and an unset weight would be taken from the group.
  fuente.setBold(false);
  return fuente;
}

QFont FuenteGrupo() {
  QFont fuente = FuenteVentana();
  fuente.setPixelSize(13);
  fuente.setBold(true);
  return fuente;
}

template <typename W>
W* Colocar(W* componente, const char* nombre, int x, int y, int ancho, int alto) {
  componente->setObjectName(QString::fromLatin1(nombre));
  componente->setGeometry(x, y, ancho, alto);
  return componente;
}

// The label's designed width fits its caption in MS Sans Serif; a wider
// substitute would cut it ("Spin Facto"). Condense the font just enough
// instead of moving anything.
void CondensarHastaCaber(QLabel* etiqueta) {
  QFont fuente = etiqueta->font();
  const auto ancho = [&] { return QFontMetrics(fuente).horizontalAdvance(etiqueta->text()); };
  if (ancho() <= etiqueta->width()) return;
  // A face's widths do not scale exactly with the stretch asked for (the
  // font chosen may be a condensed face of its own): step down until it fits.
  for (int estirar = 100 * etiqueta->width() / ancho();
       estirar >= 50 && ancho() > etiqueta->width(); estirar -= 2)
    fuente.setStretch(estirar);
  etiqueta->setFont(fuente);
}

QProgressBar* BarraProgreso(QWidget* padre) {
  auto* barra = new QProgressBar(padre);
  barra->setRange(0, 100);
  barra->setValue(0);
  barra->setTextVisible(false);
  return barra;
}

TShiftState Estado(Qt::MouseButtons botones, Qt::KeyboardModifiers teclas) {
  TShiftState s = 0;
  if (teclas & Qt::ShiftModifier) s |= ssShift;
  if (teclas & Qt::AltModifier) s |= ssAlt;
  if (teclas & Qt::ControlModifier) s |= ssCtrl;
  if (botones & Qt::LeftButton) s |= ssLeft;
  if (botones & Qt::RightButton) s |= ssRight;
  if (botones & Qt::MiddleButton) s |= ssMiddle;
  return s;
}

TMouseButton Boton(Qt::MouseButton boton) {
  switch (boton) {
    case Qt::RightButton:
      return mbRight;
    case Qt::MiddleButton:
      return mbMiddle;
    default:
      return mbLeft;
  }
}
}  // namespace

TForm1::TForm1(IDialogos* cajas, QWidget* padre) : QMainWindow(padre), dialogos(cajas) {
  Form1 = this;
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("VARIDAZIR"));
  setFont(FuenteVentana());
  // Outer size: without a frame yet the outer rectangle is the widget's own;
  // showEvent takes the frame off once the window manager has added it.
  move(kIzquierda, kArriba);
  resize(kAncho, kAlto);
  CrearMenu();
  CrearComponentes();
  CrearVisor();
  OrdenarTabulacion();
  FormCreate(this);
}

TForm1::~TForm1() {
  // A window destroyed without being closed (tests, a failing start-up)
  // still releases; after a close this finds nothing left.
  LiberarRecursos();
  if (ocio != nullptr) ocio->PonerOnIdle({});
  if (Form1 == this) Form1 = nullptr;
}

void TForm1::CrearMenu() {
  MainMenu1 = menuBar();
  MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
  File1 = MainMenu1->addMenu(QStringLiteral("File"));
  File1->setObjectName(QStringLiteral("File1"));
  Open1 = File1->addAction(QStringLiteral("Open Source"));
  Open1->setObjectName(QStringLiteral("Open1"));
  N1 = File1->addSeparator();
  N1->setObjectName(QStringLiteral("N1"));
  Exit1 = File1->addAction(QStringLiteral("Exit"));
  Exit1->setObjectName(QStringLiteral("Exit1"));
  connect(Open1, &QAction::triggered, this, [this] { Open1Click(Open1); });
  connect(Exit1, &QAction::triggered, this, [this] { Exit1Click(Exit1); });
}

void TForm1::CrearComponentes() {
  // The client area: everything below the menu bar. Positions are relative
  // to it and nothing is laid out, so a resize leaves every component where
  // it was.
  auto* cliente = new QWidget(this);
  cliente->setObjectName(QStringLiteral("Form1Cliente"));
  setCentralWidget(cliente);

  Label1 = Colocar(new QLabel(QStringLiteral("Spin Factor"), cliente), "Label1", 408, 80, 54, 13);
  CondensarHastaCaber(Label1);
  Edit1 = Colocar(new QLineEdit(QStringLiteral("0,1"), cliente), "Edit1", 464, 80, 57, 21);

  Panel1 = Colocar(new QLabel(QStringLiteral("Panel1"), cliente), "Panel1", 296, 112, 321, 385);
  Panel1->setAlignment(Qt::AlignCenter);
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);

  ProgressBar1 = Colocar(BarraProgreso(cliente), "ProgressBar1", 24, 8, 265, 25);
  ProgressBar2 = Colocar(BarraProgreso(cliente), "ProgressBar2", 624, 8, 297, 25);

  GroupBox1 =
      Colocar(new QGroupBox(QStringLiteral("Source:"), cliente), "GroupBox1", 24, 48, 249, 521);
  GroupBox1->setFont(FuenteGrupo());
  ListBox1 = Colocar(new TListBox(GroupBox1), "ListBox1", 8, 24, 233, 225);
  ListBox1->setFont(FuenteVentana());
  ListBox1->PonerItemHeight(13);
  ListBox2 = Colocar(new TListBox(GroupBox1), "ListBox2", 8, 312, 233, 193);
  ListBox2->PonerItemHeight(16);

  GroupBox2 =
      Colocar(new QGroupBox(QStringLiteral("Target:"), cliente), "GroupBox2", 640, 48, 257, 521);
  GroupBox2->setFont(FuenteGrupo());
  // In the "Target:" group ListBox4 is the upper list.
  ListBox4 = Colocar(new TListBox(GroupBox2), "ListBox4", 8, 24, 241, 225);
  ListBox4->PonerItemHeight(16);
  ListBox3 = Colocar(new TListBox(GroupBox2), "ListBox3", 8, 312, 241, 193);
  ListBox3->PonerItemHeight(16);

  OpenDialog1 = new TOpenDialog(this);
  OpenDialog1->setObjectName(QStringLiteral("OpenDialog1"));

  connect(ListBox1, &TListBox::OnClick, this, [this] { ListBox1Click(ListBox1); });
}

void TForm1::CrearVisor() {
  ventanaPanel = new VentanaPanel();
  ventanaPanel->resize(Panel1->size());
  // The container takes the window over and destroys it with the panel.
  QWidget* contenedor = QWidget::createWindowContainer(ventanaPanel, Panel1);
  contenedor->setObjectName(QStringLiteral("Panel1Ventana"));
  contenedor->setGeometry(0, 0, Panel1->width(), Panel1->height());
  ventanaPanel->AlMoverRaton = [this](QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    Panel1MouseMove(Panel1, Estado(e->buttons(), e->modifiers()), p.x(), p.y());
  };
  ventanaPanel->AlSoltarRaton = [this](QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    Panel1MouseUp(Panel1, Boton(e->button()), Estado(e->buttons(), e->modifiers()), p.x(), p.y());
  };
  // A repaint of the viewport is a frame, as the design's OnPaint is: it
  // also runs while a modal box is up (when idle passes do not), so a
  // dialog closing over the panel leaves no stale picture behind.
  ventanaPanel->AlExponer = [this] { FormPaint(Panel1); };
  ocio = new OcioAplicacion(this);
}

void TForm1::OrdenarTabulacion() {
  // The designed tab orders, siblings by siblings: Panel1, the progress bars,
  // GroupBox1 (ListBox1, ListBox2), GroupBox2 (ListBox3, ListBox4), Edit1.
  const QList<QWidget*> orden = {Panel1,   ProgressBar1, ProgressBar2, GroupBox1, ListBox1,
                                 ListBox2, GroupBox2,    ListBox3,     ListBox4,  Edit1};
  for (qsizetype i = 1; i < orden.size(); ++i) setTabOrder(orden[i - 1], orden[i]);
}

void TForm1::AjustarTamanoExterior() {
  const QMargins marco = windowHandle() != nullptr ? windowHandle()->frameMargins() : QMargins();
  if (tamanoExteriorAjustado || marco.isNull()) return;
  tamanoExteriorAjustado = true;
  resize(kAncho - marco.left() - marco.right(), kAlto - marco.top() - marco.bottom());
  move(kIzquierda, kArriba);
}

void TForm1::showEvent(QShowEvent* evento) {
  QMainWindow::showEvent(evento);
  AjustarTamanoExterior();
}

void TForm1::paintEvent(QPaintEvent* evento) {
  QMainWindow::paintEvent(evento);
  FormPaint(this);
}

void TForm1::closeEvent(QCloseEvent* evento) {
  FormClose(this);
  evento->accept();
}

// ------------------------------------------------------------------ handlers

void TForm1::FormCreate(QObject* Sender) {
  contextoD3D.CrearContexto();
  ocio->PonerOnIdle([this](QObject* s, bool& done) { MyIdleHandler(s, done); });
  contextoD3D.CrearDispositivo(ventanaPanel, true, &dispositivoD3D);
  // A device object without a Direct3D device could serve no call: keep
  // none, so that every later use sees at once that nothing can be drawn.
  if (dispositivoD3D != nullptr && dispositivoD3D->Dispositivo() == nullptr) {
    delete dispositivoD3D;
    dispositivoD3D = nullptr;
  }
  if (dispositivoD3D != nullptr) {
    // The aspect comes from the window's outer size now, 956 x 640 as built:
    // taken once, so a resize keeps it.
    const QRect exterior = frameGeometry();
    PrepararDispositivo(*dispositivoD3D, AspectoVentana(exterior.width(), exterior.height()));
  } else {
    dialogos->MostrarMensaje(QStringLiteral("VARIDAZIR"),
                             QStringLiteral("No se puede dibujar en el visor: no hay OpenGL 3.3 "
                                            "disponible. Los niveles se pueden abrir y listar, "
                                            "pero el visor quedará vacío."),
                             TipoMensaje::Error);
  }
  float factor = 0.1f;
  LeerFactorGiro(Edit1->text(), &factor);
  ratonD3D = new MouseD3D(factor, 6.0f);
}

void TForm1::MyIdleHandler(QObject* Sender, bool& Done) {
  Done = true;
  FormPaint(Sender);
}

void TForm1::FormPaint(QObject* Sender) {
  // Text that does not read as a number (an empty box while the user types)
  // keeps the factor that last did.
  float factor = 0.0f;
  if (ratonD3D != nullptr && LeerFactorGiro(Edit1->text(), &factor)) ratonD3D->PonerFactor(factor);
  DibujarVista();
}

void TForm1::Open1Click(QObject* Sender) {
  OpenDialog1->Title = QStringLiteral("Abrir Archivo de Tomb Raider 4");
  OpenDialog1->Filter = QStringLiteral("Tomb Raider 4 (*.tr4)");
  if (!dialogos->Ejecutar(*OpenDialog1)) return;
  const QString archivo = OpenDialog1->FileName;

  std::string motivo;
  if (!AbrirNivel(QFile::encodeName(archivo).constData(), &motivo)) {
    QString texto = QStringLiteral("No se pudo abrir el nivel %1").arg(archivo);
    texto += motivo.empty() ? QStringLiteral(".")
                            : QStringLiteral(": ") + QString::fromStdString(motivo);
    dialogos->MostrarMensaje(QStringLiteral("VARIDAZIR"), texto, TipoMensaje::Error);
    return;
  }

  const int cantidad = CantidadMeshes();
  GroupBox1->setTitle(QStringLiteral("Meshes: %1").arg(cantidad));
  ListBox1->Limpiar();
  for (int i = 0; i < cantidad; ++i) ListBox1->Agregar(QStringLiteral("Objeto:%1").arg(i));
  ListBox1->PonerItemIndex(-1);

  // Without a device there are no pages to build and nothing to say about
  // their depth; the list still works.
  if (dispositivoD3D == nullptr) return;
  const bool paginas32 = contextoD3D.SoportaTextura(D3DFMT_X8R8G8B8);
  // Modal: the pages are built once the user has closed it.
  dialogos->MostrarMensaje(QString(),
                           paginas32 ? QStringLiteral("Se renderiza con 32 bits")
                                     : QStringLiteral("Se renderiza con 16 bits"),
                           TipoMensaje::Aviso);
  ConstruirPaginasYMeshes(paginas32);
}

void TForm1::ListBox1Click(QObject* Sender) { ElegirMesh(ListBox1->ItemIndex()); }

void TForm1::Exit1Click(QObject* Sender) {
  LiberarRecursos();
  // With the device and the list gone the window has nothing left to show;
  // closing it ends the program (the close releases nothing twice).
  close();
}

void TForm1::FormClose(QObject* Sender) { LiberarRecursos(); }

void TForm1::Panel1MouseMove(QObject* Sender, TShiftState Shift, int X, int Y) {
  if (ratonD3D == nullptr || !(Shift & ssRight)) return;
  if (Shift & ssCtrl) {
    VistaActual.escala = ratonD3D->AcumularZoom(Y);
  } else if (Shift & ssShift) {
    VistaActual.panX = 20.0f * ratonD3D->AcumularPanX(X);
    VistaActual.panY = 20.0f * ratonD3D->AcumularPanY(Y);
  } else {
    VistaActual.rotY = ratonD3D->AcumularRotY(X);
    VistaActual.rotX = ratonD3D->AcumularRotX(Y);
  }
}

void TForm1::Panel1MouseUp(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (ratonD3D != nullptr) ratonD3D->Soltar();
}
