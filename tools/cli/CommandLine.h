#pragma once

// The command line as Qt's parser sees it, shared by the tool and its commands.

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <initializer_list>
#include <string>
#include <vector>

namespace kurvaro {

/// Exit codes shared by the commands (those of sysexits.h where one fits).
inline constexpr int ExitUsage = 64;   ///< EX_USAGE: the command line is wrong
inline constexpr int ExitNoInput = 66; ///< EX_NOINPUT: an input file cannot be read

/// The arguments as Qt strings, each byte one Latin-1 character, so that any
/// bytes (a formula, a file name in any encoding) come back unchanged through
/// toBytes. The program name goes first, as QCommandLineParser expects.
QStringList latin1Arguments(const char* program, const std::vector<std::string>& args);

/// The bytes of an argument that latin1Arguments made.
std::string toBytes(const QString& argument);

/// A file name from an argument, in the file system's encoding.
QString toFileName(const QString& argument);

/// Inserts "--" before the first argument that starts with "-" but is none of
/// `options` (names with their dashes, such as "--set" or "-h"), so that a
/// formula or a number may start with "-". `withValue` lists the options whose
/// next argument is their value. A "--" already there ends the search, and an
/// unknown "--name" is left for the parser to refuse.
QStringList markFirstOperand(const QStringList& arguments,
                             std::initializer_list<const char*> options,
                             std::initializer_list<const char*> withValue);

/// Parses `arguments` with the options after the first positional argument
/// taken as positional ones (the numbers of a command may start with "-").
/// On failure `error` holds the parser's message.
bool parseCommandLine(QCommandLineParser& parser, const QStringList& arguments, QString& error);

/// Writes a text to standard output (help) or standard error (usage, errors).
void printOut(const QString& text);
void printErr(const QString& text);

} // namespace kurvaro
