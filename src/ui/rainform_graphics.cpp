// The Graphics tab: graphs of an output file, drawn by the same canvas as
// the batch tool, saved as bitmaps and opened again.
#include <QImageReader>

#include "files/filepaths.h"
#include "files/outputlayout.h"
#include "graphs/graphdraw.h"
#include "graphs/graphscale.h"
#include "render/fonts.h"
#include "render/graphfile.h"
#include "ui/application.h"
#include "ui/rainform.h"

namespace {

QRadioButton* MakeRadio(QWidget* parent, const char* name, const char* caption, int left, int top,
                        int width) {
  auto* radio = Place(new QRadioButton(caption, parent), left, top, width, 20);
  radio->setObjectName(name);
  return radio;
}

QPushButton* MakeGoButton(QWidget* parent, const char* name, int left, int top) {
  auto* go = MakeButton(parent, name, "Go", left, top, 49, 25);
  QFont bold = go->font();
  bold.setBold(true);
  go->setFont(bold);
  return go;
}

QFrame* MakePanel(QWidget* parent, const char* name, int left, int top, int width, int height) {
  auto* panel = Place(new QFrame(parent), left, top, width, height);
  panel->setObjectName(name);
  panel->setAccessibleName("Panel1");  // the caption both panels were given
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel->setAutoFillBackground(true);
  return panel;
}

}  // namespace

void TRainForm::CreateGraphicsTab() {
  QWidget* page = GraphicsTabSheet;
  page->setFont(PixelFont("Tahoma", 13));
  GraphImage = Place(new QLabel(page), 16, 0, 623, 465);
  GraphImage->setObjectName("GraphImage");
  GraphImage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  GraphImage->setAccessibleName("Graph");
  GraphImage->hide();
  PictureImage = Place(new QLabel(page), 32, 8, 609, 449);
  PictureImage->setObjectName("PictureImage");
  // Shown unscaled from its top-left corner; a larger picture is cut off.
  PictureImage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  PictureImage->setAccessibleName("Opened graph");
  PictureImage->hide();

  SeeGraphButton = MakeButton(page, "SeeGraphButton", "Open graph", 551, 479, 89, 25);
  MakeGraphButton = MakeButton(page, "MakeGraphButton", "Make graph", 447, 479, 89, 25);
  SaveGraphButton = MakeButton(page, "SaveGraphButton", "Save graph", 343, 479, 89, 25);
  BindButton(SeeGraphButton, GraphOpenAction);
  BindButton(MakeGraphButton, OutputOpenForGraphics);
  BindButton(SaveGraphButton, GraphSaveAction);
  SelectButton = MakeButton(page, "SelectButton", "Select graph", 232, 479, 91, 25);
  SelectButton->setEnabled(false);
  connect(SelectButton, &QPushButton::clicked, this, GuardedSlot(&TRainForm::SelectButtonClick));

  Panel1 = MakePanel(page, "Panel1", 176, 112, 225, 153);
  RadioGroup1 = Place(new TGroupBox("Select graph", Panel1), 8, 8, 153, 129);
  RadioGroup1->setObjectName("RadioGroup1");
  RunoffRadioButton = MakeRadio(RadioGroup1, "RunoffRadioButton", "Runoff in time", 10, 28, 138);
  RechRadioButton = MakeRadio(RadioGroup1, "RechRadioButton", "Rain/Recharge", 10, 60, 138);
  CalcObsRadioButton = MakeRadio(RadioGroup1, "CalcObsRadioButton", "Observed-calculated", 10, 92, 138);
  RunoffRadioButton->setChecked(true);
  GoButton1 = MakeGoButton(Panel1, "GoButton1", 160, 80);

  Panel2 = MakePanel(page, "Panel2", 208, 144, 209, 113);
  RadioGroup2 = Place(new TGroupBox("Select graph", Panel2), 16, 8, 137, 97);
  RadioGroup2->setObjectName("RadioGroup2");
  RadioButton1 = MakeRadio(RadioGroup2, "RadioButton1", "Runoff in time", 10, 30, 122);
  RadioButton2 = MakeRadio(RadioGroup2, "RadioButton2", "Rain/Recharge", 10, 62, 122);
  RadioButton1->setChecked(true);
  GoButton2 = MakeGoButton(Panel2, "GoButton2", 152, 48);

  // Tab goes along the buttons from left to right.
  setTabOrder(SelectButton, SaveGraphButton);
  setTabOrder(SaveGraphButton, MakeGraphButton);
  setTabOrder(MakeGraphButton, SeeGraphButton);
  connect(GoButton1, &QPushButton::clicked, this, GuardedSlot(&TRainForm::GoButton1Click));
  connect(GoButton2, &QPushButton::clicked, this, GuardedSlot(&TRainForm::GoButton2Click));
}

void TRainForm::GraphicsTabSheetShow() {
  SetStatus("Graphics presentations of output data can be seen and saved. Use \"Make graph\" to open "
            "an output file and make the graphs.");
  InputSaveAction->setEnabled(false);
  GraphImage->hide();
  PictureImage->hide();
  ShowGraphicsTab();
}

void TRainForm::ShowGraphicsTab() {
  auto& dm = *DMQuorell;
  GraphSaveAction->setEnabled(false);
  if (FGraphsEnabled) {
    dm.ReadResultsHead();
    const bool reconstruction =
        dm.ResultsTag == OutputLayout::SectionTag(OutputLayout::ReconstructionSection);
    Panel1->setVisible(reconstruction);
    Panel2->setVisible(!reconstruction);
  } else {
    Panel1->hide();
    Panel2->hide();
    SelectButton->setEnabled(false);
  }
}

void TRainForm::OutputOpenForGraphicsExecute() {
  auto& dm = *DMQuorell;
  const QString path = ExecuteFileDialog(OutputOpenDialog);
  if (path.isEmpty()) {
    Prompts().ShowMessage("No output file selected");
    return;
  }
  dm.FileName = path.toStdString();
  if (FileExists(dm.FileName)) {
    dm.LoadOutputLines(dm.FileName);
  } else {
    Prompts().ShowMessage("File does not exist, please select another one,");
  }
  ShowOutputFile();
  GraphImage->hide();
  PictureImage->hide();
  FGraphsEnabled = true;
  ShowGraphicsTab();
}

void TRainForm::GoButton1Click() {
  DrawCheckedGraph({{RunoffRadioButton, TGraphKind::RunoffDetermination},
                    {RechRadioButton, TGraphKind::RechargeDetermination},
                    {CalcObsRadioButton, TGraphKind::ObservedCalculated}});
}

void TRainForm::GoButton2Click() {
  DrawCheckedGraph(
      {{RadioButton1, TGraphKind::RunoffPrediction}, {RadioButton2, TGraphKind::RechargePrediction}});
}

void TRainForm::DrawCheckedGraph(
    std::initializer_list<std::pair<QRadioButton*, TGraphKind>> choices) {
  for (const auto& [radio, kind] : choices) {
    if (radio->isChecked()) {
      FGraphKind = kind;
      DrawChosenGraph();
      return;
    }
  }
}

// Each Go reads the output file again for the graph chosen.
void TRainForm::DrawChosenGraph() {
  DMQuorell->ReadResultsForGraph(FGraphKind);
  Panel1->hide();
  Panel2->hide();
  SelectButton->setEnabled(true);
  ShowGraphics();
}

void TRainForm::ShowGraphics() {
  // Recorded, so that "Save graph" writes this very graph in any format.
  auto graph = std::make_unique<TGraphRecording>(NewGraphRecording());
  if (!::ShowGraphics(GraphState, *DMQuorell, FGraphKind, *graph)) {
    // Nothing was drawn (the user has been told why): nothing to show or
    // save; back to the choice of graphs.
    SelectButtonClick();
    return;
  }
  GraphImage->setPixmap(QPixmap::fromImage(::GraphImage(*graph, 1)));
  DrawnGraph = std::move(graph);
  GraphSaveAction->setEnabled(true);
  GraphImage->show();
}

void TRainForm::SelectButtonClick() {
  GraphImage->hide();
  SelectButton->setEnabled(false);
  ShowGraphicsTab();
}

void TRainForm::ViewGraphButtonClick() {
  FGraphsEnabled = true;
  SelectButton->setEnabled(false);
  PictureImage->hide();
  PageControl1->setCurrentWidget(GraphicsTabSheet);
}

void TRainForm::GraphSaveActionExecute() {
  if (!DrawnGraph) return;  // the action is there only once a graph is drawn
  const QString path = ExecuteFileDialog(GraphSaveDialog);
  if (path.isEmpty()) {
    Prompts().ShowMessage("The graph was not saved");
    return;
  }
  // The format by the extension; a name typed without one is a bitmap.
  const auto format = GraphFileFormatOf(path.toStdString());
  if (!format) {
    Prompts().ShowMessage("The graph was not saved: the file \"" + path + "\" must end in " +
                          GraphFileExtensions);
    return;
  }
  if (FileExists(path.toStdString()) && !DMQuorell->AskYesNo("The file already exists, overwrite?"))
    return;
  std::string error;
  if (!SaveGraph(*DrawnGraph, path.toStdString(), *format, 1, &error)) {
    Prompts().ShowMessage("The graph could not be saved in \"" + path + "\": " +
                          QString::fromStdString(error));
    return;
  }
  Prompts().ShowMessage("The graph was saved in  " + path);
  SetDialogFolders(FolderOf(path));
}

void TRainForm::GraphOpenActionExecute() {
  GraphSaveAction->setEnabled(false);
  Panel1->hide();
  Panel2->hide();
  SelectButton->setEnabled(false);
  const QString path = ChooseExistingFile(GraphOpenDialog, "No graphics file selected",
                                          "File does not exist, please select another one");
  if (path.isEmpty()) return;
  QImageReader reader(path);
  const QImage picture = reader.read();
  if (picture.isNull()) {
    Prompts().ShowMessage("The file \"" + path + "\" could not be shown: " + reader.errorString());
    return;
  }
  PictureImage->setPixmap(QPixmap::fromImage(picture));
  SetDialogFolders(FolderOf(path));
  GraphImage->hide();
  PageControl1->setCurrentWidget(GraphicsTabSheet);
  // Whatever the tab's show handler did, an opened picture stands alone.
  Panel1->hide();
  Panel2->hide();
  GraphSaveAction->setEnabled(false);
  PictureImage->show();
}
