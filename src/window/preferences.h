#pragma once

#include <QByteArray>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QSettings;

namespace patapata {

/// What the viewer remembers between runs: the two automatic reloads, the files opened last and
/// whether to open the last one again at start, the view's enlargement, and where the window
/// stood. Kept by QSettings in the user's
/// configuration, or in a file of the caller's choosing (tests).
class Preferences {
 public:
  /// The most recent files remembered.
  static constexpr int kRecentFiles = 8;

  /// The user's own settings.
  Preferences();
  /// Settings kept in the INI file `path`.
  explicit Preferences(const QString& path);
  ~Preferences();
  Preferences(const Preferences&) = delete;
  Preferences& operator=(const Preferences&) = delete;

  /// The on/off choices remembered; each is off until set, but for ReopenLastFile.
  enum class Choice {
    AutoSheetReload,
    AutoCharacterReload,
    ReopenLastFile,    ///< a start without a file opens the newest recent file again
    Readout,           ///< the frame readout on the status line
    FrameStrip,        ///< the strip of frames below the client area
    ShowTransparency,  ///< the transparent pixels of the frame shown as a checkerboard
    AllStatesOpen,     ///< the window of every state at once was open when the viewer was left
  };
  bool isOn(Choice choice) const;
  void setOn(Choice choice, bool on);

  /// The files opened last, newest first; at most kRecentFiles. Paths in the file system's
  /// encoding, as QFile::decodeName gives them.
  QStringList recentFiles() const;
  /// Puts `path` first, once.
  void addRecentFile(const QString& path);
  void removeRecentFile(const QString& path);

  /// The view's enlargement the author chose, 1 to 4 (the window may show less, to fit its
  /// screen).
  int zoom() const;
  void setZoom(int zoom);

  /// The window's language: "ja" (the default) or "en".
  QString language() const;
  void setLanguage(const QString& code);

  std::optional<QPoint> windowPosition() const;
  void setWindowPosition(const QPoint& position);

  /// The onion skin's neighbours: 0 none (the default), 1 the previous frame, 2 both.
  int onionSkin() const;
  void setOnionSkin(int neighbours);
  /// Where the window called `name` stood and how large it was, as QWidget::saveGeometry
  /// gives it; empty until it was first kept.
  QByteArray windowGeometry(const QString& name) const;
  void setWindowGeometry(const QString& name, const QByteArray& geometry);

 private:
  std::unique_ptr<QSettings> settings_;
};

}  // namespace patapata
