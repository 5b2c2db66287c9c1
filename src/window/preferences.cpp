#include "window/preferences.h"

#include <QSettings>

namespace patapata {

namespace {

const QString kAutoSheetReload = QStringLiteral("reload/sheet");
const QString kAutoCharacterReload = QStringLiteral("reload/character");
const QString kRecentFiles = QStringLiteral("files/recent");
const QString kWindowPosition = QStringLiteral("window/position");

}  // namespace

Preferences::Preferences()
    : settings_(
          std::make_unique<QSettings>(QStringLiteral("patapata"), QStringLiteral("patapata"))) {}

Preferences::Preferences(const QString& path)
    : settings_(std::make_unique<QSettings>(path, QSettings::IniFormat)) {}

Preferences::~Preferences() = default;

bool Preferences::autoSheetReload() const {
  return settings_->value(kAutoSheetReload, false).toBool();
}

void Preferences::setAutoSheetReload(bool on) {
  settings_->setValue(kAutoSheetReload, on);
}

bool Preferences::autoCharacterReload() const {
  return settings_->value(kAutoCharacterReload, false).toBool();
}

void Preferences::setAutoCharacterReload(bool on) {
  settings_->setValue(kAutoCharacterReload, on);
}

QStringList Preferences::recentFiles() const {
  QStringList files = settings_->value(kRecentFiles).toStringList();
  files.removeAll(QString());
  files.removeDuplicates();
  while (files.size() > kRecentFiles) files.removeLast();
  return files;
}

void Preferences::addRecentFile(const QString& path) {
  QStringList files = recentFiles();
  files.removeAll(path);
  files.prepend(path);
  while (files.size() > kRecentFiles) files.removeLast();
  settings_->setValue(kRecentFiles, files);
}

void Preferences::removeRecentFile(const QString& path) {
  QStringList files = recentFiles();
  files.removeAll(path);
  settings_->setValue(kRecentFiles, files);
}

std::optional<QPoint> Preferences::windowPosition() const {
  const QVariant value = settings_->value(kWindowPosition);
  if (!value.isValid()) return std::nullopt;
  return value.toPoint();
}

void Preferences::setWindowPosition(const QPoint& position) {
  settings_->setValue(kWindowPosition, position);
}

}  // namespace patapata
