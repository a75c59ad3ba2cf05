#pragma once

#include <QString>

namespace kurvaro {

// Things at a path that are no regular file, as a hostile settings file may be.

/// A FIFO without a writer: opening it for reading would wait.
bool makeFifo(const QString& path);
/// A Unix socket bound at `path` (and closed again: the name stays).
bool makeSocket(const QString& path);

} // namespace kurvaro
