// The container: header, four zlib chunks, sample count and sample block.

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <memory>
#include <string>
#include <utility>

#include "level/trLector.h"
#include "level/trNivel.h"

namespace {

// Deflate cannot expand its input by more than about 1032:1 (a 258-byte match
// costs at least two bits), so a stored inflated size above 1032 x C cannot
// come from a real stream. The absolute cap keeps a hostile header from
// asking for more memory than any level needs.
constexpr std::uint64_t kExpansionMaximaDeflate = 1032;
constexpr std::uint64_t kTamanoMaximoBloque = std::uint64_t{1} << 30;

void Motivo(std::string* motivo, std::string texto) {
  if (motivo != nullptr) *motivo = std::move(texto);
}

// Reads chunk `numero` at the reader's position: its two size fields, then
// its zlib stream inflated straight into `destino`. On success `tamano` holds
// the number of bytes produced and the reader stands after the stream.
bool LeerBloque(trLector& lector, int numero, std::uint32_t& tamano, std::uint32_t& comprimido,
                std::vector<std::uint8_t>& destino, std::string* motivo) {
  const std::string bloque = "bloque " + std::to_string(numero) + ": ";
  const std::uint32_t inicio = lector.posicion;
  if (!lector.Leer(&tamano, 4) || !lector.Leer(&comprimido, 4)) {
    Motivo(motivo, bloque + "el archivo termina en la cabecera del bloque, en el offset " +
                       std::to_string(inicio));
    return false;
  }
  if (comprimido > lector.Restante()) {
    Motivo(motivo, bloque + "los " + std::to_string(comprimido) +
                       " bytes comprimidos pasan del final del archivo en el offset " +
                       std::to_string(lector.posicion));
    return false;
  }
  if (tamano > kTamanoMaximoBloque || tamano > kExpansionMaximaDeflate * comprimido) {
    Motivo(motivo, bloque + "el tamaño inflado declarado (" + std::to_string(tamano) +
                       " bytes) es imposible para " + std::to_string(comprimido) +
                       " bytes comprimidos, en el offset " + std::to_string(inicio));
    return false;
  }
  destino.resize(tamano);
  uLongf producido = tamano;
  const int resultado =
      uncompress(destino.data(), &producido, lector.base + lector.posicion, comprimido);
  if (resultado != Z_OK) {
    // Z_BUF_ERROR: the stream goes on past U bytes; anything else is damage.
    const char* que = resultado == Z_BUF_ERROR   ? "los datos inflados pasan del tamaño declarado"
                      : resultado == Z_MEM_ERROR ? "no hay memoria para inflar"
                                                 : "datos zlib corruptos";
    Motivo(motivo, bloque + que + " (stream en el offset " + std::to_string(lector.posicion) + ")");
    return false;
  }
  // A stream that ends early is accepted: the size field then says what it
  // produced. Shrinking a vector keeps its storage, so this costs nothing.
  destino.resize(producido);
  tamano = static_cast<std::uint32_t>(producido);
  lector.posicion += comprimido;
  return true;
}

}  // namespace

int LeerNivelMemoria(const std::uint8_t* datos, std::size_t tamano, trNivel* nivel,
                     std::string* motivo) {
  if (tamano > UINT32_MAX) {
    Motivo(motivo, "el archivo es demasiado grande para ser un nivel");
    return 0;
  }
  static const std::uint8_t kVacio = 0;
  trLector lector;
  lector.Iniciar(static_cast<std::uint32_t>(tamano), datos != nullptr ? datos : &kVacio);

  // Read into a fresh record so a refused level leaves the caller's as it was.
  trNivel nuevo;
  if (!lector.Leer(&nuevo.version, 4) || !lector.Leer(&nuevo.cantidadPaginasSalas, 2) ||
      !lector.Leer(&nuevo.cantidadPaginasObjetos, 2) ||
      !lector.Leer(&nuevo.cantidadPaginasRelieve, 2)) {
    Motivo(motivo, "cabecera: el archivo termina en el offset " + std::to_string(tamano) +
                       ", antes de los 10 bytes de la cabecera");
    return 0;
  }
  if (!LeerBloque(lector, 1, nuevo.tamanoBloque1, nuevo.comprimidoBloque1, nuevo.bloque1, motivo) ||
      !LeerBloque(lector, 2, nuevo.tamanoBloque2, nuevo.comprimidoBloque2, nuevo.bloque2, motivo) ||
      !LeerBloque(lector, 3, nuevo.tamanoBloque3, nuevo.comprimidoBloque3, nuevo.bloque3, motivo) ||
      !LeerBloque(lector, 4, nuevo.tamanoBloque4, nuevo.comprimidoBloque4, nuevo.bloque4, motivo))
    return 0;
  if (!lector.Leer(&nuevo.cantidadMuestras, 4)) {
    Motivo(motivo, "muestras: el archivo termina en el offset " + std::to_string(tamano) +
                       ", antes de la cantidad de muestras");
    return 0;
  }
  // The sample block is opaque: whatever follows the count, even nothing.
  nuevo.muestras.assign(lector.base + lector.posicion, lector.base + lector.tamano);

  if (!LeerDatosNivel(&nuevo, motivo)) return 0;
  *nivel = std::move(nuevo);
  return 1;
}

namespace {

// Reads the whole of `fd` (`longitud` bytes) with read(2) into a buffer of
// our own: the way in when the file cannot be mapped.
int LeerCopiando(int fd, std::size_t longitud, trNivel* nivel, std::string* motivo) {
  // Not value-initialised: every byte is overwritten by the reads.
  std::unique_ptr<std::uint8_t[]> datos(new std::uint8_t[longitud]);
  std::size_t leidos = 0;
  while (leidos < longitud) {
    const ssize_t n = ::read(fd, datos.get() + leidos, longitud - leidos);
    if (n <= 0) {
      Motivo(motivo, "no se puede leer el archivo");
      return 0;
    }
    leidos += static_cast<std::size_t>(n);
  }
  return LeerNivelMemoria(datos.get(), longitud, nivel, motivo);
}

}  // namespace

int LeerNivel(const char* archivo, trNivel* nivel, std::string* motivo) {
  const int fd = archivo != nullptr ? ::open(archivo, O_RDONLY | O_CLOEXEC) : -1;
  if (fd < 0) {
    Motivo(motivo, "no se puede abrir el archivo");
    return 0;
  }
  struct stat info;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    Motivo(motivo, "no se puede leer el archivo");
    return 0;
  }
  const auto longitud = static_cast<std::size_t>(info.st_size);
  int resultado = 0;
  // Mapped rather than copied into a buffer of our own: the pages come
  // straight from the page cache, with no copy and no fresh memory to fault
  // in, which on a few-MB level is a sizeable share of the open time. The
  // parse copies what the record keeps, so the mapping ends with this call.
  void* mapa = longitud == 0
                   ? MAP_FAILED
                   : ::mmap(nullptr, longitud, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
  if (mapa != MAP_FAILED) {
    resultado = LeerNivelMemoria(static_cast<const std::uint8_t*>(mapa), longitud, nivel, motivo);
    ::munmap(mapa, longitud);
  } else {
    resultado = LeerCopiando(fd, longitud, nivel, motivo);
  }
  ::close(fd);
  return resultado;
}
