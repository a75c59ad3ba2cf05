#pragma once

#include "support/RecordingDesktop.h"
#include "support/TemporaryProgramDirectory.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

class QWidget;

namespace kurvaro {

/// One key of a profile file, in file order.
struct IniEntry
{
    QString section;
    QString key;
    QString value;
    bool operator==(const IniEntry&) const = default;
};

/// The keys of a settings file in their order (sections and keys as written).
std::vector<IniEntry> parseIni(const QByteArray& bytes);
/// The entries of `entries` whose section is not in `sections`.
std::vector<IniEntry> withoutSections(const std::vector<IniEntry>& entries,
                                      const QStringList& sections);
/// Only the entries of `sections`.
std::vector<IniEntry> onlySections(const std::vector<IniEntry>& entries,
                                   const QStringList& sections);

/// Shows `window`, makes it the active window and waits until it is.
bool showActive(QWidget& window);
/// The object names that Tab visits from `start` on, `count` presses.
QStringList tabSequence(QWidget& start, int count);

/// A left click in the middle of `widget`.
void clickCenter(QWidget& widget);

void PrintTo(const IniEntry& entry, std::ostream* os);

} // namespace kurvaro
