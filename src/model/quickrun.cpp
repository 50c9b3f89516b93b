#include "model/quickrun.h"

#include "model/dmquorell.h"
#include "model/routing.h"
#include "model/search.h"

namespace {

// Scratch series, one set a thread: a search calls this many thousand times.
struct TScratch {
  std::vector<double> Recharge, Upper[MaxReservoirs - 1];
  std::vector<double> Slow, Quick, Target;
};

struct TRouted {
  bool Ok = false;
  double Delta = 0;
  std::span<const double> Target, Recharge;
};

// The recharge, and with the slow path the cascade's shares of it and of
// the runoff, as the determination splits them.
TRouted Route(TScratch& s, std::span<const double> times, std::span<const double> rains,
              std::span<const double> measured, const TStoreParameters& store,
              const TExtensions& e, std::span<const double> pet) {
  const std::size_t n = measured.size();
  s.Recharge.assign(n, 0);
  const TPreReservoirOutcome route =
      RoutePreReservoir(times.first(n), rains.first(n), store, TRouteVariant::Analysis, s.Recharge,
                        e.Evaporation ? pet.first(n) : std::span<const double>(), e.PetMean);
  if (route.Stop != TRouteStop::None) return {};
  TRouted r{true, route.LastStep, measured, s.Recharge};
  if (e.SlowPath) {
    s.Slow.resize(n);
    s.Quick.resize(n);
    s.Target.resize(n);
    RouteSlowPath(e.BaseShare, e.BaseAlpha, r.Delta, measured, s.Recharge, s.Slow, s.Quick,
                  s.Target);
    r.Target = s.Target;
    r.Recharge = s.Quick;
  }
  return r;
}

void Cascade(TScratch& s, const TRouted& r, int nrOfRes, double alpha, const TExtensions& e,
             std::vector<double>& calculated) {
  const std::size_t n = r.Target.size();
  double* rows[MaxReservoirs];
  for (int k = 0; k + 1 < nrOfRes; ++k) {
    s.Upper[k].resize(n);
    rows[k] = s.Upper[k].data();
  }
  calculated.resize(n);
  rows[nrOfRes - 1] = calculated.data();
  RouteCascadeRows(alpha, r.Delta, n > 0 ? r.Target[0] : 0, r.Recharge,
                   std::span<double* const>(rows, static_cast<std::size_t>(nrOfRes)));
  if (e.SlowPath)
    for (std::size_t t = 0; t < n; ++t) calculated[t] += s.Slow[t];
}

}  // namespace

TQuickRun QuickRun(std::span<const double> times, std::span<const double> rains,
                   std::span<const double> measured, const TStoreParameters& store,
                   const TExtensions& extensions, std::span<const double> pet,
                   std::vector<double>& calculated) {
  thread_local TScratch scratch;
  const TRouted routed = Route(scratch, times, rains, measured, store, extensions, pet);
  if (!routed.Ok) return {};
  const TPairGuess pair =
      GuessBestPair(routed.Target, routed.Recharge, routed.Delta, AlphaCandidateTable());
  if (!pair.Valid) return {};
  TQuickRun run{true, pair.NrOfRes, AlphaCandidateTable()[pair.Candidate]};
  Cascade(scratch, routed, run.NrOfRes, run.Alpha, extensions, calculated);
  return run;
}

bool GivenRun(std::span<const double> times, std::span<const double> rains,
              std::span<const double> measured, const TStoreParameters& store, int nrOfRes,
              double alpha, const TExtensions& extensions, std::span<const double> pet,
              std::vector<double>& calculated) {
  thread_local TScratch scratch;
  if (nrOfRes < 1 || nrOfRes > MaxReservoirs) return false;
  const TRouted routed = Route(scratch, times, rains, measured, store, extensions, pet);
  if (!routed.Ok) return false;
  Cascade(scratch, routed, nrOfRes, alpha, extensions, calculated);
  return true;
}
