#include "support/test_support.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

TScratchDir::TScratchDir() {
  std::random_device rd;
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto candidate = std::filesystem::temp_directory_path() /
                     ("tolvane-test-" + std::to_string(rd()) + "-" + std::to_string(attempt));
    if (std::filesystem::create_directory(candidate)) {
      Path = candidate;
      return;
    }
  }
  throw std::runtime_error("no scratch folder");
}

TScratchDir::~TScratchDir() {
  std::error_code ec;
  std::filesystem::permissions(Path, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(Path, ec);
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::vector<std::string> SplitLines(const std::string& text, std::string_view lineEnd) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const auto end = text.find(lineEnd, start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + lineEnd.size();
  }
  return lines;
}

std::string SharedDataDir() {
  std::error_code ec;
  const std::filesystem::path dir = TOLVANE_SHARED_DATA;
  return std::filesystem::is_directory(dir, ec) ? dir.lexically_normal().string() : std::string();
}

std::string SourceDir() { return TOLVANE_SOURCE_DIR; }

void SetSheet(TDMQuorell& dm, bool analysis, const std::vector<double>& times,
              const std::vector<double>& rains, const std::vector<double>& runoffs) {
  const std::size_t n = times.size();
  dm.IsAnalysis = analysis;
  dm.RunTag = RunTagFor(analysis);
  dm.NrOfData = static_cast<int>(n);
  dm.Times.assign(n + 1, 0);
  dm.Rains.assign(n + 1, 0);
  dm.Runoffs.assign(n + 1, 0);
  dm.RowFlags.assign(n + 1, 0);
  for (std::size_t k = 1; k <= n; ++k) {
    dm.Times[k] = times[k - 1];
    dm.Rains[k] = rains[k - 1];
    if (analysis) dm.Runoffs[k] = runoffs[k - 1];
  }
}

void WriteAnalysisFile(TDMQuorell& dm, const std::string& path, const std::vector<double>& times,
                       const std::vector<double>& rains, const std::vector<double>& runoffs,
                       double maxSto, double iniSto, double maxEsc) {
  SetSheet(dm, true, times, rains, runoffs);
  dm.MaxSto = maxSto;
  dm.IniSto = iniSto;
  dm.MaxEsc = maxEsc;
  dm.FileName = path;
  if (!dm.WriteInputFile()) throw std::runtime_error("cannot write " + path);
}

void WritePredictionFile(TDMQuorell& dm, const std::string& path, const std::vector<double>& times,
                         const std::vector<double>& rains, int nrOfRes, double alpha,
                         double runIni, double maxSto, double iniSto, double maxEsc) {
  SetSheet(dm, false, times, rains);
  dm.MaxSto = maxSto;
  dm.IniSto = iniSto;
  dm.MaxEsc = maxEsc;
  dm.RunIni = runIni;
  dm.Analysis().NrOfRes = nrOfRes;
  dm.Analysis().Alpha = alpha;
  dm.FileName = path;
  if (!dm.WriteInputFile()) throw std::runtime_error("cannot write " + path);
}

void SetReconstructionPoint(TAnalysisWorkspace& ws, int i, const TReconstructionPoint& point) {
  ws.Serial[i] = point.Serial;
  std::snprintf(ws.SerialText[i], sizeof ws.SerialText[i], "%d", point.Serial);
  ws.Time[i] = point.Time;
  ws.Rain[i] = point.Rain;
  ws.Rech[i] = point.Rech;
  ws.RunMeas[i] = point.RunMeas;
  ws.RunCalc[i] = point.RunCalc;
}

std::vector<double> Times(int n, double first) {
  std::vector<double> t;
  for (int i = 0; i < n; ++i) t.push_back(first + i);
  return t;
}

std::vector<double> Rains(int n) {
  std::vector<double> r;
  for (int i = 0; i < n; ++i) r.push_back(0.6 + (i % 11 == 3 ? 25.0 : 0.0) + 0.1 * (i % 4));
  return r;
}

std::vector<double> Runoffs(int n) {
  std::vector<double> q;
  for (int i = 0; i < n; ++i) q.push_back(1 + 0.5 * std::sin(i / 7.0) + 0.01 * (i % 3));
  return q;
}
