#include "model/runwarnings.h"

#include "base/numformat.h"
#include "model/dmquorell.h"
#include "model/search.h"

std::string EscapeWarning(double maxSto, double maxEsc, const double* times, int n) {
  int widest = 0;
  for (int i = 2; i <= n; ++i)
    if (widest == 0 || times[i] - times[i - 1] > times[widest] - times[widest - 1]) widest = i;
  if (widest == 0) return "";
  const double step = times[widest] - times[widest - 1];
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
