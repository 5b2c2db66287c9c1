#include "window/preferences.h"

#include <QSettings>

#include <algorithm>

namespace patapata {

namespace {

const QString kRecentFilesKey = QStringLiteral("files/recent");
const QString kWindowPositionKey = QStringLiteral("window/position");
const QString kZoomKey = QStringLiteral("view/zoom");
const QString kLanguageKey = QStringLiteral("view/language");
const QString kOnionSkinKey = QStringLiteral("view/onionSkin");

/// Each choice's key, in the order of Preferences::Choice.
constexpr const char* kChoiceKeys[] = {"reload/sheet",  "reload/character", "files/reopenLast",
                                       "view/readout",  "view/strip",       "view/transparency",
                                       "allStates/open"};

QString keyOf(Preferences::Choice choice) {
  return QLatin1String(kChoiceKeys[static_cast<int>(choice)]);
}

}  // namespace

Preferences::Preferences()
    : settings_(
          std::make_unique<QSettings>(QStringLiteral("patapata"), QStringLiteral("patapata"))) {}

Preferences::Preferences(const QString& path)
    : settings_(std::make_unique<QSettings>(path, QSettings::IniFormat)) {}

Preferences::~Preferences() = default;

bool Preferences::isOn(Choice choice) const {
  return settings_->value(keyOf(choice), choice == Choice::ReopenLastFile).toBool();
}

void Preferences::setOn(Choice choice, bool on) {
  settings_->setValue(keyOf(choice), on);
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

std::optional<QPoint> Preferences::windowPosition() const {
  const QVariant value = settings_->value(kWindowPositionKey);
  if (!value.isValid()) return std::nullopt;
  return value.toPoint();
}

void Preferences::setWindowPosition(const QPoint& position) {
  settings_->setValue(kWindowPositionKey, position);
}

int Preferences::onionSkin() const {
  return std::clamp(settings_->value(kOnionSkinKey, 0).toInt(), 0, 2);
}

void Preferences::setOnionSkin(int neighbours) {
  settings_->setValue(kOnionSkinKey, neighbours);
}

QByteArray Preferences::windowGeometry(const QString& name) const {
  return settings_->value(QStringLiteral("windows/%1").arg(name)).toByteArray();
}

void Preferences::setWindowGeometry(const QString& name, const QByteArray& geometry) {
  settings_->setValue(QStringLiteral("windows/%1").arg(name), geometry);
}

}  // namespace patapata
