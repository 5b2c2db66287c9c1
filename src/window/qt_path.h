#pragma once

#include <QFile>
#include <QString>

#include <string>

namespace patapata {

/// A path as the core holds it (the file system's bytes) as Qt holds it, and back.
inline QString qtPath(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}
inline std::string corePath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

}  // namespace patapata
