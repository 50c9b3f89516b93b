// The calibration window's part for the model beyond the design: the slow
// flow path (its share of the recharge and its reaction factor, each a spin
// box and a slider) and the escape driven by the record's evaporation. Off,
// the window fits the designed model.
#pragma once

#include <QGroupBox>

#include "files/extensions.h"

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QSlider;

class TExtensionsGroup : public QGroupBox {
  Q_OBJECT
public:
  // petMean: the mean evaporation of the window's record; 0 when the
  // record has none, and the evaporation cannot be switched on.
  TExtensionsGroup(double petMean, QWidget* parent);

  // What the controls show.
  TExtensions Chosen() const;
  // The controls set to extensions (the share and the reaction factor kept
  // within their ranges; the evaporation only when the record has it),
  // without a Changed.
  void Show(const TExtensions& extensions);
  bool EvaporationAvailable() const { return PetMean > 0; }

signals:
  void Changed();

private:
  void SlowPathCheckClick();
  void ShareChange();
  void AlphaChange();
  void Enable();

  double PetMean;
  bool Setting = false;
  QCheckBox* SlowPathCheck;
  QLabel* ShareCaption;
  QDoubleSpinBox* BaseShareSpin;
  QSlider* BaseShareSlider;
  QLabel* AlphaCaption;
  QDoubleSpinBox* BaseAlphaSpin;
  QSlider* BaseAlphaSlider;
  QCheckBox* EvaporationCheck;
};
