#include "model/runwarnings.h"

#include "files/numformat.h"
#include "model/dmquorell.h"
#include "model/search.h"
#include "sheet/numbertext.h"

namespace {

std::string Trimmed(std::string text) { return text.erase(0, text.find_first_not_of(' ')); }

}  // namespace

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
  struct TCandidates {
    double Values[CascadeColumns + 1];
  };
  static const TCandidates candidates = [] {
    TCandidates c;
    BuildAlphaCandidates(c.Values);
    return c;
  }();
  const double low = candidates.Values[1], high = candidates.Values[AlphaCandidates];
  if (alpha != low && alpha != high) return "";
  return "Warning: alpha " + Trimmed(FormatFixed(alpha, 0, 3)) + " lies on the edge of its range (" +
         Trimmed(FormatFixed(low, 0, 3)) + " to " + Trimmed(FormatFixed(high, 0, 3)) +
         "): the best fit may lie beyond it";
}
