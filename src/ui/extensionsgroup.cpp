#include "ui/extensionsgroup.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>

#include <algorithm>
#include <cmath>

namespace {

// The share in thousandths; the reaction factor on a log scale over its
// range, so that slow and very slow reservoirs get the same room.
constexpr int SliderSteps = 1000;

int SharePosition(double share) { return static_cast<int>(std::lround(share * SliderSteps)); }

int AlphaPosition(double alpha) {
  return static_cast<int>(std::lround(std::clamp(BaseAlphaShare(alpha), 0.0, 1.0) * SliderSteps));
}

double AlphaAt(int position) {
  return BaseAlphaAt(position / double(SliderSteps));
}

// A share of a tenth and a reaction factor of a hundredth: a slow path a
// user sees at once in the chart, to be moved from there.
constexpr double StartShare = 0.1;
constexpr double StartAlpha = 0.01;

}  // namespace

TExtensionsGroup::TExtensionsGroup(double petMean, QWidget* parent)
    : QGroupBox("Slow flow path", parent), PetMean(petMean) {
  setObjectName("SlowPathGroup");
  SlowPathCheck = new QCheckBox("S&low flow path: a share of the recharge through one slow reservoir", this);
  SlowPathCheck->setObjectName("SlowPathCheck");

  auto slider = [this](const char* name, const char* accessible) {
    auto* s = new QSlider(Qt::Horizontal, this);
    s->setObjectName(name);
    s->setAccessibleName(accessible);
    s->setRange(0, SliderSteps);
    s->setSingleStep(SliderSteps / 100);
    s->setPageStep(SliderSteps / 10);
    return s;
  };
  BaseShareSpin = new QDoubleSpinBox(this);
  BaseShareSpin->setObjectName("BaseShareSpin");
  BaseShareSpin->setAccessibleName("Share of the recharge");
  BaseShareSpin->setRange(0, 1);
  BaseShareSpin->setDecimals(3);
  BaseShareSpin->setSingleStep(0.01);
  BaseShareSpin->setKeyboardTracking(false);
  ShareCaption = new QLabel("S&hare", this);
  ShareCaption->setBuddy(BaseShareSpin);
  BaseShareSlider = slider("BaseShareSlider", "Share of the recharge slider");

  BaseAlphaSpin = new QDoubleSpinBox(this);
  BaseAlphaSpin->setObjectName("BaseAlphaSpin");
  BaseAlphaSpin->setAccessibleName("Slow reaction factor (per time unit)");
  BaseAlphaSpin->setRange(BaseAlphaLow, BaseAlphaHigh);
  BaseAlphaSpin->setDecimals(4);
  BaseAlphaSpin->setSingleStep(0.001);
  BaseAlphaSpin->setKeyboardTracking(false);
  BaseAlphaSpin->setSuffix(" per time unit");
  BaseAlphaSpin->setMinimumWidth(BaseAlphaSpin->sizeHint().width());
  AlphaCaption = new QLabel("Reaction &factor", this);
  AlphaCaption->setBuddy(BaseAlphaSpin);
  BaseAlphaSlider = slider("BaseAlphaSlider", "Slow reaction factor slider");

  EvaporationCheck = new QCheckBox(this);
  EvaporationCheck->setObjectName("EvaporationCheck");
  EvaporationCheck->setText(EvaporationAvailable()
                                ? "&Evaporation from the record drives the escape"
                                : "&Evaporation from the record: import a table with a PET column");
  EvaporationCheck->setEnabled(EvaporationAvailable());

  auto* grid = new QGridLayout(this);
  grid->addWidget(SlowPathCheck, 0, 0, 1, 3);
  grid->addWidget(ShareCaption, 1, 0);
  grid->addWidget(BaseShareSpin, 1, 1);
  grid->addWidget(BaseShareSlider, 1, 2);
  grid->addWidget(AlphaCaption, 2, 0);
  grid->addWidget(BaseAlphaSpin, 2, 1);
  grid->addWidget(BaseAlphaSlider, 2, 2);
  grid->addWidget(EvaporationCheck, 3, 0, 1, 3);
  grid->setColumnStretch(2, 1);

  Show({});
  connect(SlowPathCheck, &QCheckBox::clicked, this, &TExtensionsGroup::SlowPathCheckClick);
  connect(BaseShareSpin, &QDoubleSpinBox::valueChanged, this, &TExtensionsGroup::ShareChange);
  connect(BaseAlphaSpin, &QDoubleSpinBox::valueChanged, this, &TExtensionsGroup::AlphaChange);
  connect(BaseShareSlider, &QSlider::valueChanged, this, [this](int position) {
    if (!Setting) BaseShareSpin->setValue(position / double(SliderSteps));
  });
  connect(BaseAlphaSlider, &QSlider::valueChanged, this, [this](int position) {
    if (!Setting) BaseAlphaSpin->setValue(AlphaAt(position));
  });
  connect(EvaporationCheck, &QCheckBox::clicked, this, &TExtensionsGroup::Changed);
}

TExtensions TExtensionsGroup::Chosen() const {
  TExtensions e;
  e.SlowPath = SlowPathCheck->isChecked();
  if (e.SlowPath) {
    e.BaseShare = BaseShareSpin->value();
    e.BaseAlpha = BaseAlphaSpin->value();
  }
  e.Evaporation = EvaporationAvailable() && EvaporationCheck->isChecked();
  if (e.Evaporation) e.PetMean = PetMean;
  return e;
}

void TExtensionsGroup::Show(const TExtensions& e) {
  const QSignalBlocker b1(BaseShareSpin), b2(BaseAlphaSpin);
  Setting = true;
  SlowPathCheck->setChecked(e.SlowPath);
  const double share = e.SlowPath ? std::clamp(e.BaseShare, 0.0, 1.0) : StartShare;
  const double alpha = e.SlowPath && std::isfinite(e.BaseAlpha)
                           ? std::clamp(e.BaseAlpha, BaseAlphaLow, BaseAlphaHigh)
                           : StartAlpha;
  BaseShareSpin->setValue(share);
  BaseAlphaSpin->setValue(alpha);
  BaseShareSlider->setValue(SharePosition(share));
  BaseAlphaSlider->setValue(AlphaPosition(alpha));
  EvaporationCheck->setChecked(e.Evaporation && EvaporationAvailable());
  Setting = false;
  Enable();
}

void TExtensionsGroup::Enable() {
  const bool on = SlowPathCheck->isChecked();
  for (QWidget* w : std::initializer_list<QWidget*>{ShareCaption, BaseShareSpin, BaseShareSlider,
                                                    AlphaCaption, BaseAlphaSpin, BaseAlphaSlider})
    w->setEnabled(on);
}

void TExtensionsGroup::SlowPathCheckClick() {
  Enable();
  emit Changed();
}

void TExtensionsGroup::ShareChange() {
  Setting = true;
  BaseShareSlider->setValue(SharePosition(BaseShareSpin->value()));
  Setting = false;
  emit Changed();
}

// The slider stays where it is when the value lies between its position
// and the next: a drag is not pulled back by its own rounding.
void TExtensionsGroup::AlphaChange() {
  const double alpha = BaseAlphaSpin->value();
  if (std::abs(AlphaAt(BaseAlphaSlider->value()) - alpha) > 0.5e-4) {
    Setting = true;
    BaseAlphaSlider->setValue(AlphaPosition(alpha));
    Setting = false;
  }
  emit Changed();
}
