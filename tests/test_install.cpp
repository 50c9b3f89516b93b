// What the installed program brings besides itself: the icons painted by
// its own picture code, the folder it starts in, and the desktop files that
// must agree with it and with the project's version.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cmath>
#include <filesystem>

#include "support/test_support.h"
#include "ui/programicon.h"
#include "ui/startfolder.h"

namespace fs = std::filesystem;

namespace {

void EnsureApp() {
  static int argc = 1;
  static char name[] = "tolvane_install_tests";
  static char* argv[] = {name, nullptr};
  static QGuiApplication* app = new QGuiApplication(argc, argv);
  (void)app;
}

QString IconFile(const QString& size, const char* extension) {
  return QString(TOLVANE_ICONS) + "/hicolor/" + size + "/apps/" + DesktopId + extension;
}

// The mean difference of two pictures of one size, over all four channels
// of every pixel, from 0 to 255.
double MeanDifference(const QImage& a, const QImage& b) {
  const QImage x = a.convertToFormat(QImage::Format_ARGB32);
  const QImage y = b.convertToFormat(QImage::Format_ARGB32);
  double sum = 0;
  for (int row = 0; row < x.height(); ++row)
    for (int col = 0; col < x.width(); ++col) {
      const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
      sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
             std::abs(qBlue(p) - qBlue(q)) + std::abs(qAlpha(p) - qAlpha(q));
    }
  return sum / (4.0 * x.width() * x.height());
}

TEST(Icons, ThePngIconsAreTheProgramsPictureAtEachSize) {
  EnsureApp();
  for (int size : {48, 128, 256}) {
    SCOPED_TRACE(size);
    const QImage file(IconFile(QString("%1x%1").arg(size), ".png"));
    ASSERT_FALSE(file.isNull());
    EXPECT_EQ(file.size(), QSize(size, size));
    const QImage drawn = ProgramIcon(size);
    EXPECT_EQ(file.convertToFormat(QImage::Format_ARGB32), drawn.convertToFormat(QImage::Format_ARGB32));
    // A rounded plate on a transparent ground, the water of the tanks on it.
    EXPECT_EQ(qAlpha(drawn.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(drawn.pixel(size / 2, size / 2)), 255);
    const QColor water = drawn.pixelColor(size * 30 / 128, size * 104 / 128);
    EXPECT_GT(water.blue(), water.red() + 60) << water.name().toStdString();
  }
}

TEST(Icons, TheScalableIconDrawsTheSamePicture) {
  EnsureApp();
  QSvgRenderer svg(IconFile("scalable", ".svg"));
  ASSERT_TRUE(svg.isValid());
  EXPECT_EQ(svg.viewBox(), QRect(0, 0, 128, 128));
  QImage rendered(256, 256, QImage::Format_ARGB32_Premultiplied);
  rendered.fill(Qt::transparent);
  QPainter painter(&rendered);
  svg.render(&painter);
  painter.end();
  const QImage drawn = ProgramIcon(256);
  // Two renderers smooth edges and gradients a little differently; another
  // picture, or this one shifted by a few pixels, differs by far more.
  EXPECT_LT(MeanDifference(rendered, drawn), 0.5);
  EXPECT_GT(MeanDifference(drawn.copy(6, 6, 250, 250).scaled(256, 256), drawn), 6.0);
}

class StartFolder : public ::testing::Test {
protected:
  StartFolder() {
    for (const char* folder : {"current", "home", "examples"}) fs::create_directory(dir.Path / folder);
    WriteFileBytes(Examples("a.inp"), "input\r\n");
    WriteFileBytes(Examples("a.out"), "output\r\n");
    // Installed files belong to root and are read-only to the user.
    fs::permissions(Examples("a.inp"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  }
  std::string Examples(const std::string& name) const { return (dir.Path / "examples" / name).string(); }
  fs::path Choose() const {
    return ChooseStartFolder(dir.Path / "current", dir.Path / "home", dir.Path / "examples");
  }
  TScratchDir dir;
};

TEST_F(StartFolder, ACurrentFolderWithDataIsKept) {
  fs::create_directory(dir.Path / "current" / "Data");
  EXPECT_EQ(Choose(), dir.Path / "current");
  EXPECT_FALSE(fs::exists(dir.Path / "home" / "Data"));
}

TEST_F(StartFolder, OtherwiseHomeWithACopyOfTheExamples) {
  EXPECT_EQ(Choose(), dir.Path / "home");
  const fs::path data = dir.Path / "home" / "Data";
  EXPECT_EQ(ReadFileBytes((data / "a.inp").string()), "input\r\n");
  EXPECT_EQ(ReadFileBytes((data / "a.out").string()), "output\r\n");
  // The user may run the copy, which writes beside it.
  EXPECT_NE(fs::status(data / "a.inp").permissions() & fs::perms::owner_write, fs::perms::none);
  std::size_t entries = 0;
  for (const auto& entry : fs::directory_iterator(dir.Path / "home")) entries += entry.exists() ? 1 : 0;
  EXPECT_EQ(entries, 1u) << "nothing but Data";
}

TEST_F(StartFolder, AnExistingDataInHomeIsLeftAlone) {
  const fs::path data = dir.Path / "home" / "Data";
  fs::create_directory(data);
  WriteFileBytes((data / "a.inp").string(), "mine\r\n");
  EXPECT_EQ(Choose(), dir.Path / "home");
  EXPECT_EQ(ReadFileBytes((data / "a.inp").string()), "mine\r\n");
  EXPECT_FALSE(fs::exists(data / "a.out"));
  // Nor a file or a link of that name, even one that leads nowhere.
  fs::remove_all(data);
  fs::create_symlink(dir.Path / "nowhere", data);
  EXPECT_EQ(Choose(), dir.Path / "home");
  EXPECT_TRUE(fs::is_symlink(data));
  EXPECT_FALSE(fs::exists(dir.Path / "nowhere"));
}

TEST_F(StartFolder, WithoutExamplesOrHome) {
  fs::remove_all(dir.Path / "examples");
  EXPECT_EQ(Choose(), dir.Path / "home");
  EXPECT_FALSE(fs::exists(dir.Path / "home" / "Data"));
  EXPECT_EQ(ChooseStartFolder(dir.Path / "current", "", dir.Path / "examples"), dir.Path / "current");
  EXPECT_EQ(ChooseStartFolder(dir.Path / "current", dir.Path / "gone", dir.Path / "examples"),
            dir.Path / "current");
}

// The desktop's files name the program by its id, and carry the project's
// version where they have one.
TEST(DesktopFiles, AgreeWithTheProgramAndTheVersion) {
  const std::string id = DesktopId;
  const std::string packaging = SourceDir() + "/packaging/";
  const std::string desktop = ReadFileBytes(packaging + id + ".desktop");
  EXPECT_NE(desktop.find("\nIcon=" + id + "\n"), std::string::npos);
  EXPECT_NE(desktop.find("\nExec=tolvane\n"), std::string::npos);
  const std::string metainfo = ReadFileBytes(packaging + id + ".metainfo.xml");
  EXPECT_NE(metainfo.find("<id>" + id + "</id>"), std::string::npos);
  EXPECT_NE(metainfo.find(">" + id + ".desktop</launchable>"), std::string::npos);
  const auto release = metainfo.find("<release ");
  ASSERT_NE(release, std::string::npos);
  EXPECT_EQ(metainfo.substr(release, 19 + std::string(TOLVANE_VERSION).size()),
            std::string("<release version=\"") + TOLVANE_VERSION + "\"");
  const std::string changelog = ReadFileBytes(packaging + "changelog");
  EXPECT_EQ(changelog.rfind(std::string("tolvane (") + TOLVANE_VERSION + ") ", 0), 0u);
}

}  // namespace
