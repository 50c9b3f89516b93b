// Blocks pasted into the input grid from a spreadsheet.
#include "sheet/pasteblock.h"
#include "ui/rainform.h"

bool TRainForm::HandlePasteMultiCell(int startCol, const QString& text, int startRow) {
  auto& dm = *DMQuorell;
  const bool read = ::HandlePasteMultiCell(StringGrid1->Cells(), startCol, text.toStdString(),
                                           startRow, dm, FSheetRows, StartSeparator);
  // The rows and the number of data follow the block even when a cell
  // cannot be read.
  NrOfDataEdit->setText(QString::number(StringGrid1->RowCount()));
  StringGrid1->Reload();
  if (!read) return false;
  ApplyLayout(dm.IsAnalysis);
  SelectOption(dm.IsAnalysis ? 0 : 1);
  FSheetRows = dm.NrOfData;
  return true;
}
