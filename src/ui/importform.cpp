#include "ui/importform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

#include "base/numformat.h"
#include "files/filepaths.h"
#include "sheet/fieldchecks.h"
#include "ui/prompts.h"

namespace {

constexpr int PreviewRows = 12;

// The texts of the option box are those of the main window's.
const char* const OptionTexts[] = {
    "Determine model from rainfall and runoff data and reconstruct runoff",
    "Predict runoff from rainfall with a given model"};

enum TTimeKind { ByRow, TimeColumn, DateColumn, YearMonthDay };

QString JoinCodes(const std::vector<std::string>& codes) {
  QStringList list;
  for (const auto& code : codes) list << QString::fromStdString(code);
  return list.join(", ");
}

QComboBox* MakeBox(QWidget* parent, const char* name, const QString& accessible,
                   const QStringList& items = {}) {
  auto* box = new QComboBox(parent);
  box->setObjectName(name);
  box->setAccessibleName(accessible);
  box->addItems(items);
  return box;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, const QString& accessible) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setAccessibleName(accessible);
  return edit;
}

}  // namespace

TImportForm::TImportForm(QWidget* parent, bool determination) : QDialog(parent) {
  setObjectName("ImportForm");
  setWindowTitle("Import table");
  auto* grid = new QGridLayout(this);
  int row = 0;
  auto label = [&](const QString& text, QWidget* buddy, int column = 0) {
    auto* l = new QLabel(text, this);
    l->setBuddy(buddy);
    grid->addWidget(l, row, column);
  };

  FileEdit = MakeEdit(this, "FileEdit", "Table file");
  FileEdit->setReadOnly(true);
  BrowseButton = new QPushButton("&Browse ...", this);
  BrowseButton->setObjectName("BrowseButton");
  label("&File", FileEdit);
  grid->addWidget(FileEdit, row, 1, 1, 4);
  grid->addWidget(BrowseButton, row++, 5);

  OptionBox = MakeBox(this, "OptionBox", "Option", {OptionTexts[0], OptionTexts[1]});
  OptionBox->setCurrentIndex(determination ? 0 : 1);
  label("Opt&ion", OptionBox);
  grid->addWidget(OptionBox, row++, 1, 1, 5);

  DelimiterBox = MakeBox(this, "DelimiterBox", "Delimiter", {"Auto", "Comma", "Semicolon", "Tab"});
  DecimalBox = MakeBox(this, "DecimalBox", "Decimal separator", {"Auto", "Point", "Comma"});
  HeaderBox = MakeBox(this, "HeaderBox", "Header row", {"Auto", "Yes", "No"});
  label("&Delimiter", DelimiterBox);
  grid->addWidget(DelimiterBox, row, 1);
  label("De&cimal", DecimalBox, 2);
  grid->addWidget(DecimalBox, row, 3);
  label("&Header", HeaderBox, 4);
  grid->addWidget(HeaderBox, row++, 5);

  PreviewTable = new QTableWidget(this);
  PreviewTable->setObjectName("PreviewTable");
  PreviewTable->setAccessibleName("First rows as read");
  PreviewTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  PreviewTable->setMinimumHeight(180);
  grid->addWidget(PreviewTable, row++, 0, 1, 6);

  TimeKindBox = MakeBox(this, "TimeKindBox", "Times from",
                        {"1, 2, 3 ... by row", "a column of times", "a column of dates",
                         "year, month, day columns"});
  TimeColumnBox = MakeBox(this, "TimeColumnBox", "Time or date column");
  TimeUnitBox = MakeBox(this, "TimeUnitBox", "Time unit", {"day", "hour"});
  label("&Times from", TimeKindBox);
  grid->addWidget(TimeKindBox, row, 1);
  grid->addWidget(TimeColumnBox, row, 2, 1, 2);
  label("&Unit", TimeUnitBox, 4);
  grid->addWidget(TimeUnitBox, row++, 5);
  YearBox = MakeBox(this, "YearBox", "Year column");
  MonthBox = MakeBox(this, "MonthBox", "Month column");
  DayBox = MakeBox(this, "DayBox", "Day column");
  label("&Year, month, day", YearBox);
  grid->addWidget(YearBox, row, 1);
  grid->addWidget(MonthBox, row, 2, 1, 2);
  grid->addWidget(DayBox, row++, 4, 1, 2);

  RainBox = MakeBox(this, "RainBox", "Rain column");
  RunoffBox = MakeBox(this, "RunoffBox", "Runoff column");
  label("&Rain", RainBox);
  grid->addWidget(RainBox, row, 1, 1, 2);
  label("Ru&noff", RunoffBox, 3);
  grid->addWidget(RunoffBox, row++, 4, 1, 2);
  PetBox = MakeBox(this, "PetBox", "Potential evaporation column");
  label("&Evaporation", PetBox);
  grid->addWidget(PetBox, row, 1, 1, 2);
  auto* petNote = new QLabel("(PET, for the calibration window's escape)", this);
  grid->addWidget(petNote, row++, 3, 1, 3);

  FromEdit = MakeEdit(this, "FromEdit", "Period from");
  ToEdit = MakeEdit(this, "ToEdit", "Period to");
  label("Period fro&m", FromEdit);
  grid->addWidget(FromEdit, row, 1, 1, 2);
  label("t&o", ToEdit, 3);
  grid->addWidget(ToEdit, row++, 4, 1, 2);

  MissingEdit = MakeEdit(this, "MissingEdit", "Missing-value codes");
  MissingEdit->setText(JoinCodes(DefaultMissingCodes()));
  MaxGapBox = new QSpinBox(this);
  MaxGapBox->setObjectName("MaxGapBox");
  MaxGapBox->setAccessibleName("Longest gap interpolated");
  MaxGapBox->setRange(0, 1000);
  MaxGapBox->setValue(TTableImportOptions{}.MaxGap);
  label("Missing code&s", MissingEdit);
  grid->addWidget(MissingEdit, row, 1, 1, 2);
  label("Longest &gap", MaxGapBox, 3);
  grid->addWidget(MaxGapBox, row++, 4, 1, 2);

  FirstOnlyBox = new QCheckBox(this);
  FirstOnlyBox->setObjectName("FirstOnlyBox");
  FirstOnlyBox->setAccessibleName("Take the first points only");
  FirstOnlyBox->setText(QString("Take only the first %1 points").arg(SheetCapacity(determination)));
  FirstOnlyBox->setEnabled(false);
  grid->addWidget(FirstOnlyBox, row++, 1, 1, 5);

  TitleEdit = MakeEdit(this, "TitleEdit", "Title1");
  label("Tit&le1", TitleEdit);
  grid->addWidget(TitleEdit, row++, 1, 1, 5);

  ReportMemo = new QPlainTextEdit(this);
  ReportMemo->setObjectName("ReportMemo");
  ReportMemo->setAccessibleName("What the import will do");
  ReportMemo->setReadOnly(true);
  ReportMemo->setMinimumHeight(110);
  grid->addWidget(ReportMemo, row++, 0, 1, 6);

  Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  Buttons->setObjectName("ImportButtons");
  grid->addWidget(Buttons, row++, 0, 1, 6);
  connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  Buttons->button(QDialogButtonBox::Ok)->setEnabled(false);

  connect(BrowseButton, &QPushButton::clicked, this, &TImportForm::BrowseButtonClick);
  for (QComboBox* box : {OptionBox, DelimiterBox, DecimalBox, HeaderBox, TimeKindBox, TimeColumnBox,
                         TimeUnitBox, YearBox, MonthBox, DayBox, RainBox, RunoffBox, PetBox})
    connect(box, &QComboBox::currentIndexChanged, this, &TImportForm::OptionsChanged);
  for (QLineEdit* edit : {FromEdit, ToEdit, MissingEdit})
    connect(edit, &QLineEdit::textChanged, this, &TImportForm::OptionsChanged);
  connect(MaxGapBox, &QSpinBox::valueChanged, this, &TImportForm::OptionsChanged);
  connect(FirstOnlyBox, &QCheckBox::toggled, this, &TImportForm::OptionsChanged);
  resize(640, 660);
  OptionsChanged();
}

QString TImportForm::Title1() const { return TitleEdit->text(); }

std::string TImportForm::PetColumnName() const {
  const int index = PetBox->currentIndex();
  return index > 0 && PetBox->isEnabled() ? PetBox->currentText().toStdString() : std::string();
}

void TImportForm::BrowseButtonClick() {
  TFileDialogSpec spec;
  spec.Name = "ImportTableDialog";
  spec.Filter = "Tables (*.csv *.txt *.tsv *.dat);;All files (*)|*.csv";
  spec.InitialDir = Path.isEmpty() ? QString() : QFileInfo(Path).absolutePath();
  const QString path = Prompts().ChooseFile(spec);
  if (!path.isEmpty()) LoadFile(path);
}

void TImportForm::LoadFile(const QString& path) {
  const auto bytes = ReadWholeFile(path.toStdString());
  if (!bytes) {
    Prompts().ShowMessage("The file \"" + path + "\" could not be opened.");
    return;
  }
  Bytes = *bytes;
  Path = path;
  FileEdit->setText(path);
  if (TitleEdit->text().isEmpty()) TitleEdit->setText(QFileInfo(path).completeBaseName());
  ShowPreview();
  FillColumnBoxes();
  OptionsChanged();
}

void TImportForm::ShowPreview() {
  // Made as the file is read, before the columns are chosen: the first
  // cell tells a header from data, so that a table without one shows its
  // first row as a row and its columns by number.
  TTableImportOptions options;
  options.Delimiter = static_cast<TTableDelimiter>(DelimiterBox->currentIndex());
  options.Decimal = static_cast<TTableDecimal>(DecimalBox->currentIndex());
  options.Header = static_cast<TTableHeader>(HeaderBox->currentIndex());
  options.RainColumn.Number = 1;
  const TTablePreview preview = ::PreviewTable(Bytes, options, PreviewRows);
  ColumnNames.clear();
  std::size_t columns = preview.Names.size();
  for (const auto& cells : preview.Cells) columns = std::max(columns, cells.size());
  for (std::size_t c = 0; c < columns; ++c) {
    const std::string name = c < preview.Names.size() && !preview.Names[c].empty()
                                 ? preview.Names[c]
                                 : "column " + std::to_string(c + 1);
    ColumnNames.push_back(name);
  }
  PreviewTable->clear();
  PreviewTable->setColumnCount(static_cast<int>(columns));
  PreviewTable->setRowCount(static_cast<int>(preview.Cells.size()));
  QStringList headers, lines;
  for (const auto& name : ColumnNames) headers << QString::fromStdString(name);
  PreviewTable->setHorizontalHeaderLabels(headers);
  for (std::size_t r = 0; r < preview.Cells.size(); ++r) {
    lines << QString::number(r < preview.Lines.size() ? preview.Lines[r] : 0);
    for (std::size_t c = 0; c < preview.Cells[r].size(); ++c)
      PreviewTable->setItem(static_cast<int>(r), static_cast<int>(c),
                            new QTableWidgetItem(QString::fromStdString(preview.Cells[r][c])));
  }
  PreviewTable->setVerticalHeaderLabels(lines);
}

void TImportForm::FillColumnBoxes() {
  Filling = true;
  QStringList names{"(none)"};
  for (const auto& name : ColumnNames) names << QString::fromStdString(name);
  for (QComboBox* box : {TimeColumnBox, YearBox, MonthBox, DayBox, RainBox, RunoffBox, PetBox}) {
    box->clear();
    box->addItems(names);
  }
  // A first guess a user corrects where needed: by the names of the
  // header, else a date or time first, then rain, then runoff.
  auto find = [&](std::initializer_list<const char*> keys) -> int {
    for (std::size_t c = 0; c < ColumnNames.size(); ++c) {
      const QString name = QString::fromStdString(ColumnNames[c]).toLower();
      for (const char* key : keys)
        if (name.contains(key)) return static_cast<int>(c) + 1;
    }
    return 0;
  };
  const int date = find({"date", "datum"});
  const int year = find({"year", "yyyy"}), month = find({"month", "mm"}), day = find({"day", "dd"});
  const int columns = static_cast<int>(ColumnNames.size());
  if (year && month && day && !date) {
    TimeKindBox->setCurrentIndex(YearMonthDay);
    YearBox->setCurrentIndex(year);
    MonthBox->setCurrentIndex(month);
    DayBox->setCurrentIndex(day);
  } else if (date) {
    TimeKindBox->setCurrentIndex(DateColumn);
    TimeColumnBox->setCurrentIndex(date);
  } else {
    TimeKindBox->setCurrentIndex(columns >= 3 ? TimeColumn : ByRow);
    TimeColumnBox->setCurrentIndex(columns >= 3 ? 1 : 0);
  }
  int rain = find({"rain", "prec", "p_mm", "neersl"});
  int runoff = find({"runoff", "flow", "discharge", "q_mm", "afvoer"});
  const int used = std::max({TimeKindBox->currentIndex() == YearMonthDay ? day : 0,
                             TimeColumnBox->currentIndex(), 0});
  if (!rain) rain = std::min(used + 1, columns);
  if (!runoff) runoff = std::min(rain + 1, columns);
  RainBox->setCurrentIndex(rain);
  RunoffBox->setCurrentIndex(runoff);
  // Evaporation only by its name: a guessed column would change the model.
  PetBox->setCurrentIndex(find({"pet", "evap", "etp", "pe_mm"}));
  Filling = false;
}

TTableImportOptions TImportForm::GatherOptions() const {
  TTableImportOptions o;
  o.FileName = Path.isEmpty() ? std::string("table") : QFileInfo(Path).fileName().toStdString();
  o.Determination = OptionBox->currentIndex() == 0;
  o.Delimiter = static_cast<TTableDelimiter>(DelimiterBox->currentIndex());
  o.Decimal = static_cast<TTableDecimal>(DecimalBox->currentIndex());
  o.Header = static_cast<TTableHeader>(HeaderBox->currentIndex());
  // Columns by name where the header gives one, as the batch tool takes
  // them; else by number.
  auto column = [&](const QComboBox* box) {
    TTableColumn c;
    c.Number = std::max(box->currentIndex(), 0);
    return c;
  };
  switch (TimeKindBox->currentIndex()) {
    case TimeColumn: o.TimeColumn = column(TimeColumnBox); break;
    case DateColumn: o.DateColumn = column(TimeColumnBox); break;
    case YearMonthDay: o.DateColumns = {column(YearBox), column(MonthBox), column(DayBox)}; break;
    default: break;
  }
  o.TimeUnit = TimeUnitBox->currentIndex() == 1 ? TTableTimeUnit::Hour : TTableTimeUnit::Day;
  o.RainColumn = column(RainBox);
  if (o.Determination) o.RunoffColumn = column(RunoffBox);
  if (o.Determination) o.PetColumn = column(PetBox);
  o.From = FromEdit->text().trimmed().toStdString();
  o.To = ToEdit->text().trimmed().toStdString();
  o.Missing.clear();
  for (const QString& code : MissingEdit->text().split(',', Qt::SkipEmptyParts))
    if (!code.trimmed().isEmpty()) o.Missing.push_back(code.trimmed().toStdString());
  o.MaxGap = o.TimeColumn.Chosen() ? TTableImportOptions{}.MaxGap : MaxGapBox->value();
  return o;
}

void TImportForm::OptionsChanged() {
  if (Filling) return;
  const bool determination = OptionBox->currentIndex() == 0;
  const int kind = TimeKindBox->currentIndex();
  TimeColumnBox->setEnabled(kind == TimeColumn || kind == DateColumn);
  for (QComboBox* box : {YearBox, MonthBox, DayBox}) box->setEnabled(kind == YearMonthDay);
  TimeUnitBox->setEnabled(kind == DateColumn || kind == YearMonthDay);
  RunoffBox->setEnabled(determination);
  PetBox->setEnabled(determination);
  // With a column of times a row with a missing value is left out.
  MaxGapBox->setEnabled(determination && kind != TimeColumn);
  ShowReport();
}

void TImportForm::ShowReport() {
  QPushButton* ok = Buttons->button(QDialogButtonBox::Ok);
  ok->setEnabled(false);
  if (Bytes.empty() && Path.isEmpty()) {
    ReportMemo->setPlainText("Choose a table with Browse ...");
    return;
  }
  Chosen = GatherOptions();
  const bool dated = Chosen.DateColumn.Chosen() || !Chosen.DateColumns.empty();
  for (const std::string* bound : {&Chosen.From, &Chosen.To}) {
    if (bound->empty()) continue;
    const std::string why = CheckPeriodBound(*bound, dated);
    if (!why.empty()) {
      ReportMemo->setPlainText(QString::fromStdString("Period: " + why));
      return;
    }
  }
  Read = ImportTable(Bytes, Chosen);
  const int limit = SheetCapacity(Chosen.Determination);
  FirstOnlyBox->setText(QString("Take only the first %1 points").arg(limit));
  const bool over = Read.Ok() && Read.Selected > limit;
  FirstOnlyBox->setEnabled(over || FirstOnlyBox->isChecked());
  if (over && FirstOnlyBox->isChecked() && Read.Lines.size() >= static_cast<std::size_t>(limit)) {
    // The first points as the batch tool takes them with --first-row and
    // --rows: the lines from the first point's to the last one's.
    Chosen.FirstRow = Read.Lines.front();
    Chosen.Rows = Read.Lines[static_cast<std::size_t>(limit) - 1] - Read.Lines.front() + 1;
    Read = ImportTable(Bytes, Chosen);
  }
  QStringList report;
  for (const auto& note : Read.Notes) report << QString::fromStdString(note);
  if (!Read.Ok()) {
    report << QString::fromStdString(Read.Error);
    ReportMemo->setPlainText(report.join('\n'));
    return;
  }
  report << QString::fromStdString(Read.Summary);
  if (Read.Selected > limit) {
    report << QString("%1 rows in the period%2; %3 takes at most %4: choose another period, or "
                      "take only the first %4.")
                  .arg(Read.Selected)
                  .arg(Read.Dated ? QString::fromStdString(" (" + Read.FirstDate + " to " + Read.LastDate + ")")
                                  : QString())
                  .arg(Chosen.Determination ? "the model determination" : "the prediction")
                  .arg(limit);
    ReportMemo->setPlainText(report.join('\n'));
    return;
  }
  const std::string fault = FirstSeriesFault(Read, Chosen.FileName);
  if (!fault.empty()) {
    report << QString::fromStdString(fault)
           << "The sheet would refuse these data at Save/Run (negative values or a non-sequential "
              "time series).";
    ReportMemo->setPlainText(report.join('\n'));
    return;
  }
  QString points = QString("%1 points").arg(Read.Times.size());
  if (Read.LeftOut > 0)
    points += QString(" (%1 %2 with a missing value left out)").arg(Read.LeftOut).arg(Read.LeftOut == 1 ? "row" : "rows");
  if (!Read.Interpolated.empty())
    points += QString(" (%1 runoff %2 interpolated)")
                  .arg(Read.Interpolated.size())
                  .arg(Read.Interpolated.size() == 1 ? "value" : "values");
  if (!Read.PetInterpolated.empty())
    points += QString(" (%1 evaporation %2 interpolated)")
                  .arg(Read.PetInterpolated.size())
                  .arg(Read.PetInterpolated.size() == 1 ? "value" : "values");
  if (!Read.Pets.empty()) points += " with their potential evaporation";
  report << points;
  if (!Read.Title2.empty()) report << QString::fromStdString("Title2: " + Read.Title2);
  for (const auto& value : Read.Interpolated)
    report << QString("line %1: %2: runoff interpolated: %3")
                  .arg(value.Line)
                  .arg(QString::fromStdString(value.When))
                  .arg(QString::fromStdString(FormatGeneral(value.Runoff, '.')));
  ReportMemo->setPlainText(report.join('\n'));
  ok->setEnabled(!Read.Times.empty());
}
