#pragma once

#include "TableSource.h"

#include <QString>

namespace velmora::legacy {

// What the first page of a database file says about it.
struct JetFileHeader {
    bool isJet = false;  // the file begins as a Jet or ACE database does
    QString formatName;  // "Jet 3", "Jet 4", "ACE 12", ...
    int pageSize = 0;    // 2048 for Jet 3, 4096 for the later formats
};

// Reads the start of a file; not a Jet file when it is missing, unreadable or too short.
JetFileHeader readJetHeader(const QString& path);

// Whether the file is a database in the earlier Jet (or ACE) format.
bool isJetFile(const QString& path);

// Checks that a file can be read as a Jet database before anything reads its pages: it
// exists, can be read, is not empty, has the Jet header and is a whole number of pages.
// Throws data::DbError naming the file and what is wrong with it.
JetFileHeader checkJetFile(const QString& path);

// The numbered error of a Jet file that cannot be converted because reading it crashed,
// hung or gave what cannot be understood: "The Jet database PATH is damaged and cannot be
// converted: WHY."
data::DbError damagedJetFileError(const QString& path, const QString& why);

// The numbered error of a Jet file whose pages are encrypted with a password.
data::DbError encryptedJetFileError(const QString& path);

}  // namespace velmora::legacy
