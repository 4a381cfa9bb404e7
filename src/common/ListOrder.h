#pragma once

#include <QStringList>
#include <QStringView>

// The order of every sorted list of the program: character codes compared one
// by one with the letters a-z taken as A-Z; a text that begins another comes
// first.
namespace clinora {

int compareListText(QStringView a, QStringView b);
inline bool listLineLess(QStringView a, QStringView b) { return compareListText(a, b) < 0; }

// Sorts once, in that order; equal lines keep the order they came in.
void sortListLines(QStringList &lines);

} // namespace clinora
