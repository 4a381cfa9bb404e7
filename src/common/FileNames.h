#pragma once

#include <QString>
#include <QStringView>

// File names the program makes from what a user typed or chose (an attached
// file's name, a patient's code), checked against the rules of the strictest
// system the data folder may be copied to. A folder filled on Linux is
// copied to Windows as it is, so every name made here must be one Windows
// can hold, on every system:
//  - none of  < > : " / \ | ? *  and no control character;
//  - not ending in a dot or a blank (Windows drops them: another file);
//  - not a device name, whatever follows its first dot and in any case:
//    CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9 (and the ¹ ² ³ forms), CONIN$,
//    CONOUT$. "CON.pdf" opens the console, not a file;
//  - not empty, "." or "..".
namespace clinora::names {

// Whether `name` (one name, no folder) may be a file's name on Windows.
bool fitsWindows(QStringView name);

// `name` made to fit: each character Windows refuses becomes `_`, a dot or
// blank at the end becomes `_`, and a device name gets `_` after it, before
// its extension ("CON.pdf" -> "CON_.pdf"). A name that fits is kept as it is.
QString fitForWindows(QStringView name);

// Whether `name` may be made in a folder of the system the program runs on
// (on Windows, fitsWindows(); elsewhere, any name without "/" or NUL that is
// not "." or ".."). A name that does not fit here is never opened: on
// Windows "a:b" would write into a hidden stream of the file "a", and
// "NUL.txt" into nothing.
bool fitsHere(QStringView name);

} // namespace clinora::names
