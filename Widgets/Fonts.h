#pragma once
// The font faces the program asks for, and the free faces that stand in for them where they
// are not installed (on Debian: fonts-liberation, fonts-dejavu-core and fonts-comic-neue,
// installed by tools/setup.sh). The stand-ins are registered with Qt's font matching, so a
// request for "Arial" is served by Liberation Sans rather than by whatever face the system
// would fall back to.

#include <QString>
#include <QStringList>
#include <span>

struct TFontSubstitute {
    const char* Requested; // the face the program names
    const char* Substitute; // the installed face that stands in for it
};

// Requested face -> stand-in:
//   "MS Sans Serif" -> "Liberation Sans" (the window text; a plain sans of Arial's widths)
//   "Arial"         -> "Liberation Sans" (metric-compatible with Arial)
//   "Verdana"       -> "DejaVu Sans"     (Bitstream Vera's descendant: Verdana's wide, open
//                                          letters; no metric clone of Verdana is free)
//   "Comic Sans MS" -> "Comic Neue"      (a look-alike of Comic Sans)
std::span<const TFontSubstitute> FontSubstitutes();

// Registers every stand-in with QFont's substitution table. Returns the stand-ins that are
// not installed (each also reported with qWarning); empty when all are present.
QStringList InstallFontSubstitutes();
