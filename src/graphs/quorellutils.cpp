#include "graphs/quorellutils.h"

#include "model/dmquorell.h"

bool CheckSeries(const TDMQuorell& dm, int n) {
  bool havePrevious = false;
  double previousTime = 0;
  for (int k = 1; k <= n; ++k) {
    if (static_cast<std::size_t>(k) >= dm.RowFlags.size() || dm.RowFlags[k] != 0) continue;
    const double time = dm.Times[k];
    if (havePrevious && !(previousTime < time)) return false;
    if (dm.Rains[k] < 0) return false;
    if (dm.IsAnalysis && dm.Runoffs[k] < 0) return false;
    previousTime = time;
    havePrevious = true;
  }
  return true;
}
