#pragma once

#include <QString>

namespace kurvaro {

class FunctionSlotStore;
class PlotOptionsStore;
class ViewStore;

/// The settings file's full name: the executable's directory + "/Functions.ini",
/// computed afresh at each call.
QString SettingsFilePath();

/// The one loading pass: every key in its fixed order, each put into its
/// store at once. Throws EConvertError ("'%s' ist kein gültiger Integerwert")
/// at a colour that does not convert; everything after it stays as it was.
///
/// Defaults for missing keys: the function slots' fixed ones (unchecked,
/// empty, black, green, red, blue, maroon, aqua, teal, black, black, black),
/// the designed range texts, and the store's current value for every option
/// and window bound. Each option field is handed back through its own
/// setPlotOptions call, so a changed check box reaches the store on its own.
/// A missing or unreadable file reads as empty, and so does one that is no
/// regular file (it is not even opened when it is a FIFO or a device) or is
/// larger than profile::MaxFileSize; loading never writes.
void LoadSettings(FunctionSlotStore& functions, PlotOptionsStore& options, ViewStore& view,
                  const QString& path = SettingsFilePath());

/// The functions dialog's OK: Expression 1..10, Visible 1..10, Color 1..10.
/// Throws EIniFileException ("nach %s kann nicht geschrieben werden") when a
/// write is refused; keys written before stay written.
///
/// The pass replaces the file once, atomically, with all its keys
/// (ProfileWritePass); when that is refused it goes on key by key, so that
/// the file ends whole with the keys before the refused one written.
void WriteFunctionSettings(const FunctionSlotStore& functions,
                           const QString& path = SettingsFilePath());

/// The options dialog's OK: Grid, BackGround, Axis, Scale, AxisText.
void WriteOptionSettings(const PlotOptionsStore& options, const QString& path = SettingsFilePath());

/// The main window's close: View XMin, XMax, YMin, YMax, Width, Height, Top, Left.
void WriteViewSettings(const ViewStore& view, const QString& path = SettingsFilePath());

} // namespace kurvaro
