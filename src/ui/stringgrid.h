// The input grid: a table of texts over TSheetCells, with no header rows or
// columns, a cell editor open on the current cell while the grid has the
// focus, Tab between cells, and every paste caught, wherever it comes from,
// so that a block from a spreadsheet can be spread over the cells.
#pragma once

#include <QAbstractTableModel>
#include <QLineEdit>
#include <QTableView>

#include "sheet/sheetcells.h"

class TStringGrid;

class TSheetModel : public QAbstractTableModel {
  Q_OBJECT
public:
  explicit TSheetModel(TSheetCells& cells, QObject* parent = nullptr)
      : QAbstractTableModel(parent), Cells(cells) {}
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // After the cells, rows or columns changed underneath.
  void Reload();

private:
  TSheetCells& Cells;
};

// The editor of one cell. A paste is taken away from the line edit: a
// block of cells goes to the grid, which spreads it.
class TCellEditor : public QLineEdit {
  Q_OBJECT
public:
  TCellEditor(TStringGrid* grid, QWidget* parent, int col, int row);
  void PasteText(const QString& clip);
  void PasteFromClipboard();

protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

private:
  TStringGrid* Grid;
  int Col, Row;  // the cell edited
};

class TStringGrid : public QTableView {
  Q_OBJECT
public:
  explicit TStringGrid(QWidget* parent = nullptr);

  TSheetCells& Cells() { return SheetCells; }
  int RowCount() const { return SheetCells.RowCount(); }
  int ColCount() const { return SheetCells.ColCount(); }
  void SetColCount(int cols);
  QString Cell(int col, int row) const;
  void SetCell(int col, int row, const QString& text);
  // Shows what was changed in Cells() directly.
  void Reload();

  // A paste at the current cell, as its cell editor takes it: a single
  // value goes in at the caret, a block of cells is spread from the cell.
  void PasteText(const QString& clip);
  void PasteFromClipboard();

  // Called by the editor: the new text of a cell after a change in it. The
  // cell takes it at once; SetEditText follows from the event loop.
  void EditorTextChanged(int col, int row, const QString& text);

signals:
  // The text of a cell changed in its editor; a pasted block arrives whole.
  void SetEditText(int col, int row, const QString& text);

protected:
  void focusInEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  // Tab after the last cell and Shift+Tab before the first leave the grid
  // for the next or previous control instead of going round it.
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
  // A cell made current by the program opens no editor unless the grid has
  // the focus: the editor would take the focus from the control in use.
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
  using QTableView::edit;

private:
  void SpreadBlock(int col, int row, const QString& text);

  TSheetCells SheetCells;
  TSheetModel* Model;
  bool Spreading = false;  // a pasted block is being spread over the cells
  bool Leaving = false;    // Tab is taking the focus out of the grid
};
