// A list box with VCL's behaviour where the window relies on it: ItemIndex is
// the selected item (-1 for none), items have a fixed height, and OnClick
// fires when the user changes the selection with the mouse or the keyboard,
// never when code fills, clears or selects.
#pragma once

#include <QListWidget>

class TListBox : public QListWidget {
  Q_OBJECT
 public:
  explicit TListBox(QWidget* padre = nullptr);

  int ItemIndex() const;
  // -1 clears the selection; code selecting an item does not fire OnClick.
  void PonerItemIndex(int indice);
  int ItemHeight() const { return alturaItem; }
  void PonerItemHeight(int altura);

  // Items->Clear() and Items->Add(): OnClick stays quiet.
  void Limpiar();
  void Agregar(const QString& texto);

 signals:
  void OnClick();

 private:
  int alturaItem = 16;
  bool porCodigo = false;
};
