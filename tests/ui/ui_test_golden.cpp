// The golden input files of the shared data opened in the window and run
// by Save/Run give the golden output files. Without the shared data this
// test class reports itself skipped.
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

}  // namespace

class TGoldenTest : public QObject {
  Q_OBJECT

private slots:
  void aGoldenFileOpenedAndRunGivesTheGoldenFiles_data() {
    QTest::addColumn<QString>("name");
    for (const char* name : {"det262", "det25", "det120long", "pred262", "pred25"}) QTest::newRow(name) << name;
  }

  void aGoldenFileOpenedAndRunGivesTheGoldenFiles() {
    QFETCH(QString, name);
    TProgram program;
    TScratchDir dir;
    auto* f = RainForm;
    program.Prompts.Paths = {Golden(qPrintable(name + ".inp"))};
    Main<QAction>("InputOpenAction")->trigger();
    QCOMPARE(Main<QTabWidget>("PageControl1")->currentWidget(), Main<QWidget>("InputTabSheet"));
    QVERIFY(f->DataEntered());
    QVERIFY(Main<QLineEdit>("FileNameEdit")->isVisible());
    QCOMPARE(Main<QLineEdit>("NrOfDataEdit")->text(), QString::number(DMQuorell->NrOfData));
    QCOMPARE(Main<TStringGrid>("StringGrid1")->RowCount(), DMQuorell->NrOfData);

    const QString input = QString::fromStdString(dir.File(name.toStdString() + ".inp"));
    program.Prompts.Paths = {input};
    f->findChild<QAction*>("InputSaveMenu")->trigger();
    QCOMPARE(program.Prompts.DialogsShown.last(), QString("InputSaveDialog"));
    const QString output = QString::fromStdString(ChangeFileExt(input.toStdString(), ".out"));
    QCOMPARE(program.Prompts.Messages, QStringList{"The input is saved in " + input + " ;" +
                                                   " Calculations were done and the output is saved in  " + output});
    QVERIFY(LinesBut(input, 7) == LinesBut(RewrittenGolden(dir, name), 7));
    QVERIFY(LinesBut(output, 5) == LinesBut(Golden(qPrintable(name + ".out")), 5));

    QCOMPARE(Main<QTabWidget>("PageControl1")->currentWidget(), Main<QWidget>("OutputTabSheet"));
    QCOMPARE(Main<QPlainTextEdit>("OutputMemo")->toPlainText().split('\n').size(), DMQuorell->OutputLineCount);
    QVERIFY(Main<QPlainTextEdit>("OutputMemo")->toPlainText().startsWith("RESULTS OF Tolvane PROGRAM"));
    QVERIFY(f->OutputOpened());
    QVERIFY(Main<QPushButton>("ViewGraphButton")->isVisible());
    QCOMPARE(QString::fromStdString(DMQuorell->FileName), output);
    QCOMPARE(QString::fromStdString(DMQuorell->ResultsFileName), output);
    QVERIFY(!Main<QPlainTextEdit>("WaitMemo")->isVisible());
    QCOMPARE(Main<QPlainTextEdit>("WaitMemo")->toPlainText(), QString(" Saving data .....\n Progress 25% ....\n Calculating .....\n"
                                                 " Progress 75% ....\n Filing results .."));
    // The next dialog starts in the folder of this run.
    program.Prompts.Paths = {QString()};
    Main<QAction>("InputOpenAction")->trigger();
    QCOMPARE(program.Prompts.DialogsShown.last(), QString("InputOpenDialog"));
    QCOMPARE(program.Prompts.LastDialog.InitialDir, dir.Path.string().c_str());
  }

};

TOLVANE_UI_TEST_NEEDING_SHARED_DATA(TGoldenTest)
#include "ui_test_golden.moc"
