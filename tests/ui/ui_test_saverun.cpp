// Save/Run of both options, "Open input", "Open output" and the Output tab,
// with every dialog answered by the test.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include "files/filepaths.h"
#include "ui/rainform.h"
#include "ui/ui_support.h"

namespace {

// A sheet of n rows typed in: times 1..n, a storm now and then, runoff.
void TypeSheet(int n) {
  Main<QLineEdit>("NrOfDataEdit")->setText(QString::number(n));
  Leave(Main<QLineEdit>("NrOfDataEdit"));
  for (int r = 0; r < n; ++r) {
    Type(0, r, QString::number(r + 1));
    Type(1, r, r % 6 == 1 ? "12,5" : "0.4");
    Type(2, r, QString::number(1 + (r % 6) * 0.3));
  }
}

}  // namespace

class TSaveRunTest : public QObject {
  Q_OBJECT

private slots:
  // An output file chosen in "Open input" reads as a prediction head up to a
  // value that is no number; the sheet keeps its option, and so does the
  // next Save/Run.
  void aHeadThatCannotBeReadKeepsTheOptionOfTheSheet() {
    TProgram program;
    TScratchDir dir;
    QVERIFY(ActivateInputTab());
    Main<QComboBox>("OptionComboBox")->setCurrentIndex(0);
    program.Prompts.Paths = {Example("calibrate_daily.out")};
    Main<QAction>("InputOpenAction")->trigger();
    QCOMPARE(program.Prompts.Messages, QStringList{"Invalid numeric input"});
    QVERIFY(DMQuorell->IsAnalysis);
    QCOMPARE(DMQuorell->RunTag, std::string(" Ana"));
    QCOMPARE(Main<QComboBox>("OptionComboBox")->currentIndex(), 0);
    TypeSheet(20);
    const QString input = QString::fromStdString(dir.File("kept.inp"));
    program.Prompts.Paths = {input};
    Main<QAction>("InputSaveAction")->trigger();
    const auto lines = SplitCrLfLines(ReadFileBytes(input.toStdString()));
    QVERIFY2(lines.size() > 12, qPrintable(program.Prompts.Messages.join(" | ")));
    QCOMPARE(QString::fromStdString(lines[1]).left(4), QString(" Ana"));
  }

  // Unlike the old program, which ended there, the window goes on after
  // the message with the complete lines before the corrupt one.
  void aCorruptDataLineOpensTheLinesBeforeIt() {
    TProgram program;
    TScratchDir dir;
    std::vector<double> times, rains, runoffs;
    for (int i = 1; i <= 15; ++i) {
      times.push_back(i);
      rains.push_back(i % 4 == 0 ? 12.5 : 0.25);
      runoffs.push_back(1 + (i % 5) * 0.5);
    }
    const std::string path = dir.File("corrupt.inp");
    TDMQuorell writer;
    WriteAnalysisFile(writer, path, times, rains, runoffs);
    std::string text = ReadFileBytes(path);
    const std::size_t line11 = text.find("\r\n   11 ") + 2;
    text.replace(text.find("11.00", line11), 5, "11,0x");
    WriteFileBytes(path, text);

    QVERIFY(ActivateInputTab());
    program.Prompts.Paths = {QString::fromStdString(path)};
    Main<QAction>("InputOpenAction")->trigger();
    QCOMPARE(program.Prompts.Messages,
             QStringList{"A program error occurred.Real numbers in the inputfile \"" +
                         QString::fromStdString(path) + "\" are corrupt"});
    QVERIFY(RainForm->isVisible());
    QCOMPARE(Main<QLineEdit>("NrOfDataEdit")->text(), QString("10"));
    auto* grid = Main<TStringGrid>("StringGrid1");
    QCOMPARE(grid->RowCount(), 10);
    for (int r = 0; r < 10; ++r) {
      QCOMPARE(grid->Cell(0, r).toDouble(), times[r]);
      QCOMPARE(grid->Cell(1, r).replace(',', '.').toDouble(), rains[r]);
      QCOMPARE(grid->Cell(2, r).replace(',', '.').toDouble(), runoffs[r]);
    }

    program.Prompts.Messages.clear();
    const QString saved = QString::fromStdString(dir.File("saved.inp"));
    program.Prompts.Paths = {saved};
    Main<QAction>("InputSaveAction")->trigger();
    const QString output = QString::fromStdString(ChangeFileExt(saved.toStdString(), ".out"));
    QCOMPARE(program.Prompts.Messages, QStringList{"The input is saved in " + saved + " ;" +
                                                   " Calculations were done and the output is saved in  " + output});
    const auto lines = SplitCrLfLines(ReadFileBytes(saved.toStdString()));
    QCOMPARE(QString::fromStdString(lines.back()).split(' ', Qt::SkipEmptyParts).first(), QString("10"));
    QVERIFY(QFileInfo::exists(output));
  }

  void rowsWithAnEmptyCellAreLeftOutAndTheSheetRebuilt() {
    TProgram program;
    TScratchDir dir;
    ShowInputTab();
    TypeSheet(20);
    Type(2, 4, "");
    Type(2, 8, "");
    program.Prompts.Paths = {QString::fromStdString(dir.File("gaps"))};
    Main<QPushButton>("InputSaveButton")->click();
    const auto lines = SplitCrLfLines(ReadFileBytes(dir.File("gaps.inp")));
    QCOMPARE(lines.size(), std::size_t(14 + 18));
    QCOMPARE(lines[14].substr(0, 5), std::string("    1"));
    QCOMPARE(lines[31].substr(0, 5), std::string("   18"));
    QCOMPARE(lines[17].substr(6, 12), std::string("        4.00"));
    QCOMPARE(lines[18].substr(6, 12), std::string("        6.00"));  // row 5 left out
    QCOMPARE(DMQuorell->NrOfData, 18);
    QCOMPARE(RainForm->KeptRows(), 18);
    QCOMPARE(Main<TStringGrid>("StringGrid1")->RowCount(), 18);
    QCOMPARE(Main<TStringGrid>("StringGrid1")->Cell(0, 4), QString("6"));
    QCOMPARE(Main<TStringGrid>("StringGrid1")->Cell(1, 1), QString("12.5"));
    QCOMPARE(Main<QLineEdit>("NrOfDataEdit")->text(), QString("18"));  // the points the determination read

    // The same sheet saved again gives the same points.
    ShowInputTab();
    program.Prompts.Paths = {QString::fromStdString(dir.File("again.inp"))};
    Main<QPushButton>("InputSaveButton")->click();
    auto again = SplitCrLfLines(ReadFileBytes(dir.File("again.inp")));
    QCOMPARE(again.size(), lines.size());
    QVERIFY(std::equal(lines.begin() + 14, lines.end(), again.begin() + 14));
  }

  void seriesThatCannotBeSavedAreRefused_data() {
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    const QString notReal = "Not all data values in the inputfile are real";
    const QString refused = "The input data were not saved due to input errors like negative values or a "
                            "non-sequential time series";
    QTest::newRow("letter in a time") << 0 << 3 << "x" << notReal;
    QTest::newRow("equal times") << 0 << 3 << "3" << refused;
    QTest::newRow("negative rain") << 1 << 1 << "-0.1" << refused;
    QTest::newRow("negative runoff") << 2 << 7 << "-2" << refused;
  }

  void seriesThatCannotBeSavedAreRefused() {
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(QString, text);
    QFETCH(QString, message);
    TProgram program;
    TScratchDir dir;
    ShowInputTab();
    TypeSheet(15);
    Type(col, row, text);
    program.Prompts.Paths = {QString::fromStdString(dir.File("bad.inp"))};
    Main<QAction>("InputSaveAction")->trigger();
    QCOMPARE(program.Prompts.Messages, QStringList{message});
    QVERIFY(!FileExists(dir.File("bad.inp")));
    QCOMPARE(DMQuorell->NrOfData, 15);
    // Mended, the sheet saves.
    Type(col, row, col == 0 ? QString::number(row + 1) : "1");
    program.Prompts.Paths = {QString::fromStdString(dir.File("bad.inp"))};
    Main<QAction>("InputSaveAction")->trigger();
    QVERIFY(FileExists(dir.File("bad.out")));
  }

  void noSaveWithoutAFileOrWhenTheUserSaysNo() {
    TProgram program;
    TScratchDir dir;
    ShowInputTab();
    TypeSheet(15);
    program.Prompts.Paths = {""};
    Main<QAction>("InputSaveAction")->trigger();
    QVERIFY(RainForm->SaveAborted());
    QCOMPARE(program.Prompts.Messages, QStringList{"The input data were not saved"});
    WriteFileBytes(dir.File("old.inp"), "keep me");
    program.Prompts.Paths = {QString::fromStdString(dir.File("old.inp"))};
    program.Prompts.Answers = {false};
    Main<QAction>("InputSaveAction")->trigger();
    QCOMPARE(program.Prompts.Questions, QStringList{"The file already exists, overwrite?"});
    QCOMPARE(program.Prompts.Messages.last(), QString("The input data were not saved"));
    QCOMPARE(ReadFileBytes(dir.File("old.inp")), std::string("keep me"));
  }

  void theFieldsShownAreTheValuesSaved() {
    TProgram program;
    TScratchDir dir;
    ShowInputTab();
    TypeSheet(15);
    // Typed, but the field not left: the menu takes no focus.
    Main<QLineEdit>("MaxStorEdit")->setText("-5");
    Main<QLineEdit>("InitStorEdit")->setText("0");
    Main<QLineEdit>("EscapeEdit")->setText("0");
    program.Prompts.Paths = {QString::fromStdString(dir.File("fields.inp"))};
    RainForm->findChild<QAction*>("InputSaveMenu")->trigger();
    QCOMPARE(program.Prompts.Messages.first(), QString("The maximum storage must be >= 0"));
    const auto lines = SplitCrLfLines(ReadFileBytes(dir.File("fields.inp")));
    QCOMPARE(lines[7], std::string(" Maximum dead storage:    0.000"));
    QCOMPARE(Main<QLineEdit>("MaxStorEdit")->text(), QString("0"));
  }

  void aFailedPredictionDoesNotSpoilTheNextDetermination() {
    TProgram program;
    TScratchDir dir;
    Main<QTabWidget>("PageControl1")->setCurrentWidget(Main<QWidget>("OutputTabSheet"));  // hides "View graph"
    ShowInputTab();
    Main<QComboBox>("OptionComboBox")->setCurrentIndex(1);
    for (int r = 0; r < 15; ++r) {
      Type(0, r, QString::number(r + 1));
      Type(1, r, "3");
    }
    Main<QLineEdit>("MaxStorEdit")->setText("0");  // a prediction needs a storage
    Main<QLineEdit>("AcoeffEdit")->setText("0.2");
    program.Prompts.Paths = {QString::fromStdString(dir.File("pred.inp"))};
    Main<QAction>("InputSaveAction")->trigger();
    QCOMPARE(program.Prompts.Messages.last(), QString("The Maximum Storage must be > 0"));
    QCOMPARE(Main<QTabWidget>("PageControl1")->currentWidget(), Main<QWidget>("InputTabSheet"));
    QVERIFY(!Main<QPlainTextEdit>("WaitMemo")->isVisible());
    QVERIFY(!FileExists(dir.File("pred.out")));

    Main<QComboBox>("OptionComboBox")->setCurrentIndex(0);
    TypeSheet(15);
    Main<QLineEdit>("MaxStorEdit")->setText("20");
    program.Prompts.Paths = {QString::fromStdString(dir.File("det.inp"))};
    Main<QAction>("InputSaveAction")->trigger();
    QVERIFY(program.Prompts.Messages.last().startsWith("The input is saved in "));
    QCOMPARE(Main<QTabWidget>("PageControl1")->currentWidget(), Main<QWidget>("OutputTabSheet"));
    QVERIFY(Main<QPushButton>("ViewGraphButton")->isVisible());  // an output file was produced
  }

  void filesThatCannotBeWrittenStopSaveRun() {
    TProgram program;
    TScratchDir dir;
    ShowInputTab();
    TypeSheet(15);
    // The input file: a folder of that name. Nothing is run.
    QDir(QString::fromStdString(dir.Path.string())).mkdir("folder.inp");
    program.Prompts.Paths = {QString::fromStdString(dir.File("folder.inp"))};
    Main<QAction>("InputSaveAction")->trigger();
    QCOMPARE(program.Prompts.Messages.size(), 1);
    QVERIFY(program.Prompts.Messages[0].contains("could not be opened"));
    QVERIFY(!Main<QPlainTextEdit>("WaitMemo")->isVisible());
    QVERIFY(!FileExists(dir.File("folder.out")));

    // The output file: read-only. Told, the old file kept, the window usable.
    WriteFileBytes(dir.File("locked.out"), "old results");
    QFile(QString::fromStdString(dir.File("locked.out"))).setPermissions(QFile::ReadOwner);
    program.Prompts.Messages.clear();
    program.Prompts.Paths = {QString::fromStdString(dir.File("locked.inp"))};
    Main<QAction>("InputSaveAction")->trigger();
    QCOMPARE(program.Prompts.Messages.size(), 1);
    QVERIFY2(program.Prompts.Messages[0].contains("locked.out"), qPrintable(program.Prompts.Messages[0]));
    QVERIFY(!Main<QPlainTextEdit>("WaitMemo")->isVisible());
    QCOMPARE(Main<QPlainTextEdit>("WaitMemo")->toPlainText(), QString());
    QCOMPARE(ReadFileBytes(dir.File("locked.out")), std::string("old results"));
    QCOMPARE(Main<QTabWidget>("PageControl1")->currentWidget(), Main<QWidget>("InputTabSheet"));
    QVERIFY(Main<QAction>("InputSaveAction")->isEnabled());
  }

  void openOutputAndTheOutputTab() {
    TProgram program;
    auto* f = RainForm;
    Main<QTabWidget>("PageControl1")->setCurrentWidget(Main<QWidget>("OutputTabSheet"));
    QVERIFY(!Main<QPushButton>("ViewGraphButton")->isVisible());
    QVERIFY(f->StatusText().startsWith("The output file can be inspected."));
    program.Prompts.Paths = {""};
    Main<QPushButton>("SeeOutputButton")->click();
    QCOMPARE(program.Prompts.Messages.last(), QString("No output file selected"));
    program.Prompts.Paths = {"/nonexistent/x.out"};
    Main<QPushButton>("SeeOutputButton")->click();
    QCOMPARE(program.Prompts.Messages.last(), QString("File does not exist, please select another one,"));
    QVERIFY(!f->OutputOpened());
    QVERIFY(DMQuorell->ResultsFileName.empty());

    const QString example = Example("determine_daily.out");
    program.Prompts.Paths = {example};
    Main<QPushButton>("SeeOutputButton")->click();
    QVERIFY(f->OutputOpened());
    QVERIFY(Main<QPushButton>("ViewGraphButton")->isVisible());
    QCOMPARE(QString::fromStdString(DMQuorell->ResultsFileName), example);
    QCOMPARE(Main<QPlainTextEdit>("OutputMemo")->toPlainText().split('\n').size(), DMQuorell->OutputLineCount);
    QCOMPARE(f->StatusText(), QString("The output file can be imported into spreadsheets"));
    QCOMPARE(program.Prompts.LastDialog.Filter, QString("Output files (*.out)|*.out"));
  }

  void openInputRefusesWhatIsNotThere() {
    TProgram program;
    program.Prompts.Paths = {""};
    Main<QAction>("InputOpenAction")->trigger();
    QCOMPARE(program.Prompts.Messages.last(), QString("No input file was selected"));
    program.Prompts.Paths = {"/nonexistent/x"};
    Main<QAction>("InputOpenAction")->trigger();
    QCOMPARE(program.Prompts.Messages.last(), QString("File does not exist, please select another one,"));
    QCOMPARE(DMQuorell->FileName, std::string("/nonexistent/x.inp"));
    QVERIFY(!RainForm->DataEntered());
  }
};

TOLVANE_UI_TEST(TSaveRunTest)
#include "ui_test_saverun.moc"
