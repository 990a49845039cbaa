#pragma once

#include <QByteArray>

// Qt's INI reader lets a line run on into the next one: after a trailing backslash, or
// while a double quote is open. One damaged line (a file cut short, a hand edit) then swallows
// the section headers after it, and the next write stores their keys under the wrong group
// or inside another value. This makes every line stand on its own again: a trailing escape is
// dropped and an open quote is closed at the end of its line. Sound content comes back
// unchanged.
QByteArray withSelfContainedLines(const QByteArray &content);
