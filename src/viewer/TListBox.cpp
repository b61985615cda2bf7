#include "viewer/TListBox.h"

#include <QStyledItemDelegate>

namespace {
// Every item as tall as the list box says, whatever its font would ask for.
class DelegadoAltura : public QStyledItemDelegate {
 public:
  DelegadoAltura(const TListBox* duena, QObject* padre)
      : QStyledItemDelegate(padre), lista(duena) {}
  QSize sizeHint(const QStyleOptionViewItem& opcion, const QModelIndex& indice) const override {
    return {QStyledItemDelegate::sizeHint(opcion, indice).width(), lista->ItemHeight()};
  }

 private:
  const TListBox* lista;
};

// Sets a flag for the life of a scope; code that changes items or selection
// runs under it so that the change is not taken for the user's.
class PorCodigo {
 public:
  explicit PorCodigo(bool* marca) : bandera(marca), antes(*marca) { *marca = true; }
  ~PorCodigo() { *bandera = antes; }

 private:
  bool* bandera;
  bool antes;
};
}  // namespace

TListBox::TListBox(QWidget* padre) : QListWidget(padre) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setUniformItemSizes(true);
  setItemDelegate(new DelegadoAltura(this, this));
  connect(this, &QListWidget::itemSelectionChanged, this, [this] {
    if (!porCodigo) emit OnClick();
  });
}

int TListBox::ItemIndex() const {
  const QList<QListWidgetItem*> elegidos = selectedItems();
  return elegidos.isEmpty() ? -1 : row(elegidos.front());
}

void TListBox::PonerItemIndex(int indice) {
  PorCodigo guarda(&porCodigo);
  if (indice < 0 || indice >= count()) {
    clearSelection();
    setCurrentItem(nullptr);
  } else {
    setCurrentRow(indice);
  }
}

void TListBox::PonerItemHeight(int altura) {
  alturaItem = altura;
  doItemsLayout();
}

void TListBox::Limpiar() {
  PorCodigo guarda(&porCodigo);
  clear();
}

void TListBox::Agregar(const QString& texto) {
  PorCodigo guarda(&porCodigo);
  addItem(texto);
}
