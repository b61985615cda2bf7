#include <gtest/gtest.h>

#include <QLocale>
#include <QString>

#include "viewer/FactorGiro.h"

namespace {
// Sets the default locale, as the user's regional settings would, for the
// life of a test.
class ConLocale {
 public:
  explicit ConLocale(const char* nombre) : anterior(QLocale()) {
    QLocale::setDefault(QLocale(QString::fromLatin1(nombre)));
  }
  ~ConLocale() { QLocale::setDefault(anterior); }

 private:
  QLocale anterior;
};

struct Caso {
  const char* texto;
  bool convierte;
  float valor;
};

const char* kLocales[] = {"C", "en_US", "es_ES", "de_DE", "fr_FR"};

// The same answers in every locale: both separators are accepted everywhere.
const Caso kCasos[] = {
    {"0,1", true, 0.1f},   {"0.1", true, 0.1f}, {" 0,25 ", true, 0.25f}, {"2", true, 2.0f},
    {"-0,5", true, -0.5f}, {"0", true, 0.0f},   {"", false, 0},          {"   ", false, 0},
    {"abc", false, 0},     {"0,1x", false, 0},  {"nan", false, 0},       {"inf", false, 0},
    {"1e40", false, 0},  // beyond a float: infinite
};
}  // namespace

TEST(FactorGiro, ReadsTheSameInEveryLocale) {
  for (const char* locale : kLocales) {
    ConLocale con(locale);
    for (const Caso& c : kCasos) {
      float factor = 123.0f;
      EXPECT_EQ(LeerFactorGiro(QString::fromLatin1(c.texto), &factor), c.convierte)
          << locale << " '" << c.texto << "'";
      EXPECT_FLOAT_EQ(factor, c.convierte ? c.valor : 123.0f) << locale << " '" << c.texto << "'";
    }
  }
}

TEST(FactorGiro, AcceptsTheUsersOwnFormatting) {
  ConLocale con("de_DE");
  float factor = 0;
  ASSERT_TRUE(LeerFactorGiro(QLocale().toString(0.75, 'f', 2), &factor));
  EXPECT_FLOAT_EQ(factor, 0.75f);
}
