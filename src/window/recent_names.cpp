#include "window/recent_names.h"

#include <QDir>
#include <QHash>

#include <algorithm>
#include <vector>

namespace patapata {

namespace {

struct SplitPath {
  QString name;
  /// The folders from the root down; an absolute path starts with an empty one, so that
  /// the whole folder joined again starts with its "/".
  QStringList folders;
};

SplitPath split(const QString& path) {
  const QString clean = QDir::cleanPath(path);
  const qsizetype slash = clean.lastIndexOf(QLatin1Char('/'));
  if (slash < 0) return {clean, {}};
  return {clean.mid(slash + 1), clean.left(slash).split(QLatin1Char('/'))};
}

/// The last `count` folders, or all of them when there are fewer.
QString tail(const QStringList& folders, qsizetype count) {
  const qsizetype from = std::max<qsizetype>(0, folders.size() - count);
  const QString joined = folders.mid(from).join(QLatin1Char('/'));
  // The root folder alone joins to nothing.
  return joined.isEmpty() && from == 0 && !folders.isEmpty() ? QStringLiteral("/") : joined;
}

}  // namespace

QStringList recentFileLabels(const QStringList& paths) {
  std::vector<SplitPath> parts;
  parts.reserve(paths.size());
  QHash<QString, int> namesakes;
  for (const QString& path : paths) {
    parts.push_back(split(path));
    ++namesakes[parts.back().name];
  }
  QStringList labels;
  labels.reserve(paths.size());
  for (const SplitPath& own : parts) {
    if (namesakes.value(own.name) < 2) {
      labels << own.name;
      continue;
    }
    // The fewest folders that no namesake ends with; at worst the whole folder.
    qsizetype count = 1;
    for (; count < own.folders.size(); ++count) {
      const QString mine = tail(own.folders, count);
      bool shared = false;
      for (const SplitPath& other : parts) {
        if (&other != &own && other.name == own.name && tail(other.folders, count) == mine) {
          shared = true;
          break;
        }
      }
      if (!shared) break;
    }
    labels << own.name + QStringLiteral(" — ") + tail(own.folders, count);
  }
  return labels;
}

}  // namespace patapata
