#include "support/EscritorTr4.h"

#include <zlib.h>

#include <cstdio>
#include <random>

namespace escritor {
namespace {

class Salida {
 public:
  explicit Salida(std::vector<std::uint8_t>& destino) : b(destino) {}
  void U8(std::uint8_t v) { b.push_back(v); }
  void U16(std::uint16_t v) {
    U8(static_cast<std::uint8_t>(v));
    U8(static_cast<std::uint8_t>(v >> 8));
  }
  void I16(std::int16_t v) { U16(static_cast<std::uint16_t>(v)); }
  void U32(std::uint32_t v) {
    U16(static_cast<std::uint16_t>(v));
    U16(static_cast<std::uint16_t>(v >> 16));
  }
  void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
  void Bytes(const std::vector<std::uint8_t>& v) { b.insert(b.end(), v.begin(), v.end()); }
  void Bytes(const std::uint8_t* p, std::size_t n) { b.insert(b.end(), p, p + n); }
  std::size_t Tamano() const { return b.size(); }

 private:
  std::vector<std::uint8_t>& b;
};

void Seccion(Salida& s, const SeccionCruda& sec, std::size_t tamanoElemento, std::uint8_t semilla) {
  s.U32(sec.cantidad);
  if (!sec.bytes.empty())
    s.Bytes(sec.bytes);
  else
    s.Bytes(BytesPatron(std::size_t{sec.cantidad} * tamanoElemento, semilla));
}

std::size_t Positivos(std::int16_t n) { return n > 0 ? static_cast<std::size_t>(n) : 0; }

void EscribirSala(Salida& s, const Sala& r, std::uint8_t semilla) {
  s.I32(r.x);
  s.I32(r.z);
  s.I32(r.yInferior);
  s.I32(r.ySuperior);
  s.U32(r.palabras);
  s.I16(r.vertices);
  s.Bytes(BytesPatron(12 * Positivos(r.vertices), semilla));
  s.I16(r.rectangulos);
  s.Bytes(BytesPatron(10 * Positivos(r.rectangulos), semilla + 1));
  s.I16(r.triangulos);
  s.Bytes(BytesPatron(8 * Positivos(r.triangulos), semilla + 2));
  s.I16(r.sprites);
  s.Bytes(BytesPatron(4 * Positivos(r.sprites), semilla + 3));
  s.U16(r.portales);
  s.Bytes(BytesPatron(32 * std::size_t{r.portales}, semilla + 4));
  s.U16(r.sectoresZ);
  s.U16(r.sectoresX);
  s.Bytes(BytesPatron(8 * std::size_t{r.sectoresZ} * r.sectoresX, semilla + 5));
  s.U16(r.ambiente[0]);
  s.U16(r.ambiente[1]);
  s.U16(r.luces);
  s.Bytes(BytesPatron(46 * std::size_t{r.luces}, semilla + 6));
  s.U16(r.estaticos);
  s.Bytes(BytesPatron(20 * std::size_t{r.estaticos}, semilla + 7));
  s.U16(r.salaAlterna);
  s.U16(r.banderas);
  s.U8(r.esquemaAgua);
  s.U8(r.reverberacion);
  s.U8(r.grupoAlterno);
}

void EscribirMesh(Salida& s, const Mesh& m) {
  const std::size_t inicio = s.Tamano();
  for (std::int16_t c : m.centro) s.I16(c);
  s.U32(m.radio);
  s.I16(m.cantidadVertices.value_or(static_cast<std::int16_t>(m.vertices.size())));
  for (const Vertice& v : m.vertices) {
    s.I16(v.x);
    s.I16(v.y);
    s.I16(v.z);
  }
  if (m.luces.empty()) {
    s.I16(m.cantidadNormales.value_or(static_cast<std::int16_t>(m.normales.size())));
    for (const Vertice& n : m.normales) {
      s.I16(n.x);
      s.I16(n.y);
      s.I16(n.z);
    }
  } else {
    s.I16(m.cantidadNormales.value_or(static_cast<std::int16_t>(-std::ssize(m.luces))));
    for (std::int16_t l : m.luces) s.I16(l);
  }
  s.I16(m.cantidadRectangulos.value_or(static_cast<std::int16_t>(m.rectangulos.size())));
  for (const Rectangulo& r : m.rectangulos) {
    for (std::uint16_t v : r.vertices) s.U16(v);
    s.U16(r.textura);
    s.U16(r.efectos);
  }
  s.I16(m.cantidadTriangulos.value_or(static_cast<std::int16_t>(m.triangulos.size())));
  for (const Triangulo& t : m.triangulos) {
    for (std::uint16_t v : t.vertices) s.U16(v);
    s.U16(t.textura);
    s.U16(t.efectos);
  }
  if ((s.Tamano() - inicio) % 4 != 0 && !m.sinAlineacion) s.Bytes(m.relleno.data(), 2);
}

void EscribirTextura(Salida& s, const TexturaObjeto& t) {
  s.U16(t.atributo);
  s.U16(t.baldosa);
  s.U16(t.banderas);
  for (const auto& e : t.esquinas) s.Bytes(e, 4);
  s.U32(t.u);
  s.U32(t.v);
  s.U32(t.ancho);
  s.U32(t.alto);
}

void EscribirCola(Salida& s, const Nivel& n, Mapa* mapa) {
  auto marcar = [&](const char* nombre) {
    if (mapa) mapa->datos[nombre] = s.Tamano();
  };
  marcar("entidades");
  Seccion(s, n.entidades, 24, 26);
  marcar("objetosIA");
  Seccion(s, n.objetosIA, 24, 27);
  marcar("datosDemo");
  s.U16(static_cast<std::uint16_t>(n.datosDemo.cantidad));
  if (!n.datosDemo.bytes.empty())
    s.Bytes(n.datosDemo.bytes);
  else
    s.Bytes(BytesPatron(2 * std::size_t{n.datosDemo.cantidad & 0xFFFF}, 28));
  marcar("mapaSonido");
  for (std::uint16_t v : n.mapaSonido) s.U16(v);
  marcar("detallesSonido");
  Seccion(s, n.detallesSonido, 8, 30);
  marcar("indicesMuestra");
  Seccion(s, n.indicesMuestra, 4, 31);
  marcar("bytesFinales");
  s.Bytes(n.bytesFinales, 6);
}

void EscribirBloque(Salida& s, const std::vector<std::uint8_t>& contenido,
                    const AjusteBloque& ajuste) {
  std::vector<std::uint8_t> flujo;
  if (ajuste.flujo) {
    flujo = *ajuste.flujo;
  } else {
    uLongf tamano = compressBound(contenido.size());
    flujo.resize(tamano);
    compress2(flujo.data(), &tamano, contenido.data(), contenido.size(), ajuste.nivelCompresion);
    flujo.resize(tamano);
  }
  s.U32(ajuste.tamano.value_or(static_cast<std::uint32_t>(contenido.size())));
  s.U32(ajuste.comprimido.value_or(static_cast<std::uint32_t>(flujo.size())));
  s.Bytes(flujo);
}

}  // namespace

std::vector<std::uint8_t> BytesPatron(std::size_t n, std::uint8_t semilla) {
  std::vector<std::uint8_t> v(n);
  // A multiplier odd and not 1, so neighbouring bytes and neighbouring seeds
  // differ and a shifted copy would not match.
  for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<std::uint8_t>(semilla * 31 + i * 7 + 1);
  return v;
}

TexturaObjeto TexturaObjeto::Rectangulo(std::uint16_t pagina, std::uint8_t x0, std::uint8_t y0,
                                        std::uint8_t x1, std::uint8_t y1) {
  TexturaObjeto t;
  t.baldosa = pagina;
  const std::uint8_t xs[4] = {x0, x1, x1, x0};
  const std::uint8_t ys[4] = {y0, y0, y1, y1};
  for (int i = 0; i < 4; ++i) {
    t.esquinas[i][1] = xs[i];
    t.esquinas[i][3] = ys[i];
  }
  t.ancho = static_cast<std::uint32_t>((x1 - x0) << 8);
  t.alto = static_cast<std::uint32_t>((y1 - y0) << 8);
  return t;
}

std::vector<std::uint8_t> EscribirMeshes(const std::vector<Mesh>& meshes,
                                         std::vector<std::uint32_t>* offsets) {
  std::vector<std::uint8_t> bytes;
  Salida s(bytes);
  for (const Mesh& m : meshes) {
    if (offsets) offsets->push_back(static_cast<std::uint32_t>(s.Tamano()));
    EscribirMesh(s, m);
  }
  return bytes;
}

std::vector<std::uint8_t> EscribirDatosNivel(const Nivel& n, Mapa* mapa) {
  if (n.datosNivelCrudos) {
    if (mapa) mapa->datos["fin"] = n.datosNivelCrudos->size();
    return *n.datosNivelCrudos;
  }
  std::vector<std::uint8_t> bytes;
  Salida s(bytes);
  auto marcar = [&](const std::string& nombre) {
    if (mapa) mapa->datos[nombre] = s.Tamano();
  };
  s.U32(n.valorInicial);
  marcar("salas");
  s.U16(static_cast<std::uint16_t>(n.salas.size()));
  for (std::size_t i = 0; i < n.salas.size(); ++i) {
    marcar("sala" + std::to_string(i));
    EscribirSala(s, n.salas[i], static_cast<std::uint8_t>(100 + 8 * i));
  }
  marcar("datosSuelo");
  Seccion(s, n.datosSuelo, 2, 3);

  std::vector<std::uint32_t> offsets;
  std::vector<std::uint8_t> malla =
      n.bytesMeshes ? *n.bytesMeshes : EscribirMeshes(n.meshes, &offsets);
  if (malla.size() % 2 != 0) malla.push_back(0);
  marcar("palabrasMesh");
  s.U32(static_cast<std::uint32_t>(malla.size() / 2));
  s.Bytes(malla);
  marcar("punterosMesh");
  if (n.punterosMesh) {
    Seccion(s, *n.punterosMesh, 4, 5);
  } else {
    s.U32(static_cast<std::uint32_t>(offsets.size()));
    for (std::uint32_t o : offsets) s.U32(o);
  }
  const std::pair<const char*, const SeccionCruda*> medio[] = {
      {"animaciones", &n.animaciones}, {"cambiosEstado", &n.cambiosEstado},
      {"despachos", &n.despachos},     {"comandosAnimacion", &n.comandosAnimacion},
      {"arbolesMesh", &n.arbolesMesh}, {"cuadros", &n.cuadros},
      {"movibles", &n.movibles},       {"meshesEstaticos", &n.meshesEstaticos}};
  const std::size_t tamanosMedio[] = {40, 6, 8, 2, 4, 2, 18, 32};
  for (std::size_t i = 0; i < 8; ++i) {
    marcar(medio[i].first);
    Seccion(s, *medio[i].second, tamanosMedio[i], static_cast<std::uint8_t>(6 + i));
  }
  marcar("marcaSprites");
  s.Bytes(n.marcaSprites, 3);
  const std::pair<const char*, const SeccionCruda*> sprites[] = {
      {"texturasSprite", &n.texturasSprite},
      {"secuenciasSprite", &n.secuenciasSprite},
      {"camaras", &n.camaras},
      {"camarasVuelo", &n.camarasVuelo},
      {"fuentesSonido", &n.fuentesSonido},
      {"cajas", &n.cajas},
      {"solapes", &n.solapes}};
  const std::size_t tamanosSprites[] = {16, 8, 16, 40, 16, 8, 2};
  for (std::size_t i = 0; i < 7; ++i) {
    marcar(sprites[i].first);
    Seccion(s, *sprites[i].second, tamanosSprites[i], static_cast<std::uint8_t>(15 + i));
  }
  marcar("zonas");
  if (n.zonas)
    s.Bytes(*n.zonas);
  else
    s.Bytes(BytesPatron(20 * std::size_t{n.cajas.cantidad}, 22));
  marcar("texturasAnimadas");
  Seccion(s, n.texturasAnimadas, 2, 23);
  marcar("marcaObjetosTextura");
  s.Bytes(n.marcaObjetosTextura, 4);
  marcar("objetosTextura");
  s.U32(n.cantidadObjetosTextura.value_or(static_cast<std::uint32_t>(n.objetosTextura.size())));
  for (const TexturaObjeto& t : n.objetosTextura) EscribirTextura(s, t);
  if (n.colaCruda) {
    marcar("entidades");
    s.Bytes(*n.colaCruda);
  } else {
    EscribirCola(s, n, mapa);
  }
  marcar("fin");
  return bytes;
}

std::vector<std::uint8_t> EscribirNivel(const Nivel& n, Mapa* mapa) {
  std::vector<std::uint8_t> bytes;
  Salida s(bytes);
  s.U32(n.version);
  s.U16(n.paginasSalas);
  s.U16(n.paginasObjetos);
  s.U16(n.paginasRelieve);
  const std::vector<std::uint8_t> datos = EscribirDatosNivel(n, mapa);
  const std::vector<std::uint8_t>* contenidos[4] = {&n.paginas32, &n.paginas16, &n.bloque3, &datos};
  for (int i = 0; i < 4; ++i) {
    if (mapa) mapa->bloques[i] = s.Tamano();
    EscribirBloque(s, *contenidos[i], n.bloques[i]);
  }
  if (mapa) mapa->cantidadMuestras = s.Tamano();
  s.U32(n.cantidadMuestras);
  if (mapa) mapa->muestras = s.Tamano();
  s.Bytes(n.muestras);
  return bytes;
}

bool GuardarArchivo(const std::string& ruta, const std::vector<std::uint8_t>& bytes) {
  std::FILE* f = std::fopen(ruta.c_str(), "wb");
  if (f == nullptr) return false;
  const bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

void AgregarPaginaSolida(Nivel& n, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  const std::uint16_t texel16 =
      static_cast<std::uint16_t>(0x8000 | (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3));
  for (int i = 0; i < 256 * 256; ++i) {
    n.paginas32.insert(n.paginas32.end(), {b, g, r, 0xFF});
    n.paginas16.push_back(static_cast<std::uint8_t>(texel16));
    n.paginas16.push_back(static_cast<std::uint8_t>(texel16 >> 8));
  }
  const auto paginas = static_cast<std::uint16_t>(n.paginas32.size() >> 18);
  n.paginasSalas = paginas;
  n.paginasObjetos = 0;
}

Mesh MeshCubo(std::int16_t lado, std::uint16_t textura) {
  Mesh m;
  m.radio = static_cast<std::uint32_t>(lado) * 2;
  for (int i = 0; i < 8; ++i) {
    const auto x = static_cast<std::int16_t>(i & 1 ? lado : -lado);
    const auto y = static_cast<std::int16_t>(i & 2 ? lado : -lado);
    const auto z = static_cast<std::int16_t>(i & 4 ? lado : -lado);
    m.vertices.push_back({x, y, z});
    m.normales.push_back({static_cast<std::int16_t>(x > 0 ? 9459 : -9459),
                          static_cast<std::int16_t>(y > 0 ? 9459 : -9459),
                          static_cast<std::int16_t>(z > 0 ? 9459 : -9459)});
  }
  // Vertex i has x from bit 0, y from bit 1, z from bit 2.
  const std::uint16_t caras[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1},
                                     {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
  for (int c = 0; c < 6; ++c) {
    Rectangulo r;
    for (int k = 0; k < 4; ++k) r.vertices[k] = caras[c][k];
    r.textura = static_cast<std::uint16_t>(textura + c);
    m.rectangulos.push_back(r);
  }
  return m;
}

Nivel NivelPequeno() {
  Nivel n;
  AgregarPaginaSolida(n, 200, 40, 40);
  AgregarPaginaSolida(n, 40, 40, 200);
  n.bloque3 = BytesPatron(512, 3);
  n.valorInicial = 0x12345678;
  Sala sala;
  sala.x = 1024;
  sala.z = 2048;
  sala.yInferior = 0;
  sala.ySuperior = -1024;
  sala.palabras = 77;
  sala.vertices = 4;
  sala.rectangulos = 1;
  sala.triangulos = 2;
  sala.sprites = 1;
  sala.portales = 1;
  sala.sectoresZ = 2;
  sala.sectoresX = 3;
  sala.ambiente[0] = 0x1111;
  sala.ambiente[1] = 0x2222;
  sala.luces = 2;
  sala.estaticos = 1;
  sala.salaAlterna = 5;
  sala.banderas = 0x40;
  sala.esquemaAgua = 1;
  sala.reverberacion = 2;
  sala.grupoAlterno = 3;
  n.salas.push_back(sala);
  n.salas.push_back(Sala{});  // an empty room: no arrays at all, 0 x 0 sectors
  n.datosSuelo.cantidad = 5;

  n.meshes.push_back(MeshCubo(256, 0));
  Mesh iluminado = MeshCubo(128, 0);
  iluminado.centro[0] = 10;
  iluminado.centro[1] = -20;
  iluminado.centro[2] = 30;
  iluminado.normales.clear();
  iluminado.luces = {100, 200, 300, 400, 500, 600, 700, 800};
  n.meshes.push_back(iluminado);
  Mesh piramide;
  piramide.vertices = {
      {0, -300, 0}, {-200, 0, -200}, {200, 0, -200}, {200, 0, 200}, {-200, 0, 200}};
  piramide.rectangulos.push_back({{1, 2, 3, 4}, 6, 0});
  for (std::uint16_t i = 0; i < 4; ++i)
    piramide.triangulos.push_back(
        {{0, static_cast<std::uint16_t>(1 + i), static_cast<std::uint16_t>(1 + (i + 1) % 4)},
         7,
         0});
  n.meshes.push_back(piramide);

  n.animaciones.cantidad = 2;
  n.cambiosEstado.cantidad = 1;
  n.despachos.cantidad = 1;
  n.comandosAnimacion.cantidad = 3;
  n.arbolesMesh.cantidad = 4;
  n.cuadros.cantidad = 6;
  n.movibles.cantidad = 1;
  n.meshesEstaticos.cantidad = 1;
  n.texturasSprite.cantidad = 1;
  n.secuenciasSprite.cantidad = 1;
  n.camaras.cantidad = 1;
  n.camarasVuelo.cantidad = 1;
  n.fuentesSonido.cantidad = 1;
  n.cajas.cantidad = 2;
  n.solapes.cantidad = 3;
  n.texturasAnimadas.cantidad = 2;
  for (std::uint16_t i = 0; i < 6; ++i)
    n.objetosTextura.push_back(TexturaObjeto::Rectangulo(i % 2, 0, 0, 63, 63));
  n.objetosTextura.push_back(TexturaObjeto::Rectangulo(0, 64, 64, 127, 127));
  n.objetosTextura.push_back(TexturaObjeto::Rectangulo(1, 128, 0, 255, 127));
  n.entidades.cantidad = 2;
  n.objetosIA.cantidad = 1;
  n.datosDemo.cantidad = 3;
  for (std::size_t i = 0; i < n.mapaSonido.size(); ++i)
    n.mapaSonido[i] = static_cast<std::uint16_t>(i * 3);
  n.detallesSonido.cantidad = 2;
  n.indicesMuestra.cantidad = 2;
  n.cantidadMuestras = 2;
  n.muestras = BytesPatron(64, 99);
  return n;
}

Nivel NivelRealista(std::uint32_t semilla) {
  std::mt19937 azar(semilla);
  auto entre = [&](int a, int b) { return a + static_cast<int>(azar() % (b - a + 1)); };
  Nivel n;
  // Texture pages: smooth shapes with a little noise, which deflate about
  // 3.5:1 like painted level art (flat colour deflates far better, noise
  // not at all).
  constexpr int kPaginas = 10;
  for (int p = 0; p < kPaginas; ++p) {
    for (int y = 0; y < 256; ++y) {
      for (int x = 0; x < 256; ++x) {
        const int ruido = azar() % 6 == 0 ? static_cast<int>(azar() % 4) : 0;
        const auto r = static_cast<std::uint8_t>((x + p * 37) / 2 + ruido);
        const auto g = static_cast<std::uint8_t>((y * 3 + x / 16 * 11) / 4 + ruido);
        const auto b = static_cast<std::uint8_t>(((x / 32 + y / 32) % 2) * 90 + ruido);
        n.paginas32.insert(n.paginas32.end(), {b, g, r, 0xFF});
        const std::uint16_t t =
            static_cast<std::uint16_t>(0x8000 | (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3));
        n.paginas16.push_back(static_cast<std::uint8_t>(t));
        n.paginas16.push_back(static_cast<std::uint8_t>(t >> 8));
      }
    }
  }
  n.paginasSalas = 5;
  n.paginasObjetos = 3;
  n.bloque3.resize(2 * 0x40000);
  for (std::size_t i = 0; i < n.bloque3.size(); ++i)
    n.bloque3[i] = static_cast<std::uint8_t>(128 + (azar() % 5) - 2);

  for (int i = 0; i < 24; ++i) {
    Sala s;
    s.x = i * 4096;
    s.vertices = static_cast<std::int16_t>(entre(200, 600));
    s.rectangulos = static_cast<std::int16_t>(entre(150, 500));
    s.triangulos = static_cast<std::int16_t>(entre(10, 60));
    s.portales = static_cast<std::uint16_t>(entre(1, 4));
    s.sectoresZ = static_cast<std::uint16_t>(entre(5, 20));
    s.sectoresX = static_cast<std::uint16_t>(entre(5, 20));
    s.luces = static_cast<std::uint16_t>(entre(0, 6));
    s.estaticos = static_cast<std::uint16_t>(entre(0, 10));
    n.salas.push_back(s);
  }
  n.datosSuelo.cantidad = 6000;

  for (int i = 0; i < 400; ++i) {
    Mesh m;
    m.centro[0] = static_cast<std::int16_t>(entre(-500, 500));
    m.centro[1] = static_cast<std::int16_t>(entre(-500, 500));
    m.centro[2] = static_cast<std::int16_t>(entre(-500, 500));
    m.radio = static_cast<std::uint32_t>(entre(100, 2000));
    const int v = entre(8, 90);
    for (int k = 0; k < v; ++k) {
      m.vertices.push_back({static_cast<std::int16_t>(entre(-1024, 1024)),
                            static_cast<std::int16_t>(entre(-1024, 1024)),
                            static_cast<std::int16_t>(entre(-1024, 1024))});
      if (i % 3 == 0)
        m.luces.push_back(static_cast<std::int16_t>(entre(0, 8191)));
      else
        m.normales.push_back({static_cast<std::int16_t>(entre(-16384, 16384)),
                              static_cast<std::int16_t>(entre(-16384, 16384)),
                              static_cast<std::int16_t>(entre(-16384, 16384))});
    }
    auto indice = [&] { return static_cast<std::uint16_t>(entre(0, v - 1)); };
    const int r = entre(v / 2, v);
    for (int k = 0; k < r; ++k)
      m.rectangulos.push_back({{indice(), indice(), indice(), indice()},
                               static_cast<std::uint16_t>(entre(0, 1499)),
                               0});
    const int t = entre(0, v / 2);
    for (int k = 0; k < t; ++k)
      m.triangulos.push_back(
          {{indice(), indice(), indice()}, static_cast<std::uint16_t>(entre(0, 1499)), 0});
    n.meshes.push_back(std::move(m));
  }
  n.animaciones.cantidad = 1500;
  n.cambiosEstado.cantidad = 800;
  n.despachos.cantidad = 900;
  n.comandosAnimacion.cantidad = 3000;
  n.arbolesMesh.cantidad = 1600;
  n.cuadros.cantidad = 90000;
  n.movibles.cantidad = 120;
  n.meshesEstaticos.cantidad = 60;
  n.texturasSprite.cantidad = 80;
  n.secuenciasSprite.cantidad = 10;
  n.camaras.cantidad = 40;
  n.camarasVuelo.cantidad = 20;
  n.fuentesSonido.cantidad = 30;
  n.cajas.cantidad = 900;
  n.solapes.cantidad = 4000;
  n.texturasAnimadas.cantidad = 50;
  for (int i = 0; i < 1500; ++i) {
    const auto x = static_cast<std::uint8_t>(entre(0, 191));
    const auto y = static_cast<std::uint8_t>(entre(0, 191));
    n.objetosTextura.push_back(TexturaObjeto::Rectangulo(
        static_cast<std::uint16_t>(entre(0, kPaginas - 1)), x, y,
        static_cast<std::uint8_t>(x + entre(8, 63)), static_cast<std::uint8_t>(y + entre(8, 63))));
  }
  n.entidades.cantidad = 200;
  n.objetosIA.cantidad = 10;
  n.detallesSonido.cantidad = 300;
  n.indicesMuestra.cantidad = 300;
  // Sound samples are stored as they are (not a chunk): bytes that neither
  // this reader nor zlib look at, sized like a real level's.
  n.cantidadMuestras = 300;
  n.muestras.resize(1500000);
  for (auto& b : n.muestras) b = static_cast<std::uint8_t>(azar());
  return n;
}

}  // namespace escritor
