// Save/Run of both options, "Open input", "Open output" and the Output tab,
// with every dialog answered by the test.
#include <QDir>
#include <QFile>
#include <QTest>

#include "files/filepaths.h"
#include "ui/rainform.h"
#include "ui/ui_support.h"

namespace {

QString Golden(const char* name) {
  return QString::fromStdString(SharedDataDir()) + "/golden/" + name;
}

// The lines of a file but the one that names the path it was written under.
std::vector<std::string> LinesBut(const QString& path, std::size_t pathLine) {
  auto lines = SplitCrLfLines(ReadFileBytes(path.toStdString()));
  if (lines.size() >= pathLine) lines.erase(lines.begin() + (pathLine - 1));
  return lines;
}

// The golden input file as the program writes it again after reading it:
// the golden file itself, but for values just below 1 that it prints as
// 1.0E+0000, which read back as 1 and are then written 1.00.
QString RewrittenGolden(const TScratchDir& dir, const QString& name) {
  TRecordingDialogs dialogs;
  TDMQuorell dm;
  dm.SetDialogs(&dialogs);
  dm.FileName = Golden(qPrintable(name + ".inp")).toStdString();
  if (!dm.ReadInputFile()) return {};
  std::vector<double> times(dm.Times), rains(dm.Rains), runoffs(dm.Runoffs);
  SetSheet(dm, dm.IsAnalysis, times, rains, runoffs);
  dm.FileName = dir.File("expected.inp");
  dm.WriteInputFile();
  return QString::fromStdString(dm.FileName);
}

// A sheet of n rows typed in: times 1..n, a storm now and then, runoff.
void TypeSheet(int n) {
  RainForm->NrOfDataEdit->setText(QString::number(n));
  RainForm->NrOfDataEditExit();
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
  void aGoldenFileOpenedAndRunGivesTheGoldenFiles_data() {
    QTest::addColumn<QString>("name");
    for (const char* name : {"det262", "det25", "det120long", "pred262", "pred25"}) QTest::newRow(name) << name;
  }

  void aGoldenFileOpenedAndRunGivesTheGoldenFiles() {
    QFETCH(QString, name);
    if (SharedDataDir().empty()) QSKIP("no shared data");
    TProgram program;
    TScratchDir dir;
    auto* f = RainForm;
    program.Prompts.Paths = {Golden(qPrintable(name + ".inp"))};
    f->InputOpenAction->trigger();
    QCOMPARE(f->PageControl1->currentWidget(), f->InputTabSheet);
    QVERIFY(f->DataEntered);
    QVERIFY(f->FileNameEdit->isVisible());
    QCOMPARE(f->NrOfDataEdit->text(), QString::number(DMQuorell->NrOfData));
    QCOMPARE(f->StringGrid1->RowCount(), DMQuorell->NrOfData);

    const QString input = QString::fromStdString(dir.File(name.toStdString() + ".inp"));
    program.Prompts.Paths = {input};
    f->findChild<QAction*>("InputSaveMenu")->trigger();
    QCOMPARE(program.Prompts.DialogsShown.last(), QString("InputSaveDialog"));
    const QString output = QString::fromStdString(ChangeFileExt(input.toStdString(), ".out"));
    QCOMPARE(program.Prompts.Messages, QStringList{"The input is saved in " + input + " ;" +
                                                   " Calculations were done and the output is saved in  " + output});
    QVERIFY(LinesBut(input, 7) == LinesBut(RewrittenGolden(dir, name), 7));
    QVERIFY(LinesBut(output, 5) == LinesBut(Golden(qPrintable(name + ".out")), 5));

    QCOMPARE(f->PageControl1->currentWidget(), f->OutputTabSheet);
    QCOMPARE(f->OutputMemo->toPlainText().split('\n').size(), DMQuorell->OutputLineCount);
    QVERIFY(f->OutputMemo->toPlainText().startsWith("RESULTS OF Tolvane PROGRAM"));
    QVERIFY(f->OutputOpened);
    QVERIFY(f->ViewGraphButton->isVisible());
    QCOMPARE(QString::fromStdString(DMQuorell->FileName), output);
    QCOMPARE(QString::fromStdString(DMQuorell->ResultsFileName), output);
    QVERIFY(!f->WaitMemo->isVisible());
    QCOMPARE(f->WaitMemo->toPlainText(), QString(" Saving data .....\n Progress 25% ....\n Calculating .....\n"
                                                 " Progress 75% ....\n Filing results .."));
    QCOMPARE(f->InputSaveDialog.InitialDir, dir.Path.string().c_str());
  }

  void rowsWithAnEmptyCellAreLeftOutAndTheSheetRebuilt() {
    TProgram program;
    TScratchDir dir;
    ShowInputTab();
    TypeSheet(20);
    Type(2, 4, "");
    Type(2, 8, "");
    program.Prompts.Paths = {QString::fromStdString(dir.File("gaps"))};
    RainForm->InputSaveButton->click();
    const auto lines = SplitCrLfLines(ReadFileBytes(dir.File("gaps.inp")));
    QCOMPARE(lines.size(), std::size_t(14 + 18));
    QCOMPARE(lines[14].substr(0, 5), std::string("    1"));
    QCOMPARE(lines[31].substr(0, 5), std::string("   18"));
    QCOMPARE(lines[17].substr(6, 12), std::string("        4.00"));
    QCOMPARE(lines[18].substr(6, 12), std::string("        6.00"));  // row 5 left out
    QCOMPARE(DMQuorell->NrOfData, 18);
    QCOMPARE(RainForm->KeptRows, 18);
    QCOMPARE(RainForm->StringGrid1->RowCount(), 18);
    QCOMPARE(RainForm->StringGrid1->Cell(0, 4), QString("6"));
    QCOMPARE(RainForm->StringGrid1->Cell(1, 1), QString("12.5"));
    QCOMPARE(RainForm->NrOfDataEdit->text(), QString("18"));  // the points the determination read

    // The same sheet saved again gives the same points.
    ShowInputTab();
    program.Prompts.Paths = {QString::fromStdString(dir.File("again.inp"))};
    RainForm->InputSaveButton->click();
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
    RainForm->InputSaveAction->trigger();
    QCOMPARE(program.Prompts.Messages, QStringList{message});
    QVERIFY(!FileExists(dir.File("bad.inp")));
    QCOMPARE(DMQuorell->NrOfData, 15);
    // Mended, the sheet saves.
    Type(col, row, col == 0 ? QString::number(row + 1) : "1");
    program.Prompts.Paths = {QString::fromStdString(dir.File("bad.inp"))};
    RainForm->InputSaveAction->trigger();
    QVERIFY(FileExists(dir.File("bad.out")));
  }

  void noSaveWithoutAFileOrWhenTheUserSaysNo() {
    TProgram program;
    TScratchDir dir;
    ShowInputTab();
    TypeSheet(15);
    program.Prompts.Paths = {""};
    RainForm->InputSaveAction->trigger();
    QVERIFY(RainForm->SaveAborted);
    QCOMPARE(program.Prompts.Messages, QStringList{"The input data were not saved"});
    WriteFileBytes(dir.File("old.inp"), "keep me");
    program.Prompts.Paths = {QString::fromStdString(dir.File("old.inp"))};
    program.Prompts.Answers = {false};
    RainForm->InputSaveAction->trigger();
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
    RainForm->MaxStorEdit->setText("-5");
    RainForm->InitStorEdit->setText("0");
    RainForm->EscapeEdit->setText("0");
    program.Prompts.Paths = {QString::fromStdString(dir.File("fields.inp"))};
    RainForm->findChild<QAction*>("InputSaveMenu")->trigger();
    QCOMPARE(program.Prompts.Messages.first(), QString("The maximum storage must be >= 0"));
    const auto lines = SplitCrLfLines(ReadFileBytes(dir.File("fields.inp")));
    QCOMPARE(lines[7], std::string(" Maximum dead storage:    0.000"));
    QCOMPARE(RainForm->MaxStorEdit->text(), QString("0"));
  }

  void aFailedPredictionDoesNotSpoilTheNextDetermination() {
    TProgram program;
    TScratchDir dir;
    RainForm->PageControl1->setCurrentWidget(RainForm->OutputTabSheet);  // hides "View graph"
    ShowInputTab();
    RainForm->OptionComboBox->setCurrentIndex(1);
    for (int r = 0; r < 15; ++r) {
      Type(0, r, QString::number(r + 1));
      Type(1, r, "3");
    }
    RainForm->MaxStorEdit->setText("0");  // a prediction needs a storage
    RainForm->AcoeffEdit->setText("0.2");
    program.Prompts.Paths = {QString::fromStdString(dir.File("pred.inp"))};
    RainForm->InputSaveAction->trigger();
    QCOMPARE(program.Prompts.Messages.last(), QString("The Maximum Storage must be > 0"));
    QCOMPARE(RainForm->PageControl1->currentWidget(), RainForm->InputTabSheet);
    QVERIFY(!RainForm->WaitMemo->isVisible());
    QVERIFY(!FileExists(dir.File("pred.out")));

    RainForm->OptionComboBox->setCurrentIndex(0);
    TypeSheet(15);
    RainForm->MaxStorEdit->setText("20");
    program.Prompts.Paths = {QString::fromStdString(dir.File("det.inp"))};
    RainForm->InputSaveAction->trigger();
    QVERIFY(program.Prompts.Messages.last().startsWith("The input is saved in "));
    QCOMPARE(RainForm->PageControl1->currentWidget(), RainForm->OutputTabSheet);
    QVERIFY(RainForm->ViewGraphButton->isVisible());  // an output file was produced
  }

  void filesThatCannotBeWrittenStopSaveRun() {
    TProgram program;
    TScratchDir dir;
    ShowInputTab();
    TypeSheet(15);
    // The input file: a folder of that name. Nothing is run.
    QDir(QString::fromStdString(dir.Path.string())).mkdir("folder.inp");
    program.Prompts.Paths = {QString::fromStdString(dir.File("folder.inp"))};
    RainForm->InputSaveAction->trigger();
    QCOMPARE(program.Prompts.Messages.size(), 1);
    QVERIFY(program.Prompts.Messages[0].contains("could not be opened"));
    QVERIFY(!RainForm->WaitMemo->isVisible());
    QVERIFY(!FileExists(dir.File("folder.out")));

    // The output file: read-only. Told, the old file kept, the window usable.
    WriteFileBytes(dir.File("locked.out"), "old results");
    QFile(QString::fromStdString(dir.File("locked.out"))).setPermissions(QFile::ReadOwner);
    program.Prompts.Messages.clear();
    program.Prompts.Paths = {QString::fromStdString(dir.File("locked.inp"))};
    RainForm->InputSaveAction->trigger();
    QCOMPARE(program.Prompts.Messages.size(), 1);
    QVERIFY2(program.Prompts.Messages[0].contains("locked.out"), qPrintable(program.Prompts.Messages[0]));
    QVERIFY(!RainForm->WaitMemo->isVisible());
    QCOMPARE(RainForm->WaitMemo->toPlainText(), QString());
    QCOMPARE(ReadFileBytes(dir.File("locked.out")), std::string("old results"));
    QCOMPARE(RainForm->PageControl1->currentWidget(), RainForm->InputTabSheet);
    QVERIFY(RainForm->InputSaveAction->isEnabled());
  }

  void openOutputAndTheOutputTab() {
    TProgram program;
    auto* f = RainForm;
    f->PageControl1->setCurrentWidget(f->OutputTabSheet);
    QVERIFY(!f->ViewGraphButton->isVisible());
    QVERIFY(f->StatusText().startsWith("The output file can be inspected."));
    program.Prompts.Paths = {""};
    f->SeeOutputButton->click();
    QCOMPARE(program.Prompts.Messages.last(), QString("No output file selected"));
    program.Prompts.Paths = {"/nonexistent/x.out"};
    f->SeeOutputButton->click();
    QCOMPARE(program.Prompts.Messages.last(), QString("File does not exist, please select another one,"));
    QVERIFY(!f->OutputOpened);
    QVERIFY(DMQuorell->ResultsFileName.empty());

    const QString example = Example("determine_daily.out");
    program.Prompts.Paths = {example};
    f->SeeOutputButton->click();
    QVERIFY(f->OutputOpened);
    QVERIFY(f->ViewGraphButton->isVisible());
    QCOMPARE(QString::fromStdString(DMQuorell->ResultsFileName), example);
    QCOMPARE(f->OutputMemo->toPlainText().split('\n').size(), DMQuorell->OutputLineCount);
    QCOMPARE(f->StatusText(), QString("The output file can be imported into spreadsheets"));
    QCOMPARE(program.Prompts.LastDialog.Filter, QString("Output files (*.out)|*.out"));
  }

  void openInputRefusesWhatIsNotThere() {
    TProgram program;
    program.Prompts.Paths = {""};
    RainForm->InputOpenAction->trigger();
    QCOMPARE(program.Prompts.Messages.last(), QString("No input file was selected"));
    program.Prompts.Paths = {"/nonexistent/x"};
    RainForm->InputOpenAction->trigger();
    QCOMPARE(program.Prompts.Messages.last(), QString("File does not exist, please select another one,"));
    QCOMPARE(DMQuorell->FileName, std::string("/nonexistent/x.inp"));
    QVERIFY(!RainForm->DataEntered);
  }
};

TOLVANE_UI_TEST(TSaveRunTest)
#include "ui_test_saverun.moc"
