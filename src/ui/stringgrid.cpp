#include "ui/stringgrid.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QStyledItemDelegate>

#include "sheet/pasteblock.h"

int TSheetModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : Cells.RowCount();
}

int TSheetModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : Cells.ColCount();
}

QVariant TSheetModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
  return QString::fromStdString(Cells.Cell(index.column(), index.row()));
}

bool TSheetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  Cells.SetCell(index.column(), index.row(), value.toString().toStdString());
  emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
  return true;
}

Qt::ItemFlags TSheetModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

void TSheetModel::Reload() {
  beginResetModel();
  endResetModel();
}

namespace {

// Every change of the editor's text reaches the cell at once (the grid
// reports each one), so the delegate has nothing left to write back.
class TCellDelegate : public QStyledItemDelegate {
public:
  TCellDelegate(TStringGrid* grid) : QStyledItemDelegate(grid), Grid(grid) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                        const QModelIndex& index) const override {
    return new TCellEditor(Grid, parent, index.column(), index.row());
  }

  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    auto* edit = static_cast<QLineEdit*>(editor);
    const QString text = index.data(Qt::EditRole).toString();
    if (edit->text() == text) return;
    const QSignalBlocker quiet(edit);
    edit->setText(text);
    edit->selectAll();
  }

  void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {}

private:
  TStringGrid* Grid;
};

}  // namespace

TCellEditor::TCellEditor(TStringGrid* grid, QWidget* parent, int col, int row)
    : QLineEdit(parent), Grid(grid), Col(col), Row(row) {
  setObjectName("StringGrid1Editor");
  setFrame(false);
  connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
    Grid->EditorTextChanged(Col, Row, text);
  });
}

void TCellEditor::PasteText(const QString& clip) {
  if (!IsPasteBlock(clip.toStdString())) {
    insert(clip);
    return;
  }
  // A block of cells takes the place of what the cell held, wherever the
  // caret stood: "0" and a block starting with 1 would make its first time
  // 01, and 12 with the caret in the middle 152. The grid spreads it and
  // closes this editor.
  Grid->EditorTextChanged(Col, Row, clip);
}

void TCellEditor::PasteFromClipboard() { PasteText(QApplication::clipboard()->text()); }

void TCellEditor::keyPressEvent(QKeyEvent* event) {
  if (event == QKeySequence::Paste) {
    PasteFromClipboard();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void TCellEditor::mouseReleaseEvent(QMouseEvent* event) {
  // The middle button pastes the X selection.
  if (event->button() == Qt::MiddleButton && QApplication::clipboard()->supportsSelection()) {
    PasteText(QApplication::clipboard()->text(QClipboard::Selection));
    return;
  }
  QLineEdit::mouseReleaseEvent(event);
}

void TCellEditor::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = createStandardContextMenu();
  for (QAction* action : menu->actions()) {
    if (action->objectName() == "edit-paste") {
      disconnect(action, &QAction::triggered, nullptr, nullptr);
      connect(action, &QAction::triggered, this, &TCellEditor::PasteFromClipboard);
    }
  }
  menu->exec(event->globalPos());
  delete menu;
}

TStringGrid::TStringGrid(QWidget* parent) : QTableView(parent), SheetCells(3, 15) {
  setObjectName("StringGrid1");
  Model = new TSheetModel(SheetCells, this);
  setModel(Model);
  setItemDelegate(new TCellDelegate(this));
  horizontalHeader()->hide();
  verticalHeader()->hide();
  horizontalHeader()->setDefaultSectionSize(64);
  verticalHeader()->setMinimumSectionSize(20);
  verticalHeader()->setDefaultSectionSize(20);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setEditTriggers(QAbstractItemView::AllEditTriggers);
  setTabKeyNavigation(true);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void TStringGrid::SetColCount(int cols) {
  SheetCells.SetColCount(cols);
  Reload();
}

QString TStringGrid::Cell(int col, int row) const {
  return QString::fromStdString(SheetCells.Cell(col, row));
}

void TStringGrid::SetCell(int col, int row, const QString& text) {
  SheetCells.SetCell(col, row, text.toStdString());
  const QModelIndex index = Model->index(row, col);
  if (index.isValid()) emit Model->dataChanged(index, index);
}

void TStringGrid::Reload() {
  const QModelIndex current = currentIndex();
  const int row = current.isValid() ? current.row() : 0;
  const int col = current.isValid() ? current.column() : 0;
  Model->Reload();
  const QModelIndex again = Model->index(std::min(row, RowCount() - 1), std::min(col, ColCount() - 1));
  if (again.isValid()) selectionModel()->setCurrentIndex(again, QItemSelectionModel::NoUpdate);
}

void TStringGrid::PasteText(const QString& clip) {
  if (auto* editor = qobject_cast<TCellEditor*>(indexWidget(currentIndex()))) {
    editor->PasteText(clip);
    return;
  }
  const QModelIndex current = currentIndex().isValid() ? currentIndex() : Model->index(0, 0);
  if (!current.isValid()) return;
  // Without an open editor the cell's text counts as selected: the paste replaces it.
  EditorTextChanged(current.column(), current.row(), clip);
}

void TStringGrid::PasteFromClipboard() { PasteText(QApplication::clipboard()->text()); }

void TStringGrid::EditorTextChanged(int col, int row, const QString& text) {
  if (QString::fromStdString(SheetCells.Cell(col, row)) == text) return;
  // The owner's handler may open a message box. Called from inside the cell
  // editor's key press or paste, the box would take the focus, which closes
  // and deletes the editor while it is still on the stack: the handler runs
  // from the event loop instead, once the editor is done.
  if (IsPasteBlock(text.toStdString())) {
    QMetaObject::invokeMethod(this, [this, col, row, text] { SpreadBlock(col, row, text); },
                              Qt::QueuedConnection);
    return;
  }
  SetCell(col, row, text);
  QMetaObject::invokeMethod(this, [this, col, row, text] { emit SetEditText(col, row, text); },
                            Qt::QueuedConnection);
}

void TStringGrid::SpreadBlock(int col, int row, const QString& text) {
  // The block is spread by the grid's owner; the editor would hold the
  // whole block, so it is closed first and opened again afterwards.
  Spreading = true;
  if (QWidget* editor = indexWidget(Model->index(row, col))) {
    closeEditor(editor, QAbstractItemDelegate::NoHint);
  }
  emit SetEditText(col, row, text);
  Spreading = false;
  if (hasFocus() && currentIndex().isValid()) edit(currentIndex());
}

void TStringGrid::focusInEvent(QFocusEvent* event) {
  QTableView::focusInEvent(event);
  // Like the grid the sheet was made with: a cell editor is open whenever
  // the grid has the focus.
  if (!Spreading && !Leaving && state() != QAbstractItemView::EditingState && RowCount() > 0 &&
      ColCount() > 0) {
    if (!currentIndex().isValid()) setCurrentIndex(Model->index(0, 0));
    edit(currentIndex());
  }
}

QModelIndex TStringGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  const QModelIndex current = currentIndex();
  if (current.isValid()) {
    const bool last = current.row() == RowCount() - 1 && current.column() == ColCount() - 1;
    const bool first = current.row() == 0 && current.column() == 0;
    if ((action == MoveNext && last) || (action == MovePrevious && first)) return {};
  }
  return QTableView::moveCursor(action, modifiers);
}

void TStringGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  const bool next = hint == QAbstractItemDelegate::EditNextItem;
  const bool leaves = (next || hint == QAbstractItemDelegate::EditPreviousItem) &&
                      !moveCursor(next ? MoveNext : MovePrevious, Qt::NoModifier).isValid();
  if (!leaves) {
    QTableView::closeEditor(editor, hint);
    return;
  }
  // The focus comes back to the grid without opening another editor, and
  // goes on from the grid.
  Leaving = true;
  QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
  Leaving = false;
  QAbstractScrollArea::focusNextPrevChild(next);
}

bool TStringGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
  const QWidget* focus = QApplication::focusWidget();
  if (trigger == CurrentChanged && focus != this && !isAncestorOf(focus)) return false;
  return QTableView::edit(index, trigger, event);
}

void TStringGrid::keyPressEvent(QKeyEvent* event) {
  if (event == QKeySequence::Paste) {
    PasteFromClipboard();
    return;
  }
  QTableView::keyPressEvent(event);
}
