// What a screen reader gets of the windows: every figure shown is in what
// the accessibility interface reads of it, together with its caption, and
// a figure is still found by its caption.
#include <QAccessible>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include "base/numformat.h"
#include "model/dmquorell.h"
#include "ui/alfaform.h"
#include "ui/calibrationform.h"
#include "ui/finishform.h"
#include "ui/helpform.h"
#include "ui/importform.h"
#include "ui/uncertaintypanel.h"
#include "ui/rainform.h"
#include "ui/calibration_support.h"
#include "ui/ui_support.h"

namespace {

QString Read(QObject* widget, QAccessible::Text what) {
  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
  return face ? face->text(what) : QString();
}

// Whether the text is in what is read of the widget: its name, its
// description or its value. Mnemonics are not read.
bool Readable(QObject* widget, QString text) {
  text.remove('&');
  for (QAccessible::Text what : {QAccessible::Name, QAccessible::Description, QAccessible::Value})
    if (Read(widget, what).remove('&').contains(text)) return true;
  return false;
}

// The labels, fields, boxes and progress bars of a window whose text is
// not read, each as "name: shown / read".
QStringList Unread(QWidget* window) {
  QStringList unread;
  auto check = [&](QWidget* w, const QString& shown) {
    if (!shown.trimmed().isEmpty() && !Readable(w, shown.trimmed()))
      unread << w->objectName() + ": " + shown + " / " + Read(w, QAccessible::Name);
  };
  for (QLabel* l : window->findChildren<QLabel*>()) check(l, l->text());
  // A spin box's or combo box's own field is read as the box's value.
  for (QLineEdit* e : window->findChildren<QLineEdit*>())
    if (e->echoMode() == QLineEdit::Normal && !qobject_cast<QAbstractSpinBox*>(e->parent()) &&
        !qobject_cast<QComboBox*>(e->parent()))
      check(e, e->text());
  // A spin box is read as its number and, in its name, its unit.
  for (QAbstractSpinBox* b : window->findChildren<QAbstractSpinBox*>()) {
    check(b, b->text().remove(b->property("suffix").toString()));
    check(b, b->property("suffix").toString());
  }
  for (QComboBox* b : window->findChildren<QComboBox*>()) check(b, b->currentText());
  for (QProgressBar* b : window->findChildren<QProgressBar*>()) check(b, b->format());
  return unread;
}

// The first interface below root whose name is the caption or begins with
// it, as a tool that looks for a control by its caption finds it.
QAccessibleInterface* FindByCaption(QAccessibleInterface* root, const QString& caption) {
  for (int i = 0; i < root->childCount(); ++i) {
    QAccessibleInterface* child = root->child(i);
    if (!child) continue;
    const QString name = child->text(QAccessible::Name);
    if (name == caption || name.startsWith(caption + " ") || name.startsWith(caption + ": ")) return child;
    if (QAccessibleInterface* found = FindByCaption(child, caption)) return found;
  }
  return nullptr;
}

QObject* FoundByCaption(QWidget* window, const QString& caption) {
  QAccessibleInterface* found = FindByCaption(QAccessible::queryAccessibleInterface(window), caption);
  return found ? found->object() : nullptr;
}

QString Fixed(double value, int decimals) { return QString::fromStdString(FormatFixed(value, 0, decimals)); }

void OpenInput(TProgram& program, const QString& path) {
  program.Prompts.Paths = {path};
  Main<QAction>("InputOpenAction")->trigger();
}

// An example opened and run by Save/Run into dir, as a user does first.
bool SaveRunExample(TProgram& program, const TScratchDir& dir, const char* example) {
  RainForm->SetPauseMs(0);
  if (!ActivateInputTab()) return false;
  OpenInput(program, Example(example));
  program.Prompts.Paths = {QString::fromStdString(dir.File("run.inp"))};
  Main<QAction>("InputSaveAction")->trigger();
  return true;
}

}  // namespace

class TAccessibilityTest : public QObject {
  Q_OBJECT

private slots:
  void init() { TRainForm::StartSeparator = '.'; }

  // Each figure of the calibration window is read with its caption and
  // its value, and follows the value when the parameters change.
  void theCalibrationFiguresAreReadWithTheirValues() {
    TProgram program;
    QVERIFY(ActivateInputTab());
    OpenInput(program, Example("calibrate_daily.inp"));
    Main<QPushButton>("CalibrateButton")->click();
    TCalibrationForm* form = CalibrationWindow();
    QVERIFY(form);
    const TStoreParameters sets[] = {{6, 3, 0.2}, {40.5, 12.25, 1.75}};
    for (const TStoreParameters& set : sets) {
      Control<QDoubleSpinBox>(form, "MaxStorageSpin")->setValue(set.MaxSto);
      Control<QDoubleSpinBox>(form, "InitialStorageSpin")->setValue(set.IniSto);
      Control<QDoubleSpinBox>(form, "EscapeRateSpin")->setValue(set.MaxEsc);
      QCoreApplication::processEvents();
      const TLiveFit& fit = form->LastFit();
      QCOMPARE(fit.Store, set);
      QVERIFY(fit.Valid);
      const struct {
        const char* Label;
        const char* Caption;
        QString Value;
      } figures[] = {
          {"ReservoirsLabel", "Reservoirs", QString::number(fit.NrOfRes)},
          {"AlphaLabel", "Alpha", Fixed(fit.Alpha, 3)},
          {"RSquareLabel", "R square", Fixed(fit.Fit[TCriterion::RSquare], 4)},
          {"NseLabel", "NSE", Fixed(fit.Fit[TCriterion::Nse], 4)},
          {"KgeLabel", "KGE", Fixed(fit.Fit[TCriterion::Kge], 4)},
          {"VolumeLabel", "Volume error", Fixed(fit.Fit[TCriterion::VolumeError], 2) + " %"},
      };
      for (const auto& f : figures) {
        auto* label = Control<QLabel>(form, f.Label);
        const QString name = Read(label, QAccessible::Name);
        QVERIFY2(label->text().contains(f.Value), qPrintable(label->text()));
        QVERIFY2(name.startsWith(f.Caption), qPrintable(name));
        QVERIFY2(name.contains(f.Value), qPrintable(name + " lacks " + f.Value));
        QCOMPARE(FoundByCaption(form, f.Caption), label);
      }
    }
    // The figures without a value of their own keep their captions.
    QCOMPARE(FoundByCaption(form, "Warnings"), Control<QLabel>(form, "WarningsLabel"));
    QCOMPARE(FoundByCaption(form, "Before and after"), Control<QLabel>(form, "ComparisonLabel"));
    QCOMPARE(FoundByCaption(form, "Calibration progress"), Control<QProgressBar>(form, "ProgressBar"));
  }

  // The Output tab's criteria line is read after a determination's
  // Save/Run, and read empty again when another output file is opened.
  void theRunCriteriaAreReadWithTheirCaption() {
    TProgram program;
    TScratchDir dir;
    QVERIFY(SaveRunExample(program, dir, "determine_daily.inp"));
    auto* criteria = Main<QLabel>("RunCriteriaLabel");
    const auto& ws = DMQuorell->Analysis();
    const TFitCriteria fit = FitCriteria(ws.RunMeas, ws.RunCalc, ws.AnaNrOfData);
    const QString name = Read(criteria, QAccessible::Name);
    QVERIFY2(name.startsWith("Criteria of the run"), qPrintable(name));
    for (const QString& value : {"NSE " + Fixed(fit[TCriterion::Nse], 4), "KGE " + Fixed(fit[TCriterion::Kge], 4),
                                 "volume error " + Fixed(fit[TCriterion::VolumeError], 2) + " %"})
      QVERIFY2(name.contains(value), qPrintable(name + " lacks " + value));
    QCOMPARE(FoundByCaption(RainForm, "Criteria of the run"), criteria);

    program.Prompts.Paths = {Example("determine_daily.out")};
    Main<QAction>("OutputOpenAction")->trigger();
    QCOMPARE(criteria->text(), QString());
    QCOMPARE(Read(criteria, QAccessible::Name), QString("Criteria of the run"));
  }

  // No window shows a text in a label, field or progress bar that is not
  // read: each window after use, so that its figures hold values.
  void everyTextShownIsRead() {
    TProgram program;
    TScratchDir dir;
    QVERIFY(SaveRunExample(program, dir, "calibrate_daily.inp"));
    QVERIFY(!Main<QLabel>("RunCriteriaLabel")->text().isEmpty());

    // The calibration window while searching, and after a search cancelled.
    Main<QPushButton>("CalibrateButton")->click();
    TCalibrationForm* form = CalibrationWindow();
    QVERIFY(form);
    QSignalSpy ended(form, &TCalibrationForm::CalibrationEnded);
    Control<QPushButton>(form, "CalibrateButton")->click();
    const QStringList unreadWhileSearching = Unread(form);
    QVERIFY2(unreadWhileSearching.isEmpty(), qPrintable(unreadWhileSearching.join('\n')));
    QVERIFY(!Control<QProgressBar>(form, "ProgressBar")->format().isEmpty());
    Control<QPushButton>(form, "CancelButton")->click();
    QVERIFY(ended.wait(120000));  // only a guard against a search that never ends
    QVERIFY(!Control<QLabel>(form, "ComparisonLabel")->text().isEmpty());
    // Its uncertainty, sampled: the behavioural count, containing ratio and
    // band width are read with their values.
    Control<QSpinBox>(form, "SamplesSpin")->setValue(60);
    QSignalSpy sampling(form->UncertaintyPart(), &TUncertaintyPanel::SamplingChanged);
    Control<QPushButton>(form, "SampleButton")->click();
    // Started at the click, then ended; the timeout only guards against a
    // sampling that never ends.
    QCOMPARE(sampling.size(), 1);
    QVERIFY(sampling.wait(120000));
    for (const char* figure : {"BehaviouralLabel", "ContainingLabel", "BandWidthLabel"}) {
      auto* label = Control<QLabel>(form, figure);
      QVERIFY2(!label->text().isEmpty(), figure);
      QCOMPARE(Read(label, QAccessible::Name).contains(label->text()), true);
    }

    // The calculator with its results.
    const QStringList inputs{"1", "1", "1", "1", "10", "10"};
    for (int n = 1; n <= 6; ++n) {
      auto* edit = Calc<QLineEdit>(qPrintable(QString("Edit%1").arg(n)));
      edit->setText(inputs[n - 1]);
      Leave(edit);
    }
    Calc<QPushButton>("Button1")->click();
    QVERIFY(!Calc<QLineEdit>("Edit7")->text().isEmpty());

    Main<QAction>("ImportTableAction")->trigger();
    auto* import = RainForm->findChild<TImportForm*>("ImportForm");
    QVERIFY(import);

    const struct {
      const char* Name;
      QWidget* Window;
    } windows[] = {
        {"main window", RainForm}, {"calibration", form}, {"calculator", AlfaForm},
        {"import", import},        {"help", HelpForm},    {"finish", FinishForm},
    };
    for (const auto& w : windows) {
      QVERIFY2(w.Window, w.Name);
      const QStringList unread = Unread(w.Window);
      QVERIFY2(unread.isEmpty(), qPrintable(QString(w.Name) + ":\n" + unread.join('\n')));
    }
    import->close();
  }
};

TOLVANE_UI_TEST(TAccessibilityTest)
#include "ui_test_accessibility.moc"
