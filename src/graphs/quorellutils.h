// Helpers of the graphs unit; also the series check of Save/Run.
#pragma once

class TDMQuorell;

// The gathered sheet rows 1..n (write layout, rows marked in RowFlags left
// out) are fit to be saved: times strictly increasing, no negative rain,
// and under the determination no negative runoff.
bool CheckSeries(const TDMQuorell& dm, int n);
