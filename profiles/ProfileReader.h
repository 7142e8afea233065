#pragma once
// Reads one value out of an output-profile file (".pf") or a category list ("pf.dat").
//
// The format: UTF-8 text, one entry per line, lines ending in LF or CR LF (a last line without a line
// end counts too). "[Name]" in the first column opens section Name; "key = value" lines follow. Blanks
// and tabs around the key do not matter; the value is everything after the first "=", unchanged (the
// value rules of ProfileValue deal with its blanks and quotes). Lines starting with "#" or "//" are
// comments. The search for a key ends at the next section header.
#include <QString>

class ProfileReader
{
public:
    // The value of the first entry `key` in section `section` of the file at `path`; empty when the
    // file cannot be opened (then "have   no   such   file " is printed on standard output), is empty,
    // or has no such entry. A matching line must hold `key` as written; a key part that is blank never
    // matches.
    static QString readProfileValue(const QString &section, const QString &key, const QString &path);
};
