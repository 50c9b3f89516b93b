#include "sheet/sheetseries.h"

#include <algorithm>

#include "model/dmquorell.h"
#include "base/numformat.h"
#include "base/numparse.h"

void FillCells(TSheetCells& cells, const TDMQuorell& dm, int n, bool dataEntered, char separator) {
  auto text = [&](const std::vector<double>& series, int r) {
    return r < static_cast<int>(series.size()) ? FormatGeneral(series[r], separator) : "0";
  };
  for (int r = 0; r < n; ++r) {
    if (dataEntered) {
      cells.SetCell(0, r, text(dm.Times, r));
      cells.SetCell(1, r, text(dm.Rains, r));
      if (dm.IsAnalysis) cells.SetCell(2, r, text(dm.Runoffs, r));
    } else {
      for (int c = 0; c < 3; ++c) cells.SetCell(c, r, "0");
    }
  }
}

namespace {

// The three series and the row flags n + 1 long, what they held kept.
void ResizeSeries(TDMQuorell& dm, int n) {
  const auto size = static_cast<std::size_t>(std::max(n, 0)) + 1;
  dm.Times.resize(size);
  dm.Rains.resize(size);
  dm.Runoffs.resize(size);
  dm.RowFlags.resize(size);
}

}  // namespace

void PrepareWriteLayout(TDMQuorell& dm, int n) {
  ResizeSeries(dm, n);
  std::fill(dm.RowFlags.begin(), dm.RowFlags.end(), 1);
}

void StoreWriteRow(TDMQuorell& dm, int k, double time, double rain, double runoff, bool kept) {
  dm.RowFlags[k] = kept ? 0 : 1;
  if (!kept) return;
  dm.Times[k] = time;
  dm.Rains[k] = rain;
  if (dm.IsAnalysis) dm.Runoffs[k] = runoff;
}

TGatherResult GatherSheet(const TSheetCells& cells, TDMQuorell& dm, int n, int sheetRows,
                          char separator) {
  TGatherResult result;
  ResizeSeries(dm, std::max(n, sheetRows));
  for (int k = 1; k <= n; ++k) {
    const int row = k - 1;
    const std::string& time = cells.Cell(0, row);
    const std::string& rain = cells.Cell(1, row);
    const std::string& runoff = cells.Cell(2, row);
    const bool complete = !time.empty() && !rain.empty() && (!dm.IsAnalysis || !runoff.empty());
    if (!complete) {
      StoreWriteRow(dm, k, 0, 0, 0, false);
      continue;
    }
    const auto t = StringToFloat(time, separator);
    const auto p = StringToFloat(rain, separator);
    const auto q = dm.IsAnalysis ? StringToFloat(runoff, separator) : std::optional<double>(0);
    if (!t || !p || !q) {
      result.AllReal = false;
      return result;
    }
    StoreWriteRow(dm, k, *t, *p, *q, true);
    ++result.Kept;
  }
  return result;
}

int CompactToReadLayout(TDMQuorell& dm, int n) {
  int kept = 0;
  for (int k = 1; k <= n && k < static_cast<int>(dm.RowFlags.size()); ++k) {
    if (dm.RowFlags[k] != 0) continue;
    dm.Times[kept] = dm.Times[k];
    dm.Rains[kept] = dm.Rains[k];
    if (k < static_cast<int>(dm.Runoffs.size())) dm.Runoffs[kept] = dm.Runoffs[k];
    ++kept;
  }
  ResizeSeries(dm, kept);
  dm.Times[kept] = dm.Rains[kept] = dm.Runoffs[kept] = 0;
  std::fill(dm.RowFlags.begin(), dm.RowFlags.end(), 0);
  return kept;
}
