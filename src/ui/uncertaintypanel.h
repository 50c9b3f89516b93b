// The calibration window's "Uncertainty" part: the record sampled as
// `tolvane-batch uncertainty` samples it (Latin hypercube over the bounds,
// the best tenth confirmed by the whole determination), off the window's
// thread with progress and Stop; then the band of the behavioural samples
// behind the fit, their figures, and a dotty plot of the parameter chosen.
// The threshold is a control: a change selects and redraws at once, from
// the runs kept, with the samples as they were judged.
#pragma once

#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "model/engine.h"
#include "model/uncertainty.h"

class QChartView;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QScatterSeries;
class QSlider;
class QSpinBox;
class QThread;
class QValueAxis;
class QLogValueAxis;
class TWorkPool;

class TUncertaintyPanel : public QWidget {
  Q_OBJECT
public:
  // record is the window's (kept by it while the panel lives); settings
  // gives the objective, bounds and extensions of the fit shown when a
  // sampling starts.
  TUncertaintyPanel(const TRecord& record, TWorkPool* pool,
                    std::function<TUncertaintySettings()> settings, QWidget* parent);
  ~TUncertaintyPanel() override;

  bool Sampling() const { return Worker != nullptr; }
  // Ends a sampling and waits for its thread: the record it reads is the
  // window's, which goes before this panel does.
  void StopAndWait();
  const std::vector<TUncertaintySample>& Samples() const { return FSamples; }
  // The behavioural set and its band as shown; empty before a sampling
  // and when no sample reaches the threshold.
  const std::optional<TBehavioural>& Behavioural() const { return FBehavioural; }
  const TBands& Bands() const { return FBands; }

  // For tests: called on the sampling thread between blocks of samples,
  // before a stop is looked at; it may hold the sampling there.
  using THook = std::function<void(int done)>;
  void SetHook(THook hook) { Hook = std::move(hook); }

signals:
  // A sampling starts or ends: the window locks its fit meanwhile.
  void SamplingChanged(bool on);
  // The band to draw behind the fit; nullptr for none.
  void BandChanged(const TBands* bands);

private:
  void SampleButtonClick();
  void StopButtonClick();
  void SamplingFinished();
  void ThresholdChange();
  void ThresholdSliderMove(int position);
  void DottyParameterChange();
  void Select();
  void Show(const std::optional<TBehavioural>& chosen, const std::string& error);
  void ShowDots(bool axes);
  void SetSampling(bool on);
  void ProgressReport(int done, int planned);
  double ThresholdAt(int position) const;
  int PositionOf(double threshold) const;

  const TRecord& Record;
  // Its runoff as the runs take it, for the containing ratio.
  const std::vector<double> Measured;
  TWorkPool* Pool;
  std::function<TUncertaintySettings()> Settings;
  TUncertaintySettings Used;  // of the samples shown
  std::vector<double> UsedPet;

  QSpinBox* SamplesSpin;
  QSpinBox* SeedSpin;
  QPushButton* SampleButton;
  QProgressBar* SampleProgress;
  QPushButton* StopButton;
  QLabel* ThresholdCaption;
  QDoubleSpinBox* ThresholdSpin;
  QSlider* ThresholdSlider;
  QLabel* BehaviouralLabel;
  QLabel* ContainingLabel;
  QLabel* BandWidthLabel;
  QComboBox* DottyParameterBox;
  QChartView* DottyChart;
  QValueAxis* DottyX;
  QLogValueAxis* DottyLogX;
  QValueAxis* DottyY;
  QScatterSeries* Kept;
  QScatterSeries* Left;

  QThread* Worker = nullptr;
  std::atomic<bool> StopRequested{false};
  std::atomic<int> Done{0};
  bool Stopped = false;
  THook Hook;
  // The sampling's outcome, read once its thread has ended.
  std::vector<TUncertaintySample> Result;
  std::unique_ptr<TBandTable> ResultTable;
  std::optional<TBehavioural> ResultBehavioural;

  std::vector<TUncertaintySample> FSamples;
  std::unique_ptr<TBandTable> Table;
  std::optional<TBehavioural> FBehavioural;
  TBands FBands;
  double Low = 0, High = 1;  // the threshold's range: the objectives found
  bool Setting = false;
};
