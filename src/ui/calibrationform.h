// The calibration window: the pre-reservoir parameters of a determination
// changed by hand, each change refitted in memory and drawn at once, and
// the automatic search of `tolvane-batch calibrate` on a thread of its own.
// It works on a copy of the sheet's record in a data module of its own;
// the sheet changes only through "Apply to sheet".
#pragma once

#include <QChartView>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QThread>
#include <QWidget>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "files/inputfile.h"
#include "model/calibration.h"
#include "model/livefit.h"
#include "model/uncertainty.h"
#include "ui/prompts.h"

class QAreaSeries;
class QLineSeries;
class QScatterSeries;
class QValueAxis;
class TDMQuorell;
class TExtensionsGroup;
class TUncertaintyPanel;
class QTabWidget;
class TWorkPool;

// The potential evaporation of the sheet's points, when the sheet was
// imported from a table with a PET column; empty otherwise.
struct TSheetPet {
  std::vector<double> Values;
  std::string Column;  // as the import chose it, for a model file
};

// The chart of a fit: measured runoff as markers, calculated as a line,
// rain and recharge as bars hanging from the top on an axis of their own.
// Dragging a rectangle zooms in.
class TCalibrationChart : public QChartView {
public:
  explicit TCalibrationChart(QWidget* parent = nullptr);
  // The record's own series: the times, the rain and the measured runoff.
  void ShowRecord(const TLiveFit& fit);
  // What a refit changes: the calculated runoff and the recharge, and with
  // the slow path its quick and slow parts.
  void ShowFit(const TLiveFit& fit);
  void ResetZoom();
  int CalculatedPoints() const;
  // The 5-95 % band of the behavioural samples behind the lines; nullptr
  // takes it away.
  void ShowBand(const TBands* bands);
  int BandPoints() const;

private:
  void FitAxes();
  void ShowParts(bool on);
  void CacheItems();
  QValueAxis* TimeAxis;
  QValueAxis* RunoffAxis;
  QValueAxis* RainAxis;
  QScatterSeries* Measured;
  QLineSeries* Calculated;
  QLineSeries* Quick;
  QLineSeries* Slow;
  QLineSeries* RainTop;
  QLineSeries* RechargeTop;
  QLineSeries* RainBase;
  QLineSeries* RechargeBase;
  QLineSeries* BandLow;
  QLineSeries* BandHigh;
  QAreaSeries* Band;
  std::vector<double> Times;
  QAreaSeries* RainBars;
  QAreaSeries* RechargeBars;
  double HighestMeasured = 0, HighestCalculated = 0;
  bool CacheResetPending = false;
};

class TCalibrationForm : public QWidget {
  Q_OBJECT
public:
  // The window for the record, shown; nullptr when its determination
  // cannot be made (the user has been told why, as a run would tell). A
  // window of its own that goes with owner.
  static TCalibrationForm* Open(const TRunInput& record, const std::string& fileName,
                                QWidget* owner, const TSheetPet& pet = {});
  ~TCalibrationForm() override;

  // The parameters the controls show, and the fit drawn for them.
  TStoreParameters Shown() const { return FShown; }
  TExtensions ShownExtensions() const { return FShownExtensions; }
  const TLiveFit& LastFit() const { return FLastFit; }
  bool Calibrating() const { return Worker != nullptr; }
  TUncertaintyPanel* UncertaintyPart() const { return Uncertainty; }
  int Refits() const { return FRefits; }

  // For tests: called on the search's thread after each round of
  // candidates, with the number judged so far, before a cancel is looked
  // at; it may hold the search there. Taken when a search starts.
  using TSearchHook = std::function<void(int evaluations)>;
  void SetSearchHook(TSearchHook hook) { SearchHook = std::move(hook); }

signals:
  // The search has ended, with a result or cancelled.
  void CalibrationEnded();

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  TCalibrationForm(const TRunInput& record, const TSheetPet& pet, TWorkPool* pool, QWidget* owner);

  struct TParameterControl {
    QLabel* Caption;
    QDoubleSpinBox* Spin;
    QSlider* Slider;
  };
  TParameterControl MakeParameter(const char* name, const char* caption, int decimals);
  void ParameterChange();
  void ExtensionsChange();
  // The controls set to store (rounded and bounded), a refit asked for.
  void SetShown(const TStoreParameters& store);
  void RequestRefit();
  void Refit();
  void ShowCriteria();
  void CalibrateButtonClick();
  void CancelButtonClick();
  void ApplyButtonClick();
  void SaveModelButtonClick();
  void OpenModelButtonClick();
  QString ChooseModelFile(TFileDialogSpec dialog);
  void ProgressReport(const TCalibrationProgress& progress);
  void CalibrationFinished();
  void SetCalibrating(bool on);
  void SetSampling(bool on);
  TUncertaintySettings SamplingSettings() const;

  const TRunInput Record;
  // The sheet's file, named as the source of a model saved.
  std::string Source;
  QString ModelFolder;
  // The determination's record of it, and the threads that fit it.
  const TRecord Data;
  TWorkPool* Pool;
  const TCalibrationBounds Bounds;
  const TSheetPet Pet;
  TStoreParameters FShown;
  TExtensions FShownExtensions;
  TLiveFit FLastFit;
  int FRefits = 0;
  bool RefitPending = false;
  bool Setting = false;  // the controls are being set by the window itself

  TCalibrationChart* Chart;
  TParameterControl MaxStorage, InitialStorage, EscapeRate;
  TExtensionsGroup* ExtensionsGroup;
  QTabWidget* Tabs;
  QWidget* FitPage;
  TUncertaintyPanel* Uncertainty;
  QLabel* ReservoirsLabel;
  QLabel* AlphaLabel;
  // One a criterion of the table, named after its tag ("NseLabel").
  std::array<QLabel*, Criteria.size()> CriterionLabels{};
  QLabel* WarningsLabel;
  QComboBox* ObjectiveBox;
  QPushButton* CalibrateButton;
  QProgressBar* ProgressBar;
  QPushButton* CancelButton;
  QLabel* ComparisonLabel;
  QPushButton* ResetZoomButton;
  QPushButton* SaveModelButton;
  QPushButton* OpenModelButton;
  QPushButton* ApplyButton;
  QPushButton* CloseButton;

  // The search: its thread, the flag that stops it, and its outcome,
  // read once the thread has ended.
  QThread* Worker = nullptr;
  std::atomic<bool> CancelRequested{false};
  TObjective SearchObjective{};
  TCalibrationPoint Before, Best;
  bool SearchCancelled = false;
  TSearchHook SearchHook;
};
