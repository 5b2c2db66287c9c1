#include "window/recent_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace patapata {
namespace {

// Caught: namesakes left alike, more folder than tells them apart (or any for a unique name), a
// folder that is the tail of another's shown alike, the root folder read out of bounds.
TEST(RecentFileLabels, ShowTheNameAndOnlyAsMuchOfTheFolderAsTellsNamesakesApart) {
  struct Case {
    std::vector<const char*> paths;
    std::vector<const char*> labels;
  };
  const Case cases[] = {
      {{"/art/v2/blob.chp", "/art/v3/blob.chp", "/art/v2/slime.chp"},
       {"blob.chp — v2", "blob.chp — v3", "slime.chp"}},
      {{"/p/art/v2/blob.chp", "/p/old/v2/blob.chp", "/p/v3/blob.chp"},
       {"blob.chp — art/v2", "blob.chp — old/v2", "blob.chp — v3"}},
      {{"/x/v2/blob.chp", "/y/x/v2/blob.chp"}, {"blob.chp — /x/v2", "blob.chp — y/x/v2"}},
      {{"/blob.chp", "/a//blob.chp"}, {"blob.chp — /", "blob.chp — a"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.paths.front());
    QStringList paths;
    for (const char* path : c.paths) paths << QString::fromUtf8(path);
    std::vector<std::string> labels;
    for (const QString& label : recentFileLabels(paths)) labels.push_back(label.toStdString());
    EXPECT_EQ(labels, std::vector<std::string>(c.labels.begin(), c.labels.end()));
  }
}

}  // namespace
}  // namespace patapata
