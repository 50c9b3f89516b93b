#include "model/calibration.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <tuple>
#include <vector>

#include "base/numformat.h"
#include "base/numparse.h"
#include "model/dmquorell.h"
#include "model/quickrun.h"
#include "model/routing.h"
#include "model/search.h"
#include "model/workpool.h"

namespace {

// Beyond this the parameter field of the input file widens past any sense.
constexpr double HighestMaxSto = 100000;

// The differential evolution: its population, drawn first from Halton's
// points; its weight of a difference and its crossover rate; its seed; and
// when it ends: after at least MinGenerations, once the best has not
// risen by Settled for Patience generations, or after MaxGenerations.
constexpr int Population = 30;
constexpr double Weight = 0.7;
constexpr double Crossover = 0.9;
constexpr unsigned Seed = 20121;
constexpr int MinGenerations = 20;
constexpr int MaxGenerations = 90;
constexpr int Patience = 12;
constexpr double Settled = 1e-7;
// The compass search that polishes the best: its first and last steps in
// the search coordinates.
constexpr double FirstStep = 1.0 / 32;
constexpr double LastStep = 1.0 / 4096;
constexpr int PolishEstimate = 250;
constexpr int CompassMoves = 25;
// The simplex after it: its first size, its least, and its most rounds.
constexpr double SimplexStep = 1.0 / 16;
constexpr double SimplexEnd = 1e-5;
constexpr int SimplexRounds = 400;
// The best guesses judged by the whole determination at the end.
constexpr int ConfirmedStores = 3;

// The stored value nearest to value within [low, high], stepping by one
// unit in the last place the format keeps (the caller makes sure there is
// such a value).
double StoredWithin(double value, double low, double high) {
  double stored = StoredParameter(std::clamp(value, low, high));
  while (stored < low) stored = StoredParameter(stored + (stored >= 1 ? 0.01 : 0.001));
  while (stored > high) stored = StoredParameter(stored - (stored > 1 ? 0.01 : 0.001));
  return stored;
}

}  // namespace

const char* ObjectiveName(TObjective objective) { return InfoOf(objective).Name; }

double ObjectiveOf(TObjective objective, const TFitCriteria& fit) {
  const double value = fit[objective];
  return std::isnan(value) ? -std::numeric_limits<double>::infinity() : value;
}

double StoredParameter(double value) {
  return ParseReal(FormatParameter(value, 0)).value_or(0);
}

std::string CheckCalibrationBounds(const TCalibrationBounds& bounds) {
  const double low = bounds.MaxStoLow, high = bounds.MaxStoHigh;
  if (!std::isfinite(low) || !std::isfinite(high) || low <= 0 || high < low)
    return "the maximum storage needs a range LO:HI with 0 < LO <= HI";
  if (high > HighestMaxSto) return "the maximum storage can be searched up to 100000 mm";
  if (StoredWithin(low, low, HighestMaxSto) > high)
    return "no maximum storage an input file can hold (two decimals from 1 on, three below) "
           "lies in that range";
  return "";
}

bool WithinBounds(const TStoreParameters& s, const TCalibrationBounds& bounds) {
  return s.MaxSto >= bounds.MaxStoLow && s.MaxSto <= bounds.MaxStoHigh && s.IniSto > 0 &&
         s.IniSto <= s.MaxSto && s.MaxEsc >= 0 && !(s.MaxSto / 10 < s.MaxEsc);
}

TStoreParameters StoredWithinBounds(const TStoreParameters& store,
                                    const TCalibrationBounds& bounds) {
  TStoreParameters s;
  s.MaxSto = StoredWithin(store.MaxSto, bounds.MaxStoLow, bounds.MaxStoHigh);
  s.IniSto = StoredWithin(store.IniSto, 0.001, s.MaxSto);
  s.MaxEsc = StoredWithin(store.MaxEsc, 0, s.MaxSto / 10);
  return s;
}

TCalibrationBounds BoundsAround(const TStoreParameters& store) {
  TCalibrationBounds bounds;
  if (store.MaxSto > bounds.MaxStoHigh) bounds.MaxStoHigh = StoredParameter(store.MaxSto);
  if (store.MaxSto > 0 && store.MaxSto < bounds.MaxStoLow)
    bounds.MaxStoLow = std::max(0.001, StoredParameter(store.MaxSto));
  return bounds;
}

TCalibration::TCalibration(const TRecordView& record, const TCalibrationSettings& settings,
                           TWorkPool* pool)
    : Record(record), Measured(MeasuredAsTaken(record)), Settings(settings), Pool(pool) {
  if (Settings.SlowPath) Dims = 5;
  if (!Settings.Pet.empty()) PetMean = PetMeanOf(Settings.Pet.first(std::min(Settings.Pet.size(), record.Size())));
}

TCalibration::TCandidate TCalibration::ToCandidate(const TCoordinates& x) const {
  const double low = Settings.Bounds.MaxStoLow, high = Settings.Bounds.MaxStoHigh;
  TCandidate c;
  TStoreParameters& s = c.Store;
  s.MaxSto = StoredWithin(low * std::pow(high / low, x[0]), low, high);
  s.IniSto = StoredWithin(x[1] * s.MaxSto, 0.001, s.MaxSto);
  s.MaxEsc = StoredWithin(x[2] * s.MaxSto / 10, 0, s.MaxSto / 10);
  if (Settings.SlowPath) {
    c.BaseShare = std::clamp(x[3], 0.0, 1.0);
    c.BaseAlpha = BaseAlphaAt(std::clamp(x[4], 0.0, 1.0));
  }
  return c;
}

TExtensions TCalibration::ExtensionsOf(const TCandidate& candidate) const {
  TExtensions e;
  e.SlowPath = Settings.SlowPath;
  if (e.SlowPath) {
    e.BaseShare = candidate.BaseShare;
    e.BaseAlpha = candidate.BaseAlpha;
  }
  e.Evaporation = !Settings.Pet.empty();
  e.PetMean = PetMean;
  return e;
}

namespace {

TCalibrationPoint PointOf(const TRun& run, const TStoreParameters& store, TObjective objective) {
  TCalibrationPoint point;
  point.Store = store;
  point.Valid = run.Ok();
  if (!point.Valid) return point;
  point.NrOfRes = run.NrOfRes;
  point.Alpha = run.Alpha;
  point.Fit = run.Fit;
  point.Objective = ObjectiveOf(objective, run.Fit);
  return point;
}

// Halton's sequence: points that fill the unit cube evenly, the same on
// every run.
double Halton(int index, int base) {
  double f = 1, r = 0;
  for (int i = index; i > 0; i /= base) {
    f /= base;
    r += f * (i % base);
  }
  return r;
}

}  // namespace

TCalibrationPoint TCalibration::GuessOne(const TCandidate& candidate) const {
  thread_local std::vector<double> calculated;
  const std::size_t n = Record.Size();
  TCalibrationPoint point;
  point.Store = candidate.Store;
  point.Extensions = ExtensionsOf(candidate);
  if (!ExtensionsFault(point.Extensions, Settings.Pet, n).empty()) return point;
  const TQuickRun run = QuickRun(Record.Time.first(n), Record.Rain.first(n), Measured,
                                 candidate.Store, point.Extensions, Settings.Pet, calculated);
  if (!run.Valid) return point;
  point.Valid = true;
  point.NrOfRes = run.NrOfRes;
  point.Alpha = run.Alpha;
  const auto skip = std::min(static_cast<std::size_t>(Settings.WarmUp), n);
  const double value = CriterionOf(Settings.Objective, std::span<const double>(Measured).subspan(skip),
                                   std::span<const double>(calculated).subspan(skip));
  point.Objective = std::isnan(value) ? -std::numeric_limits<double>::infinity() : value;
  return point;
}

std::vector<TCalibrationPoint> TCalibration::Guess(const std::vector<TCoordinates>& xs,
                                                   const TProgress& progress) {
  std::vector<TCandidate> stores;
  for (const TCoordinates& x : xs) stores.push_back(ToCandidate(x));
  // Each new candidate once, judged on the pool; the order of the list,
  // not of the threads, decides everything after.
  std::vector<TCandidate> fresh;
  for (const auto& store : stores)
    if (!Guessed.count(store) && std::find(fresh.begin(), fresh.end(), store) == fresh.end())
      fresh.push_back(store);
  std::vector<TCalibrationPoint> judged(fresh.size());
  auto judge = [&](std::size_t i) { judged[i] = GuessOne(fresh[i]); };
  ForEachOn(Pool, fresh.size(), judge);
  for (std::size_t i = 0; i < fresh.size(); ++i) {
    Guessed.emplace(fresh[i], judged[i]);
    if (judged[i].Objective > BestGuess.Objective) BestGuess = judged[i];
  }
  EvaluationCount += static_cast<int>(fresh.size());
  std::vector<TCalibrationPoint> points;
  for (const auto& store : stores) points.push_back(Guessed.at(store));
  Report(progress);
  return points;
}

void TCalibration::Report(const TProgress& progress) {
  if (!progress) return;
  TCalibrationProgress p;
  p.Evaluations = EvaluationCount;
  p.Planned = std::max(Planned, EvaluationCount);
  p.Best = BestGuess;
  progress(p);
}

TCalibrationPoint TCalibration::Evaluate(const TStoreParameters& store, double baseShare,
                                         double baseAlpha) {
  TRunSettings settings;
  settings.WarmUp = Settings.WarmUp;
  settings.Pool = Pool;
  settings.Extensions = ExtensionsOf({store, baseShare, baseAlpha});
  settings.Pet = Settings.Pet;
  ++EvaluationCount;
  TCalibrationPoint point =
      PointOf(DetermineRun(Record, store, settings), store, Settings.Objective);
  point.Extensions = settings.Extensions;
  return point;
}

TCalibrationPoint TCalibration::Search(const TProgress& progress) {
  Guessed.clear();
  BestGuess = TCalibrationPoint();
  EvaluationCount = 0;
  Planned = Population * (MinGenerations + MaxGenerations) / 2 + PolishEstimate + ConfirmedStores;
  // The first generation spread evenly over the bounds.
  const int bases[] = {2, 3, 5, 7, 11};
  std::vector<TCoordinates> members(Population, TCoordinates{});
  for (int i = 0; i < Population; ++i)
    for (std::size_t d = 0; d < Dims; ++d) members[static_cast<std::size_t>(i)][d] = Halton(i + 1, bases[d]);
  // With the slow path, the best without it first: one member starts there
  // (a share of 0), so the wider search never ends below the narrower one,
  // which it easily misses in five dimensions.
  int narrower = 0;
  if (Dims > 3) {
    TCalibrationSettings without = Settings;
    without.SlowPath = false;
    TCalibration first(Record, without, Pool);
    const int planned = Planned;
    const TCalibrationPoint found = first.Search([&](const TCalibrationProgress& p) {
      if (!progress) return;
      TCalibrationProgress both = p;
      both.Planned = p.Planned + planned;
      progress(both);
    });
    narrower = first.Evaluations();
    if (found.Valid) {
      const double low = Settings.Bounds.MaxStoLow, high = Settings.Bounds.MaxStoHigh;
      const TStoreParameters& s = found.Store;
      TCoordinates& x = members.front();
      x[0] = high > low ? std::clamp(std::log(s.MaxSto / low) / std::log(high / low), 0.0, 1.0) : 0;
      x[1] = std::clamp(s.IniSto / s.MaxSto, 0.0, 1.0);
      x[2] = std::clamp(s.MaxEsc / (s.MaxSto / 10), 0.0, 1.0);
      x[3] = 0;
    }
    EvaluationCount = narrower;
    Planned += narrower;
  }
  std::vector<TCalibrationPoint> values = Guess(members, progress);

  // Differential evolution (rand/1/bin): each member challenged by a mix
  // of three others, the better kept. One random stream, drawn in the
  // order of the members, makes every run the same.
  std::mt19937 random(Seed);
  std::uniform_real_distribution<double> unit(0, 1);
  auto bestOf = [&] {
    return static_cast<std::size_t>(std::max_element(values.begin(), values.end(), [](const auto& a, const auto& b) {
             return a.Objective < b.Objective;
           }) - values.begin());
  };
  double best = values[bestOf()].Objective;
  int quiet = 0;
  for (int generation = 0; generation < MaxGenerations; ++generation) {
    std::vector<TCoordinates> trials(members.size(), TCoordinates{});
    for (std::size_t i = 0; i < members.size(); ++i) {
      std::size_t pick[3];
      for (int k = 0; k < 3; ++k) {
        do {
          pick[k] = static_cast<std::size_t>(unit(random) * static_cast<double>(members.size())) % members.size();
        } while (pick[k] == i || (k > 0 && pick[k] == pick[0]) || (k > 1 && pick[k] == pick[1]));
      }
      const auto forced = static_cast<std::size_t>(unit(random) * static_cast<double>(Dims)) % Dims;
      for (std::size_t d = 0; d < Dims; ++d) {
        const double mixed = members[pick[0]][d] + Weight * (members[pick[1]][d] - members[pick[2]][d]);
        const bool cross = d == forced || unit(random) < Crossover;
        double v = cross ? mixed : members[i][d];
        // Out of the bounds: halfway back from where the member stood.
        if (v < 0) v = members[i][d] / 2;
        if (v > 1) v = (members[i][d] + 1) / 2;
        trials[i][d] = v;
      }
    }
    const auto tried = Guess(trials, progress);
    for (std::size_t i = 0; i < members.size(); ++i)
      if (tried[i].Objective >= values[i].Objective) {
        members[i] = trials[i];
        values[i] = tried[i];
      }
    const double now = values[bestOf()].Objective;
    quiet = now > best + Settled ? 0 : quiet + 1;
    best = std::max(best, now);
    if (generation + 1 >= MinGenerations && quiet >= Patience) break;
  }

  // A compass search polishes the best: the neighbours along every axis
  // and every diagonal of two axes at once (a ridge where the maximum and
  // the initial storage move together is common), the best of them taken
  // while it is better, the step halved when none is.
  std::vector<TCoordinates> directions;
  for (std::size_t d = 0; d < Dims; ++d)
    for (double sign : {-1.0, 1.0}) {
      TCoordinates e{};
      e[d] = sign;
      directions.push_back(e);
      for (std::size_t other = d + 1; other < std::min<std::size_t>(Dims, 3); ++other)
        for (double second : {-1.0, 1.0}) {
          TCoordinates diagonal = e;
          diagonal[other] = second;
          directions.push_back(diagonal);
        }
    }
  TCoordinates x = members[bestOf()];
  TCalibrationPoint at = values[bestOf()];
  // The slow path's coordinates are not rounded as the store's are, so a
  // step of ever smaller gains never ends: there a move must gain more than
  // Settled, and a step size makes at most CompassMoves of them.
  const bool extended = Dims > 3;
  int moves = 0;
  for (double step = FirstStep; step >= LastStep;) {
    std::vector<TCoordinates> neighbours;
    for (const TCoordinates& e : directions) {
      TCoordinates y = x;
      for (std::size_t d = 0; d < Dims; ++d) y[d] = std::clamp(y[d] + e[d] * step, 0.0, 1.0);
      neighbours.push_back(y);
    }
    const auto points = Guess(neighbours, progress);
    std::size_t chosen = points.size();
    for (std::size_t i = 0; i < points.size(); ++i)
      if (points[i].Objective > (chosen < points.size() ? points[chosen].Objective : at.Objective))
        chosen = i;
    if (extended && chosen < points.size() &&
        (points[chosen].Objective <= at.Objective + Settled || moves >= CompassMoves))
      chosen = points.size();
    if (chosen < points.size()) {
      x = neighbours[chosen];
      at = points[chosen];
      ++moves;
    } else {
      step /= 2;
      moves = 0;
    }
  }

  // Nelder and Mead's simplex then follows a ridge that bends, such as
  // one of equal initial deficit, where the compass steps across it.
  {
    std::vector<TCoordinates> simplex{x};
    std::vector<double> f{at.Objective};
    for (std::size_t d = 0; d < Dims; ++d) {
      TCoordinates y = x;
      y[d] = y[d] + SimplexStep <= 1 ? y[d] + SimplexStep : y[d] - SimplexStep;
      simplex.push_back(y);
      f.push_back(Guess({y}, progress).front().Objective);
    }
    auto clampTo = [](TCoordinates y) {
      for (double& c : y) c = std::clamp(c, 0.0, 1.0);
      return y;
    };
    auto along = [&](const TCoordinates& from, const TCoordinates& to, double t) {
      TCoordinates y{};
      for (std::size_t d = 0; d < Dims; ++d) y[d] = from[d] + t * (to[d] - from[d]);
      return clampTo(y);
    };
    for (int round = 0; round < SimplexRounds; ++round) {
      // Best first (higher objective), worst last; ties keep their order.
      std::vector<std::size_t> order(simplex.size());
      for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
      std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return f[a] > f[b]; });
      std::vector<TCoordinates> sorted;
      std::vector<double> sortedF;
      for (std::size_t i : order) {
        sorted.push_back(simplex[i]);
        sortedF.push_back(f[i]);
      }
      simplex = sorted;
      f = sortedF;
      double size = 0;
      for (std::size_t i = 1; i < simplex.size(); ++i)
        for (std::size_t d = 0; d < Dims; ++d) size = std::max(size, std::abs(simplex[i][d] - simplex[0][d]));
      if (size < SimplexEnd) break;
      TCoordinates centre{};
      for (std::size_t i = 0; i + 1 < simplex.size(); ++i)
        for (std::size_t d = 0; d < Dims; ++d) centre[d] += simplex[i][d] / static_cast<double>(Dims);
      const TCoordinates worst = simplex.back();
      const TCoordinates reflected = along(worst, centre, 2);
      const double fr = Guess({reflected}, progress).front().Objective;
      if (fr > f.front()) {
        const TCoordinates expanded = along(worst, centre, 3);
        const double fe = Guess({expanded}, progress).front().Objective;
        simplex.back() = fe > fr ? expanded : reflected;
        f.back() = std::max(fe, fr);
      } else if (fr > f[f.size() - 2]) {
        simplex.back() = reflected;
        f.back() = fr;
      } else {
        const TCoordinates contracted = fr > f.back() ? along(worst, centre, 1.5) : along(worst, centre, 0.5);
        const double fc = Guess({contracted}, progress).front().Objective;
        if (fc > std::max(fr, f.back())) {
          simplex.back() = contracted;
          f.back() = fc;
        } else {
          // Shrink towards the best.
          std::vector<TCoordinates> shrunk;
          for (std::size_t i = 1; i < simplex.size(); ++i) shrunk.push_back(along(simplex[0], simplex[i], 0.5));
          const auto points = Guess(shrunk, progress);
          for (std::size_t i = 1; i < simplex.size(); ++i) {
            simplex[i] = shrunk[i - 1];
            f[i] = points[i - 1].Objective;
          }
        }
      }
    }
  }

  // The whole determination decides among the best few guessed.
  std::vector<TCalibrationPoint> ranked;
  for (const auto& [candidate, point] : Guessed)
    if (point.Valid) ranked.push_back(point);
  std::stable_sort(ranked.begin(), ranked.end(), [](const TCalibrationPoint& a, const TCalibrationPoint& b) {
    return a.Objective > b.Objective;
  });
  if (ranked.size() > static_cast<std::size_t>(ConfirmedStores)) ranked.resize(ConfirmedStores);
  TCalibrationPoint found;
  for (const TCalibrationPoint& guess : ranked) {
    const TCalibrationPoint exact =
        Evaluate(guess.Store, guess.Extensions.BaseShare, guess.Extensions.BaseAlpha);
    if (exact.Objective > found.Objective) found = exact;
  }
  Report(progress);
  return found;
}
