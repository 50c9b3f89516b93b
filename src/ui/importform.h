// The dialog behind File, "Import table ...": a table of a spreadsheet read
// through the same reader as tolvane-batch import. It shows the first rows
// as read, takes the columns, the period and the holes, says what the
// import will do, and on OK hands the points over; the main window fills
// the sheet with them as opening an input file does.
#pragma once

#include <QDialog>
#include <string>

#include "files/tableimport.h"

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

class TImportForm : public QDialog {
  Q_OBJECT
public:
  // determination: the option the sheet has; it can be changed here.
  TImportForm(QWidget* parent, bool determination);

  // What OK hands over: the read table, the options it was read with and
  // the title typed.
  const TTableImport& Result() const { return Read; }
  const TTableImportOptions& Options() const { return Chosen; }
  QString Title1() const;
  // The evaporation column chosen, as its header names it; "" for none.
  std::string PetColumnName() const;

  // Reads the file (as "Browse ..." does after the dialog).
  void LoadFile(const QString& path);

private:
  void BrowseButtonClick();
  void FillColumnBoxes();
  void OptionsChanged();
  TTableImportOptions GatherOptions() const;
  void ShowPreview();
  void ShowReport();

  QLineEdit* FileEdit;
  QPushButton* BrowseButton;
  QComboBox* OptionBox;
  QComboBox* DelimiterBox;
  QComboBox* DecimalBox;
  QComboBox* HeaderBox;
  QTableWidget* PreviewTable;
  QComboBox* TimeKindBox;
  QComboBox* TimeColumnBox;
  QComboBox* YearBox;
  QComboBox* MonthBox;
  QComboBox* DayBox;
  QComboBox* TimeUnitBox;
  QComboBox* RainBox;
  QComboBox* RunoffBox;
  QComboBox* PetBox;
  QLineEdit* FromEdit;
  QLineEdit* ToEdit;
  QLineEdit* MissingEdit;
  QSpinBox* MaxGapBox;
  QCheckBox* FirstOnlyBox;
  QLineEdit* TitleEdit;
  QPlainTextEdit* ReportMemo;
  QDialogButtonBox* Buttons;

  std::string Bytes;
  QString Path;
  std::vector<std::string> ColumnNames;  // of the preview, for the boxes
  TTableImportOptions Chosen;
  TTableImport Read;
  bool Filling = false;  // the boxes are being refilled: no re-read
};
