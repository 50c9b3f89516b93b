// Files edited by hand or damaged: every reader survives them and says so,
// and no failed write destroys the file it was to replace.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "files/filepaths.h"
#include "base/numformat.h"
#include "model/dmquorell.h"
#include "support/test_support.h"

namespace {

// What a reader and both runs made of one damaged file.
struct TOutcome {
  bool ReadOk = false;
  std::string ReadError;  // TInOutError text, empty if none
  bool DetermineOk = false;
  bool PredictOk = false;
  int AnaNrOfData = 0;  // points the determination read
  std::vector<std::string> Said;  // messages and program errors, in order
};

TOutcome Survive(const std::string& path) {
  TOutcome o;
  TRecordingDialogs dialogs;
  TDMQuorell dm;
  dm.SetDialogs(&dialogs);
  dm.FileName = path;
  try {
    o.ReadOk = dm.ReadInputFile();
  } catch (const TInOutError& e) {
    o.ReadError = e.what();
  }
  for (bool analysis : {true, false}) {
    dm.FileName = path;
    try {
      (analysis ? o.DetermineOk : o.PredictOk) = dm.RunModel(analysis);
    } catch (const TInOutError& e) {
      dialogs.Messages.push_back(e.what());
    }
    dm.RunFailed = false;
  }
  o.AnaNrOfData = dm.Analysis().AnaNrOfData;
  o.Said = dialogs.Messages;
  o.Said.insert(o.Said.end(), dialogs.Errors.begin(), dialogs.Errors.end());
  return o;
}

class Robustness : public ::testing::Test {
protected:
  std::string Good(bool analysis) {
    TDMQuorell dm;
    std::vector<double> t, r, q;
    for (int i = 1; i <= 30; ++i) {
      t.push_back(i);
      r.push_back(i % 5 == 0 ? 20 : 0.5);
      q.push_back(1 + (i % 7) * 0.25);
    }
    const auto file = dir.File(analysis ? "good.inp" : "goodp.inp");
    if (analysis)
      WriteAnalysisFile(dm, file, t, r, q, 10, 5, 1);
    else
      WritePredictionFile(dm, file, t, r, 2, 0.3, 1, 10, 5, 1);
    return ReadFileBytes(file);
    const auto good = dir.File(analysis ? "good.inp" : "goodp.inp");
    if (analysis)
      WriteAnalysisFile(dm, good, t, r, q, 10, 5, 1);
    else
      WritePredictionFile(dm, good, t, r, 2, 0.3, 1, 10, 5, 1);
    return ReadFileBytes(good);
  }
  // The good file of the option with its first `find` replaced, read and run.
  TOutcome SurviveWith(bool analysis, const std::string& find, const std::string& replace) {
    std::string text = Good(analysis);
    text.replace(text.find(find), find.size(), replace);
    WriteFileBytes(path, text);
    return Survive(path);
  }
  bool Said(const TOutcome& o, const std::string& part) {
    for (const auto& s : o.Said)
      if (s.find(part) != std::string::npos) return true;
    return false;
  }
  TScratchDir dir;
  std::string path = dir.File("bad.inp");
};

TEST_F(Robustness, FileTruncatedAtEveryLineAndInsideLines) {
  for (bool analysis : {true, false}) {
    const std::string text = Good(analysis);
    for (std::size_t cut = 0; cut <= text.size(); ++cut) {
      // Every line end, and a few places inside lines.
      if (cut < text.size() && text[cut] != '\r' && cut % 17 != 0) continue;
      WriteFileBytes(path, text.substr(0, cut));
      const auto o = Survive(path);
      SCOPED_TRACE(cut);
      // The reader takes what is there (missing numbers read as 0), or
      // stops at a number cut in half and says so.
      EXPECT_TRUE(o.ReadOk || !o.ReadError.empty() || Said(o, "are corrupt"));
      if (cut == text.size()) {
        EXPECT_TRUE(analysis ? o.DetermineOk : o.PredictOk);
      }
      // A run that failed has said why.
      if (!o.DetermineOk || !o.PredictOk) {
        EXPECT_FALSE(o.Said.empty());
      }
      EXPECT_FALSE(std::filesystem::exists(dir.File("bad.out")) && !o.DetermineOk && !o.PredictOk);
      std::filesystem::remove(dir.File("bad.out"));
    }
  }
}

// A number of 100 000 digits.
const std::string LongToken(100000, '7');

struct TDamage {
  const char* Name;
  const char* Find;      // text of the good determination file to replace
  const char* Replace;
  const char* Says;      // part of what the user is told
  bool ReadOk;           // ReadInputFile completes
};

class Damage : public Robustness, public ::testing::WithParamInterface<TDamage> {};

TEST_P(Damage, IsReportedAndNothingIsWritten) {
  std::string text = Good(true);
  const auto at = text.find(GetParam().Find);
  ASSERT_NE(at, std::string::npos);
  text.replace(at, std::string(GetParam().Find).size(), GetParam().Replace);
  WriteFileBytes(path, text);
  const auto o = Survive(path);
  EXPECT_EQ(o.ReadOk, GetParam().ReadOk);
  EXPECT_FALSE(o.DetermineOk);
  EXPECT_TRUE(Said(o, GetParam().Says)) << (o.Said.empty() ? "(nothing)" : o.Said[0]);
  EXPECT_FALSE(std::filesystem::exists(dir.File("bad.out")));
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, Damage,
    ::testing::Values(
        TDamage{"TextInData", "    7         7.00", "    7         seven", "are corrupt", false},
        TDamage{"CommaDecimal", "    7         7.00", "    7         7,00", "are corrupt", false},
        TDamage{"NaNText", "    7         7.00", "    7          NaN", "are corrupt", false},
        TDamage{"InfinityText", "    7         7.00", "    7          inf", "are corrupt", false},
        TDamage{"HugeNumber", "    7         7.00", "    7       1e999", "are corrupt", false},
        TDamage{"RealSerial", "    7         7.00", "  7.5         7.00", "are corrupt", false},
        TDamage{"SerialOverflow", "    7         7.00", "99999999999   7.00", "are corrupt", false},
        TDamage{"LongToken", "    7         7.00", LongToken.c_str(), "are corrupt", false},
        TDamage{"TextParameter", "    10.00", "    ten", "Invalid numeric input", false},
        TDamage{"NaNParameter", "    10.00", "      nan", "Invalid numeric input", false}),
    CaseName);

// A file that opens but cannot be read: the stream buffer throws its read
// error, which would end the program from inside a window's handler.
TEST_F(Robustness, AFileThatCannotBeReadIsOneThatCannotBeOpened) {
  if (!std::filesystem::exists("/proc/self/mem")) GTEST_SKIP() << "no /proc/self/mem here";
  EXPECT_FALSE(ReadWholeFile("/proc/self/mem"));
  const auto o = Survive("/proc/self/mem");
  EXPECT_FALSE(o.ReadOk);
  EXPECT_TRUE(Said(o, "could not be opened")) << (o.Said.empty() ? "" : o.Said.front());
}

TEST_F(Robustness, EndMarkInTheMiddleEndsTheFile) {
  std::string text = Good(true);
  text.insert(text.find("   16  "), "\x1A");
  WriteFileBytes(path, text);
  const auto o = Survive(path);
  EXPECT_TRUE(o.ReadOk);
  EXPECT_TRUE(o.DetermineOk);
  EXPECT_EQ(o.AnaNrOfData, 15);
}

TEST_F(Robustness, HugeValuesThatAreNumbers) {
  const std::string runoff = "       1.25\r\n";
  // 1e150 is a number whose squares still fit: the determination completes
  // and prints it in full.
  auto o = SurviveWith(true, runoff, "    1e150\r\n");
  EXPECT_TRUE(o.ReadOk);
  EXPECT_TRUE(o.DetermineOk);
  EXPECT_NE(ReadFileBytes(dir.File("bad.out")).find(FormatFixed(1e150, 10, 2)),
            std::string::npos);

  // At 1e300 every square overflows: no fit can be chosen, so none is printed.
  std::filesystem::remove(dir.File("bad.out"));
  o = SurviveWith(true, runoff, "    1e300\r\n");
  EXPECT_TRUE(o.ReadOk);
  EXPECT_FALSE(o.DetermineOk);
  EXPECT_TRUE(Said(o, "finite sum of squares. Rainfall-Runoff analysis cannot be made"));
  EXPECT_FALSE(std::filesystem::exists(dir.File("bad.out")));

  // A prediction has no sums to compare: it runs through a rain of 1e300.
  o = SurviveWith(false, "     20.00\r\n", "     1e300\r\n");
  EXPECT_TRUE(o.PredictOk);
  EXPECT_NE(ReadFileBytes(dir.File("bad.out")).find(FormatFixed(1e300, 10, 2)),
            std::string::npos);
}

TEST_F(Robustness, VeryLongLines) {
  std::string text = Good(true);
  const std::string title(100000, 'T');
  text.replace(text.find("\r\n\r\n\r\n") + 4, 0, title);  // line 4
  text += std::string(100000, ' ') + "\r\n";
  WriteFileBytes(path, text);
  TDMQuorell dm;
  dm.FileName = path;
  ASSERT_TRUE(dm.ReadInputFile());
  EXPECT_EQ(dm.Title1, title);
  EXPECT_EQ(dm.NrOfData, 30);
  dm.FileName = path;
  dm.DetermineModel();
  EXPECT_TRUE(dm.RunSucceeded(true));
  EXPECT_EQ(SplitCrLfLines(ReadFileBytes(dir.File("bad.out")))[2], title);
}

TEST_F(Robustness, FolderInsteadOfAFile) {
  std::filesystem::create_directory(path);
  const auto o = Survive(path);
  EXPECT_FALSE(o.ReadOk);
  EXPECT_FALSE(o.DetermineOk);
  EXPECT_FALSE(o.PredictOk);
  EXPECT_TRUE(Said(o, "could not be opened"));
}

TEST_F(Robustness, ReadOnlyTargetsAreLeftAsTheyWere) {
  // The input file.
  WriteFileBytes(path, "keep");
  chmod(path.c_str(), 0444);
  TRecordingDialogs dialogs;
  TDMQuorell dm;
  dm.SetDialogs(&dialogs);
  SetSheet(dm, true, {1, 2}, {1, 2}, {1, 2});
  dm.FileName = path;
  EXPECT_FALSE(dm.WriteInputFile());
  EXPECT_EQ(ReadFileBytes(path), "keep");

  // The output file of a run.
  const auto input = dir.File("run.inp");
  const auto output = dir.File("run.out");
  WriteFileBytes(input, Good(true));
  WriteFileBytes(output, "old results");
  chmod(output.c_str(), 0444);
  dm.FileName = input;
  EXPECT_THROW(dm.DetermineModel(), TInOutError);
  EXPECT_EQ(ReadFileBytes(output), "old results");
}

TEST(AtomicWrite, ReplacesWholeOrNotAtAll) {
  TScratchDir dir;
  const auto path = dir.File("f.txt");
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(path, "first", &error));
  chmod(path.c_str(), 0640);
  ASSERT_TRUE(WriteFileAtomically(path, "second", &error, true));
  EXPECT_EQ(ReadFileBytes(path), "second");
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);  // the mode of the file replaced stays
  EXPECT_FALSE(WriteFileAtomically(dir.File("none/f.txt"), "x", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(WriteFileAtomically(dir.Path.string(), "x", &error));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path),
                          std::filesystem::directory_iterator()),
            1);
}

}  // namespace

namespace {

TEST(OutputRobustness, TruncatedAtEveryLineReadsWhatIsThere) {
  TScratchDir dir;
  TRecordingDialogs dialogs;
  TDMQuorell dm;
  dm.SetDialogs(&dialogs);
  std::vector<double> t, r, q;
  for (int i = 1; i <= 25; ++i) {
    t.push_back(i);
    r.push_back(i % 5 == 0 ? 20 : 0);
    q.push_back(1 + (i % 5) * 0.3);
  }
  WriteAnalysisFile(dm, dir.File("a.inp"), t, r, q, 10, 5, 1);
  ASSERT_TRUE(dm.RunModel(true));
  const std::string text = ReadFileBytes(dir.File("a.out"));
  const auto path = dir.File("cut.out");
  for (std::size_t cut = 0; cut <= text.size(); ++cut) {
    if (cut < text.size() && text[cut] != '\r') continue;
    SCOPED_TRACE(cut);
    WriteFileBytes(path, text.substr(0, cut));
    dm.ResultsFileName = path;
    EXPECT_TRUE(dm.LoadOutputLines(path));
    EXPECT_TRUE(dm.ReadResultsHead());
    for (TGraphKind kind : {TGraphKind::RunoffDetermination, TGraphKind::RechargeDetermination,
                            TGraphKind::ObservedCalculated}) {
      bool read = false;
      try {
        read = dm.ReadResultsForGraph(kind);
      } catch (const TInOutError&) {
      }
      EXPECT_GE(dm.NrOfData, 0);
      EXPECT_EQ(dm.GraphTime.size(), static_cast<std::size_t>(dm.NrOfData));
      if (cut == text.size()) {
        EXPECT_TRUE(read);
        EXPECT_EQ(dm.NrOfData, 25);
      }
    }
  }
}

}  // namespace
