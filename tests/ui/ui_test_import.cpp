// File, "Import table ...": a European export with dates and holes read
// through the dialog into the sheet, and Save/Run of it giving the input
// file the batch tool's import writes from the same choices.
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include "ui/importform.h"
#include "ui/rainform.h"
#include "ui/stringgrid.h"
#include "ui/ui_support.h"

namespace {

// days of a record from 1985-01-01: semicolons, decimal commas, dd.mm.yyyy,
// a header of names, runoff missing ("NA") on the given days (from 1).
std::string EuropeanExport(int days, const std::vector<int>& missing = {}) {
  std::string text = "\xEF\xBB\xBF" "Datum;P_mm;Q_mm\r\n";
  double q = 1.2;
  for (int d = 1; d <= days; ++d) {
    const QDate date = QDate(1985, 1, 1).addDays(d - 1);
    const double rain = d % 7 == 3 ? 14.5 + d % 5 : d % 3 == 0 ? 0.8 : 0;
    q = 0.85 * q + 0.12 * rain;
    QString runoff = QString::number(q, 'f', 3).replace('.', ',');
    if (std::find(missing.begin(), missing.end(), d) != missing.end()) runoff = "NA";
    text += date.toString("dd.MM.yyyy").toStdString() + ";" +
            QString::number(rain).replace('.', ',').toStdString() + ";" + runoff.toStdString() + "\r\n";
  }
  return text;
}

TImportForm* OpenImport(TProgram& program, const std::string& path) {
  Main<QAction>("ImportTableAction")->trigger();
  auto* form = RainForm->findChild<TImportForm*>("ImportForm");
  if (!form) return nullptr;
  program.Prompts.Paths = {QString::fromStdString(path)};
  Control<QPushButton>(form, "BrowseButton")->click();
  return form;
}

QPushButton* OkButton(TImportForm* form) {
  return Control<QDialogButtonBox>(form, "ImportButtons")->button(QDialogButtonBox::Ok);
}

}  // namespace

class TImportTest : public QObject {
  Q_OBJECT

private slots:
  void aEuropeanExportFillsTheSheetAsTheBatchToolWritesIt() {
    TProgram program;
    TScratchDir dir;
    const std::string csv = dir.File("export.csv");
    WriteFileBytes(csv, EuropeanExport(60, {20, 21}));
    QVERIFY(ActivateInputTab());
    TImportForm* form = OpenImport(program, csv);
    QVERIFY(form);
    QVERIFY(form->isVisible());
    // It has the keyboard, also where no window manager hands it out.
    QTRY_COMPARE(QApplication::activeWindow(), form);
    // The first rows as read, under the header's names.
    auto* preview = Control<QTableWidget>(form, "PreviewTable");
    QCOMPARE(preview->horizontalHeaderItem(1)->text(), QString("P_mm"));
    QCOMPARE(preview->item(0, 0)->text(), QString("01.01.1985"));
    Control<QLineEdit>(form, "ToEdit")->setText("15.02.1985");
    const QString report = Control<QPlainTextEdit>(form, "ReportMemo")->toPlainText();
    QVERIFY2(report.contains("semicolon separated, decimal comma, header line 1"), qPrintable(report));
    QVERIFY2(report.contains("46 points (2 runoff values interpolated)"), qPrintable(report));
    QVERIFY2(report.contains("1985-01-20: runoff interpolated"), qPrintable(report));
    QVERIFY(OkButton(form)->isEnabled());
    OkButton(form)->click();
    QApplication::processEvents();
    // The keyboard is the main window's again, also where no window
    // manager hands it back.
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(RainForm));

    QCOMPARE(Main<QLineEdit>("NrOfDataEdit")->text(), QString("46"));
    QCOMPARE(Main<TStringGrid>("StringGrid1")->RowCount(), 46);
    QCOMPARE(Main<QLineEdit>("Title1Edit")->text(), QString("export"));
    QCOMPARE(Main<QLineEdit>("Title2Edit")->text(), QString("time 1 = 1985-01-01, time unit 1 day"));
    QVERIFY(RainForm->DataEntered());
    QVERIFY(DMQuorell->IsAnalysis);

    const QString saved = QString::fromStdString(dir.File("window.inp"));
    program.Prompts.Paths = {saved};
    Main<QAction>("InputSaveAction")->trigger();
    QVERIFY2(program.Prompts.Messages.last().startsWith("The input is saved in"),
             qPrintable(program.Prompts.Messages.join(" | ")));

    QProcess batch;
    batch.start(TOLVANE_BATCH, {"import", QString::fromStdString(csv), "-o",
                                QString::fromStdString(dir.File("batch.inp")), "--option", "determine",
                                "--date-column", "Datum", "--rain-column", "P_mm", "--runoff-column",
                                "Q_mm", "--to", "15.02.1985", "--max-storage", "100",
                                "--initial-storage", "80", "--max-escape", "2", "--title1", "export"});
    QVERIFY(batch.waitForFinished(30000));
    QCOMPARE(batch.exitCode(), 0);
    auto window = SplitCrLfLines(ReadFileBytes(saved.toStdString()));
    auto tool = SplitCrLfLines(ReadFileBytes(dir.File("batch.inp")));
    // Line 7 names the file it was written as.
    QVERIFY(window.size() > 7 && tool.size() > 7);
    window.erase(window.begin() + 6);
    tool.erase(tool.begin() + 6);
    QVERIFY(window == tool);
  }

  // A table without a header: its first line is a row of the preview, and
  // the columns are offered by number; no PET column is guessed.
  void aTableWithoutAHeaderShowsItsFirstLineAsARow() {
    TProgram program;
    TScratchDir dir;
    const std::string csv = dir.File("bare.csv");
    WriteFileBytes(csv, "1985,1,1,0.0,0.48,4.75\n1985,1,2,3.5,0.49,4.70\n1985,1,3,0.0,0.47,4.61\n");
    QVERIFY(ActivateInputTab());
    TImportForm* form = OpenImport(program, csv);
    QVERIFY(form);
    auto* preview = Control<QTableWidget>(form, "PreviewTable");
    QCOMPARE(preview->rowCount(), 3);
    QCOMPARE(preview->horizontalHeaderItem(0)->text(), QString("column 1"));
    QCOMPARE(preview->item(0, 0)->text(), QString("1985"));
    QCOMPARE(Control<QComboBox>(form, "PetBox")->currentIndex(), 0);
    Control<QComboBox>(form, "PetBox")->setCurrentIndex(5);
    const QString report = Control<QPlainTextEdit>(form, "ReportMemo")->toPlainText();
    QVERIFY2(report.contains("no header"), qPrintable(report));
    form->reject();
  }

  void cancelChangesNothing() {
    TProgram program;
    TScratchDir dir;
    const std::string csv = dir.File("export.csv");
    WriteFileBytes(csv, EuropeanExport(30));
    QVERIFY(ActivateInputTab());
    Main<QLineEdit>("Title1Edit")->setText("Mine");
    TImportForm* form = OpenImport(program, csv);
    QVERIFY(form);
    QVERIFY(OkButton(form)->isEnabled());
    Control<QDialogButtonBox>(form, "ImportButtons")->button(QDialogButtonBox::Cancel)->click();
    QApplication::processEvents();
    QCOMPARE(Main<QLineEdit>("NrOfDataEdit")->text(), QString("15"));
    QCOMPARE(Main<QLineEdit>("Title1Edit")->text(), QString("Mine"));
    QVERIFY(!RainForm->DataEntered());
    QVERIFY(program.Prompts.Messages.isEmpty());
  }

  // More rows than a determination takes: the dialog says how many and
  // offers the first 1500.
  void aLongRecordOffersTheFirstPoints() {
    TProgram program;
    TScratchDir dir;
    const std::string csv = dir.File("long.csv");
    WriteFileBytes(csv, EuropeanExport(1600));
    QVERIFY(ActivateInputTab());
    TImportForm* form = OpenImport(program, csv);
    QVERIFY(form);
    const QString report = Control<QPlainTextEdit>(form, "ReportMemo")->toPlainText();
    QVERIFY2(report.contains("1600 rows in the period (1985-01-01 to 1989-05-19); the model "
                             "determination takes at most 1500"),
             qPrintable(report));
    QVERIFY(!OkButton(form)->isEnabled());
    auto* first = Control<QCheckBox>(form, "FirstOnlyBox");
    QVERIFY(first->isEnabled());
    first->setChecked(true);
    QVERIFY(OkButton(form)->isEnabled());
    OkButton(form)->click();
    QApplication::processEvents();
    QCOMPARE(Main<QLineEdit>("NrOfDataEdit")->text(), QString("1500"));
    QCOMPARE(Main<TStringGrid>("StringGrid1")->Cell(0, 1499), QString("1500"));
  }

  void aTableTheReaderRefusesCannotBeTaken() {
    TProgram program;
    TScratchDir dir;
    const std::string csv = dir.File("holes.csv");
    WriteFileBytes(csv, EuropeanExport(30, {10, 11, 12, 13}));
    QVERIFY(ActivateInputTab());
    TImportForm* form = OpenImport(program, csv);
    QVERIFY(form);
    const QString report = Control<QPlainTextEdit>(form, "ReportMemo")->toPlainText();
    QVERIFY2(report.contains("runoff missing from 1985-01-10 to 1985-01-13 (4 values"), qPrintable(report));
    QVERIFY(!OkButton(form)->isEnabled());
    // A longer gap allowed, it is interpolated.
    Control<QSpinBox>(form, "MaxGapBox")->setValue(4);
    QVERIFY(OkButton(form)->isEnabled());
  }
};

TOLVANE_UI_TEST(TImportTest)
#include "ui_test_import.moc"
