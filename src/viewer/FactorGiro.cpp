#include "viewer/FactorGiro.h"

#include <QLocale>
#include <QString>
#include <cmath>

namespace {
bool Convertir(QLocale local, const QString& texto, float* resultado) {
  // Without this an English locale would read "0,1" as 01 = 1, taking the
  // comma for a thousands separator.
  local.setNumberOptions(local.numberOptions() | QLocale::RejectGroupSeparator);
  bool ok = false;
  const float valor = local.toFloat(texto, &ok);
  if (!ok || !std::isfinite(valor)) return false;
  *resultado = valor;
  return true;
}
}  // namespace

bool LeerFactorGiro(const QString& texto, float* factor) {
  const QString limpio = texto.trimmed();
  if (limpio.isEmpty()) return false;
  if (Convertir(QLocale(), limpio, factor)) return true;
  QString conPunto = limpio;
  conPunto.replace(QLatin1Char(','), QLatin1Char('.'));
  return Convertir(QLocale::c(), conPunto, factor);
}
