// The main window: five tabs (Intro, Figure, Input, Output, Graphics), the
// menu, the actions shared by menu entries and buttons, and the five file
// dialogs. Its handlers are spread over one file per tab:
//   rainform.cpp           start-up, menu and actions, closing, Intro tab
//   rainform_input.cpp     the input sheet and its field checks
//   rainform_paste.cpp     blocks pasted into the grid
//   rainform_saverun.cpp   Save/Run, Open input, Open output, Output tab
//   rainform_graphics.cpp  the Graphics tab
//   rainform_calibrate.cpp the calibration window's entries and its results
#pragma once

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <utility>

#include "files/graphkind.h"
#include "graphs/graphrecording.h"
#include "sheet/fieldchecks.h"
#include "sheet/sheetseries.h"
#include "ui/baseform.h"
#include "ui/fieldexits.h"
#include "ui/prompts.h"
#include "ui/stringgrid.h"

// Where the main window goes on a screen of the given width, for a window
// designed at left and width.
struct TWindowPlacement {
  int Left = 0;
  int Width = 0;
};
TWindowPlacement MainWindowPlacement(int screenWidth, int designedWidth);

class TImportForm;

class TRainForm : public TBaseForm {
  Q_OBJECT
public:
  explicit TRainForm(QWidget* parent = nullptr);
  ~TRainForm() override;

  void PlaceForScreen(int screenWidth);
  // Every parameter field of the sheet checked as if it were left, and an
  // exit still pending run first: what the sheet shows is then what the
  // model holds.
  void CommitFields();
  // "Nr. of Data" shows how many points a determination read.
  void ShowPointsRead(int count);
  // The calculator's reaction factor, as text in the user's number
  // settings: the field check takes it when the field is next left.
  void TakeReactionFactor(const QString& text);
  // Length of each pause of Save/Run in milliseconds.
  void SetPauseMs(int ms) { FPauseMs = ms; }
  // The pre-reservoir parameters of the calibration window put into the
  // sheet's fields, each taken through the field's own check.
  void ApplyStoreParameters(const TStoreParameters& store);

  // What the window holds, for those who watch it.
  bool DataEntered() const { return FDataEntered; }
  bool OutputOpened() const { return FOutputOpened; }
  bool GraphsEnabled() const { return FGraphsEnabled; }
  bool SaveAborted() const { return FSaveAborted; }
  int SheetRows() const { return FSheetRows; }
  int KeptRows() const { return FKeptRows; }
  TGraphKind GraphKind() const { return FGraphKind; }

  // The decimal separator of the user's number settings at start-up.
  static char StartSeparator;

protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  // ---- Menu and actions
  QMenu* FileMenu;
  QMenu* EditMenu;
  QAction* EditCut1;
  QAction* EditCopy1;
  QAction* EditPaste1;
  QAction* EditDelete1;
  QAction* FileExit1;
  QAction* InputSaveAction;
  QAction* InputOpenAction;
  QAction* OutputOpenAction;
  QAction* GraphOpenAction;
  QAction* OutputOpenForGraphics;
  QAction* GraphSaveAction;
  QAction* ImportTableAction;
  QAction* ExportTableAction;
  QMenu* ToolsMenu;
  QAction* CalibrateAction;

  TFileDialogSpec InputOpenDialog;
  TFileDialogSpec InputSaveDialog;
  TFileDialogSpec OutputOpenDialog;
  TFileDialogSpec GraphOpenDialog;
  TFileDialogSpec GraphSaveDialog;
  TFileDialogSpec ExportTableDialog;

  QTabWidget* PageControl1;
  QWidget* IntroTabSheet;
  QWidget* FigureTabSheet;
  QWidget* InputTabSheet;
  QWidget* OutputTabSheet;
  QWidget* GraphicsTabSheet;

  // ---- Intro tab
  QPlainTextEdit* IntroMemo;
  QGroupBox* HelpGroupBox;
  QPushButton* FirstButton;
  QPushButton* SecondButton;
  QPlainTextEdit* FirstMemo;
  QPlainTextEdit* SecondMemo;
  QPushButton* BackButton;

  // ---- Figure tab
  QLabel* Reservoir_Image;

  // ---- Input tab
  QLabel* FileNameLabel;
  QLineEdit* FileNameEdit;
  QLabel* Title1Label;
  QLineEdit* Title1Edit;
  QLabel* Title2Label;
  QLineEdit* Title2Edit;
  QLabel* OptionLabel;
  QComboBox* OptionComboBox;
  QLabel* NrOfDataLabel;
  QLineEdit* NrOfDataEdit;
  QGroupBox* FirstGroupBox;
  QLabel* MaxStorLabel;
  QLineEdit* MaxStorEdit;
  QLabel* InitStorLabel;
  QLineEdit* InitStorEdit;
  QLabel* EscapeLabel;
  QLineEdit* EscapeEdit;
  QLabel* TimeLabel;
  QLabel* RainLabel;
  QLabel* RunoffLabel;
  TStringGrid* StringGrid1;
  QLabel* InitRunLabel;
  QLineEdit* InitRunEdit;
  QGroupBox* AlphaGroupBox;
  QLabel* ALabel;
  QLineEdit* AcoeffEdit;
  QPushButton* AlfaButton;
  QLabel* BLabel;
  QComboBox* ComboBox1;
  QLabel* InputImage;
  QPlainTextEdit* WaitMemo;
  QPushButton* ClearButton;
  QPushButton* HelpButton;
  QPushButton* InputSaveButton;
  QPushButton* InputOpenButton;
  QPushButton* CalibrateButton;

  // ---- Output tab
  QPlainTextEdit* OutputMemo;
  QPushButton* ViewGraphButton;
  QPushButton* SeeOutputButton;
  QLabel* RunCriteriaLabel;  // NSE, KGE and volume error of the last determination run

  // ---- Graphics tab
  QLabel* GraphImage;
  QLabel* PictureImage;
  QPushButton* SeeGraphButton;
  QPushButton* MakeGraphButton;
  QPushButton* SaveGraphButton;
  QPushButton* SelectButton;
  QFrame* Panel1;
  QGroupBox* RadioGroup1;
  QRadioButton* RunoffRadioButton;
  QRadioButton* RechRadioButton;
  QRadioButton* CalcObsRadioButton;
  QPushButton* GoButton1;
  QFrame* Panel2;
  QGroupBox* RadioGroup2;
  QRadioButton* RadioButton1;
  QRadioButton* RadioButton2;
  QPushButton* GoButton2;

  // ---- Window state
  bool FSaveAborted = false;
  bool FDataEntered = false;
  bool FOutputOpened = false;
  bool FGraphsEnabled = false;
  bool Pasting = false;
  int FSheetRows = 0;
  int FKeptRows = 0;
  TGraphKind FGraphKind{};  // 0 until a graph is chosen
  // The graph last drawn, as "Save graph" writes it.
  std::unique_ptr<TGraphRecording> DrawnGraph;
  // Length of each pause of Save/Run in milliseconds.
  int FPauseMs = 500;

  // ---- Start-up and closing
  void SetDialogFolders(const QString& folder);
  void FileExit1Execute();

  // ---- Intro tab
  void IntroTabSheetShow();
  void FirstButtonClick();
  void SecondButtonClick();
  void BackButtonClick();

  // ---- Input sheet
  void InputTabSheetShow();
  void FillSheet();
  void ApplyLayout(bool analysis);
  void OptionComboBoxChange();
  void OptionComboBoxExit();
  void NrOfDataEditExit();
  void MaxStorEditExit();
  void InitStorEditExit();
  void EscapeEditExit();
  void AcoeffEditExit();
  void InitRunEditExit();
  void ComboBox1Exit();
  void StringGrid1SetEditText(int col, int row, const QString& text);
  void ClearButtonClick();
  void HelpButtonClick();
  void AlfaButtonClick();

  // ---- Pasting: false when a cell of the pasted sheet cannot be read.
  bool HandlePasteMultiCell(int startCol, const QString& text, int startRow);

  // ---- Save/Run and the file actions
  void InputSaveActionExecute();
  // The sheet gathered into into as Save/Run writes it; empty, with Save/Run's
  // message shown, when Save/Run would refuse it.
  std::optional<TGatherResult> GatherForSave(TDMQuorell& into, int n);
  bool ChooseInputFile();
  void RunOption();
  void InputOpenActionExecute();
  void ImportTableActionExecute();
  void ExportTableActionExecute();
  void ApplyImportedTable(const TImportForm& form);
  void OutputOpenActionExecute();
  void OutputTabSheetShow();

  // ---- Graphics tab
  void GraphicsTabSheetShow();
  void ShowGraphicsTab();
  void OutputOpenForGraphicsExecute();
  void GoButton1Click();
  void GoButton2Click();
  void ShowGraphics();
  void SelectButtonClick();
  void ViewGraphButtonClick();
  void GraphSaveActionExecute();
  void GraphOpenActionExecute();

  // ---- Calibration (rainform_calibrate.cpp)
  void CreateCalibration();
  void CalibrateActionExecute();
  // The criteria of the determination just run on the Output tab; an empty
  // line for anything else shown there.
  void ShowRunCriteria(bool determinationRun);
  QPointer<QWidget> CalibrationWindow;
  // The evaporation of an imported table's points by time, kept beside the
  // sheet for the calibration window (the input file has no place for it);
  // another file or option clears it, and points whose times no longer
  // match it are calibrated without it.
  struct TImportedPet {
    std::vector<double> Times, Values;
    std::string Column;
  } ImportedPet;

  void CreateMenuAndActions();
  void CreateIntroTab();
  void CreateFigureTab();
  void CreateInputTab();
  void CreateOutputTab();
  void CreateGraphicsTab();
  void FormCreate();

  QAction* MakeAction(const char* name, const QString& caption, void (TRainForm::*execute)());
  void AddMenuEntry(QMenu* menu, const char* name, QAction* action, const QString& caption = {});
  void BindButton(QPushButton* button, QAction* action);
  void RunEditAction(QAction* action);
  void UpdateEditActions();
  void FocusChanged(QWidget* old, QWidget* now);
  void CheckParameterField(QLineEdit* edit, TSheetField field);
  void SelectOption(int index);
  void ShowIntroMemo(QPlainTextEdit* shown);
  // The output file named by FileName on the Output tab, chosen for graphs.
  void ShowOutputFile();
  void EndFailedRun();
  void DrawChosenGraph();
  // The file chosen in an open dialog, or empty when the user cancelled
  // (told with cancelled) or chose a file that is not there (told with
  // missing).
  QString ChooseExistingFile(const TFileDialogSpec& dialog, const char* cancelled,
                             const char* missing = "File does not exist, please select another one,");
  // A slot that runs the handler under the general error handling.
  std::function<void()> GuardedSlot(void (TRainForm::*handler)());
  // Draws the graph of the checked radio button, if any.
  void DrawCheckedGraph(std::initializer_list<std::pair<QRadioButton*, TGraphKind>> choices);
  void ShowOutputLines();
  void AddWaitText(const QString& text);
  void Pause();

  TFieldExits* FieldExits;
  QPointer<QWidget> EditTarget;  // the text control the edit actions work on
  QMetaObject::Connection SelectionWatch;  // its selection changes update the edit actions
};

extern TRainForm* RainForm;

// The folder a file lies in: the dialogs start there next time.
QString FolderOf(const QString& path);

// A side window of the main window (the help, the calculator): Escape
// closes it, and closed it hands the keyboard back to the main window;
// where no window manager draws a close box or passes the focus on, the
// program does.
void MakeSideWindow(QWidget* window);
