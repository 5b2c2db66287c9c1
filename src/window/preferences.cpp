#include "window/preferences.h"

#include <QSettings>

#include <algorithm>

namespace patapata {

namespace {

const QString kAutoSheetReloadKey = QStringLiteral("reload/sheet");
const QString kAutoCharacterReloadKey = QStringLiteral("reload/character");
const QString kRecentFilesKey = QStringLiteral("files/recent");
const QString kReopenLastFileKey = QStringLiteral("files/reopenLast");
const QString kWindowPositionKey = QStringLiteral("window/position");
const QString kZoomKey = QStringLiteral("view/zoom");
const QString kReadoutKey = QStringLiteral("view/readout");
const QString kLanguageKey = QStringLiteral("view/language");
const QString kFrameStripKey = QStringLiteral("view/strip");
const QString kOnionSkinKey = QStringLiteral("view/onionSkin");
const QString kTransparencyKey = QStringLiteral("view/transparency");
const QString kAllStatesKey = QStringLiteral("allStates/open");

}  // namespace

Preferences::Preferences()
    : settings_(
          std::make_unique<QSettings>(QStringLiteral("patapata"), QStringLiteral("patapata"))) {}

Preferences::Preferences(const QString& path)
    : settings_(std::make_unique<QSettings>(path, QSettings::IniFormat)) {}

Preferences::~Preferences() = default;

bool Preferences::autoSheetReload() const {
  return settings_->value(kAutoSheetReloadKey, false).toBool();
}

void Preferences::setAutoSheetReload(bool on) {
  settings_->setValue(kAutoSheetReloadKey, on);
}

bool Preferences::autoCharacterReload() const {
  return settings_->value(kAutoCharacterReloadKey, false).toBool();
}

void Preferences::setAutoCharacterReload(bool on) {
  settings_->setValue(kAutoCharacterReloadKey, on);
}

QStringList Preferences::recentFiles() const {
  QStringList files = settings_->value(kRecentFilesKey).toStringList();
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
  settings_->setValue(kRecentFilesKey, files);
}

void Preferences::removeRecentFile(const QString& path) {
  QStringList files = recentFiles();
  files.removeAll(path);
  settings_->setValue(kRecentFilesKey, files);
}

bool Preferences::reopenLastFile() const {
  return settings_->value(kReopenLastFileKey, true).toBool();
}

void Preferences::setReopenLastFile(bool on) {
  settings_->setValue(kReopenLastFileKey, on);
}

int Preferences::zoom() const {
  return std::clamp(settings_->value(kZoomKey, 1).toInt(), 1, 4);
}

void Preferences::setZoom(int zoom) {
  settings_->setValue(kZoomKey, zoom);
}

QString Preferences::language() const {
  const QString code = settings_->value(kLanguageKey).toString();
  return code == QLatin1String("en") ? code : QStringLiteral("ja");
}

void Preferences::setLanguage(const QString& code) {
  settings_->setValue(kLanguageKey, code);
}

bool Preferences::readout() const {
  return settings_->value(kReadoutKey, false).toBool();
}

void Preferences::setReadout(bool on) {
  settings_->setValue(kReadoutKey, on);
}

std::optional<QPoint> Preferences::windowPosition() const {
  const QVariant value = settings_->value(kWindowPositionKey);
  if (!value.isValid()) return std::nullopt;
  return value.toPoint();
}

void Preferences::setWindowPosition(const QPoint& position) {
  settings_->setValue(kWindowPositionKey, position);
}

bool Preferences::frameStrip() const {
  return settings_->value(kFrameStripKey, false).toBool();
}

void Preferences::setFrameStrip(bool on) {
  settings_->setValue(kFrameStripKey, on);
}

int Preferences::onionSkin() const {
  return std::clamp(settings_->value(kOnionSkinKey, 0).toInt(), 0, 2);
}

void Preferences::setOnionSkin(int neighbours) {
  settings_->setValue(kOnionSkinKey, neighbours);
}

bool Preferences::showTransparency() const {
  return settings_->value(kTransparencyKey, false).toBool();
}

void Preferences::setShowTransparency(bool on) {
  settings_->setValue(kTransparencyKey, on);
}

bool Preferences::allStatesOpen() const {
  return settings_->value(kAllStatesKey, false).toBool();
}

void Preferences::setAllStatesOpen(bool open) {
  settings_->setValue(kAllStatesKey, open);
}

}  // namespace patapata
