// Inside of the layer: which characters make text right-to-left, asked by the text output and by
// the edit control alike so that both agree on which lines need the bidirectional layout.
#pragma once

#include <QChar>

// Whether C is a character of a right-to-left script (or an override or isolate that starts
// right-to-left text).
inline bool IsRightToLeftChar(char32_t C)
{
    if (C < 0x0590)
        return false;
    switch (QChar::direction(C)) {
    case QChar::DirR:
    case QChar::DirAL:
    case QChar::DirAN:
    case QChar::DirRLE:
    case QChar::DirRLO:
    case QChar::DirRLI:
    case QChar::DirFSI:
        return true;
    default:
        return false;
    }
}
