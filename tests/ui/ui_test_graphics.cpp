// The Graphics tab: the panel by kind of output file, every graph drawn as
// the batch tool draws it, saving and opening bitmaps.
#include <QProcess>
#include <filesystem>
#include <QTest>

#include "ui/rainform.h"
#include "ui/ui_support.h"

namespace {


// "Make graph" on an output file.
void MakeGraph(TProgram& program, const QString& path) {
  Main<QTabWidget>("PageControl1")->setCurrentWidget(Main<QWidget>("GraphicsTabSheet"));
  program.Prompts.Paths = {path};
  Main<QPushButton>("MakeGraphButton")->click();
}

QByteArray BatchBitmap(const TScratchDir& dir, const QString& output, int kind,
                       const char* extension = ".bmp") {
  const QString bitmap = QString::fromStdString(dir.File("batch" + std::to_string(kind) + extension));
  QProcess batch;
  batch.start(TOLVANE_BATCH, {"graph", output, "--kind", QString::number(kind), "-o", bitmap});
  batch.waitForFinished(30000);
  return QByteArray::fromStdString(ReadFileBytes(bitmap.toStdString()));
}

}  // namespace

class TGraphicsTest : public QObject {
  Q_OBJECT

private slots:
  void thePanelFitsTheKindOfOutputFile() {
    TProgram program;
    auto* f = RainForm;
    Main<QTabWidget>("PageControl1")->setCurrentWidget(Main<QWidget>("GraphicsTabSheet"));
    QVERIFY(!Main<QFrame>("Panel1")->isVisible() && !Main<QFrame>("Panel2")->isVisible());
    QVERIFY(!Main<QPushButton>("SelectButton")->isEnabled());
    QVERIFY(f->StatusText().startsWith("Graphics presentations of output data can be seen and saved."));
    MakeGraph(program, Example("determine_daily.out"));
    QVERIFY(Main<QFrame>("Panel1")->isVisible());
    QVERIFY(!Main<QFrame>("Panel2")->isVisible());
    QCOMPARE(f->StatusText(), QString("The output file can be imported into spreadsheets"));
    MakeGraph(program, Example("predict_daily.out"));
    QVERIFY(!Main<QFrame>("Panel1")->isVisible());
    QVERIFY(Main<QFrame>("Panel2")->isVisible());
    QVERIFY(f->OutputOpened());
  }

  void everyGraphIsTheBatchToolsGraph_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("radio");
    QTest::addColumn<int>("kind");
    QTest::newRow("runoff") << "determine_daily.out" << "RunoffRadioButton" << 1;
    QTest::newRow("recharge") << "determine_daily.out" << "RechRadioButton" << 3;
    QTest::newRow("observed-calculated") << "determine_daily.out" << "CalcObsRadioButton" << 7;
    QTest::newRow("predicted runoff") << "predict_daily.out" << "RadioButton1" << 2;
    QTest::newRow("predicted recharge") << "predict_daily.out" << "RadioButton2" << 4;
  }

  void everyGraphIsTheBatchToolsGraph() {
    QFETCH(QString, file);
    QFETCH(QString, radio);
    QFETCH(int, kind);
    TProgram program;
    TScratchDir dir;
    auto* f = RainForm;
    MakeGraph(program, Example(file));
    f->findChild<QRadioButton*>(radio)->setChecked(true);
    (kind == 2 || kind == 4 ? Main<QPushButton>("GoButton2") : Main<QPushButton>("GoButton1"))->click();
    QCOMPARE(int(f->GraphKind()), kind);
    QVERIFY(Main<QLabel>("GraphImage")->isVisible());
    QVERIFY(!Main<QFrame>("Panel1")->isVisible() && !Main<QFrame>("Panel2")->isVisible());
    QVERIFY(Main<QPushButton>("SelectButton")->isEnabled());
    QVERIFY(Main<QAction>("GraphSaveAction")->isEnabled());
    QVERIFY(Main<QPushButton>("SaveGraphButton")->isEnabled());

    const QString saved = QString::fromStdString(dir.File("graph"));
    program.Prompts.Paths = {saved};
    Main<QPushButton>("SaveGraphButton")->click();
    QCOMPARE(program.Prompts.Messages.last(), "The graph was saved in  " + saved + ".bmp");
    QCOMPARE(QByteArray::fromStdString(ReadFileBytes(dir.File("graph.bmp"))),
             BatchBitmap(dir, Example(file), kind));
    // The same graph as PNG (the bitmap's pixels) and as SVG (the batch
    // tool's drawing).
    program.Prompts.Paths = {saved + ".png"};
    Main<QAction>("GraphSaveAction")->trigger();
    QCOMPARE(program.Prompts.Messages.last(), "The graph was saved in  " + saved + ".png");
    const QImage png(saved + ".png");
    QCOMPARE(png.convertToFormat(QImage::Format_RGB32),
             QImage(saved + ".bmp").convertToFormat(QImage::Format_RGB32));
    program.Prompts.Paths = {saved + ".svg"};
    Main<QAction>("GraphSaveAction")->trigger();
    QCOMPARE(QByteArray::fromStdString(ReadFileBytes(dir.File("graph.svg"))),
             BatchBitmap(dir, Example(file), kind, ".svg"));
    program.Prompts.Paths = {saved + ".jpg"};
    Main<QAction>("GraphSaveAction")->trigger();
    QCOMPARE(program.Prompts.Messages.last(),
             "The graph was not saved: the file \"" + saved + ".jpg\" must end in .bmp, .png or .svg");
    // A PNG opens as a bitmap does.
    program.Prompts.Paths = {saved + ".png"};
    Main<QAction>("GraphOpenAction")->trigger();
    QVERIFY(Main<QLabel>("PictureImage")->isVisible());
    QCOMPARE(Main<QLabel>("PictureImage")->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
             png.convertToFormat(QImage::Format_RGB32));
    MakeGraph(program, Example(file));
    f->findChild<QRadioButton*>(radio)->setChecked(true);
    (kind == 2 || kind == 4 ? Main<QPushButton>("GoButton2") : Main<QPushButton>("GoButton1"))->click();

    Main<QPushButton>("SelectButton")->click();
    QVERIFY(!Main<QLabel>("GraphImage")->isVisible());
    QVERIFY(!Main<QPushButton>("SelectButton")->isEnabled());
    QVERIFY(!Main<QAction>("GraphSaveAction")->isEnabled());
    QVERIFY(Main<QFrame>("Panel1")->isVisible() || Main<QFrame>("Panel2")->isVisible());
  }

  // The table of the output file on the Output tab, for the system's
  // spreadsheets: a decimal comma system gets semicolons.
  void exportTableWritesTheOutputFilesTable_data() {
    QTest::addColumn<char>("separator");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("second");
    QTest::newRow("point") << '.' << "serial,time,rain,recharge,runoff_measured,runoff_calculated"
                           << "1,1.00,";
    QTest::newRow("comma") << ',' << "serial;time;rain;recharge;runoff_measured;runoff_calculated"
                           << "1;1,00;";
  }

  void exportTableWritesTheOutputFilesTable() {
    QFETCH(char, separator);
    QFETCH(QString, header);
    QFETCH(QString, second);
    TProgram program;
    TScratchDir dir;
    const char saved = TRainForm::StartSeparator;
    TRainForm::StartSeparator = separator;
    Main<QAction>("ExportTableAction")->trigger();
    QCOMPARE(program.Prompts.Messages.last(),
             QString("There is no output file to export: open one with \"Open Output\" or make one "
                     "with \"Save/Run\""));
    program.Prompts.Paths = {Example("determine_daily.out")};
    Main<QAction>("OutputOpenAction")->trigger();
    const QString table = QString::fromStdString(dir.File("table"));
    program.Prompts.Paths = {table};
    Main<QAction>("ExportTableAction")->trigger();
    TRainForm::StartSeparator = saved;
    QCOMPARE(program.Prompts.Messages.last(), "The table of the output file is saved in " + table + ".csv");
    const auto lines = SplitCrLfLines(ReadFileBytes(dir.File("table.csv")));
    QVERIFY(lines.size() > 2);
    QCOMPARE(QString::fromStdString(lines[0]), header);
    QVERIFY2(QString::fromStdString(lines[1]).startsWith(second), lines[1].c_str());
    // The batch tool's table of the same file, in the same style.
    QProcess batch;
    QStringList args{"table", Example("determine_daily.out"), "-o",
                     QString::fromStdString(dir.File("batch.csv"))};
    if (separator == ',') args << "--european";
    batch.start(TOLVANE_BATCH, args);
    QVERIFY(batch.waitForFinished(30000));
    QCOMPARE(ReadFileBytes(dir.File("table.csv")), ReadFileBytes(dir.File("batch.csv")));
  }

  void goWithNothingCheckedDoesNothing() {
    TProgram program;
    auto* f = RainForm;
    MakeGraph(program, Example("determine_daily.out"));
    for (QRadioButton* radio : {Main<QRadioButton>("RunoffRadioButton"), Main<QRadioButton>("RechRadioButton"), Main<QRadioButton>("CalcObsRadioButton")}) {
      radio->setAutoExclusive(false);
      radio->setChecked(false);
    }
    Main<QPushButton>("GoButton1")->click();
    QVERIFY(Main<QFrame>("Panel1")->isVisible());
    QVERIFY(!Main<QLabel>("GraphImage")->isVisible());
    QCOMPARE(int(f->GraphKind()), 0);
  }

  void savingOverAFileAsksFirst() {
    TProgram program;
    TScratchDir dir;
    MakeGraph(program, Example("determine_daily.out"));
    Main<QPushButton>("GoButton1")->click();
    const std::string path = dir.File("old.bmp");
    WriteFileBytes(path, "old");
    program.Prompts.Paths = {QString::fromStdString(path)};
    program.Prompts.Answers = {false};
    Main<QAction>("GraphSaveAction")->trigger();
    QCOMPARE(program.Prompts.Questions, QStringList{"The file already exists, overwrite?"});
    QVERIFY(program.Prompts.Messages.isEmpty());
    QCOMPARE(ReadFileBytes(path), std::string("old"));
    program.Prompts.Paths = {QString::fromStdString(path)};
    program.Prompts.Answers = {true};
    Main<QAction>("GraphSaveAction")->trigger();
    QCOMPARE(program.Prompts.Messages, QStringList{"The graph was saved in  " + QString::fromStdString(path)});
    QCOMPARE(QImage(QString::fromStdString(path)).size(), QSize(623, 465));
    program.Prompts.Paths = {""};
    Main<QAction>("GraphSaveAction")->trigger();
    QCOMPARE(program.Prompts.Messages.last(), QString("The graph was not saved"));
    // A folder cannot take the bitmap: told so, not reported saved.
    std::filesystem::create_directory(dir.File("folder.bmp"));
    program.Prompts.Paths = {QString::fromStdString(dir.File("folder.bmp"))};
    program.Prompts.Answers = {true};
    Main<QAction>("GraphSaveAction")->trigger();
    QVERIFY(program.Prompts.Messages.last().startsWith("The graph could not be saved in"));
  }

  void anOpenedGraphStandsAlone() {
    TProgram program;
    TScratchDir dir;
    auto* f = RainForm;
    MakeGraph(program, Example("determine_daily.out"));
    Main<QPushButton>("GoButton1")->click();
    program.Prompts.Paths = {QString::fromStdString(dir.File("kept.bmp"))};
    Main<QAction>("GraphSaveAction")->trigger();

    Main<QTabWidget>("PageControl1")->setCurrentWidget(Main<QWidget>("IntroTabSheet"));
    program.Prompts.Paths = {QString::fromStdString(dir.File("kept"))};
    f->findChild<QAction*>("GraphOpenMenu")->trigger();
    QCOMPARE(Main<QTabWidget>("PageControl1")->currentWidget(), Main<QWidget>("GraphicsTabSheet"));
    QVERIFY(Main<QLabel>("PictureImage")->isVisible());
    QCOMPARE(Main<QLabel>("PictureImage")->pixmap().size(), QSize(623, 465));
    QVERIFY(!Main<QLabel>("GraphImage")->isVisible());
    QVERIFY(!Main<QFrame>("Panel1")->isVisible() && !Main<QFrame>("Panel2")->isVisible());
    QVERIFY(!Main<QAction>("GraphSaveAction")->isEnabled());

    program.Prompts.Paths = {""};
    Main<QPushButton>("SeeGraphButton")->click();
    QCOMPARE(program.Prompts.Messages.last(), QString("No graphics file selected"));
    program.Prompts.Paths = {QString::fromStdString(dir.File("none.bmp"))};
    Main<QPushButton>("SeeGraphButton")->click();
    QCOMPARE(program.Prompts.Messages.last(), QString("File does not exist, please select another one"));
  }

  void viewGraphLeadsFromTheOutputTab() {
    TProgram program;
    auto* f = RainForm;
    Main<QTabWidget>("PageControl1")->setCurrentWidget(Main<QWidget>("OutputTabSheet"));
    program.Prompts.Paths = {Example("determine_hourly.out")};
    Main<QPushButton>("SeeOutputButton")->click();
    QVERIFY(!f->GraphsEnabled());
    Main<QPushButton>("ViewGraphButton")->click();
    QCOMPARE(Main<QTabWidget>("PageControl1")->currentWidget(), Main<QWidget>("GraphicsTabSheet"));
    QVERIFY(Main<QFrame>("Panel1")->isVisible());
    Main<QPushButton>("GoButton1")->click();
    QVERIFY(Main<QLabel>("GraphImage")->isVisible());
    // Any other tab takes the saving away.
    Main<QTabWidget>("PageControl1")->setCurrentWidget(Main<QWidget>("FigureTabSheet"));
    Main<QTabWidget>("PageControl1")->setCurrentWidget(Main<QWidget>("OutputTabSheet"));
    QVERIFY(!Main<QAction>("GraphSaveAction")->isEnabled());
  }

  void makeGraphOnAFileThatIsNotThere() {
    TProgram program;
    MakeGraph(program, Example("determine_daily.out"));
    const QString lines = Main<QPlainTextEdit>("OutputMemo")->toPlainText();
    MakeGraph(program, "/nonexistent/gone.out");
    QCOMPARE(program.Prompts.Messages.first(), QString("File does not exist, please select another one,"));
    QVERIFY(program.Prompts.Messages.last().contains("could not be opened"));
    QCOMPARE(DMQuorell->ResultsFileName, std::string("/nonexistent/gone.out"));
    QCOMPARE(Main<QPlainTextEdit>("OutputMemo")->toPlainText(), lines);
    QVERIFY(Main<QFrame>("Panel1")->isVisible());  // the tag read before
  }
};

TOLVANE_UI_TEST(TGraphicsTest)
#include "ui_test_graphics.moc"
