#pragma once

#include <QString>

namespace store {

// The book is the user's alone: the data folder and the backup folder are 0700, every file
// the program keeps in them 0600, and a file it makes gets at most 0600 (less when the
// user's umask takes more away). Modes are only ever narrowed: a bit the user took away
// is never given back.
inline constexpr unsigned kPrivateFolderMode = 0700;
inline constexpr unsigned kPrivateFileMode = 0600;

// Makes the folder (and its parents) when missing and narrows its mode to 0700.
// Answers whether the folder exists afterwards.
bool makePrivateFolder(const QString& path);

// Narrows the mode of an existing folder to 0700 or of a file to 0600; a missing path or
// one the user does not own is left alone. Answers whether the mode is narrow afterwards.
bool narrowFolderMode(const QString& path);
bool narrowFileMode(const QString& path);

// Creates an empty file for the owner alone (0600 less the umask). Fails, setting errno,
// when the path exists or cannot be made.
bool createPrivateFile(const QString& path);

// Narrows, at start, what earlier versions left readable by everyone: the data folder,
// the two data files with their journals, the lock, and the backup folder with every file
// in it. Other files of a folder the user chose are not touched.
void narrowDataFolder(const QString& dataDirectory);

} // namespace store
