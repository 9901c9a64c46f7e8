#pragma once

#include <QString>

// Where the program keeps its two data files.
//
// A program run from its build tree keeps them in data/ beside itself, as the build
// lays them down there. The build marks that folder with a file named
// kBesideProgramMarker beside the program; installation copies only the program, so an
// installed program (wherever its prefix or root is) never sees the marker and keeps
// the files in the user's data folder. --data names any folder instead.
struct DataLocation {
    static constexpr const char* kBesideProgramMarker = "Quorel1.data-beside-program";

    QString directory;          // absolute, ending in '/'
    bool mayCreateBook = false; // an empty folder may receive a new book, after asking

    // requested: the --data folder (absolute) or empty. userDataDirectory: the
    // platform's folder for the user's application data.
    static DataLocation choose(const QString& requested, const QString& programDirectory, const QString& userDataDirectory);
};

// What a data folder holds.
enum class BookState {
    Complete, // both files are there (whether they can be used is checked on opening)
    None,     // neither file is there (the folder may not exist either)
    Partial,  // one file is there and the other is missing
};

BookState bookStateIn(const QString& directory);
