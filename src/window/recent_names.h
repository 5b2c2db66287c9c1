#pragma once

#include <QStringList>

namespace patapata {

/// The labels of the recent files menu, one for each of `paths` in the same order: a file's name
/// when no other path in the list has that name; otherwise the name, " — ", and the shortest
/// trailing part of its folder that no other file of that name shares ("blob.chp — art/v2"
/// beside "blob.chp — old/v2"). A folder that is the tail of another's is shown whole, from
/// its root. Paths use '/' between folders, as Qt gives them; nothing is asked of the disk.
QStringList recentFileLabels(const QStringList& paths);

}  // namespace patapata
