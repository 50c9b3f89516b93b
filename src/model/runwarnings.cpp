#include "model/runwarnings.h"

#include "base/numformat.h"
#include "model/dmquorell.h"
#include "model/search.h"

std::string EscapeWarning(double maxSto, double maxEsc, const double* times, int n) {
  return EscapeWarning(maxSto, maxEsc,
                       std::span<const double>(times + 1, static_cast<std::size_t>(n < 0 ? 0 : n)));
}

std::string EscapeWarning(double maxSto, double maxEsc, std::span<const double> times) {
  // widest is the later point of the widest step, counted from 1.
  std::size_t widest = 0;
  for (std::size_t i = 1; i < times.size(); ++i)
    if (widest == 0 || times[i] - times[i - 1] > times[widest - 1] - times[widest - 2])
      widest = i + 1;
  if (widest == 0) return "";
  const double step = times[widest - 1] - times[widest - 2];
  if (!(maxEsc * step > maxSto)) return "";
  return "Warning: the escape rate " + FormatGeneral(maxEsc, '.') + " times the time step " +
         FormatGeneral(step, '.') + " (points " + std::to_string(widest - 1) + " to " +
         std::to_string(widest) + ") is more than the maximum storage " +
         FormatGeneral(maxSto, '.') +
         ": the store goes negative and the recharge is no longer meaningful";
}

std::string AlphaEdgeWarning(double alpha) {
  const double low = AlphaCandidateTable()[1], high = AlphaCandidateTable()[AlphaCandidates];
  if (alpha != low && alpha != high) return "";
  return "Warning: alpha " + FormatFixed(alpha, 0, 3) + " lies on the edge of its range (" +
         FormatFixed(low, 0, 3) + " to " + FormatFixed(high, 0, 3) +
         "): the best fit may lie beyond it";
}

std::vector<std::string> DeterminationWarnings(const TStoreParameters& store,
                                               std::span<const double> times, double alpha) {
  std::vector<std::string> warnings;
  for (std::string warning : {EscapeWarning(store.MaxSto, store.MaxEsc, times), AlphaEdgeWarning(alpha)})
    if (!warning.empty()) warnings.push_back(std::move(warning));
  return warnings;
}
