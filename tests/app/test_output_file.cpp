#include "app/output_file.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

namespace patapata::app {
namespace {

QByteArray contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

TEST(OutputFile, AnUnfinishedFileLeavesTheEarlierOneAsItWas) {
  QTemporaryDir dir;
  const QString path = dir.path() + "/out.gif";
  writeWholeFile(path.toStdString(), "earlier");
  {
    OutputFile file(path.toStdString());
    file.write("half", 4);
    // Left without commit, as when an export fails half way.
  }
  EXPECT_EQ(contents(path), "earlier");
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.gif"});
}

TEST(OutputFile, CommitReplacesTheFileThroughASymbolicLink) {
  QTemporaryDir dir;
  const QString target = dir.path() + "/target.png";
  const QString link = dir.path() + "/link.png";
  writeWholeFile(target.toStdString(), "old");
  ASSERT_TRUE(QFile::link(target, link));
  writeWholeFile(link.toStdString(), "new");
  EXPECT_EQ(contents(target), "new");
  EXPECT_TRUE(QFileInfo(link).isSymLink());
}

}  // namespace
}  // namespace patapata::app
