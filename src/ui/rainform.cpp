#include "ui/rainform.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QShortcut>

#include "graphs/graphscale.h"
#include "graphs/graphdraw.h"
#include "render/fonts.h"
#include "ui/application.h"
#include "ui/finishform.h"
#include "ui/menufocus.h"
#include "ui/pictures.h"
#include "ui/texts.h"

TRainForm* RainForm = nullptr;
char TRainForm::StartSeparator = '.';

TWindowPlacement MainWindowPlacement(int screenWidth, int designedWidth) {
  TWindowPlacement placement{100, designedWidth};
  if (screenWidth > 675) {
    placement.Width = 675;
  } else if (screenWidth < designedWidth) {
    placement.Left = 10;
    placement.Width = screenWidth - 10;
  }
  return placement;
}

TRainForm::TRainForm(QWidget* parent) : TBaseForm(parent) {
  setObjectName("RainForm");
  setWindowTitle("Nash cascade runoff model");
  setFont(PixelFont("MS Sans Serif", 16));
  setGeometry(178, 33, 666, 613);
  FieldExits = new TFieldExits(this);
  new TMenuFocusKeeper(this);

  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName("PageControl1");
  setCentralWidget(PageControl1);
  auto addPage = [this](QWidget*& page, const char* name, const char* caption) {
    page = new QWidget;
    page->setObjectName(name);
    page->installEventFilter(this);
    PageControl1->addTab(page, caption);
  };
  addPage(IntroTabSheet, "IntroTabSheet", "  Intro  ");
  addPage(FigureTabSheet, "FigureTabSheet", " Figure ");
  addPage(InputTabSheet, "InputTabSheet", "  Input  ");
  addPage(OutputTabSheet, "OutputTabSheet", "  Output  ");
  addPage(GraphicsTabSheet, "GraphicsTabSheet", " Graphics ");

  CreateMenuAndActions();
  CreateIntroTab();
  CreateFigureTab();
  CreateInputTab();
  CreateOutputTab();
  CreateGraphicsTab();
  CreateCalibration();
  FormCreate();

  connect(qApp, &QApplication::focusChanged, this, &TRainForm::FocusChanged);
  connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &TRainForm::UpdateEditActions);
}

TRainForm::~TRainForm() {
  // The focus moves while the widgets go; nothing of it is ours any more.
  disconnect(qApp, nullptr, this, nullptr);
  disconnect(QApplication::clipboard(), nullptr, this, nullptr);
}

// ---- Menu and actions

QAction* TRainForm::MakeAction(const char* name, const QString& caption,
                               void (TRainForm::*execute)()) {
  auto* action = new QAction(caption, this);
  action->setObjectName(name);
  addAction(action);
  connect(action, &QAction::triggered, this, GuardedSlot(execute));
  return action;
}

std::function<void()> TRainForm::GuardedSlot(void (TRainForm::*handler)()) {
  return [this, handler] { Guarded([&] { (this->*handler)(); }); };
}

// A menu entry of its own name that executes the action and follows its
// enabled state; the caption is the action's unless given.
void TRainForm::AddMenuEntry(QMenu* menu, const char* name, QAction* action, const QString& caption) {
  auto* entry = menu->addAction(caption.isEmpty() ? action->text() : caption);
  entry->setObjectName(name);
  entry->setShortcut(action->shortcut());
  entry->setShortcutContext(Qt::WidgetShortcut);  // the action itself holds the shortcut
  entry->setStatusTip(action->statusTip());
  entry->setEnabled(action->isEnabled());
  connect(entry, &QAction::triggered, action, &QAction::trigger);
  connect(action, &QAction::enabledChanged, entry, &QAction::setEnabled);
}

void TRainForm::BindButton(QPushButton* button, QAction* action) {
  button->setEnabled(action->isEnabled());
  connect(button, &QPushButton::clicked, action, &QAction::trigger);
  connect(action, &QAction::enabledChanged, button, &QPushButton::setEnabled);
}

void TRainForm::CreateMenuAndActions() {
  auto standard = [this](const char* name, const QString& caption, const QKeySequence& key,
                         const QString& hint) {
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    action->setShortcut(key);
    const auto parts = hint.split('|');
    action->setToolTip(parts.value(0));
    action->setStatusTip(parts.value(1));
    addAction(action);
    connect(action, &QAction::triggered, this, [this, action] { RunEditAction(action); });
    return action;
  };
  EditCut1 = standard("EditCut1", "Cu&t", QKeySequence("Ctrl+X"),
                      "Cut|Cuts the selection and puts it on the Clipboard");
  EditCopy1 = standard("EditCopy1", "&Copy", QKeySequence("Ctrl+C"),
                       "Copy|Copies the selection and puts it on the Clipboard");
  EditPaste1 = standard("EditPaste1", "&Paste", QKeySequence("Ctrl+V"), "Paste|Inserts Clipboard contents");
  EditDelete1 = standard("EditDelete1", "&Delete", QKeySequence(Qt::Key_Delete),
                         "Delete|Erases the selection");
  FileExit1 = MakeAction("FileExit1", "E&xit", &TRainForm::FileExit1Execute);
  FileExit1->setToolTip("Exit");
  FileExit1->setStatusTip("Quits the application");
  InputSaveAction = MakeAction("InputSaveAction", "Save i&Nput", &TRainForm::InputSaveActionExecute);
  InputOpenAction = MakeAction("InputOpenAction", "Open &Input", &TRainForm::InputOpenActionExecute);
  OutputOpenAction = MakeAction("OutputOpenAction", "Open &Output", &TRainForm::OutputOpenActionExecute);
  GraphOpenAction = MakeAction("GraphOpenAction", "Open &Graph", &TRainForm::GraphOpenActionExecute);
  OutputOpenForGraphics =
      MakeAction("OutputOpenForGraphics", "Open &Graph", &TRainForm::OutputOpenForGraphicsExecute);
  GraphSaveAction = MakeAction("GraphSaveAction", "Save g&Raph", &TRainForm::GraphSaveActionExecute);
  ImportTableAction =
      MakeAction("ImportTableAction", "Import &table ...", &TRainForm::ImportTableActionExecute);
  ImportTableAction->setStatusTip("Reads a table of a spreadsheet (CSV) into the sheet");
  ExportTableAction =
      MakeAction("ExportTableAction", "&Export table ...", &TRainForm::ExportTableActionExecute);
  ExportTableAction->setStatusTip("Writes the table of the output file as CSV for spreadsheets");

  auto* bar = new QMenuBar(this);
  bar->setObjectName("MainMenu1");
  setMenuBar(bar);
  FileMenu = bar->addMenu("&File");
  FileMenu->setObjectName("FileMenu");
  AddMenuEntry(FileMenu, "InputOpenMenu", InputOpenAction);
  AddMenuEntry(FileMenu, "OutputOpenMenu", OutputOpenAction);
  AddMenuEntry(FileMenu, "GraphOpenMenu", GraphOpenAction);
  AddMenuEntry(FileMenu, "InputSaveMenu", InputSaveAction);
  AddMenuEntry(FileMenu, "Savegraph", GraphSaveAction);
  // Ours, below the designed entries: the action itself is the entry.
  FileMenu->addSeparator();
  FileMenu->addAction(ImportTableAction);
  FileMenu->addAction(ExportTableAction);
  FileMenu->addSeparator();
  AddMenuEntry(FileMenu, "ProgramExit", FileExit1, "Program e&Xit");
  EditMenu = bar->addMenu("&Edit");
  EditMenu->setObjectName("EditMenu");
  AddMenuEntry(EditMenu, "Copy", EditCopy1);
  AddMenuEntry(EditMenu, "Cut", EditCut1);
  AddMenuEntry(EditMenu, "Paste", EditPaste1);
  connect(EditMenu, &QMenu::aboutToShow, this, &TRainForm::UpdateEditActions);

  auto dialog = [](const char* name, bool save, const char* ext, const char* filter) {
    TFileDialogSpec spec;
    spec.Name = name;
    spec.Save = save;
    spec.DefaultExt = ext;
    spec.Filter = filter;
    return spec;
  };
  InputOpenDialog = dialog("InputOpenDialog", false, "inp", "Input files (*.inp)|*.inp");
  InputSaveDialog = dialog("InputSaveDialog", true, "inp", "Input files (*.inp)|*.inp");
  OutputOpenDialog = dialog("OutputOpenDialog", false, ".out", "Output files (*.out)|*.out");
  // The designed filter first, as the default; then the formats of ours.
  GraphOpenDialog = dialog("GraphOpenDialog", false, "bmp",
                           "Graph files (*.bmp);;PNG images (*.png)|*.bmp");
  GraphSaveDialog = dialog("GraphSaveDialog", true, "bmp",
                           "Image files (*.bmp);;PNG images (*.png);;SVG drawings (*.svg)|*.bmp");
  ExportTableDialog = dialog("ExportTableDialog", true, "csv", "CSV tables (*.csv)|*.csv");
}

// The text control the edit actions work on, and what it can do now.
void TRainForm::UpdateEditActions() {
  QWidget* target = EditTarget;
  bool text = false, writable = false, selection = false;
  if (auto* edit = qobject_cast<QLineEdit*>(target)) {
    text = true;
    writable = !edit->isReadOnly();
    selection = edit->hasSelectedText();
  } else if (auto* memo = qobject_cast<QPlainTextEdit*>(target)) {
    text = true;
    writable = !memo->isReadOnly();
    selection = memo->textCursor().hasSelection();
  } else if (target == StringGrid1) {
    text = writable = selection = true;  // the current cell
  }
  const QMimeData* clip = QApplication::clipboard()->mimeData();
  const bool clipText = clip && clip->hasText();
  EditCut1->setEnabled(text && writable && selection);
  EditCopy1->setEnabled(text && selection);
  EditPaste1->setEnabled(text && writable && clipText);
  EditDelete1->setEnabled(text && writable && selection);
}

void TRainForm::RunEditAction(QAction* action) {
  QWidget* target = EditTarget;
  if (action == EditPaste1 && (target == StringGrid1 || qobject_cast<TCellEditor*>(target))) {
    // A paste into the grid may be a block of cells.
    if (auto* cell = qobject_cast<TCellEditor*>(target)) {
      cell->PasteFromClipboard();
    } else {
      StringGrid1->PasteFromClipboard();
    }
  } else if (auto* edit = qobject_cast<QLineEdit*>(target)) {
    if (action == EditCut1) edit->cut();
    if (action == EditCopy1) edit->copy();
    if (action == EditPaste1) edit->paste();
    if (action == EditDelete1) edit->del();
  } else if (auto* memo = qobject_cast<QPlainTextEdit*>(target)) {
    if (action == EditCut1) memo->cut();
    if (action == EditCopy1) memo->copy();
    if (action == EditPaste1) memo->paste();
    if (action == EditDelete1) memo->textCursor().removeSelectedText();
  } else if (target == StringGrid1 && StringGrid1->currentIndex().isValid()) {
    const int col = StringGrid1->currentIndex().column();
    const int row = StringGrid1->currentIndex().row();
    if (action == EditCopy1 || action == EditCut1)
      QApplication::clipboard()->setText(StringGrid1->Cell(col, row));
    if (action == EditCut1 || action == EditDelete1) StringGrid1->EditorTextChanged(col, row, "");
  }
  UpdateEditActions();
}

void TRainForm::FocusChanged(QWidget*, QWidget* now) {
  // A menu taking the focus for a moment does not change the target.
  if (now && now->window() == this && !qobject_cast<QMenu*>(now) && !qobject_cast<QMenuBar*>(now)) {
    if (EditTarget != now) {
      disconnect(SelectionWatch);
      EditTarget = now;
      if (auto* edit = qobject_cast<QLineEdit*>(now)) {
        SelectionWatch = connect(edit, &QLineEdit::selectionChanged, this, &TRainForm::UpdateEditActions);
      } else if (auto* memo = qobject_cast<QPlainTextEdit*>(now)) {
        SelectionWatch = connect(memo, &QPlainTextEdit::selectionChanged, this, &TRainForm::UpdateEditActions);
      }
    }
  }
  UpdateEditActions();
}

void MakeSideWindow(QWidget* window) {
  // Closing a side window hides it and never ends the program.
  window->setAttribute(Qt::WA_QuitOnClose, false);
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
  QObject::connect(escape, &QShortcut::activated, window, &QWidget::close);
  struct TBackToMain : QObject {
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
      if (event->type() == QEvent::Hide && !event->spontaneous() && RainForm && RainForm->isVisible()) {
        const QWidget* active = QApplication::activeWindow();
        if (!active || active == watched) RainForm->activateWindow();
      }
      return false;
    }
  };
  window->installEventFilter(new TBackToMain(window));
}

// ---- Start-up

void TRainForm::FormCreate() {
  PageControl1->setCurrentIndex(0);
  SetDialogFolders(QDir::currentPath());
  FileNameLabel->hide();
  FileNameEdit->hide();
  GraphState.PlotWidth = 500;
  GraphState.PlotHeight = 320;
  const QScreen* screen = QGuiApplication::primaryScreen();
  PlaceForScreen(screen ? screen->geometry().width() : 1024);
  // Only point and comma are told apart; any other separator reads as a point.
  StartSeparator = QLocale().decimalPoint() == QString(",") ? ',' : '.';
  GraphState.DecimalSeparator = StartSeparator;
  UpdateEditActions();
}

void TRainForm::PlaceForScreen(int screenWidth) {
  const TWindowPlacement placement = MainWindowPlacement(screenWidth, width());
  move(placement.Left, y());
  resize(placement.Width, height());
}

QString FolderOf(const QString& path) { return QFileInfo(path).absolutePath(); }

void TRainForm::SetDialogFolders(const QString& folder) {
  for (TFileDialogSpec* dialog : {&InputOpenDialog, &InputSaveDialog, &OutputOpenDialog,
                                  &GraphOpenDialog, &GraphSaveDialog, &ExportTableDialog})
    dialog->InitialDir = folder;
}

bool TRainForm::eventFilter(QObject* watched, QEvent* event) {
  // The show events of the tabs: a tab brought to the front, or the
  // window shown with it in front (not the window coming back from an icon).
  if (event->type() == QEvent::Show && !event->spontaneous()) {
    Guarded([&] {
      if (watched == IntroTabSheet) IntroTabSheetShow();
      if (watched == InputTabSheet) InputTabSheetShow();
      if (watched == OutputTabSheet) OutputTabSheetShow();
      if (watched == GraphicsTabSheet) GraphicsTabSheetShow();
    });
  }
  return TBaseForm::eventFilter(watched, event);
}

// ---- Closing: only the finish window ends the program.

void TRainForm::closeEvent(QCloseEvent* event) {
  event->ignore();
  FinishForm->show();
  FinishForm->raise();
  FinishForm->activateWindow();
}

void TRainForm::FileExit1Execute() { close(); }

// ---- Intro tab

void TRainForm::CreateIntroTab() {
  QWidget* page = IntroTabSheet;
  auto memo = [page](const char* name, const std::vector<const char*>& lines, QRect place) {
    auto* m = Place(new TMemo(page), place.x(), place.y(), place.width(), place.height());
    m->setObjectName(name);
    m->setPlainText(MemoText(lines));
    return m;
  };
  IntroMemo = memo("IntroMemo", IntroLines, {8, 33, 465, 368});
  IntroMemo->setReadOnly(true);
  IntroMemo->setAccessibleName("Introduction");
  SetBackground(IntroMemo, QColor(0xFF, 0xFA, 0xDD));
  HelpGroupBox = Place(new TGroupBox("Details", page), 496, 56, 161, 225);
  HelpGroupBox->setObjectName("HelpGroupBox");
  FirstButton = MakeButton(HelpGroupBox, "FirstButton", "1st (pre) reservoir", 16, 40, 129, 33);
  SecondButton = MakeButton(HelpGroupBox, "SecondButton", "cascade of reservoirs", 16, 96, 129, 33);
  FirstMemo = memo("FirstMemo", FirstReservoirLines, {16, 40, 457, 377});
  FirstMemo->setFont(PixelFont("Tahoma", 12));
  SetBackground(FirstMemo, QColor(0xF1, 0xFF, 0xE6));
  FirstMemo->setAccessibleName("The first (pre) reservoir");
  FirstMemo->hide();
  SecondMemo = memo("SecondMemo", CascadeLines, {24, 24, 449, 417});
  SecondMemo->setFont(PixelFont("Tahoma", 12));
  SecondMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  SetBackground(SecondMemo, QColor(0xFD, 0xFF, 0xD5));
  SecondMemo->setAccessibleName("The cascade of reservoirs");
  SecondMemo->hide();
  BackButton = MakeButton(page, "BackButton", "Back to intro", 520, 216, 105, 25);
  BackButton->raise();
  connect(FirstButton, &QPushButton::clicked, this, &TRainForm::FirstButtonClick);
  connect(SecondButton, &QPushButton::clicked, this, &TRainForm::SecondButtonClick);
  connect(BackButton, &QPushButton::clicked, this, &TRainForm::BackButtonClick);
}

void TRainForm::IntroTabSheetShow() {
  // With no item chosen, as at start-up, the option stays as it was.
  const int option = OptionComboBox->currentIndex();
  if (option == 0 || option == 1) {
    DMQuorell->IsAnalysis = option == 0;
    DMQuorell->RunTag = RunTagFor(option == 0);
  }
  SetStatus("Click on the Input tab to proceed.");
  InputSaveAction->setEnabled(false);
  GraphSaveAction->setEnabled(false);
  ShowIntroMemo(IntroMemo);
  FGraphsEnabled = false;
  if (DMQuorell->MaxSto == 0) DMQuorell->MaxSto = 50;
  if (DMQuorell->IniSto == 0) DMQuorell->IniSto = 50;
  if (DMQuorell->MaxEsc == 0) DMQuorell->MaxEsc = 0.1;
}

// The three memos lie on top of each other; one is shown at a time.
void TRainForm::ShowIntroMemo(QPlainTextEdit* shown) {
  for (QPlainTextEdit* memo : {IntroMemo, FirstMemo, SecondMemo}) memo->setVisible(memo == shown);
}

void TRainForm::FirstButtonClick() { ShowIntroMemo(FirstMemo); }
void TRainForm::SecondButtonClick() { ShowIntroMemo(SecondMemo); }
void TRainForm::BackButtonClick() { ShowIntroMemo(IntroMemo); }

// ---- Figure tab

void TRainForm::CreateFigureTab() {
  Reservoir_Image = Place(new QLabel(FigureTabSheet), 64, 24, 481, 385);
  Reservoir_Image->setObjectName("Reservoir_Image");
  Reservoir_Image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Reservoir_Image->setPixmap(QPixmap::fromImage(ModelDiagram()));
  Reservoir_Image->setAccessibleName("Diagram of the Nash model");
}
