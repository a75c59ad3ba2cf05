#pragma once

#include <QString>

#include <string>

namespace kurvaro {

// Things at a path that are no regular file, as a hostile settings file may be.

/// A FIFO without a writer: opening it for reading would wait.
bool makeFifo(const QString& path);
/// A Unix socket bound at `path` (and closed again: the name stays).
bool makeSocket(const QString& path);

/// Kind, size, inode and link target of the name ("missing" when there is
/// none): what no write of a settings file may change.
std::string describe(const QString& path);

} // namespace kurvaro
