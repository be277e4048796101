#pragma once

#include <QString>

namespace FileNames {

inline const QString untitled = QStringLiteral("Untitled");
// Longest name most Linux file systems accept, in UTF-8 bytes.
inline constexpr int maxComponentBytes = 255;

// A name safe as one path component, never empty, at most maxComponentBytes in UTF-8.
QString sanitize(const QString &name);
// A file name that does not exist in folder: base.ext, base-2.ext, base-3.ext, ...
QString deduplicated(const QString &base, const QString &ext, const QString &folder);
QString deduplicatedDir(const QString &base, const QString &folder);

// True when name can be joined to a folder without leaving it: not empty, not "." or "..",
// no "/" and no NUL. Names read from files are untrusted and must pass this before use.
bool isPlainComponent(const QString &name);

// The order a file manager uses: case-insensitive, digit runs by value ("Trip 2" < "Trip 10"),
// with a fixed tie-break so names differing only in case still sort deterministically.
int localizedStandardCompare(const QString &a, const QString &b);

} // namespace FileNames
