#include "common/new_file.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

namespace patapata {
namespace {

QByteArray contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

TEST(NewFile, AnUnfinishedFileLeavesTheEarlierOneAsItWas) {
  QTemporaryDir dir;
  const QString path = dir.path() + "/out.gif";
  writeNewFile(path.toStdString(), "earlier", Replace::Allowed);
  {
    NewFile file(path.toStdString(), Replace::Allowed);
    file.write("half", 4);
    // Left without commit, as when an export fails half way.
  }
  EXPECT_EQ(contents(path), "earlier");
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.gif"});
}

TEST(NewFile, CommitReplacesTheFileThroughASymbolicLink) {
  QTemporaryDir dir;
  const QString target = dir.path() + "/target.png";
  const QString link = dir.path() + "/link.png";
  writeNewFile(target.toStdString(), "old", Replace::Allowed);
  ASSERT_TRUE(QFile::link(target, link));
  writeNewFile(link.toStdString(), "new", Replace::Allowed);
  EXPECT_EQ(contents(target), "new");
  EXPECT_TRUE(QFileInfo(link).isSymLink());
}

}  // namespace
}  // namespace patapata
